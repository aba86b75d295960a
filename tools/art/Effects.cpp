#include "tools/art/Effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/art/Actors.h"

namespace art {

void Twinkle(Image& img, int x, int y, int arm, Rgba tip, Rgba core) {
  for (int k = 1; k <= arm; ++k) {
    Rgba c = k == arm ? tip : core;
    img.Set(x + k, y, c);
    img.Set(x - k, y, c);
    img.Set(x, y + k, c);
    img.Set(x, y - k, c);
  }
  img.Set(x, y, core);
}

std::vector<Image> DrawGemFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < 8; ++f) {
    Image img(16, 16);
    // Crown (rows 3..6) and pavilion (rows 7..13) as a shaded silhouette.
    for (int y = 3; y <= 13; ++y) {
      int half = y <= 6 ? 3 + (y - 3) : 6 - (y - 7) * 6 / 7;
      if (y == 13) half = 0;
      for (int x = 8 - half - 1; x <= 7 + half; ++x) {
        if (x < 8 - half - 1 || x > 7 + half) continue;
        Rgba c = pal::kGem1;
        if (y <= 6)
          c = (x < 6) ? pal::kGem2 : (x > 9 ? pal::kGem1 : pal::kGem3);
        else
          c = (x < 6) ? pal::kGem1 : (x > 9 ? pal::kGem0 : pal::kGem2);
        if (y == 6) c = pal::kGem3;  // girdle line
        img.Set(x, y, c);
      }
    }
    // Facet lines of the pavilion.
    img.Line(5, 7, 8, 13, pal::kGem0);
    img.Line(10, 7, 7, 13, pal::kGem1);
    // A glint sliding from left to right across the crown.
    int gx = 3 + f * 2;
    for (int y = 3; y <= 12; ++y)
      if (img.Solid(gx, y) && img.Solid(gx + 1, y)) {
        img.Set(gx, y, pal::kWhite);
        if (y < 7) img.Set(gx + 1, y, pal::kGem3);
      }
    img.Outline(pal::kInk);
    // Twinkle on the upper corner in the middle of the cycle.
    if (f == 3 || f == 5) Twinkle(img, 11, 3, 1, pal::kGem3);
    if (f == 4) Twinkle(img, 11, 3, 2, pal::kGem3);
    frames.push_back(img);
  }
  return frames;
}

std::vector<Image> DrawFireFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < 8; ++f) {
    Image img(16, 16);
    const double t = f * 2 * kPi / 8;
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 16; ++x) {
        double tall = 12.5 * (0.72 + 0.28 * std::sin(x * 1.3 + t * 2 + (x % 3)));
        double h = (13.5 - (y + 0.5)) / tall;  // 0 at the base, 1 at the local tip
        if (h < 0 || h > 1) continue;
        double cx = 8 + 1.8 * std::sin(t + h * 3.5) * h;
        double w = 5.8 * std::pow(1 - h, 0.55) + 0.5;
        double d = std::abs(x + 0.5 - cx) / w;
        if (d > 1) continue;
        double heat = (1 - d) * (1.15 - h) + 0.12 * Noise(x, y, 300 + f);
        Rgba c = heat > 0.75   ? pal::kGold3
                 : heat > 0.5  ? pal::kGold2
                 : heat > 0.28 ? pal::kOrange
                               : pal::kRed2;
        img.Set(x, y, c);
      }
    // Sparks rising from the tip.
    for (int k = 0; k < 2; ++k) {
      int sy = 5 - ((f + k * 4) % 8) / 2 * 2, sx = 5 + k * 6 + ((f + k) % 3) - 1;
      if (!img.Solid(sx, sy)) img.Set(sx, sy, k ? pal::kGold2 : pal::kOrange);
    }
    img.Outline(pal::kRed0);
    // Embers and logs.
    img.Rect(3, 13, 10, 2, pal::kWood1);
    img.Rect(4, 13, 3, 1, pal::kWood2);
    img.Rect(9, 14, 3, 1, pal::kWood2);
    for (int x = 4; x < 12; ++x)
      if (Hash(x, f, 7) % 3 == 0) img.Set(x, 13, pal::kOrange);
    img.Frame(2, 12, 12, 4, pal::kInk);
    img.Set(2, 12, kClear);
    img.Set(13, 12, kClear);
    img.Set(2, 15, kClear);
    img.Set(13, 15, kClear);
    frames.push_back(img);
  }
  return frames;
}

std::vector<Image> DrawExitFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < 8; ++f) {
    Image img(32, 32);
    const double glow = std::sin(f * kPi / 8);  // 0 at frame 0, brightest at frame 4
    // Arch stones.
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        double dx = x + 0.5 - 16, dy = y + 0.5 - 14;
        bool inArch = y >= 14 ? std::abs(dx) <= 15 : dx * dx + dy * dy <= 15 * 15;
        bool inHole = y >= 12 ? std::abs(dx) <= 10 : dx * dx + (dy + 2) * (dy + 2) <= 10 * 10;
        if (!inArch || inHole) continue;
        int brick = (y >= 14) ? (y / 5) * 3 + (x < 16 ? 0 : 1) : int(std::atan2(dy, dx) * 4);
        Rgba c = Hash(brick, 0, 11) % 2 ? pal::kStone2 : pal::kStone3;
        if ((y >= 14 && y % 5 == 0) || x == 1 || x == 30) c = pal::kStone1;
        img.Set(x, y, c);
      }
    // Keystone with a gem socket that lights up when the exit opens.
    img.Rect(13, 0, 6, 5, pal::kStone4);
    img.Rect(14, 1, 4, 3, f == 0 ? pal::kGem0 : pal::kGem2);
    if (f > 0) img.Set(15, 1, pal::kWhite);
    // The two door leaves, planked wood with iron bands.
    for (int y = 2; y < 32; ++y)
      for (int x = 6; x < 26; ++x) {
        double dx = x + 0.5 - 16, dy = y + 0.5 - 12;
        if (y < 12 && dx * dx + dy * dy > 10 * 10) continue;
        Rgba c = (x % 4 == 1) ? pal::kWood1 : pal::kWood2;
        if (y == 12 || y == 24) c = pal::kStone1;
        if (x == 15 || x == 16) c = pal::kWood0;
        img.Set(x, y, c);
      }
    img.Set(13, 19, pal::kGold2);
    img.Set(18, 19, pal::kGold2);
    // Light through the opening seam and runes on the leaves.
    if (f > 0) {
      int gap = int(std::lround(1 + glow * 3));
      for (int y = 3; y < 32; ++y)
        for (int x = 16 - gap; x < 16 + gap; ++x) {
          double dx = x + 0.5 - 16, dy = y + 0.5 - 12;
          if (y < 12 && dx * dx + dy * dy > 10 * 10) continue;
          img.Set(x, y, std::abs(dx) < gap - 1 ? pal::kWhite : pal::kGold3);
        }
      Rgba rune = glow > 0.7 ? pal::kGold3 : pal::kGold2;
      for (int k = 0; k < 3; ++k) {
        img.Set(9, 8 + k * 7, rune);
        img.Set(22, 8 + k * 7, rune);
        img.Set(10, 9 + k * 7, rune);
        img.Set(21, 9 + k * 7, rune);
      }
      // Rays spilling onto the threshold.
      for (int x = 12; x < 20; ++x)
        if ((x + f) % 3 == 0) img.Set(x, 31, pal::kGold3);
    }
    frames.push_back(img);
  }
  return frames;
}

std::vector<Image> DrawExplosionFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < 16; ++f) {
    Image img(32, 32);
    double radius = f < 6 ? 4 + f * 2.2 : 15;
    double heat = f < 3 ? 1.0 : std::max(0.0, 1.0 - (f - 3) / 7.0);  // 1 = white hot, 0 = smoke
    double fade = f < 9 ? 0 : (f - 8) / 9.5;                         // share of pixels gone
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
        double ang = std::atan2(dy, dx);
        double rag = 1 + 0.18 * std::sin(ang * 5 + f) + 0.12 * std::sin(ang * 9 - f * 2);
        double d = std::hypot(dx, dy) / (radius * rag);
        if (d > 1) continue;
        if (Noise(x / 2, y / 2, 31 + f) < fade * 1.2 || Bayer4(x, y) < fade) continue;
        double v = (1 - d) * (0.4 + heat) + 0.15 * Noise(x, y, 90 + f);
        Rgba c;
        if (heat <= 0.05)
          c = v > 0.55 ? pal::kStone4 : v > 0.3 ? pal::kStone3 : pal::kStone2;
        else if (v > 1.0)
          c = pal::kWhite;
        else if (v > 0.75)
          c = pal::kGold3;
        else if (v > 0.5)
          c = pal::kGold2;
        else if (v > 0.3)
          c = pal::kOrange;
        else if (v > 0.15)
          c = pal::kRed2;
        else
          c = heat > 0.4 ? pal::kRed1 : pal::kStone1;
        img.Set(x, y, c);
      }
    // Debris flying out during the fireball.
    if (f >= 2 && f < 11)
      for (int k = 0; k < 8; ++k) {
        double a = k * kPi / 4 + 0.4;
        double r = 6 + f * 1.5;
        img.Rect(int(16 + r * std::cos(a)), int(16 + r * std::sin(a)), 2, 2,
                 k % 2 ? pal::kStone1 : pal::kWood1);
      }
    frames.push_back(img);
  }
  return frames;
}

std::vector<Image> DrawGemSuckFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < 8; ++f) {
    Image img(16, 16);
    double r = 1 + f * 0.9;
    int arm = f < 3 ? 2 : f < 6 ? 1 : 0;
    for (int k = 0; k < 6; ++k) {
      double a = k * kPi / 3 + f * 0.25;
      int x = int(std::lround(7.5 + r * std::cos(a))), y = int(std::lround(7.5 + r * std::sin(a)));
      Twinkle(img, x, y, arm, k % 2 ? pal::kGem2 : pal::kGem3, k % 2 ? pal::kGem3 : pal::kWhite);
    }
    if (f < 3) Twinkle(img, 7, 7, 3 - f, pal::kGem2);
    frames.push_back(img);
  }
  return frames;
}

std::vector<Image> DrawKeySuckFrames() {
  std::vector<Image> frames;
  for (int f = 0; f < 8; ++f) {
    Image img(16, 16);
    for (int k = 0; k < 5; ++k) {
      double spread = (k - 2) * (0.6 + f * 0.45);
      double rise = f * 1.6 - (k % 2) * 1.5;
      int x = int(std::lround(7.5 + spread)), y = int(std::lround(11 - rise + 0.12 * spread * spread));
      if (f >= 6 && (k + f) % 2) continue;
      if (f < 5) {
        img.Frame(x - 1, y - 1, 3, 3, k % 2 ? pal::kGold2 : pal::kGold3);
        img.Set(x - 1, y - 1, kClear);
        img.Set(x + 1, y + 1, kClear);
      } else {
        Twinkle(img, x, y, 1, pal::kGold2, pal::kGold3);
      }
    }
    frames.push_back(img);
  }
  return frames;
}

std::vector<Image> DrawCloudFrames() {
  std::vector<Image> frames;
  static constexpr double kPuffs[5][3] = {{8, 9, 4}, {5, 8, 3}, {11, 8, 3}, {7, 5, 3}, {10, 11, 2.5}};
  for (int f = 0; f < 8; ++f) {
    Image img(16, 16);
    double grow = 0.55 + f * 0.1;
    double fade = f < 4 ? 0 : (f - 3) / 5.0;
    for (const auto& p : kPuffs) {
      double cx = 8 + (p[0] - 8) * (1 + f * 0.08), cy = p[1] - f * 0.5;
      double r = p[2] * grow;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
          if (d > 1 || Bayer4(x, y) < fade) continue;
          Rgba c = d < 0.5 && (x + 0.5 < cx) ? pal::kWhite
                                             : (y + 0.5 > cy + r * 0.3 ? pal::kStone3 : pal::kStone4);
          img.Set(x, y, c);
        }
    }
    if (f < 5) img.Outline(pal::kStone1);
    frames.push_back(img);
  }
  return frames;
}

}  // namespace art
