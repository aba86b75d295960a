// The art generator's drawing surface: an RGBA picture with the few pixel-art primitives the
// generator draws with (rectangles, discs, lines, outlines, mirrored and scaled copies), plus a
// position hash that stands in for randomness so every run paints the same pixels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace art {

struct Rgba {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 0;
  constexpr bool operator==(const Rgba&) const = default;
};

constexpr Rgba kClear{0, 0, 0, 0};

// Opaque colour from 0xRRGGBB.
constexpr Rgba Hex(uint32_t rgb) {
  return Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
}

// Mixes two opaque colours; t = 0 gives a, t = 1 gives b.
inline Rgba Mix(Rgba a, Rgba b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
  return Rgba{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), 255};
}

// Deterministic per-position noise: the same (x, y, seed) always gives the same number.
inline uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u + uint32_t(x) * 0x85EBCA77u + uint32_t(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Noise in [0, 1).
inline double Noise(int x, int y, uint32_t seed) {
  return (Hash(x, y, seed) & 0xFFFFFF) / double(0x1000000);
}

// An ordered-dither threshold in [0, 1): lets a two-level alpha picture suggest soft edges.
inline double Bayer4(int x, int y) {
  static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

class Image {
 public:
  Image() = default;
  Image(int width, int height, Rgba fill = kClear)
      : width_(width), height_(height), pixels_(size_t(width) * size_t(height), fill) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<Rgba>& Pixels() const { return pixels_; }

  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  Rgba Get(int x, int y) const { return Inside(x, y) ? pixels_[size_t(y) * width_ + x] : kClear; }
  bool Solid(int x, int y) const { return Get(x, y).a != 0; }
  // Writes outside the picture are dropped, so shapes may hang over the edges.
  void Set(int x, int y, Rgba c) {
    if (Inside(x, y)) pixels_[size_t(y) * width_ + x] = c;
  }
  // Recolours only pixels that are already painted (shading inside a silhouette).
  void Tint(int x, int y, Rgba c) {
    if (Solid(x, y)) Set(x, y, c);
  }

  void Fill(Rgba c) { std::fill(pixels_.begin(), pixels_.end(), c); }

  void Rect(int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) Set(i, j, c);
  }
  void Frame(int x, int y, int w, int h, Rgba c) {
    Rect(x, y, w, 1, c);
    Rect(x, y + h - 1, w, 1, c);
    Rect(x, y, 1, h, c);
    Rect(x + w - 1, y, 1, h, c);
  }
  void HLine(int x0, int x1, int y, Rgba c) { Rect(std::min(x0, x1), y, std::abs(x1 - x0) + 1, 1, c); }
  void VLine(int x, int y0, int y1, Rgba c) { Rect(x, std::min(y0, y1), 1, std::abs(y1 - y0) + 1, c); }

  void Line(int x0, int y0, int x1, int y1, Rgba c) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      Set(x0, y0, c);
      if (x0 == x1 && y0 == y1) break;
      int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }

  // Filled ellipse around a centre given in pixel units (x.5 is a pixel centre).
  void Ellipse(double cx, double cy, double rx, double ry, Rgba c) {
    if (rx <= 0 || ry <= 0) return;
    for (int y = int(std::floor(cy - ry)); y <= int(std::ceil(cy + ry)); ++y)
      for (int x = int(std::floor(cx - rx)); x <= int(std::ceil(cx + rx)); ++x) {
        double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
        if (u * u + v * v <= 1.0) Set(x, y, c);
      }
  }
  void Disc(double cx, double cy, double r, Rgba c) { Ellipse(cx, cy, r, r, c); }

  // Paints every pixel for which the shader returns an opaque colour.
  void Shade(const std::function<Rgba(int, int)>& shader) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        Rgba c = shader(x, y);
        if (c.a) Set(x, y, c);
      }
  }

  // Rings the silhouette with a one-pixel outline; diagonal neighbours count when `corners` is set.
  void Outline(Rgba c, bool corners = false) {
    Image copy = *this;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        if (copy.Solid(x, y)) continue;
        bool edge =
            copy.Solid(x - 1, y) || copy.Solid(x + 1, y) || copy.Solid(x, y - 1) || copy.Solid(x, y + 1);
        if (!edge && corners)
          edge = copy.Solid(x - 1, y - 1) || copy.Solid(x + 1, y - 1) || copy.Solid(x - 1, y + 1) ||
                 copy.Solid(x + 1, y + 1);
        if (edge) Set(x, y, c);
      }
  }

  // Copies the painted pixels of a region of `src` here; transparent source pixels leave this one.
  void Blit(const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        Rgba c = src.Get(sx + i, sy + j);
        if (c.a) Set(dx + i, dy + j, c);
      }
  }
  void Blit(const Image& src, int dx, int dy) { Blit(src, 0, 0, src.width_, src.height_, dx, dy); }
  // Copies a region verbatim, transparency included.
  void Copy(const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) Set(dx + i, dy + j, src.Get(sx + i, sy + j));
  }

  Image Crop(int x, int y, int w, int h) const {
    Image out(w, h);
    out.Copy(*this, x, y, w, h, 0, 0);
    return out;
  }
  Image MirroredX() const {
    Image out(width_, height_);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) out.Set(width_ - 1 - x, y, Get(x, y));
    return out;
  }
  // Whole-number enlargement with square pixels (previews and the menu's big pictures).
  Image Scaled(int factor) const {
    Image out(width_ * factor, height_ * factor);
    for (int y = 0; y < out.height_; ++y)
      for (int x = 0; x < out.width_; ++x) out.Set(x, y, Get(x / factor, y / factor));
    return out;
  }

  // Any size: each new pixel averages the old pixels it covers, weighted by the share it covers and by
  // their opacity, so clear pixels do not darken the edges. Whole-number enlargements equal Scaled.
  Image Resampled(int width, int height) const {
    Image out(width, height);
    const double fx = double(width_) / width, fy = double(height_) / height;
    for (int oy = 0; oy < height; ++oy)
      for (int ox = 0; ox < width; ++ox) {
        const double x0 = ox * fx, x1 = (ox + 1) * fx, y0 = oy * fy, y1 = (oy + 1) * fy;
        double r = 0, g = 0, b = 0, a = 0, area = 0;
        for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y)
          for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
            const double share = (std::min(x1, x + 1.0) - std::max(x0, double(x))) *
                                 (std::min(y1, y + 1.0) - std::max(y0, double(y)));
            const Rgba c = Get(x, y);
            r += c.r * c.a * share;
            g += c.g * c.a * share;
            b += c.b * c.a * share;
            a += c.a * share;
            area += share;
          }
        if (a <= 0) continue;
        auto byte = [](double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); };
        out.Set(ox, oy, Rgba{byte(r / a), byte(g / a), byte(b / a), byte(a / area)});
      }
    return out;
  }

  bool Empty() const {
    return std::none_of(pixels_.begin(), pixels_.end(), [](const Rgba& p) { return p.a != 0; });
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgba> pixels_;
};

// Frames laid left to right in one row, as the game's strips are cut.
inline Image JoinStrip(const std::vector<Image>& frames) {
  if (frames.empty()) return Image();
  int fw = frames[0].Width(), fh = frames[0].Height();
  Image out(fw * int(frames.size()), fh);
  for (size_t i = 0; i < frames.size(); ++i) out.Copy(frames[i], 0, 0, fw, fh, int(i) * fw, 0);
  return out;
}

// EPX pixel doubling of a two-level mask: smooths diagonals while keeping strokes crisp.
inline std::vector<uint8_t> Scale2x(const std::vector<uint8_t>& m, int w, int h) {
  auto at = [&](int x, int y) -> uint8_t { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : m[y * w + x]; };
  std::vector<uint8_t> out(size_t(w) * 2 * size_t(h) * 2, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y), d = at(x, y + 1);
      uint8_t e0 = (c == a && c != d && a != b) ? a : p;
      uint8_t e1 = (a == b && a != c && b != d) ? b : p;
      uint8_t e2 = (d == c && d != b && c != a) ? c : p;
      uint8_t e3 = (b == d && b != a && d != c) ? d : p;
      out[(y * 2) * (w * 2) + x * 2] = e0;
      out[(y * 2) * (w * 2) + x * 2 + 1] = e1;
      out[(y * 2 + 1) * (w * 2) + x * 2] = e2;
      out[(y * 2 + 1) * (w * 2) + x * 2 + 1] = e3;
    }
  return out;
}

}  // namespace art
