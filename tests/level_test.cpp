// Preparing a game: the per-level start values, reading a level's four layer files, and the first look
// over a loaded level for the start cell and the gems.
#include "game/Level.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/GameState.h"
#include "game/GameWords.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::LevelLayers;
using testing_support::ScopedWorkingDir;
using testing_support::TempDir;

class LevelTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::NewField(); }
  void TearDown() override { ResetRuntimeContext(); }
};

TEST_F(LevelTest, ResetSetsTheStartValuesAndKeepsCloudTickLevelAndExitChannel) {
  GameState& g = G();
  double* scalars[] = {&g.Score,      &g.GemsLeft,  &g.KeysHeld,  &g.TimeLeft,  &g.TimeOver,     &g.Phase,
                       &g.ExitOpen,   &g.LevelOver, &g.BoyX,      &g.BoyY,      &g.BoyState,     &g.BoyFrame,
                       &g.BoyStep,    &g.GemFrame,  &g.FireFrame, &g.ExitFrame, &g.FruitShowing, &g.FruitSlot,
                       &g.FruitFrame, &g.FruitX,    &g.FruitY};
  for (double* v : scalars) *v = 7;
  for (Effect* fx : {&g.GemSuckFx, &g.KeySuckFx, &g.BoomFx, &g.ShrinkFx, &g.CloudFx}) *fx = Effect{3, 48, 64};
  g.LevelNumber = 9;
  g.TimeTick = 2;
  g.ExitSoundChannel = 1280;
  for (int i = 0; i < kCells; ++i) {
    g.MoveKind[i] = g.MoveDir[i] = g.MoveFrame[i] = g.MoveX[i] = g.MoveY[i] = 1;
    g.GroundMap[i] = g.ItemMap[i] = g.CoverMap[i] = 5;
  }
  for (int s = 0; s < 6; ++s) g.BlastX[s] = g.BlastY[s] = g.BlastFrame[s] = 4;

  ResetLevelState();
  for (double* v : scalars) EXPECT_EQ(*v, v == &g.TimeLeft ? 300 : 0);
  for (Effect* fx : {&g.GemSuckFx, &g.KeySuckFx, &g.BoomFx, &g.ShrinkFx}) {
    EXPECT_EQ(fx->frame, 0);
    EXPECT_EQ(fx->x, 0);
    EXPECT_EQ(fx->y, 0);
  }
  // A cloud still running goes on in the next game; so do the clock's sub-count and the level.
  EXPECT_EQ(g.CloudFx.frame, 3);
  EXPECT_EQ(g.CloudFx.y, 64);
  EXPECT_EQ(g.LevelNumber, 9);
  EXPECT_EQ(g.TimeTick, 2);
  EXPECT_EQ(g.ExitSoundChannel, 1280);
  for (int i = 0; i < kCells; ++i) {
    ASSERT_EQ(g.MoveKind[i] + g.MoveDir[i] + g.MoveFrame[i] + g.MoveX[i] + g.MoveY[i], 0) << i;
    ASSERT_EQ(g.GroundMap[i] + g.ItemMap[i] + g.CoverMap[i], 15) << i;  // the layers are left to LoadLevel
  }
  for (int s = 0; s < 6; ++s) EXPECT_EQ(g.BlastX[s] + g.BlastY[s] + g.BlastFrame[s], 0);
}

TEST_F(LevelTest, LoadReadsTheFourFilesOfTheLevelNumberByteByCell) {
  TempDir dir;
  LevelLayers l;
  for (int i = 0; i < kCells; ++i) {
    l.ground[i] = static_cast<uint8_t>(i);
    l.item[i] = static_cast<uint8_t>(255 - i % 256);
    l.cover[i] = static_cast<uint8_t>(i * 7);
    l.actor[i] = static_cast<uint8_t>(i * 13 + 1);
  }
  l.cover.resize(1300, 99);  // bytes after the 1200th are ignored
  testing_support::WriteLevelFiles(dir.path(), 12, l);
  testing_support::WriteLevelFiles(dir.path(), 1, LevelLayers{});
  ScopedWorkingDir cwd(dir.path());
  GameState& g = G();
  g.LevelNumber = 12;
  LoadLevel();
  for (int i = 0; i < kCells; ++i) {
    ASSERT_EQ(g.GroundMap[i], l.ground[i]) << i;
    ASSERT_EQ(g.ItemMap[i], l.item[i]) << i;
    ASSERT_EQ(g.CoverMap[i], l.cover[i]) << i;
    ASSERT_EQ(g.ActorMap[i], l.actor[i]) << i;
  }
  EXPECT_EQ(Rt().channels[1].handle, nullptr);  // closed again
  EXPECT_EQ(g.LevelNumber, 12);
}

// Runs LoadLevel for `level` and returns the exit status and the recorded cause.
int FailingLoad(double level, std::string& cause) {
  G().LevelNumber = level;
  const testing_support::Stop stop = testing_support::StopOf(LoadLevel);
  cause = stop.cause;
  EXPECT_NE(stop.printed.find(cause), std::string::npos) << stop.printed;
  return stop.status;
}

TEST_F(LevelTest, AMissingOrShortLevelFileStopsTheProgramWithAFileErrorNamingIt) {
  TempDir dir;
  LevelLayers l;
  l.ground.assign(kCells, 4);
  testing_support::WriteLevelFiles(dir.path(), 7, l);
  std::filesystem::remove(dir.File("Maps/Map7-3.bin"));
  ScopedWorkingDir cwd(dir.path());
  std::string cause;
  EXPECT_EQ(FailingLoad(7, cause), kErrFile);
  EXPECT_NE(cause.find("./Maps/Map7-3.bin"), std::string::npos) << cause;
  EXPECT_EQ(G().GroundMap[1199], 4);  // the files before it were read

  testing_support::NewField();
  testing_support::WriteFile(dir.File("Maps/Map7-3.bin"), std::vector<uint8_t>(1199, 1));
  EXPECT_EQ(FailingLoad(7, cause), kErrFile);
  EXPECT_NE(cause.find("./Maps/Map7-3.bin"), std::string::npos) << cause;
}

TEST_F(LevelTest, ScanFindsTheStartCellAndCountsGemsAndBoxesOutsideIt) {
  GameState& g = G();
  for (int i = 0; i < kCells; ++i) g.ActorMap[i] = 0;
  g.ItemMap[Cell(3, 3)] = cell::kGem;
  g.ItemMap[Cell(4, 3)] = cell::kGemBox;
  g.ItemMap[Cell(5, 3)] = cell::kGemBoxOpen;  // an open box counts nothing
  g.ItemMap[Cell(6, 3)] = cell::kGem;
  g.ActorMap[Cell(6, 3)] = cell::kBaddieDown;  // a baddie on a gem does not hide it
  g.ItemMap[Cell(8, 8)] = cell::kGemBox;
  g.ActorMap[Cell(8, 8)] = cell::kBoy;  // a box under the start cell is not counted
  g.ItemMap[Cell(39, 4)] = cell::kGem;  // column 39 and row 29 are not seen
  g.ItemMap[Cell(12, 29)] = cell::kGemBox;
  g.ItemMap[Cell(0, 28)] = cell::kGem;  // column 0 and row 0 are
  g.ItemMap[Cell(20, 0)] = cell::kGem;
  ScanLevel();
  EXPECT_EQ(g.GemsLeft, 1 + 5 + 1 + 1 + 1);
  EXPECT_EQ(g.BoyX, 128);
  EXPECT_EQ(g.BoyY, 128);
}

TEST_F(LevelTest, ScanTakesTheLastStartCellAndIgnoresOnesOutOfReach) {
  GameState& g = G();
  for (int i = 0; i < kCells; ++i) g.ActorMap[i] = 0;
  g.ActorMap[Cell(30, 2)] = cell::kBoy;
  g.ActorMap[Cell(4, 5)] = cell::kBoy;
  g.ActorMap[Cell(39, 20)] = cell::kBoy;  // not seen
  g.ActorMap[Cell(2, 29)] = cell::kBoy;   // not seen
  g.ItemMap[Cell(4, 5)] = cell::kGem;
  ScanLevel();
  EXPECT_EQ(g.BoyX, 64);
  EXPECT_EQ(g.BoyY, 80);
  EXPECT_EQ(g.GemsLeft, 0);

  // No start cell at all: the boy stays at the top-left corner.
  testing_support::NewField();
  G().ActorMap[Cell(39, 1)] = cell::kBoy;
  G().ItemMap[Cell(10, 10)] = cell::kGemBox;
  ScanLevel();
  EXPECT_EQ(G().BoyX, 0);
  EXPECT_EQ(G().BoyY, 0);
  EXPECT_EQ(G().GemsLeft, 5);
}

}  // namespace
