// Surface painters for the tile set: flagstones, sand, grass, planks, water, bricks, wall tops,
// leaves and rock. Each fills a whole 16 x 16 tile and repeats seamlessly with its neighbours;
// the tile catalogue combines them with the object painters of TileObjects.h.
#pragma once

#include <cstdint>

#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

namespace art {

// Five shades of one material, darkest first.
struct Ramp {
  Rgba c[5];
};

constexpr Ramp kSandRamp{{pal::kSand0, pal::kSand1, pal::kSand2, pal::kSand3, pal::kSand4}};
constexpr Ramp kStoneRamp{{pal::kStone0, pal::kStone1, pal::kStone2, pal::kStone3, pal::kStone4}};
constexpr Ramp kDungeonRamp{{pal::kInk, pal::kShadow, pal::kStone0, pal::kStone1, pal::kStone2}};
constexpr Ramp kLeafRamp{{pal::kLeaf0, pal::kLeaf1, pal::kLeaf2, pal::kLeaf3, pal::kLeaf4}};
constexpr Ramp kBrickRamp{{pal::kWood0, pal::kSand0, pal::kSand1, pal::kSand2, pal::kSand3}};
constexpr Ramp kCapRamp{{pal::kStone0, pal::kStone1, pal::kStone2, pal::kStone3, pal::kStone4}};
constexpr Ramp kDungeonFaceRamp{{pal::kInk, pal::kStone0, pal::kStone1, pal::kStone2, pal::kStone3}};
constexpr Ramp kDungeonCapRamp{{pal::kStone1, pal::kStone2, pal::kStone3, pal::kStone4, pal::kWhite}};
constexpr Ramp kWoodRamp{{pal::kWood0, pal::kWood0, pal::kWood1, pal::kWood2, pal::kWood3}};

// A coordinate brought into 0 to 15: the surfaces repeat every 16 pixels.
int Wrap16(int v);

// Flagstones: long slabs in staggered rows of 8 pixels, with soft joints and a lit upper edge,
// calm enough to cover most of a level. `seed` changes which slabs are a shade darker.
void PaintFlagstones(Image& img, const Ramp& r, uint32_t seed);

// Speckled loose ground (sand, dirt, gravel).
void PaintSpeckle(Image& img, const Ramp& r, uint32_t seed, double dark, double light);

// Grass: a mid-green base with little two-pixel blades.
void PaintGrass(Image& img, uint32_t seed);

// Floorboards running left to right, four pixels each, with staggered ends and nail heads.
void PaintPlanks(Image& img);

// A periodic ripple value for water, so water tiles join without seams.
double Ripple(int x, int y, double phase);

void PaintWater(Image& img, bool deep);

// Water meeting a sandy shore on the given sides (top, bottom, left, right).
void PaintShore(Image& img, bool top, bool bottom, bool left, bool right);

// Cell noise that repeats every 16 pixels: distance to the nearest and second nearest of a
// jittered 4 x 4 set of points, and which point is nearest. Used for cobbles, lava and rock.
struct CellHit {
  double d1 = 1e9;
  double d2 = 1e9;
  int id = 0;
};
CellHit Cells(int x, int y, uint32_t seed, int cell = 4);

void PaintCobbles(Image& img, const Ramp& r, uint32_t seed);

// Bricks: four courses of 4 pixels per tile, bricks 8 wide, every other course offset by 4.
void PaintBricks(Image& img, const Ramp& r, uint32_t seed);

// The flat top of a thick wall, seen from above: capstones in staggered courses, each lit along
// its upper edge, with only a few speckles so the wall reads as one solid mass.
void PaintWallTop(Image& img, const Ramp& r, uint32_t seed);

// Dense foliage: overlapping leaf clumps with a lit upper-left side.
Rgba LeafColour(int x, int y);

// Rough rock: big cell chunks lit from the top.
void PaintRock(Image& img, uint32_t seed, bool top);

}  // namespace art
