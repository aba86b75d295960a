// The renderer object: construction, the 2D view, slot selection, alpha mode, background sets and the
// vertex batch. Without a GL context (headless) the state is kept and no GL call is made.
#include "runtime/gfx2d/Renderer2D.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "runtime/core/Archive.h"
#include "runtime/core/RuntimeContext.h"

namespace {

// Texels whose alpha exceeds 0.05 are drawn: 13 (0.051) is, 12 (0.047) is not. Some GLs (Mesa's
// software rasteriser among them) round the reference to 8 bits before comparing, which turns 0.05 into
// 13/255 and would drop alpha 13; 0.049 rounds to 12/255 and splits 12 from 13 the same way either way.
constexpr float kAlphaReference = 0.049f;

}  // namespace

OpenGLVezovede::OpenGLVezovede()
    : sprites(new SpriteSlot[kSpriteSlots]()), backgrounds(new BackgroundSet[kBackgroundSets]()) {}

OpenGLVezovede::~OpenGLVezovede() {
  if (glReady) {
    for (int s = 0; s < kSpriteSlots; ++s) EmptySlot(s);
    for (int b = 0; b < kBackgroundSets; ++b) DiscardBackgroundSet(b);
  }
}

void OpenGLVezovede::StartGl() {
  glReady = true;
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  // A GL that answers nonsense still gets textures of a workable size.
  maxTextureSize = maxSize >= 64 ? maxSize : 64;
  ResetView2D(0, 0, 0, 0);
}

void OpenGLVezovede::ResetView2D(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) {
    w = width;
    h = height;
  }
  viewX = x;
  viewY = y;
  viewWidth = w;
  viewHeight = h;
  smoothing = true;
  if (!glReady) return;
  glViewport(x, height - h - y, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w, h, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glFrontFace(GL_CCW);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, kAlphaReference);
  glColor4f(1, 1, 1, 1);
  glClearColor(0, 0, 0, 1);
  glShadeModel(GL_FLAT);
  for (GLenum cap : {GL_DITHER, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH, GL_STENCIL_TEST,
                     GL_POLYGON_OFFSET_POINT, GL_COLOR_MATERIAL, GL_AUTO_NORMAL, GL_NORMALIZE, GL_LIGHTING})
    glDisable(cap);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
}

void OpenGLVezovede::SelectSlot(int slot, int second, bool useMip) {
  selectedSlot = slot;
  secondSlot = second;
  useMipTexture = useMip;
  if (!glReady) return;
  if (slot < 0 || slot >= kSpriteSlots) {
    glDisable(GL_TEXTURE_2D);
    return;
  }
  const SpriteSlot& s = sprites[slot];
  glBindTexture(GL_TEXTURE_2D, useMip ? s.mipTexture : s.texture);
  glEnable(GL_TEXTURE_2D);
}

void OpenGLVezovede::SetAlphaMode(double alphaIn) {
  float alpha = static_cast<float>(alphaIn);
  if (std::isnan(alpha)) alpha = 0;
  if (alpha != 0) {
    if (glReady) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, alpha > 0 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    }
  } else {
    if (glReady) glDisable(GL_BLEND);
    alpha = 1;
  }
  currentAlpha = std::min(1.0f, std::fabs(alpha));
  if (glReady) glColor4f(1, 1, 1, currentAlpha);
}

void OpenGLVezovede::ClearBuffers() {
  if (glReady) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void OpenGLVezovede::PrepareNextFrame() {
  if (glReady) {
    glEnable(GL_BLEND);
    glDisable(GL_BLEND);
  }
  SetAlphaMode(0);
  DrawBackgroundSet(0);
  ResetView2D(0, 0, 0, 0);
}

void OpenGLVezovede::DrawBackgroundSet(int set) {
  if (set < 0 || set >= kBackgroundSets) return;
  BackgroundSet& b = backgrounds[set];
  if (!glReady || b.columns == 0) return;
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_TEXTURE_2D);
  for (int i = 0; i < b.columns; ++i) {
    for (int j = 0; j < b.rows; ++j) {
      if (!b.tiles[i][j]) continue;
      const float t = static_cast<float>(b.tileTexWidth[i][j]);
      const float x = static_cast<float>(i) * t, y = static_cast<float>(j) * t;
      const float w = static_cast<float>(b.tileWidth[i][j]), h = static_cast<float>(b.tileHeight[i][j]);
      const float tw = static_cast<float>(b.tileTexWidth[i][j]),
                  th = static_cast<float>(b.tileTexHeight[i][j]);
      glBindTexture(GL_TEXTURE_2D, b.tiles[i][j]);
      glBegin(GL_QUADS);
      glTexCoord2f(0, 0);
      glVertex2f(x, y + h);
      glTexCoord2f(w / tw, 0);
      glVertex2f(x + w, y + h);
      glTexCoord2f(w / tw, h / th);
      glVertex2f(x + w, y);
      glTexCoord2f(0, h / th);
      glVertex2f(x, y);
      glEnd();
    }
  }
  glEnable(GL_ALPHA_TEST);
  SelectSlot(-1, -1, false);
}

void OpenGLVezovede::DiscardBackgroundSet(int set) {
  if (set < 0 || set >= kBackgroundSets) return;
  BackgroundSet& b = backgrounds[set];
  if (glReady) {
    for (int i = 0; i < b.columns; ++i)
      for (int j = 0; j < b.rows; ++j)
        if (b.tiles[i][j]) glDeleteTextures(1, &b.tiles[i][j]);
  }
  b = BackgroundSet{};
}

void OpenGLVezovede::EmptySlot(int slot) {
  if (slot < 0 || slot >= kSpriteSlots) return;
  SpriteSlot& s = sprites[slot];
  if (glReady) {
    if (s.texture) glDeleteTextures(1, &s.texture);
    if (s.mipTexture) glDeleteTextures(1, &s.mipTexture);
  }
  s.texture = s.mipTexture = 0;
  s.texWidth = s.texHeight = -1;
  s.imageWidth = s.imageHeight = 0;
}

void OpenGLVezovede::ReserveBatch(int32_t n) {
  const int32_t capacity = static_cast<int32_t>(batch.size());
  if (n < capacity) return;
  const int32_t grown = n <= kBatchFirst ? kBatchFirst : kBatchStep * (n / kBatchStep + 1);
  batch.resize(static_cast<size_t>(grown));
}

void OpenGLVezovede::DrawBatch(unsigned mode) {
  if (!glReady || batchCount <= 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(BatchVertex), &batch[0].x);
  if (selectedSlot >= 0) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), &batch[0].u);
  }
  glDrawArrays(mode, 0, batchCount);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void ClearBackBuffer() {
  Renderer2D* r = Rt().renderer;
  if (!r) return;
  r->DiscardBackgroundSet(0);
  if (r->glReady) glClear(GL_COLOR_BUFFER_BIT);
}

void LoadBackground(const std::string& path) {
  Renderer2D* r = Rt().renderer;
  if (!r) return;
  AppendErrorLog("Loadbmp");
  AppendErrorLog("Cratepacking");
  std::string resolved;
  if (!ResolveMediaPath(Rt().archives[kMediaArchive], path, resolved)) {
    AppendErrorLog("failed");
    r->DiscardBackgroundSet(0);
    if (r->glReady) glClear(GL_COLOR_BUFFER_BIT);
    return;
  }
  AppendErrorLog("OK?");
  if (r->LoadBackgroundSet(0, resolved)) {
    r->DrawBackgroundSet(0);
  } else {
    r->DiscardBackgroundSet(0);
    if (r->glReady) glClear(GL_COLOR_BUFFER_BIT);
  }
}
