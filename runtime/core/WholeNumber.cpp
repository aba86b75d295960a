// Strict whole-number parsing for the command line and replay files.
#include "runtime/core/WholeNumber.h"

#include <cstdint>

bool ParseWholeNumber(std::string_view text, long long lo, long long hi, long long& out) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  if (p == end) return false;
  // Digits only, one test a byte: bytes below '0' wrap round to values above 9.
  for (const char* d = p; d != end; ++d)
    if (static_cast<unsigned char>(*d - '0') > 9) return false;
  // Leading zeros count for nothing; more than 19 digits after them are beyond every long long.
  while (p != end && *p == '0') ++p;
  if (end - p > 19) return false;
  uint64_t magnitude = 0;  // 19 digits fit: below 10^19 < 2^64
  for (; p != end; ++p) magnitude = magnitude * 10 + static_cast<unsigned char>(*p - '0');
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  if (magnitude > limit) return false;
  const long long v = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}
