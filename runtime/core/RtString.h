// The runtime's string value: a zero-terminated byte string with an explicit length and a heap block that
// grows in 512-byte steps. Strings that never held text share one static empty buffer and cost nothing.
// Also the string operations the game calls by name (StrLength, CharCode, MidStr, ...) and the
// number <-> text conversions used everywhere a number meets a string.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class RtString {
 public:
  // Growth step of the heap block.
  static constexpr uint32_t kGrowStep = 512;

  RtString() noexcept { Init(); }
  // C text and std::string convert implicitly, so literals and paths mix freely with strings.
  RtString(const char* text);
  RtString(const std::string& text);
  explicit RtString(double value);
  explicit RtString(float value);
  explicit RtString(int32_t value);
  // Copies always get a block of their own.
  RtString(const RtString& other);
  // A move takes the other's block; the other is left empty.
  RtString(RtString&& other) noexcept;
  ~RtString() { Destroy(); }

  RtString& operator=(const RtString& other);
  RtString& operator=(RtString&& other) noexcept;
  RtString& operator=(const char* text);
  RtString& operator=(const std::string& text);
  RtString& operator=(double value);
  RtString& operator=(float value);
  RtString& operator=(int32_t value);

  RtString& operator+=(const RtString& other);
  RtString& operator+=(const char* text);
  RtString& operator+=(double value);
  RtString& operator+=(float value);
  RtString& operator+=(int32_t value);

  // Other runtime code takes std::string paths; the game passes its strings straight through.
  operator std::string() const { return std::string(TextView(), static_cast<size_t>(length_)); }

  // --- Core operations; everything else is built from these. ---

  // Empty, on the shared empty buffer, no heap block.
  void Init() noexcept;
  // Frees the heap block; the value then reads as "" and holds no buffer at all.
  void Destroy() noexcept;
  // Room for n bytes plus the terminator. Grows to (n with the low 9 bits cleared) + 512; never shrinks.
  void Reserve(uint32_t n);
  // Reserve(n), then the buffer for a platform call to fill; follow with RecountLength.
  char* WritableBuffer(uint32_t n);
  // Length = bytes before the first zero byte (at most capacity - 1).
  void RecountLength() noexcept;
  // Cuts the text at byte i.
  void Truncate(int32_t i) noexcept;
  // The text; a static "" for an empty or destroyed string, so readers never see a null pointer.
  const char* TextView() const noexcept;
  const char* c_str() const noexcept { return TextView(); }
  // Byte i of the text (0 for the terminator and anything past it).
  char CharAt(int32_t i) const noexcept;
  // Writes byte i of the buffer; runtime code only, after Reserve has made the room.
  void SetCharAt(int32_t i, char c) noexcept;

  int32_t Length() const noexcept { return length_; }
  uint32_t Capacity() const noexcept { return capacity_; }
  bool Empty() const noexcept { return length_ == 0; }

 private:
  void Assign(const char* text, uint32_t n);
  void Append(const char* text, uint32_t n);
  void AssignNumber(double value);

  char* buffer_ = nullptr;  // the text, zero-terminated: our heap block or the shared empty buffer
  uint32_t capacity_ = 0;   // size of the heap block; 0 while on the shared empty buffer
  int32_t length_ = 0;      // bytes of text before the terminator
};

// --- Concatenation: the left operand as a string, then the right operand's text appended. ---
RtString operator+(RtString a, const RtString& b);
RtString operator+(RtString a, const char* b);
RtString operator+(RtString a, double b);
RtString operator+(RtString a, int32_t b);
RtString operator+(const char* a, const RtString& b);
RtString operator+(double a, const RtString& b);
RtString operator+(int32_t a, const RtString& b);

// --- Comparisons of texts: byte-wise, bytes unsigned. ---
bool operator==(const RtString& a, const RtString& b);
bool operator!=(const RtString& a, const RtString& b);
bool operator<(const RtString& a, const RtString& b);
bool operator<=(const RtString& a, const RtString& b);
bool operator>(const RtString& a, const RtString& b);
bool operator>=(const RtString& a, const RtString& b);
bool operator==(const RtString& a, const char* b);
bool operator!=(const RtString& a, const char* b);
bool operator<(const RtString& a, const char* b);
bool operator<=(const RtString& a, const char* b);
bool operator>(const RtString& a, const char* b);
bool operator>=(const RtString& a, const char* b);
bool operator==(const char* a, const RtString& b);
bool operator!=(const char* a, const RtString& b);
bool operator<(const char* a, const RtString& b);
bool operator<=(const char* a, const RtString& b);
bool operator>(const char* a, const RtString& b);
bool operator>=(const char* a, const RtString& b);

// --- A string compared with a number: the string is read as a number (TextToNumber) first. ---
bool operator==(const RtString& a, double b);
bool operator!=(const RtString& a, double b);
bool operator<(const RtString& a, double b);
bool operator<=(const RtString& a, double b);
bool operator>(const RtString& a, double b);
bool operator>=(const RtString& a, double b);
bool operator==(double a, const RtString& b);
bool operator!=(double a, const RtString& b);
bool operator<(double a, const RtString& b);
bool operator<=(double a, const RtString& b);
bool operator>(double a, const RtString& b);
bool operator>=(double a, const RtString& b);
// Integers go through the double forms exactly; these only keep `s == 0` from meaning a null pointer.
bool operator==(const RtString& a, int32_t b);
bool operator!=(const RtString& a, int32_t b);
bool operator<(const RtString& a, int32_t b);
bool operator<=(const RtString& a, int32_t b);
bool operator>(const RtString& a, int32_t b);
bool operator>=(const RtString& a, int32_t b);
bool operator==(int32_t a, const RtString& b);
bool operator!=(int32_t a, const RtString& b);
bool operator<(int32_t a, const RtString& b);
bool operator<=(int32_t a, const RtString& b);
bool operator>(int32_t a, const RtString& b);
bool operator>=(int32_t a, const RtString& b);

std::ostream& operator<<(std::ostream& out, const RtString& s);

// --- Operations the game calls by name. ---

// The length as a number.
double StrLength(const RtString& s);
// The first byte as a signed 8-bit value (bytes 128..255 give -128..-1); 0 for "".
double CharCode(const RtString& s);
// A one-byte string: x truncated to a signed 16-bit value, its low byte; a low byte of 0 gives "".
RtString CharFromCode(double x);
// The byte CharFromCode makes of x (0 where it gives ""), for building text a byte at a time.
char CodeToChar(double x);
// CharCode of the byte at `i` (MidStr(s, i, 1)): signed, 0 past the end or before the start.
double CharCodeAt(const RtString& s, double i);
// `count` bytes from the 0-based position `start`, clipped at the end of `s`.
RtString MidStr(const RtString& s, double start, double count);
// Up to 10 significant digits; whole numbers without a point ("26", "-3", "0"); very large and very
// small magnitudes in exponential form ("1e+15").
RtString NumberToText(double x);
// Leading white space skipped, the longest decimal number prefix read, 0 when there is none. Independent
// of the process locale: the decimal point is always ".".
double TextToNumber(const RtString& s);
double TextToNumber(const char* text);
