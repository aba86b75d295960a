// The game main as a whole program: the state the title menu starts with, the two ways out of the menu,
// and the start-up stopping on a missing or short record or level file before the menu is shown.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/GameState.h"
#include "game/GameWords.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameRun.h"

namespace {

using namespace testing_support;

// Frames shown before the title menu's first frame: the start-up frame and the screen mode switch.
constexpr long long kStartFrames = 6;

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

struct RecordFolder : GameFolder {
  RecordFolder() {
    SetSlotName(1, "NEWNAME");
    SetScore(9, 1000);
    SetScoreName(9, "WINNER");
    WriteFile(File("Maps/Player.bin"), {'A', 'B', 0, 'C', 0, 0, 0, 0});  // the zero byte is dropped
  }
};

TEST(GameMain, TitleMenuStartsOnLevelOneWithTheRecordsLoaded) {
  RecordFolder folder;
  const GameRun run = RunGame(folder, ReplayScript().Add(""), {"--dump", folder.File("dump.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Init OK\n");
  EXPECT_EQ(Rt().clock.frames, kStartFrames);  // the menu's first frame ended the replay
  const GameState& g = G();
  EXPECT_EQ(g.LevelNumber, 1);
  EXPECT_EQ(g.TimeLeft, 300);
  EXPECT_EQ(g.MenuCursor.x, 128);
  EXPECT_EQ(g.MenuCursor.y, 192);
  EXPECT_EQ(g.MenuCursor.state, 0);
  EXPECT_EQ(g.MenuCursor.frame, 1);  // one frame of the resting box drawn
  EXPECT_EQ(g.LevelStepCounter, 0);
  EXPECT_EQ(std::string(g.CreditText), "THE GEM WORKSHOP");
  EXPECT_EQ(std::string(g.PlayerName), "ABC");
  EXPECT_EQ(std::string(g.PlayerSlots[1]), "NEWNAME");
  EXPECT_EQ(std::string(g.ScoreNames[9]), "WINNER");
  EXPECT_EQ(g.Scores[9], 1000);
  EXPECT_EQ(g.ActorMap[kStartRow * 40 + kStartColumn], cell::kBoy);  // level 1 loaded
  EXPECT_EQ(g.BoyX, 0);                                              // but not yet scanned
  EXPECT_EQ(g.ItemMap[5 * 40 + 10], cell::kGem);
  const std::string dump = Text(folder.File("dump.json"));
  EXPECT_NE(dump.find("\"exitCode\":0,"), std::string::npos);
  EXPECT_NE(dump.find("\"LevelNumber\":1,"), std::string::npos);
  EXPECT_NE(dump.find("\"TimeLeft\":300,"), std::string::npos);
  EXPECT_NE(dump.find("\"MenuCursor\":{\"state\":0,\"frame\":1,\"x\":128,\"y\":192}"), std::string::npos);
  EXPECT_NE(dump.find("\"PlayerName\":\"ABC\""), std::string::npos);
}

// The record files other than Player.bin, as they were before the run.
std::vector<std::vector<uint8_t>> OtherRecords(const GameFolder& folder) {
  std::vector<std::vector<uint8_t>> files;
  for (const char* name : {"Maps/Name.bin", "Maps/Data.bin", "Maps/Duzozez.bin"})
    files.push_back(ReadFile(folder.File(name)));
  return files;
}

TEST(GameMain, GoHomeSavesThePlayerNameAndEnds) {
  RecordFolder folder;
  const auto before = OtherRecords(folder);
  // F2 takes "NEWNAME"; the box goes down to GOHOME in nine frames; Return in the eleventh.
  ReplayScript replay;
  replay.Add("60").Add("208").Add("", 8).Add("28").Add("", 20);
  const GameRun run = RunGame(folder, replay, {"--dump", folder.File("dump.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Rt().clock.frames, kStartFrames + 10);  // ended in that frame, long before the replay's end
  EXPECT_EQ(ReadFile(folder.File("Maps/Player.bin")),
            std::vector<uint8_t>({'N', 'E', 'W', 'N', 'A', 'M', 'E', 0}));
  EXPECT_EQ(OtherRecords(folder), before);
  const std::string dump = Text(folder.File("dump.json"));
  EXPECT_NE(dump.find("\"exitCode\":0,"), std::string::npos);
  EXPECT_NE(dump.find("\"PlayerName\":\"NEWNAME\""), std::string::npos);
  EXPECT_NE(dump.find("\"y\":224}"), std::string::npos);
}

TEST(GameMain, F12EndsWithoutSavingAnything) {
  RecordFolder folder;
  const auto before = OtherRecords(folder);
  const std::vector<uint8_t> player = ReadFile(folder.File("Maps/Player.bin"));
  // F12 is tested after the frame is shown: held in the menu's second input line, it ends the first frame.
  const GameRun run = RunGame(folder, ReplayScript().Add("60").Add("88").Add("", 20));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Rt().clock.frames, kStartFrames + 1);
  EXPECT_EQ(std::string(G().PlayerName), "NEWNAME");
  EXPECT_EQ(ReadFile(folder.File("Maps/Player.bin")), player);
  EXPECT_EQ(OtherRecords(folder), before);
}

TEST(GameMain, MissingOrShortFileStopsTheStartBeforeTheMenu) {
  const char* required[] = {"Maps/Map1-1.bin", "Maps/Map1-2.bin", "Maps/Map1-3.bin", "Maps/Map1-4.bin",
                            "Maps/Player.bin", "Maps/Name.bin",   "Maps/Data.bin",   "Maps/Duzozez.bin"};
  for (const bool shorten : {false, true}) {
    for (const char* name : required) {
      RecordFolder folder;
      const std::string path = folder.File(name);
      if (shorten) {
        std::vector<uint8_t> bytes = ReadFile(path);
        bytes.pop_back();
        WriteFile(path, bytes);
      } else {
        std::filesystem::remove(path);
      }
      const GameRun run = RunGame(folder, ReplayScript().Add("", 5), {"--dump", folder.File("dump.json")});
      EXPECT_EQ(run.status, 3) << name;
      EXPECT_NE(run.err.find(std::string("./") + name), std::string::npos) << run.err;
      EXPECT_EQ(Rt().clock.frames, kStartFrames) << name;
      EXPECT_EQ(G().MenuCursor.frame, 0) << name;  // the menu never drew its box
      EXPECT_TRUE(run.lastFrameText.empty()) << name;
      EXPECT_NE(Text(folder.File("dump.json")).find("\"exitCode\":3,"), std::string::npos) << name;
      if (!shorten) {
        EXPECT_FALSE(FileExists(path)) << name;  // nothing is created in its place
        // The level comes first, then the records in the order Player, Name, Data, stored names.
        EXPECT_EQ(G().Scores[9], std::string(name) == "Maps/Duzozez.bin" ? 1000 : 0) << name;
      }
    }
  }
}

TEST(GameMain, MissingSlotFileIsFoundAfterTheOtherRecordsWereRead) {
  RecordFolder folder;
  std::filesystem::remove(folder.File("Maps/Duzozez.bin"));
  const GameRun run = RunGame(folder, ReplayScript().Add(""));
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(G().Scores[9], 1000);
  EXPECT_EQ(std::string(G().ScoreNames[9]), "WINNER");
  EXPECT_EQ(std::string(G().PlayerName), "");  // built only after the slots
  // A level other than the first is not read at start-up.
  RecordFolder other;
  std::filesystem::remove(other.File("Maps/Map2-1.bin"));
  EXPECT_EQ(RunGame(other, ReplayScript().Add("")).status, 0);
}

}  // namespace
