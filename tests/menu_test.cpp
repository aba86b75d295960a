// The title menu, driven whole-program with replays: its texts, the highlight box, the level choice, the
// name slots and the actions of the four menu lines. Also the glyph text every menu is written with.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "game/GameState.h"
#include "game/Menus.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/program/Runtime.h"
#include "tests/support/GameRun.h"

namespace {

using namespace testing_support;

constexpr const char* kDown = "208";
constexpr const char* kUp = "200";
constexpr const char* kRight = "205";
constexpr const char* kLeft = "203";
constexpr const char* kReturn = "28";

// A folder whose menu sounds last 20 ms, less than a frame: a sound still playing at the end was started
// in the last frame.
struct MenuFolder : GameFolder {
  MenuFolder() {
    for (const char* name :
         {"Graphic/Wobble.wav", "Graphic/NoLevel.wav", "Graphic/Flame.wav", "Graphic/Doka.wav"})
      AddSound(name, 20);
  }
};

TEST(TitleMenu, FirstFrameDrawsEveryTextInPlace) {
  MenuFolder folder;
  folder.SetPlayerName(
      std::string("A\x07"
                  "B\xC8"
                  "C",
                  5));  // a control code and a high byte are skipped
  const GameRun run = RunGame(folder, ReplayScript().Add(""));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<testing_support::ExpectedGlyphRow> rows = {
      {"BRILLORA", 128, 32, 32, 32},
      {"BY THE GEM WORKSHOP", 108, 68, 22, 20},
      {"PLAYER ABC", 128, 128, 32, 32},
      {"HSCORE", 128, 160, 32, 32},
      {"LEVELS 1", 128, 192, 32, 32},
      {"GOHOME", 128, 224, 32, 32},
      {"  F1", 500, 200, 16, 16},
      {"  F2", 500, 232, 16, 16},
      {"  F3", 500, 264, 16, 16},
      {"  F4", 500, 296, 16, 16},
      {"MADE WITH QUILLON", 86, 408, 28, 38},
  };
  testing_support::ExpectGlyphRows(run.lastFrameText, rows);
}

TEST(TitleMenu, BoxMovesFourPixelsAFrameAndRestsAfterEight) {
  MenuFolder folder;
  for (int after = 0; after <= 9; ++after) {
    ReplayScript replay;
    replay.Add(kDown);
    if (after > 0) replay.Add("", after);
    const GameRun run = RunGame(folder, replay);
    ASSERT_EQ(run.status, 0);
    const MenuBox& box = G().MenuCursor;
    EXPECT_EQ(box.y, 192 + 4 * std::min(after, 8)) << after;
    EXPECT_EQ(box.state, after < 8 ? 1 : 0) << after;
    EXPECT_EQ(box.frame, after == 9 ? 1 : after % 8) << after;
    EXPECT_EQ(box.x, 128);
    EXPECT_EQ(run.soundsPlayingAtEnd.count(12), after == 0 ? 1u : 0u) << after;
  }
}

TEST(TitleMenu, BoxStopsAtTheOuterLinesAndIgnoresKeysWhileMoving) {
  MenuFolder folder;
  // Down twice while the box moves: only one line down; then Down on GOHOME does nothing.
  GameRun run = RunGame(folder, ReplayScript().Add(kDown).Add(kDown, 3).Add(kUp).Add("", 3).Add(kDown));
  EXPECT_EQ(G().MenuCursor.y, 224);
  EXPECT_EQ(G().MenuCursor.state, 0);
  EXPECT_EQ(run.soundsPlayingAtEnd.count(12), 0u);
  // Up held all the way: three lines up, a line every 8 frames (the box starts again as it comes to rest).
  run = RunGame(folder, ReplayScript().Add(kUp, 40));
  EXPECT_EQ(G().MenuCursor.y, 128);
  EXPECT_EQ(G().MenuCursor.state, 0);
  EXPECT_EQ(run.soundsPlayingAtEnd.count(12), 0u);
  run = RunGame(folder, ReplayScript().Add(kUp, 16));
  EXPECT_EQ(G().MenuCursor.y, 128 + 4);
  EXPECT_EQ(G().MenuCursor.state, 2);
}

TEST(TitleMenu, ReturnIsIgnoredWhileTheBoxMoves) {
  MenuFolder folder;
  // Up from LEVELS; Return held until the frame before the box reaches HSCORE.
  GameRun run = RunGame(folder, ReplayScript().Add(kUp).Add(kReturn, 7).Add("", 2));
  EXPECT_EQ(G().MenuCursor.y, 160);
  EXPECT_NE(run.Find("GOHOME").text, "") << "the high-score table opened";
  EXPECT_EQ(run.soundsPlayingAtEnd.count(16), 0u);
  // Held one frame longer, Return meets the box resting on HSCORE.
  run = RunGame(folder, ReplayScript().Add(kUp).Add(kReturn, 8).Add("", 2));
  EXPECT_EQ(run.Find("HIGHSCORE").y, 32);
}

// Level 1 to 3 finished; also the third-best score of level 7, which does not hold the choice back.
struct FinishedFolder : MenuFolder {
  FinishedFolder() {
    for (int level = 1; level <= 3; ++level) SetScore((level - 1) * 8, 100);
    SetScore(50, 7);
  }
};

TEST(TitleMenu, LevelStepsEveryFourthFrameAndTheCountCarriesOver) {
  FinishedFolder folder;
  struct Case {
    const char* what;
    ReplayScript replay;
    double level, counter;
  };
  Case cases[] = {
      {"three frames", ReplayScript().Add(kRight, 3), 1, 3},
      {"four frames", ReplayScript().Add(kRight, 4), 2, 0},
      {"held on", ReplayScript().Add(kRight, 11), 3, 3},
      {"carried over a pause", ReplayScript().Add(kRight, 3).Add("", 5).Add(kRight), 2, 0},
      {"carried over to Left", ReplayScript().Add(kRight, 6).Add(kLeft, 2), 1, 0},
      {"Left held", ReplayScript().Add(kRight, 8).Add(kLeft, 5), 2, 1},
      {"Left on level 1", ReplayScript().Add(kRight, 2).Add(kLeft, 9), 1, 2},
      {"not on the LEVELS line", ReplayScript().Add(kUp).Add("", 8).Add(kRight, 8), 1, 0},
  };
  for (Case& c : cases) {
    const GameRun run = RunGame(folder, c.replay.Add(""));  // one frame more to draw the level reached
    ASSERT_EQ(run.status, 0) << c.what;
    EXPECT_EQ(G().LevelNumber, c.level) << c.what;
    EXPECT_EQ(G().LevelStepCounter, c.counter) << c.what;
    EXPECT_EQ(run.Find("LEVELS").text, "LEVELS " + std::to_string(static_cast<int>(c.level))) << c.what;
    EXPECT_EQ(run.soundsPlayingAtEnd.count(13), 0u) << c.what;
  }
}

TEST(TitleMenu, StepToAnUnfinishedLevelIsRefusedWithASoundEveryFrame) {
  FinishedFolder folder;
  // Level 4 has no score: the fourth level is the last that can be chosen.
  GameRun run = RunGame(folder, ReplayScript().Add(kRight, 20));
  EXPECT_EQ(G().LevelNumber, 4);
  EXPECT_EQ(G().LevelStepCounter, 0);
  EXPECT_EQ(run.soundsPlayingAtEnd.count(13), 1u);  // still refusing in the last frame
  run = RunGame(folder, ReplayScript().Add(kRight, 20).Add("", 2));
  EXPECT_EQ(run.soundsPlayingAtEnd.count(13), 0u);
  // A refused frame does not count: with level 1 finished later, four more frames are needed.
  GameFolder fresh;
  fresh.AddSound("Graphic/NoLevel.wav", 20);
  run = RunGame(fresh, ReplayScript().Add(kRight, 6));
  EXPECT_EQ(G().LevelNumber, 1);
  EXPECT_EQ(G().LevelStepCounter, 0);
  EXPECT_EQ(run.soundsPlayingAtEnd.count(13), 1u);
}

TEST(TitleMenu, LevelTwentyTwoIsTheLast) {
  MenuFolder folder;
  for (int level = 1; level <= 21; ++level) folder.SetScore((level - 1) * 8, 1);
  const GameRun run = RunGame(folder, ReplayScript().Add(kRight, 100));
  EXPECT_EQ(G().LevelNumber, 22);
  EXPECT_EQ(G().LevelStepCounter, 0);
  EXPECT_EQ(run.Find("LEVELS").text, "LEVELS 22");
  EXPECT_EQ(run.soundsPlayingAtEnd.count(13), 0u);  // no refusal sound either
}

TEST(TitleMenu, FunctionKeysTakeAStoredNameOnAnyLineFirstKeyWins) {
  MenuFolder folder;
  const char* names[] = {"ANNA", "BERT", "CARL", "DORA"};
  for (int k = 0; k < 4; ++k) folder.SetSlotName(k, names[k]);
  folder.SetPlayerName("OLD");
  struct Case {
    const char* keys;
    const char* name;
  };
  for (const Case& c :
       {Case{"60", "BERT"}, Case{"59 61", "ANNA"}, Case{"61 62", "CARL"}, Case{"62", "DORA"}}) {
    const GameRun run = RunGame(folder, ReplayScript().Add(c.keys));
    EXPECT_EQ(std::string(G().PlayerName), c.name) << c.keys;
    EXPECT_EQ(run.soundsPlayingAtEnd.count(15), 1u) << c.keys;
  }
  // While the box moves, and together with Down: both happen in the same frame.
  GameRun run = RunGame(folder, ReplayScript().Add(kUp).Add("", 3).Add("60 208"));
  EXPECT_EQ(std::string(G().PlayerName), "BERT");
  EXPECT_EQ(G().MenuCursor.y, 176);
  EXPECT_EQ(G().MenuCursor.state, 2);
  run = RunGame(folder, ReplayScript().Add("62 208").Add(""));
  EXPECT_EQ(std::string(G().PlayerName), "DORA");
  EXPECT_EQ(G().MenuCursor.state, 1);
  EXPECT_EQ(run.Find("PLAYER").text, "PLAYER DORA");
  // Nothing held: the name stays and no sound plays.
  run = RunGame(folder, ReplayScript().Add("", 3));
  EXPECT_EQ(std::string(G().PlayerName), "OLD");
  EXPECT_EQ(run.soundsPlayingAtEnd.count(15), 0u);
}

TEST(TitleMenu, ReturnOnEachLine) {
  MenuFolder folder;
  // PLAYER: the name entry.
  GameRun run = RunGame(folder, ReplayScript().Add(kUp).Add("", 8).Add(kUp).Add("", 8).Add(kReturn).Add(""));
  EXPECT_EQ(run.Find("CLICK").text, "CLICK YOUR NAME!");
  // HSCORE: the high-score table, with sound 16.
  run = RunGame(folder, ReplayScript().Add(kUp).Add("", 8).Add(kReturn));
  EXPECT_EQ(run.Find("HIGHSCORE").y, 32);
  EXPECT_EQ(run.soundsPlayingAtEnd.count(16), 1u);
  // LEVELS: a game on level 1, played without menu texts.
  run = RunGame(folder, ReplayScript().Add(kReturn).Add("", 3));
  EXPECT_TRUE(run.lastFrameText.empty());
  EXPECT_EQ(G().BoyX, kStartColumn * 16);
  EXPECT_EQ(G().BoyY, kStartRow * 16);
  EXPECT_EQ(G().GemsLeft, 1);
}

TEST(TitleMenu, GameReturnsToTheMenuAfterEscapeAndHeldReturnStartsAnother) {
  MenuFolder folder;
  // Escape in the fourth game frame; the menu goes on with the box where it was.
  GameRun run = RunGame(folder, ReplayScript().Add(kReturn).Add("", 3).Add("1").Add("", 2));
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.Find("LEVELS").text, "LEVELS 1");
  EXPECT_EQ(G().MenuCursor.y, 192);
  EXPECT_EQ(G().LevelNumber, 1);
  EXPECT_EQ(G().Score, 0);
  // Return still held when the game returns: the menu starts the next game at once.
  run = RunGame(folder, ReplayScript().Add(kReturn).Add("", 3).Add("1").Add(kReturn).Add("", 2));
  EXPECT_TRUE(run.lastFrameText.empty());
  EXPECT_EQ(G().BoyX, kStartColumn * 16);
}

// DrawGlyphText on its own, inside a headless run so that the renderer exists.
std::vector<std::array<double, 5>> gDrawn;
void Record(double slot, double x, double y, double w, double h) {
  gDrawn.push_back({slot, x, y, w, h});
}

TEST(GlyphText, SkipsControlCodesAndHighBytesAndAdvancesOnBlanks) {
  testing::internal::CaptureStdout();
  const int status = RunProgram({"brillora", "--headless"}, "Brillora", [] {
    Rt().renderer->recorder = [](const DrawRecord& d) { Record(d.slot, d.x, d.y, d.width, d.height); };
    gDrawn.clear();
    DrawGlyphText(10, 20, 8, 12, "");
    EXPECT_TRUE(gDrawn.empty());
    DrawGlyphText(10, 20, 8, 12,
                  std::string(" A\x01"
                              "B\x80_a",
                              7));
    EndProgram();
  });
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(status, 0);
  // Blank, A, B, underscore (code 95, the last image) and "a" (97: slot 115, no image; still advances).
  const std::vector<std::array<double, 5>> expected = {{50, 10, 20, 8, 12},
                                                       {83, 18, 20, 8, 12},
                                                       {84, 26, 20, 8, 12},
                                                       {113, 34, 20, 8, 12},
                                                       {115, 42, 20, 8, 12}};
  EXPECT_EQ(gDrawn, expected);
}

}  // namespace
