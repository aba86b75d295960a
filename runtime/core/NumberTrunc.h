// Number-to-integer conversions of the runtime. Every number is a double; where an integer is needed it is
// truncated toward zero, and a value the target width cannot hold (or NaN) becomes the "indefinite" value,
// the lowest value of that width, exactly as the processor's own conversion does.
#pragma once

#include <cstdint>

// Truncation toward zero to int32; NaN and values outside the range give INT32_MIN.
inline int32_t TruncToInt32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncation toward zero to int16; NaN and values outside the range give INT16_MIN.
inline int16_t TruncToInt16(double v) {
  if (!(v > -32769.0 && v < 32768.0)) return INT16_MIN;
  return static_cast<int16_t>(v);
}

// Truncation toward zero to int64; NaN and values outside the range give INT64_MIN.
inline int64_t TruncToInt64(double v) {
  if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(v);
}

// True when `v` truncates toward zero to an int32 without leaving the range (NaN gives false).
inline bool FitsInt32(double v) {
  return v > -2147483649.0 && v < 2147483648.0;
}
