// The record files byte for byte: names of up to 8 bytes, 32-bit little-endian scores, loading at start-up,
// the saves, and the insertion of a finished level's score into its eight places.
#include "game/Records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "game/GameState.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::RecordFiles;
using testing_support::ScopedWorkingDir;
using testing_support::TempDir;

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
  return std::vector<uint8_t>(bytes.begin() + from, bytes.begin() + from + count);
}

class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::NewField();
    files.player = {'B', 'O', 'B', 0, 0, 0, 0, 0};
    files.SetSlotName(0, "ANNA    ");
    files.SetSlotName(1, std::string("AB\0C", 4));
    files.SetSlotName(2, std::string("\xC8\x07\0\0\0\0\0\xFF", 8));
    files.SetScoreName(0, "ZED");
    files.SetScoreName(799, "LAST1234");
    files.SetScore(0, 1000);
    files.SetScore(5, 0xFFFFFFFFu);
    files.SetScore(799, 0x04030201u);
    EXPECT_TRUE(WriteRecordFiles(dir.path(), files));
    cwd = std::make_unique<ScopedWorkingDir>(dir.path());
  }
  void TearDown() override {
    cwd.reset();
    ResetRuntimeContext();
  }
  std::vector<uint8_t> Read(const std::string& name) const { return ReadFile(dir.File("Maps/" + name)); }

  // Runs `call` expecting the program to stop; returns the status and the cause.
  static int Stopped(const std::function<void()>& call, std::string& cause) {
    const testing_support::Stop stop = testing_support::StopOf(call);
    cause = stop.cause;
    return stop.status;
  }

  TempDir dir;
  RecordFiles files;
  std::unique_ptr<ScopedWorkingDir> cwd;
};

TEST_F(RecordsTest, LoadBuildsNamesFromTheirNonZeroBytesAndReadsScoresLittleEndian) {
  LoadRecords();
  GameState& g = G();
  EXPECT_EQ(std::string(g.PlayerName), "BOB");
  EXPECT_EQ(std::string(g.PlayerSlots[0]), "ANNA    ");
  EXPECT_EQ(std::string(g.PlayerSlots[1]), "ABC");  // the zero in the middle is skipped
  EXPECT_EQ(std::string(g.PlayerSlots[2]), std::string("\xC8\x07\xFF"));
  EXPECT_EQ(std::string(g.PlayerSlots[3]), "");
  EXPECT_EQ(std::string(g.ScoreNames[0]), "ZED");
  EXPECT_EQ(std::string(g.ScoreNames[799]), "LAST1234");
  EXPECT_EQ(g.Scores[0], 1000);
  EXPECT_EQ(g.Scores[5], 4294967295.0);
  EXPECT_EQ(g.Scores[799], 0x04030201);
  EXPECT_EQ(g.Scores[1], 0);
  EXPECT_EQ(Rt().channels[1].handle, nullptr);
}

TEST_F(RecordsTest, SavesWriteEveryNameAsEightBytesAndKeepNonZeroBytes) {
  LoadRecords();
  GameState& g = G();
  SavePlayerSlots();
  const std::vector<uint8_t> slots = Read("Duzozez.bin");
  ASSERT_EQ(slots.size(), 32u);
  EXPECT_EQ(Slice(slots, 0, 8), (std::vector<uint8_t>{'A', 'N', 'N', 'A', ' ', ' ', ' ', ' '}));
  EXPECT_EQ(Slice(slots, 8, 8), (std::vector<uint8_t>{65, 66, 67, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Slice(slots, 16, 8), (std::vector<uint8_t>{200, 7, 255, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Slice(slots, 24, 8), std::vector<uint8_t>(8, 0));

  SaveScores();  // nothing changed: both files come out as they went in
  EXPECT_EQ(Read("Data.bin"), files.data);
  EXPECT_EQ(Read("Name.bin"), files.names);

  g.PlayerName = "JO";
  SavePlayerName();
  EXPECT_EQ(Read("Player.bin"), (std::vector<uint8_t>{'J', 'O', 0, 0, 0, 0, 0, 0}));
  g.PlayerName = "ABCDEFGHIJ";  // only eight characters are kept
  SavePlayerName();
  EXPECT_EQ(Read("Player.bin"), (std::vector<uint8_t>{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}));

  // A 3-letter name goes out with five zeros and comes back the same.
  g.PlayerName = "";
  g.PlayerName = "KAI";
  SavePlayerName();
  EXPECT_EQ(Read("Player.bin"), (std::vector<uint8_t>{'K', 'A', 'I', 0, 0, 0, 0, 0}));
  testing_support::NewField();
  LoadRecords();
  EXPECT_EQ(std::string(G().PlayerName), "KAI");
}

TEST_F(RecordsTest, SaveScoresRewritesBothFilesEvenWhenNothingChanged) {
  LoadRecords();
  testing_support::WriteFile(dir.File("Maps/Data.bin"), {1, 2, 3});
  testing_support::WriteFile(dir.File("Maps/Name.bin"), {});
  GameState& g = G();
  g.Score = 0;
  RecordLevelScore();
  SaveScores();
  const std::vector<uint8_t> data = Read("Data.bin");
  ASSERT_EQ(data.size(), 3200u);
  EXPECT_EQ(Slice(data, 0, 4), (std::vector<uint8_t>{0xE8, 0x03, 0x00, 0x00}));
  EXPECT_EQ(data, files.data);
  EXPECT_EQ(Read("Name.bin"), files.names);
}

class ScoreTableTest : public RecordsTest {
 protected:
  void SetUp() override {
    RecordsTest::SetUp();
    GameState& g = G();
    g.LevelNumber = 3;
    const double table[8] = {500, 400, 400, 300, 200, 100, 50, 10};
    for (int i = 0; i < 8; ++i) {
      g.Scores[16 + i] = table[i];
      g.ScoreNames[16 + i] = RtString("P") + static_cast<double>(i);
    }
    g.Scores[15] = g.Scores[24] = 7;  // the neighbouring levels
    g.PlayerName = "NEW";
  }
  // The level's eight places as "score name" texts.
  static std::vector<std::string> Table() {
    std::vector<std::string> out;
    for (int i = 0; i < 8; ++i)
      out.push_back(std::to_string(static_cast<long long>(G().Scores[16 + i])) + " " +
                    std::string(G().ScoreNames[16 + i]));
    return out;
  }
};

TEST_F(ScoreTableTest, ANewResultGoesBelowEqualOnesAndPushesTheRestDown) {
  G().Score = 400;
  RecordLevelScore();
  EXPECT_EQ(Table(), (std::vector<std::string>{"500 P0", "400 P1", "400 P2", "400 NEW", "300 P3", "200 P4",
                                               "100 P5", "50 P6"}));
  EXPECT_EQ(G().Scores[15], 7);
  EXPECT_EQ(G().Scores[24], 7);
}

TEST_F(ScoreTableTest, PlaceZeroMovesEveryPlaceDownAndDropsTheLast) {
  G().Score = 501;
  RecordLevelScore();
  EXPECT_EQ(Table(), (std::vector<std::string>{"501 NEW", "500 P0", "400 P1", "400 P2", "300 P3", "200 P4",
                                               "100 P5", "50 P6"}));
  EXPECT_EQ(G().Scores[15], 7);
  EXPECT_EQ(G().Scores[24], 7);
}

TEST_F(ScoreTableTest, TheLastPlaceIsReplacedAndNoBetterResultChangesNothing) {
  const std::vector<std::string> before = Table();
  for (double score : {10.0, 3.0}) {
    G().Score = score;
    RecordLevelScore();
    EXPECT_EQ(Table(), before);
  }
  G().Score = 11;
  RecordLevelScore();
  std::vector<std::string> expect = before;
  expect[7] = "11 NEW";
  EXPECT_EQ(Table(), expect);
}

TEST_F(ScoreTableTest, AZeroResultIsNotEnteredIntoAnEmptyTable) {
  GameState& g = G();
  g.LevelNumber = 5;
  g.Score = 0;
  RecordLevelScore();
  for (int i = 32; i < 40; ++i) {
    EXPECT_EQ(g.Scores[i], 0);
    EXPECT_EQ(std::string(g.ScoreNames[i]), "");
  }
}

TEST_F(RecordsTest, AMissingStoredNamesFileStopsAfterTheOtherThreeWereRead) {
  std::filesystem::remove(dir.File("Maps/Duzozez.bin"));
  std::string cause;
  EXPECT_EQ(Stopped(LoadRecords, cause), kErrFile);
  EXPECT_NE(cause.find("./Maps/Duzozez.bin"), std::string::npos) << cause;
  EXPECT_EQ(G().Scores[0], 1000);
  EXPECT_EQ(std::string(G().ScoreNames[799]), "LAST1234");
  EXPECT_EQ(std::string(G().PlayerSlots[0]), "");
}

TEST_F(RecordsTest, ShortFilesStopTheProgramAndLongerOnesAreReadAsFarAsTheLayoutGoes) {
  files.player.resize(20, 'X');
  EXPECT_TRUE(WriteRecordFiles(dir.path(), files));
  LoadRecords();
  EXPECT_EQ(std::string(G().PlayerName), "BOB");

  files.player.resize(8);
  for (const char* name : {"Player.bin", "Name.bin", "Data.bin", "Duzozez.bin"}) {
    SCOPED_TRACE(name);
    testing_support::NewField();
    EXPECT_TRUE(WriteRecordFiles(dir.path(), files));
    std::vector<uint8_t> bytes = Read(name);
    bytes.pop_back();
    testing_support::WriteFile(dir.File(std::string("Maps/") + name), bytes);
    std::string cause;
    EXPECT_EQ(Stopped(LoadRecords, cause), kErrFile);
    EXPECT_NE(cause.find(std::string("./Maps/") + name), std::string::npos) << cause;
  }
}

TEST_F(RecordsTest, CreditTextSpellsItsCodesFromCapitalA) {
  BuildCreditText();
  GameState& g = G();
  std::string expect;
  for (int i = 0; i < 16; ++i) {
    const int code = static_cast<int>(g.CreditCodes[i]) + 64;
    if (code & 0xFF) expect += static_cast<char>(code);
  }
  EXPECT_EQ(std::string(g.CreditText), expect);
  EXPECT_FALSE(expect.empty());
  for (char c : expect) EXPECT_TRUE(c >= 32 && c <= 95) << int(c);  // drawable by the menus
}

// The byte images the tests and the level tools make record folders from: the setters put each value where
// the game reads it, and what is written reads back whole.
TEST(RecordFileImages, SettersPlaceEachValueAndTheFilesReadBackWhole) {
  RecordFiles files;
  files.SetScore(9, 0x04030201u);
  files.SetScore(799, 0xFFFFFFFEu);
  EXPECT_EQ(Slice(files.data, 36, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(files.Score(9), 0x04030201u);
  EXPECT_EQ(files.Score(799), 0xFFFFFFFEu);
  EXPECT_EQ(files.Score(8), 0u);
  files.SetScoreName(799, "LONGERTHAN8");  // cut to eight bytes
  EXPECT_EQ(Slice(files.names, 6392, 8), (std::vector<uint8_t>{'L', 'O', 'N', 'G', 'E', 'R', 'T', 'H'}));
  EXPECT_EQ(files.ScoreName(799), "LONGERTH");
  files.names[8] = 'A';
  files.names[10] = 'B';  // a zero byte inside a name adds nothing
  EXPECT_EQ(files.ScoreName(1), "AB");
  EXPECT_EQ(files.ScoreName(0), "");
  files.SetSlotName(3, "ABCDEFGH");
  files.SetSlotName(3, "AB");  // a shorter name clears the rest
  EXPECT_EQ(Slice(files.slots, 24, 8), (std::vector<uint8_t>{'A', 'B', 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Slice(files.slots, 0, 24), std::vector<uint8_t>(24, 0));
  files.SetPlayerName("BOB");
  EXPECT_EQ(files.player, (std::vector<uint8_t>{'B', 'O', 'B', 0, 0, 0, 0, 0}));

  TempDir dir;  // no Maps/ yet: the writer makes it
  ASSERT_TRUE(WriteRecordFiles(dir.path(), files));
  EXPECT_EQ(ReadFile(dir.File("Maps/Data.bin")), files.data);
  EXPECT_EQ(ReadFile(dir.File("Maps/Name.bin")), files.names);
  EXPECT_EQ(ReadFile(dir.File("Maps/Duzozez.bin")), files.slots);
  EXPECT_EQ(ReadFile(dir.File("Maps/Player.bin")), files.player);
  RecordFiles back;
  ASSERT_TRUE(ReadRecordFiles(dir.path(), back));
  EXPECT_EQ(back.data, files.data);
  EXPECT_EQ(back.names, files.names);
  EXPECT_EQ(back.slots, files.slots);
  EXPECT_EQ(back.player, files.player);
}

TEST(RecordFileImages, ShortOrMissingFilesAndAnUnwritableFolderAreReported) {
  TempDir dir;
  RecordFiles files;
  RecordFiles back;
  EXPECT_FALSE(ReadRecordFiles(dir.path(), back));  // nothing there
  ASSERT_TRUE(WriteRecordFiles(dir.path(), files));
  std::vector<uint8_t> names = ReadFile(dir.File("Maps/Name.bin"));
  names.pop_back();
  testing_support::WriteFile(dir.File("Maps/Name.bin"), names);
  EXPECT_FALSE(ReadRecordFiles(dir.path(), back));
  std::filesystem::remove(dir.File("Maps/Player.bin"));
  ASSERT_TRUE(WriteRecordFiles(dir.path(), files));
  EXPECT_TRUE(ReadRecordFiles(dir.path(), back));
  // A folder that cannot hold a Maps/ folder: a file stands in its place.
  testing_support::WriteFile(dir.File("plain"), {1});
  EXPECT_FALSE(WriteRecordFiles(dir.File("plain"), files));
}

}  // namespace
