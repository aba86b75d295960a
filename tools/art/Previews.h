// Preview pictures for judging the art by eye: a contact sheet of all strips enlarged over a
// checkerboard, a made-up play screen and the title menu, both at 1x and drawn the way the game
// draws them (cells from strips, letters stretched with linear filtering and the alpha test).
#pragma once

#include <string>

#include "tools/art/ArtSet.h"
#include "tools/art/Canvas.h"

namespace art {

// Every picture whose name contains `filter`, enlarged, each under its file name.
Image ContactSheet(const ArtSet& set, const std::string& filter = "");

// The tile sheet, rows `firstRow` to `firstRow` + 7, enlarged 5x over a checkerboard with every
// tile's number in its corner.
Image TileChart(const ArtSet& set, int firstRow);

Image MockMenuScreen(const ArtSet& set);

// A small made-up level: flagstone hall with a brick wall, a pool, a garden corner, items,
// the boy and a baddie, the cover layer on top and the score line at the bottom.
Image MockPlayScreen(const ArtSet& set);

}  // namespace art
