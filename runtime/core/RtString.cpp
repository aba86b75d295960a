// The runtime's string value and the string operations of the game language.
#include "runtime/core/RtString.h"

#include <locale.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "runtime/core/Errors.h"
#include "runtime/core/NumberTrunc.h"

namespace {

// Strings that never held text point here. It is never written and never freed.
char gSharedEmpty[1] = {0};
// What an empty or destroyed string reads as.
const char kEmptyText[1] = {0};

// Longest text a string may hold: the length must stay a positive int32 and the grown block must fit.
constexpr uint64_t kMaxTextLength = 0x7FFFFC00u;

[[noreturn]] void FailStorage(uint64_t bytes) {
  RuntimeFail(kErrChannel, "string storage not obtained: " + std::to_string(bytes) + " bytes");
}

uint32_t CheckedTextLength(size_t n) {
  if (n > kMaxTextLength) FailStorage(n);
  return static_cast<uint32_t>(n);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The C locale, for reading numbers the same way whatever the player's locale is.
locale_t CLocale() {
  static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

int CompareText(const char* a, const char* b) {
  return std::strcmp(a, b);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Core operations

void RtString::Init() noexcept {
  buffer_ = gSharedEmpty;
  capacity_ = 0;
  length_ = 0;
}

void RtString::Destroy() noexcept {
  if (buffer_ != nullptr && buffer_ != gSharedEmpty) std::free(buffer_);
  buffer_ = nullptr;
  capacity_ = 0;
  length_ = 0;
}

void RtString::Reserve(uint32_t n) {
  if (capacity_ > n) return;
  if (n > kMaxTextLength) FailStorage(n);
  const uint32_t grown = (n & ~(kGrowStep - 1)) + kGrowStep;
  char* block = static_cast<char*>(std::malloc(grown));
  if (block == nullptr) FailStorage(grown);
  if (capacity_ > 0) {
    std::memcpy(block, buffer_, static_cast<size_t>(length_) + 1);
    std::free(buffer_);
  } else {
    block[0] = 0;  // from the shared empty buffer (or none after Destroy): nothing to keep
    length_ = 0;
  }
  buffer_ = block;
  capacity_ = grown;
}

char* RtString::WritableBuffer(uint32_t n) {
  Reserve(n);
  return buffer_;
}

void RtString::RecountLength() noexcept {
  if (capacity_ == 0 || buffer_ == nullptr) {
    length_ = 0;
    return;
  }
  size_t n = ::strnlen(buffer_, capacity_);
  if (n == capacity_) {
    // A platform call filled the whole block: keep the terminator inside it.
    n = capacity_ - 1;
    buffer_[n] = 0;
  }
  length_ = static_cast<int32_t>(n);
}

void RtString::Truncate(int32_t i) noexcept {
  // The shared empty buffer is never written; a cut past the block has nothing to cut.
  if (capacity_ == 0 || i < 0 || static_cast<uint32_t>(i) >= capacity_) return;
  buffer_[i] = 0;
  RecountLength();
}

const char* RtString::TextView() const noexcept {
  return length_ > 0 ? buffer_ : kEmptyText;
}

char RtString::CharAt(int32_t i) const noexcept {
  if (length_ <= 0 || i < 0 || i > length_) return 0;
  return buffer_[i];
}

void RtString::SetCharAt(int32_t i, char c) noexcept {
  buffer_[i] = c;
}

void RtString::Assign(const char* text, uint32_t n) {
  // `text` may lie inside our own block; it is then shorter than the block and Reserve keeps it.
  Reserve(n);
  std::memmove(buffer_, text, n);
  buffer_[n] = 0;
  length_ = static_cast<int32_t>(n);
}

void RtString::Append(const char* text, uint32_t n) {
  const uint64_t total = static_cast<uint64_t>(length_) + n;
  if (total > kMaxTextLength) FailStorage(total);
  // Appending a string to itself: the text moves with the block when Reserve grows it.
  const bool inside = capacity_ > 0 && text >= buffer_ && text < buffer_ + capacity_;
  const ptrdiff_t offset = inside ? text - buffer_ : 0;
  Reserve(static_cast<uint32_t>(total));
  if (inside) text = buffer_ + offset;
  std::memmove(buffer_ + length_, text, n);
  length_ = static_cast<int32_t>(total);
  buffer_[length_] = 0;
}

void RtString::AssignNumber(double value) {
  Reserve(64);
  // General form with 10 significant digits: fixed notation without trailing zeros while the exponent
  // allows it, exponential otherwise. to_chars ignores the locale, so the point is always ".".
  std::to_chars_result r = std::to_chars(buffer_, buffer_ + 63, value, std::chars_format::general, 10);
  size_t n = static_cast<size_t>(r.ptr - buffer_);
  buffer_[n] = 0;
  if (std::strcmp(buffer_, ".0") == 0 || std::strcmp(buffer_, "-0") == 0) {
    // Zero prints as "0" whatever its sign: a score of -0 is still nothing.
    std::strcpy(buffer_, "0");
    n = 1;
  } else if (n > 0 && buffer_[n - 1] == '.') {
    buffer_[--n] = 0;
  }
  length_ = static_cast<int32_t>(n);
}

// ---------------------------------------------------------------------------------------------------------
// Construction, assignment, append

RtString::RtString(const char* text) {
  Init();
  *this = text;
}

RtString::RtString(const std::string& text) {
  Init();
  *this = text;
}

RtString::RtString(double value) {
  Init();
  AssignNumber(value);
}

RtString::RtString(float value) {
  Init();
  AssignNumber(value);
}

RtString::RtString(int32_t value) {
  Init();
  *this = value;
}

RtString::RtString(const RtString& other) {
  Init();
  Assign(other.TextView(), static_cast<uint32_t>(other.length_));
}

RtString::RtString(RtString&& other) noexcept
    : buffer_(other.buffer_), capacity_(other.capacity_), length_(other.length_) {
  other.Init();
}

RtString& RtString::operator=(const RtString& other) {
  Assign(other.TextView(), static_cast<uint32_t>(other.length_));
  return *this;
}

RtString& RtString::operator=(RtString&& other) noexcept {
  if (this != &other) {
    Destroy();
    buffer_ = other.buffer_;
    capacity_ = other.capacity_;
    length_ = other.length_;
    other.Init();
  }
  return *this;
}

RtString& RtString::operator=(const char* text) {
  if (text == nullptr) text = kEmptyText;
  Assign(text, CheckedTextLength(std::strlen(text)));
  return *this;
}

RtString& RtString::operator=(const std::string& text) {
  // The text ends at an embedded zero byte, as it would for C text.
  Assign(text.data(), CheckedTextLength(::strnlen(text.data(), text.size())));
  return *this;
}

RtString& RtString::operator=(double value) {
  AssignNumber(value);
  return *this;
}

RtString& RtString::operator=(float value) {
  AssignNumber(value);
  return *this;
}

RtString& RtString::operator=(int32_t value) {
  char digits[16] = {};
  std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
  Assign(digits, static_cast<uint32_t>(r.ptr - digits));
  return *this;
}

RtString& RtString::operator+=(const RtString& other) {
  Append(other.TextView(), static_cast<uint32_t>(other.length_));
  return *this;
}

RtString& RtString::operator+=(const char* text) {
  if (text == nullptr) text = kEmptyText;
  Append(text, CheckedTextLength(std::strlen(text)));
  return *this;
}

RtString& RtString::operator+=(double value) {
  return *this += RtString(value);
}
RtString& RtString::operator+=(float value) {
  return *this += RtString(value);
}
RtString& RtString::operator+=(int32_t value) {
  return *this += RtString(value);
}

// ---------------------------------------------------------------------------------------------------------
// Concatenation

RtString operator+(RtString a, const RtString& b) {
  return std::move(a += b);
}
RtString operator+(RtString a, const char* b) {
  return std::move(a += b);
}
RtString operator+(RtString a, double b) {
  return std::move(a += b);
}
RtString operator+(RtString a, int32_t b) {
  return std::move(a += b);
}
RtString operator+(const char* a, const RtString& b) {
  return RtString(a) + b;
}
RtString operator+(double a, const RtString& b) {
  return RtString(a) + b;
}
RtString operator+(int32_t a, const RtString& b) {
  return RtString(a) + b;
}

// ---------------------------------------------------------------------------------------------------------
// Comparisons

bool operator==(const RtString& a, const RtString& b) {
  return a.Length() == b.Length() && std::memcmp(a.TextView(), b.TextView(), a.Length()) == 0;
}
bool operator!=(const RtString& a, const RtString& b) {
  return !(a == b);
}
bool operator<(const RtString& a, const RtString& b) {
  return CompareText(a.TextView(), b.TextView()) < 0;
}
bool operator<=(const RtString& a, const RtString& b) {
  return CompareText(a.TextView(), b.TextView()) <= 0;
}
bool operator>(const RtString& a, const RtString& b) {
  return CompareText(a.TextView(), b.TextView()) > 0;
}
bool operator>=(const RtString& a, const RtString& b) {
  return CompareText(a.TextView(), b.TextView()) >= 0;
}

#define RT_TEXT_COMPARISON(op)                                            \
  bool operator op(const RtString& a, const char* b) {                    \
    return CompareText(a.TextView(), b != nullptr ? b : kEmptyText) op 0; \
  }                                                                       \
  bool operator op(const char* a, const RtString& b) {                    \
    return CompareText(a != nullptr ? a : kEmptyText, b.TextView()) op 0; \
  }
RT_TEXT_COMPARISON(==)
RT_TEXT_COMPARISON(!=)
RT_TEXT_COMPARISON(<)
RT_TEXT_COMPARISON(<=)
RT_TEXT_COMPARISON(>)
RT_TEXT_COMPARISON(>=)
#undef RT_TEXT_COMPARISON

#define RT_NUMBER_COMPARISON(op)                      \
  bool operator op(const RtString& a, double b) {     \
    return TextToNumber(a) op b;                      \
  }                                                   \
  bool operator op(double a, const RtString& b) {     \
    return a op TextToNumber(b);                      \
  }                                                   \
  bool operator op(const RtString& a, int32_t b) {    \
    return TextToNumber(a) op static_cast<double>(b); \
  }                                                   \
  bool operator op(int32_t a, const RtString& b) {    \
    return static_cast<double>(a) op TextToNumber(b); \
  }
RT_NUMBER_COMPARISON(==)
RT_NUMBER_COMPARISON(!=)
RT_NUMBER_COMPARISON(<)
RT_NUMBER_COMPARISON(<=)
RT_NUMBER_COMPARISON(>)
RT_NUMBER_COMPARISON(>=)
#undef RT_NUMBER_COMPARISON

std::ostream& operator<<(std::ostream& out, const RtString& s) {
  return out.write(s.TextView(), s.Length());
}

// ---------------------------------------------------------------------------------------------------------
// Operations the game calls by name

double StrLength(const RtString& s) {
  return s.Length();
}

double CharCode(const RtString& s) {
  return static_cast<int8_t>(s.TextView()[0]);
}

char CodeToChar(double x) {
  return static_cast<char>(static_cast<uint16_t>(TruncToInt16OrLowest(x)) & 0xFF);
}

RtString CharFromCode(double x) {
  const char text[2] = {CodeToChar(x), 0};
  return RtString(text);
}

double CharCodeAt(const RtString& s, double i) {
  if (!(i >= 0) || i >= s.Length()) return 0;
  return static_cast<int8_t>(s.TextView()[static_cast<int32_t>(i)]);
}

RtString MidStr(const RtString& s, double start, double count) {
  RtString result;
  const double length = s.Length();
  // The end is tested on its low 32 bits, so an end past 4 GiB wraps round and is not clipped.
  const int64_t end = TruncToInt64OrLowest(start + count);
  if (static_cast<uint32_t>(end) > static_cast<uint32_t>(s.Length())) count = length - start;
  // Written so that a NaN start or count gives "" too.
  if (!(count > 0) || start > length || !(start >= 0)) return result;
  result = s.TextView() + static_cast<int32_t>(start);
  // A count that escaped the clipping above can only be longer than the rest: nothing to cut then.
  if (count < result.Length()) result.Truncate(static_cast<int32_t>(count));
  return result;
}

RtString NumberToText(double x) {
  return RtString(x);
}

double TextToNumber(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (IsSpace(*p)) ++p;
  const char* number = p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!(IsDigit(*p) || (*p == '.' && IsDigit(p[1])))) return 0;
  double value = 0;
  const char* last = p + std::strlen(p);
  std::from_chars_result r = std::from_chars(p, last, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: let the C library pick infinity, zero or the nearest
    // subnormal, reading only the decimal prefix already found and always with "." as the point.
    const std::string prefix(number, r.ptr);
    const locale_t c = CLocale();
    return c != static_cast<locale_t>(nullptr) ? ::strtod_l(prefix.c_str(), nullptr, c)
                                               : std::strtod(prefix.c_str(), nullptr);
  }
  if (r.ec != std::errc()) return 0;
  return negative ? -value : value;
}

double TextToNumber(const RtString& s) {
  return TextToNumber(s.TextView());
}
