#include "tools/art/Fruits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/art/Actors.h"
#include "tools/art/Effects.h"
#include "tools/art/Palette.h"

namespace art {

namespace {

// Paints fruit `kind` at rest; returns where its glint sits.
Image DrawFruitBody(int kind, int& glintX, int& glintY) {
  Image img(16, 16);
  switch (kind) {
    case 0:  // apple
      img.Ellipse(8, 9.5, 5.5, 5, pal::kRed1);
      img.Ellipse(7.5, 9, 4.6, 4.2, pal::kRed2);
      img.Ellipse(6, 7.5, 2, 1.8, pal::kRed3);
      img.Set(8, 5, pal::kRed1);
      img.Line(8, 5, 9, 2, pal::kWood1);
      img.Ellipse(11, 3.5, 2, 1.2, pal::kLeaf2);
      img.Set(11, 3, pal::kLeaf3);
      glintX = 5, glintY = 7;
      break;
    case 1:  // cherries
      img.Line(5, 10, 8, 3, pal::kLeaf1);
      img.Line(11, 9, 8, 3, pal::kLeaf1);
      img.Ellipse(9.5, 2.5, 2, 1, pal::kLeaf2);
      img.Disc(5, 11.5, 3, pal::kRed1);
      img.Disc(4.7, 11.2, 2.3, pal::kRed2);
      img.Disc(11, 10.5, 3, pal::kRed1);
      img.Disc(10.7, 10.2, 2.3, pal::kRed2);
      img.Set(4, 10, pal::kRed3);
      img.Set(10, 9, pal::kRed3);
      glintX = 4, glintY = 10;
      break;
    case 2:  // banana
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          double d1 = std::hypot(x + 0.5 - 4, y + 0.5 - 3), d2 = std::hypot(x + 0.5 - 3, y + 0.5 - 0);
          if (d1 <= 11 && d2 > 11.5 && y > 2) img.Set(x, y, d1 > 9.5 ? pal::kGold1 : pal::kGold2);
        }
      for (int x = 4; x < 11; ++x) img.Tint(x, 13 - (x - 4) / 3, pal::kGold3);
      img.Rect(13, 3, 1, 3, pal::kWood1);
      img.Set(13, 3, pal::kLeaf1);
      glintX = 7, glintY = 11;
      break;
    case 3:  // grapes
      static constexpr int kBerries[9][2] = {{5, 6},  {8, 6},  {11, 6},  {6, 9}, {9, 9},
                                             {12, 9}, {7, 12}, {10, 12}, {8, 14}};
      for (const auto& b : kBerries) {
        img.Disc(b[0] + 0.5, b[1] + 0.5, 2, pal::kPurple1);
        img.Disc(b[0] + 0.2, b[1] + 0.2, 1.3, pal::kPurple2);
        img.Set(b[0] - 1, b[1] - 1, pal::kPurple3);
      }
      img.Line(8, 4, 9, 1, pal::kWood1);
      img.Ellipse(11.5, 2.5, 2, 1.2, pal::kLeaf2);
      glintX = 7, glintY = 8;
      break;
    case 4:  // strawberry
      for (int y = 4; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          double half = 5.5 - std::max(0.0, (y - 8) * 0.8);
          if (std::abs(x + 0.5 - 8) <= half && y < 15) img.Set(x, y, x < 8 ? pal::kRed2 : pal::kRed1);
        }
      img.Rect(4, 4, 8, 1, kClear);
      img.Set(4, 5, kClear);
      img.Set(11, 5, kClear);
      for (int y = 6; y < 14; y += 2)
        for (int x = 4 + (y / 2) % 2; x < 12; x += 3) img.Tint(x, y, pal::kGold3);
      img.Ellipse(8, 4.5, 4, 1.5, pal::kLeaf2);
      img.Set(8, 2, pal::kLeaf1);
      img.Set(8, 3, pal::kLeaf1);
      img.Set(5, 5, pal::kLeaf1);
      img.Set(10, 5, pal::kLeaf1);
      glintX = 6, glintY = 7;
      break;
    default:  // melon slice
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          double d = std::hypot(x + 0.5 - 8, y + 0.5 - 5);
          if (y < 5 || d > 7) continue;
          img.Set(x, y, d > 6 ? pal::kLeaf1 : d > 5.2 ? pal::kLeaf4 : pal::kRed2);
        }
      img.HLine(1, 14, 5, pal::kRed3);
      img.Set(6, 8, pal::kInk);
      img.Set(10, 8, pal::kInk);
      img.Set(8, 10, pal::kInk);
      glintX = 4, glintY = 6;
      break;
  }
  img.Outline(pal::kInk);
  return img;
}

}  // namespace

std::vector<Image> DrawFruitFrames(int kind) {
  int gx = 0, gy = 0;
  const Image body = DrawFruitBody(kind, gx, gy);
  std::vector<Image> frames;
  for (int f = 0; f < 16; ++f) {
    Image img(16, 16);
    int lift = int(std::lround(std::sin(f * 2 * kPi / 16)));
    img.Blit(body, 0, 0, 16, 16, 0, -lift);
    if (f >= 4 && f <= 6)
      Twinkle(img, gx, gy - lift, f == 5 ? 2 : 1, pal::kGold3);
    else
      img.Set(gx, gy - lift, pal::kWhite);
    frames.push_back(img);
  }
  return frames;
}

}  // namespace art
