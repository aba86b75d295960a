// The renderer object: construction, the 2D view, slot selection, alpha mode, background sets and the
// vertex batch. All drawing goes through the backend chosen with the platform; the headless one draws
// nothing, so a run without a window keeps the state and does no drawing work.
#include "runtime/gfx2d/Renderer2D.h"

#include <algorithm>
#include <cmath>

#include "runtime/core/Archive.h"
#include "runtime/core/RuntimeContext.h"

OpenGLVezovede::OpenGLVezovede() : backend(CreateNullBackend()) {
  spriteState.textured = true;
}

OpenGLVezovede::~OpenGLVezovede() {
  if (drawing) {
    for (int s = 0; s < kSpriteSlots; ++s)
      if (sprites.Touched(s)) EmptySlot(s);
    for (int b = 0; b < kBackgroundSets; ++b)
      if (backgrounds.Touched(b)) DiscardBackgroundSet(b);
  }
}

void OpenGLVezovede::UseBackend(std::unique_ptr<DrawBackend> chosen) {
  backend = std::move(chosen);
  drawing = backend->Draws();
  maxTextureSize = backend->MaxTextureSize();
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
  backend->SetView(x, y, w, h, height);
}

void OpenGLVezovede::SelectSlot(int slot, int second, bool useMip) {
  selectedSlot = slot;
  secondSlot = second;
  useMipTexture = useMip;
  if (useMip) MipTextureOf(slot);
}

uint32_t OpenGLVezovede::MipTextureOf(int slot) {
  if (slot < 0 || slot >= kFontSlotBase || !drawing) return 0;
  SpriteSlot& s = sprites[slot];
  if (!s.mipTexture && s.texture)
    s.mipTexture = backend->CreateMipTextureFrom(s.texture, s.texWidth, s.texHeight);
  return s.mipTexture;
}

void OpenGLVezovede::SetAlphaMode(double alphaIn) {
  float alpha = static_cast<float>(alphaIn);
  if (std::isnan(alpha)) alpha = 0;
  if (alpha != 0) {
    spriteState.blend = alpha > 0 ? BlendMode::kAdditive : BlendMode::kTranslucent;
  } else {
    spriteState.blend = BlendMode::kOff;
    alpha = 1;
  }
  currentAlpha = std::min(1.0f, std::fabs(alpha));
  spriteState.colour[3] = currentAlpha;
}

void OpenGLVezovede::ClearBuffers() {
  backend->Clear();
}

bool OpenGLVezovede::BackgroundCoversScreen() const {
  const BackgroundSet& b = backgrounds[0];
  if (b.columns == 0 || b.rows == 0) return false;
  int64_t coveredWidth = 0, coveredHeight = 0;
  for (int i = 0; i < b.columns; ++i) {
    if (!b.tiles[i][0]) return false;
    coveredWidth += b.tileWidth[i][0];
  }
  for (int j = 0; j < b.rows; ++j) {
    for (int i = 0; i < b.columns; ++i)
      if (!b.tiles[i][j]) return false;
    coveredHeight += b.tileHeight[0][j];
  }
  return coveredWidth >= width && coveredHeight >= height;
}

void OpenGLVezovede::FinishDrawing() {
  backend->Flush();
}

void OpenGLVezovede::DrawTexturedQuad(uint32_t texture, bool linear, const DrawVertex corners[4]) {
  spriteState.texture = texture;
  spriteState.linear = linear;
  backend->Draw(spriteState, corners, 4);
}

void OpenGLVezovede::PrepareNextFrame() {
  SetAlphaMode(0);
  DrawBackgroundSet(0);
  ResetView2D(0, 0, 0, 0);
}

void OpenGLVezovede::DrawBackgroundSet(int set) {
  if (set < 0 || set >= kBackgroundSets) return;
  BackgroundSet& b = backgrounds[set];
  if (!drawing || b.columns == 0) return;
  // The background is opaque: no alpha test, and its tiles land one texel on one pixel.
  DrawState state = spriteState;
  state.alphaTest = false;
  for (int i = 0; i < b.columns; ++i) {
    for (int j = 0; j < b.rows; ++j) {
      if (!b.tiles[i][j]) continue;
      const float t = static_cast<float>(b.tileTexWidth[i][j]);
      const float x = static_cast<float>(i) * t, y = static_cast<float>(j) * t;
      const float w = static_cast<float>(b.tileWidth[i][j]), h = static_cast<float>(b.tileHeight[i][j]);
      const float u = w / static_cast<float>(b.tileTexWidth[i][j]);
      const float v = h / static_cast<float>(b.tileTexHeight[i][j]);
      const DrawVertex corners[4] = {{x, y + h, 0, 0}, {x + w, y + h, u, 0}, {x + w, y, u, v}, {x, y, 0, v}};
      state.texture = b.tiles[i][j];
      backend->Draw(state, corners, 4);
    }
  }
  SelectSlot(-1, -1, false);
}

void OpenGLVezovede::DiscardBackgroundSet(int set) {
  if (set < 0 || set >= kBackgroundSets) return;
  BackgroundSet& b = backgrounds[set];
  for (int i = 0; i < b.columns; ++i)
    for (int j = 0; j < b.rows; ++j)
      if (b.tiles[i][j]) backend->DeleteTexture(b.tiles[i][j]);
  b = BackgroundSet{};
}

void OpenGLVezovede::EmptySlot(int slot) {
  if (slot < 0 || slot >= kSpriteSlots) return;
  SpriteSlot& s = sprites[slot];
  if (s.texture) backend->DeleteTexture(s.texture);
  if (s.mipTexture) backend->DeleteTexture(s.mipTexture);
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

void OpenGLVezovede::DrawBatch(DrawPrimitive primitive) {
  if (!drawing || batchCount <= 0) return;
  DrawState state = spriteState;
  state.primitive = primitive;
  state.textured = selectedSlot >= 0 && selectedSlot < kSpriteSlots;
  state.texture = state.textured ? sprites[selectedSlot].texture : 0;
  state.linear = false;  // fonts keep their nearest filter
  std::vector<DrawVertex>& corners = batchCorners_;
  corners.resize(static_cast<size_t>(batchCount));
  for (int32_t i = 0; i < batchCount; ++i) {
    const BatchVertex& b = batch[static_cast<size_t>(i)];
    corners[static_cast<size_t>(i)] = DrawVertex{b.x, b.y, b.u, b.v};
  }
  backend->Draw(state, corners.data(), batchCount);
}

void ClearBackBuffer() {
  Renderer2D* r = Rt().renderer;
  if (!r) return;
  r->DiscardBackgroundSet(0);
  r->ClearBuffers();
}

void LoadBackground(const std::string& path) {
  Renderer2D* r = Rt().renderer;
  if (!r) return;
  AppendErrorLog("Loadbmp");
  AppendErrorLog("Cratepacking");
  std::vector<uint8_t> file;
  if (!ReadMedia(path, file)) {
    AppendErrorLog("failed");
    r->DiscardBackgroundSet(0);
    r->ClearBuffers();
    return;
  }
  AppendErrorLog("OK?");
  if (r->LoadBackgroundSet(0, file, path)) {
    r->DrawBackgroundSet(0);
  } else {
    r->DiscardBackgroundSet(0);
    r->ClearBuffers();
  }
}
