// The runtime's own small font, used when a font file cannot be loaded: 8 x 8 cells for codes 0..127.
#pragma once

#include <cstdint>

#include "runtime/gfx2d/Image.h"

// The 5 x 6 pattern of a code from 32 to 127: bit (r * 5 + c) is column c of row r; 0 outside that range.
uint32_t BuiltinGlyphPattern(int code);
// The 128 x 64 font picture: white glyphs with a dark grey outline on transparent black.
RgbaImage MakeBuiltinFontImage();
