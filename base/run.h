// What every part of the game may read and end of the run: the folder it started
// in, the request to end it, and the fatal way out. The program sets the way out
// at start-up; nothing here knows what it releases.
#pragma once

extern char startDirectory[260];
extern bool quitRequested;

// The routine that ends the program after a fatal error; it must not return.
void SetFatalExit(void (*exitRoutine)());
// Ends the program through the routine set at start-up; without one, or should
// it return, the status tells whether the player's work was lost.
[[noreturn]] void FatalExit();
