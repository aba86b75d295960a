// The tile catalogue: what every painted frame of "Graphic/Tiles1.png" shows (frame = cell value).
// The art paints these frames and the level compiler builds the levels from them. Whether a cell is
// solid is decided by the level's actor layer, never by the tile. Three kinds of tile:
//   - opaque tiles (floors, walls): for the ground layer, which is drawn everywhere, value 0 too;
//   - objects on a transparent surround (decorations, items): for the item layer, over a floor;
//   - overhangs, mostly transparent (wall tops, arches, leaves): for the cover layer, drawn over
//     the boy and the baddies, so they can walk "behind" walls and under trees.
// Values not listed here are left empty (fully transparent).
//
// Recipes:
//   wall     a row of kWallTopEdgeS over a row of kWallFace (both solid in the actor layer), and
//            kFloorShadowN on the floor row below the face; kCoverWallCapS in the cover layer of
//            the row above the wall top hides the feet of whoever walks along the wall's back.
//   doorway  floor in both wall rows (free); in the cover layer kCoverWallTop on the wall-top
//            row and kCoverArch on the face row (or kCoverArchLeft + kCoverArchRight for a
//            two-cell door), so walkers pass under the lintel.
//   tree     kTreeTrunk in the item layer (solid), kCoverCanopy above it in the cover layer,
//            ringed by the kCoverCanopyEdge* tiles.
//   pool     kWater ringed by kWaterEdgeN/S/W/E with kWaterEdgeNW/NE/SW/SE at the corners
//            (solid), kBridgeH or kBridgeV across (free).
//   The frames of cell::kTurnMarker, cell::kExit, cell::kGem and cell::kFire are never drawn from
//   the item layer (the marker is not drawn, the others come from strips of their own); their tiles
//   here are floors for the ground layer.
#pragma once

#include "game/GameWords.h"

namespace art::tile {

// --- Floors (opaque, ground layer) -----------------------------------------------------------
constexpr int kFloorFlagstone = 0;         // plain sandstone flagstones; the default floor
constexpr int kFloorFlagstoneCracked = 1;  // the same flagstones with a crack
constexpr int kFloorFlagstoneMossy = 2;    // the same flagstones with moss in the joints
constexpr int kFloorSand = 5;              // plain speckled sand
constexpr int kFloorGrass = 6;             // short grass
constexpr int kFloorGrassFlowers = 7;      // grass with a few small flowers
constexpr int kFloorDirt = 8;              // trodden earth with pebbles
constexpr int kFloorPlanks = 9;            // wooden floorboards, running left to right
constexpr int kFloorChecker = 10;          // black and white marble checkerboard
constexpr int kFloorBlueTiles = 11;        // glazed blue tiles
constexpr int kFloorCobble = 12;           // grey cobblestones
constexpr int kFloorGrate = 13;            // iron grate over darkness
constexpr int kFloorMosaic = 14;           // sandstone tile with a gold star mosaic
constexpr int kFloorGravel = 15;           // loose grey gravel
constexpr int kFloorRubble = 30;           // sandstone floor strewn with rubble (after a blast)
constexpr int kFloorDarkStone = 31;        // dark blue dungeon flagstones
constexpr int kFloorMetal = 121;           // riveted metal plate
constexpr int kFloorShadowN = 124;         // flagstones darkened along the top edge (just below a wall)

// --- Water and other floors that look impassable (opaque, ground layer) ----------------------
constexpr int kWater = 16;         // open water with ripples
constexpr int kWaterEdgeN = 17;    // water with a sandy shore along its top edge
constexpr int kWaterEdgeS = 18;    // water with a shore along its bottom edge
constexpr int kWaterEdgeW = 19;    // water with a shore along its left edge
constexpr int kWaterEdgeE = 20;    // water with a shore along its right edge
constexpr int kLava = 21;          // glowing lava with a dark crust
constexpr int kWaterLily = 23;     // water with a lily pad
constexpr int kIce = 24;           // slippery-looking ice with glints
constexpr int kPit = 25;           // a black pit with a crumbling rim
constexpr int kBridgeH = 26;       // wooden bridge over water, planks across, walkway left-right
constexpr int kBridgeV = 27;       // wooden bridge over water, walkway up-down
constexpr int kWaterDeep = 28;     // deep, dark water
constexpr int kSwamp = 29;         // murky green swamp water
constexpr int kWaterEdgeNW = 137;  // water with a shore along its top and left edges (pool corner)
constexpr int kWaterEdgeNE = 138;  // water with a shore along its top and right edges
constexpr int kWaterEdgeSW = 139;  // water with a shore along its bottom and left edges
constexpr int kWaterEdgeSE = 140;  // water with a shore along its bottom and right edges

// --- Walls (opaque, ground layer) -------------------------------------------------------------
constexpr int kWallFace = 32;         // sandstone brick wall seen from the front
constexpr int kWallFaceWindow = 33;   // brick wall with a barred window
constexpr int kWallFaceMossy = 34;    // brick wall with moss
constexpr int kWallFaceCracked = 35;  // brick wall with a crack
constexpr int kWallFaceTorch = 36;    // brick wall with a burning torch in a bracket
constexpr int kWallFaceBanner = 37;   // brick wall with a red banner
constexpr int kWallTop = 38;          // top of a thick wall seen from above
constexpr int kWallTopEdgeS = 39;     // wall top whose front lip runs along the bottom (above a face)
constexpr int kPillarBase = 40;       // foot of a stone pillar on flagstones
constexpr int kWallFaceGrate = 41;    // brick wall with a drain grate
constexpr int kHedge = 42;            // a clipped hedge seen from the front
constexpr int kHedgeTop = 43;         // the top of a hedge seen from above
constexpr int kCrate = 44;            // a wooden crate on flagstones
constexpr int kBarrel = 45;           // a barrel on flagstones
constexpr int kRockWall = 46;         // rough cave rock face
constexpr int kRockWallTop = 47;      // top of a cave rock wall
constexpr int kFramePanel = 122;      // dark carved panel for the solid frame and the score rows
constexpr int kFrameEdge = 123;       // the score bar: a plain dark band with a gold trim along its foot

// --- Overhangs (mostly transparent, cover layer) ---------------------------------------------
constexpr int kCoverWallCapS = 48;     // lower 6 rows: a wall's top lip (hides feet behind a wall)
constexpr int kCoverWallTop = 49;      // a whole wall top (opaque), for walls walked behind
constexpr int kCoverWallCapN = 50;     // upper 6 rows: a wall's bottom edge (passing under it)
constexpr int kCoverArch = 51;         // a one-cell stone arch: lintel and two thin jambs
constexpr int kCoverArchLeft = 52;     // left half of a two-cell arch
constexpr int kCoverArchRight = 53;    // right half of a two-cell arch
constexpr int kCoverCanopy = 54;       // dense tree leaves filling the cell
constexpr int kCoverCanopyEdgeS = 55;  // leaves with a ragged bottom edge
constexpr int kCoverCanopyEdgeN = 56;  // leaves with a ragged top edge
constexpr int kCoverCanopyEdgeW = 57;  // leaves with a ragged left edge
constexpr int kCoverCanopyEdgeE = 58;  // leaves with a ragged right edge
constexpr int kCoverVines = 59;        // vines hanging from the top edge
constexpr int kCoverCobweb = 60;       // a cobweb in the top-left corner
constexpr int kCoverBanner = 61;       // a banner hanging from the top edge
constexpr int kCoverShade = 62;        // a dithered shadow over the whole cell
constexpr int kCoverLantern = 63;      // a lantern hanging from the top edge

// --- Decorations (objects on a transparent surround; item layer over a floor) ----------------
constexpr int kRockSmall = 64;         // a few small stones
constexpr int kRockBig = 65;           // a big boulder
constexpr int kBush = 66;              // a round green bush
constexpr int kFlowers = 67;           // a clump of flowers
constexpr int kMushrooms = 68;         // red-capped mushrooms
constexpr int kBones = 69;             // a skull and bones
constexpr int kCrack = 70;             // a crack in the floor
constexpr int kPuddle = 71;            // a puddle of water
constexpr int kGrassTuft = 72;         // a tuft of tall grass
constexpr int kTurnMarkerTemple = 73;  // (ground use) floor tile with a four-arrow compass mosaic
constexpr int kExitMat = 74;           // (ground use) a stone threshold mat for in front of the exit
constexpr int kStatue = 75;            // a small stone statue on a plinth
constexpr int kGemInlay = 76;          // (ground use) flagstone with an inlaid gem
constexpr int kTorchStand = 77;        // a standing torch
constexpr int kVase = 78;              // a clay vase
constexpr int kSignpost = 79;          // a wooden signpost
constexpr int kCarpetNW = 80;          // red carpet, top-left corner (opaque)
constexpr int kCarpetN = 81;           // red carpet, top edge (opaque)
constexpr int kCarpetNE = 82;          // red carpet, top-right corner (opaque)
constexpr int kCarpetW = 83;           // red carpet, left edge (opaque)
constexpr int kCarpetC = 84;           // red carpet, middle (opaque)
constexpr int kCarpetE = 85;           // red carpet, right edge (opaque)
constexpr int kCarpetSW = 86;          // red carpet, bottom-left corner (opaque)
constexpr int kCarpetS = 87;           // red carpet, bottom edge (opaque)
constexpr int kCarpetSE = 88;          // red carpet, bottom-right corner (opaque)
constexpr int kRugRound = 89;          // a small round rug
constexpr int kStairsDown = 90;        // stairs going down (opaque)
constexpr int kStairsUp = 91;          // stairs going up (opaque)
constexpr int kTable = 92;             // a small wooden table
constexpr int kBookshelf = 93;         // a bookshelf (opaque)
constexpr int kChest = 94;             // a closed treasure chest (decoration only)
constexpr int kPottedPlant = 95;       // a plant in a pot
constexpr int kTreeTrunk = 96;         // a tree trunk and roots; put kCoverCanopy above it
constexpr int kTreeStump = 97;         // a cut tree stump
constexpr int kLog = 98;               // a fallen log
constexpr int kFenceH = 99;            // wooden fence running left to right
constexpr int kFenceV = 100;           // wooden fence running up and down
constexpr int kFencePost = 101;        // a single fence post
constexpr int kWell = 102;             // a stone well
constexpr int kGrave = 103;            // a gravestone
constexpr int kFountain = 104;         // a small fountain basin
constexpr int kColumn = 105;           // a stone column seen from above
constexpr int kCactus = 106;           // a cactus
constexpr int kBrazier = 108;          // an unlit iron brazier
constexpr int kFirePit = 109;          // (ground use) a ring of stones around embers
constexpr int kAsh = 110;              // a pile of ash
constexpr int kScorch = 111;           // a scorch mark
constexpr int kArrowRight = 112;       // floor arrow pointing right
constexpr int kArrowLeft = 113;        // floor arrow pointing left
constexpr int kArrowUp = 114;          // floor arrow pointing up
constexpr int kArrowDown = 115;        // floor arrow pointing down
constexpr int kPressurePlate = 116;    // a square pressure plate (decoration only)
constexpr int kWarningStripes = 117;   // yellow and black warning stripes (opaque)
constexpr int kPipeH = 119;            // a pipe running left to right
constexpr int kPipeV = 120;            // a pipe running up and down

// --- Dungeon set: the wall pieces again in dark blue stone -----------------------------------
constexpr int kDungeonFloor = 128;           // dark blue flagstones (opaque)
constexpr int kDungeonFloorCracked = 129;    // the same with a crack (opaque)
constexpr int kDungeonWallFace = 130;        // dark blue brick wall face (opaque)
constexpr int kDungeonWallTop = 131;         // dark blue wall top (opaque)
constexpr int kDungeonWallTopEdgeS = 132;    // dark blue wall top with its lip at the bottom (opaque)
constexpr int kDungeonCoverCapS = 133;       // cover: lower 6 rows of a dark wall's top lip
constexpr int kDungeonCoverTop = 134;        // cover: whole dark wall top
constexpr int kDungeonCoverCapN = 135;       // cover: upper 6 rows of a dark wall's bottom edge
constexpr int kDungeonWallFaceChains = 136;  // dark wall face with hanging chains (opaque)

// --- Garden set: hedges and grass edges -------------------------------------------------------
constexpr int kGrassEdgeN = 144;      // grass with a sandstone path along its top edge (opaque)
constexpr int kGrassEdgeS = 145;      // grass with a path along its bottom edge (opaque)
constexpr int kGrassEdgeW = 146;      // grass with a path along its left edge (opaque)
constexpr int kGrassEdgeE = 147;      // grass with a path along its right edge (opaque)
constexpr int kCoverHedgeCapS = 148;  // cover: lower 6 rows of a hedge top

// --- Turn-marker floors of the other level themes: the compass of kTurnMarkerTemple set into ------
// --- each theme's own floor, in that theme's metal or stone (opaque, ground layer) ------------
constexpr int kTurnMarkerDungeon = 149;  // iron compass on dark blue flagstones
constexpr int kTurnMarkerGarden = 150;   // white pebble compass on a round stepping stone in the grass
constexpr int kTurnMarkerCave = 151;     // copper compass on trodden earth
constexpr int kTurnMarkerIce = 152;      // frosted silver-blue compass frozen into the ice
constexpr int kTurnMarkerLava = 153;     // glowing compass on dark stone
constexpr int kTurnMarkerBeach = 154;    // compass of pale shells laid in the sand
constexpr int kTurnMarkerHall = 155;     // brass compass inlaid in the marble checkerboard

// --- Blocks (objects on a transparent surround; item layer) ----------------------------------
constexpr int kBlockStone = 192;  // a heavy grey stone block
constexpr int kBlockMetal = 193;  // a riveted steel block
constexpr int kBlockWood = 194;   // a wooden box
constexpr int kBlockIce = 195;    // a block of ice
constexpr int kBlockGold = 196;   // a gold block
constexpr int kBlockBrick = 197;  // a small brick block

// --- Items with a rule (item layer) -----------------------------------------------------------
// Their frames carry the game's own cell values (cell:: in game/GameWords.h): the gem box closed and
// opened, the key, the switch and the fired switch, the blast block, and the fruit's shadow under
// cell::kFruit. The gem, the exit and the fire are drawn from strips of their own.
// The rule items every level relies on; the test checks each one is painted.
constexpr int kRuleItems[] = {cell::kGemBox,      cell::kGemBoxOpen, cell::kKey,  cell::kSwitch,
                              cell::kSwitchFired, cell::kBlastBlock, cell::kFruit};

}  // namespace art::tile
