#include "base/run.h"

#include <cstdlib>

#include "base/log.h"

char startDirectory[260] = "";
bool quitRequested = false;

namespace {
void (*fatalExit)() = nullptr;
}  // namespace

void SetFatalExit(void (*exitRoutine)()) { fatalExit = exitRoutine; }

void FatalExit() {
    if (fatalExit) fatalExit();
    std::exit(unsavedWorkReport[0] ? 1 : 0);
}
