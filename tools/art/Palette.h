// The one palette every picture of the game is painted from. Colours come in ramps from dark to
// light so shading stays consistent between tiles, sprites, effects and menus.
#pragma once

#include "tools/art/Canvas.h"

namespace art::pal {

// Outlines and the darkest shadows: a deep violet-black rather than pure black.
constexpr Rgba kInk = Hex(0x1A1424);
constexpr Rgba kShadow = Hex(0x2B2238);
constexpr Rgba kWhite = Hex(0xF8F4E8);

// Cool stone (walls, blocks, metal).
constexpr Rgba kStone0 = Hex(0x2E3042);
constexpr Rgba kStone1 = Hex(0x464A62);
constexpr Rgba kStone2 = Hex(0x646A84);
constexpr Rgba kStone3 = Hex(0x8A90A8);
constexpr Rgba kStone4 = Hex(0xB8BCCC);

// Warm sandstone (the plain floors).
constexpr Rgba kSand0 = Hex(0x5C4434);
constexpr Rgba kSand1 = Hex(0x7E6048);
constexpr Rgba kSand2 = Hex(0x9E7E5E);
constexpr Rgba kSand3 = Hex(0xBC9C76);
constexpr Rgba kSand4 = Hex(0xD8BE94);

// Wood.
constexpr Rgba kWood0 = Hex(0x3E2618);
constexpr Rgba kWood1 = Hex(0x633C22);
constexpr Rgba kWood2 = Hex(0x8C5A30);
constexpr Rgba kWood3 = Hex(0xB47E46);

// Leaves and grass.
constexpr Rgba kLeaf0 = Hex(0x163826);
constexpr Rgba kLeaf1 = Hex(0x245C34);
constexpr Rgba kLeaf2 = Hex(0x3C8840);
constexpr Rgba kLeaf3 = Hex(0x6CB250);
constexpr Rgba kLeaf4 = Hex(0xAAD872);

// Water and ice.
constexpr Rgba kSea0 = Hex(0x1A2458);
constexpr Rgba kSea1 = Hex(0x263E8C);
constexpr Rgba kSea2 = Hex(0x3A66BE);
constexpr Rgba kSea3 = Hex(0x62A0E4);
constexpr Rgba kSea4 = Hex(0xA8DCF6);

// Reds, oranges and golds (fire, fruit, treasure).
constexpr Rgba kRed0 = Hex(0x5A1420);
constexpr Rgba kRed1 = Hex(0x962430);
constexpr Rgba kRed2 = Hex(0xD23C34);
constexpr Rgba kRed3 = Hex(0xF07050);
constexpr Rgba kOrange = Hex(0xF29A30);
constexpr Rgba kGold0 = Hex(0x7C5214);
constexpr Rgba kGold1 = Hex(0xC08A1E);
constexpr Rgba kGold2 = Hex(0xF0C43C);
constexpr Rgba kGold3 = Hex(0xFFEC9C);

// Violets (the baddies, magic, the menu's night).
constexpr Rgba kPurple0 = Hex(0x2C1A48);
constexpr Rgba kPurple1 = Hex(0x4C2A78);
constexpr Rgba kPurple2 = Hex(0x7440A8);
constexpr Rgba kPurple3 = Hex(0xA66CD6);
constexpr Rgba kPurple4 = Hex(0xD6A8F0);

// Skin and a pink accent.
constexpr Rgba kSkin0 = Hex(0x8C4E38);
constexpr Rgba kSkin1 = Hex(0xD08A62);
constexpr Rgba kSkin2 = Hex(0xF4BE94);
constexpr Rgba kPink = Hex(0xF284A8);

// Gem cyan.
constexpr Rgba kGem0 = Hex(0x105A70);
constexpr Rgba kGem1 = Hex(0x1E9AB0);
constexpr Rgba kGem2 = Hex(0x4ED8E0);
constexpr Rgba kGem3 = Hex(0xB4FAF6);

}  // namespace art::pal
