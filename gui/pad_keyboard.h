// The game's own keyboard for a player with only a controller: shown over the
// lower half of the screen while a text box has the focus and a controller is in
// use; the controller moves its highlight and A types the key.
#pragma once

// Draws it when it is due and works it with the controller's presses; true
// while it is shown. Called once a frame after everything but the pointer.
bool DrawPadKeyboard();
