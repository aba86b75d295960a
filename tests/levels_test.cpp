// The shipped levels: the level compiler and its rules, the make_levels tool, and the 22 recorded
// solutions played in the real game (headless), each of which must win its level.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tools/art/TileCatalogue.h"
#include "tools/levels/GameCheck.h"
#include "tools/levels/LevelCompiler.h"
#include "tools/levels/Solver.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteText;

const std::string kLevelDir = BRILLORA_SOURCE_DIR "/data/levels";
const std::string kSolutionDir = BRILLORA_SOURCE_DIR "/data/solutions";
// The game state each solution ends in (its --dump), kept from a run that was checked by hand. A change
// that is meant to alter how a level plays rewrites them with BRILLORA_WRITE_GOLDEN_DUMPS=1.
const std::string kGoldenDumpDir = BRILLORA_SOURCE_DIR "/tests/golden";

// A small valid level: a walled field with the boy, one gem and the exit.
std::vector<std::string> BaseMap() {
  std::vector<std::string> rows(30, std::string(40, '.'));
  for (auto& r : rows) r.front() = r.back() = '#';
  rows.front() = rows.back() = std::string(40, '#');
  rows[2][2] = '@';
  rows[5][5] = '*';
  rows[10][10] = 'E';
  return rows;
}

std::string Source(const std::vector<std::string>& rows, const std::string& header = "theme: temple\n") {
  std::string text = "# test level\nname: Test\n" + header + "map:\n";
  for (const auto& r : rows) text += r + "\n";
  return text;
}

// Compiles and returns every problem, formatted as make_levels prints them.
std::vector<std::string> Problems(const std::string& text) {
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  const bool ok = levels::CompileLevelText(text, level, problems);
  std::vector<std::string> out;
  for (const auto& p : problems) out.push_back(levels::FormatProblem("level07", p));
  EXPECT_EQ(ok, out.empty());
  return out;
}

::testing::AssertionResult HasProblem(const std::vector<std::string>& problems, const std::string& expected) {
  for (const auto& p : problems)
    if (p.find(expected) != std::string::npos) return ::testing::AssertionSuccess();
  std::string all;
  for (const auto& p : problems) all += "\n  " + p;
  return ::testing::AssertionFailure() << "no problem containing \"" << expected << "\" in:" << all;
}

TEST(LevelCompiler, ExpandsTheLegendIntoFourLayers) {
  auto rows = BaseMap();
  rows[3][20] = 'k';
  rows[6][20] = '#';  // a lone wall block: face, solid, with the wall lip over the floor above it
  rows[8][20] = 'B';
  rows[12][3] = '>';
  rows[14][3] = '+';
  rows[16][3] = '"';
  rows[20][8] = 'S';  // a switch in a short wall
  rows[20][7] = '#';
  rows[20][9] = '#';
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  ASSERT_TRUE(levels::CompileLevelText(Source(rows), level, problems));
  const levels::Layers& L = level.layers;
  auto at = [](int col, int row) { return row * 40 + col; };
  EXPECT_EQ(L.actor[at(2, 2)], cell::kBoy);
  EXPECT_EQ(L.item[at(5, 5)], cell::kGem);
  EXPECT_EQ(L.actor[at(5, 5)], 0);
  EXPECT_EQ(L.item[at(10, 10)], cell::kExit);
  EXPECT_EQ(L.item[at(20, 3)], cell::kKey);
  EXPECT_EQ(L.item[at(20, 8)], cell::kGemBox);
  EXPECT_FALSE(cell::IsOpenActor(L.actor[at(20, 8)]));
  EXPECT_EQ(L.actor[at(3, 12)], cell::kBaddieRight);
  EXPECT_EQ(L.item[at(3, 14)], cell::kTurnMarker);
  EXPECT_NE(L.cover[at(3, 16)], 0);
  EXPECT_EQ(L.item[at(8, 20)], cell::kSwitch);
  EXPECT_FALSE(cell::IsOpenActor(L.actor[at(8, 20)]));
  // Walls: a face where floor lies below, a top elsewhere; the bottom frame row is the score bar.
  EXPECT_EQ(L.ground[at(20, 6)], art::tile::kWallFace);
  EXPECT_EQ(L.cover[at(20, 5)], art::tile::kCoverWallCapS);
  EXPECT_EQ(L.ground[at(0, 10)], art::tile::kWallTop);
  EXPECT_EQ(L.ground[at(15, 29)], art::tile::kFrameEdge);
  EXPECT_EQ(L.ground[at(15, 15)], art::tile::kFloorFlagstone);
  EXPECT_TRUE(cell::IsOpenActor(L.actor[at(15, 15)]));
}

TEST(LevelCompiler, WallsRunOnThroughBoxesAndOverWaterButNeverHideWhatIsToBeTaken) {
  auto rows = BaseMap();
  rows[4].replace(20, 5, "##B##");  // a gem box set into a wall: the chest hangs on the face
  rows[12].replace(20, 3, ".B.");   // a gem box standing free on the floor
  rows[7].replace(30, 3, "~~~");    // water with a wall rising out of it
  rows[8].replace(30, 3, "###");
  rows[14].replace(29, 4, "+k*.");  // a compass stone, a key and a gem just above a wall
  rows[15].replace(29, 4, "####");
  rows[16].replace(30, 3, "...");
  rows[20].replace(10, 3, "\"\"\"");  // a tree: leaves ragged on their open sides
  rows[21].replace(10, 3, "\"T\"");
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  ASSERT_TRUE(levels::CompileLevelText(Source(rows), level, problems));
  const levels::Layers& L = level.layers;
  auto at = [](int col, int row) { return row * 40 + col; };
  namespace tile = art::tile;

  EXPECT_EQ(L.ground[at(22, 4)], tile::kWallFace);
  EXPECT_EQ(L.item[at(22, 4)], cell::kGemBox);
  EXPECT_EQ(L.actor[at(22, 4)], cell::kSolid);
  EXPECT_EQ(L.cover[at(22, 3)], tile::kCoverWallCapS) << "the lip runs on over the chest";
  EXPECT_EQ(L.ground[at(21, 12)], tile::kFloorFlagstone);
  EXPECT_EQ(L.item[at(21, 12)], cell::kGemBox);
  EXPECT_EQ(L.cover[at(21, 11)], 0);

  EXPECT_EQ(L.cover[at(30, 7)], tile::kCoverWallCapS) << "the wall out of the water keeps its lip";
  EXPECT_EQ(L.cover[at(30, 14)], 0) << "a key above a wall is not cut by its lip";
  EXPECT_EQ(L.cover[at(31, 14)], 0) << "nor a gem";
  EXPECT_EQ(L.cover[at(29, 14)], 0) << "nor a compass stone";
  EXPECT_EQ(L.cover[at(32, 14)], tile::kCoverWallCapS);

  EXPECT_EQ(L.cover[at(10, 20)], tile::kCoverCanopyEdgeW);
  EXPECT_EQ(L.cover[at(11, 20)], tile::kCoverCanopyEdgeN);
  EXPECT_EQ(L.cover[at(12, 20)], tile::kCoverCanopyEdgeE);
  EXPECT_EQ(L.cover[at(10, 21)], tile::kCoverCanopyEdgeW);
  EXPECT_EQ(L.cover[at(12, 21)], tile::kCoverCanopyEdgeE);
  EXPECT_EQ(L.item[at(11, 21)], tile::kTreeTrunk);
}

TEST(LevelCompiler, CustomCharactersAndThemes) {
  auto rows = BaseMap();
  rows[4][30] = 'K';
  rows[20][20] = 'X';
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  ASSERT_TRUE(levels::CompileLevelText(
      Source(rows, "theme: dungeon\ndef K ground=97 item=65 cover=59 solid\n"), level, problems));
  EXPECT_EQ(level.theme, "dungeon");
  EXPECT_EQ(level.layers.ground[4 * 40 + 30], 97);
  EXPECT_EQ(level.layers.item[4 * 40 + 30], 65);
  EXPECT_EQ(level.layers.cover[4 * 40 + 30], 59);
  EXPECT_EQ(level.layers.actor[4 * 40 + 30], cell::kSolid);
  EXPECT_EQ(level.layers.ground[15 * 40 + 15], art::tile::kDungeonFloor);
  EXPECT_EQ(level.layers.ground[20 * 40 + 20], art::tile::kDungeonFloorCracked)
      << "a blast leaves rubble of the theme's own stone";
  EXPECT_EQ(level.layers.item[20 * 40 + 20], cell::kBlastBlock);

  EXPECT_TRUE(HasProblem(Problems(Source(rows, "theme: marsh\n")), "unknown theme \"marsh\""));
  EXPECT_TRUE(HasProblem(Problems(Source(rows, "theme: temple\ndef K item=300\n")), "0 to 255"));
  EXPECT_TRUE(HasProblem(Problems(Source(rows, "theme: temple\ndef # item=3\n")), "does not use"));
  EXPECT_TRUE(HasProblem(Problems(Source(rows, "\n")), "no \"theme:\" line"));
}

// What stands on the floor at the start (the boy, a baddie, a gem, a key) leaves the floor around it
// behind once it is gone, not the theme's plain floor.
TEST(LevelCompiler, CellsLeftOrTakenShowTheFloorAroundThem) {
  auto rows = BaseMap();
  rows[2][2] = '.';
  rows[14].replace(10, 5, ":::::");  // the boy on a mosaic patch
  rows[15].replace(10, 5, "::@::");
  rows[16].replace(10, 5, ":::::");
  rows[20].replace(10, 3, ",*,");  // a gem on a line of cracked flagstones
  rows[24].replace(10, 3, "::>");  // a baddie with mosaic on one side only: a tie keeps the plain floor
  rows[26].replace(10, 3, ",k:");  // a key between two different floors: the plain floor above and below wins
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  ASSERT_TRUE(levels::CompileLevelText(Source(rows), level, problems));
  const levels::Layers& L = level.layers;
  auto at = [](int col, int row) { return row * 40 + col; };
  ASSERT_EQ(L.actor[at(12, 15)], cell::kBoy);
  EXPECT_EQ(L.ground[at(12, 15)], art::tile::kFloorMosaic);
  EXPECT_EQ(L.ground[at(11, 20)], art::tile::kFloorFlagstone) << "a lone gem between two cracked cells";
  EXPECT_EQ(L.ground[at(12, 24)], art::tile::kFloorFlagstone);
  EXPECT_EQ(L.ground[at(11, 26)], art::tile::kFloorFlagstone);

  rows[21].replace(10, 3, ",,,");
  ASSERT_TRUE(levels::CompileLevelText(Source(rows), level, problems));
  EXPECT_EQ(level.layers.ground[at(11, 20)], art::tile::kFloorFlagstoneCracked);
}

// Baddies turn on a compass set into each theme's own floor: a tile of its own for every theme.
TEST(LevelCompiler, EveryThemeHasItsOwnTurnMarkerFloor) {
  auto rows = BaseMap();
  rows[14][3] = '+';
  std::vector<int> markers;
  for (const levels::Theme& theme : levels::Themes()) {
    SCOPED_TRACE(theme.name);
    levels::CompiledLevel level;
    std::vector<levels::LevelProblem> problems;
    ASSERT_TRUE(
        levels::CompileLevelText(Source(rows, std::string("theme: ") + theme.name + "\n"), level, problems));
    const int marker = level.layers.ground[14 * 40 + 3];
    EXPECT_EQ(level.layers.item[14 * 40 + 3], cell::kTurnMarker);
    EXPECT_EQ(marker, theme.marker);
    for (int floor : {theme.floor, theme.floor2, theme.floor3, theme.top, theme.face})
      EXPECT_NE(marker, floor);
    EXPECT_EQ(std::count(markers.begin(), markers.end(), marker), 0) << "shared with another theme";
    markers.push_back(marker);
  }
}

TEST(LevelValidator, RefusesBrokenLevelsNamingLevelCellAndReason) {
  {
    auto rows = BaseMap();
    rows[2][2] = '.';
    EXPECT_TRUE(HasProblem(Problems(Source(rows)), "level07: no start cell"));
  }
  {
    auto rows = BaseMap();
    rows[20][30] = '@';
    EXPECT_TRUE(HasProblem(Problems(Source(rows)), "level07: cell (30, 20): second start cell"));
  }
  {
    auto rows = BaseMap();
    rows[0][17] = '.';
    rows[12][39] = '*';  // also a gem in column 39, which the game never counts
    const auto p = Problems(Source(rows));
    EXPECT_TRUE(HasProblem(p, "level07: cell (17, 0): hole in the frame"));
    EXPECT_TRUE(HasProblem(p, "level07: cell (39, 12): gem or gem box outside rows 1..28"));
  }
  {
    auto rows = BaseMap();
    rows[29][5] = 'v';  // a baddie standing in the bottom frame row
    EXPECT_TRUE(HasProblem(Problems(Source(rows)), "level07: cell (5, 29): hole in the frame"));
  }
  {
    auto rows = BaseMap();
    rows[6] += ".";
    rows[9].pop_back();
    const auto p = Problems(Source(rows));
    EXPECT_TRUE(HasProblem(p, "level07: cell (40, 6): line is 41 characters, expected 40"));
    EXPECT_TRUE(HasProblem(p, "level07: cell (39, 9): line is 39 characters, expected 40"));
  }
  {
    auto rows = BaseMap();
    rows.pop_back();
    EXPECT_TRUE(HasProblem(Problems(Source(rows)), "map has 29 lines, expected 30"));
  }
  {
    auto rows = BaseMap();
    rows[7][7] = '?';
    EXPECT_TRUE(HasProblem(Problems(Source(rows)), "level07: cell (7, 7): unknown character '?'"));
  }
  {
    auto rows = BaseMap();
    rows[10][10] = '.';
    EXPECT_TRUE(HasProblem(Problems(Source(rows)), "level07: no exit"));
  }
}

TEST(LevelValidator, LayerRulesTheTextCannotExpressDirectly) {
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  ASSERT_TRUE(levels::CompileLevelText(Source(BaseMap()), level, problems));
  auto check = [&](auto change, const std::string& expected) {
    levels::Layers L = level.layers;
    change(L);
    std::vector<std::string> text;
    for (const auto& p : levels::ValidateLayers(L)) text.push_back(levels::FormatProblem("level07", p));
    EXPECT_TRUE(HasProblem(text, expected));
  };
  check([](levels::Layers& L) { L.actor[10 * 40 + 10] = 1; },
        "cell (10, 10): exit on a cell that is not walkable");
  check([](levels::Layers& L) { L.actor[5 * 40 + 5] = 1; }, "cell (5, 5): gem or key on a solid cell");
  check([](levels::Layers& L) { L.actor[8 * 40 + 8] = 34; }, "cell (8, 8): actor value 34");
  check([](levels::Layers& L) { L.item[2 * 40 + 2] = 76; }, "cell (2, 2): gem under the start cell");
  check([](levels::Layers& L) { L.item[28 * 40 + 20] = 3; },
        "cell (20, 28): gem box or switch on a walkable");
  check(
      [](levels::Layers& L) {
        L.item[10 * 40 + 10] = 0;
        L.item[28 * 40 + 38] = 74;
      },
      "cell (38, 28): exit too close to the edge");
}

// The gate recipe: a switch blasts the first cracked block in reading order, which frees the two cells
// below it; so 'x' in the wall over 'XX' opens the passage, and the 'x' itself stays solid wall.
TEST(LevelCompiler, GateRecipeOpensThePassageBelowTheDetonator) {
  auto rows = BaseMap();
  for (int r = 1; r < 29; ++r) rows[r][20] = rows[r][21] = '#';
  rows[9][20] = 'x';
  rows[10][20] = rows[10][21] = 'X';
  rows[10][10] = '.';
  rows[12][30] = 'E';
  rows[1][3] = '#';
  rows[1][2] = 'S';  // a switch in a wall stub, fired from the boy's start cell below it
  levels::CompiledLevel level;
  std::vector<levels::LevelProblem> problems;
  ASSERT_TRUE(levels::CompileLevelText(Source(rows), level, problems));
  levels::SolverGame sim;
  sim.Start(level.layers, 5);
  const int detonator = 9 * 40 + 20, left = 10 * 40 + 20, right = 10 * 40 + 21;
  EXPECT_FALSE(cell::IsOpenActor(sim.Actor(left)));
  sim.Step(BoyKeys{});  // idle first: a switch fires only after an idle decision
  BoyKeys space;
  space.space = true;
  sim.Step(space);
  EXPECT_EQ(sim.Item(2 * 40 + 2 - 40), cell::kSwitchFired) << "the switch is used";
  for (int f = 0; f < 20; ++f) sim.Step(BoyKeys{});
  EXPECT_EQ(sim.Actor(left), 0);
  EXPECT_EQ(sim.Actor(right), 0);
  EXPECT_EQ(sim.Item(left), 0);
  EXPECT_EQ(sim.Item(detonator), 0);
  EXPECT_FALSE(cell::IsOpenActor(sim.Actor(detonator))) << "the wall above the passage stays";
}

TEST(ShippedLevels, AllCompileAndKeepTheRules) {
  for (int n = 1; n <= 22; ++n) {
    SCOPED_TRACE(levels::LevelName(n));
    std::string text;
    ASSERT_TRUE(levels::ReadTextFile(kLevelDir + "/" + levels::LevelName(n) + ".txt", text));
    levels::CompiledLevel level;
    std::vector<levels::LevelProblem> problems;
    EXPECT_TRUE(levels::CompileLevelText(text, level, problems));
    for (const auto& p : problems) ADD_FAILURE() << levels::FormatProblem(levels::LevelName(n), p);
    EXPECT_FALSE(level.name.empty());
    levels::SolverGame sim;
    sim.Start(level.layers, 1);
    EXPECT_GT(sim.state.GemsLeft, 0) << "a level without gems opens its exit at once";
  }
  std::string extra;
  EXPECT_FALSE(levels::ReadTextFile(kLevelDir + "/level23.txt", extra)) << "the game has 22 levels";
}

int RunTool(const std::string& args) {
  const std::string command =
      std::string("'") + BRILLORA_BINARY_DIR + "/tools/make_levels' " + args + " 2>&1";
  const int raw = std::system(command.c_str());
  return raw == -1 ? -1 : WEXITSTATUS(raw);
}

TEST(MakeLevels, WritesEveryLevelOrNothing) {
  TempDir out;
  ASSERT_EQ(RunTool("'" + kLevelDir + "' '" + out.path() + "' >/dev/null"), 0);
  for (int n = 1; n <= 22; ++n) {
    for (int k = 1; k <= 4; ++k) {
      const std::string file =
          out.path() + "/Maps/Map" + std::to_string(n) + "-" + std::to_string(k) + ".bin";
      EXPECT_EQ(ReadFile(file).size(), 1200u) << file;
    }
  }
  // The compiled actor layer of level 1 holds exactly one boy.
  const auto actors = ReadFile(out.path() + "/Maps/Map1-4.bin");
  EXPECT_EQ(std::count(actors.begin(), actors.end(), cell::kBoy), 1);
  EXPECT_EQ(RunTool("--check '" + kLevelDir + "' >/dev/null"), 0);

  // One broken level: the tool names it, exits 1 and writes nothing.
  TempDir src, none;
  for (int n = 1; n <= 22; ++n) {
    std::string text;
    ASSERT_TRUE(levels::ReadTextFile(kLevelDir + "/" + levels::LevelName(n) + ".txt", text));
    if (n == 9)
      text = Source([] {
        auto r = BaseMap();
        r[15][0] = '.';
        return r;
      }());
    WriteText(src.File(levels::LevelName(n) + ".txt"), text);
  }
  const std::string log = none.File("log.txt");
  EXPECT_EQ(RunTool("'" + src.path() + "' '" + none.path() + "' >'" + log + "'"), 1);
  std::string printed;
  ASSERT_TRUE(levels::ReadTextFile(log, printed));
  EXPECT_NE(printed.find("level09: cell (0, 15): hole in the frame"), std::string::npos) << printed;
  EXPECT_FALSE(testing_support::FileExists(none.File("Maps/Map1-1.bin")));
  EXPECT_EQ(RunTool("--check '" + src.path() + "' >/dev/null"), 1);
  EXPECT_EQ(RunTool(">/dev/null"), 2);
}

// Every solution, played in the real game from the title menu, wins its level and ends in exactly the
// game state it ended in before; and the solver's copy of the game, fed the same keys, ends each run
// with the score the game recorded.
// The solver's kept look-ahead answers every decision as a look-ahead played afresh from that decision does:
// while the boy follows the plan (the look-ahead is played on), after he took other keys (it is forgotten),
// when the plan walks him into a baddie within the horizon, and when it does not.
TEST(Solver, KeptPlanLookAheadAnswersAsALookAheadPlayedAfresh) {
  int decisions = 0, caught = 0, deviations = 0;
  for (int n : {4, 9, 16}) {
    SCOPED_TRACE(levels::LevelName(n));
    std::string text;
    levels::CompiledLevel level;
    std::vector<levels::LevelProblem> problems;
    ASSERT_TRUE(levels::ReadTextFile(kLevelDir + "/" + levels::LevelName(n) + ".txt", text));
    ASSERT_TRUE(levels::CompileLevelText(text, level, problems));
    levels::SolverGame game;
    game.Start(level.layers, 1);
    game.Step(BoyKeys{});
    levels::PlanLookAhead kept;
    BoyKeys keys;
    for (int frame = 0; frame < 3000 && !game.won && !game.Dead(); ++frame) {
      if (game.Deciding()) {
        const BoyKeys plan = levels::GreedyKeys(game);
        for (int horizon : {72, 24}) {
          const int fresh = levels::Survives(game, plan, 1, 0, horizon);
          ASSERT_EQ(kept.Life(game, horizon), fresh) << "frame " << game.frame << ", horizon " << horizon;
          caught += fresh < horizon;
        }
        ++decisions;
        // Now and then the boy stands still for a decision instead of following the plan.
        keys = decisions % 7 == 0 ? BoyKeys{} : plan;
        if (!(keys == plan)) {
          kept.Forget();
          ++deviations;
        }
      }
      game.Step(keys);
    }
  }
  EXPECT_GT(decisions, 100);
  EXPECT_GT(caught, 0) << "no decision where the plan walks the boy into a baddie";
  EXPECT_GT(deviations, 0);
}

// The shipped replays are the solver's: it plays every level to the same win, frame for frame (a change to
// how fast it plans must not change what it plans).
TEST(Solutions, TheSolverPlaysEveryLevelToItsShippedReplay) {
  for (int n = 1; n <= 22; ++n) {
    SCOPED_TRACE(levels::LevelName(n));
    std::string text, shipped;
    levels::CompiledLevel level;
    std::vector<levels::LevelProblem> problems;
    ASSERT_TRUE(levels::ReadTextFile(kLevelDir + "/" + levels::LevelName(n) + ".txt", text));
    ASSERT_TRUE(levels::CompileLevelText(text, level, problems));
    ASSERT_TRUE(levels::ReadTextFile(kSolutionDir + "/" + levels::LevelName(n) + ".rpl", shipped));
    const int seed = std::atoi(shipped.c_str() + shipped.find("seed ") + 5);
    const levels::SolveResult r = levels::SolveLevel(level.layers, seed);
    ASSERT_TRUE(r.won) << r.why;
    EXPECT_EQ(levels::ReplayText(n, seed, r.frames), shipped);
  }
}

TEST(Solutions, EveryReplayWinsItsLevelInTheGame) {
  TempDir data;
  std::filesystem::create_directories(data.File("Maps"));
  std::vector<levels::Layers> layers(22);
  for (int n = 1; n <= 22; ++n) {
    std::string text, error;
    levels::CompiledLevel level;
    std::vector<levels::LevelProblem> problems;
    ASSERT_TRUE(levels::ReadTextFile(kLevelDir + "/" + levels::LevelName(n) + ".txt", text));
    ASSERT_TRUE(levels::CompileLevelText(text, level, problems));
    ASSERT_TRUE(levels::WriteLevelFiles(level.layers, data.File("Maps"), n, error)) << error;
    layers[static_cast<size_t>(n - 1)] = level.layers;
  }
  const std::string game = BRILLORA_BINARY_DIR "/brillora";
  ASSERT_TRUE(testing_support::FileExists(game)) << "build the brillora program first";
  for (int n = 1; n <= 22; ++n) {
    SCOPED_TRACE(levels::LevelName(n));
    const std::string replay = kSolutionDir + "/" + levels::LevelName(n) + ".rpl";
    ASSERT_TRUE(testing_support::FileExists(replay));
    const levels::GameRun run = levels::RunReplayInGame(game, data.path(), replay, n);
    EXPECT_EQ(run.status, 0);
    EXPECT_GT(run.bestScore, 1) << "no score recorded for the level";
    EXPECT_EQ(run.levelNumber, n < 22 ? n + 1 : 22);
    // The old best score of 1 moved down one place.
    const auto scores = ReadFile(data.File("Maps/Data.bin"));
    ASSERT_EQ(scores.size(), 3200u);
    EXPECT_EQ(scores[static_cast<size_t>((n - 1) * 32 + 4)], 1);
    const std::string golden = kGoldenDumpDir + "/" + levels::LevelName(n) + ".json";
    const auto dump = ReadFile(data.File("dump.json"));
    ASSERT_FALSE(dump.empty());
    if (std::getenv("BRILLORA_WRITE_GOLDEN_DUMPS")) WriteText(golden, std::string(dump.begin(), dump.end()));
    EXPECT_TRUE(dump == ReadFile(golden)) << "the final state differs from " << golden;
    // The boy's run, replayed on the solver's copy of the game, reaches the same score.
    std::string text;
    ASSERT_TRUE(levels::ReadTextFile(replay, text));
    const size_t run0 = text.find("# the boy's run\n");
    ASSERT_NE(run0, std::string::npos);
    const int seed = std::atoi(text.c_str() + text.find("seed ") + 5);
    levels::SolverGame sim;
    sim.Start(layers[static_cast<size_t>(n - 1)], seed);
    sim.Step(BoyKeys{});  // the frame that started the game saw only Return
    std::istringstream lines(text.substr(run0));
    std::string line;
    while (std::getline(lines, line) && !sim.won && !sim.Dead()) {
      if (line.empty() || line[0] == '#') {
        if (line.empty()) sim.Step(BoyKeys{});
        continue;
      }
      std::istringstream tokens(line);
      std::string tok;
      BoyKeys keys;
      long long repeat = 1;
      while (tokens >> tok) {
        if (tok[0] == 'x')
          repeat = std::atoll(tok.c_str() + 1);
        else if (tok == std::to_string(key::kRight))
          keys.right = true;
        else if (tok == std::to_string(key::kLeft))
          keys.left = true;
        else if (tok == std::to_string(key::kUp))
          keys.up = true;
        else if (tok == std::to_string(key::kDown))
          keys.down = true;
        else if (tok == std::to_string(key::kSpace))
          keys.space = true;
      }
      for (long long i = 0; i < repeat && !sim.won && !sim.Dead(); ++i) sim.Step(keys);
    }
    EXPECT_TRUE(sim.won);
    EXPECT_LT(sim.frame, levels::kTimeLimitFrames);
    EXPECT_EQ(sim.Score(), run.bestScore);
  }
}

}  // namespace
