// Bitmap fonts: 32 font slots at the top of the sprite table, the current font, and text drawn as one
// vertex array of quads cut from the font picture's grid of 16 cells per row.
#include "runtime/gfx2d/Fonts.h"

#include <algorithm>

#include "runtime/core/Archive.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/BuiltinFont.h"
#include "runtime/gfx2d/GfxNumbers.h"
#include "runtime/gfx2d/Renderer2D.h"

namespace {

int ClampFont(double font) {
  return std::clamp(TruncToInt32Clamped(font), 0, kFontCount - 1);
}

// The character grid of a font picture: taller than wide means 16 rows for 256 codes, otherwise 8 rows
// for 128 codes; always 16 columns.
struct FontGrid {
  int codes = 128;
  int topRow = 7;
  int cellWidth = 0;
  int cellHeight = 0;
};

FontGrid GridOf(const SpriteSlot& s) {
  FontGrid g;
  if (s.imageWidth < s.imageHeight) {
    g.codes = 256;
    g.topRow = 15;
  }
  g.cellWidth = s.imageWidth / 16;
  g.cellHeight = s.imageHeight / (g.topRow + 1);
  return g;
}

}  // namespace

void LoadFont(const std::string& path, double font) {
  RuntimeContext& rt = Rt();
  const int n = ClampFont(font);
  rt.currentFont = n;
  Renderer2D* r = rt.renderer;
  if (!r) return;
  const int slot = kFontSlotBase + n;
  std::vector<uint8_t> file;
  if (ReadMedia(path, file) && r->LoadImageIntoSlot(slot, file, path, r->fontColourKey)) return;
  // A font slot is never left empty: the built-in font stands in for a file that cannot be used.
  r->StoreImageInSlot(slot, MakeBuiltinFontImage());
}

void SetFont(double font) {
  Rt().currentFont = ClampFont(font);
}

void GetFontSize(double& width, double& height) {
  width = height = 0;
  const Renderer2D* r = Rt().renderer;
  if (!r) return;
  const FontGrid g = GridOf(r->sprites[kFontSlotBase + Rt().currentFont]);
  width = g.cellWidth;
  height = g.cellHeight;
}

void PrintText(const std::string& text, double x, double y) {
  Renderer2D* r = Rt().renderer;
  if (!r || text.empty()) return;
  if (r->recorder)
    r->recorder(DrawRecord{DrawRecord::Kind::kText, kFontSlotBase + Rt().currentFont, 0, x, y, 0, 0, text});
  // Four vertices per character must fit the batch's 32-bit count.
  if (text.size() > static_cast<size_t>(INT32_MAX / 4)) return;
  const int slot = kFontSlotBase + Rt().currentFont;
  // The font keeps the GL_NEAREST filter it was built with.
  r->SelectSlot(slot, -1, false);
  const SpriteSlot& s = r->sprites[slot];
  const FontGrid g = GridOf(s);
  const float imageW = s.imageWidth, imageH = s.imageHeight;
  const float texW = s.texWidth, texH = s.texHeight;
  const float uCell = imageW / texW * 0.0625f;
  const float vCell = imageH / texH * (g.codes == 256 ? 0.0625f : 0.125f);
  const float cellW = static_cast<float>(g.cellWidth);
  const float cellH = static_cast<float>(g.cellHeight);
  float left = CeilPixel(x);
  const float top = CeilPixel(y);
  const float bottom = top + cellH;

  const int32_t count = static_cast<int32_t>(text.size()) * 4;
  r->ReserveBatch(count);
  r->batchCount = count;
  BatchVertex* v = r->batch.data();
  for (const char ch : text) {
    const int k = static_cast<unsigned char>(ch) % g.codes;
    const float uLeft = static_cast<float>(k % 16) * uCell;
    const float uRight = uLeft + uCell;
    const float vBottom = static_cast<float>(g.topRow - k / 16) * vCell;
    const float vTop = vBottom + vCell;
    const float right = left + cellW;
    *v++ = BatchVertex{left, bottom, 0, uLeft, vBottom};
    *v++ = BatchVertex{right, bottom, 0, uRight, vBottom};
    *v++ = BatchVertex{right, top, 0, uRight, vTop};
    *v++ = BatchVertex{left, top, 0, uLeft, vTop};
    left = right;
  }
  r->DrawBatch(DrawPrimitive::kQuads);
}
