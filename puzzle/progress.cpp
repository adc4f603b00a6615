#include "puzzle/progress.h"

#include <cstdio>

#include "gui/registry.h"
#include "profiles/profiles.h"
#include "puzzle/packing.h"
#include "sound/sound.h"

void CompleteLevel() {
    const int player = CurrentPlayer();
    // Play never starts without a player; if it ever does, nothing is written outside the table.
    if (player < 0 || player >= profileCount) {
        packedCells = 0;
        return;
    }
    // At the top of the range the level stays: it could not be shown once raised.
    const int completed = profiles[player].level;
    if (completed < MAX_PLAYER_LEVEL) profiles[player].level = completed + 1;
    packedCells = 0;
    const int window = FindWindowId("NEWLEVEL");
    if (window != NOIDFOUND && windows[window].textCount > 0) {
        char text[GUI_TEXT_SIZE];
        std::snprintf(text, sizeof text, "Congratulations! You've completed level %d", ShownLevel(completed));
        CopyGuiString(windows[window].texts[0].text, GUI_TEXT_SIZE, text);
        windows[window].texts[0].x = 35;
    }
    SaveProfiles();
    PlaySoundEffect(SFX_DONE);
}
