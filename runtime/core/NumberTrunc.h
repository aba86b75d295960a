// Number-to-integer conversions of the runtime. Every number is a double; where an integer is needed it is
// truncated toward zero. What happens to a value the target cannot hold (or NaN) differs between the
// runtime's parts, and each of those rules has its own name here, so that a reader sees the rule at the
// call and no two conversions share a name:
//   ...OrLowest  the lowest value of the width, as the processor's own conversion gives ("indefinite");
//                file channels, strings and arrays use it.
//   ...Clamped   NaN gives 0, values beyond the range stick to its ends; drawing and sound use it, so a
//                slot or frame number from nonsense input lands somewhere harmless.
//   ...OrZero    NaN and values beyond the range give 0; program end and start-up settings use it.
#pragma once

#include <cmath>
#include <cstdint>

// Truncation toward zero to int32; NaN and values outside the range give INT32_MIN.
inline int32_t TruncToInt32OrLowest(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncation toward zero to int16; NaN and values outside the range give INT16_MIN.
inline int16_t TruncToInt16OrLowest(double v) {
  if (!(v > -32769.0 && v < 32768.0)) return INT16_MIN;
  return static_cast<int16_t>(v);
}

// Truncation toward zero to int64; NaN and values outside the range give INT64_MIN.
inline int64_t TruncToInt64OrLowest(double v) {
  if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(v);
}

// True when `v` truncates toward zero to an int32 without leaving the range (NaN gives false).
inline bool FitsInt32(double v) {
  return v > -2147483649.0 && v < 2147483648.0;
}

// Truncation toward zero to int32; NaN gives 0 and values beyond the range stick to its ends.
inline int32_t TruncToInt32Clamped(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncation toward zero to int16 (frame sizes of a sprite slot); NaN gives 0, the ends of the range hold.
inline int16_t TruncToInt16Clamped(double v) {
  const int32_t n = TruncToInt32Clamped(v);
  if (n > INT16_MAX) return INT16_MAX;
  if (n < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(n);
}

// Truncation toward zero to int32; NaN, infinities and values outside the range give 0.
inline int32_t TruncToInt32OrZero(double v) {
  if (!std::isfinite(v) || v >= 2147483648.0 || v < -2147483648.0) return 0;
  return static_cast<int32_t>(v);
}

// Truncation toward zero to int64; NaN, infinities and values outside the range give 0.
inline int64_t TruncToInt64OrZero(double v) {
  if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) return 0;
  return static_cast<int64_t>(v);
}
