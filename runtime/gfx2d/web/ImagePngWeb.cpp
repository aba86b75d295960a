// PNG pictures in the browser build: our own reader (PngInflate) in place of libpng, with the desktop's
// messages for layouts the game does not take.
#include <cstdio>

#include "runtime/gfx2d/Image.h"
#include "runtime/gfx2d/web/PngInflate.h"

namespace {

// PNG colour types, as the file's header numbers them.
constexpr int kGrey = 0, kRgb = 2, kRgba = 6;

}  // namespace

bool CheckPngLayout(int channels, int bitDepth, int colourType, const std::string& nameForMessages) {
  if (channels != 1 && channels != 3 && channels != 4) return false;
  if (bitDepth != 8) {
    std::printf("File %s has bit depth %d.\n", nameForMessages.c_str(), bitDepth);
    std::puts("Only bit depth of 8 is supported.");
    std::fflush(stdout);
    return false;
  }
  if (colourType != kGrey && colourType != kRgb && colourType != kRgba) {
    std::printf("File %s has unsupported color type.\n", nameForMessages.c_str());
    std::puts("Types GRAY, RGB and RGB_ALPHA are supported.");
    std::fflush(stdout);
    return false;
  }
  return true;
}

bool DecodePng(const uint8_t* data, size_t size, uint32_t key, const std::string& nameForMessages,
               RgbaImage& out) {
  bool unsupported = false;
  if (InflatePng(data, size, key, out, &unsupported)) return true;
  if (unsupported)
    std::printf("File %s cannot be read in the browser (interlaced or grey with alpha).\n",
                nameForMessages.c_str());
  ClearImage(out);
  return false;
}
