// A whole level load and records load on a data folder made from the input.
//
// Input: byte 0 picks the level (1 + b % 22), byte 1 may leave one file out (b % 16 below 8 names it)
// and asks for the saves (bit 4, value 16: the saves and their check cost as much as all the rest, so
// the input chooses which records go through them), and the rest is cut into the level's four layer files
// (1200 bytes each) and the four record files (Player.bin 8, Duzozez.bin 32, Name.bin 6400, Data.bin 3200),
// in this order; the file where the input runs out is short and the ones after it are empty.
//
// Properties: a load stops the program with the file error exactly when a file it needs is missing or
// short, and otherwise reads every byte as it stands; the level's start cell and gem count agree with a
// plain count; names are the non-zero bytes of their 8, scores the little-endian 32-bit values; when asked
// for, the three saves write files of exactly their sizes in which every non-zero name byte survives in order
// and every score byte is unchanged; and the saved records load again to the same names and scores.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "game/GameState.h"
#include "game/Level.h"
#include "game/Records.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"

namespace {

struct DataFile {
  std::string name;
  size_t size;
};

constexpr int kLevelFiles = 4;
constexpr int kFiles = 8;

std::vector<DataFile> Files(int level) {
  std::vector<DataFile> files;
  for (int k = 1; k <= kLevelFiles; ++k) {
    files.push_back({"Maps/Map" + std::to_string(level) + "-" + std::to_string(k) + ".bin", 1200});
  }
  files.insert(
      files.end(),
      {{"Maps/Player.bin", 8}, {"Maps/Duzozez.bin", 32}, {"Maps/Name.bin", 6400}, {"Maps/Data.bin", 3200}});
  return files;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  FUZZ_CHECK(fd >= 0);
  FUZZ_CHECK(bytes.empty() || ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> bytes(8192);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  FUZZ_CHECK(fd >= 0);
  const ssize_t got = ::read(fd, bytes.data(), bytes.size());
  ::close(fd);
  FUZZ_CHECK(got >= 0);
  bytes.resize(static_cast<size_t>(got));
  return bytes;
}

// Runs a load; true when it ran through, false when it stopped the program with the file error.
template <typename Load>
bool Completes(Load load) {
  // The runtime is marked as stopping already, so that a failed read ends the call at once without the
  // shutdown and the report on standard error of a real program end.
  Rt().error.stopping = true;
  try {
    load();
  } catch (const ProgramExit& e) {
    FUZZ_CHECK(e.status == kErrFile);
    return false;
  }
  return true;
}

// Whether `name` is the name the game builds from the 8 bytes at `at`: their non-zero bytes, in order.
bool IsNameOf(const RtString& name, const std::vector<uint8_t>& bytes, size_t at) {
  const char* text = name.TextView();
  int32_t n = 0;
  for (size_t j = 0; j < 8; ++j) {
    if (bytes[at + j] == 0) continue;
    if (n >= name.Length() || static_cast<uint8_t>(text[n]) != bytes[at + j]) return false;
    ++n;
  }
  return n == name.Length();
}

// The 8 bytes at `at` as the game saves the name it built from them: the non-zero bytes, then zeros.
void AppendSavedName(const std::vector<uint8_t>& bytes, size_t at, std::vector<uint8_t>& out) {
  const size_t end = out.size() + 8;
  for (size_t j = 0; j < 8; ++j) {
    if (bytes[at + j] != 0) out.push_back(bytes[at + j]);
  }
  out.resize(end, 0);
}

void CheckLevel(const std::vector<std::vector<uint8_t>>& contents) {
  GameState& g = G();
  RtNumArray* layers[kLevelFiles] = {&g.GroundMap, &g.ItemMap, &g.CoverMap, &g.ActorMap};
  for (int k = 0; k < kLevelFiles; ++k) {
    for (int i = 0; i < kCells; ++i) FUZZ_CHECK((*layers[k])[i] == contents[k][i]);
  }
  ScanLevel();
  double boyX = 0, boyY = 0, gems = 0;
  for (int row = 0; row <= 28; ++row) {
    for (int column = 0; column <= 38; ++column) {
      const int i = row * kColumns + column;
      if (contents[3][i] == 13) {
        boyX = column * 16;
        boyY = row * 16;
      } else if (contents[1][i] == 76) {
        gems += 1;
      } else if (contents[1][i] == 3) {
        gems += 5;
      }
    }
  }
  FUZZ_CHECK(g.BoyX == boyX && g.BoyY == boyY && g.GemsLeft == gems);
}

void CheckRecordsAsRead(const std::vector<uint8_t>& player, const std::vector<uint8_t>& slots,
                        const std::vector<uint8_t>& names, const std::vector<uint8_t>& data) {
  GameState& g = G();
  FUZZ_CHECK(IsNameOf(g.PlayerName, player, 0));
  for (int k = 0; k < 4; ++k) FUZZ_CHECK(IsNameOf(g.PlayerSlots[k], slots, 8 * k));
  for (int e = 0; e < 800; ++e) {
    FUZZ_CHECK(IsNameOf(g.ScoreNames[e], names, 8 * e));
    const uint32_t score = static_cast<uint32_t>(data[4 * e]) | static_cast<uint32_t>(data[4 * e + 1]) << 8 |
                           static_cast<uint32_t>(data[4 * e + 2]) << 16 |
                           static_cast<uint32_t>(data[4 * e + 3]) << 24;
    FUZZ_CHECK(g.Scores[e] == score);
  }
}

void CheckSaves(const std::vector<uint8_t>& player, const std::vector<uint8_t>& slots,
                const std::vector<uint8_t>& names, const std::vector<uint8_t>& data) {
  FUZZ_CHECK(Completes([] {
    SavePlayerName();
    SavePlayerSlots();
    SaveScores();
  }));
  std::vector<uint8_t> wantPlayer, wantSlots, wantNames;
  AppendSavedName(player, 0, wantPlayer);
  for (int k = 0; k < 4; ++k) AppendSavedName(slots, 8 * k, wantSlots);
  wantNames.reserve(6400);
  for (int e = 0; e < 800; ++e) AppendSavedName(names, 8 * e, wantNames);
  FUZZ_CHECK(ReadBytes("Maps/Player.bin") == wantPlayer);
  FUZZ_CHECK(ReadBytes("Maps/Duzozez.bin") == wantSlots);
  FUZZ_CHECK(ReadBytes("Maps/Name.bin") == wantNames);
  FUZZ_CHECK(ReadBytes("Maps/Data.bin") == std::vector<uint8_t>(data.begin(), data.begin() + 3200));

  // What was saved loads again to the same records.
  ResetGameState();
  DeclareGameArrays();
  FUZZ_CHECK(Completes(LoadRecords));
  CheckRecordsAsRead(wantPlayer, wantSlots, wantNames, data);
}

std::string gFolder;
int gLevelInFolder = 0;  // the level whose files the folder holds

void RemoveFolder() {
  std::error_code ec;
  if (!gFolder.empty()) std::filesystem::remove_all(gFolder, ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A throw-away data folder of our own, in memory where the system offers it.
  const bool shm = std::filesystem::is_directory("/dev/shm");
  std::string templ =
      std::string(shm ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp")) +
      "/brillora-fuzz-XXXXXX";
  FUZZ_CHECK(::mkdtemp(templ.data()) != nullptr);
  gFolder = templ;
  std::atexit(RemoveFolder);
  FUZZ_CHECK(::chdir(gFolder.c_str()) == 0);
  std::filesystem::create_directory("Maps");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int level = 1 + data[0] % 22;
  const int missing = data[1] % 16;
  const bool save = (data[1] & 16) != 0;
  const std::vector<DataFile> files = Files(level);
  // Only this level's files stay in the folder: every record lock reads the whole folder.
  if (gLevelInFolder != 0 && gLevelInFolder != level) {
    for (int f = 0; f < kLevelFiles; ++f) ::unlink(Files(gLevelInFolder)[f].name.c_str());
  }
  gLevelInFolder = level;

  std::vector<std::vector<uint8_t>> contents(kFiles);
  bool whole[kFiles] = {};
  size_t pos = 2;
  for (int f = 0; f < kFiles; ++f) {
    const size_t take = std::min(files[f].size, size - pos);
    contents[f].assign(data + pos, data + pos + take);
    pos += take;
    whole[f] = f != missing && take == files[f].size;
    // The file left out must not be there.
    if (f != missing) {
      WriteBytes(files[f].name, contents[f]);
    } else {
      ::unlink(files[f].name.c_str());
    }
  }

  ResetRuntimeContext();
  ResetGameState();
  DeclareGameArrays();
  ResetLevelState();
  G().LevelNumber = level;

  const bool levelOk = whole[0] && whole[1] && whole[2] && whole[3];
  FUZZ_CHECK(Completes(LoadLevel) == levelOk);
  if (levelOk) CheckLevel(contents);

  const bool recordsOk = whole[4] && whole[5] && whole[6] && whole[7];
  FUZZ_CHECK(Completes(LoadRecords) == recordsOk);
  if (recordsOk) {
    CheckRecordsAsRead(contents[4], contents[5], contents[6], contents[7]);
    if (save) CheckSaves(contents[4], contents[5], contents[6], contents[7]);
  }
  // What the input built is let go before it ends, so that each input frees as much as it takes: the
  // fuzzer runs an input that ends holding more than it held at the start a second time to look for a
  // leak, which here would be every other input.
  ResetGameState();
  ResetRuntimeContext();
  return 0;
}
