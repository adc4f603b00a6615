// What the SDL host's window and its input devices share, and what tests of the
// host look at. Only platform/sdl and its tests include this.
#pragma once
#include <SDL.h>

#include <string>
#include <vector>

#include "platform/sdl/screen_fit.h"

// ---- the window (sdl_host.cpp) ----

// The video drivers to try, in order: the one SDL_VIDEODRIVER names when it is
// set, else every driver that shows a picture on a display (SDL's offscreen and
// dummy drivers are for tests and checks, and only when asked for); Wayland only
// where its socket can be found.
std::vector<std::string> VideoDriversToTry(const char* requested, const std::vector<std::string>& available,
                                           bool waylandReachable);
// Alt with Return or keypad Enter, first press: the host's switch between full
// screen and a window. The game never sees that key.
bool IsAltEnter(const SDL_Event& event);

SDL_Window* SdlWindow();
SDL_Renderer* SdlRenderer();
bool SdlWindowed();
// The picture's area in window coordinates (the pointer is read against it).
ScreenArea SdlPictureInWindow();
// Width and height of the icon set on the window; 0 when there is none.
int SdlIconWidth();
int SdlIconHeight();
// Leaves SDL's video; the next window starts afresh (for tests).
void SdlCloseWindow();
// The display connection broke (the X server or the compositor went away): the
// game is told to quit, and nothing may call into the connection any more.
bool SdlDisplayLost();
// Where the desktop pointer is, in window coordinates, when the display can be
// asked (X11); false elsewhere (Wayland tells no client).
bool SdlDesktopPointer(int* x, int* y);
// As when the display connection breaks (for tests).
void SdlLoseDisplay();
// The desktop pointer is at (x, y) of the window: over the picture the desktop's
// arrow is hidden while the game hides it, over the bars of a window it shows.
void SdlPointerOver(int x, int y);
// The name of the GL renderer when it is a rasteriser run by the processor
// (Mesa's llvmpipe, softpipe, swrast), else empty.
std::string SoftwareRasteriser(const char* glRendererName);

// ---- the input devices (sdl_devices.cpp) ----

// The window was shown (it has the focus, as on the original system).
void SdlInputShown();
// The window went between full screen and a window: the pointer follows.
void SdlPointerFollowWindow();

// ---- game controllers (sdl_pad.cpp) ----

// Opens SDL's controller support; controllers then come and go as events.
void SdlStartPads();
void SdlStopPads();
// A controller's event; false for any other event.
bool SdlPadEvent(const SDL_Event& event);
// As Alt+Enter: between full screen and a window.
void SdlToggleFullScreen();
