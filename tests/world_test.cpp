// Baddies, fruit and large blasts on small fields built by hand. Random choices are checked by replaying
// the same draws on the generator state the routine started from.
#include "game/World.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "game/Boy.h"
#include "game/GameState.h"
#include "game/GameWords.h"
#include "runtime/core/Random.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameTestSupport.h"

namespace {

using cell::kSolid;
using testing_support::ArrangeDraws;
using testing_support::Cell;
using testing_support::PeekDraws;
using testing_support::SameGenerator;
using testing_support::TestSounds;

enum Dir { kTurn = 0, kRight = 1, kLeft = 2, kUp = 3, kDown = 4 };

int Neighbour(int cell, int dir) {
  switch (dir) {
    case kRight:
      return cell + 1;
    case kLeft:
      return cell - 1;
    case kUp:
      return cell - 40;
    case kDown:
      return cell + 40;
    default:
      return cell;
  }
}

int AheadDir(double heading) {
  return heading == cell::kBaddieRight  ? kRight
         : heading == cell::kBaddieLeft ? kLeft
         : heading == cell::kBaddieUp   ? kUp
                                        : kDown;
}

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  void TearDown() override {
    sounds.reset();
    ResetRuntimeContext();
  }
  void Fresh() {
    sounds.reset();
    testing_support::NewField();
    sounds = std::make_unique<TestSounds>();
  }
  // The generator as it would be after `n` draws from `from`.
  static RandomState After(const RandomState& from, int n) {
    const RandomState saved = Rt().random;
    Rt().random = from;
    for (int i = 0; i < n; ++i) RandomInt(1);
    const RandomState result = Rt().random;
    Rt().random = saved;
    return result;
  }
  // Expects the baddie that started at `a` to be walking in `dir` (or turning in place with kTurn).
  static void ExpectWalk(int a, int dir, double heading) {
    GameState& g = G();
    EXPECT_EQ(g.MoveKind[a], 1);
    EXPECT_EQ(g.MoveDir[a], dir);
    EXPECT_EQ(g.MoveX[a], (a % 40) * 16);
    EXPECT_EQ(g.MoveY[a], (a / 40) * 16);
    if (dir == kTurn) {
      EXPECT_EQ(g.ActorMap[a], heading);
    } else {
      EXPECT_EQ(g.ActorMap[a], 0);
      EXPECT_EQ(g.ActorMap[Neighbour(a, dir)], cell::kClaimed);
    }
  }

  std::unique_ptr<TestSounds> sounds;
};

TEST_F(WorldTest, TheBoyBesideThePathComesBeforeAnythingAhead) {
  struct Case {
    double heading;
    std::vector<int> boyDirs;  // where the boy stands, seen from the baddie
    int expect;
  };
  const Case cases[] = {
      {cell::kBaddieRight, {kUp}, kUp},       {cell::kBaddieRight, {kDown}, kDown},
      {cell::kBaddieLeft, {kUp, kDown}, kUp}, {cell::kBaddieUp, {kLeft}, kLeft},
      {cell::kBaddieUp, {kRight}, kRight},    {cell::kBaddieDown, {kLeft, kRight}, kLeft},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    Fresh();
    GameState& g = G();
    const int a = Cell(10, 10);
    g.ActorMap[a] = c.heading;
    g.ItemMap[a] = cell::kTurnMarker;  // a turn marker does not matter here
    const int ahead = Neighbour(a, AheadDir(c.heading));
    g.ActorMap[ahead] = kSolid;
    g.ItemMap[ahead] = cell::kFruit;  // nor does a fruit ahead
    for (int d : c.boyDirs) g.ActorMap[Neighbour(a, d)] = cell::kBoy;
    const RandomState before = Rt().random;
    MoveBaddies();
    ExpectWalk(a, c.expect, c.heading);
    EXPECT_EQ(g.ItemMap[ahead], cell::kFruit);
    EXPECT_EQ(g.CloudFx.y, 0);
    EXPECT_TRUE(SameGenerator(before, Rt().random));
  }
}

TEST_F(WorldTest, TheBoyAheadComesBeforeAFruitAheadAndIsClaimed) {
  GameState& g = G();
  const int a = Cell(10, 10);
  g.ActorMap[a] = cell::kBaddieRight;
  g.ActorMap[Cell(11, 10)] = cell::kBoy;
  g.ItemMap[Cell(11, 10)] = cell::kFruit;
  MoveBaddies();
  ExpectWalk(a, kRight, cell::kBaddieRight);
  EXPECT_EQ(g.ItemMap[Cell(11, 10)], cell::kFruit);
  EXPECT_EQ(g.CloudFx.y, 0);
  EXPECT_TRUE(sounds->SlotsPlaying().empty());
}

TEST_F(WorldTest, AFruitAheadIsEatenWithTheCloudWhateverStandsThere) {
  GameState& g = G();
  const int a = Cell(10, 10);
  g.ActorMap[a] = cell::kBaddieDown;
  g.ItemMap[a] = cell::kTurnMarker;  // the fruit comes before the turn marker: no draw
  g.ActorMap[Cell(10, 11)] = kSolid;
  g.ItemMap[Cell(10, 11)] = cell::kFruit;
  g.FruitShowing = 1;
  const RandomState before = Rt().random;
  MoveBaddies();
  ExpectWalk(a, kDown, cell::kBaddieDown);
  EXPECT_EQ(g.ItemMap[Cell(10, 11)], 0);
  EXPECT_EQ(g.CloudFx.x, 160);
  EXPECT_EQ(g.CloudFx.y, 176);
  EXPECT_EQ(g.FruitShowing, 1);  // until the cloud ends
  EXPECT_EQ(sounds->SlotsPlaying(), (std::set<int>{10}));
  EXPECT_TRUE(SameGenerator(before, Rt().random));
}

TEST_F(WorldTest, ATurnMarkerChoosesFromItsTableThenTheWayBackThenTurnsInPlace) {
  // Direction for r = 1, 2, 3, then the fallback.
  const std::map<double, std::array<int, 4>> table = {
      {cell::kBaddieRight, {kRight, kUp, kDown, kLeft}},
      {cell::kBaddieLeft, {kLeft, kUp, kDown, kRight}},
      {cell::kBaddieUp, {kUp, kRight, kLeft, kDown}},
      {cell::kBaddieDown, {kDown, kRight, kLeft, kUp}},
  };
  for (const auto& [heading, row] : table) {
    for (int r = 1; r <= 3; ++r) {
      SCOPED_TRACE(heading);
      SCOPED_TRACE(r);
      const int a = Cell(10, 10);
      auto setUp = [&, h = heading] {
        Fresh();
        G().ActorMap[a] = h;
        G().ItemMap[a] = cell::kTurnMarker;
        ArrangeDraws([&] { return RandomInt(2) + 1 == r; });
      };
      // All free: the table's direction; one draw.
      setUp();
      RandomState before = Rt().random;
      MoveBaddies();
      ExpectWalk(a, row[r - 1], heading);
      EXPECT_TRUE(SameGenerator(After(before, 1), Rt().random));

      // The chosen cell is taken: the fallback.
      setUp();
      G().ActorMap[Neighbour(a, row[r - 1])] = kSolid;
      MoveBaddies();
      ExpectWalk(a, row[3], heading);

      // Both taken (the boy behind counts as taken here): turn in place, keeping the heading.
      setUp();
      G().ActorMap[Neighbour(a, row[r - 1])] = kSolid;
      G().ActorMap[Neighbour(a, row[3])] = cell::kBoy;
      before = Rt().random;
      MoveBaddies();
      ExpectWalk(a, kTurn, heading);
      EXPECT_EQ(G().ActorMap[Neighbour(a, row[3])], cell::kBoy);
      EXPECT_TRUE(SameGenerator(After(before, 1), Rt().random));
    }
  }
}

TEST_F(WorldTest, StraightOnIntoAFreeCell) {
  GameState& g = G();
  const int a = Cell(10, 10);
  g.ActorMap[a] = cell::kBaddieLeft;
  const RandomState before = Rt().random;
  MoveBaddies();
  ExpectWalk(a, kLeft, cell::kBaddieLeft);
  EXPECT_TRUE(SameGenerator(before, Rt().random));
}

TEST_F(WorldTest, ABlockedBaddieTriesOneSideThenTheOtherThenBackWithItsDrawsInOrder) {
  struct Case {
    double heading;
    int s, t;  // the two draws as the rule sees them (t = RandomInt(1) + 1)
    bool side1Free, side2Free, backFree;
    int expect;
    int draws;
  };
  // side1 is up for 71/79 and right for 62/54; side2 is down or left; back is the way it came.
  const Case cases[] = {
      {cell::kBaddieRight, 0, 1, true, true, true, kUp, 1},
      {cell::kBaddieRight, 0, 2, false, true, true, kDown, 2},
      {cell::kBaddieRight, 1, 2, true, true, true, kDown, 2},
      {cell::kBaddieRight, 1, 1, true, true, true, kLeft, 2},
      {cell::kBaddieRight, 1, 2, true, false, true, kLeft, 2},
      {cell::kBaddieRight, 1, 1, true, true, false, kTurn, 2},
      {cell::kBaddieLeft, 0, 2, false, false, true, kRight, 2},
      {cell::kBaddieLeft, 1, 1, true, true, false, kTurn, 2},
      {cell::kBaddieUp, 0, 1, true, true, true, kRight, 1},
      {cell::kBaddieUp, 1, 2, true, true, true, kLeft, 2},
      {cell::kBaddieUp, 1, 1, true, true, true, kDown, 2},
      {cell::kBaddieUp, 0, 1, false, true, false, kTurn, 2},
      {cell::kBaddieDown, 0, 2, false, true, true, kLeft, 2},
      {cell::kBaddieDown, 1, 1, true, true, true, kUp, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.heading << " s " << c.s << " t " << c.t);
    Fresh();
    GameState& g = G();
    const int a = Cell(10, 10);
    const bool horizontal = c.heading == cell::kBaddieRight || c.heading == cell::kBaddieLeft;
    const int side1 = horizontal ? kUp : kRight, side2 = horizontal ? kDown : kLeft;
    const int ahead = AheadDir(c.heading);
    const int back = ahead == kRight ? kLeft : ahead == kLeft ? kRight : ahead == kUp ? kDown : kUp;
    g.ActorMap[a] = c.heading;
    g.ActorMap[Neighbour(a, ahead)] = 200;
    if (!c.side1Free) g.ActorMap[Neighbour(a, side1)] = kSolid;
    if (!c.side2Free) g.ActorMap[Neighbour(a, side2)] = cell::kClaimed;
    if (!c.backFree) g.ActorMap[Neighbour(a, back)] = kSolid;
    ArrangeDraws([&] { return RandomInt(1) == c.s && RandomInt(1) + 1 == c.t; });
    const RandomState before = Rt().random;
    MoveBaddies();
    ExpectWalk(a, c.expect, c.heading);
    EXPECT_TRUE(SameGenerator(After(before, c.draws), Rt().random));
  }
}

TEST_F(WorldTest, OnePassEveryEighthFrameOverTheInnerFieldInReadingOrder) {
  GameState& g = G();
  g.ActorMap[Cell(10, 10)] = cell::kBaddieRight;
  g.ActorMap[Cell(20, 10)] = cell::kBaddieDown;
  g.Phase = 2;
  MoveBaddies();
  EXPECT_EQ(g.ActorMap[Cell(10, 10)], cell::kBaddieRight);
  EXPECT_EQ(g.MoveKind[Cell(10, 10)], 0);

  g.Phase = 0;
  MoveBaddies();
  // A baddie that walked right or down now stands on a claimed cell and is not met again in the same pass.
  ExpectWalk(Cell(10, 10), kRight, cell::kBaddieRight);
  ExpectWalk(Cell(20, 10), kDown, cell::kBaddieDown);
  EXPECT_EQ(g.MoveKind[Cell(11, 10)], 0);
  EXPECT_EQ(g.MoveKind[Cell(20, 11)], 0);

  // Column 0 and 39 and row 29 are never visited, even by a baddie with room to move.
  Fresh();
  G().ActorMap[Cell(39, 5)] = cell::kBaddieLeft;
  G().ActorMap[Cell(38, 5)] = 0;
  G().ActorMap[Cell(0, 7)] = cell::kBaddieRight;
  G().ActorMap[Cell(1, 7)] = 0;
  G().ActorMap[Cell(5, 29)] = cell::kBaddieUp;
  G().ActorMap[Cell(5, 28)] = 0;
  const RandomState before = Rt().random;
  MoveBaddies();
  EXPECT_EQ(G().ActorMap[Cell(39, 5)], cell::kBaddieLeft);
  EXPECT_EQ(G().ActorMap[Cell(0, 7)], cell::kBaddieRight);
  EXPECT_EQ(G().ActorMap[Cell(5, 29)], cell::kBaddieUp);
  EXPECT_EQ(G().ActorMap[Cell(38, 5)], 0);
  EXPECT_TRUE(SameGenerator(before, Rt().random));
}

TEST_F(WorldTest, AWalkLastsEightFramesAndEndsWithItsHeadingInTheTargetCell) {
  const std::pair<double, int> walks[] = {{cell::kBaddieRight, kRight},
                                          {cell::kBaddieLeft, kLeft},
                                          {cell::kBaddieUp, kUp},
                                          {cell::kBaddieDown, kDown}};
  for (const auto& [heading, dir] : walks) {
    SCOPED_TRACE(heading);
    Fresh();
    GameState& g = G();
    const int a = Cell(10, 10), b = Neighbour(a, dir);
    g.ActorMap[a] = heading;
    MoveBaddies();
    const int dx = dir == kRight ? 2 : dir == kLeft ? -2 : 0, dy = dir == kDown ? 2 : dir == kUp ? -2 : 0;
    for (int k = 1; k <= 8; ++k) {
      AnimateBaddies();
      EXPECT_EQ(g.MoveX[a], 160 + k * dx);
      EXPECT_EQ(g.MoveY[a], 160 + k * dy);
      EXPECT_EQ(g.MoveFrame[a], k % 8);
      EXPECT_EQ(g.MoveKind[a], k < 8 ? 1 : 0);
      EXPECT_EQ(g.ActorMap[b], k < 8 ? cell::kClaimed : heading);
    }
    EXPECT_EQ(g.ActorMap[a], 0);
  }
}

TEST_F(WorldTest, TheEndOfATurnDrawsFourTimesAndTheLastHitWins) {
  struct Case {
    std::array<int, 4> want;  // -1: anything but a hit
    double expect;
  };
  const Case cases[] = {
      {{0, 1, -1, -1}, cell::kBaddieLeft},  // the second hit overwrites the first
      {{0, -1, -1, -1}, cell::kBaddieRight},
      {{-1, -1, 2, 3}, cell::kBaddieDown},
      {{-1, -1, 2, -1}, cell::kBaddieUp},
      {{-1, -1, -1, -1}, cell::kBaddieUp},  // no hit: the heading stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expect);
    Fresh();
    GameState& g = G();
    const int a = Cell(10, 10);
    g.ActorMap[a] = cell::kBaddieUp;
    g.ActorMap[Cell(10, 9)] = g.ActorMap[Cell(10, 11)] = g.ActorMap[Cell(9, 10)] = g.ActorMap[Cell(11, 10)] =
        kSolid;
    ArrangeDraws([] { return RandomInt(1) == 1 && RandomInt(1) == 0; });  // blocked: s 1, t 1, no way back
    MoveBaddies();
    ExpectWalk(a, kTurn, cell::kBaddieUp);
    for (int k = 1; k < 8; ++k) AnimateBaddies();
    EXPECT_EQ(g.MoveKind[a], 1);
    ArrangeDraws([&] {
      for (int i = 0; i < 4; ++i) {
        const bool hit = RandomInt(3) == i;
        if (hit != (c.want[i] == i)) return false;
      }
      return true;
    });
    const RandomState before = Rt().random;
    AnimateBaddies();
    EXPECT_EQ(g.MoveKind[a], 0);
    EXPECT_EQ(g.MoveX[a], 160);
    EXPECT_EQ(g.ActorMap[a], c.expect);
    EXPECT_TRUE(SameGenerator(After(before, 4), Rt().random));
  }
}

TEST_F(WorldTest, AnEnclosedBaddieTurnsInPlaceEveryEightFramesAndIsAlwaysAnimated) {
  GameState& g = G();
  const int a = Cell(10, 10);
  g.ActorMap[a] = cell::kBaddieRight;
  for (int d : {kRight, kLeft, kUp, kDown}) g.ActorMap[Neighbour(a, d)] = kSolid;
  int turns = 0;
  for (int frame = 0; frame < 64; ++frame) {
    if (g.Phase == 0) ++turns;
    MoveBaddies();
    EXPECT_EQ(g.MoveKind[a], 1) << frame;
    EXPECT_EQ(g.MoveDir[a], kTurn);
    AnimateBaddies();
    const double h = g.ActorMap[a];
    EXPECT_TRUE(cell::IsBaddie(h)) << h;
    g.Phase = g.Phase + 2 == 16 ? 0 : g.Phase + 2;
  }
  EXPECT_EQ(turns, 8);
  EXPECT_EQ(g.MoveKind[a], 0);
}

TEST_F(WorldTest, AnimationRunsOnlyFromIndex40To1160) {
  GameState& g = G();
  for (int i : {39, 40, 1160, 1161}) {
    g.MoveKind[i] = 1;
    g.MoveDir[i] = kRight;
    g.MoveX[i] = 100;
    g.MoveY[i] = 20;
  }
  AnimateBaddies();
  EXPECT_EQ(g.MoveX[39], 100);
  EXPECT_EQ(g.MoveX[40], 102);
  EXPECT_EQ(g.MoveX[1160], 102);
  EXPECT_EQ(g.MoveX[1161], 100);
}

TEST_F(WorldTest, FruitNeedsTheLuckyDrawGemsLeftNoFruitShowingAndAnEmptyCell) {
  GameState& g = G();
  g.GemsLeft = 3;
  // Not the lucky number: one draw, nothing else.
  ArrangeDraws([] { return RandomInt(200) != 25; });
  RandomState before = Rt().random;
  SpawnFruit();
  EXPECT_TRUE(SameGenerator(After(before, 1), Rt().random));
  EXPECT_EQ(g.FruitShowing, 0);

  // Lucky, but a fruit is showing or no gems are left: one draw.
  for (auto [showing, gems] : {std::pair{1.0, 3.0}, std::pair{0.0, 0.0}, std::pair{0.0, -5.0}}) {
    g.FruitShowing = showing;
    g.GemsLeft = gems;
    ArrangeDraws([] { return RandomInt(200) == 25; });
    before = Rt().random;
    SpawnFruit();
    EXPECT_TRUE(SameGenerator(After(before, 1), Rt().random));
    EXPECT_EQ(g.FruitX, 0);
  }
  g.FruitShowing = 0;
  g.GemsLeft = 3;

  // Lucky on a cell that is not empty in one of the three layers: three draws, no retry.
  int row = 0, column = 0;
  auto luckyInside = [&] {
    if (RandomInt(200) != 25) return false;
    row = static_cast<int>(RandomInt(28)) + 1;
    column = static_cast<int>(RandomInt(38)) + 1;
    return row < 29 && column < 39;
  };
  for (RtNumArray* layer : {&g.ItemMap, &g.CoverMap, &g.ActorMap}) {
    ArrangeDraws(luckyInside);
    PeekDraws(luckyInside);
    (*layer)[Cell(column, row)] = 9;
    before = Rt().random;
    SpawnFruit();
    EXPECT_TRUE(SameGenerator(After(before, 3), Rt().random));
    EXPECT_EQ(g.FruitShowing, 0);
    (*layer)[Cell(column, row)] = 0;
  }

  // Lucky on an empty cell: the fruit, its slot from the fourth draw, and the crown sound.
  double slotDraw = 0;
  ArrangeDraws(luckyInside);
  PeekDraws([&] {
    luckyInside();
    slotDraw = RandomInt(5);
    return true;
  });
  before = Rt().random;
  SpawnFruit();
  EXPECT_TRUE(SameGenerator(After(before, 4), Rt().random));
  EXPECT_EQ(g.ItemMap[Cell(column, row)], cell::kFruit);
  EXPECT_EQ(g.FruitSlot, slotDraw + 18);
  EXPECT_EQ(g.FruitX, column * 16);
  EXPECT_EQ(g.FruitY, row * 16);
  EXPECT_EQ(g.FruitShowing, 1);
  EXPECT_EQ(sounds->SlotsPlaying(), (std::set<int>{9}));
}

TEST_F(WorldTest, ABlastClearsItsExactCellsAfterSixteenFrames) {
  GameState& g = G();
  const int i = Cell(10, 10);
  for (int row = 9; row <= 12; ++row) {
    for (int column = 9; column <= 12; ++column) {
      g.ItemMap[Cell(column, row)] = cell::kBlastBlock;
      g.CoverMap[Cell(column, row)] = 5;
      g.ActorMap[Cell(column, row)] = kSolid;
    }
  }
  StartBlast(160, 160);
  EXPECT_EQ(g.BlastX[0], 160);
  EXPECT_EQ(g.BlastY[0], 160);
  for (int k = 1; k < 16; ++k) {
    DrawBlasts();
    EXPECT_EQ(g.BlastFrame[0], k);
  }
  EXPECT_EQ(g.ItemMap[i], cell::kBlastBlock);
  DrawBlasts();
  EXPECT_EQ(g.BlastFrame[0], 0);
  EXPECT_EQ(g.BlastY[0], 0);
  EXPECT_EQ(g.BlastX[0], 160);  // the slot stays used
  const std::set<int> items = {i, i + 40, i + 41}, covers = {i, i + 1}, actors = {i + 40, i + 41};
  for (int row = 9; row <= 12; ++row) {
    for (int column = 9; column <= 12; ++column) {
      const int c = Cell(column, row);
      SCOPED_TRACE(c);
      EXPECT_EQ(g.ItemMap[c], items.count(c) ? 0 : 200);
      EXPECT_EQ(g.CoverMap[c], covers.count(c) ? 0 : 5);
      EXPECT_EQ(g.ActorMap[c], actors.count(c) ? 0 : kSolid);
    }
  }
  DrawBlasts();  // ended: nothing more happens
  EXPECT_EQ(g.BlastFrame[0], 0);
}

TEST_F(WorldTest, SixBlastsAGameAndTheSeventhIsNeverStarted) {
  GameState& g = G();
  for (int k = 1; k <= 5; ++k) StartBlast(16 * k, 32);
  for (int f = 0; f < 16; ++f) DrawBlasts();  // all five end; their slots stay used
  StartBlast(400, 48);
  EXPECT_EQ(g.BlastX[5], 400);
  EXPECT_EQ(g.BlastY[5], 48);
  StartBlast(416, 64);
  for (int slot = 0; slot < 6; ++slot) EXPECT_NE(g.BlastX[slot], 416);
  for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(g.BlastY[slot], 0);
}

TEST_F(WorldTest, TwoSwitchesFiredBeforeTheFirstBlastEndsBlastTheSameBlock) {
  GameState& g = G();
  testing_support::PutBoy(5, 6);
  g.ItemMap[Cell(5, 5)] = cell::kSwitch;
  g.ItemMap[Cell(7, 5)] = cell::kSwitch;
  g.ItemMap[Cell(20, 20)] = cell::kBlastBlock;
  testing_support::HoldKeys({57});
  UpdateBoy();
  for (int k = 0; k < 8; ++k) {
    DrawBoy();
    DrawBlasts();
  }
  // Carried to the second switch by hand, idle again.
  g.ActorMap[Cell(5, 6)] = 0;
  testing_support::PutBoy(7, 6);
  g.BoyState = boy::kStanding;
  UpdateBoy();
  EXPECT_EQ(g.BlastX[0], 320);
  EXPECT_EQ(g.BlastY[0], 320);
  EXPECT_EQ(g.BlastX[1], 320);
  EXPECT_EQ(g.BlastY[1], 320);
}

}  // namespace
