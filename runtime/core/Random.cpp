// The ISAAC generator behind RandomInt.
#include "runtime/core/Random.h"

#include <cmath>

namespace {

constexpr uint32_t kGoldenRatio = 0x9E3779B9u;

// ISAAC's eight-word mix.
void Mix(uint32_t w[8]) {
  uint32_t& a = w[0];
  uint32_t& b = w[1];
  uint32_t& c = w[2];
  uint32_t& d = w[3];
  uint32_t& e = w[4];
  uint32_t& f = w[5];
  uint32_t& g = w[6];
  uint32_t& h = w[7];
  // clang-format off
  a ^= b << 11; d += a; b += c;
  b ^= c >> 2;  e += b; c += d;
  c ^= d << 8;  f += c; d += e;
  d ^= e >> 16; g += d; e += f;
  e ^= f << 10; h += e; f += g;
  f ^= g >> 4;  a += f; g += h;
  g ^= h << 8;  b += g; h += a;
  h ^= a >> 9;  c += h; a += b;
  // clang-format on
}

void StartWords(RandomState& state, uint32_t words[8]) {
  state.aa = state.bb = state.cc = 0;
  for (int k = 0; k < 8; ++k) words[k] = kGoldenRatio;
}

}  // namespace

namespace isaac {

void Round(RandomState& s) {
  s.cc += 1;
  s.bb += s.cc;
  uint32_t a = s.aa;
  uint32_t b = s.bb;
  for (int i = 0; i < 256; ++i) {
    const uint32_t x = s.mm[i];
    switch (i & 3) {
      case 0:
        a ^= a << 13;
        break;
      case 1:
        a ^= a >> 6;
        break;
      case 2:
        a ^= a << 2;
        break;
      default:
        a ^= a >> 16;
        break;
    }
    a += s.mm[(i + 128) & 255];
    const uint32_t y = s.mm[(x >> 2) & 255] + a + b;
    s.mm[i] = y;
    b = s.mm[(y >> 10) & 255] + x;
    s.randrsl[i] = b;
  }
  s.aa = a;
  s.bb = b;
}

void Initialise(RandomState& s, uint32_t w[8]) {
  for (int k = 0; k < 4; ++k) Mix(w);
  for (int i = 0; i < 256; i += 8) {
    for (int k = 0; k < 8; ++k) w[k] += s.randrsl[i + k];
    Mix(w);
    for (int k = 0; k < 8; ++k) s.mm[i + k] = w[k];
  }
  for (int i = 0; i < 256; i += 8) {
    for (int k = 0; k < 8; ++k) w[k] += s.mm[i + k];
    Mix(w);
    for (int k = 0; k < 8; ++k) s.mm[i + k] = w[k];
  }
  Round(s);
  s.unread = 256;
}

void InitialiseStandard(RandomState& s) {
  uint32_t w[8] = {};
  StartWords(s, w);
  Initialise(s, w);
}

uint32_t Next(RandomState& s) {
  Round(s);
  return s.randrsl[0];
}

}  // namespace isaac

void SeedRandom(int32_t seed) {
  RandomState& s = Rt().random;
  uint32_t w[8] = {};
  StartWords(s, w);
  // The seed's own pass: it reaches the generator only through the mixing words it leaves behind (the
  // memory written here is overwritten by the initialisation).
  for (int i = 0; i < 256; i += 8) {
    w[0] += static_cast<uint32_t>(seed);
    Mix(w);
    for (int k = 0; k < 8; ++k) s.mm[i + k] = w[k];
  }
  isaac::Initialise(s, w);
}

double RandomInt(double n) {
  return RandomIntFrom(Rt().random, n);
}

double RandomIntFrom(RandomState& state, double n) {
  if (!(n > 0)) return 0;
  const double m = std::trunc(n);
  const uint32_t r = isaac::Next(state);
  // m + 1 no longer fits in 32 bits: every value the generator gives is already within 0..m.
  if (m >= 4294967295.0) return r;
  return static_cast<double>(r % (static_cast<uint32_t>(m) + 1u));
}
