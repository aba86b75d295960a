// Playing a replay in the game program, headless, and reading what it left behind.
#include "tools/levels/GameCheck.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "game/StateDump.h"
#include "tools/levels/LevelCompiler.h"

namespace levels {

// Record files for a test run: empty names, and a best score of 1 for every level, so that the title menu
// lets the player step to any level.
bool WriteUnlockedRecords(const std::string& mapsDir) {
  auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(mapsDir + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  };
  std::vector<uint8_t> data(3200, 0);
  for (int level = 1; level <= 22; ++level) data[static_cast<size_t>((level - 1) * 8 * 4)] = 1;
  return write("Player.bin", std::vector<uint8_t>(8, 0)) &&
         write("Duzozez.bin", std::vector<uint8_t>(32, 0)) &&
         write("Name.bin", std::vector<uint8_t>(6400, 0)) && write("Data.bin", data);
}

// The best score recorded for `level` in Maps/Data.bin of `dataDir` (-1 when unreadable).
long long BestScore(const std::string& dataDir, int level) {
  std::ifstream in(dataDir + "/Maps/Data.bin", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = static_cast<size_t>((level - 1) * 8 * 4);
  if (bytes.size() < at + 4) return -1;
  return static_cast<long long>(bytes[at]) | static_cast<long long>(bytes[at + 1]) << 8 |
         static_cast<long long>(bytes[at + 2]) << 16 | static_cast<long long>(bytes[at + 3]) << 24;
}

// The value of a number field "name": N in a JSON dump (first occurrence); -1 when absent.
double DumpNumber(const std::string& dumpPath, const std::string& name) {
  std::string text;
  double value = -1;
  if (!ReadTextFile(dumpPath, text) || !ReadDumpNumber(text, name, value)) return -1;
  return value;
}

// Runs `game` headless on `replay` in `dataDir`, which must hold Maps/ with the level files; the record
// files are written fresh first.
GameRun RunReplayInGame(const std::string& game, const std::string& dataDir, const std::string& replay,
                        int level) {
  GameRun run;
  if (!WriteUnlockedRecords(dataDir + "/Maps")) return run;
  const std::string dump = dataDir + "/dump.json";
  std::remove(dump.c_str());
  const std::string command = "'" + game + "' --headless --data '" + dataDir + "' --play '" + replay +
                              "' --dump '" + dump + "' >/dev/null 2>&1";
  const int raw = std::system(command.c_str());
  run.status = raw == -1 ? -1 : WEXITSTATUS(raw);
  run.bestScore = BestScore(dataDir, level);
  run.levelNumber = DumpNumber(dump, "LevelNumber");
  return run;
}

}  // namespace levels
