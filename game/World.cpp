// Baddies, fruit and blasts. Baddies decide in one frame of every eight, visiting the field row by row;
// their walks and turns last exactly the eight frames until the next decision.
#include "game/World.h"

#include "game/PlayLoop.h"
#include "game/PlayRules.h"
#include "runtime/core/Random.h"

namespace {

// MoveDir: the way a baddie walks, or 0 while it turns in place.
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
  if (heading == cell::kBaddieRight) return kRight;
  if (heading == cell::kBaddieLeft) return kLeft;
  if (heading == cell::kBaddieUp) return kUp;
  return kDown;
}

double HeadingOf(int dir) {
  switch (dir) {
    case kRight:
      return cell::kBaddieRight;
    case kLeft:
      return cell::kBaddieLeft;
    case kUp:
      return cell::kBaddieUp;
    default:
      return cell::kBaddieDown;
  }
}

}  // namespace

double PlayRules::Random(double n) {
  return RandomIntFrom(random_, n);
}

void PlayRules::Walk(int a, int dir) {
  const int b = a + Offset(dir);
  s_.ActorMap[a] = cell::kFree;
  s_.ActorMap[b] = cell::kClaimed;
  s_.MoveKind[a] = 1;
  s_.MoveX[a] = (a % kColumns) * kCellSize;
  s_.MoveY[a] = (a / kColumns) * kCellSize;
  s_.MoveDir[a] = dir;
}

void PlayRules::TurnInPlace(int a) {
  s_.MoveKind[a] = 1;
  s_.MoveX[a] = (a % kColumns) * kCellSize;
  s_.MoveY[a] = (a / kColumns) * kCellSize;
  s_.MoveDir[a] = kTurn;
}

bool PlayRules::Free(int at) const {
  return s_.ActorMap[at] == cell::kFree;
}

// One baddie's decision; the first rule that matches is taken.
void PlayRules::DecideBaddie(int a, double h) {
  PlayState& g = s_;
  const bool horizontal = h == cell::kBaddieRight || h == cell::kBaddieLeft;
  const int ahead = AheadOf(h);
  const int aheadCell = a + Offset(ahead);

  // 1. The boy beside the path.
  if (horizontal) {
    if (g.ActorMap[a - kColumns] == cell::kBoy) return Walk(a, kUp);
    if (g.ActorMap[a + kColumns] == cell::kBoy) return Walk(a, kDown);
  } else {
    if (g.ActorMap[a - 1] == cell::kBoy) return Walk(a, kLeft);
    if (g.ActorMap[a + 1] == cell::kBoy) return Walk(a, kRight);
  }
  // 2. The boy ahead.
  if (g.ActorMap[aheadCell] == cell::kBoy) return Walk(a, ahead);
  // 3. A fruit ahead: eaten, whatever stands there.
  if (g.ItemMap[aheadCell] == cell::kFruit) {
    Walk(a, ahead);
    g.ItemMap[aheadCell] = 0;
    g.CloudFx.x = (aheadCell % kColumns) * kCellSize;
    g.CloudFx.y = (aheadCell / kColumns) * kCellSize;
    fx_.Play(sound::kFruitEaten);
    return;
  }
  // 4. A turn marker: a random new way, else the way back, else turn in place.
  if (g.ItemMap[a] == cell::kTurnMarker) {
    const int r = static_cast<int>(Random(2)) + 1;
    int choice = kTurn, fallback = kTurn;
    if (h == cell::kBaddieRight) {
      choice = r == 1 ? kRight : r == 2 ? kUp : kDown;
      fallback = kLeft;
    } else if (h == cell::kBaddieLeft) {
      choice = r == 1 ? kLeft : r == 2 ? kUp : kDown;
      fallback = kRight;
    } else if (h == cell::kBaddieUp) {
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
  if (Free(aheadCell) || g.ActorMap[aheadCell] == cell::kBoy) return Walk(a, ahead);
  // 6. Blocked: try a side at random, then the other side, then back.
  const double side = Random(1);
  if (horizontal) {
    if (side == 0 && Free(a - kColumns)) return Walk(a, kUp);
    const double other = Random(1) + 1;
    if (other == 2 && Free(a + kColumns)) return Walk(a, kDown);
    const int back = h == cell::kBaddieRight ? kLeft : kRight;
    if (Free(a + Offset(back))) return Walk(a, back);
  } else {
    if (side == 0 && Free(a + 1)) return Walk(a, kRight);
    const double other = Random(1) + 1;
    if (other == 2 && Free(a - 1)) return Walk(a, kLeft);
    const int back = h == cell::kBaddieUp ? kDown : kUp;
    if (Free(a + Offset(back))) return Walk(a, back);
  }
  TurnInPlace(a);
}

// The scans below look at every cell between two cells of one table: they read both ends checked first,
// and then the cells between (one run of numbers) through a plain pointer. They run in every frame, also in
// every frame a look-ahead plays on a copy of the game.
namespace {

const double* CheckedRun(RtNumArray& table, int first, int last) {
  const double* run = &table[first];
  static_cast<void>(table[last]);
  return run;
}

}  // namespace

void PlayRules::MoveBaddies() {
  if (s_.Phase > 0) return;
  const int first = kColumns + 1, last = (kRows - 2) * kColumns + kColumns - 2;
  const double* actors = CheckedRun(s_.ActorMap, first, last);
  for (int row = 1; row <= kRows - 2; ++row) {
    for (int column = 1; column <= kColumns - 2; ++column) {
      const int a = row * kColumns + column;
      const double h = actors[a - first];
      if (cell::IsBaddie(h)) DecideBaddie(a, h);
    }
  }
}

void PlayRules::AnimateBaddies() {
  PlayState& g = s_;
  const double* moving = CheckedRun(g.MoveKind, kColumns, kCells - kColumns);
  for (int i = kColumns; i <= kCells - kColumns; ++i) {
    if (moving[i - kColumns] != 1) continue;
    const int dir = static_cast<int>(g.MoveDir[i]);
    double lower = sprite::kBaddieTurnLower, upper = sprite::kBaddieTurnUpper;
    switch (dir) {
      case kRight:
        g.MoveX[i] = g.MoveX[i] + 2;
        lower = sprite::kBaddieRightLower, upper = sprite::kBaddieRightUpper;
        break;
      case kLeft:
        g.MoveX[i] = g.MoveX[i] - 2;
        lower = sprite::kBaddieLeftLower, upper = sprite::kBaddieLeftUpper;
        break;
      case kUp:
        g.MoveY[i] = g.MoveY[i] - 2;
        lower = sprite::kBaddieUpLower, upper = sprite::kBaddieUpUpper;
        break;
      case kDown:
        g.MoveY[i] = g.MoveY[i] + 2;
        lower = sprite::kBaddieDownLower, upper = sprite::kBaddieDownUpper;
        break;
      default:
        break;
    }
    fx_.Draw(lower, g.MoveFrame[i], g.MoveX[i], g.MoveY[i]);
    fx_.Draw(upper, g.MoveFrame[i], g.MoveX[i], g.MoveY[i] - kCellSize);
    g.MoveFrame[i] = g.MoveFrame[i] + 1;
    if (g.MoveFrame[i] != 8) continue;
    g.MoveKind[i] = 0;
    g.MoveFrame[i] = 0;
    const int b =
        static_cast<int>(g.MoveY[i] / kCellSize) * kColumns + static_cast<int>(g.MoveX[i] / kCellSize);
    if (dir >= kRight && dir <= kDown) {
      g.ActorMap[b] = HeadingOf(dir);
    } else {
      // Turning in place: four draws, a later hit overwriting an earlier one.
      if (Random(3) == 0) g.ActorMap[b] = cell::kBaddieRight;
      if (Random(3) == 1) g.ActorMap[b] = cell::kBaddieLeft;
      if (Random(3) == 2) g.ActorMap[b] = cell::kBaddieUp;
      if (Random(3) == 3) g.ActorMap[b] = cell::kBaddieDown;
    }
  }
}

void PlayRules::SpawnFruit() {
  PlayState& g = s_;
  if (Random(200) != 25) return;
  if (g.FruitShowing != 0 || g.GemsLeft <= 0) return;
  const double row = Random(kRows - 2) + 1;
  const double column = Random(kColumns - 2) + 1;
  const int i = static_cast<int>(row) * kColumns + static_cast<int>(column);
  if (g.ItemMap[i] != 0 || g.CoverMap[i] != 0 || g.ActorMap[i] != 0) return;
  g.ItemMap[i] = cell::kFruit;
  g.FruitSlot = Random(sprite::kLastFruit - sprite::kFirstFruit) + sprite::kFirstFruit;
  g.FruitX = column * kCellSize;
  g.FruitY = row * kCellSize;
  g.FruitShowing = 1;
  fx_.Play(sound::kFruitShows);
}

void PlayRules::StartBlast(double x, double y) {
  for (int slot = 0; slot < 6; ++slot) {
    if (s_.BlastX[slot] == 0) {
      s_.BlastX[slot] = x;
      s_.BlastY[slot] = y;
      return;
    }
  }
}

// A blast runs 16 frames, then clears the block's 2 x 2 cells and what stood around them.
void PlayRules::RunBlasts() {
  PlayState& g = s_;
  for (int slot = 0; slot < 6; ++slot) {
    if (!(g.BlastY[slot] > 0)) continue;
    fx_.Draw(sprite::kBlast, g.BlastFrame[slot], g.BlastX[slot], g.BlastY[slot]);
    g.BlastFrame[slot] = g.BlastFrame[slot] + 1;
    if (g.BlastFrame[slot] != 16) continue;
    const int i = static_cast<int>(g.BlastY[slot] / kCellSize) * kColumns +
                  static_cast<int>(g.BlastX[slot] / kCellSize);
    g.ItemMap[i] = 0;
    g.ItemMap[i + kColumns] = 0;
    g.ItemMap[i + kColumns + 1] = 0;
    g.CoverMap[i] = 0;
    g.CoverMap[i + 1] = 0;
    g.ActorMap[i + kColumns] = 0;
    g.ActorMap[i + kColumns + 1] = 0;
    g.BlastFrame[slot] = 0;
    g.BlastY[slot] = 0;
  }
}

void MoveBaddies() {
  GameRules().MoveBaddies();
}

void AnimateBaddies() {
  GameRules().AnimateBaddies();
}

void SpawnFruit() {
  GameRules().SpawnFruit();
}

void StartBlast(double x, double y) {
  GameRules().StartBlast(x, y);
}

void DrawBlasts() {
  GameRules().RunBlasts();
}
