// The title menu: the screen every other screen returns to. A highlight box moves between the menu lines;
// Left and Right on the LEVELS line choose the level, F1..F4 take a stored name.
#include "game/GameState.h"
#include "game/GameWords.h"
#include "game/Level.h"
#include "game/Menus.h"
#include "game/PlayLoop.h"
#include "game/Records.h"
#include "runtime/core/Input.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"

namespace {

void DrawTexts() {
  GameState& g = G();
  DrawGlyphText(128, 32, 32, 32, "BRILLORA");
  DrawGlyphText(108, 68, 22, 20, RtString("BY ") + g.CreditText);
  DrawGlyphText(128, 128, 32, 32, RtString("PLAYER ") + g.PlayerName);
  DrawGlyphText(128, 160, 32, 32, "HSCORE");
  DrawGlyphText(128, 192, 32, 32, RtString("LEVELS ") + g.LevelNumber);
  DrawGlyphText(128, 224, 32, 32, "GOHOME");
  DrawGlyphText(500, 200, 16, 16, "  F1");
  DrawGlyphText(500, 232, 16, 16, "  F2");
  DrawGlyphText(500, 264, 16, 16, "  F3");
  DrawGlyphText(500, 296, 16, 16, "  F4");
  DrawGlyphText(86, 408, 28, 38, "MADE WITH QUILLON");
}

void StepBox() {
  MenuBox& box = G().MenuCursor;
  if (box.state == 1) box.y = box.y + 4;
  if (box.state == 2) box.y = box.y - 4;
  DrawAnimFrame(sprite::kMenuBox, box.frame, box.x, box.y);
  box.frame = box.frame + 1;
  if (box.frame == 8) {
    box.frame = 0;
    if (box.state != 0) box.state = 0;
  }
}

void StartGame() {
  SleepMs(25);
  ResetLevelState();
  LoadLevel();
  ScanLevel();
  ClearBackBuffer();  // the level is played without the menu background
  PlayLevel();
  LoadBackground("Graphic/BackBild.png");
}

}  // namespace

void PollPlayerSlotKeys() {
  GameState& g = G();
  for (int k = 0; k < 4; ++k) {
    if (KeyState(key::kF1 + k) == 1) {
      g.PlayerName = g.PlayerSlots[k];
      PlaySound(sound::kPlayerSlot, 0, 1);
      return;
    }
  }
}

void TitleMenu() {
  GameState& g = G();
  MenuBox& box = g.MenuCursor;
  LoadBackground("Graphic/BackBild.png");
  for (;;) {
    DrawTexts();
    StepBox();
    PollPlayerSlotKeys();

    if (KeyState(key::kDown) == 1 && box.y < 224 && box.state == 0) {
      box.frame = 0;
      box.state = 1;
      PlaySound(sound::kMenuMove, 0, 1);
    } else if (KeyState(key::kUp) == 1 && box.y > 128 && box.state == 0) {
      box.frame = 0;
      box.state = 2;
      PlaySound(sound::kMenuMove, 0, 1);
    } else if (KeyState(key::kRight) == 1 && box.y == 192 && g.LevelNumber < 22) {
      // A level opens once the level below it has been finished with a score above 0.
      if (g.Scores[(g.LevelNumber - 1) * 8] > 0) {
        g.LevelStepCounter = g.LevelStepCounter + 1;
        if (g.LevelStepCounter == 4) {
          g.LevelStepCounter = 0;
          g.LevelNumber = g.LevelNumber + 1;
        }
      } else {
        PlaySound(sound::kLevelLocked, 0, 1);
      }
    } else if (KeyState(key::kLeft) == 1 && box.y == 192 && g.LevelNumber > 1) {
      g.LevelStepCounter = g.LevelStepCounter + 1;
      if (g.LevelStepCounter == 4) {
        g.LevelStepCounter = 0;
        g.LevelNumber = g.LevelNumber - 1;
      }
    } else if (KeyState(key::kReturn) == 1 && box.y == 160) {
      SleepMs(25);
      PlaySound(sound::kHighScores, 0, 1);
      HighScoreTable();
    } else if (KeyState(key::kReturn) == 1 && box.y == 128) {
      NameEntry();
    } else if (KeyState(key::kReturn) == 1 && box.y == 192) {
      StartGame();
    } else if (KeyState(key::kReturn) == 1 && box.y == 224) {
      SavePlayerName();
      return;
    }

    ShowFrame();
    SleepMs(10);
    if (KeyState(key::kF12) == 1) return;  // leaves without saving anything
  }
}
