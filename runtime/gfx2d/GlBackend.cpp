// The OpenGL drawing backend: one small shader program and one vertex batch. A frame's draws are kept in
// drawing order as runs of equal state, so a play frame of a thousand sprite cells costs as many draw
// calls as it has texture changes. At the end of a frame the runs are compared with the frame before:
// where the target still holds that frame's picture, only the rectangles where the two differ are drawn
// (scissored, every run that reaches into them replayed in order), and an equal frame draws nothing.
// Only what GL 2.0 and GLES 2 share is used (vertex buffers, triangles, lines, points and the scissor;
// the program is GLSL 1.10 / ES 1.00, or its assembly form on a desktop GL: GlPrograms.h), so a browser
// build runs the same path.
#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "runtime/gfx2d/DrawBackend.h"
#include "runtime/gfx2d/FrameRecord.h"
#include "runtime/gfx2d/GlPrograms.h"
#include "runtime/platform/Platform.h"

namespace {

// Texels whose alpha exceeds 0.05 are drawn: 13 (0.051) is, 12 (0.047) is not. A reference a little
// below 0.05 splits 12 from 13 the same way on every GL, whatever it rounds the alpha to.
constexpr float kAlphaReference = 0.049f;

// Quads are drawn as two triangles each through one shared index buffer of this many quads; longer runs
// are sent in pieces.
constexpr int kQuadsPerCall = 16384;

// The GL 2.0 entry points beyond GL 1.1 that the batch needs besides its program.
struct BatchFunctions {
  PFNGLGENBUFFERSPROC genBuffers = nullptr;
  PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;
  PFNGLBINDBUFFERPROC bindBuffer = nullptr;
  PFNGLBUFFERDATAPROC bufferData = nullptr;
  PFNGLBUFFERSUBDATAPROC bufferSubData = nullptr;
  PFNGLVERTEXATTRIBPOINTERPROC vertexAttribPointer = nullptr;
  PFNGLENABLEVERTEXATTRIBARRAYPROC enableVertexAttribArray = nullptr;
  PFNGLACTIVETEXTUREPROC activeTexture = nullptr;

  bool Load(plat::Platform& p) {
    bool ok = true;
    ok &= LookUpGl(p, "glGenBuffers", genBuffers);
    ok &= LookUpGl(p, "glDeleteBuffers", deleteBuffers);
    ok &= LookUpGl(p, "glBindBuffer", bindBuffer);
    ok &= LookUpGl(p, "glBufferData", bufferData);
    ok &= LookUpGl(p, "glBufferSubData", bufferSubData);
    ok &= LookUpGl(p, "glVertexAttribPointer", vertexAttribPointer);
    ok &= LookUpGl(p, "glEnableVertexAttribArray", enableVertexAttribArray);
    ok &= LookUpGl(p, "glActiveTexture", activeTexture);
    return ok;
  }
};

// What copying a texture into a mipmapped one needs (core in GL 3.0 and GLES 2, else the ARB extension);
// without it a slot simply has no mipmapped copy.
struct CopyFunctions {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
  PFNGLGENERATEMIPMAPPROC generateMipmap = nullptr;

  void Load(plat::Platform& p) {
    LookUpGl(p, "glGenFramebuffers", genFramebuffers);
    LookUpGl(p, "glDeleteFramebuffers", deleteFramebuffers);
    LookUpGl(p, "glBindFramebuffer", bindFramebuffer);
    LookUpGl(p, "glFramebufferTexture2D", framebufferTexture2D);
    LookUpGl(p, "glCheckFramebufferStatus", checkFramebufferStatus);
    LookUpGl(p, "glGenerateMipmap", generateMipmap);
  }
  bool Usable() const {
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && framebufferTexture2D &&
           checkFramebufferStatus && generateMipmap;
  }
};

void SetTightUnpacking() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

class GlBackend final : public DrawBackend {
 public:
  GlBackend(const BatchFunctions& f, const CopyFunctions& copy) : gl_(f), copy_(copy) {}
  ~GlBackend() override {
    if (vertexBuffer_) gl_.deleteBuffers(1, &vertexBuffer_);
    if (indexBuffer_) gl_.deleteBuffers(1, &indexBuffer_);
  }

  bool Start(plat::Platform& platform, bool glslOnly) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    // A GL that answers nonsense still gets textures of a workable size.
    maxTextureSize_ = maxSize >= 64 ? maxSize : 64;
    programs_ = CreateGlPrograms(platform, glslOnly);
    if (!programs_) return false;
    gl_.genBuffers(1, &vertexBuffer_);
    gl_.genBuffers(1, &indexBuffer_);
    std::vector<uint16_t> indices;
    indices.reserve(static_cast<size_t>(kQuadsPerCall) * 6);
    for (int q = 0; q < kQuadsPerCall; ++q) {
      const auto b = static_cast<uint16_t>(q * 4);
      for (const int k : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<uint16_t>(b + k));
    }
    gl_.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    gl_.bufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint16_t)),
                   indices.data(), GL_STATIC_DRAW);
    gl_.bindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    gl_.enableVertexAttribArray(kAttribPosition);
    gl_.enableVertexAttribArray(kAttribTexCoord);
    gl_.activeTexture(GL_TEXTURE0);
    programs_->Use();
    // Nothing of the picture needs depth, stencil, culling or dithering.
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    return true;
  }

  bool Draws() const override { return true; }
  int MaxTextureSize() const override { return maxTextureSize_; }

  uint32_t CreateTexture(const TextureStaging& staging, bool linear) override {
    TexturesChange();
    GLuint name = NewTexture();
    const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, staging.texWidth, staging.texHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 staging.texels.data());
    RememberFilter(name, linear ? kLinear : kNearest);
    return name;
  }

  uint32_t CreateMipTextureFrom(uint32_t texture, int texWidth, int texHeight) override {
    if (!texture || texWidth < 1 || texHeight < 1 || !copy_.Usable()) return 0;
    Flush();
    TexturesChange();
    // The source texture becomes a framebuffer for a moment; the picture's own framebuffer is put back.
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    GLuint source = 0;
    copy_.genFramebuffers(1, &source);
    copy_.bindFramebuffer(GL_FRAMEBUFFER, source);
    copy_.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    GLuint name = 0;
    if (copy_.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
      name = NewTexture();
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
      glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, texWidth, texHeight, 0);
      copy_.generateMipmap(GL_TEXTURE_2D);
      // Drawn only by the 3D side, never by the batch: its filter is not tracked.
      RememberFilter(name, kUntracked);
    }
    copy_.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    copy_.deleteFramebuffers(1, &source);
    return name;
  }

  void DeleteTexture(uint32_t name) override {
    if (!name) return;
    // Queued draws may still sample it.
    TexturesChange();
    GLuint n = name;
    glDeleteTextures(1, &n);
    RememberFilter(name, kUntracked);
  }

  void SetView(int x, int y, int width, int height, int pictureHeight) override {
    frame_.SetView(x, y, width, height);
    pictureHeight_ = pictureHeight;
  }

  void Draw(const DrawState& state, const DrawVertex* vertices, int count) override {
    if (count <= 0) return;
    frame_.Add(state, vertices, count);
  }

  void Clear() override { frame_.AddClear(); }

  void Flush() override {
    const size_t runs = frame_.Runs().size();
    if (sentRuns_ == runs) return;
    // Drawn in part before the frame ends (a read-back, foreign GL calls): the frame is drawn in full.
    flushed_ = true;
    SendRuns(sentRuns_, runs, nullptr, 0);
    sentRuns_ = runs;
    frame_.Seal();
  }

  plat::PictureChange EndFrame(bool kept) override {
    plat::PictureChange change;
    const bool comparable = kept && !flushed_ && framesToDrawWhole_ == 0;
    if (framesToDrawWhole_ > 0) --framesToDrawWhole_;
    if (comparable && frame_.ChangesSince(before_, change.parts)) {
      change.whole = false;
      if (change.parts.empty()) {
        ++stats_.equalFrames;
      } else {
        ++stats_.partFrames;
        SendRuns(0, frame_.Runs().size(), change.parts.data(), change.parts.size());
      }
    } else {
      change.parts.clear();
      Flush();
      ++stats_.wholeFrames;
    }
    std::swap(before_, frame_);
    frame_.Reset();
    sentRuns_ = 0;
    flushed_ = false;
    return change;
  }

  DrawStats Stats() const override { return stats_; }
  const char* ProgramKind() const override { return programs_->Kind(); }

 private:
  enum Filter : int8_t { kUntracked = 0, kNearest = 1, kLinear = 2 };

  // A texture made or deleted: what was queued is drawn first (it may sample the old one), and as a
  // texture name may come back with other texels, neither this frame nor the next one is compared
  // with the frame before it.
  void TexturesChange() {
    Flush();
    framesToDrawWhole_ = 2;
  }

  // Sends runs [from, to) of the frame; with `rects`, only inside those picture rectangles, and only the
  // runs that reach into each.
  void SendRuns(size_t from, size_t to, const plat::PictureRect* rects, size_t rectCount) {
    if (from >= to) return;
    const std::vector<DrawRun>& runs = frame_.Runs();
    const std::vector<DrawVertex>& vertices = frame_.Vertices();
    const uint32_t firstVertex = runs[from].first;
    const size_t bytes = (vertices.size() - firstVertex) * sizeof(DrawVertex);
    gl_.bindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    if (bytes > 0) {
      // The buffer's storage is kept and only grows: no allocation per frame.
      if (bytes > bufferBytes_) {
        bufferBytes_ = std::max(bytes, bufferBytes_ * 2);
        gl_.bufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bufferBytes_), nullptr, GL_STREAM_DRAW);
      }
      gl_.bufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), vertices.data() + firstVertex);
    }
    // The platform moves the viewport and framebuffers around a present: state is set afresh.
    stateSent_ = false;
    sentView_ = {-1, -1, -1, -1};
    if (!rects) {
      for (size_t i = from; i < to; ++i) SendRun(runs[i], firstVertex);
      return;
    }
    glEnable(GL_SCISSOR_TEST);
    for (size_t r = 0; r < rectCount; ++r) {
      const plat::PictureRect& rect = rects[r];
      glScissor(rect.x0, pictureHeight_ - rect.y1, rect.x1 - rect.x0, rect.y1 - rect.y0);
      for (size_t i = from; i < to; ++i) {
        const plat::PictureRect& b = runs[i].bounds;
        if (b.x0 < rect.x1 && rect.x0 < b.x1 && b.y0 < rect.y1 && rect.y0 < b.y1)
          SendRun(runs[i], firstVertex);
      }
    }
    glDisable(GL_SCISSOR_TEST);
  }

  // One run: a clear, or its vertices (already in the vertex buffer from `bufferStart` on).
  void SendRun(const DrawRun& run, uint32_t bufferStart) {
    if (run.clear) {
      glClear(GL_COLOR_BUFFER_BIT);
      return;
    }
    const std::array<int, 4> view = {run.viewX, run.viewY, run.viewWidth, run.viewHeight};
    if (view != sentView_) {
      glViewport(run.viewX, pictureHeight_ - run.viewHeight - run.viewY, run.viewWidth, run.viewHeight);
      sentView_ = view;
    }
    SendState(run.state, static_cast<float>(run.viewWidth), static_cast<float>(run.viewHeight));
    const size_t start = run.first - bufferStart;
    PointAttributesAt(start);
    const int count = static_cast<int>(run.count);
    stats_.vertices += count;
    switch (run.state.primitive) {
      case DrawPrimitive::kQuads: {
        gl_.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        const int quads = count / 4;
        for (int first = 0; first < quads; first += kQuadsPerCall) {
          const int n = std::min(kQuadsPerCall, quads - first);
          if (first > 0) PointAttributesAt(start + static_cast<size_t>(first) * 4);
          glDrawElements(GL_TRIANGLES, n * 6, GL_UNSIGNED_SHORT, nullptr);
          ++stats_.drawCalls;
        }
        break;
      }
      case DrawPrimitive::kLines:
        glDrawArrays(GL_LINES, 0, count);
        ++stats_.drawCalls;
        break;
      case DrawPrimitive::kPoints:
        glDrawArrays(GL_POINTS, 0, count);
        ++stats_.drawCalls;
        break;
    }
  }

  // The vertex attributes read the batch from vertex `first` on.
  void PointAttributesAt(size_t first) {
    const size_t base = first * sizeof(DrawVertex);
    gl_.vertexAttribPointer(kAttribPosition, 2, GL_FLOAT, GL_FALSE, sizeof(DrawVertex),
                            reinterpret_cast<const void*>(base));
    gl_.vertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(DrawVertex),
                            reinterpret_cast<const void*>(base + 2 * sizeof(float)));
  }

  GLuint NewTexture() {
    SetTightUnpacking();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return name;
  }

  void RememberFilter(uint32_t name, Filter f) {
    if (name >= filters_.size()) filters_.resize(name + 1, kUntracked);
    filters_[name] = f;
  }

  // Sends what differs from the state of the last draw call.
  void SendState(const DrawState& s, float viewWidth, float viewHeight) {
    const bool fresh = !stateSent_;
    if (s.textured) {
      // Tests and the platform may bind textures of their own between frames: the bind is always sent.
      glBindTexture(GL_TEXTURE_2D, s.texture);
      const Filter want = s.linear ? kLinear : kNearest;
      if (s.texture != 0 && (s.texture >= filters_.size() || filters_[s.texture] != want)) {
        const GLint filter = s.linear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        RememberFilter(s.texture, want);
        ++stats_.filterChanges;
      }
    }
    if (fresh || s.textured != sent_.textured) programs_->SetTextured(s.textured);
    if (fresh || s.alphaTest != sent_.alphaTest)
      programs_->SetAlphaReference(s.alphaTest ? kAlphaReference : -1.0f);
    if (fresh || s.blend != sent_.blend) {
      if (s.blend == BlendMode::kOff) {
        glDisable(GL_BLEND);
      } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, s.blend == BlendMode::kAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
      }
    }
    if (fresh || s.colour[0] != sent_.colour[0] || s.colour[1] != sent_.colour[1] ||
        s.colour[2] != sent_.colour[2] || s.colour[3] != sent_.colour[3])
      programs_->SetColour(s.colour);
    if (fresh || s.shift != sent_.shift || viewWidth != sentViewWidth_ || viewHeight != sentViewHeight_) {
      // The orthographic view: x from 0 to width left to right, y from 0 to height top to bottom.
      const float sx = 2.0f / viewWidth;
      const float sy = -2.0f / viewHeight;
      programs_->SetView(sx, sy, s.shift * sx - 1.0f, s.shift * sy + 1.0f);
      sentViewWidth_ = viewWidth;
      sentViewHeight_ = viewHeight;
    }
    sent_ = s;
    stateSent_ = true;
  }

  BatchFunctions gl_;
  CopyFunctions copy_;
  std::unique_ptr<GlPrograms> programs_;
  int maxTextureSize_ = 64;
  GLuint vertexBuffer_ = 0, indexBuffer_ = 0;
  FrameRecord frame_;          // this frame's draws
  FrameRecord before_;         // the frame presented before it
  size_t sentRuns_ = 0;        // runs of this frame already sent (Flush)
  bool flushed_ = false;       // this frame was sent in part before it ended
  int framesToDrawWhole_ = 1;  // frames still to be drawn in full whatever they compare to
  int pictureHeight_ = 480;
  size_t bufferBytes_ = 0;  // storage of the vertex buffer
  DrawStats stats_;
  DrawState sent_;
  bool stateSent_ = false;
  std::array<int, 4> sentView_ = {-1, -1, -1, -1};
  float sentViewWidth_ = 0, sentViewHeight_ = 0;
  std::vector<int8_t> filters_;  // by texture name: the filter it was last given
};

class NullBackend final : public DrawBackend {
 public:
  bool Draws() const override { return false; }
  // Without a graphics API the largest picture the decoders accept, so a headless run records the same
  // slot sizes as one with a window.
  int MaxTextureSize() const override { return kMaxImageSide; }
  uint32_t CreateTexture(const TextureStaging&, bool) override { return 0; }
  uint32_t CreateMipTextureFrom(uint32_t, int, int) override { return 0; }
  void DeleteTexture(uint32_t) override {}
  void SetView(int, int, int, int, int) override {}
  void Draw(const DrawState&, const DrawVertex*, int) override {}
  void Clear() override {}
  void Flush() override {}
};

}  // namespace

std::unique_ptr<DrawBackend> CreateGlBackend(plat::Platform& platform) {
  BatchFunctions f;
  if (!f.Load(platform)) return nullptr;
  CopyFunctions copy;
  copy.Load(platform);
  auto backend = std::make_unique<GlBackend>(f, copy);
  // BRILLORA_GLSL=1 draws through the GLSL shaders even where the GL offers assembly programs, so the
  // two can be compared (the pixel tests run both).
  const char* glsl = std::getenv("BRILLORA_GLSL");
  if (!backend->Start(platform, glsl && *glsl && *glsl != '0')) return nullptr;
  return backend;
}

std::unique_ptr<DrawBackend> CreateNullBackend() {
  return std::make_unique<NullBackend>();
}
