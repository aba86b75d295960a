// The art generator's drawing surface: an RGBA picture with the few pixel-art primitives the
// generator draws with (rectangles, discs, lines, outlines, mirrored and scaled copies), plus a
// position hash that stands in for randomness so every run paints the same pixels.
#pragma once

#include <cstddef>
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
Rgba Mix(Rgba a, Rgba b, double t);

// Deterministic per-position noise: the same (x, y, seed) always gives the same number.
uint32_t Hash(int x, int y, uint32_t seed);

// Noise in [0, 1).
double Noise(int x, int y, uint32_t seed);

// An ordered-dither threshold in [0, 1): lets a two-level alpha picture suggest soft edges.
double Bayer4(int x, int y);

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

  void Fill(Rgba c);
  void Rect(int x, int y, int w, int h, Rgba c);
  void Frame(int x, int y, int w, int h, Rgba c);
  void HLine(int x0, int x1, int y, Rgba c);
  void VLine(int x, int y0, int y1, Rgba c);
  void Line(int x0, int y0, int x1, int y1, Rgba c);

  // Filled ellipse around a centre given in pixel units (x.5 is a pixel centre).
  void Ellipse(double cx, double cy, double rx, double ry, Rgba c);
  void Disc(double cx, double cy, double r, Rgba c) { Ellipse(cx, cy, r, r, c); }

  // Paints every pixel for which the shader returns an opaque colour.
  void Shade(const std::function<Rgba(int, int)>& shader);

  // Rings the silhouette with a one-pixel outline; diagonal neighbours count when `corners` is set.
  void Outline(Rgba c, bool corners = false);

  // Copies the painted pixels of a region of `src` here; transparent source pixels leave this one.
  void Blit(const Image& src, int sx, int sy, int w, int h, int dx, int dy);
  void Blit(const Image& src, int dx, int dy) { Blit(src, 0, 0, src.width_, src.height_, dx, dy); }
  // Copies a region verbatim, transparency included.
  void Copy(const Image& src, int sx, int sy, int w, int h, int dx, int dy);

  Image Crop(int x, int y, int w, int h) const;
  Image MirroredX() const;
  // Whole-number enlargement with square pixels (previews and the menu's big pictures).
  Image Scaled(int factor) const;
  // Any size: each new pixel averages the old pixels it covers, weighted by the share it covers and by
  // their opacity, so clear pixels do not darken the edges. Whole-number enlargements equal Scaled.
  Image Resampled(int width, int height) const;

  bool Empty() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgba> pixels_;
};

// Frames laid left to right in one row, as the game's strips are cut.
Image JoinStrip(const std::vector<Image>& frames);

// EPX pixel doubling of a two-level mask: smooths diagonals while keeping strokes crisp.
std::vector<uint8_t> Scale2x(const std::vector<uint8_t>& m, int w, int h);

}  // namespace art
