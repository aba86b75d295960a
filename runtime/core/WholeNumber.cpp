// Strict whole-number parsing for the command line and replay files.
#include "runtime/core/WholeNumber.h"

#include <cerrno>
#include <cstdlib>

bool ParseWholeNumber(const std::string& text, long long lo, long long hi, long long& out) {
  if (text.empty()) return false;
  const size_t first = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (first == text.size()) return false;
  for (size_t j = first; j < text.size(); ++j)
    if (text[j] < '0' || text[j] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}
