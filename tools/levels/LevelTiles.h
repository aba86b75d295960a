// Tile numbers of "Graphic/Tiles1.png" that the level compiler paints with. The tile numbers follow the
// art's tile catalogue; only the ones the levels use are listed. The cell values with a rule are the
// game's own (cell:: in game/GameWords.h).
#pragma once

#include <cstdint>

#include "game/GameWords.h"

namespace levels {

namespace tile {
// Floors.
constexpr uint8_t kFlagstone = 0;
constexpr uint8_t kFlagstoneCracked = 1;
constexpr uint8_t kFlagstoneMossy = 2;
constexpr uint8_t kSand = 5;
constexpr uint8_t kGrass = 6;
constexpr uint8_t kGrassFlowers = 7;
constexpr uint8_t kDirt = 8;
constexpr uint8_t kPlanks = 9;
constexpr uint8_t kChecker = 10;
constexpr uint8_t kBlueTiles = 11;
constexpr uint8_t kCobble = 12;
constexpr uint8_t kGrate = 13;
constexpr uint8_t kMosaic = 14;
constexpr uint8_t kGravel = 15;
constexpr uint8_t kRubble = 30;
constexpr uint8_t kDarkStone = 31;
constexpr uint8_t kFloorShadowN = 124;  // flagstones darkened along the top edge, just below a wall
// Liquids and pits.
constexpr uint8_t kWater = 16;
constexpr uint8_t kWaterEdgeN = 17;  // shore along the top edge
constexpr uint8_t kWaterEdgeS = 18;
constexpr uint8_t kWaterEdgeW = 19;
constexpr uint8_t kWaterEdgeE = 20;
constexpr uint8_t kWaterEdgeNW = 137;  // pool corners
constexpr uint8_t kWaterEdgeNE = 138;
constexpr uint8_t kWaterEdgeSW = 139;
constexpr uint8_t kWaterEdgeSE = 140;
constexpr uint8_t kLava = 21;
constexpr uint8_t kIce = 24;
constexpr uint8_t kPit = 25;
constexpr uint8_t kBridgeH = 26;
constexpr uint8_t kBridgeV = 27;
constexpr uint8_t kWaterDeep = 28;
constexpr uint8_t kSwamp = 29;
// Walls.
constexpr uint8_t kWallFace = 32;
constexpr uint8_t kWallFaceWindow = 33;
constexpr uint8_t kWallFaceMossy = 34;
constexpr uint8_t kWallFaceCracked = 35;
constexpr uint8_t kWallFaceTorch = 36;
constexpr uint8_t kWallFaceBanner = 37;
constexpr uint8_t kWallTop = 38;
constexpr uint8_t kWallTopEdgeS = 39;
constexpr uint8_t kHedge = 42;
constexpr uint8_t kHedgeTop = 43;
constexpr uint8_t kCrate = 44;
constexpr uint8_t kBarrel = 45;
constexpr uint8_t kRockWall = 46;
constexpr uint8_t kRockWallTop = 47;
constexpr uint8_t kFramePanel = 122;
constexpr uint8_t kFrameEdge = 123;
// Overhangs for the cover layer.
constexpr uint8_t kCoverWallCapS = 48;
constexpr uint8_t kCoverWallTop = 49;
constexpr uint8_t kCoverArch = 51;
constexpr uint8_t kCoverCanopy = 54;
constexpr uint8_t kCoverCanopyEdgeS = 55;  // leaves with a ragged bottom edge
constexpr uint8_t kCoverCanopyEdgeN = 56;  // ... top edge
constexpr uint8_t kCoverCanopyEdgeW = 57;  // ... left edge
constexpr uint8_t kCoverCanopyEdgeE = 58;  // ... right edge
constexpr uint8_t kCoverVines = 59;
constexpr uint8_t kCoverCobweb = 60;
constexpr uint8_t kCoverShade = 62;
// Decorations (item layer, over a floor).
constexpr uint8_t kRockSmall = 64;
constexpr uint8_t kRockBig = 65;
constexpr uint8_t kBush = 66;
constexpr uint8_t kFlowers = 67;
constexpr uint8_t kMushrooms = 68;
constexpr uint8_t kBones = 69;
constexpr uint8_t kCrack = 70;
constexpr uint8_t kGrassTuft = 72;
constexpr uint8_t kCompass = 73;  // ground use: the turn-marker floor (sandstone flagstone)
constexpr uint8_t kStatue = 75;
constexpr uint8_t kTorchStand = 77;
constexpr uint8_t kPottedPlant = 95;
constexpr uint8_t kTreeTrunk = 96;
constexpr uint8_t kWell = 102;
constexpr uint8_t kGrave = 103;
constexpr uint8_t kFountain = 104;
constexpr uint8_t kColumn = 105;
constexpr uint8_t kCactus = 106;
constexpr uint8_t kBrazier = 108;
constexpr uint8_t kAsh = 110;
constexpr uint8_t kScorch = 111;
// Dungeon stone.
constexpr uint8_t kDungeonFloor = 128;
constexpr uint8_t kDungeonFloorCracked = 129;
constexpr uint8_t kDungeonWallFace = 130;
constexpr uint8_t kDungeonWallTop = 131;
constexpr uint8_t kDungeonWallTopEdgeS = 132;
constexpr uint8_t kDungeonCoverCapS = 133;
constexpr uint8_t kDungeonCoverTop = 134;
constexpr uint8_t kDungeonWallFaceChains = 136;
// Garden.
constexpr uint8_t kCoverHedgeCapS = 148;
// Turn-marker floors of the other themes: the same compass set into each theme's own floor.
constexpr uint8_t kCompassDungeon = 149;
constexpr uint8_t kCompassGarden = 150;
constexpr uint8_t kCompassCave = 151;
constexpr uint8_t kCompassIce = 152;
constexpr uint8_t kCompassLava = 153;
constexpr uint8_t kCompassBeach = 154;
constexpr uint8_t kCompassHall = 155;
// Blocks.
constexpr uint8_t kBlockIce = 195;
}  // namespace tile

}  // namespace levels
