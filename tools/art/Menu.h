// Menu pictures: the 640 x 480 background "Graphic/BackBild.png", the pulsing highlight box
// "Graphic/BoxStrip.png" (192 x 32 frames stacked downwards) and the mouse pointer
// "Graphic/MouseStrip.png" (two 32 x 32 frames, tip at the top-left corner).
#pragma once

#include <vector>

#include "tools/art/Canvas.h"

namespace art {

// The menu background is a gate: a gold frieze along the top, a carved pillar down each side and a
// dark lintel under the frieze that holds the screen titles. The three menu screens (title menu, name
// entry, high-score table) share it and place their texts differently, so every line of it keeps clear
// of all their texts: the pillars stand outside the widest rows, the lintel's gold edge runs in the gap
// between the title lines and the first row below them, and the bottom stays open because the last
// row of the high-score table reaches down to the screen's edge.
struct PixelRect {
  int x0, y0, x1, y1;  // inclusive corners
};

constexpr PixelRect kMenuFrieze{0, 0, 639, 9};
constexpr PixelRect kMenuPillarLeft{0, 0, 27, 479};
constexpr PixelRect kMenuPillarRight{612, 0, 639, 479};
constexpr PixelRect kMenuLintelEdge{28, 89, 611, 92};
constexpr int kMenuLintelTop = 10;

// Every part of the background that draws a line, a rim or an edge; text must not touch any of them.
std::vector<PixelRect> MenuBackgroundLines();

Image MakeBackground();

// The highlight box: a gold frame whose glow swells and fades over 8 frames while a bright spark
// runs round it; the inside stays transparent.
Image MakeBoxStrip();

// The pointer: an arrow with its tip on the top-left pixel; the second frame glints gold.
Image MakeMouseStrip();

}  // namespace art
