// Object painters for the tile set: the rule items (gem boxes, key, switch, blast block, fruit
// shadow), blocks and the decorations. Objects are painted on a transparent tile and ringed in
// ink, so they sit on whatever floor lies under them.
#pragma once

#include "tools/art/Canvas.h"
#include "tools/art/TileSurfaces.h"

namespace art {

// A bevelled square block: light top-left rim, dark bottom-right rim, flat middle.
void PaintBlock(Image& img, const Ramp& r, int inset = 1);

// The gem box: a sturdy iron-bound chest with a gem emblem; opened, its lid stands up and the
// inside is empty.
void PaintGemBox(Image& img, bool open);

// The key: a gold bow, a shaft and two teeth, lying diagonally.
void PaintKey(Image& img);

// A wall switch: a stone plate with a lever; `used` drops the lever and dims the lamp.
void PaintSwitch(Image& img, bool used);

// The blast block: a stone block with yellow and black hazard stripes across its top and
// fissures glowing from inside, so it plainly waits for a blast.
void PaintBlastBlock(Image& img);

// Under a fruit: a faint dithered shadow near the bottom of the cell.
void PaintFruitShadow(Image& img);

// Stones lying on the floor: size in pixels of radius.
void PaintStone(Image& img, double cx, double cy, double rx, double ry);

void PaintBush(Image& img, double cx, double cy, double r);

void PaintFlower(Image& img, int x, int y, Rgba petal);

// A floor arrow inlaid in gold, pointing right before rotation; `dir` 0 right, 1 left, 2 up, 3 down.
void PaintArrow(Image& img, int dir);

}  // namespace art
