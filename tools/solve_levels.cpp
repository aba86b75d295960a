// solve_levels: finds a winning replay for every level and writes it as OUTDIR/levelNN.rpl.
//   solve_levels SRCDIR OUTDIR [--level N] [--seeds K] [--game PATH]
// Each level is played with the game's own rules, seeds 1..K, until the automatic player wins; with --game
// the whole replay (title menu included) is also played by the game program, headless, as a last check.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/levels/GameCheck.h"
#include "tools/levels/LevelCompiler.h"
#include "tools/levels/Solver.h"

namespace {

int Usage() {
  std::fputs("usage: solve_levels SRCDIR OUTDIR [--level N] [--seeds K] [--game PATH]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  const std::string srcDir = args[0], outDir = args[1];
  int only = 0, seeds = 40;
  std::string game;
  for (size_t i = 2; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return Usage();
    if (args[i] == "--level")
      only = std::atoi(args[++i].c_str());
    else if (args[i] == "--seeds")
      seeds = std::atoi(args[++i].c_str());
    else if (args[i] == "--game")
      game = std::filesystem::absolute(args[++i]).string();
    else
      return Usage();
  }

  std::vector<levels::CompiledLevel> compiled(22);
  for (int n = 1; n <= 22; ++n) {
    std::string text;
    std::vector<levels::LevelProblem> problems;
    if (!levels::ReadTextFile(srcDir + "/" + levels::LevelName(n) + ".txt", text) ||
        !levels::CompileLevelText(text, compiled[static_cast<size_t>(n - 1)], problems)) {
      std::fprintf(stderr, "%s: does not compile (run make_levels --check)\n", levels::LevelName(n).c_str());
      if (n == only || only == 0) return 1;
    }
  }
  std::filesystem::create_directories(outDir);
  // The real game gets a folder of its own with every compiled level.
  std::string dataDir;
  if (!game.empty()) {
    char pattern[] = "/tmp/brillora-solve-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    dataDir = pattern;
    std::filesystem::create_directories(dataDir + "/Maps");
    for (int n = 1; n <= 22; ++n) {
      std::string error;
      if (!levels::WriteLevelFiles(compiled[static_cast<size_t>(n - 1)].layers, dataDir + "/Maps", n,
                                   error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
      }
    }
  }

  int failures = 0;
  for (int n = 1; n <= 22; ++n) {
    if (only != 0 && n != only) continue;
    const std::string name = levels::LevelName(n);
    bool done = false;
    std::string lastWhy;
    for (int seed = 1; seed <= seeds && !done; ++seed) {
      const levels::SolveResult r = levels::SolveLevel(compiled[static_cast<size_t>(n - 1)].layers, seed);
      if (!r.won) {
        lastWhy = r.why;
        continue;
      }
      const std::string path = outDir + "/" + name + ".rpl";
      std::ofstream(path, std::ios::trunc) << levels::ReplayText(n, seed, r.frames);
      if (!game.empty()) {
        const levels::GameRun run = levels::RunReplayInGame(game, dataDir, path, n);
        if (!run.Won(n)) {
          lastWhy = "the game disagrees (status " + std::to_string(run.status) + ", best score " +
                    std::to_string(run.bestScore) + ", level number " + std::to_string(run.levelNumber) + ")";
          std::printf("%s: seed %d won by the solver but not by the game program\n", name.c_str(), seed);
          continue;
        }
      }
      std::printf("%s: seed %d, won at frame %lld (%.0f s of play), score %d\n", name.c_str(), seed,
                  r.winFrame, static_cast<double>(r.winFrame) / 26.0, r.score);
      done = true;
    }
    if (!done) {
      std::printf("%s: no win in %d seeds: %s\n", name.c_str(), seeds, lastWhy.c_str());
      ++failures;
    }
  }
  if (!dataDir.empty()) std::filesystem::remove_all(dataDir);
  return failures == 0 ? 0 : 1;
}
