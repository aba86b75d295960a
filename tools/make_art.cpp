// make_art: paints every picture the game ships with, from the code under tools/art/.
//
//   make_art OUTDIR             writes OUTDIR/Graphic/*.png, OUTDIR/Chars/Char0..63.png, OUTDIR/smalfont.bmp
//   make_art --sheet OUT.png [PART]  a contact sheet of the strips (whose names contain PART), enlarged
//   make_art --tiles OUT.png [0|1]   tile rows 0..7 (or 8..15) enlarged, with their numbers
//   make_art --mock-play OUT.png   a made-up play screen at 1x
//   make_art --mock-menu OUT.png   the title menu over the menu background at 1x
//
// The same program always writes the same bytes: nothing depends on time or on random state.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/art/ArtSet.h"
#include "tools/art/ImageFiles.h"
#include "tools/art/Previews.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: make_art OUTDIR\n"
               "       make_art --sheet OUT.png [PART] | --tiles OUT.png [0|1] | --mock-play OUT.png | "
               "--mock-menu OUT.png | --icon OUT.png\n");
  return 2;
}

// The desktop icon: the boy beside a gem, each drawn at twice its size on a clear 64 x 64 square.
art::Image MakeIcon() {
  art::Image icon(64, 64);
  auto blit2x = [&](const art::Image& from, int fromX, int fromY, int w, int h, int toX, int toY) {
    for (int y = 0; y < h * 2; ++y)
      for (int x = 0; x < w * 2; ++x) {
        const art::Rgba c = from.Get(fromX + x / 2, fromY + y / 2);
        if (c.a != 0) icon.Set(toX + x, toY + y, c);
      }
  };
  const art::Image boy = art::DrawBoyFigure(art::Facing::kDown, 2);
  blit2x(boy, 0, 0, boy.Width(), boy.Height(), 2, 0);
  const std::vector<art::Image> gems = art::DrawGemFrames();
  blit2x(gems[0], 0, 0, gems[0].Width(), gems[0].Height(), 30, 30);
  return icon;
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
    } else if (argc == 4) {
      return Usage();
    } else if (first == "--mock-play") {
      art::WritePng(argv[2], art::MockPlayScreen(set));
    } else if (first == "--icon") {
      art::WritePng(argv[2], MakeIcon());
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
