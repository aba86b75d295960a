// Baddies, fruit and blasts. Baddies decide in one frame of every eight, visiting the field row by row;
// their walks and turns last exactly the eight frames until the next decision.
#include "game/World.h"

#include "game/GameState.h"
#include "runtime/core/Random.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/sound/Sound.h"

namespace {

enum Dir { kTurn = 0, kRight = 1, kLeft = 2, kUp = 3, kDown = 4 };

int Offset(int dir) {
  switch (dir) {
    case kRight:
      return 1;
    case kLeft:
      return -1;
    case kUp:
      return -kColumns;
    case kDown:
      return kColumns;
    default:
      return 0;
  }
}

int AheadOf(double heading) {
  if (heading == kHeadRight) return kRight;
  if (heading == kHeadLeft) return kLeft;
  if (heading == kHeadUp) return kUp;
  return kDown;
}

double HeadingOf(int dir) {
  switch (dir) {
    case kRight:
      return kHeadRight;
    case kLeft:
      return kHeadLeft;
    case kUp:
      return kHeadUp;
    default:
      return kHeadDown;
  }
}

bool IsHeading(double v) { return v == kHeadRight || v == kHeadLeft || v == kHeadUp || v == kHeadDown; }

void Walk(int a, int dir) {
  GameState& g = G();
  const int b = a + Offset(dir);
  g.ActorMap[a] = 0;
  g.ActorMap[b] = 34;
  g.MoveKind[a] = 1;
  g.MoveX[a] = (a % kColumns) * 16;
  g.MoveY[a] = (a / kColumns) * 16;
  g.MoveDir[a] = dir;
}

void TurnInPlace(int a) {
  GameState& g = G();
  g.MoveKind[a] = 1;
  g.MoveX[a] = (a % kColumns) * 16;
  g.MoveY[a] = (a / kColumns) * 16;
  g.MoveDir[a] = kTurn;
}

bool Free(int cell) { return G().ActorMap[cell] == 0; }

// One baddie's decision; the first rule that matches is taken.
void Decide(int a, double h) {
  GameState& g = G();
  const bool horizontal = h == kHeadRight || h == kHeadLeft;
  const int ahead = AheadOf(h);
  const int aheadCell = a + Offset(ahead);

  // 1. The boy beside the path.
  if (horizontal) {
    if (g.ActorMap[a - kColumns] == 13) return Walk(a, kUp);
    if (g.ActorMap[a + kColumns] == 13) return Walk(a, kDown);
  } else {
    if (g.ActorMap[a - 1] == 13) return Walk(a, kLeft);
    if (g.ActorMap[a + 1] == 13) return Walk(a, kRight);
  }
  // 2. The boy ahead.
  if (g.ActorMap[aheadCell] == 13) return Walk(a, ahead);
  // 3. A fruit ahead: eaten, whatever stands there.
  if (g.ItemMap[aheadCell] == 216) {
    Walk(a, ahead);
    g.ItemMap[aheadCell] = 0;
    g.CloudFx.x = (aheadCell % kColumns) * 16;
    g.CloudFx.y = (aheadCell / kColumns) * 16;
    PlaySound(10, 0, 1);
    return;
  }
  // 4. A turn marker: a random new way, else the way back, else turn in place.
  if (g.ItemMap[a] == 73) {
    const int r = static_cast<int>(RandomInt(2)) + 1;
    int choice = kTurn, fallback = kTurn;
    if (h == kHeadRight) {
      choice = r == 1 ? kRight : r == 2 ? kUp : kDown;
      fallback = kLeft;
    } else if (h == kHeadLeft) {
      choice = r == 1 ? kLeft : r == 2 ? kUp : kDown;
      fallback = kRight;
    } else if (h == kHeadUp) {
      choice = r == 1 ? kUp : r == 2 ? kRight : kLeft;
      fallback = kDown;
    } else {
      choice = r == 1 ? kDown : r == 2 ? kRight : kLeft;
      fallback = kUp;
    }
    if (Free(a + Offset(choice))) return Walk(a, choice);
    if (Free(a + Offset(fallback))) return Walk(a, fallback);
    return TurnInPlace(a);
  }
  // 5. Straight on, also into the boy.
  if (Free(aheadCell) || g.ActorMap[aheadCell] == 13) return Walk(a, ahead);
  // 6. Blocked: try a side at random, then the other side, then back.
  const double s = RandomInt(1);
  if (horizontal) {
    if (s == 0 && Free(a - kColumns)) return Walk(a, kUp);
    const double t = RandomInt(1) + 1;
    if (t == 2 && Free(a + kColumns)) return Walk(a, kDown);
    const int back = h == kHeadRight ? kLeft : kRight;
    if (Free(a + Offset(back))) return Walk(a, back);
  } else {
    if (s == 0 && Free(a + 1)) return Walk(a, kRight);
    const double t = RandomInt(1) + 1;
    if (t == 2 && Free(a - 1)) return Walk(a, kLeft);
    const int back = h == kHeadUp ? kDown : kUp;
    if (Free(a + Offset(back))) return Walk(a, back);
  }
  TurnInPlace(a);
}

}  // namespace

void MoveBaddies() {
  GameState& g = G();
  if (g.Phase > 0) return;
  for (int row = 1; row <= 28; ++row) {
    for (int column = 1; column <= 38; ++column) {
      const int a = row * kColumns + column;
      const double h = g.ActorMap[a];
      if (IsHeading(h)) Decide(a, h);
    }
  }
}

void AnimateBaddies() {
  GameState& g = G();
  for (int i = 40; i <= 1160; ++i) {
    if (g.MoveKind[i] != 1) continue;
    const int dir = static_cast<int>(g.MoveDir[i]);
    double lower = 38, upper = 37;
    switch (dir) {
      case kRight:
        g.MoveX[i] = g.MoveX[i] + 2;
        lower = 29, upper = 28;
        break;
      case kLeft:
        g.MoveX[i] = g.MoveX[i] - 2;
        lower = 31, upper = 30;
        break;
      case kUp:
        g.MoveY[i] = g.MoveY[i] - 2;
        lower = 33, upper = 32;
        break;
      case kDown:
        g.MoveY[i] = g.MoveY[i] + 2;
        lower = 35, upper = 34;
        break;
      default:
        break;
    }
    DrawAnimFrame(lower, g.MoveFrame[i], g.MoveX[i], g.MoveY[i]);
    DrawAnimFrame(upper, g.MoveFrame[i], g.MoveX[i], g.MoveY[i] - 16);
    g.MoveFrame[i] = g.MoveFrame[i] + 1;
    if (g.MoveFrame[i] != 8) continue;
    g.MoveKind[i] = 0;
    g.MoveFrame[i] = 0;
    const int b = static_cast<int>(g.MoveY[i] / 16) * kColumns + static_cast<int>(g.MoveX[i] / 16);
    if (dir >= kRight && dir <= kDown) {
      g.ActorMap[b] = HeadingOf(dir);
    } else {
      // Turning in place: four draws, a later hit overwriting an earlier one.
      if (RandomInt(3) == 0) g.ActorMap[b] = kHeadRight;
      if (RandomInt(3) == 1) g.ActorMap[b] = kHeadLeft;
      if (RandomInt(3) == 2) g.ActorMap[b] = kHeadUp;
      if (RandomInt(3) == 3) g.ActorMap[b] = kHeadDown;
    }
  }
}

void SpawnFruit() {
  GameState& g = G();
  if (RandomInt(200) != 25) return;
  if (g.FruitShowing != 0 || g.GemsLeft <= 0) return;
  const double row = RandomInt(28) + 1;
  const double column = RandomInt(38) + 1;
  const int cell = static_cast<int>(row) * kColumns + static_cast<int>(column);
  if (g.ItemMap[cell] != 0 || g.CoverMap[cell] != 0 || g.ActorMap[cell] != 0) return;
  g.ItemMap[cell] = 216;
  g.FruitSlot = RandomInt(5) + 18;
  g.FruitX = column * 16;
  g.FruitY = row * 16;
  g.FruitShowing = 1;
  PlaySound(9, 0, 1);
}

void StartBlast(double x, double y) {
  GameState& g = G();
  for (int slot = 0; slot < 6; ++slot) {
    if (g.BlastX[slot] == 0) {
      g.BlastX[slot] = x;
      g.BlastY[slot] = y;
      return;
    }
  }
}

void DrawBlasts() {
  GameState& g = G();
  for (int slot = 0; slot < 6; ++slot) {
    if (!(g.BlastY[slot] > 0)) continue;
    DrawAnimFrame(17, g.BlastFrame[slot], g.BlastX[slot], g.BlastY[slot]);
    g.BlastFrame[slot] = g.BlastFrame[slot] + 1;
    if (g.BlastFrame[slot] != 16) continue;
    const int i = static_cast<int>(g.BlastY[slot] / 16) * kColumns + static_cast<int>(g.BlastX[slot] / 16);
    g.ItemMap[i] = 0;
    g.ItemMap[i + 40] = 0;
    g.ItemMap[i + 41] = 0;
    g.CoverMap[i] = 0;
    g.CoverMap[i + 1] = 0;
    g.ActorMap[i + 40] = 0;
    g.ActorMap[i + 41] = 0;
    g.BlastFrame[slot] = 0;
    g.BlastY[slot] = 0;
  }
}
