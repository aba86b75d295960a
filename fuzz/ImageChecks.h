// Properties every image decoder keeps, whatever bytes it is given.
#pragma once

#include <cstdint>
#include <functional>

#include "fuzz/FuzzCheck.h"
#include "runtime/gfx2d/Image.h"

// A decoder as the targets call it: bytes and a colour key in, a picture out.
using ImageDecoder = std::function<bool(const uint8_t*, size_t, uint32_t, RgbaImage&)>;

// Decodes the bytes without a key and with the sprite key, each into a picture that still holds an older
// one, and checks: a failed decode leaves an empty picture with its buffer given back; a decoded picture
// is within the size caps with exactly width x height x 4 bytes; the key changes nothing but pixels of
// exactly the key colour, which become transparent black; and both decodes agree on success and size.
// With `alwaysOpaque` (a decoder without alpha) every unkeyed pixel is opaque and every pixel of the key
// colour is keyed; otherwise a pixel of the key colour may keep its own alpha (pictures with alpha).
inline void CheckImageDecoder(const ImageDecoder& decode, const uint8_t* data, size_t size,
                              bool alwaysOpaque) {
  RgbaImage plain;
  plain.width = 3;
  plain.height = 1;
  plain.pixels.assign(12, 0x55);
  const bool plainOk = decode(data, size, kNoColourKey, plain);
  RgbaImage keyed;
  keyed.width = 1;
  keyed.height = 1;
  keyed.pixels.assign(4, 0x77);
  const bool keyedOk = decode(data, size, kDefaultSpriteKey, keyed);
  FUZZ_CHECK(plainOk == keyedOk);
  if (!plainOk) {
    for (const RgbaImage* image : {&plain, &keyed}) {
      FUZZ_CHECK(image->width == 0 && image->height == 0);
      FUZZ_CHECK(image->pixels.empty() && image->pixels.capacity() == 0);
    }
    return;
  }
  FUZZ_CHECK(ImageSizeAllowed(plain.width, plain.height));
  FUZZ_CHECK(plain.width == keyed.width && plain.height == keyed.height);
  const size_t bytes = static_cast<size_t>(plain.width) * static_cast<size_t>(plain.height) * 4;
  FUZZ_CHECK(plain.pixels.size() == bytes && keyed.pixels.size() == bytes);
  for (size_t i = 0; i < bytes; i += 4) {
    const uint8_t* p = plain.pixels.data() + i;
    const uint8_t* k = keyed.pixels.data() + i;
    const uint32_t colour = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    const bool same = k[0] == p[0] && k[1] == p[1] && k[2] == p[2] && k[3] == p[3];
    const bool cleared = k[0] == 0 && k[1] == 0 && k[2] == 0 && k[3] == 0;
    if (alwaysOpaque) FUZZ_CHECK(p[3] == 255);
    if (colour == kDefaultSpriteKey && p[3] == 255) {
      FUZZ_CHECK(cleared || (!alwaysOpaque && same));
    } else {
      FUZZ_CHECK(same);
    }
  }
}
