// The game's letter shapes: one 5 x 8 pattern for every printable character 32 to 126. Rows 0 to 6
// hold capitals, digits and the x-height letters; row 7 is only for the tails of g, j, p, q and y.
// All three fonts (score line, small runtime font, menu letters) are grown from these shapes.
#pragma once

namespace art {

constexpr int kGlyphCols = 5;
constexpr int kGlyphRows = 8;
constexpr int kFirstGlyphCode = 32;
constexpr int kLastGlyphCode = 126;

// True when the pattern of `code` has ink at (col, row); codes outside 32 to 126 are blank.
bool GlyphInk(int code, int col, int row);

}  // namespace art
