#include "app/game_flow.h"

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"

int GameState = 0;
int movieFrame = 0;
int stateAfterIntro = GS_WELCOME;
bool showFps = false;
bool fpsKeyHeld = false;

void GameFrame() {
    if (graphicsValid == 0) {
        restoreWait++;
        if (restoreWait < 32) return;
        // RestoreGraphics ();
        restoreWait = 0;
        graphicsValid = 1;
        return;
    }
    ClearSprite(backBuffer, 0);
}
