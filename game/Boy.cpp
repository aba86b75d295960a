// The boy. He decides only between steps (BoyStep 0); a step is 8 frames of 2 pixels. The rules are tried
// in a fixed order and the first that matches is taken, always trying right before left, up and down.
#include "game/Boy.h"

#include "game/PlayLoop.h"
#include "game/PlayRules.h"

namespace {

struct Direction {
  bool BoyKeys::*key;  // the key that asks for this way
  int offset;          // neighbour index offset
  double dx, dy;       // neighbour pixel offset
  double state;        // BoyState while walking there
};

// Right, left, up, down: the order in which every rule looks at the keys.
constexpr Direction kDirections[4] = {
    {&BoyKeys::right, 1, kCellSize, 0, boy::kWalkingRight},
    {&BoyKeys::left, -1, -kCellSize, 0, boy::kWalkingLeft},
    {&BoyKeys::up, -kColumns, 0, -kCellSize, boy::kWalkingUp},
    {&BoyKeys::down, kColumns, 0, kCellSize, boy::kWalkingDown},
};

void StartEffect(Effect& fx, double x, double y) {
  fx.x = x;
  fx.y = y;
}

}  // namespace

void PlayRules::StepBoyInto(int from, int offset, double state) {
  s_.ActorMap[from] = cell::kFree;
  s_.ActorMap[from + offset] = cell::kBoy;
  s_.BoyState = state;
}

void PlayRules::UpdateBoy(const BoyKeys& keys) {
  PlayState& g = s_;
  if (g.BoyStep > 0) return;
  const int column = static_cast<int>(g.BoyX / kCellSize);
  const int row = static_cast<int>(g.BoyY / kCellSize);
  const int i = row * kColumns + column;

  // 1. Caught by a baddie, or out of time.
  if (g.ActorMap[i] == cell::kClaimed || g.TimeOver == 1) {
    g.ActorMap[i] = cell::kFree;
    g.BoyStep = 1;  // never reset: no further decisions this game
    g.BoyState = boy::kExploded;
    StartEffect(g.BoomFx, g.BoyX, g.BoyY - kCellSize);
    g.TimeOver = 1;
    fx_.Play(sound::kBlast);
    return;
  }

  // 2. The open exit, on its cell or the cell to its right.
  if ((g.ItemMap[i] == cell::kExit || g.ItemMap[i - 1] == cell::kExit) && g.GemsLeft == 0) {
    g.BoyState = boy::kLeaving;
    StartEffect(g.ShrinkFx, g.BoyX, g.BoyY);
    g.BoyStep = 1;
    g.Score = g.Score + g.TimeLeft;
    fx_.LevelWon();
    if (g.LevelNumber < 22) g.LevelNumber = g.LevelNumber + 1;
    g.ExitSoundChannel = fx_.Play(sound::kExit);
    return;
  }

  // 3. A gem or a key; whatever stands on that cell is overwritten by the boy.
  for (const Direction& d : kDirections) {
    if (!(keys.*d.key)) continue;
    const int n = i + d.offset;
    const double item = g.ItemMap[n];
    if (item == cell::kGem) {
      StepBoyInto(i, d.offset, d.state);
      g.ItemMap[n] = 0;
      StartEffect(g.GemSuckFx, g.BoyX + d.dx, g.BoyY + d.dy);
      g.GemsLeft = g.GemsLeft - 1;
      g.Score = g.Score + 10;
      fx_.Play(sound::kGem);
      return;
    }
    if (item == cell::kKey) {
      StepBoyInto(i, d.offset, d.state);
      g.ItemMap[n] = 0;
      g.Score = g.Score + 5;
      g.KeysHeld = g.KeysHeld + 1;
      StartEffect(g.KeySuckFx, g.BoyX + d.dx, g.BoyY + d.dy);
      fx_.Play(sound::kKey);
      return;
    }
  }

  // 4. A fruit: two points for every slot number of its kind.
  for (const Direction& d : kDirections) {
    const int n = i + d.offset;
    if (!(keys.*d.key) || g.ItemMap[n] != cell::kFruit) continue;
    g.ItemMap[n] = 0;
    StepBoyInto(i, d.offset, d.state);
    g.FruitShowing = 0;
    g.Score = g.Score + 2 * g.FruitSlot;
    StartEffect(g.KeySuckFx, g.BoyX + d.dx, g.BoyY + d.dy);
    fx_.Play(sound::kKey);
    return;
  }

  // 5. A gem box above him, opened with a key.
  const int above = i - kColumns;
  if (keys.up && g.ItemMap[above] == cell::kGemBox && g.KeysHeld > 0) {
    g.ItemMap[above] = cell::kGemBoxOpen;
    g.BoyState = boy::kWorking;
    g.Score = g.Score + 50;
    g.GemsLeft = g.GemsLeft - 5;
    g.KeysHeld = g.KeysHeld - 1;
    fx_.Play(sound::kBoxOpened);
    return;
  }

  // 6. A switch above him, fired with Space, only after a decision spent idle. The first blast block
  // row by row (inside the frame) is blown away.
  if (keys.space && g.ItemMap[above] == cell::kSwitch && g.BoyState == boy::kStanding) {
    g.ItemMap[above] = cell::kSwitchFired;
    bool found = false;
    for (int r = 1; r <= kRows - 2 && !found; ++r) {
      for (int c = 1; c <= kColumns - 2; ++c) {
        if (g.ItemMap[r * kColumns + c] == cell::kBlastBlock) {
          StartBlast(c * kCellSize, r * kCellSize);
          found = true;
          break;
        }
      }
    }
    g.BoyState = boy::kWorking;
    fx_.Play(sound::kBlast);
    return;
  }

  // 7. A step into a free cell.
  for (const Direction& d : kDirections) {
    if (!(keys.*d.key) || g.ActorMap[i + d.offset] != cell::kFree) continue;
    StepBoyInto(i, d.offset, d.state);
    fx_.Play(sound::kStep);
    return;
  }

  // 8. Nothing to do: he stands.
  g.BoyState = boy::kStanding;
}

void PlayRules::MoveBoy() {
  PlayState& g = s_;
  const double state = g.BoyState;
  if (state == boy::kStanding) {
    fx_.Draw(sprite::kBoyDownLower, 2, g.BoyX, g.BoyY);
    fx_.Draw(sprite::kBoyDownUpper, 2, g.BoyX, g.BoyY - kCellSize);
    return;
  }
  double lower = 0, upper = 0;
  if (state == boy::kWalkingRight) {
    g.BoyX = g.BoyX + 2;
    lower = sprite::kBoyRightLower, upper = sprite::kBoyRightUpper;
  } else if (state == boy::kWalkingLeft) {
    g.BoyX = g.BoyX - 2;
    lower = sprite::kBoyLeftLower, upper = sprite::kBoyLeftUpper;
  } else if (state == boy::kWalkingUp) {
    g.BoyY = g.BoyY - 2;
    lower = sprite::kBoyUpLower, upper = sprite::kBoyUpUpper;
  } else if (state == boy::kWalkingDown) {
    g.BoyY = g.BoyY + 2;
    lower = sprite::kBoyDownLower, upper = sprite::kBoyDownUpper;
  } else if (state == boy::kWorking) {
    lower = sprite::kBoyUpLower, upper = sprite::kBoyUpUpper;
  } else {
    return;  // exploded or gone through the exit: not drawn
  }
  fx_.Draw(lower, g.BoyFrame, g.BoyX, g.BoyY);
  fx_.Draw(upper, g.BoyFrame, g.BoyX, g.BoyY - kCellSize);
  g.BoyFrame = g.BoyFrame + 1;
  g.BoyStep = g.BoyStep + 2;
  if (g.BoyFrame == 8) {
    g.BoyFrame = 0;
    g.BoyStep = 0;
  }
}

void UpdateBoy() {
  GameRules().UpdateBoy(HeldBoyKeys());
}

void DrawBoy() {
  GameRules().MoveBoy();
}
