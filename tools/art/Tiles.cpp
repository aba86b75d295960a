#include "tools/art/Tiles.h"

#include <cmath>

#include "tools/art/Actors.h"
#include "tools/art/Palette.h"
#include "tools/art/TileCatalogue.h"
#include "tools/art/TileObjects.h"
#include "tools/art/TileSurfaces.h"

namespace art {

void PaintFloors(TileSet& t) {
  using namespace tile;
  PaintFlagstones(t[kFloorFlagstone], kSandRamp, 1);
  PaintFlagstones(t[kFloorFlagstoneCracked], kSandRamp, 1);
  t[kFloorFlagstoneCracked].Line(2, 3, 5, 6, pal::kSand0);
  t[kFloorFlagstoneCracked].Line(5, 6, 4, 10, pal::kSand0);
  t[kFloorFlagstoneCracked].Line(5, 6, 9, 7, pal::kSand1);
  PaintFlagstones(t[kFloorFlagstoneMossy], kSandRamp, 1);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((y % 8 == 7 || Wrap16(x + (y / 8) * 8 + 3) == 15) && Noise(x, y, 4) < 0.6)
        t[kFloorFlagstoneMossy].Set(x, y, Noise(x, y, 5) < 0.5 ? pal::kLeaf2 : pal::kLeaf1);
  PaintSpeckle(t[kFloorSand], kSandRamp, 11, 0.12, 0.08);
  for (int x = 0; x < 16; ++x)
    t[kFloorSand].Set(x, Wrap16(int(4 + 1.5 * std::sin(x * kPi / 8))), pal::kSand4);
  PaintGrass(t[kFloorGrass], 21);
  PaintGrass(t[kFloorGrassFlowers], 21);
  PaintFlower(t[kFloorGrassFlowers], 4, 4, pal::kWhite);
  PaintFlower(t[kFloorGrassFlowers], 11, 9, pal::kPink);
  PaintFlower(t[kFloorGrassFlowers], 5, 12, pal::kGold2);
  PaintSpeckle(t[kFloorDirt], Ramp{{pal::kSand0, pal::kSand0, pal::kSand1, pal::kSand2, pal::kSand3}}, 31,
               0.15, 0.06);
  PaintStone(t[kFloorDirt], 4, 11, 1.5, 1.2);
  PaintStone(t[kFloorDirt], 11, 4, 1.2, 1.0);
  PaintPlanks(t[kFloorPlanks]);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      bool dark = ((x / 8) + (y / 8)) % 2;
      Rgba c = dark ? pal::kStone0 : pal::kStone4;
      if (!dark && Noise(x, y, 8) < 0.1) c = pal::kStone3;
      if (dark && Noise(x, y, 8) < 0.1) c = pal::kStone1;
      if (x % 8 == 0 && y % 8 == 0) c = dark ? pal::kStone1 : pal::kWhite;
      t[kFloorChecker].Set(x, y, c);
    }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      int lx = x % 8, ly = y % 8;
      Rgba c = pal::kSea2;
      if (lx == 0 || ly == 0)
        c = pal::kStone1;
      else if (lx == 1 || ly == 1)
        c = pal::kSea3;
      else if (lx == 7 || ly == 7)
        c = pal::kSea1;
      if (lx == 2 && ly == 2) c = pal::kSea4;
      t[kFloorBlueTiles].Set(x, y, c);
    }
  PaintCobbles(t[kFloorCobble], kStoneRamp, 51);
  t[kFloorGrate].Fill(pal::kInk);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if (x % 4 == 1 || y % 4 == 1) t[kFloorGrate].Set(x, y, pal::kStone2);
      if (x % 4 == 2 && y % 4 != 1) t[kFloorGrate].Set(x, y, pal::kStone0);
      if (y % 4 == 2 && x % 4 != 1) t[kFloorGrate].Set(x, y, pal::kShadow);
      if (x % 4 == 1 && y % 4 == 1) t[kFloorGrate].Set(x, y, pal::kStone3);
    }
  PaintFlagstones(t[kFloorMosaic], kSandRamp, 3);
  {
    Image& m = t[kFloorMosaic];
    m.Rect(4, 4, 8, 8, pal::kSand2);
    for (int k = 0; k < 4; ++k) {
      m.Set(7 - k / 2, 4 + k, pal::kGold2);
      m.Set(8 + k / 2, 4 + k, pal::kGold2);
      m.Set(7 - k / 2, 11 - k, pal::kGold2);
      m.Set(8 + k / 2, 11 - k, pal::kGold2);
    }
    m.Rect(7, 7, 2, 2, pal::kRed2);
    m.Frame(3, 3, 10, 10, pal::kSand1);
  }
  PaintSpeckle(t[kFloorGravel], kStoneRamp, 61, 0.35, 0.2);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (Hash(x, y, 62) % 11 == 0) t[kFloorGravel].Set(x, Wrap16(y + 1), pal::kStone1);
  PaintFlagstones(t[kFloorRubble], kSandRamp, 7);
  PaintStone(t[kFloorRubble], 4, 5, 2.2, 1.6);
  PaintStone(t[kFloorRubble], 11, 11, 2.5, 1.8);
  PaintStone(t[kFloorRubble], 12, 4, 1.2, 1);
  PaintStone(t[kFloorRubble], 5, 12, 1, 0.9);
  PaintFlagstones(t[kFloorDarkStone], kDungeonRamp, 13);
  PaintFlagstones(t[kFloorShadowN], kSandRamp, 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 16; ++x)
      if (y < 2 || (y < 4 && (x + y) % 2 == 0) || (y == 4 && (x + y) % 4 == 0))
        t[kFloorShadowN].Set(x, y, Mix(t[kFloorShadowN].Get(x, y), pal::kSand0, 0.6));
  PaintBlock(t[kFloorMetal], kStoneRamp, 0);
  for (int k : {2, 13})
    for (int j : {2, 13}) t[kFloorMetal].Set(k, j, pal::kStone4);
}

void PaintWaters(TileSet& t) {
  using namespace tile;
  PaintWater(t[kWater], false);
  PaintShore(t[kWaterEdgeN], true, false, false, false);
  PaintShore(t[kWaterEdgeS], false, true, false, false);
  PaintShore(t[kWaterEdgeW], false, false, true, false);
  PaintShore(t[kWaterEdgeE], false, false, false, true);
  PaintShore(t[kWaterEdgeNW], true, false, true, false);
  PaintShore(t[kWaterEdgeNE], true, false, false, true);
  PaintShore(t[kWaterEdgeSW], false, true, true, false);
  PaintShore(t[kWaterEdgeSE], false, true, false, true);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      CellHit h = Cells(x, y, 91);
      Rgba c = h.d1 < 1.2 ? pal::kInk : Hash(h.id, 0, 92) % 2 ? pal::kRed0 : pal::kShadow;
      double gap = h.d2 - h.d1;
      if (gap < 0.7)
        c = pal::kGold3;
      else if (gap < 1.4)
        c = pal::kOrange;
      else if (gap < 2.0)
        c = pal::kRed2;
      t[kLava].Set(x, y, c);
    }
  PaintWater(t[kWaterLily], false);
  {
    Image pad(16, 16);
    pad.Ellipse(8, 9, 5.5, 4, pal::kLeaf2);
    pad.Ellipse(7, 8.5, 3.5, 2.5, pal::kLeaf3);
    for (int k = 0; k < 5; ++k) pad.Set(8 + k, 9, kClear);
    pad.Outline(pal::kLeaf0);
    PaintFlower(pad, 6, 7, pal::kPink);
    t[kWaterLily].Blit(pad, 0, 0);
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      double v = Ripple(x, y, 3);
      t[kIce].Set(x, y, v > 0.9 ? pal::kWhite : v > -0.6 ? pal::kSea4 : pal::kSea3);
    }
  t[kIce].Line(2, 13, 7, 8, pal::kSea3);
  t[kIce].Line(7, 8, 13, 9, pal::kSea3);
  t[kIce].Set(4, 3, pal::kWhite);
  t[kIce].Set(3, 3, pal::kWhite);
  t[kIce].Set(4, 2, pal::kWhite);
  {
    Image& p = t[kPit];
    PaintFlagstones(p, kSandRamp, 1);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        double edge = 2 + 0.9 * std::sin(x * 1.7) + 0.6 * std::cos(y * 2.3);
        if (x >= edge && x <= 15 - edge && y >= edge && y <= 15 - edge * 0.7) p.Set(x, y, pal::kInk);
      }
    for (int x = 3; x < 13; ++x)
      if (p.Get(x, 4) == pal::kInk) p.Set(x, 4, pal::kSand0);  // the far wall of the pit
    for (int x = 3; x < 13; ++x)
      if (p.Get(x, 5) == pal::kInk && x % 2) p.Set(x, 5, pal::kShadow);
  }
  for (int v : {kBridgeH, kBridgeV}) {
    PaintWater(t[v], false);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        int across = v == kBridgeH ? x : y, along = v == kBridgeH ? y : x;
        if (along < 2 || along > 13) continue;
        Rgba c = across % 4 == 3 ? pal::kWood0 : (across % 4 == 0 ? pal::kWood3 : pal::kWood2);
        if (along == 2 || along == 13) c = pal::kWood1;
        if (along == 3 && across % 4 == 1) c = pal::kStone3;
        t[v].Set(x, y, c);
      }
  }
  PaintWater(t[kWaterDeep], true);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      double v = Ripple(x, y, 5);
      t[kSwamp].Set(x, y, v > 0.9 ? pal::kLeaf2 : v > -0.5 ? pal::kLeaf1 : pal::kLeaf0);
    }
  t[kSwamp].Frame(3, 4, 2, 2, pal::kLeaf3);
  t[kSwamp].Set(11, 10, pal::kLeaf3);
}

void PaintWalls(TileSet& t) {
  using namespace tile;
  PaintBricks(t[kWallFace], kBrickRamp, 1);
  PaintBricks(t[kWallFaceWindow], kBrickRamp, 1);
  {
    Image& w = t[kWallFaceWindow];
    w.Rect(4, 2, 8, 10, pal::kInk);
    w.Rect(5, 3, 6, 8, pal::kShadow);
    for (int x : {6, 9}) w.VLine(x, 2, 11, pal::kStone3);
    w.HLine(4, 11, 6, pal::kStone2);
    w.Rect(3, 12, 10, 2, pal::kSand4);
    w.Rect(3, 13, 10, 1, pal::kSand1);
  }
  PaintBricks(t[kWallFaceMossy], kBrickRamp, 2);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      double n = Noise(x, y, 41);
      bool mortar = t[kWallFaceMossy].Get(x, y) == pal::kSand1;
      if ((mortar && n < 0.5) || n < (y - 6) * 0.04)
        t[kWallFaceMossy].Set(x, y, Noise(x, y, 42) < 0.4 ? pal::kLeaf3 : pal::kLeaf2);
    }
  PaintBricks(t[kWallFaceCracked], kBrickRamp, 1);
  t[kWallFaceCracked].Line(9, 0, 7, 5, pal::kInk);
  t[kWallFaceCracked].Line(7, 5, 10, 10, pal::kInk);
  t[kWallFaceCracked].Line(10, 10, 8, 15, pal::kInk);
  t[kWallFaceCracked].Line(7, 5, 4, 7, pal::kSand0);
  PaintBricks(t[kWallFaceTorch], kBrickRamp, 1);
  {
    Image& w = t[kWallFaceTorch];
    w.Rect(6, 10, 4, 2, pal::kStone1);
    w.Rect(7, 5, 2, 6, pal::kWood1);
    w.Disc(8, 3.5, 2.5, pal::kOrange);
    w.Disc(8, 4, 1.5, pal::kGold2);
    w.Set(8, 1, pal::kRed2);
    w.Set(8, 4, pal::kGold3);
  }
  PaintBricks(t[kWallFaceBanner], kBrickRamp, 1);
  {
    Image& w = t[kWallFaceBanner];
    w.Rect(3, 0, 10, 14, pal::kRed1);
    w.Rect(4, 0, 8, 13, pal::kRed2);
    w.Rect(4, 12, 8, 2, kClear);
    PaintBricks(w, kBrickRamp, 1);  // repaint, then lay the banner on top again
    w.Rect(4, 0, 8, 12, pal::kRed2);
    w.VLine(3, 0, 12, pal::kRed1);
    w.VLine(12, 0, 12, pal::kRed1);
    for (int k = 0; k < 4; ++k) {
      w.HLine(4 + k, 11 - k, 12 + k, pal::kRed2);
    }
    w.Set(7, 15, pal::kRed1);
    w.Set(8, 15, pal::kRed1);
    w.Rect(4, 1, 8, 1, pal::kGold2);
    w.Rect(7, 4, 2, 4, pal::kGold2);
    w.Rect(6, 5, 4, 2, pal::kGold2);
    w.Set(7, 5, pal::kGold3);
  }
  PaintWallTop(t[kWallTop], kCapRamp, 5);
  PaintWallTop(t[kWallTopEdgeS], kCapRamp, 5);
  t[kWallTopEdgeS].Rect(0, 13, 16, 1, pal::kStone4);
  t[kWallTopEdgeS].Rect(0, 14, 16, 2, pal::kStone0);
  PaintFlagstones(t[kPillarBase], kSandRamp, 1);
  {
    Image& p = t[kPillarBase];
    p.Ellipse(8, 12, 6.5, 3, pal::kShadow);
    p.Rect(3, 0, 10, 12, pal::kStone2);
    p.Rect(3, 0, 2, 12, pal::kStone3);
    p.Rect(11, 0, 2, 12, pal::kStone1);
    p.Rect(2, 10, 12, 3, pal::kStone3);
    p.Rect(2, 12, 12, 1, pal::kStone1);
    p.VLine(7, 0, 9, pal::kStone1);
  }
  PaintBricks(t[kWallFaceGrate], kBrickRamp, 1);
  {
    Image& w = t[kWallFaceGrate];
    w.Ellipse(8, 16, 6, 8, pal::kInk);
    for (int x : {4, 7, 10, 12}) w.VLine(x, 9, 15, pal::kStone2);
    w.HLine(3, 13, 12, pal::kStone1);
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      Rgba c = LeafColour(x, y);
      if (y >= 14) c = y == 15 ? pal::kLeaf0 : Mix(c, pal::kLeaf0, 0.5);
      t[kHedge].Set(x, y, c);
      t[kHedgeTop].Set(x, y, LeafColour(x + 4, y + 5));
    }
  for (int x = 0; x < 16; ++x) t[kHedgeTop].Set(x, 0, pal::kLeaf4);
  for (int v : {kCrate, kBarrel}) PaintFlagstones(t[v], kSandRamp, 1);
  {
    Image box(16, 16);
    PaintBlock(box, kWoodRamp);
    box.Line(2, 2, 13, 13, pal::kWood1);
    box.Line(13, 2, 2, 13, pal::kWood1);
    box.Outline(pal::kInk);
    t[kCrate].Blit(box, 0, 0);
    Image barrel(16, 16);
    barrel.Ellipse(8, 8, 6, 7, pal::kWood1);
    barrel.Ellipse(7.5, 8, 5, 7, pal::kWood2);
    barrel.Rect(5, 1, 2, 14, pal::kWood3);
    for (int y : {3, 12}) barrel.HLine(2, 13, y, pal::kStone1);
    barrel.Outline(pal::kInk);
    t[kBarrel].Blit(barrel, 0, 0);
  }
  PaintRock(t[kRockWall], 101, false);
  PaintRock(t[kRockWallTop], 103, true);
  for (int v : {kFramePanel, kFrameEdge}) {
    Image& p = t[v];
    p.Fill(pal::kShadow);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        if (Noise(x, y, 111) < 0.1) p.Set(x, y, pal::kPurple0);
        if (x == 0 || y == 0) p.Set(x, y, pal::kStone0);
        if (x == 15 || y == 15) p.Set(x, y, pal::kInk);
      }
    p.Frame(3, 3, 10, 10, pal::kInk);
    p.Frame(4, 4, 8, 8, pal::kStone0);
  }
  // The score bar along the bottom row: the score line's letters cover its upper 13 rows and reach 2 rows
  // up into the field, so the bar is one calm dark band without joints behind them, and its gold trim
  // runs along the foot of the screen, clear below the letters.
  {
    Image& bar = t[kFrameEdge];
    bar.Fill(pal::kShadow);
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 16; ++x)
        if (Noise(x, y, 112) < 0.08) bar.Set(x, y, pal::kPurple0);
    bar.HLine(0, 15, 14, pal::kGold2);
    bar.HLine(0, 15, 15, pal::kGold0);
  }
}

void PaintCovers(TileSet& t) {
  using namespace tile;
  auto capS = [](Image& img, const Ramp& r, const Ramp&) {
    Image top(16, 16);
    PaintWallTop(top, r, 5);
    img.Copy(top, 0, 4, 16, 6, 0, 10);
    img.HLine(0, 15, 10, Mix(r.c[2], r.c[3], 0.6));
    img.HLine(0, 15, 9, r.c[0]);
  };
  auto capN = [](Image& img, const Ramp& r, const Ramp& face) {
    Image top(16, 16);
    PaintWallTop(top, r, 5);
    img.Copy(top, 0, 0, 16, 3, 0, 0);
    img.HLine(0, 15, 3, r.c[4]);
    Image bricks(16, 16);
    PaintBricks(bricks, face, 1);
    img.Copy(bricks, 0, 0, 16, 2, 0, 4);
    img.HLine(0, 15, 6, r.c[0]);
  };
  capS(t[kCoverWallCapS], kCapRamp, kBrickRamp);
  PaintWallTop(t[kCoverWallTop], kCapRamp, 5);
  capN(t[kCoverWallCapN], kCapRamp, kBrickRamp);
  {
    Image& a = t[kCoverArch];
    PaintBricks(a, kBrickRamp, 1);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        double dx = x + 0.5 - 8, dy = y + 0.5 - 16;
        if (x >= 2 && x <= 13 && (dx * dx / 36.0 + dy * dy / 196.0 <= 1)) a.Set(x, y, kClear);
      }
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (!a.Solid(x, y) && a.Solid(x, y - 1)) a.Set(x, y - 1, pal::kSand0);
  }
  {
    Image& a = t[kCoverArchLeft];
    PaintBricks(a, kBrickRamp, 1);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
        if (x >= 4 && dx * dx / 144.0 + dy * dy / 144.0 <= 1) a.Set(x, y, kClear);
      }
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (!a.Solid(x, y) && a.Solid(x, y - 1)) a.Set(x, y - 1, pal::kSand0);
    t[kCoverArchRight] = a.MirroredX();
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) t[kCoverCanopy].Set(x, y, LeafColour(x, y));
  const int edges[4] = {kCoverCanopyEdgeS, kCoverCanopyEdgeN, kCoverCanopyEdgeW, kCoverCanopyEdgeE};
  for (int side = 0; side < 4; ++side) {
    Image& c = t[edges[side]];
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        int d = side == 0 ? 15 - y : side == 1 ? y : side == 2 ? x : 15 - x;
        int along = side < 2 ? x : y;
        double edge = 4 + 2.5 * std::abs(std::sin(along * kPi / 8));
        if (d >= edge) c.Set(x, y, LeafColour(x, y));
      }
    c.Outline(pal::kLeaf0);
  }
  {
    Image& v = t[kCoverVines];
    for (int k = 0; k < 3; ++k) {
      int x0 = 2 + k * 5, len = 9 + int(Hash(k, 0, 121) % 6);
      for (int y = 0; y < len; ++y) {
        int x = x0 + int(std::lround(std::sin(y * 0.8 + k) * 0.8));
        v.Set(x, y, pal::kLeaf1);
        if (y % 3 == 1) {
          v.Set(x + 1, y, pal::kLeaf3);
          v.Set(x + 1, y - 1, pal::kLeaf2);
        }
        if (y % 3 == 2) v.Set(x - 1, y, pal::kLeaf2);
      }
    }
    v.HLine(0, 15, 0, pal::kLeaf1);
  }
  {
    Image& w = t[kCoverCobweb];
    for (int k = 0; k < 4; ++k) {
      double a = k * kPi / 6;
      w.Line(0, 0, int(13 * std::cos(a)), int(13 * std::sin(a)), pal::kStone4);
    }
    for (int r : {4, 8, 11})
      for (int k = 0; k <= 12; ++k) {
        double a = k * kPi / 24;
        w.Set(int(r * std::cos(a)), int(r * std::sin(a)), pal::kStone3);
      }
  }
  {
    Image& b = t[kCoverBanner];
    b.HLine(1, 14, 1, pal::kWood1);
    b.Rect(4, 2, 8, 10, pal::kPurple2);
    b.VLine(4, 2, 11, pal::kPurple1);
    b.VLine(11, 2, 11, pal::kPurple1);
    for (int k = 0; k < 3; ++k) b.HLine(4 + k, 11 - k, 12 + k, pal::kPurple2);
    b.Rect(7, 5, 2, 4, pal::kGold2);
    b.Rect(6, 6, 4, 2, pal::kGold2);
    b.Outline(pal::kInk);
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((x + y) % 2 == 0) t[kCoverShade].Set(x, y, pal::kInk);
  {
    Image& l = t[kCoverLantern];
    l.VLine(8, 0, 4, pal::kStone1);
    l.Rect(5, 5, 6, 1, pal::kStone1);
    l.Rect(5, 6, 6, 6, pal::kGold2);
    l.Rect(6, 7, 4, 4, pal::kGold3);
    l.VLine(5, 6, 11, pal::kStone1);
    l.VLine(10, 6, 11, pal::kStone1);
    l.Rect(5, 12, 6, 1, pal::kStone1);
    l.Outline(pal::kInk);
  }
  // The same wall pieces in the dungeon's dark stone.
  PaintFlagstones(t[kDungeonFloor], kDungeonRamp, 17);
  PaintFlagstones(t[kDungeonFloorCracked], kDungeonRamp, 17);
  // The crack runs from edge to edge at the same height, so a patch of cracked flagstones reads as one
  // long fissure and not as the same mark stamped on every cell.
  t[kDungeonFloorCracked].Line(0, 9, 5, 7, pal::kInk);
  t[kDungeonFloorCracked].Line(5, 7, 10, 10, pal::kInk);
  t[kDungeonFloorCracked].Line(10, 10, 15, 9, pal::kInk);
  t[kDungeonFloorCracked].Line(6, 6, 7, 3, pal::kShadow);
  PaintBricks(t[kDungeonWallFace], kDungeonFaceRamp, 3);
  PaintWallTop(t[kDungeonWallTop], kDungeonCapRamp, 6);
  PaintWallTop(t[kDungeonWallTopEdgeS], kDungeonCapRamp, 6);
  t[kDungeonWallTopEdgeS].Rect(0, 13, 16, 1, pal::kWhite);
  t[kDungeonWallTopEdgeS].Rect(0, 14, 16, 2, pal::kStone1);
  capS(t[kDungeonCoverCapS], kDungeonCapRamp, kDungeonFaceRamp);
  PaintWallTop(t[kDungeonCoverTop], kDungeonCapRamp, 6);
  capN(t[kDungeonCoverCapN], kDungeonCapRamp, kDungeonFaceRamp);
  PaintBricks(t[kDungeonWallFaceChains], kDungeonFaceRamp, 3);
  for (int x : {4, 11})
    for (int y = 0; y < 13; ++y) t[kDungeonWallFaceChains].Set(x, y, y % 2 ? pal::kStone4 : pal::kStone0);
  t[kDungeonWallFaceChains].Rect(3, 12, 3, 2, pal::kStone3);
  t[kDungeonWallFaceChains].Rect(10, 12, 3, 2, pal::kStone3);
  // Grass meeting a sandstone path.
  const int grassEdges[4] = {kGrassEdgeN, kGrassEdgeS, kGrassEdgeW, kGrassEdgeE};
  for (int side = 0; side < 4; ++side) {
    Image& g = t[grassEdges[side]];
    PaintGrass(g, 21);
    Image path(16, 16);
    PaintFlagstones(path, kSandRamp, 1);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        int d = side == 0 ? y : side == 1 ? 15 - y : side == 2 ? x : 15 - x;
        int along = side < 2 ? x : y;
        double edge = 4 + (Hash(along / 2, side, 131) % 2);
        if (d < edge)
          g.Set(x, y, path.Get(x, y));
        else if (d < edge + 1)
          g.Set(x, y, pal::kLeaf1);
      }
  }
  capS(t[kCoverHedgeCapS], kLeafRamp, kLeafRamp);
  for (int y = 10; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      t[kCoverHedgeCapS].Set(x, y, y == 10 ? pal::kLeaf4 : LeafColour(x + 4, y + 5));
}

}  // namespace art
