// The BMP decoder on hostile bytes: the image properties of ImageChecks.h, with every pixel opaque unless
// it has the key colour.
#include "fuzz/ImageChecks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckImageDecoder(DecodeBmp, data, size, true);
  return 0;
}
