#include "tools/art/TileObjects.h"

#include <algorithm>
#include <cmath>

#include "tools/art/Actors.h"
#include "tools/art/Palette.h"

namespace art {

void PaintBlock(Image& img, const Ramp& r, int inset) {
  int a = inset, b = 15 - inset;
  img.Rect(a, a, b - a + 1, b - a + 1, r.c[2]);
  img.Rect(a, a, b - a + 1, 1, r.c[4]);
  img.Rect(a, a, 1, b - a + 1, r.c[3]);
  img.Rect(a, b, b - a + 1, 1, r.c[1]);
  img.Rect(b, a, 1, b - a + 1, r.c[1]);
  img.Rect(a + 2, a + 2, b - a - 3, b - a - 3, r.c[3]);
  img.Rect(a + 3, a + 3, b - a - 5, b - a - 5, r.c[2]);
}

void PaintGemBox(Image& img, bool open) {
  const int top = open ? 7 : 4;
  img.Rect(2, top, 12, 14 - top, pal::kWood2);
  img.Rect(2, top, 12, 1, pal::kWood3);
  img.Rect(2, 13, 12, 1, pal::kWood0);
  img.Rect(2, top, 1, 14 - top, pal::kStone2);
  img.Rect(13, top, 1, 14 - top, pal::kStone1);
  img.Rect(7, top, 2, 14 - top, pal::kStone2);
  if (open) {
    // Lid thrown back: a dark inside and the lid's underside above it.
    img.Rect(2, 2, 12, 4, pal::kWood1);
    img.Rect(3, 3, 10, 2, pal::kWood0);
    img.Rect(2, 6, 12, 2, pal::kInk);
    img.Rect(3, 7, 10, 1, pal::kShadow);
  } else {
    img.Rect(2, 8, 12, 1, pal::kWood0);  // lid seam
    img.Rect(6, 7, 4, 4, pal::kGold1);   // lock plate with a gem
    img.Rect(7, 8, 2, 2, pal::kGem2);
    img.Set(7, 8, pal::kGem3);
    img.Set(6, 7, pal::kGold2);
  }
  img.Outline(pal::kInk);
}

void PaintKey(Image& img) {
  img.Disc(5, 5, 3.6, pal::kGold1);
  img.Disc(4.6, 4.6, 2.8, pal::kGold2);
  img.Disc(5, 5, 1.2, kClear);
  img.Set(3, 3, pal::kGold3);
  Limb(img, 7, 7, 13, 13, 2, pal::kGold1);
  Limb(img, 6.6, 6.6, 12.6, 12.6, 1, pal::kGold2);
  img.Rect(11, 13, 1, 2, pal::kGold1);
  img.Rect(13, 11, 2, 1, pal::kGold1);
  img.Rect(9, 11, 1, 2, pal::kGold1);
  img.Outline(pal::kInk);
  img.Set(5, 5, kClear);
}

void PaintSwitch(Image& img, bool used) {
  img.Rect(3, 2, 10, 12, pal::kStone2);
  img.Rect(3, 2, 10, 1, pal::kStone4);
  img.Rect(3, 2, 1, 12, pal::kStone3);
  img.Rect(3, 13, 10, 1, pal::kStone1);
  img.Rect(12, 2, 1, 12, pal::kStone1);
  img.Rect(6, 7, 4, 2, pal::kInk);                 // slot
  img.Set(4, 3, used ? pal::kRed0 : pal::kLeaf4);  // lamp
  img.Set(11, 3, used ? pal::kRed0 : pal::kLeaf4);
  if (used) {
    Limb(img, 8, 8, 8, 13, 1.6, pal::kStone4);
    img.Disc(8, 13.5, 1.6, pal::kRed1);
  } else {
    Limb(img, 8, 8, 8, 3, 1.6, pal::kStone4);
    img.Disc(8, 2.5, 1.8, pal::kRed2);
    img.Set(7, 2, pal::kRed3);
  }
  img.Outline(pal::kInk);
}

void PaintBlastBlock(Image& img) {
  PaintBlock(img, kStoneRamp);
  for (int y = 2; y <= 4; ++y)
    for (int x = 2; x <= 13; ++x) img.Set(x, y, ((x + y) / 2) % 2 ? pal::kInk : pal::kGold2);
  img.HLine(2, 13, 5, pal::kStone1);
  // Fissures: dark cracks with an orange glow along one side.
  const int cracks[][4] = {{8, 7, 5, 10}, {5, 10, 3, 13}, {8, 7, 11, 9}, {11, 9, 10, 13}, {8, 7, 8, 10}};
  for (const auto& c : cracks) {
    img.Line(c[0] + 1, c[1], c[2] + 1, c[3], pal::kOrange);
    img.Line(c[0], c[1], c[2], c[3], pal::kInk);
  }
  img.Set(8, 7, pal::kGold3);
  img.Outline(pal::kInk);
}

void PaintFruitShadow(Image& img) {
  for (int y = 11; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      double u = (x + 0.5 - 8) / 5.5, v = (y + 0.5 - 13.5) / 1.8;
      if (u * u + v * v <= 1 && (x + y) % 2 == 0) img.Set(x, y, pal::kShadow);
    }
}

void PaintStone(Image& img, double cx, double cy, double rx, double ry) {
  img.Ellipse(cx, cy, rx, ry, pal::kStone1);
  img.Ellipse(cx - 0.4, cy - 0.5, rx - 0.8, ry - 0.8, pal::kStone2);
  img.Ellipse(cx - rx * 0.35, cy - ry * 0.4, std::max(0.8, rx * 0.35), std::max(0.8, ry * 0.3), pal::kStone3);
}

void PaintBush(Image& img, double cx, double cy, double r) {
  img.Disc(cx, cy, r, pal::kLeaf1);
  img.Disc(cx - r * 0.35, cy - r * 0.1, r * 0.6, pal::kLeaf2);
  img.Disc(cx + r * 0.35, cy - r * 0.2, r * 0.55, pal::kLeaf2);
  img.Disc(cx - r * 0.3, cy - r * 0.4, r * 0.35, pal::kLeaf3);
  img.Set(int(cx + r * 0.3), int(cy - r * 0.5), pal::kLeaf4);
}

void PaintFlower(Image& img, int x, int y, Rgba petal) {
  img.VLine(x, y + 1, y + 3, pal::kLeaf1);
  img.Set(x - 1, y, petal);
  img.Set(x + 1, y, petal);
  img.Set(x, y - 1, petal);
  img.Set(x, y + 1, petal);
  img.Set(x, y, pal::kGold2);
}

void PaintArrow(Image& img, int dir) {
  Image arrow(16, 16);
  arrow.Rect(3, 7, 6, 2, pal::kGold2);
  for (int k = 0; k < 5; ++k) arrow.VLine(8 + k, 3 + k, 12 - k, pal::kGold2);
  arrow.Rect(3, 7, 8, 1, pal::kGold3);
  arrow.Outline(pal::kGold0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      int sx = x, sy = y;
      if (dir == 1) sx = 15 - x;
      if (dir == 2) sx = 15 - y, sy = x;
      if (dir == 3) sx = y, sy = x;
      Rgba c = arrow.Get(sx, sy);
      if (c.a) img.Set(x, y, c);
    }
}

}  // namespace art
