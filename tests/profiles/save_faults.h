// Failing the file operations of a save on purpose: open, write, flush, close,
// rename and directory sync are counted together from 1.
#pragma once

// The k-th operation from now fails; with fromThenOn every later one fails too.
void FailSaveOperation(int k, bool fromThenOn);
// Back to the real operations; the count starts again.
void StopSaveFaults();
// Operations seen since the last FailSaveOperation or StopSaveFaults.
int SaveOperationsSeen();
