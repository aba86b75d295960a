// Untextured primitives. Each draws with the alpha test off and a view shifted by (0.375, 0.375), so
// that whole-number coordinates hit pixel centres the same way on every GL.
#include "runtime/gfx2d/Primitives.h"

#include <algorithm>

#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/GfxNumbers.h"
#include "runtime/gfx2d/Renderer2D.h"

namespace {

uint32_t ColourValue(double colour) {
  if (!(colour >= 0)) return 0;  // negative and NaN
  if (colour >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(colour);
}

// The untextured drawing state of one primitive; null renderer when nothing is drawn.
Renderer2D* BeginPrimitive(double colour, DrawPrimitive primitive, DrawState& state) {
  Renderer2D* r = Rt().renderer;
  if (!r || !r->drawing) return nullptr;
  const uint32_t c = ColourValue(colour);
  // The sprite colour key draws with alpha 0, every other colour with the current alpha.
  const int alpha = c == r->spriteColourKey ? 0 : static_cast<uint8_t>(r->currentAlpha * 255.0f);
  state = r->spriteState;
  state.textured = false;
  state.texture = 0;
  state.alphaTest = false;
  state.primitive = primitive;
  state.shift = 0.375f;
  state.colour[0] = static_cast<float>(c & 0xFF) / 255.0f;
  state.colour[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
  state.colour[2] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
  state.colour[3] = static_cast<float>(alpha) / 255.0f;
  r->SelectSlot(-1, -1, false);
  return r;
}

}  // namespace

void DrawPixel(double x, double y, double colour) {
  DrawState state;
  Renderer2D* r = BeginPrimitive(colour, DrawPrimitive::kPoints, state);
  if (!r) return;
  const DrawVertex point{CeilPixel(x), CeilPixel(y), 0, 0};
  r->backend->Draw(state, &point, 1);
}

void DrawLine(double x1, double y1, double x2, double y2, double colour) {
  DrawState state;
  Renderer2D* r = BeginPrimitive(colour, DrawPrimitive::kLines, state);
  if (!r) return;
  const float endX = CeilPixel(x2);
  const float endY = CeilPixel(y2);
  const DrawVertex line[2] = {{CeilPixel(x1), CeilPixel(y1), 0, 0}, {endX, endY, 0, 0}};
  r->backend->Draw(state, line, 2);
  // A GL line leaves out its last pixel; the point puts it in.
  state.primitive = DrawPrimitive::kPoints;
  r->backend->Draw(state, &line[1], 1);
}

void FillRect(double x, double y, double width, double height, double colour) {
  DrawState state;
  Renderer2D* r = BeginPrimitive(colour, DrawPrimitive::kQuads, state);
  if (!r) return;
  const float x1 = CeilPixel(x);
  const float y1 = CeilPixel(y);
  const float x2 = x1 + CeilPixel(width);
  const float y2 = y1 + CeilPixel(height);
  const float left = std::min(x1, x2), right = std::max(x1, x2);
  const float top = std::min(y1, y2), bottom = std::max(y1, y2);
  const DrawVertex corners[4] = {
      {left, bottom, 0, 0}, {right, bottom, 0, 0}, {right, top, 0, 0}, {left, top, 0, 0}};
  r->backend->Draw(state, corners, 4);
}
