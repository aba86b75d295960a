// Building the texels of a power-of-two texture from a rectangle of a decoded picture. This is the part
// of texture upload that needs no OpenGL: the renderer hands the result straight to the GL.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/gfx2d/Image.h"

// The texels of one texture, RGBA, row 0 first. Row 0 holds the rectangle's bottom row and row
// height - 1 its top row (texture rows count upward); texels outside the rectangle are transparent.
struct TextureStaging {
  int32_t width = 0;            // rectangle width after defaults and the size limit
  int32_t height = 0;           // rectangle height after defaults and the size limit
  int32_t texWidth = 0;         // power of two, at least 2
  int32_t texHeight = 0;        // power of two, at least 2
  std::vector<uint8_t> texels;  // texWidth * texHeight * 4 bytes
};

// Smallest power of two not below n, and never below 2 (1 -> 2, 16 -> 16, 100 -> 128).
int TextureSizeFor(int n);

// Works out the sizes of the staging of the w x h rectangle at (x0, y0) (defaults and limit as below)
// without building its texels; false when the rectangle is empty.
bool StagingSizes(const RgbaImage& image, int x0, int y0, int w, int h, int maxTextureSize,
                  TextureStaging& out);

// Stages the w x h rectangle of `image` whose top-left pixel is (x0, y0); w = 0 reaches the right edge
// and h = 0 the bottom edge. Both sides are limited to maxTextureSize. Sprite mode (fontMode false) also
// fills the colour of transparent texels from their opaque neighbours, so filtered edges keep their
// colour instead of fading to black. Fails, leaving `out` empty, when the rectangle is empty.
bool BuildTextureStaging(const RgbaImage& image, int x0, int y0, int w, int h, int maxTextureSize,
                         bool fontMode, TextureStaging& out);
