// Level completion: the current player's level goes up and is saved at once.
#pragma once

void CompleteLevel();
