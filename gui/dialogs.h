// The game's own dialogs and screen buttons: start-up of the GUI, its declarations,
// the rebuild after a display loss, and shut-down.
#pragma once

void GuiInit();
void DeclareWindows();
void DeclareScreenButtons();
void RestoreGui();
void GuiFree();
