// The state dump read back with the game's own reader: every kind of field, and the fields it must not
// mistake for another kind.
#include "game/StateDump.h"

#include <gtest/gtest.h>

#include "game/GameState.h"
#include "game/GameWords.h"
#include "tests/support/GameTestSupport.h"

namespace {

TEST(StateDump, WhatIsWrittenReadsBack) {
  testing_support::NewField();
  GameState& g = G();
  g.LevelNumber = 7;
  g.Score = -12.5;
  g.ItemMap[kCells - 1] = cell::kGem;
  g.PlayerName = "ANNA";
  const std::string json = GameStateJson(3);

  double number = 0;
  ASSERT_TRUE(ReadDumpNumber(json, "LevelNumber", number));
  EXPECT_EQ(number, 7);
  ASSERT_TRUE(ReadDumpNumber(json, "Score", number));
  EXPECT_EQ(number, -12.5);
  ASSERT_TRUE(ReadDumpNumber(json, "exitCode", number));
  EXPECT_EQ(number, 3);
  std::vector<double> cells;
  ASSERT_TRUE(ReadDumpNumbers(json, "ItemMap", cells));
  ASSERT_EQ(cells.size(), static_cast<size_t>(kCells));
  EXPECT_EQ(cells.back(), cell::kGem);
  std::string text;
  ASSERT_TRUE(ReadDumpText(json, "PlayerName", text));
  EXPECT_EQ(text, "ANNA");
}

TEST(StateDump, AFieldOfAnotherKindOrNoneIsNotRead) {
  const std::string json = "{\"a\":[1,2],\"t\":\"x\",\"n\":4,\"cut\":[1,2";
  double number = 0;
  std::vector<double> numbers;
  std::string text;
  EXPECT_FALSE(ReadDumpNumber(json, "missing", number));
  EXPECT_FALSE(ReadDumpNumber(json, "a", number));
  EXPECT_FALSE(ReadDumpNumber(json, "t", number));
  EXPECT_FALSE(ReadDumpNumbers(json, "n", numbers));
  EXPECT_FALSE(ReadDumpNumbers(json, "cut", numbers)) << "an array without its end";
  EXPECT_FALSE(ReadDumpText(json, "n", text));
  EXPECT_TRUE(ReadDumpNumber(json, "n", number));
  EXPECT_EQ(number, 4);
}

}  // namespace
