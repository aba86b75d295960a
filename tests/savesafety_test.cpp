// Saves that survive real life: a copy of the game that saves after another one keeps the other's results,
// a save killed at any moment or stopped by a full disk leaves the old records or the new ones (never new
// scores beside old names), and the next start finishes or clears what a stopped save left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/GameState.h"
#include "game/Records.h"
#include "runtime/core/Errors.h"
#include "runtime/core/FileChannels.h"
#include "runtime/core/RecordsFolder.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameRun.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::RecordFiles;
using testing_support::ScopedWorkingDir;
using testing_support::TempDir;
using testing_support::WriteFile;
using Bytes = std::vector<uint8_t>;

const std::vector<std::string> kRecordNames = {"Player.bin", "Duzozez.bin", "Name.bin", "Data.bin"};

// The eight places of a level as "score name" texts, from the files on disk.
std::vector<std::string> TableOnDisk(const std::string& maps, int level) {
  RecordFiles disk;
  disk.data = ReadFile(maps + "/Data.bin");
  disk.names = ReadFile(maps + "/Name.bin");
  std::vector<std::string> out;
  for (int e = (level - 1) * 8; e < level * 8; ++e)
    out.push_back(std::to_string(disk.Score(e)) + " " + disk.ScoreName(e));
  return out;
}

// Files in `folder` whose names start with a dot: temporaries and commit records (the lock file aside).
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".") && name != ".records.lock") out.push_back(name);
  }
  return out;
}

int Stopped(const std::function<void()>& call) {
  ::testing::internal::CaptureStderr();
  int status = -1;
  try {
    call();
  } catch (const ProgramExit& e) {
    status = e.status;
  }
  ::testing::internal::GetCapturedStderr();
  return status;
}

class SaveSafety : public testing::Test {
 protected:
  void SetUp() override {
    testing_support::NewField();
    EXPECT_TRUE(WriteRecordFiles(dir.path(), files));
    cwd = std::make_unique<ScopedWorkingDir>(dir.path());
  }
  void TearDown() override {
    cwd.reset();
    ResetRuntimeContext();
  }
  std::string Maps() const { return dir.File("Maps"); }
  TempDir dir;
  RecordFiles files;
  std::unique_ptr<ScopedWorkingDir> cwd;
};

TEST_F(SaveSafety, ASaveTakesInWhatAnotherCopySavedMeanwhile) {
  files.SetScore(0, 500);
  files.SetScoreName(0, "P0");
  files.SetSlotName(0, "ANNA");
  EXPECT_TRUE(WriteRecordFiles(dir.path(), files));
  LoadRecords();

  // Another copy finishes level 1 with 450 and level 3 with 77, and stores BERT under F2.
  RecordFiles other = files;
  other.SetScore(1, 450);
  other.SetScoreName(1, "OTHER");
  other.SetScore(16, 77);
  other.SetScoreName(16, "OTHER");
  other.SetSlotName(1, "BERT");
  EXPECT_TRUE(WriteRecordFiles(dir.path(), other));

  // This copy finishes level 1 with 480 and stores CARL under F3.
  GameState& g = G();
  g.LevelNumber = 1;
  g.Score = 480;
  g.PlayerName = "ME";
  RecordLevelScore();
  SaveScores();
  EXPECT_EQ(TableOnDisk(Maps(), 1),
            (std::vector<std::string>{"500 P0", "480 ME", "450 OTHER", "0 ", "0 ", "0 ", "0 ", "0 "}));
  EXPECT_EQ(TableOnDisk(Maps(), 3)[0], "77 OTHER");
  // The game shows what is on disk now.
  EXPECT_EQ(g.Scores[2], 450);
  EXPECT_EQ(std::string(g.ScoreNames[16]), "OTHER");
  EXPECT_TRUE(g.UnsavedResults.empty());

  g.PlayerSlots[2] = "CARL";
  SavePlayerSlots();
  RecordFiles expected;
  expected.SetSlotName(0, "ANNA");
  expected.SetSlotName(1, "BERT");
  expected.SetSlotName(2, "CARL");
  EXPECT_EQ(ReadFile(Maps() + "/Duzozez.bin"), expected.slots);
  EXPECT_EQ(std::string(g.PlayerSlots[1]), "BERT");

  // A name this copy changed wins over the other copy's change of the same slot.
  other.SetSlotName(0, "ZED");
  testing_support::WriteFile(Maps() + "/Duzozez.bin", other.slots);
  g.PlayerSlots[0] = "MINE";
  SavePlayerSlots();
  EXPECT_EQ(std::string(g.PlayerSlots[0]), "MINE");
  EXPECT_EQ(Leftovers(Maps()), std::vector<std::string>{});
}

TEST_F(SaveSafety, StaleTemporariesOfOurOwnAreRemovedAndNothingElse) {
  const std::vector<std::string> ours = {".Data.bin.Ab3xY9", ".Name.bin.000000", ".Player.bin.zzzzzz",
                                         ".Duzozez.bin.Q1w2E3", "..save-commit.abcdef"};
  const std::vector<std::string> others = {
      ".Data.bin.toolong1", ".Data.bin.ab_cd!", "Data.bin.Ab3xY9",  ".Other.bin.Ab3xY9",
      ".Data.bin.",         "notes.txt",        ".hidden",          "xData.bin.Ab3xY9",
      ".Data.binxAb3xY9",   ".Data.bin.Ab3xY",  ".Data.bin.Ab3xY9x"};
  for (const auto& name : ours) testing_support::WriteText(Maps() + "/" + name, "x");
  for (const auto& name : others) testing_support::WriteText(Maps() + "/" + name, "x");
  LoadRecords();
  for (const auto& name : ours) EXPECT_FALSE(FileExists(Maps() + "/" + name)) << name;
  for (const auto& name : others) EXPECT_TRUE(FileExists(Maps() + "/" + name)) << name;
}

TEST_F(SaveSafety, AnInterruptedSaveIsFinishedByTheNextStartAndAForeignRecordMovesNothing) {
  // A save killed after its commit record and after the first of its files was put in place.
  RecordFiles saved;
  saved.SetScore(0, 900);
  saved.SetScoreName(0, "NEW");
  testing_support::WriteFile(Maps() + "/Data.bin", saved.data);
  testing_support::WriteFile(Maps() + "/.Name.bin.Kq81Zp", saved.names);
  testing_support::WriteText(Maps() + "/.save-commit",
                             "commit\n.Data.bin.Aa11Bb Data.bin\n.Name.bin.Kq81Zp Name.bin\nend\n");
  LoadRecords();
  EXPECT_EQ(G().Scores[0], 900);
  EXPECT_EQ(std::string(G().ScoreNames[0]), "NEW");
  EXPECT_EQ(ReadFile(Maps() + "/Name.bin"), saved.names);
  EXPECT_EQ(Leftovers(Maps()), std::vector<std::string>{});

  // A record that is cut short, or names other files, moves nothing; the temporaries go as stale.
  testing_support::WriteFile(Maps() + "/.Name.bin.Zz99Yy", Bytes(6400, 'Z'));
  testing_support::WriteText(Maps() + "/.save-commit", "commit\n.Name.bin.Zz99Yy Name.bin\n");
  testing_support::WriteText(Maps() + "/keep.txt", "mine");
  testing_support::WriteText(Maps() + "/.keep.txt.Ab12Cd", "mine too");
  LoadRecords();
  EXPECT_EQ(ReadFile(Maps() + "/Name.bin"), saved.names);
  testing_support::WriteText(Maps() + "/.save-commit",
                             "commit\n.keep.txt.Ab12Cd keep.txt\n.Name.bin.Zz99Yy ../Name.bin\n"
                             ".Name.bin.Zz99Yy Data.bin\nend\n");
  testing_support::WriteFile(Maps() + "/.Name.bin.Zz99Yy", Bytes(6400, 'Z'));
  LoadRecords();
  EXPECT_EQ(ReadFile(Maps() + "/Name.bin"), saved.names);
  EXPECT_EQ(ReadFile(Maps() + "/Data.bin"), saved.data);
  EXPECT_EQ(ReadFile(Maps() + "/keep.txt"), Bytes({'m', 'i', 'n', 'e'}));
  EXPECT_FALSE(FileExists(dir.File("Name.bin")));
  EXPECT_EQ(Leftovers(Maps()), std::vector<std::string>{".keep.txt.Ab12Cd"});
}

// ---- Kills at random moments ----

// Saves of every kind in a loop, until the process is killed, with a byte to `readyFd` after each round.
// Every result's name spells its score, so a table whose scores and names come from different saves shows
// at once.
[[noreturn]] void SaveForEver(int readyFd, int run) {
  testing_support::NewField();
  LoadRecords();
  GameState& g = G();
  for (int i = 0; i < 100000; ++i) {
    const int score = run * 10000 + i + 1;
    g.LevelNumber = 1 + i % 3;
    g.Score = score;
    g.PlayerName = "N" + std::to_string(score);
    RecordLevelScore();
    SaveScores();
    if (i % 3 == 1) {
      g.PlayerSlots[i % 4] = "S" + std::to_string(score);
      SavePlayerSlots();
      SavePlayerName();
    }
    if (::write(readyFd, "s", 1) != 1) ::_exit(2);  // one byte per round of saves
  }
  ::_exit(0);
}

struct CrashFigures {
  int runs = 0, interrupted = 0, rolledForward = 0;
  int torn = 0, missing = 0, mismatched = 0, unsorted = 0, leftAfterStart = 0;
};

// What the next start finds: the start's tidying first, then every file checked.
void CheckAfterKill(const std::string& maps, CrashFigures& f) {
  const std::vector<std::string> before = Leftovers(maps);
  if (!before.empty()) ++f.interrupted;
  if (FileExists(maps + "/.save-commit")) ++f.rolledForward;
  ResetRuntimeContext();
  { RecordsLock lock(kRecordNames); }
  f.leftAfterStart += static_cast<int>(Leftovers(maps).size());
  const std::map<std::string, size_t> sizes = {
      {"Player.bin", 8}, {"Duzozez.bin", 32}, {"Name.bin", 6400}, {"Data.bin", 3200}};
  bool whole = true;
  for (const auto& [name, size] : sizes) {
    if (!FileExists(maps + "/" + name)) {
      ++f.missing;
      whole = false;
    } else if (ReadFile(maps + "/" + name).size() != size) {
      ++f.torn;
      whole = false;
    }
  }
  if (!whole) return;
  RecordFiles disk;
  disk.data = ReadFile(maps + "/Data.bin");
  disk.names = ReadFile(maps + "/Name.bin");
  bool paired = true, sorted = true;
  for (int e = 0; e < 800; ++e) {
    const uint32_t score = disk.Score(e);
    if (disk.ScoreName(e) != (score == 0 ? std::string() : "N" + std::to_string(score))) paired = false;
    if (e % 8 != 0 && score > disk.Score(e - 1)) sorted = false;
  }
  if (!paired) ++f.mismatched;
  if (!sorted) ++f.unsorted;
}

TEST_F(SaveSafety, KillsAtRandomMomentsLeaveWholeMatchingRecords) {
  std::mt19937 random(20261208);
  CrashFigures f;
  constexpr int kRuns = 50;
  for (int run = 1; run <= kRuns; ++run) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      SaveForEver(ready[1], run);
    }
    ::close(ready[1]);
    // The kill lands at a random moment of the next two rounds, however fast this machine saves now.
    char byte = 0;
    const bool started = ::read(ready[0], &byte, 1) == 1;
    const auto first = std::chrono::steady_clock::now();
    const bool second = started && ::read(ready[0], &byte, 1) == 1;
    const auto round = std::chrono::steady_clock::now() - first;
    const auto limit = std::chrono::duration_cast<std::chrono::microseconds>(2 * round).count();
    std::this_thread::sleep_for(std::chrono::microseconds(
        std::uniform_int_distribution<long long>(0, std::clamp<long long>(limit, 1, 1000000))(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ASSERT_TRUE(second) << "run " << run << ": the saving process did not start";
    ++f.runs;
    CheckAfterKill(Maps(), f);
  }
  std::cout << "kills: " << f.runs << ", stopped in the middle of a save: " << f.interrupted
            << " (finished by the next start: " << f.rolledForward << "); torn: " << f.torn
            << ", missing: " << f.missing << ", mismatched pairs: " << f.mismatched
            << ", unsorted: " << f.unsorted << ", temporaries left after the start: " << f.leftAfterStart
            << "\n";
  EXPECT_EQ(f.torn, 0);
  EXPECT_EQ(f.missing, 0);
  EXPECT_EQ(f.mismatched, 0);
  EXPECT_EQ(f.unsorted, 0);
  EXPECT_EQ(f.leftAfterStart, 0);
  EXPECT_GT(f.interrupted, 0) << "no kill landed inside a save: the test proves nothing";
  // The game still starts on what the kills left.
  testing_support::NewField();
  EXPECT_EQ(Stopped(LoadRecords), -1);
}

// ---- A full disk ----

// Makes the calling process a mount namespace of its own (as root, or as root of a user namespace of its
// own) and mounts a file system of `kib` KiB at `folder`. "" on success, else why not.
std::string MountSmallFileSystem(const std::string& folder, int kib) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWNS) != 0) {
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
      return std::string("no mount namespace: ") + std::strerror(errno);
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return std::string("cannot make the mounts private: ") + std::strerror(errno);
  const std::string options = "size=" + std::to_string(kib) + "k,mode=0777";
  if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
    return std::string("cannot mount a small file system: ") + std::strerror(errno);
  return "";
}

// Fills the file system of `folder` and then frees `pages` pages of 4 KiB again.
void FillLeaving(const std::string& folder, int pages) {
  const std::string filler = folder + "/filler";
  const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const std::vector<char> block(4096, 'f');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  struct stat st {};
  ::fstat(fd, &st);
  const off_t used = (st.st_size + 4095) / 4096;
  (void)::ftruncate(fd, std::max<off_t>(0, used - pages) * 4096);
  ::close(fd);
}

TEST_F(SaveSafety, AFullDiskLeavesTheOldRecordsOrTheNewOnesAndNoTemporaries) {
  const std::string answer = testing_support::RunInChild([this] {
    const std::string why = MountSmallFileSystem(dir.path(), 256);
    if (!why.empty()) return "SKIP " + why;
    // The working folder still names the folder under the mount: enter the mounted one.
    ScopedWorkingDir inside(dir.path());
    std::ostringstream lines;
    for (int pages = 0; pages <= 6; ++pages) {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        std::filesystem::remove_all(entry, ec);
      RecordFiles old;
      old.SetScore(0, 100);
      old.SetScoreName(0, "OLD");
      EXPECT_TRUE(WriteRecordFiles(dir.path(), old));
      testing_support::NewField();
      LoadRecords();
      FillLeaving(dir.path(), pages);
      GameState& g = G();
      g.LevelNumber = 1;
      g.Score = 200;
      g.PlayerName = "NEW";
      RecordLevelScore();
      const int status = Stopped(SaveScores);
      const std::vector<std::string> table = TableOnDisk(Maps(), 1);
      const std::string pair = table[0] == "100 OLD" && table[1] == "0 "        ? "old"
                               : table[0] == "200 NEW" && table[1] == "100 OLD" ? "new"
                                                                                : "MISMATCHED";
      lines << pages << " " << status << " " << pair << " " << Leftovers(Maps()).size() << "\n";
    }
    return lines.str();
  });
  if (answer.starts_with("SKIP ")) GTEST_SKIP() << answer.substr(5);
  std::cout << "free pages, save status, records on disk, temporaries left:\n" << answer;
  std::istringstream in(answer);
  int pages = 0, status = 0;
  size_t left = 0;
  std::string pair;
  int failed = 0, saved = 0, lines = 0;
  while (in >> pages >> status >> pair >> left) {
    ++lines;
    SCOPED_TRACE(pages);
    EXPECT_EQ(left, 0u);
    if (status == -1) {
      EXPECT_EQ(pair, "new");
      ++saved;
    } else {
      EXPECT_EQ(status, kErrFile);
      EXPECT_EQ(pair, "old");
      ++failed;
    }
  }
  EXPECT_EQ(lines, 7) << answer;
  // From no room at all, through room for the score file only, to room for the whole save.
  EXPECT_GE(failed, 2);
  EXPECT_GE(saved, 1);
}

// ---- Two copies of the game at once ----

void WriteWinnableLevel(const std::string& dir, int n) {
  testing_support::LevelLayers l = testing_support::LevelLayers::Framed();
  l.actor[Cell(2, 2)] = 13;
  l.item[Cell(3, 2)] = 76;
  l.item[Cell(5, 2)] = 74;
  testing_support::WriteLevelFiles(dir, n, l);
}

TEST(TwoCopies, NeitherLosesTheOthersHighScores) {
  TempDir dir;
  WriteWinnableLevel(dir.path(), 1);
  WriteWinnableLevel(dir.path(), 2);
  RecordFiles records;
  records.SetPlayerName("ANNA");
  EXPECT_TRUE(WriteRecordFiles(dir.path(), records));
  const std::string maps = dir.File("Maps");

  // Copy B: stores its player's name B under F2 (so the test sees it has read the records), goes to the
  // LEVELS line, waits, then wins level 1.
  testing_support::Pointer pointer;
  testing_support::ReplayScript b;
  b.Add("200", 17).Add("28");
  b.Add(pointer.To(14, 6) + " lmb").Add(pointer.To(5, 4) + " lmb");  // "<", "B"
  b.Add(pointer.To(5, 11) + " lmb");                                 // F2
  b.Add(pointer.To(15, 6) + " lmb");                                 // OK
  b.Add("208", 10).Add("", 40000).Add("28").Add("205", 100).Add("", 20).Add("88");
  testing_support::WriteText(dir.File("b.rpl"), b.Text());
  // Copy A: wins level 1, then level 2.
  testing_support::WriteText(dir.File("a.rpl"),
                             "BRILLORA-REPLAY 1\nseed 42\nx6\n28\n205 x100\nx20\n28\n205 x100\nx20\n88\n");

  const auto args = [&](const char* replay) {
    return std::vector<std::string>{"--headless", "--data", dir.path(), "--play", dir.File(replay)};
  };
  const testing_support::GameProcess copyB =
      testing_support::StartProcess(testing_support::GameProgram(), args("b.rpl"), {}, dir.path());
  // B has read the records once its stored name is on disk, and has finished that save once the records
  // lock is free; it is stopped while it waits on the menu.
  const auto lockFree = [&] {
    const int fd = ::open((maps + "/.records.lock").c_str(), O_RDONLY | O_CLOEXEC);
    const bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0) ::close(fd);
    return free;
  };
  bool stored = false;
  for (int i = 0; i < 20000 && !stored; ++i) {
    const Bytes slots = ReadFile(maps + "/Duzozez.bin");
    stored = slots.size() == 32 && slots[8] == 'B' && lockFree();
    if (!stored) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  ::kill(copyB.pid, SIGSTOP);
  ASSERT_TRUE(stored) << "copy B never stored its name";
  ASSERT_EQ(TableOnDisk(maps, 1)[0], "0 ") << "copy B got to its level before it could be stopped";

  std::string err;
  EXPECT_EQ(testing_support::RunProcess(testing_support::GameProgram(), args("a.rpl"), {}, dir.path(), &err),
            0)
      << err;
  EXPECT_EQ(TableOnDisk(maps, 1)[0], "309 ANNA");
  EXPECT_EQ(TableOnDisk(maps, 2)[0], "309 ANNA");

  ::kill(copyB.pid, SIGCONT);
  EXPECT_EQ(testing_support::WaitProcess(copyB, &err), 0) << err;
  EXPECT_EQ(TableOnDisk(maps, 1),
            (std::vector<std::string>{"309 ANNA", "309 B       ", "0 ", "0 ", "0 ", "0 ", "0 ", "0 "}));
  EXPECT_EQ(TableOnDisk(maps, 2)[0], "309 ANNA");
  EXPECT_EQ(Leftovers(maps), std::vector<std::string>{});
}

}  // namespace
