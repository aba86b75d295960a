// The art generator: runs tools/make_art into temporary folders and checks that every picture
// the game loads is there with the size its slot expects, that sprites use only fully clear or
// fully solid pixels, that the rule items are painted, and that two runs give the same bytes.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/GameWords.h"
#include "tests/support/TestSupport.h"
#include "tools/art/Canvas.h"
#include "tools/art/TileCatalogue.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;

const std::string kTool = BRILLORA_BINARY_DIR "/tools/make_art";

int RunTool(const std::string& args) {
  std::string command = "'" + kTool + "' " + args + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  uint8_t Alpha(int x, int y) const { return rgba[(size_t(y) * width + x) * 4 + 3]; }
  bool RegionEmpty(int x0, int y0, int w, int h) const {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if (Alpha(x, y)) return false;
    return true;
  }
};

// Decodes a PNG to RGBA after checking the header is what the game's loader accepts:
// 8 bits per channel, colour type RGB with alpha.
Picture LoadPng(const std::string& path) {
  Picture pic;
  std::vector<uint8_t> bytes = ReadFile(path);
  EXPECT_GE(bytes.size(), 33u) << path;
  if (bytes.size() < 33) return pic;
  EXPECT_EQ(0, png_sig_cmp(bytes.data(), 0, 8)) << path;
  EXPECT_EQ(8, bytes[24]) << path << ": bit depth";
  EXPECT_EQ(PNG_COLOR_TYPE_RGB_ALPHA, bytes[25]) << path << ": colour type";
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    ADD_FAILURE() << path << ": " << image.message;
    return pic;
  }
  image.format = PNG_FORMAT_RGBA;
  pic.width = int(image.width);
  pic.height = int(image.height);
  pic.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pic.rgba.data(), 0, nullptr)) {
    ADD_FAILURE() << path << ": " << image.message;
    pic = Picture();
  }
  return pic;
}

struct Expected {
  std::string name;
  int width;
  int height;
  int frameWidth;
  int frameHeight;
};

// Every PNG the game loads, with the size of the whole picture and of one frame.
std::vector<Expected> ExpectedPictures() {
  std::vector<Expected> list = {
      {"Graphic/Tiles1.png", 256, 256, 16, 16},     {"Graphic/ExitStrip.png", 256, 32, 32, 32},
      {"Graphic/GemsStrip.png", 128, 16, 16, 16},   {"Graphic/FireStrip.png", 128, 16, 16, 16},
      {"Graphic/DiaSuck.png", 128, 16, 16, 16},     {"Graphic/KeySuck.png", 128, 16, 16, 16},
      {"Graphic/Shrink1.png", 256, 16, 16, 16},     {"Graphic/Shrink2.png", 256, 16, 16, 16},
      {"Graphic/ExplosStrip.png", 512, 32, 32, 32}, {"Graphic/CloudStrip.png", 128, 16, 16, 16},
      {"Graphic/BadFlush1.png", 128, 16, 16, 16},   {"Graphic/BadFlush2.png", 128, 16, 16, 16},
      {"Graphic/BoxStrip.png", 192, 256, 192, 32},  {"Graphic/MouseStrip.png", 64, 32, 32, 32},
      {"Graphic/BackBild.png", 640, 480, 640, 480}, {"Graphic/xFont.png", 128, 128, 8, 16},
  };
  for (const char* d : {"R", "L", "U", "D"})
    for (const char* half : {"1", "2"}) {
      list.push_back({std::string("Graphic/Boy") + d + half + ".png", 128, 16, 16, 16});
      list.push_back({std::string("Graphic/Bad") + d + half + "Strip.png", 128, 16, 16, 16});
      list.push_back({std::string("Graphic/Fly") + d + half + ".png", 128, 16, 16, 16});
    }
  // One strip for every fruit slot, one letter for every glyph slot.
  for (int k = 0; k <= sprite::kLastFruit - sprite::kFirstFruit; ++k)
    list.push_back({"Graphic/Fruit" + std::to_string(k) + ".png", 256, 16, 16, 16});
  for (int i = 0; i <= sprite::kLastGlyph - sprite::kFirstGlyph; ++i)
    list.push_back({"Chars/Char" + std::to_string(i) + ".png", 32, 32, 32, 32});
  return list;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// One generator run shared by the tests of this file (the tool is deterministic, so reusing it
// hides nothing; determinism itself is tested with two fresh runs).
class ArtOutput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(std::filesystem::exists(kTool)) << "build the make_art tool first: " << kTool;
    dir_ = new TempDir();
    status_ = RunTool("'" + dir_->path() + "'");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string File(const std::string& name) { return dir_->File(name); }

  static TempDir* dir_;
  static int status_;
};
TempDir* ArtOutput::dir_ = nullptr;
int ArtOutput::status_ = -1;

TEST_F(ArtOutput, EveryPictureExistsWithItsSlotSizeAndHardEdgedAlpha) {
  ASSERT_EQ(0, status_);
  for (const Expected& e : ExpectedPictures()) {
    SCOPED_TRACE(e.name);
    ASSERT_TRUE(FileExists(File(e.name)));
    Picture pic = LoadPng(File(e.name));
    ASSERT_EQ(e.width, pic.width);
    ASSERT_EQ(e.height, pic.height);
    // Sprites are drawn with an alpha test, so half-clear pixels would show as hard blotches;
    // the background is drawn without it and must be wholly opaque.
    const bool opaque = e.name == "Graphic/BackBild.png";
    size_t soft = 0;
    size_t clear = 0;
    for (size_t i = 3; i < pic.rgba.size(); i += 4) {
      if (pic.rgba[i] != 0 && pic.rgba[i] != 255) ++soft;
      if (pic.rgba[i] == 0) ++clear;
    }
    EXPECT_EQ(0u, soft);
    if (opaque) {
      EXPECT_EQ(0u, clear);
    }
  }
}

TEST_F(ArtOutput, AnimationFramesAreAllPainted) {
  ASSERT_EQ(0, status_);
  for (const Expected& e : ExpectedPictures()) {
    // The last frames of the exit shrink are meant to be empty (the boy is gone), and the
    // blank character is blank.
    if (e.name.find("Shrink") != std::string::npos || e.name == "Chars/Char0.png" ||
        e.name.find("Tiles") != std::string::npos || e.name.find("xFont") != std::string::npos)
      continue;
    SCOPED_TRACE(e.name);
    Picture pic = LoadPng(File(e.name));
    ASSERT_EQ(e.width, pic.width);
    for (int fy = 0; fy + e.frameHeight <= pic.height; fy += e.frameHeight)
      for (int fx = 0; fx + e.frameWidth <= pic.width; fx += e.frameWidth)
        EXPECT_FALSE(pic.RegionEmpty(fx, fy, e.frameWidth, e.frameHeight)) << "frame at " << fx << "," << fy;
  }
  EXPECT_TRUE(LoadPng(File("Chars/Char0.png")).RegionEmpty(0, 0, 32, 32));
}

TEST_F(ArtOutput, RuleItemTilesArePaintedOnAClearSurround) {
  ASSERT_EQ(0, status_);
  Picture tiles = LoadPng(File("Graphic/Tiles1.png"));
  ASSERT_EQ(256, tiles.width);
  for (int v : art::tile::kRuleItems) {
    SCOPED_TRACE("tile " + std::to_string(v));
    int x0 = (v % 16) * 16, y0 = (v / 16) * 16;
    EXPECT_FALSE(tiles.RegionEmpty(x0, y0, 16, 16));
    // Items are drawn over the floor, so their corners must let it show through.
    EXPECT_EQ(0, tiles.Alpha(x0, y0));
    EXPECT_EQ(0, tiles.Alpha(x0 + 15, y0));
  }
  // Ground value 0 is drawn everywhere there is nothing else: the default floor must be solid.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(255, tiles.Alpha(x, y)) << x << "," << y;
}

// A turn marker for every level theme: an opaque floor tile, each unlike the others.
TEST_F(ArtOutput, TurnMarkerFloorsAreSolidAndDiffer) {
  ASSERT_EQ(0, status_);
  Picture tiles = LoadPng(File("Graphic/Tiles1.png"));
  ASSERT_EQ(256, tiles.width);
  using namespace art::tile;
  const int markers[] = {kTurnMarkerTemple, kTurnMarkerDungeon, kTurnMarkerGarden, kTurnMarkerCave,
                         kTurnMarkerIce,    kTurnMarkerLava,    kTurnMarkerBeach,  kTurnMarkerHall};
  auto tile = [&](int v) {
    std::vector<uint8_t> px;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        for (int k = 0; k < 4; ++k)
          px.push_back(tiles.rgba[(size_t((v / 16) * 16 + y) * 256 + (v % 16) * 16 + x) * 4 + k]);
    return px;
  };
  for (int a : markers) {
    SCOPED_TRACE("tile " + std::to_string(a));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(255, tiles.Alpha((a % 16) * 16 + x, (a / 16) * 16 + y));
    for (int b : markers) {
      if (a < b) {
        EXPECT_NE(tile(a), tile(b)) << "same as tile " << b;
      }
    }
  }
}

// The score line is printed at y 462 over the score bar (the bottom row, y 464 to 479): its letters cover
// the bar's rows 0 to 12, so the bar's gold trim lies in its last two rows, and nothing but the dark band
// is behind the letters.
TEST_F(ArtOutput, ScoreBarKeepsItsTrimBelowTheLetters) {
  ASSERT_EQ(0, status_);
  Picture tiles = LoadPng(File("Graphic/Tiles1.png"));
  Picture font = LoadPng(File("Graphic/xFont.png"));
  ASSERT_EQ(256, tiles.width);
  ASSERT_EQ(128, font.width);
  const int bar = art::tile::kFrameEdge, x0 = (bar % 16) * 16, y0 = (bar / 16) * 16;
  auto brightness = [&](int x, int y) {
    const uint8_t* p = &tiles.rgba[(size_t(y) * 256 + x) * 4];
    return p[0] + p[1] + p[2];
  };
  int lowestLetterRow = 0;
  for (int code = 33; code < 127; ++code) {
    if (code == 'g' || code == 'j' || code == 'p' || code == 'q' || code == 'y' || code == ',') continue;
    for (int y = 0; y < 16; ++y)
      if (!font.RegionEmpty((code % 16) * 8, (code / 16) * 16 + y, 8, 1))
        lowestLetterRow = std::max(lowestLetterRow, y);
  }
  const int trimFrom = 462 + lowestLetterRow + 2 - 464;  // one clear pixel between letters and trim
  int darkest = 255 * 3, brightestBehind = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(255, tiles.Alpha(x0 + x, y0 + y));
      if (y < trimFrom)
        brightestBehind = std::max(brightestBehind, brightness(x0 + x, y0 + y));
      else
        darkest = std::min(darkest, brightness(x0 + x, y0 + y));
    }
  EXPECT_LE(trimFrom, 14);
  EXPECT_GT(darkest, brightestBehind) << "the trim must be brighter than all of the band behind the letters";
  // Every score-line letter leaves the first column of its cell clear, so "SCORE" at x 0 keeps off the
  // screen's edge.
  for (int code = 33; code < 127; ++code)
    EXPECT_TRUE(font.RegionEmpty((code % 16) * 8, (code / 16) * 16, 1, 16)) << "xFont code " << code;
}

TEST_F(ArtOutput, ExitIsShutAtFrameZeroAndChangesWhenOpen) {
  ASSERT_EQ(0, status_);
  Picture exitStrip = LoadPng(File("Graphic/ExitStrip.png"));
  ASSERT_EQ(256, exitStrip.width);
  auto frame = [&](int f) {
    std::vector<uint8_t> px;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        for (int c = 0; c < 4; ++c) px.push_back(exitStrip.rgba[(size_t(y) * 256 + f * 32 + x) * 4 + c]);
    return px;
  };
  for (int f = 1; f < 8; ++f) EXPECT_NE(frame(0), frame(f)) << "frame " << f;
}

TEST_F(ArtOutput, MenuPointerAndHighlightBoxKeepTheirShapes) {
  ASSERT_EQ(0, status_);
  Picture mouse = LoadPng(File("Graphic/MouseStrip.png"));
  ASSERT_EQ(64, mouse.width);
  EXPECT_EQ(255, mouse.Alpha(0, 0));  // the tip is the hot spot
  EXPECT_EQ(255, mouse.Alpha(32, 0));
  EXPECT_EQ(0, mouse.Alpha(31, 0));
  Picture box = LoadPng(File("Graphic/BoxStrip.png"));
  ASSERT_EQ(192, box.width);
  for (int f = 0; f < 8; ++f) {
    SCOPED_TRACE("box frame " + std::to_string(f));
    // The word it frames must stay visible: the middle is clear, the rim is painted.
    EXPECT_TRUE(box.RegionEmpty(8, f * 32 + 6, 176, 20));
    EXPECT_EQ(255, box.Alpha(96, f * 32));
    EXPECT_EQ(255, box.Alpha(96, f * 32 + 31));
    EXPECT_EQ(255, box.Alpha(0, f * 32 + 16));
  }
}

TEST_F(ArtOutput, FontsHoldGlyphsForPrintableCodesOnly) {
  ASSERT_EQ(0, status_);
  Picture font = LoadPng(File("Graphic/xFont.png"));
  ASSERT_EQ(128, font.width);
  for (int code = 0; code < 128; ++code) {
    bool empty = font.RegionEmpty((code % 16) * 8, (code / 16) * 16, 8, 16);
    bool printable = code > 32 && code < 127;
    EXPECT_EQ(!printable, empty) << "xFont code " << code;
  }

  std::vector<uint8_t> bmp = ReadFile(File("smalfont.bmp"));
  ASSERT_EQ(54u + 128u * 64u * 3u, bmp.size());
  EXPECT_EQ('B', bmp[0]);
  EXPECT_EQ('M', bmp[1]);
  EXPECT_EQ(bmp.size(), Le32(bmp, 2));
  EXPECT_EQ(54u, Le32(bmp, 10));
  EXPECT_EQ(40u, Le32(bmp, 14));
  EXPECT_EQ(128u, Le32(bmp, 18));
  EXPECT_EQ(64u, Le32(bmp, 22));  // positive height: rows stored bottom-up
  EXPECT_EQ(24, bmp[28] | bmp[29] << 8);
  EXPECT_EQ(0u, Le32(bmp, 30));
  // Pure black and white only (black is keyed out), white exactly where glyphs are.
  auto white = [&](int x, int y) {
    size_t at = 54 + size_t(63 - y) * 128 * 3 + size_t(x) * 3;
    EXPECT_TRUE((bmp[at] == 0 || bmp[at] == 255) && bmp[at] == bmp[at + 1] && bmp[at] == bmp[at + 2]);
    return bmp[at] == 255;
  };
  for (int code = 0; code < 128; ++code) {
    int lit = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) lit += white((code % 16) * 8 + x, (code / 16) * 8 + y);
    bool printable = code > 32 && code < 127;
    EXPECT_EQ(printable, lit > 0) << "smalfont code " << code;
  }
  // The letter A is drawn the right way up: its apex row is narrower than its bar row.
  int apex = 0, bar = 0;
  for (int x = 0; x < 8; ++x) {
    apex += white((65 % 16) * 8 + x, (65 / 16) * 8 + 0);
    bar += white((65 % 16) * 8 + x, (65 / 16) * 8 + 3);
  }
  EXPECT_LT(apex, bar);
}

TEST(ArtGenerator, TwoRunsWriteTheSameBytes) {
  ASSERT_TRUE(std::filesystem::exists(kTool)) << kTool;
  TempDir first;
  TempDir second;
  ASSERT_EQ(0, RunTool("'" + first.path() + "'"));
  ASSERT_EQ(0, RunTool("'" + second.path() + "'"));
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(first.path())) {
    if (!entry.is_regular_file()) continue;
    std::string rel = std::filesystem::relative(entry.path(), first.path()).string();
    SCOPED_TRACE(rel);
    ASSERT_TRUE(FileExists(second.File(rel)));
    EXPECT_EQ(ReadFile(entry.path().string()), ReadFile(second.File(rel)));
    ++files;
  }
  // 46 pictures under Graphic/, 64 letters under Chars/ and the small font.
  EXPECT_EQ(46u + 64u + 1u, files);
}

TEST(ArtGenerator, DesktopIconIsASquareWithClearCorners) {
  TempDir dir;
  ASSERT_EQ(0, RunTool("--icon '" + dir.File("icon.png") + "'"));
  const Picture icon = LoadPng(dir.File("icon.png"));
  ASSERT_EQ(icon.width, 64);
  ASSERT_EQ(icon.height, 64);
  EXPECT_TRUE(icon.RegionEmpty(0, 0, 2, 2));
  EXPECT_TRUE(icon.RegionEmpty(62, 0, 2, 2));
  EXPECT_FALSE(icon.RegionEmpty(0, 0, 64, 64));
}

TEST(ArtGenerator, DesktopIconComesAtEverySizeFromTheSamePixels) {
  TempDir dir;
  std::vector<Picture> icons;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const std::string file = dir.File("icon" + std::to_string(size) + ".png");
    ASSERT_EQ(0, RunTool("--icon '" + file + "' " + std::to_string(size)));
    icons.push_back(LoadPng(file));
    const Picture& icon = icons.back();
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    EXPECT_TRUE(icon.RegionEmpty(0, 0, 1, 1));
    EXPECT_TRUE(icon.RegionEmpty(size - 1, 0, 1, 1));
    EXPECT_FALSE(icon.RegionEmpty(0, 0, size, size));
  }
  // 128 and 256 are the 64 icon with every pixel doubled and quadrupled: no blur in the big sizes.
  const Picture& base = icons[4];
  for (size_t big : {size_t(5), size_t(6)}) {
    const int factor = icons[big].width / base.width;
    size_t differing = 0;
    for (int y = 0; y < icons[big].height; ++y)
      for (int x = 0; x < icons[big].width; ++x)
        for (int c = 0; c < 4; ++c)
          differing += icons[big].rgba[(size_t(y) * icons[big].width + x) * 4 + c] !=
                       base.rgba[(size_t(y / factor) * base.width + x / factor) * 4 + c];
    EXPECT_EQ(0u, differing) << "factor " << factor;
  }
  for (const char* bad : {"8", "513", "abc", "64x", "-64"})
    EXPECT_NE(0, RunTool("--icon '" + dir.File("bad.png") + "' " + bad)) << bad;
}

// Resampling, as the icons use it: whole multiples are exact, and a shrunken pixel takes its colour from
// the painted pixels it covers (clear ones do not darken it) and its opacity from the share they cover.
TEST(ArtCanvas, ResamplingKeepsWholeMultiplesSharpAndWeighsColoursByOpacity) {
  art::Image square(2, 2);
  square.Set(0, 0, art::Rgba{200, 0, 0, 255});
  square.Set(1, 1, art::Rgba{0, 0, 100, 255});
  square.Set(1, 0, art::Rgba{0, 90, 0, 51});
  EXPECT_EQ(square.Resampled(6, 6).Pixels(), square.Scaled(3).Pixels());
  EXPECT_EQ(square.Resampled(2, 2).Pixels(), square.Pixels());
  // All four into one: colour weighted by opacity (255 + 51 + 255 of 1020), opacity the mean.
  const art::Rgba one = square.Resampled(1, 1).Get(0, 0);
  EXPECT_EQ(one.r, 91);   // 200 * 255 / 561
  EXPECT_EQ(one.g, 8);    // 90 * 51 / 561
  EXPECT_EQ(one.b, 45);   // 100 * 255 / 561
  EXPECT_EQ(one.a, 140);  // 561 / 4

  // Three pixels into two: the middle one is shared half and half.
  art::Image row(3, 1);
  row.Set(0, 0, art::Rgba{255, 0, 0, 255});
  row.Set(1, 0, art::Rgba{0, 255, 0, 255});
  const art::Image two = row.Resampled(2, 1);
  EXPECT_EQ(two.Get(0, 0), (art::Rgba{170, 85, 0, 255}));
  EXPECT_EQ(two.Get(1, 0), (art::Rgba{0, 255, 0, 85}));
  // Nothing painted stays clear.
  EXPECT_TRUE(art::Image(4, 4).Resampled(3, 3).Empty());
}

TEST(ArtGenerator, RefusesBadArgumentsAndUnwritableFolders) {
  ASSERT_TRUE(std::filesystem::exists(kTool)) << kTool;
  EXPECT_NE(0, RunTool(""));
  EXPECT_NE(0, RunTool("--bogus"));
  EXPECT_NE(0, RunTool("--sheet"));
  TempDir dir;
  testing_support::WriteText(dir.File("plain"), "not a folder");
  // The output folder would have to live inside a regular file: the tool must say it failed.
  std::string quoted = "'";  // appended, not `"'" + std::string`: GCC 12 at -O3 warns about that
  quoted += dir.File("plain") + "/out'";
  EXPECT_NE(0, RunTool(quoted));
}

}  // namespace
