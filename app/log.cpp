#include "app/log.h"

#include <cstdio>

#include "app/valimo.h"
#include "platform/win.h"

bool logStarted = false;

namespace {
// Once this run has created the log, a later failure must not make the next write
// truncate it: the lines already written are the run's only report.
bool logCreatedThisRun = false;
}  // namespace

void WriteLog(const char* text) {
    // Every write goes back to the start directory, wherever the game has moved since.
    SetCurrentDirectoryA(startDirectory);
    // Kept on purpose: the log is rewritten each run; changed: the log survives a failed open (docs/BEHAVIOUR.md).
    FILE* file = std::fopen("valimo.log", logStarted || logCreatedThisRun ? "a" : "w");
    if (!file) {
        logStarted = false;
        return;
    }
    logStarted = true;
    logCreatedThisRun = true;
    if (text) std::fputs(text, file);
    std::fclose(file);
}

char unsavedWorkReport[512] = "";

// Changed on purpose: a failed save is told (docs/BEHAVIOUR.md).
void ReportUnsavedWork(const char* text) {
    quitRequested = true;
    if (unsavedWorkReport[0] || !text || !text[0]) return;
    std::snprintf(unsavedWorkReport, sizeof unsavedWorkReport, "%s", text);
    WriteLog(unsavedWorkReport);
    WriteLog("\n");
    std::fprintf(stderr, "valimo: %s\n", unsavedWorkReport);
}

void SystemError(const char* text) {
    // Kept on purpose: "Occured" (docs/BEHAVIOUR.md).
    WriteLog("System Error Occured at ");
    WriteLog(text);
    WriteLog("\n");
    Shutdown();
}
