// The three fonts: the score-line font "Graphic/xFont.png" (8 x 16 cells), the runtime's small
// font "smalfont.bmp" (8 x 8 cells, white on black) and the menu letters "Chars/CharN.png" (one
// 32 x 32 picture per character, bold with a dark rim so they read when stretched over the menu).
#pragma once

#include "tools/art/Canvas.h"

namespace art {

// Score-line font: 16 x 8 cells of 8 x 16 for codes 0 to 127. Each pattern pixel becomes two
// pixels tall and strokes are thickened sideways, giving mostly two-pixel strokes; a dark rim keeps
// the text readable over any floor.
Image MakeXFont();

// The runtime's small font: white 5 x 8 patterns on pure black (black is keyed out for fonts).
Image MakeSmallFont();

// One menu letter, code 32 to 95, as a 32 x 32 picture: the pattern doubled twice with corner
// smoothing (20 x 28) and made bold, filled with a gold gradient, lit along the top of every
// stroke, darkened along the bottom, and ringed twice in ink.
Image MakeCharGlyph(int code);

}  // namespace art
