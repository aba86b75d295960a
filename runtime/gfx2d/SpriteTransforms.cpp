// The runtime's further sprite draws: whole images at natural size, scaled about their centre or turned,
// and strip cells stretched or turned. The game itself draws only with DrawAnimFrame and StretchSprite.
#include <cmath>

#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/GfxNumbers.h"
#include "runtime/gfx2d/SpriteDraw.h"
#include "runtime/gfx2d/Sprites.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292;

float SafeRatio(float part, int whole) {
  return whole > 0 ? part / static_cast<float>(whole) : 0.0f;
}

// One quad of half-extents (halfW, halfH) about (cx, cy), turned by `angle` degrees counter-clockwise on
// screen, corners in the order top-right, top-left, bottom-left, bottom-right.
void DrawTurnedQuad(const SpriteSlot& slot, double cx, double cy, double halfW, double halfH, double angle,
                    float uLeft, float uRight, float vBottom, float vTop) {
  const double a = ToPixelFloat(angle) * kRadiansPerDegree;
  const double c = std::cos(a);
  const double s = std::sin(a);
  // Screen y grows downward, so a visual counter-clockwise turn maps (dx, dy) to
  // (dx cos + dy sin, -dx sin + dy cos).
  auto corner = [&](double dx, double dy, float u, float v) {
    return DrawVertex{static_cast<float>(cx + dx * c + dy * s), static_cast<float>(cy - dx * s + dy * c), u,
                      v};
  };
  const DrawVertex corners[4] = {corner(halfW, -halfH, uRight, vTop), corner(-halfW, -halfH, uLeft, vTop),
                                 corner(-halfW, halfH, uLeft, vBottom),
                                 corner(halfW, halfH, uRight, vBottom)};
  Renderer2D* r = Rt().renderer;
  r->DrawTexturedQuad(slot.texture, r->smoothing, corners);
}

}  // namespace

void DrawWholeImageQuad(const SpriteSlot& s, float left, float top, float width, float height) {
  const float uMax = SafeRatio(s.imageWidth, s.texWidth);
  const float vMax = SafeRatio(s.imageHeight, s.texHeight);
  const DrawVertex corners[4] = {{left, top + height, 0, 0},
                                 {left + width, top + height, uMax, 0},
                                 {left + width, top, uMax, vMax},
                                 {left, top, 0, vMax}};
  Renderer2D* r = Rt().renderer;
  // At its natural size (mirrored or not) the picture lands one texel on one pixel and needs no filter.
  const bool natural = std::fabs(width) == static_cast<float>(s.imageWidth) &&
                       std::fabs(height) == static_cast<float>(s.imageHeight);
  r->DrawTexturedQuad(s.texture, r->smoothing && !natural, corners);
}

void DrawSprite(double slot, double x, double y) {
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  if (!s) return;
  DrawWholeImageQuad(*s, CeilPixel(x), CeilPixel(y), s->imageWidth, s->imageHeight);
}

void DrawSpriteScaled(double slot, double x, double y, double scaleX, double scaleY) {
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  if (!s) return;
  const double w = s->imageWidth;
  const double h = s->imageHeight;
  StretchSprite(slot, x - (scaleX * w - w) / 2, y - (scaleY * h - h) / 2, scaleX * w, scaleY * h);
}

void DrawSpriteRotated(double slot, double x, double y, double angle, double scale) {
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  if (!s) return;
  const int w = s->imageWidth;
  const int h = s->imageHeight;
  // Half a texel in from the picture's edges, so that the filter never reaches the texels beyond it.
  const float uLeft = SafeRatio(0.5f, s->texWidth);
  const float uRight = SafeRatio(static_cast<float>(w) - 0.5f, s->texWidth);
  const float vBottom = SafeRatio(0.5f, s->texHeight);
  const float vTop = SafeRatio(static_cast<float>(h) - 0.5f, s->texHeight);
  const double sc = ToPixelFloat(scale);
  DrawTurnedQuad(*s, ToPixelFloat(x) + w / 2, ToPixelFloat(y) + h / 2, sc * w / 2, sc * h / 2, angle, uLeft,
                 uRight, vBottom, vTop);
}

void DrawFrameStretched(double slot, double frame, double x, double y, double width, double height) {
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  CellCoords cell;
  if (!s || !FrameCell(*s, TruncToInt32Clamped(frame), cell)) return;
  const float left = CeilPixel(x);
  const float top = CeilPixel(y);
  const float w = CeilPixel(width);
  const float h = CeilPixel(height);
  // The extra tenth of a pixel makes sure the last row and column are covered.
  const float right = left + w + 0.1f;
  const float bottom = top + h + 0.1f;
  DrawCellQuad(*s, cell, left, top, right, bottom, Rt().renderer->smoothing);
}

void DrawFrameRotated(double slot, double frame, double x, double y, double angle, double scale) {
  const SpriteSlot* s = SelectSpriteForDrawing(slot);
  CellCoords cell;
  if (!s || !FrameCell(*s, TruncToInt32Clamped(frame), cell)) return;
  const int fw = s->frameWidth;
  const int fh = s->frameHeight;
  const double sc = ToPixelFloat(scale);
  DrawTurnedQuad(*s, ToPixelFloat(x) + fw / 2, ToPixelFloat(y) + fh / 2, sc * fw / 2, sc * fh / 2, angle,
                 cell.uLeft, cell.uRight, cell.vBottom, cell.vTop);
}
