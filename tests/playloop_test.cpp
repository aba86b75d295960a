// The play loop, run headless frame by frame on hand-made fields: the clock and its last-unit ticks, the
// exit opening, the wait for the exit sound, Escape, the order of the boy's and the baddies' routines and
// the short effects.
#include "game/PlayLoop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "game/GameState.h"
#include "game/GameWords.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::PutBoy;
using testing_support::TempDir;

using key::kEscape;
using key::kRight;

// What the game looked like when a frame was shown.
struct Snap {
  double phase = 0, timeLeft = 0, timeTick = 0, timeOver = 0, levelOver = 0, exitOpen = 0, exitFrame = 0;
  double gemFrame = 0, boyState = 0, fruitShowing = 0, fruitFrame = 0, gemSuckFrame = 0, keySuckFrame = 0;
  double boomY = 0, cloudY = 0;
  bool tick = false, open = false, exitPlaying = false;
};

Snap Take() {
  const GameState& g = G();
  Snap s;
  s.phase = g.Phase, s.timeLeft = g.TimeLeft, s.timeTick = g.TimeTick, s.timeOver = g.TimeOver;
  s.levelOver = g.LevelOver, s.exitOpen = g.ExitOpen, s.exitFrame = g.ExitFrame, s.gemFrame = g.GemFrame;
  s.boyState = g.BoyState, s.fruitShowing = g.FruitShowing, s.fruitFrame = g.FruitFrame;
  s.gemSuckFrame = g.GemSuckFx.frame, s.keySuckFrame = g.KeySuckFx.frame, s.boomY = g.BoomFx.y;
  s.cloudY = g.CloudFx.y;
  // Sounds of 10 ms started in this frame are still playing; those of earlier frames have ended.
  s.tick = SoundPlaying(11 * 256) == 1;
  s.open = SoundPlaying(4 * 256) == 1;
  s.exitPlaying = SoundPlaying(g.ExitSoundChannel) == 1;
  return s;
}

// One game on a field built by `setup`, with the keys of `keys(frame)` held in each frame (frame 1 is the
// first frame of the loop). Escape is pressed by itself after `maxFrames` frames.
class LevelRun {
 public:
  std::function<void()> setup;
  std::function<std::vector<int>(int frame)> keys = [](int) { return std::vector<int>{}; };
  std::map<int, int> soundFrames = {{1, 220}, {2, 220}, {4, 220}, {8, 220}, {11, 220}};  // slot -> samples
  int maxFrames = 2000;

  std::vector<Snap> snaps;      // snaps[n - 1]: frame n
  long long framesPlayed = -1;  // frames shown by PlayLevel
  int status = -1;

  // "s<slot>.wav", appended piece by piece: GCC 12 at -O3 warns about `"s" + std::string`.
  static std::string SoundName(int slot) {
    std::string name(1, 's');
    name += std::to_string(slot);
    return name += ".wav";
  }

  void Run() {
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "/Maps");
    for (const auto& [slot, samples] : soundFrames)
      testing_support::WriteFile(dir.File(SoundName(slot)), testing_support::ToneWav(samples));
    status = testing_support::RunHeadless({"--data", dir.path()}, [&] {
      long long base = 0;
      auto held = [&](int frame) {
        std::vector<int> k = frame > maxFrames ? std::vector<int>{kEscape} : keys(frame);
        return k;
      };
      testing_support::FrameScript script;
      script.keys = [&](long long shown, uint8_t state[256]) {
        for (int code : held(static_cast<int>(shown - base + 2))) state[code] = 0x80;
      };
      script.presented = [&] { snaps.push_back(Take()); };
      testing_support::InstallFrameScript(script);
      AllowEscape(0);
      SetFrameRateLimit(26);
      for (const auto& [slot, samples] : soundFrames)
        EXPECT_EQ(LoadSound(dir.File(SoundName(slot)), slot, 1), 1);
      testing_support::BuildField();
      if (setup) setup();
      base = Rt().clock.frames;
      for (int code : held(1)) Rt().input.keyState[code] = 0x80;
      PlayLevel();
      framesPlayed = Rt().clock.frames - base;
      EndProgram();
    });
  }
};

// A field where nothing happens by itself: the boy boxed in, one gem out of reach (no exit, no fruit
// unless the dice say so).
void QuietField() {
  PutBoy(10, 10);
  GameState& g = G();
  for (int c : {Cell(11, 10), Cell(9, 10), Cell(10, 9), Cell(10, 11)}) g.ActorMap[c] = cell::kSolid;
  g.ItemMap[Cell(30, 20)] = cell::kGem;
  g.GemsLeft = 1;
}

TEST(PlayLoop, TheLastTwelveTimeUnitsTickAndTheTimeOutKillsTheBoy) {
  LevelRun run;
  run.setup = [] {
    QuietField();
    G().TimeLeft = 14;
  };
  run.keys = [](int frame) { return frame == 470 ? std::vector<int>{kEscape} : std::vector<int>{}; };
  run.Run();
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.framesPlayed, 469);
  std::vector<int> ticks;
  for (size_t n = 1; n <= run.snaps.size(); ++n)
    if (run.snaps[n - 1].tick) ticks.push_back(static_cast<int>(n));
  // A unit is 32 frames: the clock counts in frames 1, 9, 17, 25, ... and every fourth count takes a unit.
  std::vector<int> expect;
  for (int k = 1; k <= 12; ++k) expect.push_back(25 + 32 * k);
  EXPECT_EQ(ticks, expect);
  EXPECT_EQ(run.snaps[24].timeLeft, 13);
  EXPECT_EQ(run.snaps[23].timeLeft, 14);
  const int last = 25 + 32 * 13;  // TimeLeft reaches 0 here, without a tick
  EXPECT_EQ(run.snaps[last - 1].timeLeft, 0);
  EXPECT_EQ(run.snaps[last - 1].timeOver, 1);
  EXPECT_EQ(run.snaps[last - 2].timeOver, 0);
  EXPECT_EQ(run.snaps[last - 1].boyState, 0);
  EXPECT_EQ(run.snaps[last].boyState, 10);  // at his next decision
  // The clock has stopped; the field goes on (Phase keeps turning) until Escape.
  const Snap& end = run.snaps.back();
  EXPECT_EQ(end.timeLeft, 0);
  EXPECT_EQ(end.timeTick, 0);
  EXPECT_EQ(end.boyState, 10);
  EXPECT_EQ(end.phase, (469 * 2) % 16);
}

TEST(PlayLoop, AClockSubCountCarriedOverShortensTheFirstUnit) {
  LevelRun run;
  run.setup = [] {
    QuietField();
    G().TimeTick = 3;
  };
  run.keys = [](int frame) { return frame == 3 ? std::vector<int>{kEscape} : std::vector<int>{}; };
  run.Run();
  ASSERT_EQ(run.snaps.size(), 2u);
  EXPECT_EQ(run.snaps[0].timeLeft, 299);
  EXPECT_EQ(run.snaps[0].timeTick, 0);
  EXPECT_EQ(run.snaps[1].timeTick, 0);  // Phase 2: no count
}

TEST(PlayLoop, WithoutGemsTheExitOpensInTheFirstFrameWithOneOpeningSound) {
  LevelRun open;
  open.setup = [] {
    QuietField();
    G().ItemMap[Cell(30, 20)] = 0;
    G().GemsLeft = 0;
    G().ItemMap[Cell(20, 5)] = cell::kExit;
  };
  open.maxFrames = 40;
  open.Run();
  ASSERT_EQ(open.snaps.size(), 40u);
  EXPECT_TRUE(open.snaps[0].open);
  EXPECT_EQ(open.snaps[0].exitOpen, 1);
  EXPECT_EQ(open.snaps[0].exitFrame, 1);  // animated from the first frame
  for (size_t n = 1; n < open.snaps.size(); ++n) EXPECT_FALSE(open.snaps[n].open) << n + 1;
  EXPECT_EQ(open.snaps[8].exitFrame, 1);  // 0 .. 7 and round again

  LevelRun shut;
  shut.setup = [] {
    QuietField();
    G().ItemMap[Cell(20, 5)] = cell::kExit;
  };
  shut.maxFrames = 40;
  shut.Run();
  for (const Snap& s : shut.snaps) {
    EXPECT_EQ(s.exitOpen, 0);
    EXPECT_EQ(s.exitFrame, 0);
    EXPECT_FALSE(s.open);
  }
  EXPECT_EQ(shut.snaps[8].gemFrame, 1);
}

TEST(PlayLoop, EscapeIsReadAtTheTopOfAFrameBeforeAnythingIsDrawn) {
  LevelRun atOnce;
  atOnce.setup = QuietField;
  atOnce.keys = [](int) { return std::vector<int>{kEscape}; };
  atOnce.Run();
  EXPECT_EQ(atOnce.status, 0);
  EXPECT_EQ(atOnce.framesPlayed, 0);
  EXPECT_TRUE(atOnce.snaps.empty());

  LevelRun later;
  later.setup = QuietField;
  later.keys = [](int frame) { return frame >= 5 ? std::vector<int>{kEscape} : std::vector<int>{}; };
  later.Run();
  EXPECT_EQ(later.framesPlayed, 4);
  ASSERT_EQ(later.snaps.size(), 4u);
  EXPECT_EQ(later.snaps.back().phase, 8);
  EXPECT_EQ(later.snaps.back().gemFrame, 4);
  EXPECT_EQ(later.snaps.back().timeTick, 1);
}

TEST(PlayLoop, TheExitEndsTheLoopOnlyOnceTheExitSoundHasEnded) {
  auto field = [] {
    PutBoy(5, 5);
    G().ItemMap[Cell(6, 5)] = cell::kExit;
  };
  LevelRun run;
  run.setup = field;
  run.soundFrames[5] = 22050;  // one second
  run.keys = [](int) { return std::vector<int>{kRight}; };
  run.Run();
  ASSERT_EQ(run.status, 0);
  // Frames 1-8 walk onto the exit, frame 9 decides to leave, the exit animation lasts 16 frames.
  ASSERT_GE(run.snaps.size(), 24u);
  EXPECT_EQ(run.snaps[7].boyState, 1);
  EXPECT_EQ(run.snaps[8].boyState, 15);
  EXPECT_TRUE(run.snaps[8].exitPlaying);
  EXPECT_EQ(run.snaps[22].levelOver, 0);
  EXPECT_EQ(run.snaps[23].levelOver, 1);
  // Then the loop waits for the sound: about 26 frames at 26 per second from frame 9.
  const long long frames = run.framesPlayed;
  EXPECT_GT(frames, 30);
  EXPECT_LT(frames, 40);
  EXPECT_TRUE(run.snaps[frames - 1].exitPlaying);  // still playing when the frame before ended
  EXPECT_EQ(G().LevelNumber, 2);
  EXPECT_EQ(G().Scores[0], 300);

  // Without an exit sound the loop ends in the frame in which the animation ends.
  LevelRun silent;
  silent.setup = field;
  silent.keys = run.keys;
  silent.Run();
  EXPECT_EQ(G().ExitSoundChannel, -1);
  EXPECT_EQ(silent.framesPlayed, 24);
}

TEST(PlayLoop, BaddiesDecideBeforeTheBoySoASideAttackKillsInTheSameFrame) {
  LevelRun run;
  run.setup = [] {
    QuietField();
    G().ActorMap[Cell(10, 9)] = cell::kBaddieRight;  // above him, heading right: he is beside its path
  };
  run.maxFrames = 8;
  run.Run();
  ASSERT_EQ(run.snaps.size(), 8u);
  EXPECT_EQ(run.snaps[0].boyState, 10);
  EXPECT_EQ(run.snaps[0].boomY, 144);
  EXPECT_EQ(run.snaps[6].boomY, 144);
  EXPECT_EQ(run.snaps[7].boomY, 0);                          // eight frames of explosion
  EXPECT_EQ(G().ActorMap[Cell(10, 10)], cell::kBaddieDown);  // the baddie ended its walk down on his cell
}

TEST(PlayLoop, PickUpEffectsRunOneAtATimeAndTheCloudEndsTheFruit) {
  LevelRun run;
  run.setup = [] {
    QuietField();
    GameState& g = G();
    g.GemSuckFx = Effect{0, 32, 32};
    g.KeySuckFx = Effect{0, 48, 32};
    g.CloudFx = Effect{0, 64, 64};
    g.FruitShowing = 1;
    g.FruitSlot = 18;
    g.FruitX = g.FruitY = 64;
  };
  run.maxFrames = 20;
  run.Run();
  ASSERT_EQ(run.snaps.size(), 20u);
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(run.snaps[n - 1].gemSuckFrame, n % 8) << n;
    EXPECT_EQ(run.snaps[n - 1].keySuckFrame, n <= 8 ? 0 : n - 8) << n;
  }
  for (int n = 9; n <= 16; ++n) EXPECT_EQ(run.snaps[n - 1].keySuckFrame, n % 8) << n;
  // The fruit is drawn until the cloud ends in frame 8.
  EXPECT_EQ(run.snaps[6].fruitShowing, 1);
  EXPECT_EQ(run.snaps[6].fruitFrame, 7);
  EXPECT_EQ(run.snaps[7].fruitShowing, 0);
  EXPECT_EQ(run.snaps[7].cloudY, 0);
  EXPECT_EQ(run.snaps[19].fruitFrame, 8);
}

}  // namespace
