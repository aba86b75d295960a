#include "tools/art/Menu.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "tools/art/Effects.h"
#include "tools/art/Palette.h"

namespace art {

namespace {

// True when the pixel centre (x + 0.5, y + 0.5) lies inside the polygon.
bool InsidePolygon(const std::vector<std::pair<double, double>>& poly, int x, int y) {
  double px = x + 0.5, py = y + 0.5;
  bool inside = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    auto [xi, yi] = poly[i];
    auto [xj, yj] = poly[j];
    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

void GemOrnament(Image& img, int cx, int cy, int r) {
  for (int y = cy - r - 1; y <= cy + r + 1; ++y)
    for (int x = cx - r - 1; x <= cx + r + 1; ++x) {
      int d = std::abs(x - cx) + std::abs(y - cy);
      if (d > r + 1) continue;
      Rgba c = d > r ? pal::kInk
                     : (x < cx ? (y < cy ? pal::kGem3 : pal::kGem1) : (y < cy ? pal::kGem2 : pal::kGem0));
      img.Set(x, y, c);
    }
}

// One pillar: fluted stone between gold rims, a gold capital under the frieze and a stepped plinth at
// the foot, with gems set into the shaft. `left` is its first column; it is 28 pixels wide.
void MenuPillar(Image& img, int left) {
  const PixelRect r{left, 0, left + 27, 479};
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      const int dx = x - r.x0;
      double v = 0.3 + 0.1 * Noise(x / 2, y / 3, 211);
      // Flutes: dark grooves with a lit edge, and light from the left, so the shaft reads as round.
      const int flute = (dx - 5) % 6;
      if (dx >= 5 && dx <= 22 && flute == 0) v -= 0.3;
      if (dx >= 5 && dx <= 22 && flute == 1) v += 0.25;
      v += 0.35 * (1.0 - std::abs(dx - 10.0) / 14.0);
      Rgba c = Mix(pal::kInk, pal::kPurple2, std::clamp(v, 0.0, 1.0));
      if (dx == 0 || dx == 27)
        c = pal::kInk;
      else if (dx == 1 || dx == 26)
        c = pal::kGold1;
      else if (dx == 2 || dx == 25)
        c = pal::kGold0;
      img.Set(x, y, c);
    }
  // Capital and plinth: gold bands across the shaft.
  auto band = [&](int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = r.x0 + 1; x <= r.x1 - 1; ++x) {
        const int d = std::min(y - y0, y1 - y);
        img.Set(x, y, d == 0 ? pal::kGold0 : d == 1 ? pal::kGold2 : pal::kGold1);
      }
    img.HLine(r.x0, r.x1, y0 - 1, pal::kInk);
    img.HLine(r.x0, r.x1, y1 + 1, pal::kInk);
  };
  band(11, 17);
  band(22, 24);
  band(452, 456);
  band(462, 478);
  for (int y = 100; y < 440; y += 80) GemOrnament(img, r.x0 + 14, y, 4);
  GemOrnament(img, r.x0 + 14, 470, 3);
}

}  // namespace

std::vector<PixelRect> MenuBackgroundLines() {
  return {kMenuFrieze, kMenuPillarLeft, kMenuPillarRight, kMenuLintelEdge};
}

Image MakeBackground() {
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
      // The wall in the gate lies in shadow, deepest in the middle where the rows of text are, with no
      // edge of its own: the texts of all three screens spread over nearly all of it.
      const double shade = 0.25 + 0.3 * std::max(0.0, 1.0 - (cx * cx * 0.6 + cy * cy * 0.8));
      c = Mix(c, pal::kInk, shade);
      img.Set(x, y, c);
    }
  // Scattered faint stars of light on the stones.
  for (int k = 0; k < 90; ++k) {
    int x = int(Hash(k, 1, 203) % 620) + 10, y = int(Hash(k, 2, 203) % 460) + 10;
    img.Set(x, y, k % 3 ? pal::kPurple3 : pal::kPurple4);
  }
  // The lintel: a dark carved panel across the top between the pillars, edged in gold along its foot.
  for (int y = kMenuLintelTop; y < kMenuLintelEdge.y0; ++y)
    for (int x = kMenuLintelEdge.x0; x <= kMenuLintelEdge.x1; ++x) {
      img.Set(x, y, Mix(img.Get(x, y), pal::kInk, 0.6));
    }
  {
    const PixelRect e = kMenuLintelEdge;
    const Rgba rows[4] = {pal::kInk, pal::kGold2, pal::kGold0, pal::kInk};
    for (int k = 0; k < 4; ++k) img.HLine(e.x0, e.x1, e.y0 + k, rows[k]);
  }
  MenuPillar(img, kMenuPillarLeft.x0);
  MenuPillar(img, kMenuPillarRight.x0);
  // The frieze: a gold band across the top with gems, over the heads of the pillars.
  {
    const Rgba rows[10] = {pal::kInk,   pal::kGold0, pal::kGold2, pal::kGold3, pal::kGold1,
                           pal::kGold1, pal::kGold2, pal::kGold0, pal::kInk,   pal::kShadow};
    for (int k = 0; k < 10; ++k) img.HLine(0, 639, k, rows[k]);
    for (int x = 40; x < 640; x += 80) GemOrnament(img, x, 4, 3);
    GemOrnament(img, 14, 5, 4);
    GemOrnament(img, 625, 5, 4);
  }
  return img;
}

Image MakeBoxStrip() {
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

Image MakeMouseStrip() {
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
