// Plays a replay in the real game, headless, in a folder of its own with the compiled levels and record
// files in which every level can be chosen, and reports whether the level was won.
#pragma once

#include <string>

namespace levels {

// Record files under "<dataDir>/Maps/" for a test run: empty names, and a best score of 1 for every level,
// so that the title menu lets the player step to any level.
bool WriteUnlockedRecords(const std::string& dataDir);

// The best score recorded for `level` in the records under "<dataDir>/Maps/" (-1 when unreadable).
long long BestScore(const std::string& dataDir, int level);

// The value of a number field "name": N in a JSON dump (first occurrence); -1 when absent.
double DumpNumber(const std::string& dumpPath, const std::string& name);

struct GameRun {
  int status = -1;           // exit status of the program
  long long bestScore = -1;  // best score of the level after the run (1 before it)
  double levelNumber = -1;   // LevelNumber in the dump
  bool Won(int level) const {
    return status == 0 && bestScore > 1 && levelNumber == (level < 22 ? level + 1 : 22);
  }
};

// Runs `game` headless on `replay` in `dataDir`, which must hold Maps/ with the level files; the record
// files are written fresh first.
GameRun RunReplayInGame(const std::string& game, const std::string& dataDir, const std::string& replay,
                        int level);

}  // namespace levels
