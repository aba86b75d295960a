// Turning the game's 64-bit numbers into the integers and pixel positions the 2D drawing works with.
// Slots, frames and sizes are truncated toward zero by the Clamped rule of NumberTrunc.h; drawing positions
// are raised to the next whole pixel.
// Values a game could never mean (NaN, far beyond any screen) are pinned, so no conversion is undefined.
#pragma once

#include <cmath>
#include <cstdint>

#include "runtime/core/NumberTrunc.h"

// A position or size as single precision. Anything past a hundred million pixels is off every screen
// anyway; pinning it keeps the conversion to float defined.
inline float ToPixelFloat(double v) {
  constexpr double kFar = 1.0e8;
  if (std::isnan(v)) return 0.0f;
  if (v > kFar) v = kFar;
  if (v < -kFar) v = -kFar;
  return static_cast<float>(v);
}

// A drawing position or size: single precision, raised to the next whole pixel (-0.5 -> 0, 3.2 -> 4).
inline float CeilPixel(double v) {
  return std::ceil(ToPixelFloat(v));
}
