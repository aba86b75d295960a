// make_fuzz_seeds: writes the seed inputs of every fuzz target from the game's own files.
//   make_fuzz_seeds OUTPUT SOURCE_DIR BUILD_DIR
// OUTPUT/<target>/ receives: small archives packed from the game's pictures and sounds; the font BMP and
// BMP copies of small game pictures in every layout the decoder reads (24 and 32 bits, 8 bits with a
// colour table, the OS/2 header); the small PNG pictures; the sounds; the solution replays; the command
// lines of the README; and each level with the first-start records as one level-and-records input.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "runtime/core/ArchiveWriter.h"
#include "runtime/gfx2d/Image.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "make_fuzz_seeds: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The files of a folder, smallest first, whose names end in `ext` and that are at most `most` bytes.
std::vector<fs::path> SmallFiles(const fs::path& dir, const std::string& ext, uintmax_t most) {
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file() && e.path().extension() == ext && e.file_size() <= most)
      files.push_back(e.path());
  }
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    const auto sa = fs::file_size(a), sb = fs::file_size(b);
    return sa != sb ? sa < sb : a < b;
  });
  return files;
}

// A picture as a BMP: bits 24 or 32 with the Windows header, 8 with a colour table (when the picture
// has at most 256 colours), or 24 with the 12-byte OS/2 header.
bool Bmp(const RgbaImage& image, int bits, bool os2, Bytes& out) {
  std::vector<uint32_t> palette;
  std::map<uint32_t, uint8_t> index;
  const size_t pixels = static_cast<size_t>(image.width) * image.height;
  if (bits == 8) {
    for (size_t i = 0; i < pixels; ++i) {
      const uint8_t* p = image.pixels.data() + i * 4;
      const uint32_t c = p[0] | p[1] << 8 | p[2] << 16;
      if (index.count(c)) continue;
      if (palette.size() == 256) return false;
      index[c] = static_cast<uint8_t>(palette.size());
      palette.push_back(c);
    }
  }
  const uint32_t header = os2 ? 12 : 40;
  const uint32_t table = bits == 8 ? static_cast<uint32_t>(palette.size()) * (os2 ? 3 : 4) : 0;
  const uint32_t stride = (static_cast<uint32_t>(image.width) * (bits / 8) + 3) & ~3u;
  const uint32_t offset = 14 + header + table;
  out.assign(1, 'B');
  out.push_back('M');
  Put32(out, offset + stride * image.height);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, header);
  if (os2) {
    Put16(out, image.width);
    Put16(out, image.height);
    Put16(out, 1);
    Put16(out, bits);
  } else {
    Put32(out, image.width);
    Put32(out, image.height);
    Put16(out, 1);
    Put16(out, bits);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
  }
  for (uint32_t c : palette) {
    out.insert(out.end(),
               {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    if (!os2) out.push_back(0);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * 4;
      if (bits == 8) {
        out.push_back(index[p[0] | p[1] << 8 | p[2] << 16]);
      } else {
        out.insert(out.end(), {p[2], p[1], p[0]});
        if (bits == 32) out.push_back(255);
      }
    }
    out.resize(rowStart + stride, 0);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT SOURCE_DIR BUILD_DIR\n");
    return 2;
  }
  const fs::path out = argv[1], source = argv[2], build = argv[3];
  const fs::path media = build / "media";
  fs::remove_all(out);

  // Archives: one, two and three small files, offsets from the start and from the end.
  const std::vector<fs::path> pictures = SmallFiles(media, ".png", 2048);
  const std::vector<fs::path> sounds = SmallFiles(media, ".wav", 16384);
  if (pictures.size() < 6 || sounds.empty()) {
    std::fprintf(stderr, "make_fuzz_seeds: the game's media are missing under %s\n", media.c_str());
    return 1;
  }
  const std::vector<std::vector<fs::path>> sets = {
      {pictures[0]}, {pictures[1], sounds[0]}, {pictures[2], pictures[3], pictures[4]}};
  int n = 0;
  for (const auto& set : sets) {
    std::vector<ArchiveInput> entries;
    for (const fs::path& p : set) entries.push_back({p.filename().string(), Read(p)});
    for (const bool fromEnd : {false, true}) {
      Write(out / "archive" / ("pack" + std::to_string(n++) + ".kpq"), PackArchive(entries, fromEnd));
    }
  }

  // BMP: the font, and small pictures in every layout.
  Write(out / "bmp" / "smalfont.bmp", Read(media / "smalfont.bmp"));
  for (size_t i = 0; i < pictures.size() && i < 24; i += 6) {
    const Bytes png = Read(pictures[i]);
    RgbaImage image;
    if (!DecodePng(png.data(), png.size(), kNoColourKey, pictures[i].string(), image)) continue;
    const std::string stem = pictures[i].stem().string();
    const struct {
      int bits;
      bool os2;
      const char* suffix;
    } layouts[] = {
        {24, false, "-24"}, {32, false, "-32"}, {8, false, "-8"}, {24, true, "-os2"}, {8, true, "-os2-8"}};
    for (const auto& layout : layouts) {
      Bytes bmp;
      if (Bmp(image, layout.bits, layout.os2, bmp)) Write(out / "bmp" / (stem + layout.suffix + ".bmp"), bmp);
    }
  }

  // PNG and WAV: the game's own files.
  for (size_t i = 0; i < pictures.size(); i += 4) {
    Write(out / "png" / pictures[i].filename(), Read(pictures[i]));
    Write(out / "web_png" / pictures[i].filename(), Read(pictures[i]));
  }
  for (const fs::path& p : sounds) Write(out / "wav" / p.filename(), Read(p));

  // Replays: the solutions.
  for (const auto& e : fs::directory_iterator(source / "data" / "solutions")) {
    if (e.path().extension() == ".rpl") Write(out / "replay" / e.path().filename(), Read(e.path()));
  }

  // Command lines (arguments separated by zero bytes) and number texts.
  const std::vector<std::vector<std::string>> lines = {
      {"--windowed"},
      {"--headless", "--seed", "-123", "--frames", "2600"},
      {"--data", "game", "--play", "level01.rpl", "--dump", "state.json"},
      {"--record", "run.rpl", "--screenshot", "last.png", "--seed", "2147483647"},
      {"--help"},
      {"26", "-3", "1.5", "0.25", " 12abc", "1e308", "-.5e-3", "4294967295"}};
  n = 0;
  for (const auto& line : lines) {
    Bytes bytes;
    for (size_t i = 0; i < line.size(); ++i) {
      if (i > 0) bytes.push_back(0);
      bytes.insert(bytes.end(), line[i].begin(), line[i].end());
    }
    Write(out / "command_line" / ("line" + std::to_string(n++)), bytes);
  }

  // Levels and records: level number, no file left out (and the saves for every other level), the four
  // layers, the four record files.
  const std::vector<std::string> records = {"Player.bin", "Duzozez.bin", "Name.bin", "Data.bin"};
  for (int level = 1; level <= 22; ++level) {
    Bytes bytes = {static_cast<uint8_t>(level - 1), static_cast<uint8_t>(level % 2 == 1 ? 15 + 16 : 15)};
    for (int k = 1; k <= 4; ++k) {
      const Bytes layer =
          Read(build / "Maps" / ("Map" + std::to_string(level) + "-" + std::to_string(k) + ".bin"));
      bytes.insert(bytes.end(), layer.begin(), layer.end());
    }
    for (const std::string& r : records) {
      const Bytes file = Read(source / "data" / "records" / r);
      bytes.insert(bytes.end(), file.begin(), file.end());
    }
    Write(out / "level_records" / ("level" + std::to_string(level)), bytes);
  }
  std::printf("fuzz seeds written to %s\n", out.c_str());
  return 0;
}
