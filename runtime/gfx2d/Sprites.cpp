// Sprite loading and the two draws the game's screens are made of: one cell of an animation strip, and a
// whole image stretched. Every draw is one immediate-mode quad with no allocation; the play field issues
// one per visible cell every frame.
#include "runtime/gfx2d/Sprites.h"

#include <GL/gl.h>

#include "runtime/core/Archive.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/GfxNumbers.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/gfx2d/SpriteDraw.h"

namespace {

// The slot as an index of the sprite table, or -1 when the number lies outside it.
int SlotIndex(double slot) {
  const int32_t n = TruncToInt32Clamped(slot);
  return n >= 0 && n < kSpriteSlots ? n : -1;
}

}  // namespace

double LoadSprite(const std::string& path, double slot) {
  Renderer2D* r = Rt().renderer;
  const int index = SlotIndex(slot);
  if (!r || index < 0) return 0;
  r->EmptySlot(index);
  std::string resolved;
  if (!ResolveMediaPath(Rt().archives[kMediaArchive], path, resolved)) return 0;
  return r->LoadImageIntoSlot(index, resolved, r->spriteColourKey) ? 1 : 0;
}

void LoadAnimStrip(const std::string& path, double slot, double frameWidth, double frameHeight) {
  Renderer2D* r = Rt().renderer;
  const int index = SlotIndex(slot);
  if (!r || index < 0) return;
  LoadSprite(std::string(path), slot);
  // A failed load leaves the slot empty but keeps the cell size it had.
  SpriteSlot& s = r->sprites[index];
  if (s.imageWidth > 0) {
    s.frameWidth = TruncToInt16Clamped(frameWidth);
    s.frameHeight = TruncToInt16Clamped(frameHeight);
  }
}

bool FrameCell(const SpriteSlot& s, int32_t frame, CellCoords& cell) {
  const int fw = s.frameWidth;
  const int fh = s.frameHeight;
  if (fw == 0 || fh == 0) return false;
  // A picture narrower than one cell (an empty slot that kept its cell size, too) has no cells.
  const int perRow = s.imageWidth / fw;
  if (perRow <= 0 || s.texWidth <= 0 || s.texHeight <= 0) return false;
  const int32_t row = frame / perRow;
  const int32_t column = frame % perRow;
  const float du = static_cast<float>(fw) / static_cast<float>(s.texWidth);
  cell.uLeft = static_cast<float>(column) * du;
  cell.uRight = cell.uLeft + du;
  // Texture rows count upward from the picture's bottom edge; rows past the last one wrap through the
  // texture's repeat mode.
  const double bottom =
      static_cast<double>(s.imageHeight) - static_cast<double>(fh) * (static_cast<double>(row) + 1);
  cell.vBottom = static_cast<float>(bottom / s.texHeight);
  cell.vTop = cell.vBottom + static_cast<float>(fh) / static_cast<float>(s.texHeight);
  cell.width = static_cast<float>(fw);
  cell.height = static_cast<float>(fh);
  return true;
}

const SpriteSlot* SelectSpriteForDrawing(double slot) {
  Renderer2D* r = Rt().renderer;
  const int index = SlotIndex(slot);
  if (!r || index < 0) return nullptr;
  r->SelectSlot(index, -1, false);
  r->ApplySmoothingFilter();
  return &r->sprites[index];
}

void DrawAnimFrame(double slot, double frame, double x, double y) {
  Renderer2D* r = Rt().renderer;
  const int index = SlotIndex(slot);
  if (!r || index < 0) return;
  CellCoords cell;
  if (!FrameCell(r->sprites[index], TruncToInt32Clamped(frame), cell)) return;
  SelectSpriteForDrawing(slot);
  if (!r->glReady) return;
  const float left = CeilPixel(x);
  const float top = CeilPixel(y);
  const float right = left + cell.width;
  const float bottom = top + cell.height;
  DrawCellQuad(cell, left, top, right, bottom);
}

void StretchSprite(double slot, double x, double y, double width, double height) {
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  if (!s || !Rt().renderer->glReady) return;
  const float left = CeilPixel(x);
  const float top = CeilPixel(y);
  DrawWholeImageQuad(*s, left, top, CeilPixel(width), CeilPixel(height));
}

void DrawCellQuad(const CellCoords& cell, float left, float top, float right, float bottom) {
  glBegin(GL_QUADS);
  glTexCoord2f(cell.uRight, cell.vTop);
  glVertex2f(right, top);
  glTexCoord2f(cell.uLeft, cell.vTop);
  glVertex2f(left, top);
  glTexCoord2f(cell.uLeft, cell.vBottom);
  glVertex2f(left, bottom);
  glTexCoord2f(cell.uRight, cell.vBottom);
  glVertex2f(right, bottom);
  glEnd();
}
