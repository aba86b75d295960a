// The high-score table of the level selected on the title menu; Space returns.
#include "game/GameState.h"
#include "game/GameWords.h"
#include "game/Menus.h"
#include "runtime/core/Input.h"
#include "runtime/program/Runtime.h"

void HighScoreTable() {
  GameState& g = G();
  for (;;) {
    DrawGlyphText(112, 32, 46, 38, "HIGHSCORE");
    DrawGlyphText(112, 96, 42, 32, RtString("  LEVEL") + g.LevelNumber);
    for (int p = 1; p <= 8; ++p)
      DrawGlyphText(96, 160 + 32 * (p - 1), 32, 32, RtString(static_cast<double>(p)) + ".");
    const int base = (static_cast<int>(g.LevelNumber) - 1) * 8;
    for (int j = 0; j < 8; ++j) g.ShownNames[j] = g.ScoreNames[base + j];
    for (int j = 0; j < 8; ++j) DrawGlyphText(160, 160 + 32 * j, 32, 32, g.ShownNames[j]);
    for (int j = 0; j < 8; ++j) DrawGlyphText(448, 160 + 32 * j, 32, 32, RtString(g.Scores[base + j]));
    DrawGlyphText(36, 440, 38, 38, "PRESS SPACE BAR");
    ShowFrame();
    if (KeyState(key::kSpace) == 1) return;
    SleepMs(50);
  }
}
