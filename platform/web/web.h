// What the browser host's parts share: the page's canvas and events
// (web_host.cpp), the input devices and sound (web_devices.cpp) and the player's
// files kept in the browser (web_store.cpp). Only platform/web and the
// page's entry point include this.
#pragma once
#include <cstdint>

// ---- the page (web_host.cpp) ----

// Something happened that the frame loop should see (an event, a focus change).
void WebNoteEvent();
// False while the page is hidden or has lost the focus.
bool WebFocused();

// ---- the input devices and sound (web_devices.cpp) ----

// Registers the keyboard, mouse and touch callbacks once.
void WebWatchInput();
// The page lost the focus: nothing stays held.
void WebForgetInput();
// Keeps the browser's audio queue filled ahead of its clock.
void WebFeedAudio();

// ---- the player's files (web_store.cpp) ----

// The game folder holds the packed data; prefs.dat and valimo.log in it lead to
// the browser's store. False when the game cannot start (no prefs.dat at all).
bool WebPrepareFiles(const char* gameDir);
// After each frame: a new prefs.dat goes to the store, new log lines to the console.
void WebWatchFiles();
