// The browser build's own PNG reader and writer, checked on the desktop against libpng: the game's
// pictures and pictures of every layout decode to the same RGBA, damaged files are refused, and the
// uncompressed screenshots it writes are PNGs that libpng reads back.
#include "runtime/gfx2d/web/PngInflate.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <filesystem>
#include <random>

#include "runtime/gfx2d/Image.h"
#include "support/TestSupport.h"

namespace {

struct PngCase {
  int width = 23, height = 17;
  int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  int depth = 8;
  bool interlaced = false;
  bool transparency = false;  // a tRNS chunk (palette alphas, or one transparent colour)
  int strategy = Z_DEFAULT_STRATEGY;
  int level = Z_DEFAULT_COMPRESSION;
};

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void NoFlush(png_structp) {}

// A picture of the given layout written through libpng's writer, with every row filter allowed; its samples
// are random, and about a tenth of the pixels are the sprite key colour.
std::vector<uint8_t> MakePng(const PngCase& s, uint32_t seed = 7) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, s.width, s.height, s.depth, s.colourType,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, 0, PNG_ALL_FILTERS);
  png_set_compression_strategy(png, s.strategy);
  png_set_compression_level(png, s.level);
  std::mt19937 random(seed);
  png_color palette[256];
  png_byte alphas[256];
  for (int i = 0; i < 256; ++i) {
    palette[i] = {static_cast<png_byte>(random()), static_cast<png_byte>(random()),
                  static_cast<png_byte>(random())};
    alphas[i] = static_cast<png_byte>(random());
  }
  palette[5] = {255, 0, 128};  // the sprite key
  if (s.colourType == PNG_COLOR_TYPE_PALETTE) {
    const int entries = s.depth >= 8 ? 256 : 1 << s.depth;
    png_set_PLTE(png, info, palette, entries);
    if (s.transparency) png_set_tRNS(png, info, alphas, std::min(entries, 200), nullptr);
  } else if (s.transparency) {
    png_color_16 colour{};
    colour.red = colour.green = colour.blue = colour.gray = s.depth == 16 ? 0x1234 : 0x34;
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  png_write_info(png, info);
  const int channels = s.colourType == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                       : s.colourType == PNG_COLOR_TYPE_RGB        ? 3
                       : s.colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                   : 1;
  const int bytes = s.depth == 16 ? 2 : 1;
  std::vector<std::vector<png_byte>> rows(s.height, std::vector<png_byte>(s.width * channels * bytes + 8));
  for (auto& row : rows) {
    for (int x = 0; x < s.width; ++x) {
      png_byte* p = row.data() + x * channels * bytes;
      for (int i = 0; i < channels * bytes; ++i) p[i] = static_cast<png_byte>(random());
      if (s.depth < 8) continue;
      if (random() % 10 == 0 && channels >= 3 && bytes == 1) {
        p[0] = 255, p[1] = 0, p[2] = 128;
      } else if (random() % 10 == 0 && s.colourType == PNG_COLOR_TYPE_PALETTE) {
        p[0] = 5;
      } else if (random() % 10 == 0 && s.transparency && channels == 3) {
        for (int i = 0; i < 3 * bytes; ++i) p[i] = (bytes == 2 && i % 2 == 0) ? 0x12 : 0x34;
      }
    }
    if (s.depth < 8) std::fill(row.begin(), row.end(), static_cast<png_byte>(random()));
  }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void ExpectSameAsLibpng(const std::vector<uint8_t>& file, uint32_t key, const std::string& what) {
  RgbaImage expected, got;
  ASSERT_TRUE(DecodePng(file.data(), file.size(), key, what, expected)) << what;
  bool unsupported = true;
  ASSERT_TRUE(InflatePng(file.data(), file.size(), key, got, &unsupported)) << what;
  EXPECT_FALSE(unsupported);
  EXPECT_EQ(got.width, expected.width) << what;
  EXPECT_EQ(got.height, expected.height) << what;
  EXPECT_TRUE(got.pixels == expected.pixels) << what << ": the pixels differ from libpng's";
}

TEST(PngInflate, GamePicturesDecodeAsWithLibpng) {
  const std::filesystem::path media = std::filesystem::path(BRILLORA_BINARY_DIR) / "media";
  if (!std::filesystem::is_directory(media)) GTEST_SKIP() << "no generated media in " << media;
  int pictures = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(media)) {
    if (entry.path().extension() != ".png") continue;
    const std::vector<uint8_t> file = testing_support::ReadFile(entry.path().string());
    ExpectSameAsLibpng(file, kDefaultSpriteKey, entry.path().string());
    ExpectSameAsLibpng(file, kNoColourKey, entry.path().string());
    ++pictures;
  }
  EXPECT_GT(pictures, 50);
}

TEST(PngInflate, EveryLayoutTheGameTakesDecodesAsWithLibpng) {
  const struct {
    int colourType, depth;
    bool transparency;
  } layouts[] = {
      {PNG_COLOR_TYPE_GRAY, 8, false},      {PNG_COLOR_TYPE_GRAY, 16, false},
      {PNG_COLOR_TYPE_RGB, 8, false},       {PNG_COLOR_TYPE_RGB, 16, false},
      {PNG_COLOR_TYPE_RGB, 8, true},        {PNG_COLOR_TYPE_RGB, 16, true},
      {PNG_COLOR_TYPE_RGB_ALPHA, 8, false}, {PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
      {PNG_COLOR_TYPE_PALETTE, 8, false},   {PNG_COLOR_TYPE_PALETTE, 8, true},
  };
  // Dynamic and fixed Huffman blocks and stored blocks, on a picture wide enough for several of each.
  const int strategies[][2] = {{Z_DEFAULT_STRATEGY, 9}, {Z_FIXED, 6}, {Z_DEFAULT_STRATEGY, 0}, {Z_RLE, 6}};
  for (const auto& l : layouts) {
    for (const auto& st : strategies) {
      PngCase s;
      s.colourType = l.colourType;
      s.depth = l.depth;
      s.transparency = l.transparency;
      s.width = 300;
      s.height = 90;
      s.strategy = st[0];
      s.level = st[1];
      const std::vector<uint8_t> file = MakePng(s);
      const std::string what = "type " + std::to_string(l.colourType) + " depth " + std::to_string(l.depth) +
                               (l.transparency ? " tRNS" : "") + " strategy " + std::to_string(st[0]) +
                               " level " + std::to_string(st[1]);
      ExpectSameAsLibpng(file, kDefaultSpriteKey, what);
    }
  }
}

TEST(PngInflate, LayoutsTheBrowserDoesNotReadAreRefusedAsSuch) {
  PngCase interlaced;
  interlaced.interlaced = true;
  PngCase greyAlpha;
  greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  PngCase greyKeyed;
  greyKeyed.colourType = PNG_COLOR_TYPE_GRAY;
  greyKeyed.transparency = true;
  PngCase lowDepth;
  lowDepth.colourType = PNG_COLOR_TYPE_PALETTE;
  lowDepth.depth = 4;
  for (const PngCase& s : {interlaced, greyAlpha, greyKeyed, lowDepth}) {
    const std::vector<uint8_t> file = MakePng(s);
    ASSERT_FALSE(file.empty());
    RgbaImage got;
    got.width = 3;
    bool unsupported = false;
    EXPECT_FALSE(InflatePng(file.data(), file.size(), kNoColourKey, got, &unsupported));
    EXPECT_TRUE(unsupported) << "type " << s.colourType << " depth " << s.depth;
    EXPECT_EQ(got.width, 0);
    EXPECT_TRUE(got.pixels.empty());
  }
}

TEST(PngInflate, DamagedFilesAreRefused) {
  const std::vector<uint8_t> good = MakePng(PngCase{});
  RgbaImage got;
  ASSERT_TRUE(InflatePng(good.data(), good.size(), kNoColourKey, got));
  // Cut anywhere: nothing is read past the end, and the picture is not taken. (The last 12 bytes are
  // the end chunk, without which the picture is still whole.)
  for (size_t n = 0; n + 12 < good.size(); ++n) {
    bool unsupported = true;
    EXPECT_FALSE(InflatePng(good.data(), n, kNoColourKey, got, &unsupported)) << "cut at " << n;
    EXPECT_FALSE(unsupported);
  }
  // Any changed byte of a critical chunk fails its check sum.
  for (size_t i = 8; i + 12 < good.size(); i += 7) {
    std::vector<uint8_t> bad = good;
    bad[i] ^= 0x10;
    EXPECT_FALSE(InflatePng(bad.data(), bad.size(), kNoColourKey, got)) << "byte " << i;
  }
  // A header that claims far more pixels than the data could hold is refused before decoding.
  std::vector<uint8_t> huge = good;
  huge[16] = 0x00, huge[17] = 0x00, huge[18] = 0x3F, huge[19] = 0xFF;  // width 16383
  huge[20] = 0x00, huge[21] = 0x00, huge[22] = 0x3F, huge[23] = 0xFF;  // height 16383
  const uLong crc = crc32(crc32(0, nullptr, 0), huge.data() + 12, 17);
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  EXPECT_FALSE(InflatePng(huge.data(), huge.size(), kNoColourKey, got));
  EXPECT_FALSE(InflatePng(nullptr, 0, kNoColourKey, got));
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data, int level) {
  uLongf size = compressBound(data.size());
  std::vector<uint8_t> out(size);
  EXPECT_EQ(compress2(out.data(), &size, data.data(), data.size(), level), Z_OK);
  out.resize(size);
  return out;
}

TEST(PngInflate, ZlibStreamsAreCheckedAndCut) {
  std::vector<uint8_t> data(100000);
  std::mt19937 random(3);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i % 251 < 120 ? random() % 4 : i);
  std::vector<uint8_t> out;
  for (int level : {0, 1, 9}) {
    const std::vector<uint8_t> z = Compress(data, level);
    ASSERT_TRUE(InflateZlib(z, data.size(), out)) << "level " << level;
    EXPECT_TRUE(out == data);
    // A limit cuts the output there.
    ASSERT_TRUE(InflateZlib(z, 777, out));
    EXPECT_EQ(out.size(), 777u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));
    // A wrong check sum, a wrong header, a stream cut short.
    std::vector<uint8_t> bad = z;
    bad.back() ^= 1;
    EXPECT_FALSE(InflateZlib(bad, data.size(), out));
    bad = z;
    bad[0] = 0x79;
    EXPECT_FALSE(InflateZlib(bad, data.size(), out));
    EXPECT_FALSE(InflateZlib(std::span(z).first(z.size() / 2), data.size(), out));
  }
  // A copy from before the start of the output: a fixed block whose first code is a match of length 3
  // at distance 1; and the same after one literal, which is sound.
  auto fixedBlock = [](bool literalFirst) {
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](uint32_t value, int n) {
      bits |= value << count;
      count += n;
      while (count >= 8) {
        z.push_back(static_cast<uint8_t>(bits));
        bits >>= 8;
        count -= 8;
      }
    };
    auto code = [&](uint32_t value, int n) {  // Huffman codes go in from their top bit
      for (int i = n - 1; i >= 0; --i) put((value >> i) & 1, 1);
    };
    put(1, 1);  // last block
    put(1, 2);  // fixed codes
    if (literalFirst) code(0x30 + 'A', 8);
    code(1, 7);  // length 3 (symbol 257)
    code(0, 5);  // distance 1
    code(0, 7);  // end of block (symbol 256)
    if (count > 0) put(0, 8 - count);
    const std::vector<uint8_t> plain =
        literalFirst ? std::vector<uint8_t>{'A', 'A', 'A', 'A'} : std::vector<uint8_t>{};
    uLong adler = adler32(adler32(0, nullptr, 0), plain.data(), static_cast<uInt>(plain.size()));
    for (int i = 0; i < 4; ++i) z.push_back(static_cast<uint8_t>(adler >> (24 - 8 * i)));
    return z;
  };
  EXPECT_FALSE(InflateZlib(fixedBlock(false), 100, out));
  ASSERT_TRUE(InflateZlib(fixedBlock(true), 100, out));
  EXPECT_TRUE(out == std::vector<uint8_t>({'A', 'A', 'A', 'A'}));
}

TEST(PngInflate, StoredScreenshotsReadBackThroughLibpng) {
  // Larger than one stored block (65535 bytes) so that the blocks are chained.
  const int w = 200, h = 130;
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  std::mt19937 random(11);
  for (auto& b : rgba) b = static_cast<uint8_t>(random());
  const std::vector<uint8_t> file = EncodeStoredPng(w, h, rgba);
  RgbaImage back;
  ASSERT_TRUE(DecodePng(file.data(), file.size(), kNoColourKey, "shot.png", back));
  ASSERT_EQ(back.width, w);
  ASSERT_EQ(back.height, h);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    ASSERT_EQ(back.pixels[i], rgba[i]);
    ASSERT_EQ(back.pixels[i + 1], rgba[i + 1]);
    ASSERT_EQ(back.pixels[i + 2], rgba[i + 2]);
    ASSERT_EQ(back.pixels[i + 3], 255) << "the screenshot has no alpha";
  }
}

}  // namespace
