// The whole program, headless: a recorded game from start-up through the title menu, a won level and
// back, checked through the state dump and the record files; and the sound slots the game fills. (The
// menu's start state and a start-up stopped by a missing file are in gamemain_test.)
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "game/GameMain.h"
#include "game/GameState.h"
#include "game/GameWords.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/sound/Sound.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::JsonNumber;
using testing_support::JsonNumbers;
using testing_support::JsonText;
using testing_support::LevelLayers;
using testing_support::ReadFile;
using testing_support::RecordFiles;
using testing_support::TempDir;

// A game folder: level 1 with the boy at (2, 2), a gem at (3, 2) and the exit at (5, 2); empty records but
// the player's name; a half-second exit sound.
void MakeGameFolder(const TempDir& dir) {
  LevelLayers l = LevelLayers::Framed();
  for (int i = 0; i < 1200; ++i) l.ground[i] = 2;
  l.actor[Cell(2, 2)] = cell::kBoy;
  l.item[Cell(3, 2)] = cell::kGem;
  l.item[Cell(5, 2)] = cell::kExit;
  l.cover[Cell(20, 20)] = 9;
  testing_support::WriteLevelFiles(dir.path(), 1, l);
  RecordFiles r;
  r.SetPlayerName("TIM");
  EXPECT_TRUE(WriteRecordFiles(dir.path(), r));
  std::filesystem::create_directories(dir.path() + "/Graphic");
  testing_support::WriteFile(dir.File("Graphic/Exit.wav"), testing_support::ToneWav(11025));
}

// Six start-up frames (the loading screen and the screen mode switch), one menu frame with Return on the
// LEVELS line, 200 frames of Right (the game and then refused level steps), 30 quiet frames and F12.
// Five frames follow that should never be read.
constexpr const char* kWinReplay =
    "BRILLORA-REPLAY 1\n"
    "seed 42\n"
    "x6\n"
    "28\n"
    "205 x200\n"
    "x30\n"
    "88\n"
    "x5\n";

std::string PlayRecordedGame(const TempDir& dir) {
  testing_support::WriteText(dir.File("win.rpl"), kWinReplay);
  std::string errors;
  const int status = testing_support::RunGame(
      {"--data", dir.path(), "--play", dir.File("win.rpl"), "--dump", dir.File("dump.json")}, &errors);
  EXPECT_EQ(status, 0) << errors;
  const std::vector<uint8_t> bytes = ReadFile(dir.File("dump.json"));
  return std::string(bytes.begin(), bytes.end());
}

TEST(WholeGame, ARecordedWinFromTheMenuAndBackLeavesTheExpectedState) {
  TempDir dir;
  MakeGameFolder(dir);
  const std::string dump = PlayRecordedGame(dir);
  ASSERT_FALSE(dump.empty());
  EXPECT_EQ(JsonNumber(dump, "exitCode"), 0);
  EXPECT_EQ(JsonNumber(dump, "errorCode"), 0);
  EXPECT_EQ(JsonNumber(dump, "frames"), 238);  // left with F12, not at the end of the replay
  // The gem in frame 2, the exit in frame 26 with 299 units left.
  EXPECT_EQ(JsonNumber(dump, "Score"), 10 + 299);
  EXPECT_EQ(JsonNumber(dump, "LevelNumber"), 2);
  EXPECT_EQ(JsonNumber(dump, "GemsLeft"), 0);
  EXPECT_EQ(JsonNumber(dump, "ExitOpen"), 1);
  EXPECT_EQ(JsonNumber(dump, "LevelOver"), 1);
  EXPECT_EQ(JsonNumber(dump, "BoyState"), 15);
  EXPECT_EQ(JsonNumber(dump, "BoyX"), 80);
  EXPECT_EQ(JsonNumber(dump, "BoyY"), 32);
  EXPECT_EQ(JsonNumber(dump, "ExitSoundChannel"), 5 * 256);
  EXPECT_EQ(JsonText(dump, "PlayerName"), "TIM");
  const std::vector<double> scores = JsonNumbers(dump, "Scores");
  ASSERT_EQ(scores.size(), 800u);
  EXPECT_EQ(scores[0], 309);
  EXPECT_EQ(scores[1], 0);
  EXPECT_EQ(scores[8], 0);
  const std::vector<double> actors = JsonNumbers(dump, "ActorMap"), items = JsonNumbers(dump, "ItemMap");
  ASSERT_EQ(actors.size(), 1200u);
  ASSERT_EQ(items.size(), 1200u);
  EXPECT_EQ(actors[Cell(5, 2)], cell::kBoy);  // he stays on the exit
  EXPECT_EQ(actors[Cell(2, 2)], 0);
  EXPECT_EQ(items[Cell(3, 2)], 0);
  EXPECT_EQ(JsonNumbers(dump, "CoverMap")[Cell(20, 20)], 9);

  const std::vector<uint8_t> data = ReadFile(dir.File("Maps/Data.bin"));
  ASSERT_EQ(data.size(), 3200u);
  EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 4), (std::vector<uint8_t>{0x35, 0x01, 0, 0}));
  const std::vector<uint8_t> names = ReadFile(dir.File("Maps/Name.bin"));
  ASSERT_EQ(names.size(), 6400u);
  EXPECT_EQ(std::vector<uint8_t>(names.begin(), names.begin() + 8),
            (std::vector<uint8_t>{'T', 'I', 'M', 0, 0, 0, 0, 0}));
  // F12 leaves without writing the player's name.
  EXPECT_EQ(ReadFile(dir.File("Maps/Player.bin")), (std::vector<uint8_t>{'T', 'I', 'M', 0, 0, 0, 0, 0}));

  // The same recording on the same files plays the same game.
  TempDir again;
  MakeGameFolder(again);
  EXPECT_EQ(PlayRecordedGame(again), dump);
}

// A state dump that cannot be written is no quiet success: one line names the file and the reason, and the
// run, which went well otherwise, ends with the file error's status.
TEST(WholeGame, ADumpThatCannotBeWrittenEndsWithALineAndTheFileErrorsStatus) {
  TempDir dir;
  MakeGameFolder(dir);
  testing_support::WriteText(dir.File("quit.rpl"), "BRILLORA-REPLAY 1\nseed 1\nx6\n88\n");
  const struct {
    std::string path, reason;
  } cases[] = {{dir.File("missing/state.json"), "No such file or directory"}, {dir.path(), "Is a directory"}};
  for (const auto& c : cases) {
    std::string errors;
    const int status = testing_support::RunGame(
        {"--data", dir.path(), "--play", dir.File("quit.rpl"), "--dump", c.path}, &errors);
    EXPECT_EQ(status, 3) << c.path;
    EXPECT_EQ(errors, "brillora: cannot write the state dump " + c.path + ": " + c.reason + "\n");
  }
}

TEST(WholeGame, FifosUnderTheGamesFileNamesNeverHangTheStart) {
  testing_support::HangGuard guard(60);
  // A level or record file: the start stops with the usual file error.
  for (const char* file : {"Maps/Map1-1.bin", "Maps/Player.bin"}) {
    SCOPED_TRACE(file);
    TempDir dir;
    MakeGameFolder(dir);
    std::filesystem::remove(dir.File(file));
    testing_support::MakeFifo(dir.File(file));
    std::string errors;
    EXPECT_EQ(testing_support::RunGame({"--data", dir.path(), "--frames", "20"}, &errors), kErrFile);
    EXPECT_NE(errors.find(std::string("./") + file + " (ReadByte: not a regular file)"), std::string::npos)
        << errors;
  }
  // The media archive and a sound: the game plays on without them.
  TempDir dir;
  MakeGameFolder(dir);
  testing_support::MakeFifo(dir.File("Graphic.kpq"));
  std::filesystem::remove(dir.File("Graphic/Exit.wav"));
  testing_support::MakeFifo(dir.File("Graphic/Exit.wav"));
  std::string errors;
  EXPECT_EQ(testing_support::RunGame({"--data", dir.path(), "--frames", "20"}, &errors), 0) << errors;
}

TEST(WholeGame, EverySoundSlotHoldsItsFileWithItsBuffersUntilTheRelease) {
  TempDir dir;
  MakeGameFolder(dir);
  const std::pair<int, std::string> files[] = {
      {1, "Move"},     {2, "Suck"},   {3, "Key"},    {4, "Open"},   {5, "Exit"},  {6, "Boxes"},
      {7, "Click"},    {8, "Explos"}, {9, "Crown"},  {10, "Baddy"}, {11, "Time"}, {12, "Wobble"},
      {13, "NoLevel"}, {14, "Click"}, {15, "Flame"}, {16, "Doka"},
  };
  // Each file has a length of its own, so that a slot tells which file it holds.
  std::map<std::string, int> samples;
  for (const auto& [slot, name] : files) {
    if (!samples.count(name)) samples[name] = 100 + 10 * static_cast<int>(samples.size());
    testing_support::WriteFile(dir.File("Graphic/" + name + ".wav"), testing_support::ToneWav(samples[name]));
  }
  testing_support::WriteText(dir.File("quit.rpl"), "BRILLORA-REPLAY 1\nseed 1\nx6\n88\n");
  std::map<int, std::pair<int, size_t>> inMenu, atEnd;  // slot -> buffers, sample frames
  auto look = [](std::map<int, std::pair<int, size_t>>& into) {
    for (int slot = 0; slot <= 17; ++slot) {
      const SoundSlot& s = Rt().sound->slots[slot];
      const SampleData data = s.bufferCount ? Rt().sound->mixer->Samples(s.buffers[0]) : nullptr;
      into[slot] = {s.bufferCount, data ? data->size() / 2 : 0};
    }
  };
  const int status =
      testing_support::RunHeadless({"--data", dir.path(), "--play", dir.File("quit.rpl")}, [&] {
        testing_support::FrameScript script;
        script.presented = [&] {
          if (Rt().clock.frames == 7) look(inMenu);
        };
        testing_support::InstallFrameScript(script);
        auto shutdown = Rt().shutdown;
        Rt().shutdown = [&, shutdown] {
          look(atEnd);
          shutdown();
        };
        GameMain();
      });
  ASSERT_EQ(status, 0);
  ASSERT_EQ(inMenu.size(), 18u);
  for (const auto& [slot, name] : files) {
    SCOPED_TRACE(name);
    const int buffers = slot == 2 || slot == 3 || slot == 8 || slot == 14 ? 2 : 1;
    EXPECT_EQ(inMenu[slot].first, buffers);
    EXPECT_EQ(inMenu[slot].second, static_cast<size_t>(samples[name]));
    EXPECT_EQ(atEnd[slot].first, 0);
  }
  EXPECT_EQ(inMenu[0].first, 0);
  EXPECT_EQ(inMenu[17].first, 0);
}

}  // namespace
