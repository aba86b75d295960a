// The walking figures: the boy, the baddies and the flying creatures. Each is painted whole on a
// 16 x 32 canvas (head at the top, feet at the bottom) and then cut into the upper half (drawn one
// cell higher) and the lower half (the cell the figure stands on), so both halves always fit.
#pragma once

#include <vector>

#include "tools/art/Canvas.h"

namespace art {

enum class Facing { kRight, kLeft, kUp, kDown };

constexpr double kPi = 3.14159265358979323846;

// A round-capped stroke, for limbs.
void Limb(Image& img, double x0, double y0, double x1, double y1, double width, Rgba c);

// ---------------------------------------------------------------------------------------------
// The boy: brown hair, red shirt, blue trousers.

Image DrawBoyFigure(Facing facing, int frame);

// ---------------------------------------------------------------------------------------------
// The baddie: a round violet imp with bone horns, big eyes and a toothy grin.

Image DrawBaddieFigure(Facing facing, int frame);

// Turning in place: the baddie spins through its four views twice, with a ring of sparks.
Image DrawBaddieTurn(int frame);

// ---------------------------------------------------------------------------------------------
// The flying creature: a small bat flapping above its own shadow.

Image DrawBatFigure(Facing facing, int frame);

// Cuts 8 whole figures into the upper strip (rows 0..15) and the lower strip (rows 16..31).
void SplitFigures(const std::vector<Image>& figures, Image& upper, Image& lower);

// The boy leaving through the exit: he shrinks towards his middle while sparks spiral in,
// then the last sparks wink out (16 frames).
std::vector<Image> DrawShrinkFigures();

}  // namespace art
