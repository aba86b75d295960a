// What a save of the records costs: the high-score save of a finished level (lock, reading the tables
// back, both files written and synced, the commit record) and the one-file save of the player's name,
// in a records folder under $TMPDIR (or /tmp). Results are kept in bench/RESULTS.md.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/GameState.h"
#include "game/Records.h"
#include "runtime/core/RuntimeContext.h"

namespace {

// A records folder with all-zero records, entered for the life of the object.
class RecordsFolderHere {
 public:
  RecordsFolderHere() {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/brillora-bench-XXXXXX";
    path_ = ::mkdtemp(templ.data()) ? templ : std::string();
    std::filesystem::create_directories(path_ + "/Maps");
    const std::pair<const char*, size_t> files[] = {
        {"Player.bin", 8}, {"Duzozez.bin", 32}, {"Name.bin", 6400}, {"Data.bin", 3200}};
    for (const auto& [name, size] : files) {
      FILE* f = std::fopen((path_ + "/Maps/" + name).c_str(), "wb");
      const std::vector<char> zeros(size, 0);
      std::fwrite(zeros.data(), 1, zeros.size(), f);
      std::fclose(f);
    }
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
    ResetRuntimeContext();
    ResetGameState();
    DeclareGameArrays();
    LoadRecords();
  }
  ~RecordsFolderHere() {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(path_);
  }

 private:
  std::string path_;
  std::filesystem::path old_;
};

void BM_SaveScores(benchmark::State& state) {
  RecordsFolderHere folder;
  GameState& g = G();
  double score = 1;
  for (auto _ : state) {
    g.LevelNumber = 1;
    g.Score = score++;
    g.PlayerName = "BENCH";
    RecordLevelScore();
    SaveScores();
  }
}
BENCHMARK(BM_SaveScores)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SavePlayerName(benchmark::State& state) {
  RecordsFolderHere folder;
  G().PlayerName = "BENCH";
  for (auto _ : state) SavePlayerName();
}
BENCHMARK(BM_SavePlayerName)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
