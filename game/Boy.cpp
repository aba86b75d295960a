// The boy. He decides only between steps (BoyStep 0); a step is 8 frames of 2 pixels. The rules are tried
// in a fixed order and the first that matches is taken, always trying right before left, up and down.
#include "game/Boy.h"

#include "game/GameState.h"
#include "game/Records.h"
#include "game/World.h"
#include "runtime/core/Input.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/sound/Sound.h"

namespace {

struct Direction {
  double key;    // scan code
  int offset;    // neighbour index offset
  double dx, dy; // neighbour pixel offset
  double state;  // BoyState while walking there
};

// Right, left, up, down: the order in which every rule looks at the keys.
constexpr Direction kDirections[4] = {
    {kKeyRight, 1, 16, 0, 1},
    {kKeyLeft, -1, -16, 0, 2},
    {kKeyUp, -kColumns, 0, -16, 3},
    {kKeyDown, kColumns, 0, 16, 4},
};

void StepInto(int from, const Direction& d) {
  GameState& g = G();
  g.ActorMap[from] = 0;
  g.ActorMap[from + d.offset] = 13;
  g.BoyState = d.state;
}

void StartEffect(Effect& fx, double x, double y) {
  fx.x = x;
  fx.y = y;
}

}  // namespace

void UpdateBoy() {
  GameState& g = G();
  if (g.BoyStep > 0) return;
  const int column = static_cast<int>(g.BoyX / 16);
  const int row = static_cast<int>(g.BoyY / 16);
  const int i = row * kColumns + column;

  // 1. Caught by a baddie, or out of time.
  if (g.ActorMap[i] == 34 || g.TimeOver == 1) {
    g.ActorMap[i] = 0;
    g.BoyStep = 1;  // never reset: no further decisions this game
    g.BoyState = 10;
    StartEffect(g.BoomFx, g.BoyX, g.BoyY - 16);
    g.TimeOver = 1;
    PlaySound(8, 0, 1);
    return;
  }

  // 2. The open exit, on its cell or the cell to its right.
  if ((g.ItemMap[i] == 74 || g.ItemMap[i - 1] == 74) && g.GemsLeft == 0) {
    g.BoyState = 15;
    StartEffect(g.ShrinkFx, g.BoyX, g.BoyY);
    g.BoyStep = 1;
    g.Score = g.Score + g.TimeLeft;
    RecordLevelScore();
    SaveScores();
    if (g.LevelNumber < 22) g.LevelNumber = g.LevelNumber + 1;
    g.ExitSoundChannel = PlaySound(5, 0, 1);
    return;
  }

  // 3. A gem or a key; whatever stands on that cell is overwritten by the boy.
  for (const Direction& d : kDirections) {
    if (KeyState(d.key) != 1) continue;
    const int n = i + d.offset;
    const double item = g.ItemMap[n];
    if (item == 76) {
      StepInto(i, d);
      g.ItemMap[n] = 0;
      StartEffect(g.GemSuckFx, g.BoyX + d.dx, g.BoyY + d.dy);
      g.GemsLeft = g.GemsLeft - 1;
      g.Score = g.Score + 10;
      PlaySound(2, 0, 1);
      return;
    }
    if (item == 22) {
      StepInto(i, d);
      g.ItemMap[n] = 0;
      g.Score = g.Score + 5;
      g.KeysHeld = g.KeysHeld + 1;
      StartEffect(g.KeySuckFx, g.BoyX + d.dx, g.BoyY + d.dy);
      PlaySound(3, 0, 1);
      return;
    }
  }

  // 4. A fruit.
  for (const Direction& d : kDirections) {
    const int n = i + d.offset;
    if (KeyState(d.key) != 1 || g.ItemMap[n] != 216) continue;
    g.ItemMap[n] = 0;
    StepInto(i, d);
    g.FruitShowing = 0;
    g.Score = g.Score + 2 * g.FruitSlot;
    StartEffect(g.KeySuckFx, g.BoyX + d.dx, g.BoyY + d.dy);
    PlaySound(3, 0, 1);
    return;
  }

  // 5. A gem box above him, opened with a key.
  if (KeyState(kKeyUp) == 1 && g.ItemMap[i - kColumns] == 3 && g.KeysHeld > 0) {
    g.ItemMap[i - kColumns] = 4;
    g.BoyState = 5;
    g.Score = g.Score + 50;
    g.GemsLeft = g.GemsLeft - 5;
    g.KeysHeld = g.KeysHeld - 1;
    PlaySound(6, 0, 1);
    return;
  }

  // 6. A switch above him, fired with Space, only after a decision spent idle.
  if (KeyState(kKeySpace) == 1 && g.ItemMap[i - kColumns] == 118 && g.BoyState == 0) {
    g.ItemMap[i - kColumns] = 126;
    bool found = false;
    for (int r = 1; r <= 28 && !found; ++r) {
      for (int c = 1; c <= 38; ++c) {
        if (g.ItemMap[r * kColumns + c] == 200) {
          StartBlast(c * 16, r * 16);
          found = true;
          break;
        }
      }
    }
    g.BoyState = 5;
    PlaySound(8, 0, 1);
    return;
  }

  // 7. A step into a free cell.
  for (const Direction& d : kDirections) {
    if (KeyState(d.key) != 1 || g.ActorMap[i + d.offset] != 0) continue;
    StepInto(i, d);
    PlaySound(1, 0, 1);
    return;
  }

  // 8. Nothing to do: he stands.
  g.BoyState = 0;
}

void DrawBoy() {
  GameState& g = G();
  const double state = g.BoyState;
  if (state == 0) {
    DrawAnimFrame(12, 2, g.BoyX, g.BoyY);
    DrawAnimFrame(11, 2, g.BoyX, g.BoyY - 16);
    return;
  }
  double lower = 0, upper = 0;
  if (state == 1) {
    g.BoyX = g.BoyX + 2;
    lower = 6, upper = 5;
  } else if (state == 2) {
    g.BoyX = g.BoyX - 2;
    lower = 8, upper = 7;
  } else if (state == 3) {
    g.BoyY = g.BoyY - 2;
    lower = 10, upper = 9;
  } else if (state == 4) {
    g.BoyY = g.BoyY + 2;
    lower = 12, upper = 11;
  } else if (state == 5) {
    lower = 10, upper = 9;
  } else {
    return;  // exploded or gone through the exit: not drawn
  }
  DrawAnimFrame(lower, g.BoyFrame, g.BoyX, g.BoyY);
  DrawAnimFrame(upper, g.BoyFrame, g.BoyX, g.BoyY - 16);
  g.BoyFrame = g.BoyFrame + 1;
  g.BoyStep = g.BoyStep + 2;
  if (g.BoyFrame == 8) {
    g.BoyFrame = 0;
    g.BoyStep = 0;
  }
}
