// Failing the file operations of a save on purpose: open, open in place, write,
// truncate, flush, close, rename and directory sync are counted together from 1.
#pragma once
#include <cerrno>
#include <string>
#include <vector>

// The k-th operation from now fails, leaving errno `error`; with fromThenOn every
// later one fails too.
void FailSaveOperation(int k, bool fromThenOn, int error = EIO);
// Back to the real operations; the count starts again.
void StopSaveFaults();
// Operations seen since the last FailSaveOperation or StopSaveFaults.
int SaveOperationsSeen();
// The operations on names since the last FailSaveOperation, in order, as
// "open <path>", "openInPlace <path>", "rename <from> <to>", "syncDirectory <path>".
const std::vector<std::string>& SaveCallsSeen();
