#include <algorithm>
#include <cmath>
#include <tuple>

#include "game/GameWords.h"
#include "tools/art/Actors.h"
#include "tools/art/Palette.h"
#include "tools/art/TileCatalogue.h"
#include "tools/art/TileObjects.h"
#include "tools/art/TileSurfaces.h"
#include "tools/art/Tiles.h"

namespace art {

namespace {

void PaintDecorations(TileSet& t) {
  using namespace tile;
  auto object = [&](int v, auto&& paint) {
    Image img(16, 16);
    paint(img);
    img.Outline(pal::kInk);
    t[v] = img;
  };
  object(kRockSmall, [](Image& i) {
    PaintStone(i, 5, 10, 2.5, 2);
    PaintStone(i, 10, 12, 2, 1.5);
    PaintStone(i, 10, 6, 1.5, 1.2);
  });
  object(kRockBig, [](Image& i) {
    i.Ellipse(8, 9, 6.5, 5.5, pal::kStone1);
    i.Ellipse(7.5, 8.5, 5.5, 4.5, pal::kStone2);
    i.Ellipse(6, 6.5, 3, 2, pal::kStone3);
    i.Set(5, 6, pal::kStone4);
    i.Line(9, 9, 12, 11, pal::kStone1);
  });
  object(kBush, [](Image& i) { PaintBush(i, 8, 9, 6); });
  object(kFlowers, [](Image& i) {
    i.Ellipse(8, 12, 5, 2, pal::kLeaf1);
    PaintFlower(i, 4, 8, pal::kRed3);
    PaintFlower(i, 8, 5, pal::kWhite);
    PaintFlower(i, 12, 8, pal::kPink);
    PaintFlower(i, 9, 10, pal::kGold2);
  });
  object(kMushrooms, [](Image& i) {
    for (auto [x, y, r] : {std::tuple{5.0, 8.0, 3.5}, std::tuple{11.0, 10.0, 2.5}}) {
      i.Rect(int(x) - 1, int(y), 2, int(r) + 2, pal::kWhite);
      i.Ellipse(x, y, r, r * 0.7, pal::kRed2);
      i.Set(int(x - r / 2), int(y - 1), pal::kWhite);
      i.Set(int(x + r / 3), int(y), pal::kWhite);
    }
  });
  object(kBones, [](Image& i) {
    Limb(i, 3, 13, 13, 10, 1.5, pal::kStone4);
    Limb(i, 4, 9, 12, 14, 1.5, pal::kStone4);
    i.Disc(7, 6, 3.5, pal::kStone4);
    i.Rect(6, 8, 3, 2, pal::kStone4);
    i.Rect(5, 5, 2, 2, pal::kInk);
    i.Rect(8, 5, 2, 2, pal::kInk);
    i.Set(7, 8, pal::kInk);
  });
  {
    Image& c = t[kCrack];
    c.Line(2, 4, 6, 7, pal::kInk);
    c.Line(6, 7, 5, 11, pal::kInk);
    c.Line(6, 7, 11, 8, pal::kInk);
    c.Line(11, 8, 13, 12, pal::kInk);
    c.Line(11, 8, 12, 4, pal::kShadow);
  }
  object(kPuddle, [](Image& i) {
    i.Ellipse(8, 10, 6, 3.5, pal::kSea2);
    i.Ellipse(6.5, 9.5, 2.5, 1, pal::kSea3);
    i.Set(10, 11, pal::kSea4);
  });
  t[kPuddle].Shade([&](int x, int y) { return t[kPuddle].Get(x, y) == pal::kInk ? pal::kSea1 : kClear; });
  object(kGrassTuft, [](Image& i) {
    for (int k = 0; k < 5; ++k) {
      int x = 4 + k * 2;
      i.Line(8, 14, x, 6 + (k % 2) * 3, k % 2 ? pal::kLeaf2 : pal::kLeaf3);
    }
  });
  // Turn markers: the same four-arrow compass on every theme's floor, in colours that stand out from it.
  struct Compass {
    int tile, floor;
    Rgba rim, fill, light, centre;
  };
  const Compass compasses[] = {
      {kTurnMarkerTemple, kFloorFlagstone, pal::kGold0, pal::kGold2, pal::kGold3, pal::kRed2},
      {kTurnMarkerDungeon, kDungeonFloor, pal::kInk, pal::kStone3, pal::kStone4, pal::kRed2},
      {kTurnMarkerGarden, kFloorGrass, pal::kInk, pal::kGold2, pal::kGold3, pal::kRed2},
      {kTurnMarkerCave, kFloorDirt, pal::kInk, pal::kOrange, pal::kGold3, pal::kRed2},
      {kTurnMarkerIce, kIce, pal::kInk, pal::kSea1, pal::kSea2, pal::kRed2},
      {kTurnMarkerLava, kFloorDarkStone, pal::kRed0, pal::kOrange, pal::kGold3, pal::kRed1},
      {kTurnMarkerBeach, kFloorSand, pal::kWood1, pal::kPink, pal::kWhite, pal::kRed1},
      {kTurnMarkerHall, kFloorChecker, pal::kInk, pal::kGold2, pal::kGold3, pal::kRed2},
  };
  for (const Compass& c : compasses) {
    Image& m = t[size_t(c.tile)];
    if (c.tile == kTurnMarkerTemple)
      PaintFlagstones(m, kSandRamp, 1);
    else
      m = t[size_t(c.floor)];
    if (c.tile == kTurnMarkerGarden) {  // a flat stepping stone carries the compass in the grass
      m.Disc(7.5, 7.5, 7.2, pal::kStone1);
      m.Disc(7.5, 7.5, 6.4, pal::kStone2);
    }
    for (int d = 0; d < 4; ++d) {
      Image arrow(16, 16);
      PaintArrow(arrow, d);
      arrow.Shade([&](int x, int y) {
        const Rgba a = arrow.Get(x, y);
        if (a == pal::kGold0) return c.rim;
        if (a == pal::kGold2) return c.fill;
        if (a == pal::kGold3) return c.light;
        return a;
      });
      m.Blit(arrow, 0, 0);
    }
    m.Rect(6, 6, 4, 4, c.centre);
  }
  PaintFlagstones(t[kExitMat], kSandRamp, 1);
  t[kExitMat].Rect(1, 2, 14, 12, pal::kStone1);
  t[kExitMat].Rect(2, 3, 12, 10, pal::kStone2);
  t[kExitMat].Frame(3, 4, 10, 8, pal::kGold1);
  t[kExitMat].Rect(7, 7, 2, 2, pal::kGem2);
  object(kStatue, [](Image& i) {
    i.Rect(3, 11, 10, 4, pal::kStone2);
    i.Rect(3, 11, 10, 1, pal::kStone4);
    i.Ellipse(8, 7, 3, 4, pal::kStone3);
    i.Disc(8, 3, 2.2, pal::kStone3);
    i.Set(7, 2, pal::kStone4);
    i.Rect(9, 5, 2, 6, pal::kStone2);
  });
  PaintFlagstones(t[kGemInlay], kSandRamp, 1);
  {
    Image gem(16, 16);
    gem.Rect(6, 6, 4, 4, pal::kGem1);
    gem.Rect(6, 6, 2, 2, pal::kGem3);
    gem.Outline(pal::kGold1);
    t[kGemInlay].Blit(gem, 0, 0);
  }
  object(kTorchStand, [](Image& i) {
    i.Rect(7, 6, 2, 8, pal::kWood1);
    i.Rect(5, 14, 6, 1, pal::kStone1);
    i.Rect(6, 5, 4, 2, pal::kStone1);
    i.Disc(8, 3, 2.5, pal::kOrange);
    i.Disc(8, 3.5, 1.3, pal::kGold3);
  });
  object(kVase, [](Image& i) {
    i.Ellipse(8, 10, 4.5, 4.5, pal::kSkin0);
    i.Ellipse(7, 9.5, 3, 3.5, pal::kSkin1);
    i.Rect(6, 3, 4, 3, pal::kSkin0);
    i.Rect(5, 2, 6, 1, pal::kSkin1);
    i.HLine(4, 11, 10, pal::kGold1);
  });
  object(kSignpost, [](Image& i) {
    i.Rect(7, 6, 2, 9, pal::kWood1);
    i.Rect(2, 2, 12, 6, pal::kWood2);
    i.HLine(2, 13, 2, pal::kWood3);
    i.HLine(4, 11, 4, pal::kWood0);
    i.HLine(4, 9, 6, pal::kWood0);
  });
  // A 3 x 3 carpet: border on the sides that face outward.
  const int carpet[9] = {kCarpetNW, kCarpetN,  kCarpetNE, kCarpetW, kCarpetC,
                         kCarpetE,  kCarpetSW, kCarpetS,  kCarpetSE};
  for (int k = 0; k < 9; ++k) {
    Image& c = t[carpet[k]];
    bool n = k < 3, s = k >= 6, w = k % 3 == 0, e = k % 3 == 2;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        int dx = std::abs(Wrap16(x + 4) - 8), dy = std::abs(Wrap16(y + 4) - 8);
        Rgba col = (dx + dy) % 8 == 0 ? pal::kGold1 : (dx + dy) % 8 == 4 ? pal::kRed3 : pal::kRed1;
        int edge = std::min({n ? y : 99, s ? 15 - y : 99, w ? x : 99, e ? 15 - x : 99});
        if (edge <= 0)
          col = pal::kRed0;
        else if (edge <= 2)
          col = pal::kGold2;
        else if (edge == 3)
          col = pal::kGold0;
        c.Set(x, y, col);
      }
  }
  object(kRugRound, [](Image& i) {
    i.Ellipse(8, 8, 7, 5.5, pal::kPurple1);
    i.Ellipse(8, 8, 5.5, 4, pal::kPurple2);
    i.Ellipse(8, 8, 3, 2, pal::kGold1);
    i.Ellipse(8, 8, 1.5, 1, pal::kPurple3);
  });
  for (int k = 0; k < 4; ++k) {
    int y = k * 4;
    Rgba down[4] = {pal::kStone3, pal::kStone2, pal::kStone1, pal::kStone0};
    Rgba up[4] = {pal::kStone1, pal::kStone2, pal::kStone3, pal::kStone4};
    t[kStairsDown].Rect(0, y, 16, 4, down[k]);
    t[kStairsDown].HLine(0, 15, y, Mix(down[k], pal::kWhite, 0.2));
    t[kStairsUp].Rect(0, y, 16, 4, up[k]);
    t[kStairsUp].HLine(0, 15, y + 3, pal::kStone0);
  }
  for (int v : {kStairsDown, kStairsUp}) {
    t[v].Rect(0, 0, 2, 16, pal::kSand1);
    t[v].Rect(14, 0, 2, 16, pal::kSand1);
  }
  object(kTable, [](Image& i) {
    i.Rect(3, 12, 2, 3, pal::kWood0);
    i.Rect(11, 12, 2, 3, pal::kWood0);
    i.Rect(1, 4, 14, 8, pal::kWood2);
    i.HLine(1, 14, 4, pal::kWood3);
    i.HLine(1, 14, 11, pal::kWood1);
    i.Rect(6, 6, 3, 3, pal::kWhite);  // a cup
    i.Set(9, 7, pal::kWhite);
  });
  {
    Image& b = t[kBookshelf];
    b.Fill(pal::kWood1);
    const Rgba spines[6] = {pal::kRed2, pal::kSea2, pal::kLeaf2, pal::kGold1, pal::kPurple2, pal::kStone3};
    for (int shelf = 0; shelf < 2; ++shelf) {
      int y0 = 1 + shelf * 8;
      b.Rect(1, y0, 14, 6, pal::kWood0);
      for (int x = 1; x < 15; ++x) {
        int tall = 4 + int(Hash(x, shelf, 141) % 3);
        b.VLine(x, y0 + 6 - tall, y0 + 5, spines[Hash(x, shelf, 142) % 6]);
      }
      b.HLine(0, 15, y0 + 6, pal::kWood3);
    }
  }
  object(kChest, [](Image& i) {
    i.Rect(2, 5, 12, 9, pal::kWood2);
    i.Rect(2, 5, 12, 3, pal::kWood3);
    i.HLine(2, 13, 8, pal::kWood0);
    i.Rect(7, 7, 2, 3, pal::kGold2);
    i.VLine(4, 5, 13, pal::kGold1);
    i.VLine(11, 5, 13, pal::kGold1);
  });
  object(kPottedPlant, [](Image& i) {
    i.Rect(5, 10, 6, 5, pal::kSkin0);
    i.HLine(4, 11, 10, pal::kSkin1);
    PaintBush(i, 8, 6, 4.5);
  });
  object(kTreeTrunk, [](Image& i) {
    i.Rect(5, 0, 6, 13, pal::kWood1);
    i.Rect(5, 0, 2, 13, pal::kWood2);
    i.VLine(9, 2, 10, pal::kWood0);
    Limb(i, 5, 12, 2, 15, 2, pal::kWood1);
    Limb(i, 10, 12, 14, 15, 2, pal::kWood1);
    Limb(i, 8, 13, 8, 15, 2, pal::kWood1);
  });
  object(kTreeStump, [](Image& i) {
    i.Rect(3, 7, 10, 6, pal::kWood1);
    i.Ellipse(8, 7, 5, 2.5, pal::kWood3);
    i.Ellipse(8, 7, 3, 1.4, pal::kWood2);
    i.Set(8, 7, pal::kWood1);
    i.Ellipse(8, 13, 5, 1.5, pal::kWood1);
  });
  object(kLog, [](Image& i) {
    i.Rect(2, 6, 11, 6, pal::kWood1);
    i.HLine(2, 12, 7, pal::kWood2);
    i.HLine(4, 10, 10, pal::kWood0);
    i.Ellipse(13, 9, 2, 3, pal::kWood3);
    i.Set(13, 9, pal::kWood1);
  });
  object(kFenceH, [](Image& i) {
    i.Rect(0, 5, 16, 2, pal::kWood2);
    i.Rect(0, 10, 16, 2, pal::kWood2);
    i.HLine(0, 15, 5, pal::kWood3);
    i.Rect(3, 2, 2, 13, pal::kWood2);
    i.Rect(11, 2, 2, 13, pal::kWood2);
    i.Set(3, 2, pal::kWood3);
    i.Set(11, 2, pal::kWood3);
  });
  object(kFenceV, [](Image& i) {
    i.Rect(7, 0, 2, 16, pal::kWood2);
    i.VLine(7, 0, 15, pal::kWood3);
    i.Rect(6, 3, 4, 3, pal::kWood1);
    i.Rect(6, 11, 4, 3, pal::kWood1);
  });
  object(kFencePost, [](Image& i) {
    i.Rect(6, 3, 4, 11, pal::kWood2);
    i.VLine(6, 3, 13, pal::kWood3);
    i.Rect(6, 3, 4, 1, pal::kWood3);
  });
  object(kWell, [](Image& i) {
    i.Ellipse(8, 9, 7, 6, pal::kStone2);
    i.Ellipse(8, 8.5, 5, 4, pal::kStone1);
    i.Ellipse(8, 9, 4, 3, pal::kSea0);
    i.Set(6, 8, pal::kSea2);
    i.HLine(3, 12, 4, pal::kStone3);
  });
  object(kGrave, [](Image& i) {
    i.Rect(4, 4, 8, 10, pal::kStone2);
    i.Ellipse(8, 4.5, 4, 3, pal::kStone2);
    i.VLine(4, 4, 13, pal::kStone3);
    i.Rect(7, 5, 2, 6, pal::kStone1);
    i.Rect(5, 7, 6, 1, pal::kStone1);
    i.HLine(3, 12, 14, pal::kLeaf2);
  });
  object(kFountain, [](Image& i) {
    i.Ellipse(8, 9, 7, 5.5, pal::kStone3);
    i.Ellipse(8, 9, 5.5, 4, pal::kSea2);
    i.Ellipse(7, 8, 2, 1, pal::kSea4);
    i.Rect(7, 3, 2, 6, pal::kStone2);
    i.Set(7, 2, pal::kSea4);
    i.Set(8, 1, pal::kSea4);
    i.Set(9, 2, pal::kSea4);
  });
  object(kColumn, [](Image& i) {
    i.Disc(8, 8, 6.5, pal::kStone2);
    i.Disc(7.5, 7.5, 5, pal::kStone3);
    i.Disc(6.5, 6.5, 2, pal::kStone4);
  });
  object(kCactus, [](Image& i) {
    i.Rect(6, 2, 4, 12, pal::kLeaf2);
    i.VLine(7, 2, 13, pal::kLeaf3);
    i.Rect(2, 5, 2, 5, pal::kLeaf2);
    i.Rect(3, 9, 3, 2, pal::kLeaf2);
    i.Rect(12, 4, 2, 4, pal::kLeaf2);
    i.Rect(10, 7, 3, 2, pal::kLeaf2);
    i.Set(8, 4, pal::kWhite);
    i.Set(7, 9, pal::kWhite);
  });
  object(kBrazier, [](Image& i) {
    i.Line(5, 9, 3, 14, pal::kStone1);
    i.Line(11, 9, 13, 14, pal::kStone1);
    i.Ellipse(8, 7, 6, 3, pal::kStone1);
    i.Ellipse(8, 6, 5, 1.5, pal::kStone0);
    i.Set(6, 6, pal::kRed0);
  });
  PaintFlagstones(t[kFirePit], kSandRamp, 1);
  {
    Image pit(16, 16);
    for (int k = 0; k < 8; ++k) {
      double a = k * kPi / 4;
      PaintStone(pit, 8 + 5.5 * std::cos(a), 8 + 4.5 * std::sin(a), 1.8, 1.5);
    }
    pit.Ellipse(8, 8, 3.5, 2.5, pal::kInk);
    pit.Set(7, 8, pal::kOrange);
    pit.Set(9, 7, pal::kRed2);
    pit.Set(8, 9, pal::kGold2);
    t[kFirePit].Blit(pit, 0, 0);
  }
  object(kAsh, [](Image& i) {
    i.Ellipse(8, 11, 6, 3, pal::kStone2);
    i.Ellipse(7, 10, 3.5, 2, pal::kStone3);
    i.Set(9, 11, pal::kRed1);
  });
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      double d = std::hypot(x + 0.5 - 8, (y + 0.5 - 8) * 1.2) / 7 + Noise(x, y, 151) * 0.25;
      if (d < 0.6 || (d < 1.0 && Bayer4(x, y) > (d - 0.6) / 0.4)) t[kScorch].Set(x, y, pal::kInk);
    }
  const int arrows[4] = {kArrowRight, kArrowLeft, kArrowUp, kArrowDown};
  for (int d = 0; d < 4; ++d) {
    PaintFlagstones(t[arrows[d]], kSandRamp, 1);
    PaintArrow(t[arrows[d]], d);
  }
  object(kPressurePlate, [](Image& i) { PaintBlock(i, kStoneRamp, 3); });
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) t[kWarningStripes].Set(x, y, ((x + y) / 4) % 2 ? pal::kInk : pal::kGold2);
  for (int v : {kPipeH, kPipeV}) {
    Image& p = t[v];
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        int across = v == kPipeH ? y : x, along = v == kPipeH ? x : y;
        if (across < 5 || across > 10) continue;
        Rgba c = across == 6 ? pal::kStone4 : across == 10 ? pal::kStone1 : pal::kStone2;
        if (along % 8 == 3 || along % 8 == 4) c = across == 6 ? pal::kStone4 : pal::kStone3;
        p.Set(x, y, c);
      }
    p.Outline(pal::kInk);
  }
}

void PaintBlocksAndItems(TileSet& t) {
  using namespace tile;
  auto block = [&](int v, const Ramp& r) {
    Image img(16, 16);
    PaintBlock(img, r);
    img.Outline(pal::kInk);
    t[v] = img;
  };
  block(kBlockStone, kStoneRamp);
  block(kBlockMetal, Ramp{{pal::kStone0, pal::kStone1, pal::kStone3, pal::kStone4, pal::kWhite}});
  for (int k : {3, 12})
    for (int j : {3, 12}) t[kBlockMetal].Set(k, j, pal::kStone1);
  block(kBlockWood, kWoodRamp);
  t[kBlockWood].Line(3, 3, 12, 12, pal::kWood1);
  block(kBlockIce, Ramp{{pal::kSea1, pal::kSea2, pal::kSea3, pal::kSea4, pal::kWhite}});
  t[kBlockIce].Line(4, 10, 7, 6, pal::kWhite);
  block(kBlockGold, Ramp{{pal::kGold0, pal::kGold0, pal::kGold1, pal::kGold2, pal::kGold3}});
  t[kBlockGold].Set(4, 4, pal::kWhite);
  {
    Image img(16, 16);
    PaintBricks(img, kBrickRamp, 1);
    img.Rect(0, 0, 1, 16, kClear);
    img.Rect(15, 0, 1, 16, kClear);
    img.Rect(0, 0, 16, 1, kClear);
    img.Rect(0, 15, 16, 1, kClear);
    img.Outline(pal::kInk);
    t[kBlockBrick] = img;
  }
  PaintGemBox(t[cell::kGemBox], false);
  PaintGemBox(t[cell::kGemBoxOpen], true);
  PaintKey(t[cell::kKey]);
  PaintSwitch(t[cell::kSwitch], false);
  PaintSwitch(t[cell::kSwitchFired], true);
  PaintBlastBlock(t[cell::kBlastBlock]);
  PaintFruitShadow(t[cell::kFruit]);
}

}  // namespace

Image MakeTileSheet() {
  TileSet tiles;
  for (Image& t : tiles) t = Image(16, 16);
  PaintFloors(tiles);
  PaintWaters(tiles);
  PaintWalls(tiles);
  PaintCovers(tiles);
  PaintDecorations(tiles);
  PaintBlocksAndItems(tiles);
  Image sheet(256, 256);
  for (int v = 0; v < 256; ++v) sheet.Copy(tiles[size_t(v)], 0, 0, 16, 16, (v % 16) * 16, (v / 16) * 16);
  return sheet;
}

}  // namespace art
