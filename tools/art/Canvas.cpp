#include "tools/art/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace art {

Rgba Mix(Rgba a, Rgba b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
  return Rgba{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), 255};
}

uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u + uint32_t(x) * 0x85EBCA77u + uint32_t(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

double Noise(int x, int y, uint32_t seed) {
  return (Hash(x, y, seed) & 0xFFFFFF) / double(0x1000000);
}

double Bayer4(int x, int y) {
  static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

void Image::Fill(Rgba c) {
  std::fill(pixels_.begin(), pixels_.end(), c);
}

void Image::Rect(int x, int y, int w, int h, Rgba c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Image::Frame(int x, int y, int w, int h, Rgba c) {
  Rect(x, y, w, 1, c);
  Rect(x, y + h - 1, w, 1, c);
  Rect(x, y, 1, h, c);
  Rect(x + w - 1, y, 1, h, c);
}

void Image::HLine(int x0, int x1, int y, Rgba c) {
  Rect(std::min(x0, x1), y, std::abs(x1 - x0) + 1, 1, c);
}

void Image::VLine(int x, int y0, int y1, Rgba c) {
  Rect(x, std::min(y0, y1), 1, std::abs(y1 - y0) + 1, c);
}

void Image::Line(int x0, int y0, int x1, int y1, Rgba c) {
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

void Image::Ellipse(double cx, double cy, double rx, double ry, Rgba c) {
  if (rx <= 0 || ry <= 0) return;
  for (int y = int(std::floor(cy - ry)); y <= int(std::ceil(cy + ry)); ++y)
    for (int x = int(std::floor(cx - rx)); x <= int(std::ceil(cx + rx)); ++x) {
      double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
      if (u * u + v * v <= 1.0) Set(x, y, c);
    }
}

void Image::Shade(const std::function<Rgba(int, int)>& shader) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      Rgba c = shader(x, y);
      if (c.a) Set(x, y, c);
    }
}

void Image::Outline(Rgba c, bool corners) {
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

void Image::Blit(const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      Rgba c = src.Get(sx + i, sy + j);
      if (c.a) Set(dx + i, dy + j, c);
    }
}

void Image::Copy(const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) Set(dx + i, dy + j, src.Get(sx + i, sy + j));
}

Image Image::Crop(int x, int y, int w, int h) const {
  Image out(w, h);
  out.Copy(*this, x, y, w, h, 0, 0);
  return out;
}

Image Image::MirroredX() const {
  Image out(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) out.Set(width_ - 1 - x, y, Get(x, y));
  return out;
}

Image Image::Scaled(int factor) const {
  Image out(width_ * factor, height_ * factor);
  for (int y = 0; y < out.height_; ++y)
    for (int x = 0; x < out.width_; ++x) out.Set(x, y, Get(x / factor, y / factor));
  return out;
}

Image Image::Resampled(int width, int height) const {
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

bool Image::Empty() const {
  return std::none_of(pixels_.begin(), pixels_.end(), [](const Rgba& p) { return p.a != 0; });
}

Image JoinStrip(const std::vector<Image>& frames) {
  if (frames.empty()) return Image();
  int fw = frames[0].Width(), fh = frames[0].Height();
  Image out(fw * int(frames.size()), fh);
  for (size_t i = 0; i < frames.size(); ++i) out.Copy(frames[i], 0, 0, fw, fh, int(i) * fw, 0);
  return out;
}

std::vector<uint8_t> Scale2x(const std::vector<uint8_t>& m, int w, int h) {
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
