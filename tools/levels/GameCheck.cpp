// Playing a replay in the game program, headless, and reading what it left behind.
#include "tools/levels/GameCheck.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "game/RecordFiles.h"
#include "game/StateDump.h"
#include "tools/levels/LevelCompiler.h"

namespace levels {

bool WriteUnlockedRecords(const std::string& dataDir) {
  RecordFiles files;
  for (int level = 1; level <= record::kLevels; ++level)
    files.SetScore((level - 1) * record::kPlacesPerLevel, 1);
  return WriteRecordFiles(dataDir, files);
}

long long BestScore(const std::string& dataDir, int level) {
  RecordFiles files;
  if (level < 1 || level > record::kLevels || !ReadRecordFiles(dataDir, files)) return -1;
  return files.Score((level - 1) * record::kPlacesPerLevel);
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
  if (!WriteUnlockedRecords(dataDir)) return run;
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
