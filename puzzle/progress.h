// Level completion: the current player's level goes up and is saved at once; the
// game flow moves on to the next level's screen.
#pragma once

void CompleteLevel();
