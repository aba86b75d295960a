// The high-score table, opened from the title menu's HSCORE line: the places of the level selected on the
// menu, drawn afresh every frame, closed by Space only.
#include <gtest/gtest.h>

#include "game/GameState.h"
#include "tests/support/GameRun.h"

namespace {

using namespace testing_support;

// Level 1 finished; level 2 holds a table with an empty name and a score too wide for the screen.
struct TableFolder : GameFolder {
  TableFolder() {
    SetScore(0, 5);
    const char* names[] = {"ANNA", "BERT", "", "DORA", "EMIL", "FRED", "GINA", "HUGO"};
    const uint32_t scores[] = {1234567, 1000, 900, 900, 10, 0, 0, 0};
    for (int j = 0; j < 8; ++j) {
      SetScoreName(8 + j, names[j]);
      SetScore(8 + j, scores[j]);
    }
    SetScoreName(16, "OTHER");
  }
};

// Level 2 chosen (four frames of Right), box up to HSCORE (nine frames), Return: the next line is the
// table's first keyboard read.
ReplayScript OpenTableOfLevelTwo() {
  return ReplayScript().Add("205", 4).Add("200").Add("", 8).Add("28");
}

TEST(HighScoreTable, ShowsThePlacesOfTheSelectedLevel) {
  TableFolder folder;
  const GameRun run = RunGame(folder, OpenTableOfLevelTwo().Add(""));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(G().LevelNumber, 2);
  const char* shown[] = {"ANNA", "BERT", "", "DORA", "EMIL", "FRED", "GINA", "HUGO"};
  for (int j = 0; j < 8; ++j) EXPECT_EQ(std::string(G().ShownNames[j]), shown[j]);

  std::vector<std::string> lines;
  for (const GlyphRun& r : run.lastFrameText)
    lines.push_back(std::to_string(static_cast<int>(r.x)) + "," + std::to_string(static_cast<int>(r.y)) +
                    "," + std::to_string(static_cast<int>(r.width)) + "x" +
                    std::to_string(static_cast<int>(r.height)) + " " + r.text);
  const std::vector<std::string> expected = {
      "112,32,46x38 HIGHSCORE", "112,96,42x32   LEVEL2",
      "96,160,32x32 1.",        "96,192,32x32 2.",
      "96,224,32x32 3.",        "96,256,32x32 4.",
      "96,288,32x32 5.",        "96,320,32x32 6.",
      "96,352,32x32 7.",        "96,384,32x32 8.",
      "160,160,32x32 ANNA",     "160,192,32x32 BERT",
      "160,256,32x32 DORA",     "160,288,32x32 EMIL",
      "160,320,32x32 FRED",     "160,352,32x32 GINA",
      "160,384,32x32 HUGO",     "448,160,32x32 1234567",
      "448,192,32x32 1000",     "448,224,32x32 900",
      "448,256,32x32 900",      "448,288,32x32 10",
      "448,320,32x32 0",        "448,352,32x32 0",
      "448,384,32x32 0",        "36,440,38x38 PRESS SPACE BAR",
  };
  EXPECT_EQ(lines, expected);
}

TEST(HighScoreTable, OnlySpaceClosesItAndTheMenuGoesOn) {
  TableFolder folder;
  // Return held on: the table stays.
  GameRun run = RunGame(folder, OpenTableOfLevelTwo().Add("28", 5));
  EXPECT_EQ(run.Find("HIGHSCORE").y, 32);
  // Space: back to the menu, with the box still on HSCORE.
  run = RunGame(folder, OpenTableOfLevelTwo().Add("28", 2).Add("57").Add(""));
  EXPECT_EQ(run.Find("HSCORE").y, 160);
  EXPECT_EQ(run.Find("LEVELS").text, "LEVELS 2");
  EXPECT_EQ(G().MenuCursor.y, 160);
  // Space and Return together: the table closes, and the held Return opens it again in the menu's next frame.
  run = RunGame(folder, OpenTableOfLevelTwo().Add("28 57").Add("28").Add(""));
  EXPECT_EQ(run.Find("HIGHSCORE").y, 32);
  // The table of level 1: an empty table of a level with one score.
  run = RunGame(folder, ReplayScript().Add("200").Add("", 8).Add("28").Add(""));
  EXPECT_EQ(run.Find("  LEVEL").text, "  LEVEL1");
  std::vector<std::string> scores;
  for (const GlyphRun& r : run.lastFrameText)
    if (r.x == 448) scores.push_back(r.text);
  EXPECT_EQ(scores, std::vector<std::string>({"5", "0", "0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(std::string(G().ShownNames[0]), "");
}

}  // namespace
