#include "tools/art/TileSurfaces.h"

#include <algorithm>
#include <cmath>

#include "tools/art/Actors.h"

namespace art {

namespace {

// Water: a calm base with a few hand-placed glints and gentle darker swells, so large pools do
// not flicker with noise.
Rgba WaterColour(int x, int y, bool deep) {
  static constexpr int kGlints[6][2] = {{1, 2}, {9, 4}, {4, 8}, {12, 10}, {7, 13}, {14, 15}};
  static constexpr int kTroughs[6][2] = {{5, 0}, {13, 6}, {0, 7}, {9, 11}, {2, 14}, {11, 2}};
  x = Wrap16(x), y = Wrap16(y);
  auto dash = [&](const int(&marks)[6][2], int len) {
    for (const auto& m : marks) {
      int dx = Wrap16(x - m[0] + 8) - 8;
      if (y == m[1] && dx >= -1 && dx < len - 1) return dx == 0 ? 2 : 1;
    }
    return 0;
  };
  if (int g = dash(kGlints, 4)) return deep ? pal::kSea2 : (g == 2 ? pal::kSea4 : pal::kSea3);
  if (dash(kTroughs, 5)) return deep ? pal::kInk : pal::kSea1;
  return deep ? pal::kSea0 : pal::kSea2;
}

}  // namespace

int Wrap16(int v) {
  return ((v % 16) + 16) % 16;
}

void PaintFlagstones(Image& img, const Ramp& r, uint32_t seed) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int row = y / 8, ly = y % 8;
      const int bx = Wrap16(x + row * 8 + 3), lx = bx;
      Rgba c = (Hash(row, 0, seed) % 3 == 0) ? Mix(r.c[3], r.c[2], 0.3) : r.c[3];
      double n = Noise(x, y, seed + 5);
      if (n < 0.06)
        c = r.c[2];
      else if (n > 0.96)
        c = r.c[4];
      if (ly == 0) c = Mix(r.c[3], r.c[4], 0.55);
      if (ly == 7 || lx == 15) c = r.c[2];
      if ((ly == 7 && lx == 15) || (ly == 7 && Noise(x, row, seed + 6) < 0.2)) c = r.c[1];
      img.Set(x, y, c);
    }
}

void PaintSpeckle(Image& img, const Ramp& r, uint32_t seed, double dark, double light) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      double n = Noise(x, y, seed);
      Rgba c = r.c[3];
      if (n < dark)
        c = r.c[2];
      else if (n > 1 - light)
        c = r.c[4];
      img.Set(x, y, c);
    }
}

void PaintGrass(Image& img, uint32_t seed) {
  img.Fill(pal::kLeaf2);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint32_t h = Hash(x, y, seed) % 23;
      if (h == 0) {
        img.Set(x, y, pal::kLeaf3);
        img.Set(x, Wrap16(y + 1), pal::kLeaf1);
      } else if (h == 1) {
        img.Set(x, y, pal::kLeaf4);
      } else if (h == 2 || h == 3) {
        img.Set(x, y, pal::kLeaf1);
      }
    }
}

void PaintPlanks(Image& img) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      int board = y / 4, ly = y % 4;
      int end = (board * 5 + 3) % 16;
      Rgba c = board % 2 ? pal::kWood2 : Mix(pal::kWood2, pal::kWood3, 0.3);
      if (Noise(x / 3, y, 40 + board) < 0.3) c = Mix(c, pal::kWood1, 0.4);
      if (ly == 0) c = pal::kWood3;
      if (ly == 3) c = pal::kWood0;
      if (x == end && ly != 3) c = pal::kWood0;
      if (x == Wrap16(end + 2) && ly == 1) c = pal::kStone3;
      img.Set(x, y, c);
    }
}

double Ripple(int x, int y, double phase) {
  return std::sin((x + phase) * kPi / 4 + std::sin(y * kPi / 8) * 1.5) * std::cos(y * kPi / 4 + phase);
}

void PaintWater(Image& img, bool deep) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) img.Set(x, y, WaterColour(x, y, deep));
}

void PaintShore(Image& img, bool top, bool bottom, bool left, bool right) {
  PaintWater(img, false);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      // Distance into the water from the nearest shore side, with a gentle wave along it.
      double depth = 99;
      auto side = [&](bool on, int d, int along) {
        if (on) depth = std::min(depth, d - (4 + std::sin(along * kPi / 8) * 1.2));
      };
      side(top, y, x);
      side(bottom, 15 - y, x);
      side(left, x, y);
      side(right, 15 - x, y);
      if (depth < -1)
        img.Set(x, y, Noise(x, y, 61) < 0.15 ? pal::kSand2 : pal::kSand3);
      else if (depth < 0)
        img.Set(x, y, pal::kSand1);
      else if (depth < 1 && ((x + y) % 3) != 0)
        img.Set(x, y, pal::kSea4);
    }
}

CellHit Cells(int x, int y, uint32_t seed, int cell) {
  CellHit hit;
  int n = 16 / cell;
  for (int gy = -1; gy <= n; ++gy)
    for (int gx = -1; gx <= n; ++gx) {
      int wx = (gx + n) % n, wy = (gy + n) % n;
      double px = gx * cell + 0.8 + Noise(wx, wy, seed) * (cell - 1.6);
      double py = gy * cell + 0.8 + Noise(wx, wy, seed + 1) * (cell - 1.6);
      double d = std::hypot(x + 0.5 - px, y + 0.5 - py);
      if (d < hit.d1) {
        hit.d2 = hit.d1;
        hit.d1 = d;
        hit.id = wy * n + wx;
      } else if (d < hit.d2) {
        hit.d2 = d;
      }
    }
  return hit;
}

void PaintCobbles(Image& img, const Ramp& r, uint32_t seed) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      CellHit h = Cells(x, y, seed);
      CellHit up = Cells(x - 1, y - 1, seed);
      Rgba c = Hash(h.id, 1, seed) % 2 ? r.c[3] : r.c[2];
      if (up.id != h.id) c = r.c[4];
      if (h.d2 - h.d1 < 1.0) c = r.c[1];
      img.Set(x, y, c);
    }
}

void PaintBricks(Image& img, const Ramp& r, uint32_t seed) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      int course = y / 4, ly = y % 4;
      int bx = Wrap16(x + (course % 2) * 4);
      int brick = course * 2 + bx / 8, lx = bx % 8;
      Rgba c = Hash(brick, 3, seed) % 3 == 0 ? r.c[2] : r.c[3];
      if (Noise(x, y, seed + 9) < 0.07) c = r.c[2];
      if (ly == 0) c = r.c[4];
      if (ly == 2 && lx == 6) c = r.c[2];
      if (ly == 3 || lx == 7) c = r.c[1];
      img.Set(x, y, c);
    }
}

void PaintWallTop(Image& img, const Ramp& r, uint32_t seed) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      int course = y / 8, ly = y % 8;
      int bx = Wrap16(x + course * 6), lx = bx % 8;
      Rgba c = Hash(course * 2 + bx / 8, 0, seed) % 2 ? r.c[2] : Mix(r.c[2], r.c[1], 0.3);
      if (Noise(x, y, seed) < 0.06) c = r.c[1];
      if (ly == 0) c = Mix(r.c[2], r.c[3], 0.6);
      if (ly == 7 || lx == 7) c = r.c[1];
      img.Set(x, y, c);
    }
}

Rgba LeafColour(int x, int y) {
  CellHit h = Cells(x, y, 77, 5 + 3);  // 8-pixel clumps, 2 x 2 per tile
  double t = h.d1 / 5.5;
  Rgba c = t < 0.45 ? pal::kLeaf3 : t < 0.8 ? pal::kLeaf2 : pal::kLeaf1;
  CellHit lit = Cells(x + 1, y + 1, 77, 8);
  if (lit.id != h.id) c = pal::kLeaf0;
  if (Hash(x, y, 78) % 19 == 0) c = pal::kLeaf4;
  return c;
}

void PaintRock(Image& img, uint32_t seed, bool top) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      CellHit h = Cells(x, y, seed, 8);
      CellHit above = Cells(x, y - 1, seed, 8);
      Rgba c = top ? (Hash(h.id, 0, seed) % 2 ? pal::kStone1 : pal::kStone0)
                   : (Hash(h.id, 0, seed) % 2 ? pal::kStone2 : pal::kStone1);
      if (above.id != h.id) c = top ? pal::kStone2 : pal::kStone3;
      if (h.d2 - h.d1 < 1.0) c = pal::kInk;
      img.Set(x, y, c);
    }
}

}  // namespace art
