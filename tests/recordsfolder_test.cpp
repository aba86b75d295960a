// Where the records live: the user's own data folder for a game started from its install, made on the
// first start from the records in the game folder, and the game folder itself with --data. The runs are
// real processes of the game; run by root, they run as the unprivileged user, so that a read-only game
// folder really is read-only to them.
#include "runtime/core/RecordsFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/RuntimeContext.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::FileExists;
using testing_support::JsonNumbers;
using testing_support::JsonText;
using testing_support::ReadFile;
using testing_support::RecordFiles;
using testing_support::TempDir;
using Bytes = std::vector<uint8_t>;

// The user the game runs as: nobody when the tests run as root, else the tester.
int PlayerUser() {
  return ::geteuid() == 0 ? 65534 : static_cast<int>(::geteuid());
}

// A level the boy wins by walking right: gem at (3, 2), exit at (5, 2); 10 + 299 points.
void WriteWinnableLevel(const std::string& dir, int n) {
  testing_support::LevelLayers l = testing_support::LevelLayers::Framed();
  l.actor[Cell(2, 2)] = 13;
  l.item[Cell(3, 2)] = 76;
  l.item[Cell(5, 2)] = 74;
  testing_support::WriteLevelFiles(dir, n, l);
}

constexpr uint32_t kWinScore = 309;
// Start-up, Return on LEVELS, walk right through the level and back to the menu, F12.
constexpr const char* kWinReplay = "BRILLORA-REPLAY 1\nseed 42\nx6\n28\n205 x100\nx20\n88\n";
constexpr const char* kQuitReplay = "BRILLORA-REPLAY 1\nseed 1\nx6\n88\n";

Bytes Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

Bytes First(const Bytes& bytes, size_t n) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(std::min(n, bytes.size())));
}

// An installed game: the program with its levels and records in root/game, a home folder for the player
// in root/home, replays in root.
class Install {
 public:
  explicit Install(const RecordFiles& shipped) {
    std::filesystem::permissions(root_.path(), std::filesystem::perms(0755));
    std::filesystem::create_directories(game());
    std::error_code ec;
    std::filesystem::create_hard_link(testing_support::GameProgram(), game() + "/brillora", ec);
    if (ec) std::filesystem::copy_file(testing_support::GameProgram(), game() + "/brillora");
    WriteWinnableLevel(game(), 1);
    EXPECT_TRUE(WriteRecordFiles(game(), shipped));
    std::filesystem::create_directories(home());
    if (::geteuid() == 0) {
      EXPECT_EQ(::chown(home().c_str(), 65534, 65534), 0);
    }
    testing_support::WriteText(root_.File("win.rpl"), kWinReplay);
    testing_support::WriteText(root_.File("quit.rpl"), kQuitReplay);
  }
  ~Install() { MakeWritable(); }

  std::string game() const { return root_.File("game"); }
  std::string home() const { return root_.File("home"); }
  std::string File(const std::string& name) const { return root_.File(name); }
  std::string UserMaps(const std::string& name) const {
    return home() + "/.local/share/brillora/Maps/" + name;
  }

  // The game folder as root installs it: nobody else may write to it.
  void MakeReadOnly() { SetWritable(false); }
  void MakeWritable() { SetWritable(true); }

  // Runs the installed program (without --data) with `replay`; the state dump goes to dump.json.
  int Run(const std::string& replay, std::string& dump, std::vector<std::string> env = {}) {
    env.push_back("HOME=" + home());
    if (std::find_if(env.begin(), env.end(),
                     [](const std::string& e) { return e.starts_with("XDG_DATA_HOME"); }) == env.end())
      env.push_back("XDG_DATA_HOME");
    const std::string dumpPath = home() + "/dump.json";
    std::filesystem::remove(dumpPath);
    std::string err;
    const int status = testing_support::RunProcess(game() + "/brillora",
                                                   {"--headless", "--play", File(replay), "--dump", dumpPath},
                                                   env, home(), &err, PlayerUser());
    EXPECT_EQ(err, "") << replay;
    const Bytes bytes = ReadFile(dumpPath);
    dump.assign(bytes.begin(), bytes.end());
    return status;
  }

 private:
  void SetWritable(bool writable) {
    const auto mode = writable ? std::filesystem::perms(0755) : std::filesystem::perms(0555);
    const auto fileMode = writable ? std::filesystem::perms(0644) : std::filesystem::perms(0444);
    std::filesystem::permissions(game() + "/Maps", mode);
    std::filesystem::permissions(game(), mode);
    for (const auto& entry : std::filesystem::directory_iterator(game() + "/Maps"))
      std::filesystem::permissions(entry.path(), fileMode);
  }
  TempDir root_;
};

TEST(RecordsFolder, AReadOnlyInstallPlaysSavesAndKeepsTheRecordsPerUser) {
  Install install{RecordFiles{}};
  install.MakeReadOnly();
  std::string dump;
  ASSERT_EQ(install.Run("win.rpl", dump), 0);
  EXPECT_EQ(JsonNumbers(dump, "Scores")[0], kWinScore);
  // The records went to the user's data folder, made from the shipped all-zero files; the game folder
  // is as it was installed.
  EXPECT_EQ(First(ReadFile(install.UserMaps("Data.bin")), 4), Le32(kWinScore));
  EXPECT_EQ(ReadFile(install.UserMaps("Data.bin")).size(), 3200u);
  EXPECT_EQ(ReadFile(install.UserMaps("Name.bin")), Bytes(6400, 0));  // the player has no name yet
  EXPECT_EQ(ReadFile(install.UserMaps("Player.bin")), Bytes(8, 0));
  EXPECT_EQ(ReadFile(install.UserMaps("Duzozez.bin")), Bytes(32, 0));
  EXPECT_EQ(ReadFile(install.game() + "/Maps/Data.bin"), Bytes(3200, 0));
  // The next start finds them there.
  ASSERT_EQ(install.Run("quit.rpl", dump), 0);
  EXPECT_EQ(JsonNumbers(dump, "Scores")[0], kWinScore);

  // $XDG_DATA_HOME, when it names a folder, is where the data folder lies; a relative one does not count.
  const std::string xdg = install.home() + "/xdg";
  ASSERT_EQ(install.Run("win.rpl", dump, {"XDG_DATA_HOME=" + xdg}), 0);
  EXPECT_EQ(First(ReadFile(xdg + "/brillora/Maps/Data.bin"), 4), Le32(kWinScore));
  ASSERT_EQ(install.Run("quit.rpl", dump, {"XDG_DATA_HOME=relative/xdg"}), 0);
  EXPECT_EQ(JsonNumbers(dump, "Scores")[0], kWinScore);  // ~/.local/share again, without the second win
  EXPECT_EQ(JsonNumbers(dump, "Scores")[1], 0);
}

TEST(RecordsFolder, AnOlderInstallsRecordsAreCarriedOverOnce) {
  RecordFiles older;
  older.player = {'O', 'L', 'D', 0, 0, 0, 0, 0};
  older.data[0] = 0xE8, older.data[1] = 0x03;  // 1000 on level 1
  older.names[0] = 'O', older.names[1] = 'L', older.names[2] = 'D';
  older.slots[8] = 'B';
  Install install{older};
  std::string dump;
  ASSERT_EQ(install.Run("quit.rpl", dump), 0);
  EXPECT_EQ(JsonNumbers(dump, "Scores")[0], 1000);
  EXPECT_EQ(JsonText(dump, "PlayerName"), "OLD");
  for (const char* name : {"Player.bin", "Duzozez.bin", "Name.bin", "Data.bin"})
    EXPECT_EQ(ReadFile(install.UserMaps(name)), ReadFile(install.game() + "/Maps/" + name)) << name;

  // Once the player has records of their own, the game folder's are no longer looked at.
  EXPECT_TRUE(WriteRecordFiles(install.game(), RecordFiles{}));
  ASSERT_EQ(install.Run("win.rpl", dump), 0);
  const std::vector<double> scores = JsonNumbers(dump, "Scores");
  EXPECT_EQ(scores[0], 1000);
  EXPECT_EQ(scores[1], kWinScore);
  EXPECT_EQ(JsonText(dump, "PlayerName"), "OLD");
  EXPECT_EQ(ReadFile(install.game() + "/Maps/Data.bin"), Bytes(3200, 0));

  // A record file the player lost is made again from the game folder (all zero now); the rest stay.
  std::filesystem::remove(install.UserMaps("Player.bin"));
  ASSERT_EQ(install.Run("quit.rpl", dump), 0);
  EXPECT_EQ(JsonText(dump, "PlayerName"), "");
  EXPECT_EQ(JsonNumbers(dump, "Scores")[0], 1000);
}

TEST(RecordsFolder, DataFolderKeepsEverythingInItAndTheUsersFolderUntouched) {
  Install install{RecordFiles{}};
  TempDir data;
  WriteWinnableLevel(data.path(), 1);
  EXPECT_TRUE(WriteRecordFiles(data.path(), RecordFiles{}));
  std::string err;
  ASSERT_EQ(
      testing_support::RunProcess(testing_support::GameProgram(),
                                  {"--headless", "--data", data.path(), "--play", install.File("win.rpl")},
                                  {"HOME=" + install.home(), "XDG_DATA_HOME"}, data.path(), &err),
      0)
      << err;
  EXPECT_EQ(First(ReadFile(data.File("Maps/Data.bin")), 4), Le32(kWinScore));
  EXPECT_FALSE(FileExists(install.home() + "/.local"));
}

// The choice itself, in this process.
class RecordsFolderChoice : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_DATA_HOME"}) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    }
    ResetRuntimeContext();
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    ResetRuntimeContext();
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(RecordsFolderChoice, FollowsTheDataHomeRulesAndStaysInTheGameFolderWhereItMust) {
  TempDir dir;
  ::setenv("HOME", dir.path().c_str(), 1);
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(UserDataFolder("brillora"), dir.path() + "/.local/share/brillora/");
  ::setenv("XDG_DATA_HOME", "", 1);
  EXPECT_EQ(UserDataFolder("brillora"), dir.path() + "/.local/share/brillora/");
  ::setenv("XDG_DATA_HOME", "not/absolute", 1);
  EXPECT_EQ(UserDataFolder("brillora"), dir.path() + "/.local/share/brillora/");
  ::setenv("XDG_DATA_HOME", (dir.path() + "/data/").c_str(), 1);
  EXPECT_EQ(UserDataFolder("brillora"), dir.path() + "/data/brillora/");

  testing_support::ScopedWorkingDir cwd(dir.path());
  EXPECT_EQ(RecordsFolder(), "");  // nothing chosen: the working folder
  EXPECT_EQ(RecordPath("Maps/Data.bin"), "./Maps/Data.bin");
  ChooseRecordsFolder("brillora");
  EXPECT_EQ(RecordsFolder(), dir.path() + "/data/brillora/");
  EXPECT_EQ(RecordPath("Maps/Data.bin"), dir.path() + "/data/brillora/Maps/Data.bin");
  // --data DIR keeps the records in DIR.
  Rt().options.dataDir = dir.path();
  ChooseRecordsFolder("brillora");
  EXPECT_EQ(RecordsFolder(), "");
  // A game installed in the user's data folder itself keeps its records where they are.
  Rt().options.dataDir.clear();
  std::filesystem::create_directories(dir.path() + "/data/brillora");
  testing_support::ScopedWorkingDir inside(dir.path() + "/data/brillora");
  ChooseRecordsFolder("brillora");
  EXPECT_EQ(RecordsFolder(), "");
}

}  // namespace
