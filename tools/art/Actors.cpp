#include "tools/art/Actors.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/art/Palette.h"

namespace art {

namespace {

// Walk phase of frame f of an 8-frame cycle; frames 2 and 6 have both feet together, so frame 2
// doubles as the standing pose.
double StridePhase(int frame) {
  return std::sin((frame - 2) * 2 * kPi / 8);
}

void BoyHead(Image& img, Facing facing, int top) {
  const int cy = top + 5;
  img.Ellipse(8, cy + 0.5, 5, 5, pal::kSkin1);
  img.Ellipse(7.5, cy, 4, 4.2, pal::kSkin2);
  if (facing == Facing::kUp) {
    // Seen from behind: all hair, with a crown highlight and a darker nape.
    img.Ellipse(8, cy + 0.5, 5, 5, pal::kWood1);
    img.Ellipse(7.5, cy - 0.5, 4, 3.8, pal::kWood2);
    img.Rect(6, cy - 3, 3, 1, pal::kWood3);
    img.Rect(4, cy + 4, 8, 1, pal::kWood0);
    img.Set(3, cy + 1, pal::kSkin1);  // ears peeking out
    img.Set(12, cy + 1, pal::kSkin1);
    return;
  }
  if (facing == Facing::kDown) {
    // Hair cap with a fringe, two eyes, rosy cheeks.
    img.Ellipse(8, cy - 1.5, 5.2, 3.8, pal::kWood1);
    img.Ellipse(7.5, cy - 2, 4, 2.6, pal::kWood2);
    img.Rect(6, cy - 4, 2, 1, pal::kWood3);
    img.Rect(3, cy - 1, 1, 3, pal::kWood1);
    img.Rect(12, cy - 1, 1, 3, pal::kWood1);
    img.Rect(5, cy, 6, 1, pal::kWood1);  // fringe line
    img.Set(7, cy, pal::kSkin2);
    img.Rect(5, cy + 1, 1, 2, pal::kInk);
    img.Rect(10, cy + 1, 1, 2, pal::kInk);
    img.Set(5, cy + 1, pal::kSea0);
    img.Set(10, cy + 1, pal::kSea0);
    img.Set(4, cy + 3, pal::kPink);
    img.Set(11, cy + 3, pal::kPink);
    img.Rect(7, cy + 4, 2, 1, pal::kSkin0);
    return;
  }
  // Profile facing right (the left view is its mirror): hair over the crown and the back of the
  // head, the face open towards the front.
  img.Ellipse(7.5, cy - 2, 5, 3.2, pal::kWood1);
  img.Ellipse(7, cy - 2.5, 3.6, 2.2, pal::kWood2);
  img.Rect(6, cy - 4, 2, 1, pal::kWood3);
  img.Rect(3, cy - 1, 4, 4, pal::kWood1);  // back of the head
  img.Rect(3, cy - 1, 1, 4, pal::kWood0);
  img.Rect(4, cy + 3, 2, 1, pal::kWood0);
  img.Rect(9, cy - 1, 4, 1, pal::kWood1);  // fringe
  img.Set(12, cy, pal::kWood1);
  img.Set(7, cy + 1, pal::kSkin1);  // ear
  img.Set(7, cy + 2, pal::kSkin0);
  img.Rect(11, cy + 1, 1, 2, pal::kInk);  // eye
  img.Set(10, cy + 1, pal::kWhite);
  img.Set(13, cy + 2, pal::kSkin2);  // nose
  img.Set(13, cy + 3, pal::kSkin1);
  img.Set(11, cy + 4, pal::kSkin0);  // mouth
}

}  // namespace

void Limb(Image& img, double x0, double y0, double x1, double y1, double width, Rgba c) {
  int steps = int(std::ceil(std::hypot(x1 - x0, y1 - y0) * 2)) + 1;
  for (int i = 0; i <= steps; ++i) {
    double t = double(i) / steps;
    img.Disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, c);
  }
}

Image DrawBoyFigure(Facing facing, int frame) {
  Image img(16, 32);
  const double s = StridePhase(frame);
  const int bob = std::abs(s) < 0.5 ? -1 : 0;  // the body rides highest as the feet pass
  const int top = 3 + bob + 1;                 // head top
  const int chest = top + 10;                  // first shirt row
  const int hip = 21;

  if (facing == Facing::kRight || facing == Facing::kLeft) {
    // Far arm and far leg first, in darker shades, so the near limbs overlap them.
    Limb(img, 8, hip + 1, 8 - 3 * s, 28.5, 2.6, pal::kSea1);
    Limb(img, 8 - 3 * s, 29, 10 - 3 * s, 29, 2, pal::kWood0);
    Limb(img, 8, chest + 1, 8 - 2.5 * s, chest + 5, 2, pal::kRed1);
    img.Disc(8 - 2.5 * s, chest + 6, 1.2, pal::kSkin1);
    // Trousers and near leg; the foot lifts while it swings forward.
    img.Rect(5, hip - 1, 6, 3, pal::kSea2);
    double lift = s > 0 ? 1.5 * s : 0;
    Limb(img, 8, hip + 1, 8 + 3 * s, 28.5 - lift, 2.8, pal::kSea2);
    Limb(img, 8 + 3 * s, 29 - lift, 10.5 + 3 * s, 29 - lift, 2.2, pal::kWood1);
    // Shirt, belt, near arm.
    img.Rect(5, chest, 6, hip - chest, pal::kRed2);
    img.Rect(5, chest, 1, hip - chest, pal::kRed3);
    img.Rect(10, chest, 1, hip - chest, pal::kRed1);
    img.Rect(5, hip - 1, 6, 1, pal::kWood0);
    img.Set(9, hip - 1, pal::kGold2);
    Limb(img, 8, chest + 1, 8 + 2.5 * s, chest + 5, 2.2, pal::kRed2);
    img.Disc(8 + 2.5 * s, chest + 6, 1.3, pal::kSkin2);
    BoyHead(img, Facing::kRight, top);
  } else {
    // Front and back: the legs take turns lifting, the arms swing up and down with them.
    double liftL = s > 0 ? 2 * s : 0, liftR = s < 0 ? -2 * s : 0;
    Rgba leg = pal::kSea2, legDark = pal::kSea1;
    img.Rect(5, hip, 3, int(std::lround(8 - liftL)), leg);
    img.Rect(8, hip, 3, int(std::lround(8 - liftR)), legDark);
    img.Rect(7, hip, 1, 3, pal::kSea1);
    int footL = int(std::lround(28 - liftL)), footR = int(std::lround(28 - liftR));
    img.Rect(4, footL, 4, 2, pal::kWood1);
    img.Rect(8, footR, 4, 2, pal::kWood1);
    img.Rect(4, footL + 1, 4, 1, pal::kWood0);
    img.Rect(8, footR + 1, 4, 1, pal::kWood0);
    // Shirt with a collar (front) or plain back.
    img.Rect(4, chest, 8, hip - chest + 1, pal::kRed2);
    img.Rect(4, chest, 1, hip - chest + 1, pal::kRed3);
    img.Rect(11, chest, 1, hip - chest + 1, pal::kRed1);
    img.Rect(4, hip, 8, 1, pal::kWood0);
    if (facing == Facing::kDown) {
      img.Rect(6, chest, 4, 1, pal::kWhite);
      img.Set(8, hip, pal::kGold2);
      img.Set(7, hip, pal::kGold2);
    } else {
      img.Rect(6, chest + 2, 4, 1, pal::kRed1);
    }
    int handL = chest + 6 + int(std::lround(-s)), handR = chest + 6 + int(std::lround(s));
    img.Rect(2, chest + 1, 2, handL - chest - 1, pal::kRed1);
    img.Rect(12, chest + 1, 2, handR - chest - 1, pal::kRed1);
    img.Rect(2, handL, 2, 2, pal::kSkin1);
    img.Rect(12, handR, 2, 2, pal::kSkin1);
    BoyHead(img, facing, top);
  }
  img.Outline(pal::kInk);
  return facing == Facing::kLeft ? img.MirroredX() : img;
}

Image DrawBaddieFigure(Facing facing, int frame) {
  Image img(16, 32);
  const double s = StridePhase(frame);
  const double bob = std::abs(s) < 0.5 ? -1 : 0;
  const double cy = 15.5 + bob;
  const bool side = facing == Facing::kRight || facing == Facing::kLeft;

  // Stubby legs, far one first when seen from the side.
  if (side) {
    Limb(img, 7, cy + 8, 7 - 3 * s, 28.5, 3, pal::kPurple0);
    Limb(img, 9, cy + 8, 9 + 3 * s, 28.5 - (s > 0 ? 1.5 * s : 0), 3, pal::kPurple1);
  } else {
    double liftL = s > 0 ? 2 * s : 0, liftR = s < 0 ? -2 * s : 0;
    Limb(img, 5.5, cy + 7, 5.5, 28.5 - liftL, 3, pal::kPurple1);
    Limb(img, 10.5, cy + 7, 10.5, 28.5 - liftR, 3, pal::kPurple1);
    img.Rect(3, int(29 - liftL), 4, 1, pal::kPurple0);
    img.Rect(9, int(29 - liftR), 4, 1, pal::kPurple0);
  }
  // Horns.
  Limb(img, 4, cy - 7, 2.5, cy - 11, 2, pal::kStone4);
  Limb(img, 12, cy - 7, 13.5, cy - 11, 2, pal::kStone4);
  img.Set(2, int(cy - 12), pal::kWhite);
  img.Set(13, int(cy - 12), pal::kWhite);
  // Body with shading: dark rim, mid body, highlight up and left.
  img.Ellipse(8, cy, 6.5, 9.5, pal::kPurple1);
  img.Ellipse(7.5, cy - 0.5, 5.6, 8.5, pal::kPurple2);
  img.Ellipse(6.5, cy - 3, 3, 4, pal::kPurple3);
  img.Disc(5.5, cy - 5.5, 1.2, pal::kPurple4);
  // Little arms waving with the stride.
  double arm = side ? 0 : s;
  Limb(img, 1.5, cy + 1 - arm, 2.5, cy + 3 - arm, 2, pal::kPurple1);
  Limb(img, 14.5, cy + 1 + arm, 13.5, cy + 3 + arm, 2, pal::kPurple1);

  const int ey = int(std::lround(cy - 3));
  if (facing == Facing::kDown) {
    img.Rect(4, ey, 3, 3, pal::kWhite);
    img.Rect(9, ey, 3, 3, pal::kWhite);
    img.Rect(5, ey + 1, 2, 2, pal::kRed2);
    img.Rect(9, ey + 1, 2, 2, pal::kRed2);
    img.Set(5, ey + 2, pal::kInk);
    img.Set(10, ey + 2, pal::kInk);
    img.Line(4, ey - 1, 6, ey, pal::kInk);  // angry brows
    img.Line(11, ey - 1, 9, ey, pal::kInk);
    img.Rect(4, ey + 5, 8, 3, pal::kInk);
    img.Rect(5, ey + 5, 1, 1, pal::kWhite);
    img.Rect(7, ey + 5, 1, 1, pal::kWhite);
    img.Rect(9, ey + 5, 1, 1, pal::kWhite);
    img.Rect(6, ey + 7, 1, 1, pal::kWhite);
    img.Rect(8, ey + 7, 1, 1, pal::kWhite);
    img.Rect(6, ey + 6, 3, 1, pal::kRed1);
  } else if (facing == Facing::kUp) {
    // Back: a ridge of spines.
    for (int k = 0; k < 4; ++k) {
      int y = int(cy) - 6 + k * 4;
      img.Set(8, y, pal::kPurple4);
      img.Rect(7, y + 1, 3, 1, pal::kPurple0);
    }
  } else {
    img.Rect(9, ey, 4, 3, pal::kWhite);
    img.Rect(11, ey + 1, 2, 2, pal::kRed2);
    img.Set(12, ey + 2, pal::kInk);
    img.Line(9, ey - 1, 12, ey, pal::kInk);
    img.Rect(9, ey + 5, 5, 3, pal::kInk);
    img.Set(10, ey + 5, pal::kWhite);
    img.Set(12, ey + 5, pal::kWhite);
    img.Set(11, ey + 7, pal::kWhite);
    img.Rect(10, ey + 6, 2, 1, pal::kRed1);
  }
  img.Outline(pal::kInk);
  return facing == Facing::kLeft ? img.MirroredX() : img;
}

Image DrawBaddieTurn(int frame) {
  static constexpr Facing kSpin[4] = {Facing::kDown, Facing::kRight, Facing::kUp, Facing::kLeft};
  Image img = DrawBaddieFigure(kSpin[frame % 4], 2);
  for (int k = 0; k < 3; ++k) {
    double a = (frame * 45 + k * 120) * kPi / 180;
    int x = int(std::lround(8 + 7 * std::cos(a))), y = int(std::lround(24 + 3 * std::sin(a)));
    img.Set(x, y, pal::kPurple4);
    img.Set(x, y - 1, pal::kWhite);
  }
  return img;
}

Image DrawBatFigure(Facing facing, int frame) {
  Image img(16, 32);
  const double flap = std::sin(frame * 2 * kPi / 8);
  const double hover = std::sin(frame * 2 * kPi / 8 + 1.0) * 1.5;
  const double cy = 15 + hover;
  // Shadow on the floor, dithered so it stays light.
  for (int y = 28; y <= 30; ++y)
    for (int x = 3; x <= 12; ++x) {
      double u = (x + 0.5 - 8) / 5.0, v = (y + 0.5 - 29.5) / 1.6;
      if (u * u + v * v <= 1 && ((x + y) & 1)) img.Set(x, y, pal::kShadow);
    }
  const bool side = facing == Facing::kRight || facing == Facing::kLeft;
  double tipY = cy - 5 * flap;
  double span = side ? 4.5 : 6;
  Limb(img, 8, cy, 8 - span, tipY, 2.2, pal::kStone1);
  Limb(img, 8, cy, 8 + span, tipY, 2.2, pal::kStone1);
  Limb(img, 8 - span, tipY, 8 - span + 2, tipY + 3, 1.6, pal::kStone1);
  Limb(img, 8 + span, tipY, 8 + span - 2, tipY + 3, 1.6, pal::kStone1);
  img.Ellipse(8, cy, 3, 3.5, pal::kStone2);
  img.Ellipse(7.5, cy - 1, 1.8, 2, pal::kStone3);
  img.Set(6, int(cy - 4), pal::kStone2);  // ears
  img.Set(10, int(cy - 4), pal::kStone2);
  int ey = int(std::lround(cy - 1));
  if (facing == Facing::kDown) {
    img.Set(7, ey, pal::kGold2);
    img.Set(9, ey, pal::kGold2);
    img.Set(8, ey + 2, pal::kWhite);
  } else if (side) {
    img.Set(10, ey, pal::kGold2);
    img.Set(10, ey + 2, pal::kWhite);
  }
  img.Outline(pal::kInk);
  return facing == Facing::kLeft ? img.MirroredX() : img;
}

void SplitFigures(const std::vector<Image>& figures, Image& upper, Image& lower) {
  std::vector<Image> tops, bottoms;
  for (const Image& f : figures) {
    tops.push_back(f.Crop(0, 0, 16, 16));
    bottoms.push_back(f.Crop(0, 16, 16, 16));
  }
  upper = JoinStrip(tops);
  lower = JoinStrip(bottoms);
}

std::vector<Image> DrawShrinkFigures() {
  const Image boy = DrawBoyFigure(Facing::kDown, 2);
  std::vector<Image> frames;
  for (int f = 0; f < 16; ++f) {
    Image img(16, 32);
    double scale = 1.0 - f / 11.0;
    const double cx = 8, cy = 20;
    if (scale > 0.05)
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 16; ++x) {
          int sx = int(std::floor((x + 0.5 - cx) / scale + cx)),
              sy = int(std::floor((y + 0.5 - cy) / scale + cy));
          Rgba c = boy.Get(sx, sy);
          if (c.a) img.Set(x, y, f >= 6 && c != pal::kInk ? Mix(c, pal::kGem3, (f - 5) / 6.0) : c);
        }
    for (int k = 0; k < 4; ++k) {
      double a = f * 0.7 + k * kPi / 2;
      double r = std::max(0.0, 9.0 - f * 0.6);
      int x = int(std::lround(cx + r * std::cos(a))), y = int(std::lround(cy + r * 1.4 * std::sin(a)));
      if (f < 15) {
        Rgba c = k % 2 ? pal::kGold3 : pal::kGem3;
        img.Set(x, y, c);
        if (f % 2 == 0) {
          img.Set(x - 1, y, pal::kWhite);
          img.Set(x + 1, y, pal::kWhite);
          img.Set(x, y - 1, pal::kWhite);
          img.Set(x, y + 1, pal::kWhite);
        }
      }
    }
    frames.push_back(img);
  }
  return frames;
}

}  // namespace art
