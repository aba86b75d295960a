// The runtime's three rules for turning a number into an integer: each keeps to its own rule at the edges
// (NaN, infinities, the ends of the range), whichever parts of the runtime are linked together.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/core/NumberTrunc.h"

namespace {

const double kNaN = std::nan("");
const double kInf = std::numeric_limits<double>::infinity();

TEST(NumberTrunc, OrLowestGivesTheLowestValueForWhatDoesNotFit) {
  EXPECT_EQ(TruncToInt32OrLowest(-2.9), -2);
  EXPECT_EQ(TruncToInt32OrLowest(2147483647.9), INT32_MAX);
  EXPECT_EQ(TruncToInt32OrLowest(2147483648.0), INT32_MIN);
  EXPECT_EQ(TruncToInt32OrLowest(-2147483648.9), INT32_MIN);
  EXPECT_EQ(TruncToInt32OrLowest(kNaN), INT32_MIN);
  EXPECT_EQ(TruncToInt16OrLowest(32767.5), 32767);
  EXPECT_EQ(TruncToInt16OrLowest(40000), INT16_MIN);  // a byte written from it is 0x00
  EXPECT_EQ(TruncToInt16OrLowest(kNaN), INT16_MIN);
  EXPECT_EQ(TruncToInt64OrLowest(-kInf), INT64_MIN);
  EXPECT_EQ(TruncToInt64OrLowest(1e18), 1000000000000000000LL);
}

TEST(NumberTrunc, ClampedHoldsTheEndsAndReadsNaNAsZero) {
  EXPECT_EQ(TruncToInt32Clamped(-2.9), -2);
  EXPECT_EQ(TruncToInt32Clamped(1e12), INT32_MAX);
  EXPECT_EQ(TruncToInt32Clamped(-kInf), INT32_MIN);
  EXPECT_EQ(TruncToInt32Clamped(kNaN), 0);
  EXPECT_EQ(TruncToInt16Clamped(40000), INT16_MAX);
  EXPECT_EQ(TruncToInt16Clamped(-40000), INT16_MIN);
  EXPECT_EQ(TruncToInt16Clamped(kNaN), 0);
}

TEST(NumberTrunc, OrZeroGivesZeroForWhatDoesNotFit) {
  EXPECT_EQ(TruncToInt32OrZero(-7.5), -7);
  EXPECT_EQ(TruncToInt32OrZero(2147483648.0), 0);
  EXPECT_EQ(TruncToInt32OrZero(-2147483648.0), INT32_MIN);
  EXPECT_EQ(TruncToInt32OrZero(kInf), 0);
  EXPECT_EQ(TruncToInt32OrZero(kNaN), 0);
  EXPECT_EQ(TruncToInt64OrZero(26.9), 26);
  EXPECT_EQ(TruncToInt64OrZero(1e19), 0);
  EXPECT_EQ(TruncToInt64OrZero(kNaN), 0);
}

}  // namespace
