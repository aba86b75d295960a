// Menu pictures: the 640 x 480 background "Graphic/BackBild.png", the pulsing highlight box
// "Graphic/BoxStrip.png" (192 x 32 frames stacked downwards) and the mouse pointer
// "Graphic/MouseStrip.png" (two 32 x 32 frames, tip at the top-left corner).
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "tools/art/Actors.h"
#include "tools/art/Canvas.h"
#include "tools/art/Effects.h"
#include "tools/art/Palette.h"

namespace art {

// True when the pixel centre (x + 0.5, y + 0.5) lies inside the polygon.
inline bool InsidePolygon(const std::vector<std::pair<double, double>>& poly, int x, int y) {
  double px = x + 0.5, py = y + 0.5;
  bool inside = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    auto [xi, yi] = poly[i];
    auto [xj, yj] = poly[j];
    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// A dark panel with a thin violet rim and soft (dithered) corners, to keep text areas calm.
inline void DarkPanel(Image& img, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int dx = std::min(x - x0, x1 - x), dy = std::min(y - y0, y1 - y);
      if (dx + dy < 4) continue;  // clipped corners
      Rgba c = Mix(img.Get(x, y), pal::kInk, 0.7);
      if (dx == 0 || dy == 0 || dx + dy == 4)
        c = pal::kPurple1;
      else if (dx == 1 || dy == 1 || dx + dy == 5)
        c = pal::kInk;
      img.Set(x, y, c);
    }
}

// A gold ribbon band across the screen with ornamental ends, for the title and the footer.
inline void GoldBand(Image& img, int y0, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = 24; x < 616; ++x) {
      int taper = std::max(0, 40 - std::min(x - 24, 615 - x));
      int dy = std::min(y - y0, y1 - y);
      if (dy * 3 < taper - 20) continue;
      Rgba c = Mix(img.Get(x, y), pal::kInk, 0.75);
      if (dy == 0)
        c = pal::kGold1;
      else if (dy == 1)
        c = pal::kGold0;
      img.Set(x, y, c);
    }
}

inline void GemOrnament(Image& img, int cx, int cy, int r) {
  for (int y = cy - r - 1; y <= cy + r + 1; ++y)
    for (int x = cx - r - 1; x <= cx + r + 1; ++x) {
      int d = std::abs(x - cx) + std::abs(y - cy);
      if (d > r + 1) continue;
      Rgba c = d > r ? pal::kInk
                     : (x < cx ? (y < cy ? pal::kGem3 : pal::kGem1) : (y < cy ? pal::kGem2 : pal::kGem0));
      img.Set(x, y, c);
    }
}

inline Image MakeBackground() {
  Image img(640, 480);
  // Night-blue stone wall: big bricks with low contrast, lighter towards the middle.
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      int course = y / 20, ly = y % 20;
      int bx = x + (course % 2) * 20, brick = course * 100 + bx / 40, lx = bx % 40;
      double v = 0.45 + 0.25 * Noise(brick, 0, 201) + 0.12 * Noise(x / 2, y / 2, 202);
      double cx = (x - 320) / 320.0, cy = (y - 240) / 240.0;
      v *= 1.0 - 0.45 * (cx * cx + cy * cy) / 2;  // vignette
      Rgba c = Mix(pal::kInk, pal::kPurple1, v);
      if (ly == 0) c = Mix(c, pal::kPurple2, 0.35);
      if (ly == 19 || lx == 39) c = Mix(c, pal::kInk, 0.7);
      img.Set(x, y, c);
    }
  // Scattered faint stars of light on the stones.
  for (int k = 0; k < 90; ++k) {
    int x = int(Hash(k, 1, 203) % 620) + 10, y = int(Hash(k, 2, 203) % 460) + 10;
    img.Set(x, y, k % 3 ? pal::kPurple3 : pal::kPurple4);
  }
  GoldBand(img, 24, 94);
  GoldBand(img, 398, 454);
  DarkPanel(img, 108, 118, 500, 266);
  DarkPanel(img, 520, 190, 578, 322);
  // Gold frame around the whole screen.
  const Rgba frame[8] = {pal::kInk,   pal::kGold0, pal::kGold2, pal::kGold3,
                         pal::kGold1, pal::kGold0, pal::kInk,   pal::kShadow};
  for (int k = 0; k < 8; ++k) img.Frame(k, k, 640 - 2 * k, 480 - 2 * k, frame[k]);
  for (int x = 40; x < 640; x += 80) {
    GemOrnament(img, x, 4, 3);
    GemOrnament(img, x, 475, 3);
  }
  for (int y = 60; y < 480; y += 120) {
    GemOrnament(img, 4, y, 3);
    GemOrnament(img, 635, y, 3);
  }
  for (auto [x, y] : {std::pair{12, 12}, std::pair{627, 12}, std::pair{12, 467}, std::pair{627, 467}})
    GemOrnament(img, x, y, 7);
  return img;
}

// The highlight box: a gold frame whose glow swells and fades over 8 frames while a bright spark
// runs round it; the inside stays transparent.
inline Image MakeBoxStrip() {
  Image strip(192, 256);
  const Rgba glow[8] = {pal::kGold0, pal::kGold1, pal::kGold2, pal::kGold3,
                        pal::kWhite, pal::kGold3, pal::kGold2, pal::kGold1};
  for (int f = 0; f < 8; ++f) {
    Image box(192, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 192; ++x) {
        int dx = std::min(x, 191 - x), dy = std::min(y, 31 - y);
        int d = std::min(dx, dy);
        if (dx + dy < 3 || d > 2) continue;  // rounded corners, hollow middle
        Rgba c = d == 1 ? glow[f] : (d == 0 ? pal::kGold1 : pal::kGold0);
        if (d == 0 && glow[f] == pal::kWhite) c = pal::kGold2;
        box.Set(x, y, c);
      }
    // Two sparks chasing round the rim.
    const int perimeter = 2 * (192 + 32);
    for (int s = 0; s < 2; ++s) {
      int p = (f * perimeter / 8 + s * perimeter / 2) % perimeter;
      int x = 0, y = 0;
      if (p < 192)
        x = p, y = 1;
      else if (p < 224)
        x = 190, y = p - 192;
      else if (p < 416)
        x = 191 - (p - 224), y = 30;
      else
        x = 1, y = 31 - (p - 416);
      for (int k = -2; k <= 2; ++k) {
        box.Tint(x + k, y, pal::kWhite);
        box.Tint(x, y + k, pal::kWhite);
      }
    }
    strip.Copy(box, 0, 0, 192, 32, 0, f * 32);
  }
  return strip;
}

// The pointer: an arrow with its tip on the top-left pixel; the second frame glints gold.
inline Image MakeMouseStrip() {
  const std::vector<std::pair<double, double>> arrow = {{0, 0},     {0, 21}, {5, 16},   {9, 25},
                                                        {13, 23.5}, {9, 15}, {15.5, 15}};
  Image strip(64, 32);
  for (int f = 0; f < 2; ++f) {
    Image img(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (InsidePolygon(arrow, x, y)) {
          Rgba c = f == 0 ? pal::kWhite : pal::kGold3;
          if (x > y * 0.45 + 3) c = f == 0 ? pal::kStone4 : pal::kGold2;
          img.Set(x, y, c);
        }
    // The rim goes on the inner side of the tip so the very first pixel is the hot spot.
    Image rim = img;
    rim.Outline(pal::kInk);
    img = rim;
    img.Set(0, 0, f == 0 ? pal::kWhite : pal::kGold3);
    if (f == 1) Twinkle(img, 20, 6, 3, pal::kGold2);
    strip.Copy(img, 0, 0, 32, 32, f * 32, 0);
  }
  return strip;
}

}  // namespace art
