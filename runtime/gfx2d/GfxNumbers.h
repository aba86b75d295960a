// Turning the game's 64-bit numbers into the integers and pixel positions the 2D drawing works with.
// Slots, frames and sizes are truncated toward zero; drawing positions are raised to the next whole pixel.
// Values a game could never mean (NaN, far beyond any screen) are pinned, so no conversion is undefined.
#pragma once

#include <cmath>
#include <cstdint>

// Truncates toward zero; NaN gives 0 and values beyond the 32-bit range stick to its ends.
inline int32_t TruncToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncates toward zero into a 16-bit slot field (frame sizes), pinned to its range.
inline int16_t TruncToInt16(double v) {
  const int32_t n = TruncToInt32(v);
  if (n > INT16_MAX) return INT16_MAX;
  if (n < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(n);
}

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
