// Untextured primitives. Each draws with texturing and the alpha test off and a projection shifted by
// (0.375, 0.375), so that whole-number coordinates hit pixel centres the same way on every GL.
#include "runtime/gfx2d/Primitives.h"

#include <GL/gl.h>

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

// Sets up the untextured drawing state; false without GL (nothing to draw then).
bool BeginPrimitive(double colour) {
  Renderer2D* r = Rt().renderer;
  if (!r || !r->glReady) return false;
  const uint32_t c = ColourValue(colour);
  glDisable(GL_ALPHA_TEST);
  const GLubyte alpha = c == r->spriteColourKey ? 0 : static_cast<GLubyte>(r->currentAlpha * 255.0f);
  glColor4ub(static_cast<GLubyte>(c & 0xFF), static_cast<GLubyte>((c >> 8) & 0xFF),
             static_cast<GLubyte>((c >> 16) & 0xFF), alpha);
  r->SelectSlot(-1, -1, false);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glTranslatef(0.375f, 0.375f, 0.0f);
  return true;
}

void EndPrimitive() {
  Renderer2D* r = Rt().renderer;
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glColor4f(1, 1, 1, r->currentAlpha);
  glEnable(GL_ALPHA_TEST);
}

}  // namespace

void DrawPixel(double x, double y, double colour) {
  if (!BeginPrimitive(colour)) return;
  glBegin(GL_POINTS);
  glVertex2f(CeilPixel(x), CeilPixel(y));
  glEnd();
  EndPrimitive();
}

void DrawLine(double x1, double y1, double x2, double y2, double colour) {
  if (!BeginPrimitive(colour)) return;
  const float endX = CeilPixel(x2);
  const float endY = CeilPixel(y2);
  glBegin(GL_LINES);
  glVertex2f(CeilPixel(x1), CeilPixel(y1));
  glVertex2f(endX, endY);
  glEnd();
  // A GL line leaves out its last pixel; the point puts it in.
  glBegin(GL_POINTS);
  glVertex2f(endX, endY);
  glEnd();
  EndPrimitive();
}

void FillRect(double x, double y, double width, double height, double colour) {
  if (!BeginPrimitive(colour)) return;
  const float x1 = CeilPixel(x);
  const float y1 = CeilPixel(y);
  const float x2 = x1 + CeilPixel(width);
  const float y2 = y1 + CeilPixel(height);
  // Corners sorted, so that a rectangle given with a negative size keeps its winding and is not culled.
  const float left = std::min(x1, x2), right = std::max(x1, x2);
  const float top = std::min(y1, y2), bottom = std::max(y1, y2);
  glBegin(GL_QUADS);
  glVertex2f(left, bottom);
  glVertex2f(right, bottom);
  glVertex2f(right, top);
  glVertex2f(left, top);
  glEnd();
  EndPrimitive();
}
