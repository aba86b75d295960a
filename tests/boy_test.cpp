// The boy's decisions between steps and his movement along a step, on small fields built by hand.
#include "game/Boy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "game/GameState.h"
#include "game/GameWords.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::HoldKeys;
using testing_support::PutBoy;
using testing_support::TempDir;
using testing_support::TestSounds;

using key::kDown;
using key::kLeft;
using key::kRight;
using key::kSpace;
using key::kUp;

class BoyTest : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  // A new field with a new sound device (the old device goes with the old runtime record).
  void Fresh() {
    sounds.reset();
    testing_support::NewField();
    sounds = std::make_unique<TestSounds>();
  }
  void TearDown() override {
    sounds.reset();
    ResetRuntimeContext();
  }
  std::set<int> Played() const { return sounds->SlotsPlaying(); }
  // One frame of the boy: his decision, then his drawing and movement.
  static void Frame() {
    UpdateBoy();
    DrawBoy();
  }

  std::unique_ptr<TestSounds> sounds;
};

TEST_F(BoyTest, StepsIntoAFreeCellTwoPixelsPerFrameForEightFrames) {
  struct Case {
    int key;
    double state;
    int dx, dy;
  };
  for (const Case c :
       {Case{kRight, 1, 1, 0}, Case{kLeft, 2, -1, 0}, Case{kUp, 3, 0, -1}, Case{kDown, 4, 0, 1}}) {
    SCOPED_TRACE(c.key);
    Fresh();
    GameState& g = G();
    PutBoy(10, 10);
    HoldKeys({c.key});
    UpdateBoy();
    const int target = Cell(10 + c.dx, 10 + c.dy);
    EXPECT_EQ(g.ActorMap[Cell(10, 10)], 0);
    EXPECT_EQ(g.ActorMap[target], cell::kBoy);
    EXPECT_EQ(g.BoyState, c.state);
    HoldKeys({});
    for (int k = 1; k <= 8; ++k) {
      DrawBoy();
      EXPECT_EQ(g.BoyX, 160 + 2 * k * c.dx);
      EXPECT_EQ(g.BoyY, 160 + 2 * k * c.dy);
      EXPECT_EQ(g.BoyFrame, k % 8);
      EXPECT_EQ(g.BoyStep, k < 8 ? 2 * k : 0);
      // No decision is taken during a step, whatever is held.
      if (k < 8) {
        HoldKeys({kRight, kLeft, kUp, kDown});
        UpdateBoy();
        EXPECT_EQ(g.BoyState, c.state);
        HoldKeys({});
      }
    }
    EXPECT_EQ(g.BoyState, c.state);  // until the next decision
    UpdateBoy();
    EXPECT_EQ(g.BoyState, boy::kStanding);
  }
}

TEST_F(BoyTest, MoveSoundOnEveryStepAndNoneWhenBlockedOrIdle) {
  GameState& g = G();
  PutBoy(10, 10);
  HoldKeys({kRight});
  Frame();
  EXPECT_EQ(Played(), (std::set<int>{1}));
  sounds->Clear();
  for (int k = 0; k < 7; ++k) Frame();
  EXPECT_TRUE(Played().empty());
  Frame();  // the decision at the end of the step starts the next one at once
  EXPECT_EQ(g.BoyX, 16 * 11 + 2);
  EXPECT_EQ(Played(), (std::set<int>{1}));
  sounds->Clear();
  for (int k = 0; k < 7; ++k) Frame();

  // Something in ActorMap that is not 0 blocks: a wall, a resting baddie, a claimed cell.
  for (double blocker : {cell::kSolid, cell::kBaddieDown, cell::kClaimed}) {
    g.ActorMap[Cell(13, 10)] = blocker;
    HoldKeys({kRight});
    UpdateBoy();
    EXPECT_EQ(g.BoyState, boy::kStanding);
    EXPECT_EQ(g.ActorMap[Cell(12, 10)], cell::kBoy);
    const double frameBefore = g.BoyFrame, xBefore = g.BoyX;
    DrawBoy();  // idle: drawn, nothing changes
    EXPECT_EQ(g.BoyX, xBefore);
    EXPECT_EQ(g.BoyFrame, frameBefore);
    EXPECT_EQ(g.BoyStep, 0);
  }
  EXPECT_TRUE(Played().empty());
}

TEST_F(BoyTest, RightIsTriedBeforeLeftThenUpThenDownForEveryRule) {
  GameState& g = G();
  PutBoy(10, 10);
  HoldKeys({kRight, kLeft, kUp, kDown});
  UpdateBoy();
  EXPECT_EQ(g.BoyState, boy::kWalkingRight);

  Fresh();
  PutBoy(10, 10);
  G().ActorMap[Cell(11, 10)] = cell::kSolid;
  HoldKeys({kRight, kLeft});
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kWalkingLeft);

  Fresh();
  PutBoy(10, 10);
  G().ActorMap[Cell(11, 10)] = cell::kSolid;
  G().ActorMap[Cell(9, 10)] = cell::kSolid;
  HoldKeys({kDown, kUp, kLeft, kRight});
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kWalkingUp);

  // A gem on the left beats a free cell on the right: pick-ups come before plain steps.
  Fresh();
  PutBoy(10, 10);
  G().ItemMap[Cell(9, 10)] = cell::kGem;
  G().GemsLeft = 1;
  HoldKeys({kRight, kLeft});
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kWalkingLeft);
  EXPECT_EQ(G().GemsLeft, 0);

  // Gem on the right, key on the left: the right one is taken.
  Fresh();
  PutBoy(10, 10);
  G().ItemMap[Cell(11, 10)] = cell::kGem;
  G().ItemMap[Cell(9, 10)] = cell::kKey;
  G().GemsLeft = 1;
  HoldKeys({kRight, kLeft});
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kWalkingRight);
  EXPECT_EQ(G().KeysHeld, 0);
  EXPECT_EQ(G().ItemMap[Cell(9, 10)], cell::kKey);

  // A key below beats a fruit on the right: gems and keys come before fruit.
  Fresh();
  PutBoy(10, 10);
  G().ItemMap[Cell(11, 10)] = cell::kFruit;
  G().ItemMap[Cell(10, 11)] = cell::kKey;
  HoldKeys({kRight, kDown});
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kWalkingDown);
  EXPECT_EQ(G().KeysHeld, 1);
}

TEST_F(BoyTest, ItemsAreTakenWhateverTheActorMapHolds) {
  GameState& g = G();
  PutBoy(10, 10);
  g.GemsLeft = 3;
  g.Score = 7;
  g.ItemMap[Cell(11, 10)] = cell::kGem;
  g.ActorMap[Cell(11, 10)] = cell::kBaddieRight;  // a baddie resting there
  HoldKeys({kRight});
  UpdateBoy();
  EXPECT_EQ(g.ActorMap[Cell(11, 10)], cell::kBoy);
  EXPECT_EQ(g.ActorMap[Cell(10, 10)], 0);
  EXPECT_EQ(g.ItemMap[Cell(11, 10)], 0);
  EXPECT_EQ(g.GemsLeft, 2);
  EXPECT_EQ(g.Score, 17);
  EXPECT_EQ(g.GemSuckFx.x, 176);
  EXPECT_EQ(g.GemSuckFx.y, 160);
  EXPECT_EQ(g.KeySuckFx.y, 0);
  EXPECT_EQ(Played(), (std::set<int>{2}));

  Fresh();
  PutBoy(10, 10);
  G().ItemMap[Cell(10, 9)] = cell::kKey;
  G().ActorMap[Cell(10, 9)] = cell::kClaimed;  // a baddie walking in
  HoldKeys({kUp});
  UpdateBoy();
  EXPECT_EQ(G().ActorMap[Cell(10, 9)], cell::kBoy);
  EXPECT_EQ(G().BoyState, boy::kWalkingUp);
  EXPECT_EQ(G().Score, 5);
  EXPECT_EQ(G().KeysHeld, 1);
  EXPECT_EQ(G().KeySuckFx.x, 160);
  EXPECT_EQ(G().KeySuckFx.y, 144);
  EXPECT_EQ(Played(), (std::set<int>{3}));

  Fresh();
  PutBoy(10, 10);
  G().ItemMap[Cell(10, 11)] = cell::kFruit;
  G().ActorMap[Cell(10, 11)] = cell::kSolid;
  G().FruitShowing = 1;
  G().FruitSlot = 21;
  HoldKeys({kDown});
  UpdateBoy();
  EXPECT_EQ(G().ActorMap[Cell(10, 11)], cell::kBoy);
  EXPECT_EQ(G().ItemMap[Cell(10, 11)], 0);
  EXPECT_EQ(G().BoyState, boy::kWalkingDown);
  EXPECT_EQ(G().FruitShowing, 0);
  EXPECT_EQ(G().Score, 42);
  EXPECT_EQ(G().KeySuckFx.x, 160);
  EXPECT_EQ(G().KeySuckFx.y, 176);
  EXPECT_EQ(Played(), (std::set<int>{3}));
}

TEST_F(BoyTest, AGemBoxNeedsAKey) {
  GameState& g = G();
  PutBoy(10, 10);
  g.ItemMap[Cell(10, 9)] = cell::kGemBox;
  g.ActorMap[Cell(10, 9)] = cell::kSolid;
  g.GemsLeft = 5;
  HoldKeys({kUp});
  UpdateBoy();  // no key: Up only tries a step, and the box's cell is solid
  EXPECT_EQ(g.BoyState, boy::kStanding);
  EXPECT_EQ(g.ItemMap[Cell(10, 9)], cell::kGemBox);
  EXPECT_TRUE(Played().empty());

  g.ActorMap[Cell(10, 9)] = 0;
  UpdateBoy();  // ... and where the box's cell is free he walks onto it
  EXPECT_EQ(g.BoyState, boy::kWalkingUp);
  EXPECT_EQ(g.ItemMap[Cell(10, 9)], cell::kGemBox);
  EXPECT_EQ(Played(), (std::set<int>{1}));

  Fresh();
  PutBoy(10, 10);
  G().ItemMap[Cell(10, 9)] = cell::kGemBox;
  G().GemsLeft = 6;
  G().KeysHeld = 2;
  G().Score = 1;
  HoldKeys({kUp});
  UpdateBoy();
  EXPECT_EQ(G().ItemMap[Cell(10, 9)], cell::kGemBoxOpen);
  EXPECT_EQ(G().BoyState, boy::kWorking);
  EXPECT_EQ(G().Score, 51);
  EXPECT_EQ(G().GemsLeft, 1);
  EXPECT_EQ(G().KeysHeld, 1);
  EXPECT_EQ(G().ActorMap[Cell(10, 10)], cell::kBoy);
  EXPECT_EQ(Played(), (std::set<int>{6}));
  // Facing up in place: eight frames without moving, then the next decision.
  for (int k = 1; k <= 8; ++k) {
    DrawBoy();
    EXPECT_EQ(G().BoyX, 160);
    EXPECT_EQ(G().BoyY, 160);
    EXPECT_EQ(G().BoyStep, k < 8 ? 2 * k : 0);
  }
}

TEST_F(BoyTest, SpaceFiresASwitchOnlyAfterADecisionSpentIdle) {
  GameState& g = G();
  PutBoy(5, 6);
  g.ItemMap[Cell(6, 5)] = cell::kSwitch;
  g.ItemMap[Cell(20, 12)] = cell::kBlastBlock;
  HoldKeys({kRight, kSpace});
  Frame();  // steps right, under the switch
  for (int k = 0; k < 7; ++k) Frame();
  EXPECT_EQ(g.BoyX, 96);
  EXPECT_EQ(g.BoyState, boy::kWalkingRight);
  sounds->Clear();
  HoldKeys({kSpace});
  UpdateBoy();  // he was walking at his previous decision: no effect, he goes idle
  EXPECT_EQ(g.BoyState, boy::kStanding);
  EXPECT_EQ(g.ItemMap[Cell(6, 5)], cell::kSwitch);
  EXPECT_EQ(g.BlastX[0], 0);
  EXPECT_TRUE(Played().empty());
  DrawBoy();
  UpdateBoy();
  EXPECT_EQ(g.ItemMap[Cell(6, 5)], cell::kSwitchFired);
  EXPECT_EQ(g.BoyState, boy::kWorking);
  EXPECT_EQ(g.BlastX[0], 320);
  EXPECT_EQ(g.BlastY[0], 192);
  EXPECT_EQ(Played(), (std::set<int>{8}));
  // The in-place step ends with him facing up, not idle: Space again needs one idle decision first.
  for (int k = 0; k < 8; ++k) DrawBoy();
  g.ItemMap[Cell(6, 5)] = cell::kSwitch;
  UpdateBoy();
  EXPECT_EQ(g.BoyState, boy::kStanding);
  EXPECT_EQ(g.ItemMap[Cell(6, 5)], cell::kSwitch);
}

TEST_F(BoyTest, SwitchBlastsTheFirstBlastBlockInsideTheFrameRowByRow) {
  GameState& g = G();
  PutBoy(5, 6);
  g.ItemMap[Cell(5, 5)] = cell::kSwitch;
  // Not searched: row 0 and 29, column 0 and 39.
  g.ItemMap[Cell(12, 0)] = cell::kBlastBlock;
  g.ItemMap[Cell(0, 2)] = cell::kBlastBlock;
  g.ItemMap[Cell(39, 2)] = cell::kBlastBlock;
  g.ItemMap[Cell(3, 29)] = cell::kBlastBlock;
  // Searched: the one with the lower row wins, then the lower column.
  g.ItemMap[Cell(30, 3)] = cell::kBlastBlock;
  g.ItemMap[Cell(31, 3)] = cell::kBlastBlock;
  g.ItemMap[Cell(2, 4)] = cell::kBlastBlock;
  HoldKeys({kSpace});
  UpdateBoy();
  EXPECT_EQ(g.BlastX[0], 480);
  EXPECT_EQ(g.BlastY[0], 48);
  EXPECT_EQ(g.BlastX[1], 0);

  // Without a blast block the switch still turns, sounds and costs a step in place.
  Fresh();
  PutBoy(5, 6);
  G().ItemMap[Cell(5, 5)] = cell::kSwitch;
  G().ItemMap[Cell(39, 10)] = cell::kBlastBlock;
  HoldKeys({kSpace});
  UpdateBoy();
  EXPECT_EQ(G().ItemMap[Cell(5, 5)], cell::kSwitchFired);
  EXPECT_EQ(G().BoyState, boy::kWorking);
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(G().BlastX[slot], 0);
  EXPECT_EQ(Played(), (std::set<int>{8}));
}

class ExitTest : public BoyTest {
 protected:
  void SetUp() override {
    BoyTest::SetUp();
    std::filesystem::create_directories(dir.path() + "/Maps");
    cwd = std::make_unique<testing_support::ScopedWorkingDir>(dir.path());
  }
  void TearDown() override {
    cwd.reset();
    BoyTest::TearDown();
  }
  TempDir dir;
  std::unique_ptr<testing_support::ScopedWorkingDir> cwd;
};

TEST_F(ExitTest, TheOpenExitOnItsCellRecordsSavesAdvancesAndPlaysTheExitSound) {
  GameState& g = G();
  PutBoy(10, 5);
  g.ItemMap[Cell(10, 5)] = cell::kExit;
  g.ItemMap[Cell(11, 5)] = cell::kGem;  // a gem beside him is not taken: the exit comes first
  g.Score = 30;
  g.TimeLeft = 123;
  g.PlayerName = "ANNA";
  HoldKeys({kRight});
  UpdateBoy();
  EXPECT_EQ(g.BoyState, boy::kLeaving);
  EXPECT_EQ(g.BoyStep, 1);
  EXPECT_EQ(g.ShrinkFx.x, 160);
  EXPECT_EQ(g.ShrinkFx.y, 80);
  EXPECT_EQ(g.Score, 153);
  EXPECT_EQ(g.Scores[0], 153);
  EXPECT_EQ(std::string(g.ScoreNames[0]), "ANNA");
  EXPECT_EQ(g.LevelNumber, 2);
  EXPECT_EQ(g.ExitSoundChannel, 5 * 256);
  EXPECT_EQ(Played(), (std::set<int>{5}));
  EXPECT_EQ(g.ActorMap[Cell(10, 5)], cell::kBoy);
  EXPECT_EQ(g.ItemMap[Cell(11, 5)], cell::kGem);
  const std::vector<uint8_t> data = testing_support::ReadFile(dir.File("Maps/Data.bin"));
  ASSERT_EQ(data.size(), 3200u);
  EXPECT_EQ(data[0], 153);
  EXPECT_EQ(testing_support::ReadFile(dir.File("Maps/Name.bin")).size(), 6400u);
  // Gone through the exit: no more decisions, never drawn again.
  UpdateBoy();
  DrawBoy();
  EXPECT_EQ(g.BoyState, boy::kLeaving);
  EXPECT_EQ(g.BoyStep, 1);
  EXPECT_EQ(g.BoyX, 160);
  EXPECT_EQ(g.BoyFrame, 0);
}

TEST_F(ExitTest, TheExitAlsoWorksFromTheCellToItsRightOnlyAtExactlyNoGems) {
  struct Case {
    int boyColumn;
    double gems;
    bool exits;
  };
  for (const Case c : {Case{10, 0, true}, Case{11, 0, true}, Case{9, 0, false}, Case{12, 0, false},
                       Case{10, 1, false}, Case{11, -4, false}}) {
    SCOPED_TRACE(c.boyColumn);
    SCOPED_TRACE(c.gems);
    Fresh();
    PutBoy(c.boyColumn, 5);
    G().ItemMap[Cell(10, 5)] = cell::kExit;
    G().GemsLeft = c.gems;
    HoldKeys({});
    UpdateBoy();
    EXPECT_EQ(G().BoyState, c.exits ? 15 : 0);
    EXPECT_EQ(G().LevelNumber, c.exits ? 2 : 1);
  }
  // The last level stays the last.
  Fresh();
  PutBoy(10, 5);
  G().ItemMap[Cell(10, 5)] = cell::kExit;
  G().LevelNumber = 22;
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kLeaving);
  EXPECT_EQ(G().LevelNumber, 22);
  EXPECT_GT(G().Scores[21 * 8], 0);
}

TEST_F(BoyTest, ADecisionOnAClaimedCellOrAfterTheTimeKillsHim) {
  GameState& g = G();
  PutBoy(10, 5);
  g.ActorMap[Cell(10, 5)] = cell::kClaimed;
  g.ItemMap[Cell(10, 5)] = cell::kExit;  // death comes before the exit
  HoldKeys({kRight});
  UpdateBoy();
  EXPECT_EQ(g.BoyState, boy::kExploded);
  EXPECT_EQ(g.BoyStep, 1);
  EXPECT_EQ(g.ActorMap[Cell(10, 5)], 0);
  EXPECT_EQ(g.TimeOver, 1);
  EXPECT_EQ(g.BoomFx.x, 160);
  EXPECT_EQ(g.BoomFx.y, 64);
  EXPECT_EQ(g.LevelNumber, 1);
  EXPECT_EQ(Played(), (std::set<int>{8}));
  // Final: no decision, nothing drawn, nothing moves.
  sounds->Clear();
  UpdateBoy();
  DrawBoy();
  EXPECT_EQ(g.BoyState, boy::kExploded);
  EXPECT_EQ(g.BoyStep, 1);
  EXPECT_EQ(g.ActorMap[Cell(11, 5)], 0);
  EXPECT_TRUE(Played().empty());

  Fresh();
  PutBoy(10, 7);
  G().TimeOver = 1;
  UpdateBoy();
  EXPECT_EQ(G().BoyState, boy::kExploded);
  EXPECT_EQ(G().ActorMap[Cell(10, 7)], 0);
  EXPECT_EQ(G().BoomFx.y, 96);
  EXPECT_EQ(Played(), (std::set<int>{8}));
}

TEST_F(BoyTest, DeathOnRowOneShowsNoExplosion) {
  GameState& g = G();
  PutBoy(10, 1);
  g.ActorMap[Cell(10, 1)] = cell::kClaimed;
  UpdateBoy();
  EXPECT_EQ(g.BoyState, boy::kExploded);
  EXPECT_EQ(g.TimeOver, 1);
  EXPECT_EQ(g.BoomFx.x, 160);
  EXPECT_EQ(g.BoomFx.y, 0);  // an effect at y 0 does not run
  EXPECT_EQ(Played(), (std::set<int>{8}));
}

TEST_F(BoyTest, ABoyOnTheOuterRingOfALevelWithoutAFrameStopsTheProgramWithAnIndexError) {
  GameState& g = G();
  for (int i = 0; i < kCells; ++i) g.ActorMap[i] = 0;
  g.BoyX = g.BoyY = 0;  // no start cell: the top-left corner
  EXPECT_EQ(testing_support::StopOf(UpdateBoy).status, kErrIndex);
}

}  // namespace
