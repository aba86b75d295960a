#include "runtime/gfx2d/FrameRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Rectangles of change closer than this many pixels are drawn as one, and a frame draws at most this many
// rectangles.
constexpr int kChangeJoinGap = 8;
constexpr size_t kMaxChangeRects = 8;

// Covers the whole picture, whatever its size.
constexpr plat::PictureRect kEverything{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};

plat::PictureRect Join(const plat::PictureRect& a, const plat::PictureRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

long long Area(const plat::PictureRect& r) {
  return static_cast<long long>(r.x1 - r.x0) * (r.y1 - r.y0);
}

bool Near(const plat::PictureRect& a, const plat::PictureRect& b) {
  return a.x0 <= b.x1 + kChangeJoinGap && b.x0 <= a.x1 + kChangeJoinGap && a.y0 <= b.y1 + kChangeJoinGap &&
         b.y0 <= a.y1 + kChangeJoinGap;
}

bool SameVertices(const DrawVertex* a, const DrawVertex* b, uint32_t count) {
  return std::memcmp(a, b, static_cast<size_t>(count) * sizeof(DrawVertex)) == 0;
}

}  // namespace

int VerticesPerPrimitive(DrawPrimitive primitive) {
  switch (primitive) {
    case DrawPrimitive::kQuads:
      return 4;
    case DrawPrimitive::kLines:
      return 2;
    case DrawPrimitive::kPoints:
      return 1;
  }
  return 1;
}

plat::PictureRect TouchedRect(const DrawState& state, int viewX, int viewY, const DrawVertex* vertices,
                              int count) {
  if (count <= 0) return {};
  float minX = vertices[0].x + state.shift, maxX = minX, minY = vertices[0].y + state.shift, maxY = minY;
  bool wild = false;  // a coordinate far outside any picture, or not a number
  for (int i = 0; i < count; ++i) {
    const float x = vertices[i].x + state.shift, y = vertices[i].y + state.shift;
    wild |= !(std::fabs(x) < 1e8f) || !(std::fabs(y) < 1e8f);
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  if (wild) return kEverything;
  // A pixel of margin all round: lines and points light the pixels around their ends, and rounding
  // never reaches further.
  return {static_cast<int>(std::floor(minX)) + viewX - 1, static_cast<int>(std::floor(minY)) + viewY - 1,
          static_cast<int>(std::floor(maxX)) + viewX + 2, static_cast<int>(std::floor(maxY)) + viewY + 2};
}

void AddChangeRect(std::vector<plat::PictureRect>& parts, plat::PictureRect rect) {
  if (rect.Empty()) return;
  for (size_t i = 0; i < parts.size();) {
    if (Near(parts[i], rect)) {
      rect = Join(rect, parts[i]);
      parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i));
      i = 0;  // the grown rectangle may now reach others
    } else {
      ++i;
    }
  }
  parts.push_back(rect);
  // Too many: the two rectangles whose joining adds the least area become one, so that changes far
  // apart (baddies in opposite corners) do not draw everything between them.
  while (parts.size() > kMaxChangeRects) {
    size_t bestA = 0, bestB = 1;
    long long bestGrowth = -1;
    for (size_t a = 0; a < parts.size(); ++a) {
      for (size_t b = a + 1; b < parts.size(); ++b) {
        const long long growth = Area(Join(parts[a], parts[b])) - Area(parts[a]) - Area(parts[b]);
        if (bestGrowth < 0 || growth < bestGrowth) {
          bestGrowth = growth;
          bestA = a;
          bestB = b;
        }
      }
    }
    parts[bestA] = Join(parts[bestA], parts[bestB]);
    parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(bestB));
  }
}

void FrameRecord::SetView(int x, int y, int width, int height) {
  viewX_ = x;
  viewY_ = y;
  viewWidth_ = width;
  viewHeight_ = height;
}

void FrameRecord::Add(const DrawState& state, const DrawVertex* vertices, int count) {
  if (count <= 0) return;
  const plat::PictureRect touched = TouchedRect(state, viewX_, viewY_, vertices, count);
  if (runs_.size() > sealed_) {
    DrawRun& last = runs_.back();
    if (!last.clear && last.state == state && last.viewX == viewX_ && last.viewY == viewY_ &&
        last.viewWidth == viewWidth_ && last.viewHeight == viewHeight_) {
      last.count += static_cast<uint32_t>(count);
      last.bounds = Join(last.bounds, touched);
      vertices_.insert(vertices_.end(), vertices, vertices + count);
      return;
    }
  }
  DrawRun run;
  run.state = state;
  run.viewX = viewX_;
  run.viewY = viewY_;
  run.viewWidth = viewWidth_;
  run.viewHeight = viewHeight_;
  run.first = static_cast<uint32_t>(vertices_.size());
  run.count = static_cast<uint32_t>(count);
  run.bounds = touched;
  runs_.push_back(run);
  vertices_.insert(vertices_.end(), vertices, vertices + count);
}

void FrameRecord::AddClear() {
  DrawRun run;
  run.clear = true;
  run.first = static_cast<uint32_t>(vertices_.size());
  run.bounds = kEverything;
  runs_.push_back(run);
}

void FrameRecord::Reset() {
  runs_.clear();
  vertices_.clear();
  sealed_ = 0;
}

bool FrameRecord::ChangesSince(const FrameRecord& before, std::vector<plat::PictureRect>& parts) const {
  const std::vector<DrawRun>& old = before.runs_;
  const size_t common = std::min(old.size(), runs_.size());
  for (size_t i = 0; i < common; ++i) {
    const DrawRun& a = old[i];
    const DrawRun& b = runs_[i];
    if (a.clear || b.clear) {
      if (a.clear != b.clear) return false;
      continue;
    }
    const DrawVertex* va = before.vertices_.data() + a.first;
    const DrawVertex* vb = vertices_.data() + b.first;
    if (a.state != b.state || a.viewX != b.viewX || a.viewY != b.viewY || a.viewWidth != b.viewWidth ||
        a.viewHeight != b.viewHeight || a.count != b.count) {
      AddChangeRect(parts, a.bounds);
      AddChangeRect(parts, b.bounds);
      continue;
    }
    if (SameVertices(va, vb, a.count)) continue;
    // The same run with some primitives moved or changed: only those need drawing again.
    const uint32_t per = static_cast<uint32_t>(VerticesPerPrimitive(a.state.primitive));
    for (uint32_t k = 0; k + per <= a.count; k += per) {
      if (SameVertices(va + k, vb + k, per)) continue;
      AddChangeRect(parts, TouchedRect(a.state, a.viewX, a.viewY, va + k, static_cast<int>(per)));
      AddChangeRect(parts, TouchedRect(b.state, b.viewX, b.viewY, vb + k, static_cast<int>(per)));
    }
    // Vertices beyond the last whole primitive draw nothing, but a change there is a change all the same.
    if (a.count % per != 0 &&
        !SameVertices(va + a.count - a.count % per, vb + b.count - b.count % per, a.count % per)) {
      AddChangeRect(parts, a.bounds);
      AddChangeRect(parts, b.bounds);
    }
  }
  for (size_t i = common; i < old.size(); ++i) {
    if (old[i].clear) return false;
    AddChangeRect(parts, old[i].bounds);
  }
  for (size_t i = common; i < runs_.size(); ++i) {
    if (runs_[i].clear) return false;
    AddChangeRect(parts, runs_[i].bounds);
  }
  return true;
}
