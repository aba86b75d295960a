// The keyboard's physical keys by the game's scan codes (1 Esc, 28 Return, 57 Space, 200 Up, ...).
#pragma once

#include <SDL2/SDL_scancode.h>

namespace plat {

// The game's scan code for an SDL scancode; 0 for keys the game has no code for.
int GameScanCode(SDL_Scancode sc);

}  // namespace plat
