// The game's spine: from the runtime's start-up to the end of the program.
#include "game/GameMain.h"

#include "game/GameState.h"
#include "game/Level.h"
#include "game/Menus.h"
#include "game/Records.h"
#include "game/Resources.h"
#include "game/StateDump.h"
#include "runtime/core/Archive.h"
#include "runtime/core/Errors.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/program/Runtime.h"

void GameMain() {
  ResetGameState();
  InstallStateDump();
  GameState& g = G();
  SetArchive("Graphic.kpq", "");
  DeclareGameArrays();
  LoadResources();
  AllowEscape(0);  // Escape is the game's own key from here on
  SetScreenMode(640, 480, 1);
  SetFont(1);
  SetFrameRateLimit(26);
  g.MenuCursor.x = 128;
  g.MenuCursor.y = 192;
  g.TimeLeft = 300;
  g.LevelNumber = 1;
  BuildCreditText();
  LoadLevel();
  LoadRecords();
  TitleMenu();
  ReleaseResources();
  EndProgram();
}
