// The game's spine: from the runtime's start-up to the end of the program.
#include "game/GameMain.h"

#include "runtime/core/Errors.h"
#include "runtime/core/Runtime.h"

void GameMain() {
  // Until the game world exists: show frames until the window is closed or the frame limit ends the run.
  for (;;) ShowFrame();
}
