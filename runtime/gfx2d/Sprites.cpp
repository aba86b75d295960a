// Sprite loading and the two draws the game's screens are made of: one cell of an animation strip, and a
// whole image stretched. Every draw is one quad queued in the renderer's batch, with no allocation; the
// play field issues one per visible cell every frame.
#include "runtime/gfx2d/Sprites.h"

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
  std::vector<uint8_t> file;
  if (!ReadMedia(path, file)) return 0;
  return r->LoadImageIntoSlot(index, file, path, r->spriteColourKey) ? 1 : 0;
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
  if (!r || index < 0 || !r->drawing) return nullptr;
  r->SelectSlot(index, -1, false);
  return &r->sprites[index];
}

void DrawAnimFrame(double slot, double frame, double x, double y) {
  Renderer2D* r = Rt().renderer;
  if (!r) return;
  if (r->recorder)
    r->recorder(DrawRecord{
        DrawRecord::Kind::kCell, TruncToInt32Clamped(slot), TruncToInt32Clamped(frame), x, y, 0, 0, {}});
  if (!r->drawing) return;
  const int index = SlotIndex(slot);
  if (index < 0) return;
  const SpriteSlot& s = r->sprites[index];
  CellCoords cell;
  if (!FrameCell(s, TruncToInt32Clamped(frame), cell)) return;
  r->SelectSlot(index, -1, false);
  const float left = CeilPixel(x);
  const float top = CeilPixel(y);
  // A cell is drawn at its natural size on whole pixels: one texel per pixel, no filtering needed.
  DrawCellQuad(s, cell, left, top, left + cell.width, top + cell.height, false);
}

void StretchSprite(double slot, double x, double y, double width, double height) {
  Renderer2D* r = Rt().renderer;
  if (r && r->recorder)
    r->recorder(
        DrawRecord{DrawRecord::Kind::kStretch, TruncToInt32Clamped(slot), 0, x, y, width, height, {}});
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  if (!s) return;
  DrawWholeImageQuad(*s, CeilPixel(x), CeilPixel(y), CeilPixel(width), CeilPixel(height));
}

void DrawCellQuad(const SpriteSlot& slot, const CellCoords& cell, float left, float top, float right,
                  float bottom, bool linear) {
  const DrawVertex corners[4] = {{right, top, cell.uRight, cell.vTop},
                                 {left, top, cell.uLeft, cell.vTop},
                                 {left, bottom, cell.uLeft, cell.vBottom},
                                 {right, bottom, cell.uRight, cell.vBottom}};
  Rt().renderer->DrawTexturedQuad(slot.texture, linear, corners);
}
