// One game on the loaded level, frame by frame, with the score line.
#pragma once

#include "game/PlayRules.h"

void PlayLevel();
// The play rules on the game's own state and random generator, drawing and sounding on the screen.
PlayRules GameRules();
// The boy's keys as the keyboard holds them now.
BoyKeys HeldBoyKeys();
