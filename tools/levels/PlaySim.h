// A model of one game on a level, frame by frame, without drawing: the boy's decisions, the baddies, the
// fruit, the blasts and the clock, in the play loop's order, with the game's random generator. The level
// solver plans with it (it can copy a game and look ahead); the shipped solutions are then checked
// against the game itself.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "runtime/core/Random.h"
#include "tools/levels/LevelCompiler.h"

namespace levels {

namespace key {
constexpr int kEscape = 1;
constexpr int kReturn = 28;
constexpr int kSpace = 57;
constexpr int kUp = 200;
constexpr int kLeft = 203;
constexpr int kRight = 205;
constexpr int kDown = 208;
}  // namespace key

// The keys held in one frame, as far as the boy cares.
struct BoyKeys {
  bool right = false, left = false, up = false, down = false, space = false;
  bool operator==(const BoyKeys&) const = default;
};

struct Effect {
  int frame = 0, x = 0, y = 0;
};

class PlaySim {
 public:
  std::array<int, kCells> item{}, cover{}, actor{};
  std::array<int, kCells> moveKind{}, moveDir{}, moveFrame{}, moveX{}, moveY{};
  std::array<int, 6> blastX{}, blastY{}, blastFrame{};
  int score = 0, gemsLeft = 0, keysHeld = 0, timeLeft = 300, timeTick = 0, timeOver = 0, phase = 0;
  int exitOpen = 0, levelOver = 0;
  int boyX = 0, boyY = 0, boyState = 0, boyFrame = 0, boyStep = 0;
  int fruitShowing = 0, fruitSlot = 0, fruitX = 0, fruitY = 0;
  Effect cloudFx, shrinkFx;
  long long frame = 0;  // frames played
  bool won = false;
  RandomState rng;

  // ResetLevelState, LoadLevel and ScanLevel on the compiled layers, with a freshly seeded generator.
  void Start(const Layers& L, int32_t seed) {
    *this = PlaySim{};
    // The game seeds once, into a generator whose result words are still zero.
    Rt().random = RandomState{};
    SeedRandom(seed);
    rng = Rt().random;
    for (int i = 0; i < kCells; ++i) {
      item[i] = L.item[i];
      cover[i] = L.cover[i];
      actor[i] = L.actor[i];
    }
    for (int row = 0; row <= 28; ++row) {
      for (int col = 0; col <= 38; ++col) {
        const int i = row * kColumns + col;
        if (actor[i] == cell::kBoy) {
          boyX = col * 16;
          boyY = row * 16;
        } else if (item[i] == cell::kGem) {
          gemsLeft += 1;
        } else if (item[i] == cell::kGemBox) {
          gemsLeft += 5;
        }
      }
    }
  }

  int BoyCell() const { return (boyY / 16) * kColumns + boyX / 16; }
  bool Dead() const { return boyState == 10; }
  // The boy takes a decision in this frame's UpdateBoy.
  bool Deciding() const { return boyStep == 0 && boyState != 10 && boyState != 15; }

  // One frame of the play loop with these keys held.
  void Step(const BoyKeys& keys) {
    MoveBaddies();
    UpdateBoy(keys);
    DrawBoy();
    AnimateBaddies();
    if (cloudFx.y > 0 && ++cloudFx.frame == 8) {
      cloudFx.frame = 0;
      cloudFx.y = 0;
      fruitShowing = 0;
    }
    if (shrinkFx.y > 0 && ++shrinkFx.frame == 16) {
      levelOver = 1;
      shrinkFx.frame = 0;
      shrinkFx.y = 0;
    }
    SpawnFruit();
    DrawBlasts();
    if (phase == 0 && timeOver != 1) {
      if (++timeTick == 4) {
        timeTick = 0;
        --timeLeft;
      }
      if (timeLeft == 0) timeOver = 1;
    }
    phase += 2;
    if (phase == 16) phase = 0;
    if (gemsLeft == 0 && exitOpen == 0) exitOpen = 1;
    ++frame;
  }

 private:
  int Random(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(isaac::Next(rng) % static_cast<uint32_t>(n + 1));
  }

  void StepInto(int i, int n, int state) {
    actor[i] = 0;
    actor[n] = cell::kBoy;
    boyState = state;
  }

  void UpdateBoy(const BoyKeys& k) {
    if (boyStep > 0) return;
    const int i = BoyCell();
    if (actor[i] == cell::kClaimed || timeOver == 1) {
      actor[i] = 0;
      boyStep = 1;
      boyState = 10;
      timeOver = 1;
      return;
    }
    if ((item[i] == cell::kExit || item[i - 1] == cell::kExit) && gemsLeft == 0) {
      boyState = 15;
      shrinkFx = Effect{0, boyX, boyY};
      boyStep = 1;
      score += timeLeft;
      won = true;
      return;
    }
    const bool held[4] = {k.right, k.left, k.up, k.down};
    const int offset[4] = {1, -1, -kColumns, kColumns};
    for (int d = 0; d < 4; ++d) {
      const int n = i + offset[d];
      if (!held[d] || (item[n] != cell::kGem && item[n] != cell::kKey)) continue;
      if (item[n] == cell::kGem) {
        --gemsLeft;
        score += 10;
      } else {
        ++keysHeld;
        score += 5;
      }
      item[n] = 0;
      StepInto(i, n, d + 1);
      return;
    }
    for (int d = 0; d < 4; ++d) {
      const int n = i + offset[d];
      if (!held[d] || item[n] != cell::kFruit) continue;
      item[n] = 0;
      StepInto(i, n, d + 1);
      fruitShowing = 0;
      score += 2 * fruitSlot;
      return;
    }
    if (k.up && item[i - kColumns] == cell::kGemBox && keysHeld > 0) {
      item[i - kColumns] = 4;
      boyState = 5;
      score += 50;
      gemsLeft -= 5;
      --keysHeld;
      return;
    }
    if (k.space && item[i - kColumns] == cell::kSwitch && boyState == 0) {
      item[i - kColumns] = 126;
      for (int row = 1; row <= 28; ++row) {
        bool found = false;
        for (int col = 1; col <= 38 && !found; ++col) {
          if (item[row * kColumns + col] != cell::kBlastBlock) continue;
          StartBlast(col * 16, row * 16);
          found = true;
        }
        if (found) break;
      }
      boyState = 5;
      return;
    }
    for (int d = 0; d < 4; ++d) {
      const int n = i + offset[d];
      if (!held[d] || actor[n] != 0) continue;
      StepInto(i, n, d + 1);
      return;
    }
    boyState = 0;
  }

  void DrawBoy() {
    if (boyState < 1 || boyState > 5) return;
    if (boyState == 1) boyX += 2;
    if (boyState == 2) boyX -= 2;
    if (boyState == 3) boyY -= 2;
    if (boyState == 4) boyY += 2;
    ++boyFrame;
    boyStep += 2;
    if (boyFrame == 8) {
      boyFrame = 0;
      boyStep = 0;
    }
  }

  void StartBlast(int x, int y) {
    for (int s = 0; s < 6; ++s) {
      if (blastX[s] != 0) continue;
      blastX[s] = x;
      blastY[s] = y;
      return;
    }
  }

  void DrawBlasts() {
    for (int s = 0; s < 6; ++s) {
      if (blastY[s] <= 0) continue;
      if (++blastFrame[s] < 16) continue;
      const int i = (blastY[s] / 16) * kColumns + blastX[s] / 16;
      item[i] = item[i + 40] = item[i + 41] = 0;
      cover[i] = cover[i + 1] = 0;
      actor[i + 40] = actor[i + 41] = 0;
      blastFrame[s] = 0;
      blastY[s] = 0;
    }
  }

  void Walk(int a, int b, int dir) {
    actor[a] = 0;
    actor[b] = cell::kClaimed;
    moveKind[a] = 1;
    moveX[a] = (a % kColumns) * 16;
    moveY[a] = (a / kColumns) * 16;
    moveDir[a] = dir;
  }
  void Turn(int a) {
    moveKind[a] = 1;
    moveX[a] = (a % kColumns) * 16;
    moveY[a] = (a / kColumns) * 16;
    moveDir[a] = 0;
  }

  void MoveBaddies() {
    if (phase > 0) return;
    // Direction numbers: 1 right, 2 left, 3 up, 4 down.
    const int offset[5] = {0, 1, -1, -kColumns, kColumns};
    for (int row = 1; row <= 28; ++row) {
      for (int col = 1; col <= 38; ++col) {
        const int a = row * kColumns + col;
        const int h = actor[a];
        if (!cell::IsBaddie(h)) continue;
        const bool horizontal = h == cell::kBaddieRight || h == cell::kBaddieLeft;
        const int ahead = h == cell::kBaddieRight  ? 1
                          : h == cell::kBaddieLeft ? 2
                          : h == cell::kBaddieUp   ? 3
                                                   : 4;
        const int n = a + offset[ahead];
        auto walk = [&](int d) { Walk(a, a + offset[d], d); };
        auto isFree = [&](int d) { return actor[a + offset[d]] == 0; };
        if (horizontal) {
          if (actor[a - kColumns] == cell::kBoy) {
            walk(3);
            continue;
          }
          if (actor[a + kColumns] == cell::kBoy) {
            walk(4);
            continue;
          }
        } else {
          if (actor[a - 1] == cell::kBoy) {
            walk(2);
            continue;
          }
          if (actor[a + 1] == cell::kBoy) {
            walk(1);
            continue;
          }
        }
        if (actor[n] == cell::kBoy) {
          walk(ahead);
          continue;
        }
        if (item[n] == cell::kFruit) {
          walk(ahead);
          item[n] = 0;
          cloudFx = Effect{0, (n % kColumns) * 16, (n / kColumns) * 16};
          continue;
        }
        if (item[a] == cell::kTurnMarker) {
          const int r = Random(2) + 1;
          // Rows: the three choices for r = 1..3, then the fallback.
          static const int table[5][4] = {
              {0, 0, 0, 0}, {1, 3, 4, 2}, {2, 3, 4, 1}, {3, 1, 2, 4}, {4, 1, 2, 3}};
          const int pick = table[ahead][r - 1], fallback = table[ahead][3];
          if (isFree(pick))
            walk(pick);
          else if (isFree(fallback))
            walk(fallback);
          else
            Turn(a);
          continue;
        }
        if (actor[n] == 0 || actor[n] == cell::kBoy) {
          walk(ahead);
          continue;
        }
        const int s = Random(1);
        const int side1 = horizontal ? 3 : 1, side2 = horizontal ? 4 : 2;
        const int back = ahead == 1 ? 2 : ahead == 2 ? 1 : ahead == 3 ? 4 : 3;
        if (s == 0 && isFree(side1)) {
          walk(side1);
          continue;
        }
        const int t = Random(1) + 1;
        if (t == 2 && isFree(side2))
          walk(side2);
        else if (isFree(back))
          walk(back);
        else
          Turn(a);
      }
    }
  }

  void AnimateBaddies() {
    static const int heading[5] = {0, cell::kBaddieRight, cell::kBaddieLeft, cell::kBaddieUp,
                                   cell::kBaddieDown};
    for (int i = 40; i <= 1160; ++i) {
      if (moveKind[i] != 1) continue;
      const int d = moveDir[i];
      if (d == 1) moveX[i] += 2;
      if (d == 2) moveX[i] -= 2;
      if (d == 3) moveY[i] -= 2;
      if (d == 4) moveY[i] += 2;
      if (++moveFrame[i] < 8) continue;
      moveKind[i] = 0;
      moveFrame[i] = 0;
      const int b = (moveY[i] / 16) * kColumns + moveX[i] / 16;
      if (d >= 1) {
        actor[b] = heading[d];
      } else {
        if (Random(3) == 0) actor[b] = cell::kBaddieRight;
        if (Random(3) == 1) actor[b] = cell::kBaddieLeft;
        if (Random(3) == 2) actor[b] = cell::kBaddieUp;
        if (Random(3) == 3) actor[b] = cell::kBaddieDown;
      }
    }
  }

  void SpawnFruit() {
    if (Random(200) != 25) return;
    if (fruitShowing != 0 || gemsLeft <= 0) return;
    const int row = Random(28) + 1;
    const int col = Random(38) + 1;
    const int i = row * kColumns + col;
    if (item[i] != 0 || cover[i] != 0 || actor[i] != 0) return;
    item[i] = cell::kFruit;
    fruitSlot = Random(5) + 18;
    fruitX = col * 16;
    fruitY = row * 16;
    fruitShowing = 1;
  }
};

}  // namespace levels
