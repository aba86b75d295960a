// The built-in font: a 16 x 8 grid of 8 x 8 cells drawn from 5 x 6 bit patterns, white with a dark grey
// outline so that it reads on any background.
#include "runtime/gfx2d/BuiltinFont.h"

namespace {

constexpr int kFirstCode = 32;
constexpr int kPatternCount = 96;
constexpr int kCell = 8;
constexpr int kColumns = 16;
constexpr int kImageWidth = kCell * kColumns;  // 128
constexpr int kImageHeight = kCell * 8;        // 64

// One word per code from 32 (space) to 127. The letters, digits and signs are 3 pixels wide in pattern
// columns 1..3 and 5 rows tall; row 5 holds the descenders of g, j, p, q, y and the comma.
// clang-format off
constexpr uint32_t kPatterns[kPatternCount] = {
    0x00000000, 0x00401084, 0x0000014A, 0x00A729CA, 0x006610CC, 0x00A1110A, 0x00C51144, 0x00000084,  //  !"#$%&'
    0x00821088, 0x00221082, 0x00051140, 0x00023880, 0x04420000, 0x00003800, 0x00400000, 0x00211108,  // ()*+,-./
    0x00E5294E, 0x00E210C4, 0x00E11106, 0x00641106, 0x0084394A, 0x0064184E, 0x00E5384C, 0x0042110E,  // 01234567
    0x00E5394E, 0x0064394E, 0x00020080, 0x00220080, 0x00820888, 0x000701C0, 0x00222082, 0x00401106,  // 89:;<=>?
    0x00C13944, 0x00A5394E, 0x00651946, 0x00C1084C, 0x00652946, 0x00E1184E, 0x0021184E, 0x00C5284C,  // @ABCDEFG
    0x00A5394A, 0x00E2108E, 0x00452108, 0x00A5194A, 0x00E10842, 0x00A539CA, 0x00A52946, 0x00452944,  // HIJKLMNO
    0x00211946, 0x00C32944, 0x00A51946, 0x0064104C, 0x0042108E, 0x00E5294A, 0x0045294A, 0x00A7394A,  // PQRSTUVW
    0x00A5114A, 0x0042114A, 0x00E1110E, 0x00610846, 0x00841042, 0x00C4210C, 0x00000144, 0x00E00000,  // XYZ[\]^_
    0x00000082, 0x00C52980, 0x006528C2, 0x00C10980, 0x00C52988, 0x00C13880, 0x0042388C, 0x0C862980,  // `abcdefg
    0x00A528C2, 0x00421004, 0x08A42008, 0x00A31942, 0x00E21086, 0x00A539C0, 0x00A528C0, 0x00452880,  // hijklmno
    0x046528C0, 0x10C52980, 0x00210980, 0x00641980, 0x008211C4, 0x00C52940, 0x00452940, 0x00E72940,  // pqrstuvw
    0x00A21140, 0x0C862940, 0x00E121C0, 0x00821888, 0x00421084, 0x00223082, 0x00013900, 0x00E739CE,  // xyz{|}~
};
// clang-format on

bool PatternPixel(uint32_t pattern, int column, int row) {
  if (column < 0 || column > 4 || row < 0 || row > 5) return false;
  return (pattern >> (row * 5 + column)) & 1u;
}

void SetPixel(RgbaImage& image, int x, int y, uint8_t grey) {
  uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * 4;
  p[0] = p[1] = p[2] = grey;
  p[3] = 255;
}

}  // namespace

uint32_t BuiltinGlyphPattern(int code) {
  if (code < kFirstCode || code >= kFirstCode + kPatternCount) return 0;
  return kPatterns[code - kFirstCode];
}

RgbaImage MakeBuiltinFontImage() {
  RgbaImage image;
  image.width = kImageWidth;
  image.height = kImageHeight;
  image.pixels.assign(static_cast<size_t>(kImageWidth) * kImageHeight * 4, 0);
  for (int code = kFirstCode; code < kFirstCode + kPatternCount; ++code) {
    const uint32_t pattern = BuiltinGlyphPattern(code);
    const int cellX = (code % kColumns) * kCell;
    const int cellY = (code / kColumns) * kCell;
    // The pattern sits at cell columns 1..5 and rows 1..6; cell column 7 stays clear as the spacing.
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell - 1; ++x) {
        const int c = x - 1;
        const int r = y - 1;
        if (PatternPixel(pattern, c, r)) {
          SetPixel(image, cellX + x, cellY + y, 255);
        } else if (PatternPixel(pattern, c - 1, r) || PatternPixel(pattern, c + 1, r) ||
                   PatternPixel(pattern, c, r - 1) || PatternPixel(pattern, c, r + 1)) {
          SetPixel(image, cellX + x, cellY + y, 8);
        }
      }
    }
  }
  return image;
}
