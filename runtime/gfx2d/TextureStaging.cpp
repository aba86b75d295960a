// Staging of texture texels: placement of the picture rectangle and the colour fill of sprite textures.
#include "runtime/gfx2d/TextureStaging.h"

#include <algorithm>

namespace {

// Gives every transparent texel the average colour of its opaque neighbours inside the texture's
// border, or black when there are none; alpha stays 0. Only opaque texels are read as neighbours and
// only transparent ones are written, so filling in place matches filling from a copy.
// Only rows [rowBegin, rowEnd) and columns [colBegin, colEnd) are visited: the caller passes the copied
// picture widened by one texel, since every texel beyond that is still zero and has only zero
// neighbours, so the fill would leave it as it is.
void FillUnderTransparentTexels(std::vector<uint8_t>& texels, int texWidth, int texHeight, int rowBegin,
                                int rowEnd, int colBegin, int colEnd) {
  static constexpr int kNeighbours[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                            {0, 1},   {1, -1}, {1, 0},  {1, 1}};  // {row, column}
  for (int row = rowBegin; row < rowEnd; ++row) {
    for (int col = colBegin; col < colEnd; ++col) {
      uint8_t* texel = texels.data() + (static_cast<size_t>(row) * texWidth + col) * 4;
      if (texel[3] != 0) continue;
      // Away from the border all eight neighbours count when opaque; most transparent texels (the keyed
      // background of a strip) have none, and are settled by one look at the eight alphas.
      if (row >= 2 && row <= texHeight - 3 && col >= 2 && col <= texWidth - 3) {
        const uint8_t* above = texel - static_cast<size_t>(texWidth) * 4;
        const uint8_t* below = texel + static_cast<size_t>(texWidth) * 4;
        if ((above[-1] | above[3] | above[7] | texel[-1] | texel[7] | below[-1] | below[3] | below[7]) == 0) {
          texel[0] = texel[1] = texel[2] = 0;
          continue;
        }
      }
      int sum[3] = {0, 0, 0};
      int count = 0;
      for (const auto& step : kNeighbours) {
        const int r = row + step[0];
        const int c = col + step[1];
        if (c < 1 || c > texWidth - 2 || r < 1 || r > texHeight - 2) continue;
        const uint8_t* neighbour = texels.data() + (static_cast<size_t>(r) * texWidth + c) * 4;
        if (neighbour[3] == 0) continue;
        sum[0] += neighbour[0];
        sum[1] += neighbour[1];
        sum[2] += neighbour[2];
        ++count;
      }
      for (int i = 0; i < 3; ++i) texel[i] = static_cast<uint8_t>(count > 0 ? sum[i] / count : 0);
    }
  }
}

}  // namespace

int TextureSizeFor(int n) {
  int size = 2;
  while (size < n && size < (1 << 30)) size *= 2;
  return size;
}

bool StagingSizes(const RgbaImage& image, int x0, int y0, int w, int h, int maxTextureSize,
                  TextureStaging& out) {
  out = TextureStaging{};
  int64_t width = w == 0 ? int64_t{image.width} - x0 : w;
  int64_t height = h == 0 ? int64_t{image.height} - y0 : h;
  if (width < 1 || height < 1) return false;
  // No picture is larger than the decoders accept, so the same limit keeps a bad driver answer (or a
  // stray rectangle) from asking for gigabytes of staging.
  const int64_t limit = std::clamp<int64_t>(maxTextureSize, 1, kMaxImageSide);
  out.width = static_cast<int32_t>(std::min(width, limit));
  out.height = static_cast<int32_t>(std::min(height, limit));
  out.texWidth = TextureSizeFor(out.width);
  out.texHeight = TextureSizeFor(out.height);
  return true;
}

bool BuildTextureStaging(const RgbaImage& image, int x0, int y0, int w, int h, int maxTextureSize,
                         bool fontMode, TextureStaging& out) {
  if (!StagingSizes(image, x0, y0, w, h, maxTextureSize, out)) return false;
  const int64_t width = out.width;
  const int64_t height = out.height;
  out.texels.assign(static_cast<size_t>(out.texWidth) * out.texHeight * 4, 0);

  // Only the part of the rectangle that lies on the picture is copied.
  const int64_t firstCol = std::max<int64_t>(0, -int64_t{x0});
  const int64_t endCol = std::min<int64_t>(width, int64_t{image.width} - x0);
  int64_t lowestRow = out.texHeight, highestRow = -1;  // texel rows that received picture rows
  for (int64_t ty = 0; ty < height && firstCol < endCol; ++ty) {
    const int64_t y = y0 + ty;
    if (y < 0 || y >= image.height) continue;
    lowestRow = std::min(lowestRow, height - 1 - ty);
    highestRow = std::max(highestRow, height - 1 - ty);
    const uint8_t* src = image.pixels.data() + static_cast<size_t>((y * image.width + x0 + firstCol) * 4);
    uint8_t* dst = out.texels.data() + static_cast<size_t>(((height - 1 - ty) * out.texWidth + firstCol) * 4);
    std::copy(src, src + (endCol - firstCol) * 4, dst);
  }

  if (!fontMode && lowestRow <= highestRow) {
    // Nothing copied means all zero, which the fill leaves as it is.
    const auto clampRow = [&](int64_t r) {
      return static_cast<int>(std::clamp<int64_t>(r, 0, out.texHeight));
    };
    const auto clampCol = [&](int64_t c) {
      return static_cast<int>(std::clamp<int64_t>(c, 0, out.texWidth));
    };
    FillUnderTransparentTexels(out.texels, out.texWidth, out.texHeight, clampRow(lowestRow - 1),
                               clampRow(highestRow + 2), clampCol(firstCol - 1), clampCol(endCol + 1));
  }
  return true;
}
