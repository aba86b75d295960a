// One frame's draws as the backend keeps them until the frame ends: runs of equal state in drawing
// order with the picture rectangle each one can touch, and the comparison of two frames that finds the
// rectangles where their pictures can differ. Plain data, no graphics API.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/gfx2d/DrawBackend.h"
#include "runtime/platform/Platform.h"

// Draws with one state and one view, one after another; or a clear of the whole picture.
struct DrawRun {
  DrawState state;
  int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
  uint32_t first = 0, count = 0;  // its vertices in the frame's vertex list
  bool clear = false;
  plat::PictureRect bounds;  // every pixel the run can touch lies inside
};

class FrameRecord {
 public:
  // The view of the draws that follow: a viewWidth x viewHeight rectangle at (x, y) of the picture, one
  // unit one pixel.
  void SetView(int x, int y, int width, int height);
  void Add(const DrawState& state, const DrawVertex* vertices, int count);
  void AddClear();
  // Forgets the draws; the view stays.
  void Reset();
  // The runs so far are closed: later draws start a run of their own even with the same state.
  void Seal() { sealed_ = runs_.size(); }

  const std::vector<DrawRun>& Runs() const { return runs_; }
  const std::vector<DrawVertex>& Vertices() const { return vertices_; }

  // The rectangles where this frame's picture can differ from `before`'s, drawn over the same starting
  // picture: around every run or primitive that is not the same in both. False when only a whole new
  // picture will do (a clear that one frame has and the other has not).
  bool ChangesSince(const FrameRecord& before, std::vector<plat::PictureRect>& parts) const;

 private:
  std::vector<DrawRun> runs_;
  std::vector<DrawVertex> vertices_;
  size_t sealed_ = 0;
  int viewX_ = 0, viewY_ = 0, viewWidth_ = 640, viewHeight_ = 480;
};

// Vertices one primitive of the kind takes.
int VerticesPerPrimitive(DrawPrimitive primitive);
// The picture rectangle that `count` vertices drawn with `state` in the view at (viewX, viewY) can touch.
plat::PictureRect TouchedRect(const DrawState& state, int viewX, int viewY, const DrawVertex* vertices,
                              int count);
// Adds `rect` to a list of rectangles to draw: joined with those it overlaps or nearly touches, and, when
// the list grows long, the two whose joining costs the least area joined until it is short again.
void AddChangeRect(std::vector<plat::PictureRect>& parts, plat::PictureRect rect);
