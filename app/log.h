// The plain-text log "valimo.log" in the start directory, and the fatal way out.
#pragma once

extern bool logStarted;

// Appends text to the log exactly as given (the first text of a run starts a fresh file).
void WriteLog(const char* text);
// Logs "System Error Occured at " with the text and ends the program through Shutdown.
[[noreturn]] void SystemError(const char* text);
