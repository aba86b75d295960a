// Image decoding on crafted and malformed BMP and PNG bytes, and the staging of texture texels.
#include "runtime/gfx2d/Image.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <random>

#include "runtime/gfx2d/TextureStaging.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A BMP file: header, then `table` and `rows` as given. The pixel offset defaults to where the rows start.
Bytes Bmp(uint32_t headerSize, int32_t width, int32_t height, uint16_t bpp, const Bytes& table,
          const Bytes& rows, int64_t offset = -1) {
  Bytes b = {'B', 'M'};
  if (offset < 0) offset = 14 + headerSize + table.size();
  Put32(b, 0);  // file size, unused
  Put32(b, 0);  // reserved
  Put32(b, static_cast<uint32_t>(offset));
  Put32(b, headerSize);
  if (headerSize == 12) {
    Put16(b, static_cast<uint32_t>(width));
    Put16(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, bpp);
  } else {
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, bpp);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
  }
  b.insert(b.end(), table.begin(), table.end());
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

// Pixel rows as stored: bottom row first, each padded to 4 bytes. `pixels` is top row first, 0x00RRGGBB
// for 24/32 bits and palette indices for 8 bits.
Bytes Rows(int width, int height, int bpp, const std::vector<uint32_t>& pixels) {
  Bytes b;
  for (int r = height - 1; r >= 0; --r) {
    const size_t start = b.size();
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(r * width + x)];
      if (bpp == 8) {
        b.push_back(static_cast<uint8_t>(p));
      } else {
        b.insert(b.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16)});
        if (bpp == 32) b.push_back(0x77);  // ignored fourth byte
      }
    }
    while ((b.size() - start) % 4 != 0) b.push_back(0xEE);
  }
  return b;
}

// RGBA of pixel (x, y) as 0xRRGGBBAA.
uint32_t At(const RgbaImage& img, int x, int y) {
  const uint8_t* p = img.pixels.data() + (static_cast<size_t>(y) * img.width + x) * 4;
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void ExpectEmpty(const RgbaImage& img) {
  EXPECT_EQ(img.width, 0);
  EXPECT_EQ(img.height, 0);
  EXPECT_TRUE(img.pixels.empty());
}

// Decodes as BMP into an image that held a picture before, so a failure must also empty it.
bool BmpFails(const Bytes& file, uint32_t key = kNoColourKey) {
  RgbaImage img{1, 1, {1, 2, 3, 4}};
  const bool ok = DecodeBmp(file.data(), file.size(), key, img);
  ExpectEmpty(img);
  return !ok;
}

const std::vector<uint32_t> kSix = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0x000000, 0xFFFFFF};

TEST(Bmp, EveryHeaderFormAndDepthDecodesTopRowFirst) {
  // Palettes (blue, green, red order) whose indices 0..5 give the six colours of kSix.
  Bytes os2Table(768, 0), winTable;
  for (size_t i = 0; i < kSix.size(); ++i) {
    const uint8_t bgr[3] = {uint8_t(kSix[i]), uint8_t(kSix[i] >> 8), uint8_t(kSix[i] >> 16)};
    std::copy(bgr, bgr + 3, os2Table.begin() + static_cast<long>(i * 3));
    winTable.insert(winTable.end(), {bgr[0], bgr[1], bgr[2], 0});
  }
  const std::vector<uint32_t> indices = {0, 1, 2, 3, 4, 5};
  const Bytes files[] = {
      Bmp(12, 3, 2, 8, os2Table, Rows(3, 2, 8, indices)), Bmp(12, 3, 2, 24, {}, Rows(3, 2, 24, kSix)),
      Bmp(40, 3, 2, 8, winTable, Rows(3, 2, 8, indices)), Bmp(40, 3, 2, 24, {}, Rows(3, 2, 24, kSix)),
      Bmp(40, 3, 2, 32, {}, Rows(3, 2, 32, kSix)),
  };
  for (const Bytes& file : files) {
    RgbaImage img;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), kNoColourKey, img));
    ASSERT_EQ(img.width, 3);
    ASSERT_EQ(img.height, 2);
    ASSERT_EQ(img.pixels.size(), 24u);
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(At(img, i % 3, i / 3), kSix[static_cast<size_t>(i)] << 8 | 0xFF) << i;
  }
}

TEST(Bmp, FivePixelRowsArePaddedToTwentyAndEightBytes) {
  // Two rows written by hand; the second stored row starts after the padding.
  Bytes rows32, rows8;
  for (int r = 0; r < 2; ++r) {
    for (int x = 0; x < 5; ++x) rows32.insert(rows32.end(), {uint8_t(r), uint8_t(x), 9, 0});
    for (int x = 0; x < 5; ++x) rows8.push_back(static_cast<uint8_t>(r * 5 + x));
    rows8.insert(rows8.end(), {0xEE, 0xEE, 0xEE});
  }
  ASSERT_EQ(rows32.size(), 40u);
  ASSERT_EQ(rows8.size(), 16u);
  Bytes table;
  for (int i = 0; i < 10; ++i) table.insert(table.end(), {0, 0, uint8_t(i * 10), 0});

  RgbaImage img;
  const Bytes file32 = Bmp(40, 5, 2, 32, {}, rows32);
  ASSERT_TRUE(DecodeBmp(file32.data(), file32.size(), kNoColourKey, img));
  EXPECT_EQ(At(img, 4, 0), 0x090401FFu);  // top row = stored row 1
  EXPECT_EQ(At(img, 2, 1), 0x090200FFu);
  const Bytes file8 = Bmp(40, 5, 2, 8, table, rows8);
  ASSERT_TRUE(DecodeBmp(file8.data(), file8.size(), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x320000FFu);  // index 5
  EXPECT_EQ(At(img, 4, 1), 0x280000FFu);  // index 4
  // One byte short of the last row's padding is a short read.
  EXPECT_TRUE(BmpFails(Bytes(file32.begin(), file32.end() - 1)));
  EXPECT_TRUE(BmpFails(Bytes(file8.begin(), file8.end() - 1)));
}

TEST(Bmp, NegativeHeightLoadsUpsideDown) {
  const Bytes stored = Rows(1, 2, 24, {0x0000FF, 0xFF0000});  // stored: red row, then blue row
  for (int32_t height : {2, -2}) {
    const Bytes file = Bmp(40, 1, height, 24, {}, stored);
    RgbaImage img;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), kNoColourKey, img));
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(At(img, 0, 0), 0x0000FFFFu) << height;  // the last stored row is on top either way
    EXPECT_EQ(At(img, 0, 1), 0xFF0000FFu) << height;
  }
}

TEST(Bmp, ColourKeyMakesExactMatchesTransparentBlack) {
  const Bytes file = Bmp(40, 3, 1, 24, {}, Rows(3, 1, 24, {0x000000, 0xFF0080, 0xFF0081}));
  RgbaImage img;
  ASSERT_TRUE(DecodeBmp(file.data(), file.size(), kDefaultFontKey, img));
  EXPECT_EQ(At(img, 0, 0), 0u);
  EXPECT_EQ(At(img, 1, 0), 0xFF0080FFu);
  ASSERT_TRUE(DecodeBmp(file.data(), file.size(), kDefaultSpriteKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x000000FFu);  // black stays opaque for sprites
  EXPECT_EQ(At(img, 1, 0), 0u);
  EXPECT_EQ(At(img, 2, 0), 0xFF0081FFu);
  ASSERT_TRUE(DecodeBmp(file.data(), file.size(), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x000000FFu);
  EXPECT_EQ(At(img, 1, 0), 0xFF0080FFu);
}

TEST(Bmp, IndicesBeyondTheColourTableReadAsBlack) {
  Bytes twoEntries = {0, 0, 255, 0, 0, 255, 0, 0};  // red, green
  const Bytes rows = Rows(3, 1, 8, {1, 2, 200});
  RgbaImage img;
  const Bytes shortTable = Bmp(40, 3, 1, 8, twoEntries, rows);
  ASSERT_TRUE(DecodeBmp(shortTable.data(), shortTable.size(), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(At(img, 1, 0), 0x000000FFu);
  EXPECT_EQ(At(img, 2, 0), 0x000000FFu);
  // Offset 54: no room for a table at all. Black then takes the font key like any black pixel.
  const Bytes noTable = Bmp(40, 3, 1, 8, {}, rows);
  ASSERT_TRUE(DecodeBmp(noTable.data(), noTable.size(), kDefaultFontKey, img));
  for (int x = 0; x < 3; ++x) EXPECT_EQ(At(img, x, 0), 0u);
}

TEST(Bmp, PixelRowsFollowTheColourTableWhateverTheOffsetSays) {
  // An OS/2 8-bit table is always 256 entries; the rows come straight after it even when the offset
  // points further on.
  Bytes table(768, 0);
  table[3 * 7 + 1] = 200;  // entry 7: green 200
  const Bytes os2 = Bmp(12, 1, 1, 8, table, Rows(1, 1, 8, {7}), 14 + 12 + 768 + 16);
  RgbaImage img;
  ASSERT_TRUE(DecodeBmp(os2.data(), os2.size(), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x00C800FFu);
  // A Windows 24-bit file with an 8-byte table: the table is skipped, not read as pixels.
  const Bytes win = Bmp(40, 1, 1, 24, Bytes(8, 0xAA), Rows(1, 1, 24, {0x102030}));
  ASSERT_TRUE(DecodeBmp(win.data(), win.size(), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x102030FFu);
}

TEST(Bmp, MalformedHeadersFailAndLeaveTheImageEmpty) {
  const Bytes good = Bmp(40, 3, 2, 24, {}, Rows(3, 2, 24, kSix));
  for (size_t n = 0; n < good.size(); ++n) EXPECT_TRUE(BmpFails(Bytes(good.begin(), good.begin() + n))) << n;
  Bytes notBmp = good;
  notBmp[1] = 'X';
  EXPECT_TRUE(BmpFails(notBmp));
  EXPECT_TRUE(BmpFails(Bmp(108, 3, 2, 24, {}, Rows(3, 2, 24, kSix))));  // unknown header size
  for (uint16_t bpp : {1, 4, 16}) EXPECT_TRUE(BmpFails(Bmp(40, 4, 1, bpp, {}, Bytes(64, 0)))) << bpp;
  // The pixel offset leaves less room than the header it declares, or less than the file header.
  EXPECT_TRUE(BmpFails(Bmp(40, 3, 2, 24, {}, Rows(3, 2, 24, kSix), 14 + 20)));
  EXPECT_TRUE(BmpFails(Bmp(12, 3, 2, 24, {}, Rows(3, 2, 24, kSix), 14 + 8)));
  EXPECT_TRUE(BmpFails(Bmp(40, 3, 2, 24, {}, Rows(3, 2, 24, kSix), 10)));
  // Empty and negative widths, and a table or rows larger than the file.
  EXPECT_TRUE(BmpFails(Bmp(40, 0, 2, 24, {}, Bytes(16, 0))));
  EXPECT_TRUE(BmpFails(Bmp(40, -3, 2, 24, {}, Bytes(64, 0))));
  EXPECT_TRUE(BmpFails(Bmp(40, 0, 0, 24, {}, {})));
  EXPECT_TRUE(BmpFails(Bmp(40, 4, 1, 8, Bytes(16, 0), Bytes(4, 0), 54 + 4096)));
  EXPECT_TRUE(BmpFails(Bmp(40, 3000, 2000, 24, {}, Bytes(1024, 0))));
}

TEST(Bmp, HugeDeclaredSizesFailWithoutAllocating) {
  const Bytes tiny(64, 0);
  // Products that overflow 32 bits (and 64 bits for the stride), sizes past the caps, and the most
  // negative height, whose absolute value does not fit 32 bits.
  EXPECT_TRUE(BmpFails(Bmp(40, 0x7FFFFFFF, 0x7FFFFFFF, 32, {}, tiny)));
  EXPECT_TRUE(BmpFails(Bmp(40, 65536, 65536, 32, {}, tiny)));
  EXPECT_TRUE(BmpFails(Bmp(40, 1, INT32_MIN, 24, {}, tiny)));
  EXPECT_TRUE(BmpFails(Bmp(40, kMaxImageSide, kMaxImageSide, 8, {}, tiny)));
  // Wider than the side cap even though the file holds every byte of the row.
  EXPECT_TRUE(BmpFails(Bmp(40, kMaxImageSide + 1, 1, 8, {}, Bytes(kMaxImageSide + 4, 0))));
  // An OS/2 24 or 32-bit file whose offset asks for a colour table of 2^24 or 2^32 entries.
  EXPECT_TRUE(BmpFails(Bmp(12, 1, 1, 24, {}, Bytes(4096, 0), 4096)));
  EXPECT_TRUE(BmpFails(Bmp(12, 1, 1, 32, {}, Bytes(4096, 0), 4096)));
  // A Windows table length near 4 GiB.
  EXPECT_TRUE(BmpFails(Bmp(40, 1, 1, 8, {}, tiny, 0xFFFFFFF0)));
}

// ---- PNG ----

struct PngSink {
  Bytes bytes;
};

void WriteToSink(png_structp png, png_bytep data, png_size_t n) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  sink->bytes.insert(sink->bytes.end(), data, data + n);
}

struct PngRecipe {
  int width = 1;
  int height = 1;
  int colourType = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  Bytes samples;  // rows top first, packed as the PNG stores them (16-bit big-endian)
  std::vector<png_color> palette;
  Bytes paletteAlpha;             // tRNS for palette pictures
  int trnsGrey = -1;              // tRNS for grey pictures
  int trnsRgb[3] = {-1, -1, -1};  // tRNS for RGB pictures
  bool interlaced = false;
};

bool WritePng(const PngRecipe& recipe, png_structp png, png_infop info, PngSink& sink) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &sink, WriteToSink, nullptr);
  png_set_IHDR(png, info, recipe.width, recipe.height, recipe.depth, recipe.colourType,
               recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!recipe.palette.empty())
    png_set_PLTE(png, info, recipe.palette.data(), static_cast<int>(recipe.palette.size()));
  if (!recipe.paletteAlpha.empty()) {
    png_set_tRNS(png, info, recipe.paletteAlpha.data(), static_cast<int>(recipe.paletteAlpha.size()),
                 nullptr);
  }
  if (recipe.trnsGrey >= 0 || recipe.trnsRgb[0] >= 0) {
    png_color_16 colour{};
    colour.gray = static_cast<png_uint_16>(recipe.trnsGrey);
    colour.red = static_cast<png_uint_16>(recipe.trnsRgb[0]);
    colour.green = static_cast<png_uint_16>(recipe.trnsRgb[1]);
    colour.blue = static_cast<png_uint_16>(recipe.trnsRgb[2]);
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  png_write_info(png, info);
  const size_t rowBytes = recipe.samples.size() / static_cast<size_t>(recipe.height);
  std::vector<png_bytep> rows;
  for (int y = 0; y < recipe.height; ++y) {
    rows.push_back(const_cast<png_bytep>(recipe.samples.data()) + static_cast<size_t>(y) * rowBytes);
  }
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

Bytes Png(const PngRecipe& recipe) {
  PngSink sink;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool ok = WritePng(recipe, png, info, sink);
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok) << "could not write the test PNG";
  return sink.bytes;
}

Bytes RgbPng(int width, const Bytes& samples, int colourType = PNG_COLOR_TYPE_RGB) {
  PngRecipe recipe;
  recipe.width = width;
  recipe.colourType = colourType;
  recipe.samples = samples;
  return Png(recipe);
}

bool Decode(const Bytes& file, uint32_t key, RgbaImage& img) {
  return DecodePng(file.data(), file.size(), key, "test.png", img);
}

bool PngFailsQuietly(const Bytes& file) {
  RgbaImage img{1, 1, {1, 2, 3, 4}};
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const bool ok = Decode(file, kDefaultSpriteKey, img);
  const std::string out = testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();  // libpng's own complaints
  EXPECT_EQ(out, "");
  ExpectEmpty(img);
  return !ok;
}

TEST(Png, RgbPixelsOfExactlyTheKeyBecomeTransparentBlack) {
  const Bytes file = RgbPng(3, {255, 0, 128, 255, 0, 129, 0, 0, 0});
  RgbaImage img;
  ASSERT_TRUE(Decode(file, kDefaultSpriteKey, img));
  ASSERT_EQ(img.width, 3);
  EXPECT_EQ(At(img, 0, 0), 0u);
  EXPECT_EQ(At(img, 1, 0), 0xFF0081FFu);
  EXPECT_EQ(At(img, 2, 0), 0x000000FFu);
  ASSERT_TRUE(Decode(file, kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0xFF0080FFu);
}

TEST(Png, OwnAlphaAndGreyAreNeverKeyed) {
  RgbaImage img;
  ASSERT_TRUE(
      Decode(RgbPng(2, {255, 0, 128, 200, 1, 2, 3, 0}, PNG_COLOR_TYPE_RGB_ALPHA), kDefaultSpriteKey, img));
  EXPECT_EQ(At(img, 0, 0), 0xFF0080C8u);
  EXPECT_EQ(At(img, 1, 0), 0x01020300u);
  ASSERT_TRUE(Decode(RgbPng(2, {0, 77}, PNG_COLOR_TYPE_GRAY), kDefaultFontKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x000000FFu);
  EXPECT_EQ(At(img, 1, 0), 0x4D4D4DFFu);
}

TEST(Png, PaletteLowDepthSixteenBitAndInterlacedPicturesAreConverted) {
  RgbaImage img;
  PngRecipe palette;
  palette.width = 4;
  palette.colourType = PNG_COLOR_TYPE_PALETTE;
  palette.depth = 2;
  palette.palette = {{255, 0, 128}, {10, 20, 30}, {40, 50, 60}};
  palette.samples = {0b00011000};  // indices 0, 1, 2, 0
  ASSERT_TRUE(Decode(Png(palette), kDefaultSpriteKey, img));
  // A palette picture without transparency has 3 channels and takes the key.
  EXPECT_EQ(At(img, 0, 0), 0u);
  EXPECT_EQ(At(img, 1, 0), 0x0A141EFFu);
  EXPECT_EQ(At(img, 2, 0), 0x28323CFFu);
  palette.paletteAlpha = {255, 100};
  ASSERT_TRUE(Decode(Png(palette), kDefaultSpriteKey, img));
  EXPECT_EQ(At(img, 0, 0), 0xFF0080FFu);  // now 4 channels: its own alpha rules
  EXPECT_EQ(At(img, 1, 0), 0x0A141E64u);
  EXPECT_EQ(At(img, 2, 0), 0x28323CFFu);

  PngRecipe grey1;
  grey1.width = 3;
  grey1.colourType = PNG_COLOR_TYPE_GRAY;
  grey1.depth = 1;
  grey1.samples = {0b10100000};
  ASSERT_TRUE(Decode(Png(grey1), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(At(img, 1, 0), 0x000000FFu);

  PngRecipe deep;
  deep.colourType = PNG_COLOR_TYPE_RGB;
  deep.depth = 16;
  deep.samples = {0xAB, 0xCD, 0x12, 0x34, 0xFE, 0xDC};
  ASSERT_TRUE(Decode(Png(deep), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0xAB12FEFFu);

  PngRecipe rgbTrns;
  rgbTrns.width = 2;
  rgbTrns.samples = {1, 2, 3, 4, 5, 6};
  rgbTrns.trnsRgb[0] = 1, rgbTrns.trnsRgb[1] = 2, rgbTrns.trnsRgb[2] = 3;
  ASSERT_TRUE(Decode(Png(rgbTrns), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0x01020300u);
  EXPECT_EQ(At(img, 1, 0), 0x040506FFu);

  PngRecipe plain, interlaced;
  plain.width = interlaced.width = 9;
  plain.height = interlaced.height = 7;
  for (int i = 0; i < 9 * 7 * 3; ++i) plain.samples.push_back(static_cast<uint8_t>(i * 37));
  interlaced.samples = plain.samples;
  interlaced.interlaced = true;
  RgbaImage expected;
  ASSERT_TRUE(Decode(Png(plain), kNoColourKey, expected));
  ASSERT_TRUE(Decode(Png(interlaced), kNoColourKey, img));
  EXPECT_EQ(img.pixels, expected.pixels);
  EXPECT_EQ(At(img, 8, 6), uint32_t{uint8_t(186 * 37)} << 24 | uint32_t{uint8_t(187 * 37)} << 16 |
                               uint32_t{uint8_t(188 * 37)} << 8 | 0xFF);
}

TEST(Png, TwoChannelPicturesFailWithoutAMessage) {
  EXPECT_TRUE(PngFailsQuietly(RgbPng(1, {9, 200}, PNG_COLOR_TYPE_GRAY_ALPHA)));
  PngRecipe greyTrns;
  greyTrns.colourType = PNG_COLOR_TYPE_GRAY;
  greyTrns.samples = {5};
  greyTrns.trnsGrey = 5;
  EXPECT_TRUE(PngFailsQuietly(Png(greyTrns)));
}

TEST(Png, UnsupportedLayoutsPrintTheirMessages) {
  // After the conversions every PNG libpng accepts is 8-bit grey, RGB or RGBA, so these are checked on
  // the layout test itself.
  testing::internal::CaptureStdout();
  EXPECT_FALSE(CheckPngLayout(3, 16, PNG_COLOR_TYPE_RGB, "Graphic/a.png"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "File Graphic/a.png has bit depth 16.\nOnly bit depth of 8 is supported.\n");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(CheckPngLayout(3, 8, PNG_COLOR_TYPE_PALETTE, "Graphic/b.png"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "File Graphic/b.png has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(CheckPngLayout(2, 16, PNG_COLOR_TYPE_GRAY_ALPHA, "c.png"));
  EXPECT_TRUE(CheckPngLayout(4, 8, PNG_COLOR_TYPE_RGB_ALPHA, "d.png"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Sets the IHDR width and height of a PNG written by Png() and mends the chunk's CRC.
Bytes WithDeclaredSize(Bytes file, uint32_t width, uint32_t height) {
  const size_t ihdr = 8 + 8;  // signature, then length and type of the first chunk
  for (int i = 0; i < 4; ++i) {
    file[ihdr + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
    file[ihdr + 4 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, file.data() + 12, 4 + 13);
  for (int i = 0; i < 4; ++i) file[ihdr + 13 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  return file;
}

TEST(Png, TruncatedCorruptAndOversizedFilesFail) {
  const Bytes good = RgbPng(2, {1, 2, 3, 4, 5, 6});
  RgbaImage img;
  ASSERT_TRUE(Decode(good, kNoColourKey, img));
  ASSERT_TRUE(Decode(WithDeclaredSize(good, 2, 1), kNoColourKey, img));  // the patch itself is sound
  for (size_t n = 0; n < good.size(); n += 3) {
    EXPECT_TRUE(PngFailsQuietly(Bytes(good.begin(), good.begin() + static_cast<long>(n)))) << n;
  }
  Bytes garbage = good;
  for (size_t i = 8; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 91);
  EXPECT_TRUE(PngFailsQuietly(garbage));
  Bytes badData = good;
  badData[badData.size() - 12 - 10] ^= 0xFF;  // inside the image data chunk
  EXPECT_TRUE(PngFailsQuietly(badData));
  EXPECT_TRUE(PngFailsQuietly(WithDeclaredSize(good, kMaxImageSide + 1, 1)));
  EXPECT_TRUE(PngFailsQuietly(WithDeclaredSize(good, kMaxImageSide, kMaxImageSide)));
  EXPECT_TRUE(PngFailsQuietly(WithDeclaredSize(good, 0x7FFFFFFF, 0x7FFFFFFF)));
  EXPECT_TRUE(PngFailsQuietly(Bmp(40, 1, 1, 24, {}, Rows(1, 1, 24, {0}))));
}

// `file` with a chunk of `type` and `data` put right after the header chunk; `claimed` replaces the
// length written before it (the CRC is of the data given).
Bytes WithChunkAfterHeader(const Bytes& file, const char* type, const Bytes& data, int64_t claimed = -1) {
  const size_t afterHeader = 8 + 8 + 13 + 4;
  Bytes chunk;
  const uint32_t length = claimed >= 0 ? static_cast<uint32_t>(claimed) : static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(length >> (24 - 8 * i)));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(4 + data.size()));
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
  Bytes out = file;
  out.insert(out.begin() + static_cast<long>(afterHeader), chunk.begin(), chunk.end());
  return out;
}

TEST(Png, AncillaryChunksAreSkippedUnreadWhateverSizeTheyClaim) {
  const Bytes good = RgbPng(3, {10, 20, 30, 40, 50, 60, 70, 80, 90});
  RgbaImage plain;
  ASSERT_TRUE(Decode(good, kNoColourKey, plain));
  // Sound chunks of every kind the decoder passes over leave the pixels as they are: no gamma, colour
  // profile, background or significant bits is applied to them.
  Bytes many = good;
  many = WithChunkAfterHeader(many, "gAMA", {0, 0, 0x27, 0x10});  // gamma 0.1
  many = WithChunkAfterHeader(many, "sBIT", {2, 2, 2});
  many = WithChunkAfterHeader(many, "bKGD", {0, 255, 0, 0, 0, 0});
  many = WithChunkAfterHeader(many, "sPLT", {'p', 0, 8, 1, 2, 3, 4, 0, 1});
  many = WithChunkAfterHeader(many, "tEXt", {'a', 0, 'b'});
  many = WithChunkAfterHeader(many, "pHYs", {0, 0, 0, 1, 0, 0, 0, 1, 0});
  RgbaImage decorated;
  ASSERT_TRUE(Decode(many, kNoColourKey, decorated));
  EXPECT_EQ(decorated.pixels, plain.pixels);
  // A chunk claiming well over a gigabyte in a file of a few dozen bytes: refused, and the memory is
  // never asked for (libpng read such chunks into a buffer of the claimed length).
  for (const char* type : {"sPLT", "iCCP", "zTXt", "eXIf", "tIME", "unKn"}) {
    const Bytes crafted = WithChunkAfterHeader(good, type, {}, 0x62000000);
    EXPECT_TRUE(PngFailsQuietly(crafted)) << type;
    EXPECT_LT(testing_support::PeakAddressSpaceGrowthKiB([&] {
                RgbaImage img;
                testing::internal::CaptureStderr();
                (void)Decode(crafted, kNoColourKey, img);
                testing::internal::GetCapturedStderr();
              }),
              64 * 1024)
        << type;
  }
}

TEST(Png, DeclaredSizesTheDataCannotFillAreRefusedBeforeAnyRowIsAllocated) {
  // A 2 x 1 RGBA picture that claims 8192 x 8192 (256 MiB of rows) with a few bytes of data.
  const Bytes small = RgbPng(2, {1, 2, 3, 4, 5, 6, 7, 8}, PNG_COLOR_TYPE_RGB_ALPHA);
  const Bytes crafted = WithDeclaredSize(small, 8192, 8192);
  EXPECT_LT(crafted.size(), 100u);
  EXPECT_TRUE(PngFailsQuietly(crafted));
  EXPECT_LT(testing_support::PeakMemoryGrowthKiB([&] {
              RgbaImage img;
              testing::internal::CaptureStderr();
              (void)Decode(crafted, kNoColourKey, img);
              testing::internal::GetCapturedStderr();
            }),
            16 * 1024);

  // The most compressible picture of that kind still loads: 2048 x 2048 grey zeros compress about a
  // thousand to one, the most deflate can.
  PngRecipe zeros;
  zeros.width = zeros.height = 2048;
  zeros.colourType = PNG_COLOR_TYPE_GRAY;
  zeros.samples.assign(size_t{2048} * 2048, 0);
  const Bytes file = Png(zeros);
  EXPECT_LT(file.size(), size_t{2049} * 2048 / 500);
  RgbaImage img;
  ASSERT_TRUE(Decode(file, kNoColourKey, img));
  EXPECT_EQ(img.width, 2048);
  EXPECT_EQ(At(img, 2047, 2047), 0x000000FFu);  // opaque black
}

TEST(ImageFile, FifosAndDevicesAreRefusedWithoutWaiting) {
  testing_support::HangGuard guard(30);
  testing_support::TempDir dir;
  testing_support::MakeFifo(dir.File("pipe.png"));
  RgbaImage img;
  EXPECT_FALSE(DecodeImageFile(dir.File("pipe.png"), kNoColourKey, img));
  EXPECT_FALSE(DecodeImageFile("/dev/zero", kNoColourKey, img));
  ExpectEmpty(img);
}

TEST(ImageFile, BmpAndPngFilesAreRecognisedAndBadFilesRefused) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir.File("a.bmp"), Bmp(40, 1, 1, 24, {}, Rows(1, 1, 24, {0x000000})));
  testing_support::WriteFile(dir.File("b.png"), RgbPng(1, {255, 0, 128}));
  testing_support::WriteFile(dir.File("empty.png"), {});
  testing_support::WriteText(dir.File("text.bmp"), "not a picture");
  RgbaImage img;
  ASSERT_TRUE(DecodeImageFile(dir.File("a.bmp"), kDefaultFontKey, img));
  EXPECT_EQ(At(img, 0, 0), 0u);
  ASSERT_TRUE(DecodeImageFile(dir.File("b.png"), kNoColourKey, img));
  EXPECT_EQ(At(img, 0, 0), 0xFF0080FFu);
  EXPECT_FALSE(DecodeImageFile(dir.File("missing.png"), kNoColourKey, img));
  ExpectEmpty(img);
  EXPECT_FALSE(DecodeImageFile(dir.File("empty.png"), kNoColourKey, img));
  EXPECT_FALSE(DecodeImageFile(dir.File("text.bmp"), kNoColourKey, img));
  EXPECT_FALSE(DecodeImageFile(dir.path(), kNoColourKey, img));
  // A valid picture followed by enough bytes to pass the file cap is refused unread (sparse file).
  const std::string huge = dir.File("huge.bmp");
  testing_support::WriteFile(huge, Bmp(40, 1, 1, 24, {}, Rows(1, 1, 24, {0x000000})));
  ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxImageFileBytes + 1)), 0);
  EXPECT_FALSE(DecodeImageFile(huge, kNoColourKey, img));
  ExpectEmpty(img);
}

// Random byte changes to valid files: every result is either a consistent picture or an empty failure.
// Run under the address sanitizer this also catches reads past the input.
TEST(ImageFuzz, DamagedFilesDecodeConsistentlyOrFailEmpty) {
  Bytes os2Table(768, 0x40);
  const Bytes seeds[] = {
      Bmp(12, 5, 3, 8, os2Table, Rows(5, 3, 8, std::vector<uint32_t>(15, 3))),
      Bmp(40, 5, 3, 32, {}, Rows(5, 3, 32, std::vector<uint32_t>(15, 0x123456))),
      RgbPng(3, {1, 2, 3, 4, 5, 6, 7, 8, 9}),
  };
  uint32_t state = 12345;
  auto next = [&state] { return state = state * 1103515245u + 12345u, state >> 8; };
  testing::internal::CaptureStderr();
  for (const Bytes& seed : seeds) {
    for (int round = 0; round < 600; ++round) {
      Bytes file = seed;
      const int changes = 1 + static_cast<int>(next() % 4);
      for (int i = 0; i < changes; ++i) file[next() % file.size()] = static_cast<uint8_t>(next());
      if (next() % 4 == 0) file.resize(next() % file.size());
      RgbaImage img;
      const bool ok = DecodeBmp(file.data(), file.size(), kDefaultSpriteKey, img) ||
                      DecodePng(file.data(), file.size(), kDefaultSpriteKey, "fuzz.png", img);
      if (ok) {
        ASSERT_TRUE(ImageSizeAllowed(img.width, img.height));
        ASSERT_EQ(img.pixels.size(), static_cast<size_t>(img.width) * img.height * 4);
      } else {
        ASSERT_EQ(img.width, 0);
        ASSERT_TRUE(img.pixels.empty());
      }
    }
  }
  testing::internal::GetCapturedStderr();
}

// ---- Texture staging ----

// Texel (col, row) of the staging buffer as 0xRRGGBBAA.
void SetPixelBytes(uint8_t* p, uint32_t rgba) {
  p[0] = uint8_t(rgba >> 24), p[1] = uint8_t(rgba >> 16), p[2] = uint8_t(rgba >> 8), p[3] = uint8_t(rgba);
}

uint32_t Texel(const TextureStaging& s, int col, int row) {
  const uint8_t* p = s.texels.data() + (static_cast<size_t>(row) * s.texWidth + col) * 4;
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

RgbaImage Filled(int width, int height, uint32_t rgba) {
  RgbaImage img{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (size_t i = 0; i < img.pixels.size(); i += 4) SetPixelBytes(img.pixels.data() + i, rgba);
  return img;
}

void SetPixel(RgbaImage& img, int x, int y, uint32_t rgba) {
  SetPixelBytes(img.pixels.data() + (static_cast<size_t>(y) * img.width + x) * 4, rgba);
}

TEST(Staging, TextureSizesArePowersOfTwoOfAtLeastTwo) {
  const std::pair<int, int> cases[] = {{1, 2},   {2, 2},     {3, 4},        {16, 16},
                                       {17, 32}, {100, 128}, {16384, 16384}};
  for (auto [n, size] : cases) EXPECT_EQ(TextureSizeFor(n), size) << n;
}

TEST(Staging, PictureLandsFlippedInTheBottomLeftCorner) {
  TextureStaging s;
  ASSERT_TRUE(BuildTextureStaging(Filled(1, 1, 0x11223344), 0, 0, 0, 0, 4096, true, s));
  EXPECT_EQ(s.texWidth, 2);
  EXPECT_EQ(s.texHeight, 2);
  EXPECT_EQ(Texel(s, 0, 0), 0x11223344u);
  EXPECT_EQ(Texel(s, 1, 1), 0u);

  RgbaImage img = Filled(100, 50, 0);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 100; ++x) SetPixel(img, x, y, uint32_t(x) << 24 | uint32_t(y) << 16 | 0xFF);
  }
  ASSERT_TRUE(BuildTextureStaging(img, 0, 0, 0, 0, 4096, true, s));
  ASSERT_EQ(s.texWidth, 128);
  ASSERT_EQ(s.texHeight, 64);
  ASSERT_EQ(s.texels.size(), 128u * 64 * 4);
  int mismatches = 0;
  for (int row = 0; row < 64; ++row) {
    for (int col = 0; col < 128; ++col) {
      const uint32_t want =
          (col < 100 && row < 50) ? uint32_t(col) << 24 | uint32_t(49 - row) << 16 | 0xFF : 0;
      mismatches += Texel(s, col, row) != want;
    }
  }
  EXPECT_EQ(mismatches, 0);

  // A 16 x 16 tile out of the middle, and a rectangle hanging over the right edge of the picture.
  ASSERT_TRUE(BuildTextureStaging(img, 80, 20, 16, 16, 4096, true, s));
  EXPECT_EQ(s.texWidth, 16);
  EXPECT_EQ(Texel(s, 0, 15), 0x501400FFu);  // top-left of the tile: pixel (80, 20)
  EXPECT_EQ(Texel(s, 15, 0), 0x5F2300FFu);  // bottom-right: pixel (95, 35)
  ASSERT_TRUE(BuildTextureStaging(img, 96, 0, 8, 2, 4096, true, s));
  EXPECT_EQ(s.width, 8);
  EXPECT_EQ(Texel(s, 3, 1), 0x630000FFu);
  EXPECT_EQ(Texel(s, 4, 1), 0u);
}

TEST(Staging, SizeLimitAndEmptyRectangles) {
  TextureStaging s;
  ASSERT_TRUE(BuildTextureStaging(Filled(100, 50, 0xFFFFFFFF), 0, 0, 0, 0, 64, true, s));
  EXPECT_EQ(s.width, 64);
  EXPECT_EQ(s.texWidth, 64);
  EXPECT_EQ(s.texHeight, 64);
  EXPECT_EQ(Texel(s, 63, 49), 0xFFFFFFFFu);
  EXPECT_EQ(Texel(s, 0, 50), 0u);
  const RgbaImage img = Filled(4, 4, 0xFFFFFFFF);
  EXPECT_FALSE(BuildTextureStaging(img, 4, 0, 0, 1, 4096, true, s));  // default width reaches 0
  EXPECT_FALSE(BuildTextureStaging(img, 0, 5, 1, 0, 4096, true, s));
  EXPECT_FALSE(BuildTextureStaging(img, 0, 0, -2, 1, 4096, true, s));
  EXPECT_FALSE(BuildTextureStaging(RgbaImage{}, 0, 0, 0, 0, 4096, false, s));
  EXPECT_TRUE(s.texels.empty());
}

TEST(Staging, SpriteModeFillsTransparentTexelsFromOpaqueNeighbours) {
  // 8 x 8 picture, so texel row = 7 - picture row.
  RgbaImage img = Filled(8, 8, 0);
  SetPixel(img, 3, 4, 0xFF0000FF);  // texel (3, 3)
  SetPixel(img, 5, 4, 0x000065FF);  // texel (5, 3)
  // Opaque texels on each of the four outermost lines: (0, 4), (7, 1), (4, 0) and (3, 7).
  SetPixel(img, 0, 3, 0x00FF00FF);
  SetPixel(img, 7, 6, 0x10203080);
  SetPixel(img, 4, 7, 0x00FF00FF);
  SetPixel(img, 3, 0, 0x00FF00FF);
  SetPixel(img, 6, 2, 0xABCDEF00);  // texel (6, 5): transparent with a colour of its own
  TextureStaging sprite;
  ASSERT_TRUE(BuildTextureStaging(img, 0, 0, 0, 0, 4096, false, sprite));
  EXPECT_EQ(Texel(sprite, 2, 2), 0xFF000000u);  // next to red only
  EXPECT_EQ(Texel(sprite, 4, 3), 0x7F003200u);  // between red and (0, 0, 101): averages truncated
  EXPECT_EQ(Texel(sprite, 3, 3), 0xFF0000FFu);  // opaque texels are untouched
  for (auto [col, row] : {std::pair{1, 4}, {6, 1}, {4, 1}, {3, 6}}) {
    EXPECT_EQ(Texel(sprite, col, row), 0u) << col << "," << row;  // only neighbour lies on the border
  }
  EXPECT_EQ(Texel(sprite, 6, 5), 0u);  // no opaque neighbour: its colour goes to black
  EXPECT_EQ(Texel(sprite, 7, 1), 0x10203080u);
  TextureStaging font;
  ASSERT_TRUE(BuildTextureStaging(img, 0, 0, 0, 0, 4096, true, font));
  EXPECT_EQ(Texel(font, 2, 2), 0u);
  EXPECT_EQ(Texel(font, 6, 5), 0xABCDEF00u);
}

// The colour fill of sprite mode done the plain way, over every texel of the texture.
void FillEveryTexel(TextureStaging& s) {
  for (int row = 0; row < s.texHeight; ++row) {
    for (int col = 0; col < s.texWidth; ++col) {
      uint8_t* t = &s.texels[(static_cast<size_t>(row) * s.texWidth + col) * 4];
      if (t[3] != 0) continue;
      int sum[3] = {0, 0, 0}, count = 0;
      for (int r = row - 1; r <= row + 1; ++r) {
        for (int c = col - 1; c <= col + 1; ++c) {
          if ((r == row && c == col) || r < 1 || r > s.texHeight - 2 || c < 1 || c > s.texWidth - 2) continue;
          const uint8_t* n = &s.texels[(static_cast<size_t>(r) * s.texWidth + c) * 4];
          if (n[3] == 0) continue;
          for (int k = 0; k < 3; ++k) sum[k] += n[k];
          ++count;
        }
      }
      for (int k = 0; k < 3; ++k) t[k] = static_cast<uint8_t>(count ? sum[k] / count : 0);
    }
  }
}

TEST(Staging, SpriteFillMatchesFillingEveryTexelWhereverTheRectangleLies) {
  // Edge tiles of a background hang over the picture's right and bottom edges, so most of their
  // texture lies beyond the picture; the fill there must still match the plain fill texel for texel.
  std::mt19937 random(7);
  RgbaImage img = Filled(37, 29, 0);
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      // About half transparent, transparent ones with colours of their own.
      const uint32_t colour = static_cast<uint32_t>(random()) & 0xFFFFFF00u;
      SetPixel(img, x, y, colour | (random() % 2 ? 0xFFu : 0u));
    }
  }
  const int rects[][4] = {{0, 0, 0, 0},     {0, 0, 64, 64}, {32, 0, 32, 32},  {0, 24, 16, 16},
                          {30, 20, 16, 16}, {-3, -2, 8, 8}, {36, 28, 32, 32}, {5, 6, 3, 2},
                          {40, 0, 8, 8},    {0, 29, 4, 4}};
  for (const auto& r : rects) {
    TextureStaging sprite, plain;
    ASSERT_TRUE(BuildTextureStaging(img, r[0], r[1], r[2], r[3], 4096, false, sprite));
    ASSERT_TRUE(BuildTextureStaging(img, r[0], r[1], r[2], r[3], 4096, true, plain));
    FillEveryTexel(plain);
    EXPECT_EQ(sprite.texels, plain.texels) << r[0] << "," << r[1] << " " << r[2] << "x" << r[3];
  }
}

}  // namespace
