// The name entry: the player clicks a name together on a grid of letters and digits; the keyboard
// plays no part here.
#include "game/GameState.h"
#include "game/GameWords.h"
#include "game/Menus.h"
#include "game/Records.h"
#include "runtime/core/Input.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"

void NameEntry() {
  GameState& g = G();
  SetMousePos(96, 160);
  double length = StrLength(g.PlayerName);
  double pointerTick = 0;
  for (;;) {
    DrawGlyphText(32, 20, 36, 28, "CLICK YOUR NAME!");
    DrawGlyphText(128, 128, 32, 32, "ABCDEFGHIJKLM");
    DrawGlyphText(128, 160, 32, 32, "NOPQRSTUVWXYZ");
    DrawGlyphText(128, 192, 32, 32, "0123456789<OK");
    DrawGlyphText(128, 320, 32, 32, RtString("F1 ") + g.PlayerSlots[0]);
    DrawGlyphText(128, 352, 32, 32, RtString("F2 ") + g.PlayerSlots[1]);
    DrawGlyphText(128, 384, 32, 32, RtString("F3 ") + g.PlayerSlots[2]);
    DrawGlyphText(128, 416, 32, 32, RtString("F4 ") + g.PlayerSlots[3]);

    double mouseX = 0, mouseY = 0, left = 0, right = 0;
    MouseState(mouseX, mouseY, left, right);
    const int column = static_cast<int>(mouseX / 32);
    const int row = static_cast<int>(mouseY / 32);

    double code = 32;
    if (left == 1) {
      if (row == 6 && column == 14) {
        g.PlayerName = "";  // "<" clears the whole name
        length = 0;
        code = 32;
      } else if (row == 6 && (column == 15 || column == 16)) {
        while (length < 8) {
          g.PlayerName = g.PlayerName + CharFromCode(32);
          length = length + 1;
        }
        PlaySound(sound::kFruitEaten, 0, 1);
        return;
      } else if ((row == 4 || row == 5) && column >= 4 && column <= 16) {
        code = row == 4 ? column + 61 : column + 74;
      } else if (row == 6 && column >= 4 && column <= 13) {
        code = column + 44;
      }
      if (code != 32) {
        if (length < 8) PlaySound(sound::kLetter, 0, 1);
        SleepMs(150);  // the only debouncing: a held button repeats the character
      }
    }
    if (code != 32 && length < 8) g.PlayerName = g.PlayerName + CharFromCode(code);
    DrawGlyphText(224, 260, 32, 32, g.PlayerName);
    if (code != 32 && length < 8) length = length + 1;

    if (left == 1 && (column == 5 || column == 6) && row >= 10 && row <= 13) {
      g.PlayerSlots[row - 10] = g.PlayerName;
      PlaySound(sound::kFruitShows, 0, 1);
      SavePlayerSlots();
    }

    DrawAnimFrame(sprite::kPointer, g.PointerFrame, mouseX, mouseY);
    pointerTick = pointerTick + 1;
    if (pointerTick == 4) {
      pointerTick = 0;
      g.PointerFrame = g.PointerFrame + 1;
      if (g.PointerFrame == 2) g.PointerFrame = 0;
    }
    ShowFrame();
    SleepMs(25);
  }
}
