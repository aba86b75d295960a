#include "tools/art/Fonts.h"

#include <cstdint>
#include <vector>

#include "tools/art/GlyphPatterns.h"
#include "tools/art/Palette.h"

namespace art {

Image MakeXFont() {
  Image font(128, 128);
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code) {
    Image cell(8, 16);
    // The letters stand one pixel into the cell, so that their rim leaves the first column clear: a
    // text printed at x 0 keeps off the screen's edge and runs of text have a clear pixel between cells.
    for (int y = 0; y < 16; ++y)
      for (int x = 2; x <= 7; ++x) {
        int col = x - 2, row = y / 2;
        // Thicken to the right, except where that would close a one-pixel gap (M, W, #).
        bool lit =
            GlyphInk(code, col, row) || (GlyphInk(code, col - 1, row) && !GlyphInk(code, col + 1, row));
        if (!lit) continue;
        Rgba c = y < 5 ? pal::kWhite : y < 9 ? pal::kGold3 : y < 13 ? pal::kGold2 : pal::kOrange;
        cell.Set(x, y, c);
      }
    Image ink = cell;
    cell.Outline(pal::kInk);
    // A drop shadow one pixel down and right deepens the rim where there is room.
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 8; ++x)
        if (ink.Solid(x, y) && !cell.Solid(x + 1, y + 1)) cell.Set(x + 1, y + 1, pal::kInk);
    font.Copy(cell, 0, 0, 8, 16, (code % 16) * 8, (code / 16) * 16);
  }
  return font;
}

Image MakeSmallFont() {
  Image font(128, 64, Rgba{0, 0, 0, 255});
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code)
    for (int row = 0; row < kGlyphRows; ++row)
      for (int col = 0; col < kGlyphCols; ++col)
        if (GlyphInk(code, col, row))
          font.Set((code % 16) * 8 + 1 + col, (code / 16) * 8 + row, Rgba{255, 255, 255, 255});
  return font;
}

Image MakeCharGlyph(int code) {
  Image glyph(32, 32);
  if (code <= 32) return glyph;
  // Capitals fit rows 0 to 6; the comma's tail reaches row 7, so it is lifted by one row.
  int firstRow = 0;
  for (int col = 0; col < kGlyphCols; ++col)
    if (GlyphInk(code, col, 7)) firstRow = 1;
  std::vector<uint8_t> mask(kGlyphCols * 7, 0);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < kGlyphCols; ++col)
      mask[row * kGlyphCols + col] = GlyphInk(code, col, row + firstRow);
  std::vector<uint8_t> smooth = Scale2x(Scale2x(mask, kGlyphCols, 7), kGlyphCols * 2, 14);
  // Thicken every stroke two pixels to the right for a bold face (22 x 28).
  const int sw = kGlyphCols * 4, w = sw + 2, h = 28, ox = 5, oy = 2;
  std::vector<uint8_t> big(size_t(w) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int k = 0; k <= 2; ++k)
        if (x - k >= 0 && x - k < sw && smooth[y * sw + x - k]) big[y * w + x] = 1;
  auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && big[y * w + x] != 0; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!ink(x, y)) continue;
      double t = double(y) / (h - 1);
      Rgba c = t < 0.35 ? Mix(pal::kGold3, pal::kGold2, t / 0.35)
                        : Mix(pal::kGold2, pal::kOrange, (t - 0.35) / 0.65);
      if (!ink(x, y - 1) || !ink(x, y - 2)) c = pal::kWhite;
      if (!ink(x, y + 1))
        c = pal::kRed1;
      else if (!ink(x + 1, y) || !ink(x, y + 2))
        c = Mix(c, pal::kRed2, 0.45);
      glyph.Set(ox + x, oy + y, c);
    }
  glyph.Outline(pal::kInk);
  glyph.Outline(pal::kInk, true);
  return glyph;
}

}  // namespace art
