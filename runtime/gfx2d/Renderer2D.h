// The one 2D renderer: GL drawing state, the sprite table with its colour keys, the 2D view, the
// alpha mode, background sets and the vertex batch. Only runtime code uses it; the game calls the flat
// operations (LoadSprite, DrawAnimFrame, PrintText, ...).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/gfx2d/Image.h"

constexpr int kSpriteSlots = 65536;
constexpr int kFontSlotBase = 65504;  // font n lives in sprite slot 65504 + n
constexpr int kFontCount = 32;
constexpr int kBackgroundSets = 16;

// One entry of the sprite table.
struct SpriteSlot {
  uint32_t texture = 0;     // GL texture used by 2D drawing; 0 = none
  uint32_t mipTexture = 0;  // mipmapped copy; 0 = none
  int16_t texWidth = -1;    // power of two; -1 while empty
  int16_t texHeight = -1;
  int16_t imageWidth = 0;   // loaded image size; 0 while empty
  int16_t imageHeight = 0;
  int16_t frameWidth = 0;   // animation cell size; 0 = not cut into frames
  int16_t frameHeight = 0;
};

// A screen-sized picture held as a grid of square textures.
struct BackgroundSet {
  static constexpr int kMaxTiles = 64;
  uint32_t tiles[kMaxTiles][kMaxTiles] = {};  // [column][row]
  int32_t tileTexWidth[kMaxTiles][kMaxTiles] = {};
  int32_t tileTexHeight[kMaxTiles][kMaxTiles] = {};
  int32_t tileWidth[kMaxTiles][kMaxTiles] = {};
  int32_t tileHeight[kMaxTiles][kMaxTiles] = {};
  int32_t columns = 0;
  int32_t rows = 0;
};

struct BatchVertex {
  float x, y, z, u, v;
};

class OpenGLVezovede {
 public:
  OpenGLVezovede();
  virtual ~OpenGLVezovede();
  OpenGLVezovede(const OpenGLVezovede&) = delete;
  OpenGLVezovede& operator=(const OpenGLVezovede&) = delete;

  // Window and frame pacing.
  int width = 640, height = 480;  // screen size in pixels
  int colourBits = 0;
  bool fullScreenActive = false;
  int multisample = 0;
  double nextFrameMs = 0;      // clock time at which the next frame may be shown
  double framePeriodMs = 1000.0 / 60.0;
  bool initialised = false;
  bool glReady = false;        // a GL context exists and GL calls may be made

  // Sprite table and colour keys.
  std::unique_ptr<SpriteSlot[]> sprites;
  uint32_t spriteColourKey = kDefaultSpriteKey;
  uint32_t fontColourKey = 0;

  // Drawing state.
  std::vector<BatchVertex> batch;
  int32_t batchCount = 0;
  static constexpr int32_t kBatchStep = 128;
  static constexpr int32_t kBatchFirst = 512;
  int32_t selectedSlot = -1;
  int32_t secondSlot = -1;
  bool useMipTexture = false;
  float currentAlpha = 0.0f;
  std::unique_ptr<BackgroundSet[]> backgrounds;
  bool smoothing = true;
  int32_t viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;

  // Runs once after the GL context is current: GL state for 2D drawing.
  void StartGl();
  void ResetView2D(int x, int y, int w, int h);
  void SelectSlot(int slot, int second, bool useMip);
  void SetAlphaMode(double alpha);
  // Clears the colour and depth buffers of the picture (after a present).
  void ClearBuffers();
  // The preparation ShowFrame does after presenting: blending off, colour reset, background set 0, view.
  void PrepareNextFrame();
  void DrawBackgroundSet(int set);
  void DiscardBackgroundSet(int set);
  bool LoadBackgroundSet(int set, const std::string& path);
  // Empties a slot: deletes its textures (while GL exists) and marks it empty; the frame size stays.
  void EmptySlot(int slot);
  // Makes room for n vertices in the batch.
  void ReserveBatch(int32_t n);
  void DrawBatch(unsigned primitiveMode);
};

// Game-facing background operations.
void ClearBackBuffer();
void LoadBackground(const std::string& path);
