// Loading a picture into a background set: the picture is cut into square tiles of the largest texture
// size up to 512, so a 640 x 480 menu picture costs two textures and a handful of quads per frame.
#include <algorithm>

#include "runtime/gfx2d/Renderer2D.h"

namespace {
constexpr int32_t kLargestTile = 512;
}

bool OpenGLVezovede::LoadBackgroundSet(int set, const std::vector<uint8_t>& file, const std::string& name) {
  if (set < 0 || set >= kBackgroundSets) return false;
  RgbaImage image;
  if (!DecodeImageBytes(file, name, kNoColourKey, image) || image.width == 0 || image.height == 0)
    return false;
  const int32_t tile = std::min(maxTextureSize, kLargestTile);
  DiscardBackgroundSet(set);
  BackgroundSet& b = backgrounds[set];
  const int64_t columns = (int64_t{image.width} + tile - 1) / tile;
  const int64_t rows = (int64_t{image.height} + tile - 1) / tile;
  if (columns > BackgroundSet::kMaxTiles || rows > BackgroundSet::kMaxTiles) return false;
  for (int j = 0; j < rows; ++j) {
    // Count the rows first, so that a failure part way still lets the discard find every tile made.
    b.rows = j + 1;
    for (int i = 0; i < columns; ++i) {
      b.columns = std::max(b.columns, i + 1);
      if (!UploadTexture(image, i * tile, j * tile, tile, tile, b.tiles[i][j], nullptr, false)) {
        DiscardBackgroundSet(set);
        return false;
      }
      b.tileTexWidth[i][j] = b.tileTexHeight[i][j] = tile;
      b.tileWidth[i][j] = b.tileHeight[i][j] = tile;
    }
  }
  return true;
}
