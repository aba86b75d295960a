// The one 2D renderer: GL drawing state, the sprite table with its colour keys, the 2D view, the
// alpha mode, background sets and the vertex batch. Only runtime code uses it; the game calls the flat
// operations (LoadSprite, DrawAnimFrame, PrintText, ...).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/gfx2d/DrawBackend.h"
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
  int16_t imageWidth = 0;  // loaded image size; 0 while empty
  int16_t imageHeight = 0;
  int16_t frameWidth = 0;  // animation cell size; 0 = not cut into frames
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

// A table of kCount entries that come into being a page of kPage entries at a time, at their first use:
// of the sprite table's 65536 slots a game uses a few hundred, and the untouched rest costs no memory.
// A new entry is default-constructed (a sprite slot: empty).
template <typename T, int kCount, int kPage>
class PagedTable {
  static_assert(kCount % kPage == 0, "whole pages");

 public:
  T& operator[](int i) {
    std::unique_ptr<T[]>& page = pages_[i / kPage];
    if (!page) page.reset(new T[kPage]());
    return page[i % kPage];
  }
  // Reading an entry of an unused page gives a default entry and uses nothing.
  const T& operator[](int i) const {
    const std::unique_ptr<T[]>& page = pages_[i / kPage];
    if (page) return page[i % kPage];
    static const T kUntouched{};
    return kUntouched;
  }
  // False while the entry's page was never used: the entry is still default.
  bool Touched(int i) const { return pages_[i / kPage] != nullptr; }

 private:
  std::unique_ptr<T[]> pages_[kCount / kPage];
};

struct BatchVertex {
  float x, y, z, u, v;
};

// What UploadTexture built: the picture rectangle it holds and the texture's power-of-two size.
struct UploadedTexture {
  int32_t width = 0;
  int32_t height = 0;
  int32_t texWidth = 0;
  int32_t texHeight = 0;
};

// One drawing operation as the game asked for it, for tests that watch what a screen draws.
struct DrawRecord {
  enum class Kind : uint8_t { kCell, kStretch, kText };
  Kind kind = Kind::kCell;
  int32_t slot = 0;                            // sprite slot; for text, the font slot
  int32_t frame = 0;                           // cell of a strip
  double x = 0, y = 0, width = 0, height = 0;  // as passed; width and height only for stretched images
  std::string text;
};
using DrawRecorder = std::function<void(const DrawRecord&)>;

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
  double nextFrameMs = 0;  // clock time at which the next frame may be shown
  double framePeriodMs = 1000.0 / 60.0;
  bool initialised = false;

  // The drawing backend, chosen once with the platform: OpenGL, or the null one that draws nothing.
  std::unique_ptr<DrawBackend> backend;
  bool drawing = false;  // the backend draws: building vertices is worth the work
  // Sees every sprite, cell and text draw when set, whatever the backend (tests).
  DrawRecorder recorder;

  // Sprite table and colour keys.
  PagedTable<SpriteSlot, kSpriteSlots, 256> sprites;
  uint32_t spriteColourKey = kDefaultSpriteKey;
  uint32_t fontColourKey = kDefaultFontKey;
  // Largest texture side the backend accepts; without GL, the largest picture the decoders accept, so a
  // headless run records the same slot sizes as one with a window.
  int32_t maxTextureSize = kMaxImageSide;

  // Drawing state.
  std::vector<BatchVertex> batch;
  int32_t batchCount = 0;
  static constexpr int32_t kBatchStep = 128;
  static constexpr int32_t kBatchFirst = 512;
  int32_t selectedSlot = -1;
  int32_t secondSlot = -1;
  bool useMipTexture = false;
  float currentAlpha = 0.0f;
  PagedTable<BackgroundSet, kBackgroundSets, 1> backgrounds;
  bool smoothing = true;
  int32_t viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
  // Blending and drawing colour of textured draws, as SetAlphaMode left them.
  DrawState spriteState;

  // Puts a backend in place (once the platform's window is up) and sets the full-screen view.
  void UseBackend(std::unique_ptr<DrawBackend> chosen);
  void ResetView2D(int x, int y, int w, int h);
  // Selects the slot drawn next; `useMip` asks for its mipmapped copy (made here if it has none yet).
  void SelectSlot(int slot, int second, bool useMip);
  // The mipmapped copy of a sprite slot's texture (for drawing it minified), made by the GL from the
  // texture the first time it is asked for and kept until the slot is emptied. The 2D drawing never
  // minifies, so only asking pays for it. 0 for font slots, empty slots and without GL.
  uint32_t MipTextureOf(int slot);
  void SetAlphaMode(double alpha);
  // Clears the picture to black (after a present, and for ClearBackBuffer).
  void ClearBuffers();
  // Background set 0 covers the whole screen with tiles: drawn opaque under every frame, it overwrites
  // every pixel, so clearing before it changes nothing.
  bool BackgroundCoversScreen() const;
  // Sends every queued draw to the backend's graphics API (before a read-back or foreign GL calls).
  void FinishDrawing();
  // Ends the frame before its present: see DrawBackend::EndFrame.
  plat::PictureChange EndFrame(bool kept) { return backend->EndFrame(kept); }
  // Queues one textured quad of the given texture; `linear` asks for the smoothing filter.
  void DrawTexturedQuad(uint32_t texture, bool linear, const DrawVertex corners[4]);
  // The preparation ShowFrame does after presenting: blending off, colour reset, background set 0, view.
  void PrepareNextFrame();
  void DrawBackgroundSet(int set);
  void DiscardBackgroundSet(int set);
  // Cuts the picture of an image file held in memory into the set's tiles.
  bool LoadBackgroundSet(int set, const std::vector<uint8_t>& file, const std::string& name);
  // Empties a slot: deletes its textures (while GL exists) and marks it empty; the frame size stays.
  void EmptySlot(int slot);
  // Builds one texture from the w x h rectangle of `image` at (x0, y0) (0 = to the picture's edge) into
  // `texture`, replacing the texture it named; `mipTexture`, when given, loses the mipmapped copy of the
  // old picture (MipTextureOf makes one of the new picture when something asks for it). Font mode: no
  // colour fill and nearest filtering; sprite mode: colour fill and linear filtering. Without a drawing
  // backend only the sizes are worked out. False when the rectangle is empty.
  bool UploadTexture(const RgbaImage& image, int x0, int y0, int w, int h, uint32_t& texture,
                     uint32_t* mipTexture, bool fontMode, UploadedTexture* built = nullptr);
  // Empties the slot, decodes the image file held in memory (BMP, then PNG) with `key` and puts the
  // picture into the slot; `name` names the file in messages.
  bool LoadImageIntoSlot(int slot, const std::vector<uint8_t>& file, const std::string& name, uint32_t key);
  // Puts a decoded picture into a slot: font slots in font mode, other slots in sprite mode; records the
  // texture and picture sizes.
  bool StoreImageInSlot(int slot, const RgbaImage& image);
  // Makes room for n vertices in the batch.
  void ReserveBatch(int32_t n);
  // Draws the batchCount vertices of the batch (text: four per character) with the selected slot.
  void DrawBatch(DrawPrimitive primitive = DrawPrimitive::kQuads);

 private:
  std::vector<DrawVertex> batchCorners_;  // the batch as backend vertices
};

// Game-facing background operations.
void ClearBackBuffer();
void LoadBackground(const std::string& path);
