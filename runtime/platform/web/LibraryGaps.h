// Included first in every file of the browser build: the C++ library that comes with the browser
// toolchain lacks a few C++20 pieces the game's code uses (std::bit_cast, and std::to_chars and
// std::from_chars for floating point). They are filled in here: bit_cast from the compiler's built-in,
// the number conversions from the C library's, which in the browser knows only the "C" locale.
#pragma once

#include <bit>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif

#if !defined(__cpp_lib_to_chars)
namespace std {

// As printf's %.*g / %.*e / %.*f, which is how the standard defines these forms.
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision) {
  const char* form = format == chars_format::scientific ? "%.*e"
                     : format == chars_format::fixed    ? "%.*f"
                                                        : "%.*g";
  char text[400];
  const int n = std::snprintf(text, sizeof text, form, precision, value);
  if (n < 0 || n >= static_cast<int>(sizeof text) || n > last - first) return {last, errc::value_too_large};
  std::memcpy(first, text, static_cast<size_t>(n));
  return {first + n, errc{}};
}

// Decimal numbers only (no sign of "+", no hexadecimal): digits, a point and digits, an exponent.
inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
  const char* p = first;
  auto digits = [&]() {
    const char* start = p;
    while (p < last && *p >= '0' && *p <= '9') ++p;
    return p > start;
  };
  if (p < last && *p == '-') ++p;
  bool any = digits();
  if (p < last && *p == '.') {
    ++p;
    any = digits() || any;
  }
  if (!any) return {first, errc::invalid_argument};
  if (p < last && (*p == 'e' || *p == 'E')) {
    const char* mark = p++;
    if (p < last && (*p == '+' || *p == '-')) ++p;
    if (!digits()) p = mark;
  }
  const std::string text(first, p);
  errno = 0;
  const double parsed = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE) return {p, errc::result_out_of_range};
  value = parsed;
  return {p, errc{}};
}

}  // namespace std
#endif
