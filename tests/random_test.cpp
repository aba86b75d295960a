// The ISAAC generator: its core against ISAAC's published output, our seeding pinned, RandomInt's bounds.
#include "runtime/core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "runtime/core/RuntimeContext.h"

namespace {

bool SameState(const RandomState& a, const RandomState& b) {
  return std::memcmp(a.mm, b.mm, sizeof a.mm) == 0 &&
         std::memcmp(a.randrsl, b.randrsl, sizeof a.randrsl) == 0 && a.aa == b.aa && a.bb == b.bb &&
         a.cc == b.cc;
}

TEST(Random, CoreMatchesPublishedReferenceOutput) {
  // The reference program: all-zero seed, the standard initialisation (which ends with one round), then
  // one more round; it prints these words first.
  RandomState state{};
  isaac::InitialiseStandard(state);
  EXPECT_EQ(state.unread, 256);
  isaac::Round(state);
  const uint32_t expected[8] = {0xf650e4c8, 0xe448e96d, 0x98db2fb4, 0xf5fad54f,
                                0x433f1afb, 0xedec154a, 0xd8370487, 0x46ca4f9a};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(state.randrsl[i], expected[i]) << "word " << i;
  EXPECT_EQ(state.cc, 2u);  // two rounds so far
}

TEST(Random, SeedingGivesPinnedSequences) {
  struct Case {
    int32_t seed;
    uint32_t values[5];
  };
  const Case cases[] = {
      {0, {0x52f1b2da, 0x2bdd209e, 0x688c57f1, 0x80d29a96, 0x45fc71a5}},
      {12345, {0xc79536ee, 0xf1c4793d, 0xc0bcf2a7, 0x8b207367, 0xbdd9d687}},
      {-1, {0x4a33e33f, 0x04441d0d, 0x53d6ad9c, 0x20eb7ad0, 0x29c7bae9}},
  };
  for (const Case& c : cases) {
    ResetRuntimeContext();
    SeedRandom(c.seed);
    EXPECT_EQ(Rt().random.unread, 256);
    // A bound of 2^32 - 1 or more hands out the generator's word itself.
    for (uint32_t v : c.values)
      EXPECT_EQ(RandomInt(4294967295.0), static_cast<double>(v)) << "seed " << c.seed;
  }
}

TEST(Random, SeedPassMakesSeedZeroDifferFromThePublishedStart) {
  ResetRuntimeContext();
  SeedRandom(0);
  RandomState standard{};
  isaac::InitialiseStandard(standard);
  EXPECT_FALSE(SameState(Rt().random, standard));
}

TEST(Random, NoPositiveBoundGivesZeroWithoutAdvancing) {
  ResetRuntimeContext();
  SeedRandom(7);
  const RandomState before = Rt().random;
  for (double n : {0.0, -5.0, -0.5, std::numeric_limits<double>::quiet_NaN(),
                   -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(RandomInt(n), 0.0);
  }
  EXPECT_TRUE(SameState(Rt().random, before));
  // A bound below 1 truncates to 0 but still draws.
  EXPECT_EQ(RandomInt(0.5), 0.0);
  EXPECT_FALSE(SameState(Rt().random, before));
}

TEST(Random, BoundIsTruncatedAndIncluded) {
  ResetRuntimeContext();
  SeedRandom(2024);
  std::set<double> seenThree;
  std::set<double> seenOne;
  for (int i = 0; i < 400; ++i) {
    const double v = RandomInt(3.9);
    EXPECT_TRUE(v == 0 || v == 1 || v == 2 || v == 3) << v;
    seenThree.insert(v);
    const double w = RandomInt(1);
    EXPECT_TRUE(w == 0 || w == 1) << w;
    seenOne.insert(w);
  }
  EXPECT_EQ(seenThree.size(), 4u);
  EXPECT_EQ(seenOne.size(), 2u);
}

TEST(Random, EachDrawIsTheFirstWordOfOneFreshRound) {
  ResetRuntimeContext();
  SeedRandom(99);
  RandomState copy = Rt().random;
  for (int i = 0; i < 3; ++i) {
    isaac::Round(copy);
    EXPECT_EQ(RandomInt(1000.0), static_cast<double>(copy.randrsl[0] % 1001u));
  }
  EXPECT_EQ(Rt().random.cc, copy.cc);
  // Huge and infinite bounds are sound: the word itself.
  isaac::Round(copy);
  EXPECT_EQ(RandomInt(1e300), static_cast<double>(copy.randrsl[0]));
  isaac::Round(copy);
  EXPECT_EQ(RandomInt(std::numeric_limits<double>::infinity()), static_cast<double>(copy.randrsl[0]));
}

}  // namespace
