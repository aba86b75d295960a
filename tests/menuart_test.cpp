// The menu background against the texts of the three screens drawn over it (title menu, name entry,
// high-score table): the screens are run headless with the widest texts they can show, and every pixel
// their letters cover must keep at least one pixel away from every line, rim and panel edge of the
// background.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/GameRun.h"
#include "tools/art/Fonts.h"
#include "tools/art/Menu.h"
#include "tools/art/Palette.h"

namespace {

using namespace testing_support;

constexpr const char* kWidestName = "WWWWWWWW";

// Every level finished with a five-digit best score, so Right can step up to level 22, whose table is
// full of eight-letter names and five-digit scores; the player and all four slots have eight letters.
struct WidestFolder : GameFolder {
  WidestFolder() {
    for (int level = 1; level <= 22; ++level) SetScore((level - 1) * 8, 99999);
    for (int place = 0; place < 8; ++place) {
      SetScore(21 * 8 + place, 99999);
      SetScoreName(21 * 8 + place, kWidestName);
    }
    for (int slot = 0; slot < 4; ++slot) SetSlotName(slot, kWidestName);
    SetPlayerName(kWidestName);
  }
};

// Right held until level 22 is chosen (four frames a level).
ReplayScript ToLevelTwentyTwo() {
  return ReplayScript().Add("205", 4 * 21);
}

// The pixels the letters of one glyph run cover, as the glyph routine stretches each character image.
std::vector<std::vector<bool>> Coverage(const std::vector<GlyphRun>& runs) {
  std::vector<std::vector<bool>> covered(480, std::vector<bool>(640, false));
  for (const GlyphRun& run : runs) {
    double x = run.x;
    for (const char ch : run.text) {
      const int code = static_cast<signed char>(ch);
      if (code < 32) continue;
      if (code <= 95) {
        const art::Image glyph = art::MakeCharGlyph(code);
        const double sx = run.width / glyph.Width(), sy = run.height / glyph.Height();
        for (int gy = 0; gy < glyph.Height(); ++gy)
          for (int gx = 0; gx < glyph.Width(); ++gx) {
            if (!glyph.Solid(gx, gy)) continue;
            const int x0 = static_cast<int>(std::floor(x + gx * sx));
            const int x1 = static_cast<int>(std::ceil(x + (gx + 1) * sx)) - 1;
            const int y0 = static_cast<int>(std::floor(run.y + gy * sy));
            const int y1 = static_cast<int>(std::ceil(run.y + (gy + 1) * sy)) - 1;
            for (int py = std::max(y0, 0); py <= std::min(y1, 479); ++py)
              for (int px = std::max(x0, 0); px <= std::min(x1, 639); ++px) covered[py][px] = true;
          }
      }
      x += run.width;
    }
  }
  return covered;
}

// Where letters touch a line of the background (share or border on a pixel of it), one report per line.
std::string Touches(const std::vector<GlyphRun>& runs) {
  const auto covered = Coverage(runs);
  std::ostringstream out;
  for (const art::PixelRect& line : art::MenuBackgroundLines()) {
    bool found = false;
    for (int y = std::max(line.y0 - 1, 0); y <= std::min(line.y1 + 1, 479) && !found; ++y)
      for (int x = std::max(line.x0 - 1, 0); x <= std::min(line.x1 + 1, 639) && !found; ++x)
        if (covered[y][x]) {
          out << "a letter touches the line (" << line.x0 << "," << line.y0 << ")-(" << line.x1 << ","
              << line.y1 << ") at pixel " << x << "," << y << "\n";
          found = true;
        }
  }
  return out.str();
}

TEST(MenuBackground, TitleMenuTextsKeepClearOfEveryLine) {
  WidestFolder folder;
  const GameRun run = RunGame(folder, ToLevelTwentyTwo().Add(""));
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.Find("LEVELS").text, "LEVELS 22");
  ASSERT_EQ(run.Find("PLAYER").text, std::string("PLAYER ") + kWidestName);
  ASSERT_EQ(run.lastFrameText.size(), 11u);
  EXPECT_EQ(Touches(run.lastFrameText), "");
}

TEST(MenuBackground, NameEntryTextsKeepClearOfEveryLine) {
  WidestFolder folder;
  // Box up from LEVELS to PLAYER (two moves of eight frames), Return, then one frame of the name entry.
  const GameRun run = RunGame(folder, ReplayScript().Add("200", 17).Add("28").Add(""));
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.Find("CLICK").text, "CLICK YOUR NAME!");
  ASSERT_EQ(run.Find("F4").text, std::string("F4 ") + kWidestName);
  ASSERT_EQ(run.lastFrameText.size(), 9u);
  EXPECT_EQ(Touches(run.lastFrameText), "");
}

TEST(MenuBackground, HighScoreTableTextsKeepClearOfEveryLine) {
  WidestFolder folder;
  // Level 22, box up to HSCORE (one move of eight frames), Return, then one frame of the table.
  const GameRun run = RunGame(folder, ToLevelTwentyTwo().Add("200").Add("", 8).Add("28").Add(""));
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.Find("  LEVEL").text, "  LEVEL22");
  ASSERT_EQ(run.Find("PRESS").text, "PRESS SPACE BAR");
  ASSERT_EQ(run.lastFrameText.size(), 27u);
  EXPECT_EQ(Touches(run.lastFrameText), "");
}

// The lines the texts are checked against are all the background draws: no gold pixel lies outside them.
TEST(MenuBackground, EveryGoldPixelBelongsToADeclaredLine) {
  const art::Image back = art::MakeBackground();
  ASSERT_EQ(back.Width(), 640);
  ASSERT_EQ(back.Height(), 480);
  const art::Rgba gold[] = {art::pal::kGold0, art::pal::kGold1, art::pal::kGold2, art::pal::kGold3};
  int outside = 0, inside = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      bool isGold = false;
      for (const art::Rgba& g : gold) isGold = isGold || back.Get(x, y) == g;
      if (!isGold) continue;
      bool declared = false;
      for (const art::PixelRect& r : art::MenuBackgroundLines())
        declared = declared || (x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1);
      (declared ? inside : outside)++;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 0);
}

// The check itself: a text laid over the lintel's gold edge, or run into a pillar, is caught.
TEST(MenuBackground, ACrossingTextIsCaught) {
  EXPECT_NE(Touches({GlyphRun{200, 80, 32, 32, "A"}}), "");
  EXPECT_NE(Touches({GlyphRun{590, 200, 32, 32, "A"}}), "");
  EXPECT_EQ(Touches({GlyphRun{200, 200, 32, 32, "A"}}), "");
  EXPECT_EQ(Touches({GlyphRun{200, 80, 32, 32, " "}}), "");  // a blank draws nothing
}

}  // namespace
