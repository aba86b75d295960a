// "Graphic/Tiles1.png": every tile of the catalogue (TileCatalogue.h) painted into its frame of the
// 256 x 256 sheet, 16 tiles per row, frame = cell value. Tiles.cpp paints the floors, waters, walls and
// covers, TileDecor.cpp the decorations, blocks and rule items and puts the sheet together.
#pragma once

#include <array>

#include "tools/art/Canvas.h"

namespace art {

// The whole sheet.
Image MakeTileSheet();

// The painters of its parts, each into the tiles of its group.
using TileSet = std::array<Image, 256>;

void PaintFloors(TileSet& t);

void PaintWaters(TileSet& t);

void PaintWalls(TileSet& t);

// Cover tiles: wall tops, arches and leaves that the actors pass behind or under.
void PaintCovers(TileSet& t);

}  // namespace art
