// The picture layouts the game takes from a PNG file, whichever reader decoded it (libpng on the
// desktop, the browser build's own reader in the page): the same answer and the same messages in both.
#include <cstdio>
#include <string>

#include "runtime/gfx2d/Image.h"

bool CheckPngLayout(int channels, int bitDepth, int colourType, const std::string& nameForMessages) {
  if (channels != 1 && channels != 3 && channels != 4) return false;
  if (bitDepth != 8) {
    std::printf("File %s has bit depth %d.\n", nameForMessages.c_str(), bitDepth);
    std::puts("Only bit depth of 8 is supported.");
    std::fflush(stdout);
    return false;
  }
  if (colourType != kPngGrey && colourType != kPngRgb && colourType != kPngRgba) {
    std::printf("File %s has unsupported color type.\n", nameForMessages.c_str());
    std::puts("Types GRAY, RGB and RGB_ALPHA are supported.");
    std::fflush(stdout);
    return false;
  }
  return true;
}
