// make_levels: checks the 22 level sources and compiles them into the game's level files.
//   make_levels SRCDIR OUTDIR   writes OUTDIR/Maps/Map1-1.bin .. Map22-4.bin
//   make_levels --check SRCDIR  only checks
// Nothing is written unless every level keeps the rules; each broken rule is printed as
// "levelNN: cell (col, row): reason".
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/levels/LevelCompiler.h"

namespace {

constexpr int kLevelCount = 22;

int Usage() {
  std::fputs("usage: make_levels SRCDIR OUTDIR\n       make_levels --check SRCDIR\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool checkOnly = !args.empty() && args[0] == "--check";
  if ((checkOnly && args.size() != 2) || (!checkOnly && args.size() != 2)) return Usage();
  const std::string srcDir = checkOnly ? args[1] : args[0];

  std::vector<levels::CompiledLevel> compiled(kLevelCount);
  bool ok = true;
  for (int n = 1; n <= kLevelCount; ++n) {
    const std::string name = levels::LevelName(n);
    std::string text;
    if (!levels::ReadTextFile(srcDir + "/" + name + ".txt", text)) {
      std::fprintf(stderr, "%s: cannot read %s/%s.txt\n", name.c_str(), srcDir.c_str(), name.c_str());
      ok = false;
      continue;
    }
    std::vector<levels::LevelProblem> problems;
    if (!levels::CompileLevelText(text, compiled[static_cast<size_t>(n - 1)], problems)) {
      for (const auto& p : problems) std::fprintf(stderr, "%s\n", levels::FormatProblem(name, p).c_str());
      ok = false;
    }
  }
  if (!ok) return 1;
  if (checkOnly) {
    std::printf("all %d levels keep the rules\n", kLevelCount);
    return 0;
  }

  const std::string mapsDir = args[1] + "/Maps";
  std::error_code ec;
  std::filesystem::create_directories(mapsDir, ec);
  if (ec) {
    std::fprintf(stderr, "make_levels: cannot create %s: %s\n", mapsDir.c_str(), ec.message().c_str());
    return 1;
  }
  for (int n = 1; n <= kLevelCount; ++n) {
    std::string error;
    if (!levels::WriteLevelFiles(compiled[static_cast<size_t>(n - 1)].layers, mapsDir, n, error)) {
      std::fprintf(stderr, "make_levels: %s\n", error.c_str());
      return 1;
    }
  }
  std::printf("wrote %d levels to %s\n", kLevelCount, mapsDir.c_str());
  return 0;
}
