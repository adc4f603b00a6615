// The plain-text log "valimo.log" in the start directory, and the fatal way out.
#pragma once

extern bool logStarted;

// Appends text to the log exactly as given (the first text of a run starts a fresh file).
void WriteLog(const char* text);
// Something of the player's could not be written and the game ends for it. The
// text (the file and the system's reason) goes to the log and stderr at once and
// into a desktop box after the window has closed; the program ends with status 1.
// The first report of a run is the one kept.
void ReportUnsavedWork(const char* text);
// The kept report; empty when everything of the player's was written.
extern char unsavedWorkReport[512];

// Logs "System Error Occured at " with the text and ends the program through Shutdown.
[[noreturn]] void SystemError(const char* text);
