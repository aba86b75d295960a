// The drawing backend: what the renderer needs from a graphics API, chosen once when the platform is
// chosen. The OpenGL backend collects every draw of a frame into one vertex batch and sends it in as few
// calls as texture and state changes allow (one small shader, so desktop GL and GLES 2 share the path);
// the null backend of headless runs does no drawing work at all.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "runtime/gfx2d/TextureStaging.h"
#include "runtime/platform/Platform.h"

namespace plat {
class Platform;
}

// One corner of a drawn primitive: screen position in pixels and texture coordinate.
struct DrawVertex {
  float x, y, u, v;
};

enum class DrawPrimitive : uint8_t {
  kQuads,   // four vertices per quad, corners in drawing order
  kLines,   // two vertices per line
  kPoints,  // one vertex per point
};

// Blending of a draw: off, additive (source alpha, one) or translucent (source alpha, one minus it).
enum class BlendMode : uint8_t { kOff, kAdditive, kTranslucent };

// Everything a draw needs besides its vertices. Draws with equal state are sent together.
struct DrawState {
  uint32_t texture = 0;  // texture name; 0 with `textured` set samples the empty texture
  bool textured = false;
  bool linear = false;    // filter of the texture: linear, or nearest where texels land on whole pixels
  bool alphaTest = true;  // a fragment is kept only where its alpha exceeds the reference
  BlendMode blend = BlendMode::kOff;
  DrawPrimitive primitive = DrawPrimitive::kQuads;
  float shift = 0;  // the projection moved by this many pixels right and down (untextured primitives)
  float colour[4] = {1, 1, 1, 1};

  bool operator==(const DrawState& o) const {
    return texture == o.texture && textured == o.textured && linear == o.linear && alphaTest == o.alphaTest &&
           blend == o.blend && primitive == o.primitive && shift == o.shift && colour[0] == o.colour[0] &&
           colour[1] == o.colour[1] && colour[2] == o.colour[2] && colour[3] == o.colour[3];
  }
  bool operator!=(const DrawState& o) const { return !(*this == o); }
};

// What a backend has sent to its graphics API so far.
struct DrawStats {
  int64_t drawCalls = 0;      // draw calls made
  int64_t vertices = 0;       // vertices sent
  int64_t filterChanges = 0;  // textures whose filter had to be changed for a draw
  int64_t wholeFrames = 0;    // frames drawn in full
  int64_t partFrames = 0;     // frames drawn only where they differ from the frame before
  int64_t equalFrames = 0;    // frames equal to the one before: nothing drawn
};

class DrawBackend {
 public:
  virtual ~DrawBackend() = default;

  // False for a backend that draws nothing: callers may skip building vertices altogether.
  virtual bool Draws() const = 0;
  // Largest texture side the backend accepts.
  virtual int MaxTextureSize() const = 0;

  // A texture from staged texels, repeat wrap on both axes, filtered nearest (font mode) or linear.
  // Returns its name, 0 without a graphics API.
  virtual uint32_t CreateTexture(const TextureStaging& staging, bool linear) = 0;
  // A mipmapped copy (linear, mipmapped minification) of the texW x texH texture `texture`: the GL copies
  // its texels and builds the smaller levels itself, so no texels are kept or halved on our side. 0
  // without a graphics API or when the GL cannot copy textures.
  virtual uint32_t CreateMipTextureFrom(uint32_t texture, int texWidth, int texHeight) = 0;
  virtual void DeleteTexture(uint32_t name) = 0;

  // The drawing area: a rectangle of the picture (rows counted from the top) that is viewWidth x
  // viewHeight pixels, one unit one pixel, origin at its top-left corner.
  virtual void SetView(int x, int y, int width, int height, int pictureHeight) = 0;
  // Queues `count` vertices drawn with `state`, after everything queued before.
  virtual void Draw(const DrawState& state, const DrawVertex* vertices, int count) = 0;
  // Clears the whole picture to black (after what was queued so far).
  virtual void Clear() = 0;
  // Sends everything queued to the graphics API (before a read-back or foreign GL calls). A frame that
  // was flushed is drawn in full.
  virtual void Flush() = 0;
  // Ends the frame before it is presented: draws what is still queued and says what changed. With
  // `kept` (the target still holds the picture of the frame before), only the parts where this frame's
  // draws differ from that frame's are drawn, everything that falls into them drawn again in order.
  // Afterwards the target holds this frame's whole picture either way.
  virtual plat::PictureChange EndFrame(bool kept) {
    (void)kept;
    Flush();
    return {};
  }
  virtual DrawStats Stats() const { return {}; }
  // The form of the drawing program the backend runs ("glsl", "assembly"); empty where nothing draws.
  virtual const char* ProgramKind() const { return ""; }
};

// The OpenGL backend over the platform's current context; null when its program cannot be built.
std::unique_ptr<DrawBackend> CreateGlBackend(plat::Platform& platform);
// The backend of headless runs: nothing is drawn, textures get no names.
std::unique_ptr<DrawBackend> CreateNullBackend();
