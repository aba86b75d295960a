// kpqpack: packs media files into a resource archive ("Graphic.kpq") for the game.
//   kpqpack [--negative] OUTPUT.kpq FILE...
// Each file is stored under its base name; --negative writes offsets counted from the end of the file.
#include <sys/stat.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/core/ArchiveReader.h"
#include "runtime/core/ArchiveWriter.h"

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<uint64_t>(st.st_size) > kMaxArchiveEntryBytes) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int Usage() {
  std::fprintf(stderr, "usage: kpqpack [--negative] OUTPUT.kpq FILE...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool negative = false;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--negative") {
      negative = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage();  // a file whose name starts with "-" can be given as ./-name
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() < 2) return Usage();

  std::vector<ArchiveInput> entries;
  for (size_t i = 1; i < paths.size(); ++i) {
    ArchiveInput entry;
    entry.name = std::string(ArchiveEntryName(paths[i]));
    if (!ReadWholeFile(paths[i], entry.data)) {
      std::fprintf(stderr, "kpqpack: cannot read %s (missing, not a file, or above 64 MiB)\n",
                   paths[i].c_str());
      return 1;
    }
    entries.push_back(std::move(entry));
  }

  std::vector<uint8_t> archive;
  try {
    archive = PackArchive(entries, negative);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kpqpack: %s\n", e.what());
    return 1;
  }

  const std::string& output = paths[0];
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "kpqpack: cannot write %s\n", output.c_str());
    std::remove(output.c_str());
    return 1;
  }
  std::printf("%s: %zu files, %zu bytes\n", output.c_str(), entries.size(), archive.size());
  return 0;
}
