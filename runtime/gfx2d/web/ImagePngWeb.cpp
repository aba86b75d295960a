// PNG pictures in the browser build: our own reader (PngInflate) in place of libpng, with the desktop's
// messages for layouts the game does not take.
#include <cstdio>

#include "runtime/gfx2d/Image.h"
#include "runtime/gfx2d/web/PngInflate.h"

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
