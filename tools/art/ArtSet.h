// The complete set of pictures the game loads, painted in memory: file name (relative to the
// game folder) and picture for every PNG, plus the small font that is written as a BMP.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/art/Canvas.h"

namespace art {

struct ArtSet {
  std::vector<std::pair<std::string, Image>> pngs;
  Image smallFont;

  // The picture of that file name; throws std::runtime_error when there is none.
  const Image& Find(const std::string& name) const;
};

ArtSet BuildArtSet();

}  // namespace art
