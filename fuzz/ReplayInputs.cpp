// The main of a fuzz target outside the fuzzer: runs the target once on every file named (files in a
// named folder in name order). The test suite replays the saved findings and the seed inputs this way,
// in the normal and in the sanitizer build, so a finding once fixed stays fixed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  // Paths are taken before the target starts: it may change the working folder.
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path path = fs::absolute(argv[i]);
    if (fs::is_directory(path)) {
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(path)) {
        if (e.is_regular_file()) files.push_back(e.path());
      }
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else if (fs::is_regular_file(path)) {
      inputs.push_back(path);
    } else {
      std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
      return 2;
    }
  }
  LLVMFuzzerInitialize(&argc, &argv);
  for (const fs::path& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s\n", path.c_str());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed, every property held\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
