// make_art: paints every picture the game ships with, from the code under tools/art/.
//
//   make_art OUTDIR             writes OUTDIR/Graphic/*.png, OUTDIR/Chars/Char0..63.png, OUTDIR/smalfont.bmp
//   make_art --sheet OUT.png [PART]  a contact sheet of the strips (whose names contain PART), enlarged
//   make_art --tiles OUT.png [0|1]   tile rows 0..7 (or 8..15) enlarged, with their numbers
//   make_art --mock-play OUT.png   a made-up play screen at 1x
//   make_art --mock-menu OUT.png   the title menu over the menu background at 1x
//   make_art --icon OUT.png [SIZE] the desktop icon, SIZE x SIZE pixels (64 unless given, 16 to 512)
//
// The same program always writes the same bytes: nothing depends on time or on random state.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/art/Actors.h"
#include "tools/art/ArtSet.h"
#include "tools/art/Effects.h"
#include "tools/art/ImageFiles.h"
#include "tools/art/Previews.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: make_art OUTDIR\n"
               "       make_art --sheet OUT.png [PART] | --tiles OUT.png [0|1] | --mock-play OUT.png | "
               "--mock-menu OUT.png | --icon OUT.png [SIZE]\n");
  return 2;
}

// The desktop icon: the boy beside a gem on a clear square, drawn at 32 x 32 and brought to `size`
// (whole multiples keep the pixels square and sharp; 16, 24 and 48 are averaged).
art::Image MakeIcon(int size) {
  art::Image icon(32, 32);
  const art::Image boy = art::DrawBoyFigure(art::Facing::kDown, 2);
  icon.Blit(boy, 1, 0);
  const std::vector<art::Image> gems = art::DrawGemFrames();
  icon.Blit(gems[0], 15, 15);
  return icon.Resampled(size, size);
}

void WriteAll(const std::string& outDir) {
  namespace fs = std::filesystem;
  fs::create_directories(fs::path(outDir) / "Graphic");
  fs::create_directories(fs::path(outDir) / "Chars");
  const art::ArtSet set = art::BuildArtSet();
  for (const auto& [name, image] : set.pngs) art::WritePng((fs::path(outDir) / name).string(), image);
  art::WriteBmp24((fs::path(outDir) / "smalfont.bmp").string(), set.smallFont);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) return Usage();
  try {
    std::string first = argv[1];
    if (argc == 2) {
      if (first.starts_with("--")) return Usage();
      WriteAll(first);
      return 0;
    }
    const art::ArtSet set = art::BuildArtSet();
    if (first == "--sheet") {
      art::WritePng(argv[2], art::ContactSheet(set, argc == 4 ? argv[3] : ""));
    } else if (first == "--tiles") {
      art::WritePng(argv[2], art::TileChart(set, argc == 4 && std::string(argv[3]) == "1" ? 8 : 0));
    } else if (first == "--icon") {
      const std::string size = argc == 4 ? argv[3] : "64";
      const int n = size.size() <= 3 && std::all_of(size.begin(), size.end(),
                                                    [](unsigned char c) { return std::isdigit(c); })
                        ? std::stoi(size)
                        : 0;
      if (n < 16 || n > 512) return Usage();
      art::WritePng(argv[2], MakeIcon(n));
    } else if (argc == 4) {
      return Usage();
    } else if (first == "--mock-play") {
      art::WritePng(argv[2], art::MockPlayScreen(set));
    } else if (first == "--mock-menu") {
      art::WritePng(argv[2], art::MockMenuScreen(set));
    } else {
      return Usage();
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_art: %s\n", e.what());
    return 1;
  }
}
