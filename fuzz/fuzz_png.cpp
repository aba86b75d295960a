// The PNG decoder on hostile bytes: the image properties of ImageChecks.h. Grey and RGB pictures come out
// opaque; only pictures with alpha (or a transparency chunk) may carry other alpha values.
#include <string>

#include "fuzz/ImageChecks.h"
#include "fuzz/PngMutator.h"

namespace {

bool Decode(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out) {
  return DecodePng(data, size, key, "fuzz.png", out);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckImageDecoder(Decode, data, size, false);
  return 0;
}
