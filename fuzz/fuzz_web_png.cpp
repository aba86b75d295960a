// The browser build's own PNG and zlib reader on hostile bytes: the image properties of ImageChecks.h,
// a zlib stream never inflated past its limit, and, wherever both readers take a picture, the same pixels
// as the desktop's reader (a picture must look the same in the page as on the desktop).
#include <cstring>
#include <span>
#include <vector>

#include "fuzz/ImageChecks.h"
#include "fuzz/PngMutator.h"
#include "runtime/gfx2d/web/PngInflate.h"

namespace {

bool Decode(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out) {
  return InflatePng(data, size, key, out);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckImageDecoder(Decode, data, size, false);

  // The same bytes as a bare zlib stream: whatever comes out stays within the limit asked for.
  std::vector<uint8_t> inflated;
  const size_t limit = size % 4096;
  if (InflateZlib(std::span<const uint8_t>(data, size), limit, inflated))
    FUZZ_CHECK(inflated.size() <= limit);

  // Where both readers take the picture, they agree pixel for pixel, keyed as a sprite.
  RgbaImage web;
  RgbaImage desktop;
  if (InflatePng(data, size, kDefaultSpriteKey, web) &&
      DecodePng(data, size, kDefaultSpriteKey, "fuzz.png", desktop)) {
    FUZZ_CHECK(web.width == desktop.width && web.height == desktop.height);
    FUZZ_CHECK(web.pixels == desktop.pixels);
  }
  return 0;
}
