// Number and string arrays: DIM sizing and rounding, re-DIM, and the access rule with its stops.
#include "runtime/core/RtArray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::Stop;

// Runs `body` on a fresh runtime and reports how the program stopped, if it did.
testing_support::Stop StopOnFreshRuntime(const std::function<void()>& body) {
  ResetRuntimeContext();
  return testing_support::StopOf(body);
}

TEST(RtNumArray, OneDimensionOfTen) {
  ResetRuntimeContext();
  RtNumArray a;
  DimNumArray(a, 10);
  EXPECT_EQ(a.Shape().capacity, 16);
  EXPECT_TRUE(a.UsesInlineStore());
  EXPECT_EQ(a.Shape().dimCount, 1);
  EXPECT_EQ(a.Shape().dim[0], 10);
  a[9] = 42;
  EXPECT_EQ(ElementAt(a, 9.9), 42);  // indices are truncated toward zero
  a[-0.5] = 3;
  EXPECT_EQ(a[0], 3);

  Stop s = StopOnFreshRuntime([&] { a[10] = 1; });
  EXPECT_EQ(s.status, kErrIndex);
  EXPECT_EQ(s.cause, "array index 10 out of range (size 10)");
  EXPECT_EQ(StopOnFreshRuntime([&] { a[-1] = 1; }).status, kErrIndex);
  EXPECT_EQ(StopOnFreshRuntime([&] { a[std::nan("")] = 1; }).status, kErrIndex);
  EXPECT_EQ(StopOnFreshRuntime([&] { a[4294967296.0 + 3] = 1; }).status,
            kErrIndex);  // would wrap to 3 if unchecked
  // A second index on a one-dimensional array would address outside the elements.
  s = StopOnFreshRuntime([&] { a.at(0, 1) = 1; });
  EXPECT_EQ(s.status, kErrIndex);
  EXPECT_EQ(s.cause, "array index 1 out of range (size 0, dimension 2)");
  EXPECT_EQ(a[9], 42);  // failed accesses wrote nothing
}

TEST(RtNumArray, AccessBeforeDimStops) {
  RtNumArray a;
  const Stop s = StopOnFreshRuntime([&] { a[0] = 1; });
  EXPECT_EQ(s.status, kErrIndex);
  EXPECT_EQ(s.cause, "array index 0 out of range (array not declared)");
  EXPECT_FALSE(a.Declared());
}

TEST(RtNumArray, PlayFieldOfFortyByThirty) {
  ResetRuntimeContext();
  RtNumArray a;
  DimNumArray(a, 40, 30);
  EXPECT_EQ(a.Shape().capacity, 1208);
  EXPECT_FALSE(a.UsesInlineStore());
  EXPECT_EQ(a.Shape().dimCount, 2);
  EXPECT_EQ(a.Shape().stride1, 40);
  EXPECT_EQ(a.Shape().stride2, 1200);
  // The first index varies fastest: (39, 0) and (0, 1) are neighbours, all cells distinct.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) a.at(x, y) = y * 40 + x;
  EXPECT_EQ(a.at(39, 29), 1199);
  EXPECT_EQ(&a.at(0, 1) - &a.at(39, 0), 1);
  EXPECT_EQ(&a.at(39, 29) - &a.at(0, 0), 1199);

  Stop s = StopOnFreshRuntime([&] { a.at(40, 0) = 0; });
  EXPECT_EQ(s.status, kErrIndex);
  EXPECT_EQ(s.cause, "array index 40 out of range (size 40, dimension 1)");
  s = StopOnFreshRuntime([&] { a.at(0, 30) = 0; });
  EXPECT_EQ(s.status, kErrIndex);
  EXPECT_EQ(s.cause, "array index 30 out of range (size 30, dimension 2)");
}

TEST(RtNumArray, EmptyAndDegenerateSizes) {
  ResetRuntimeContext();
  RtNumArray a;
  DimNumArray(a, 0);
  EXPECT_EQ(a.Shape().capacity, 8);
  EXPECT_EQ(a.Shape().dim[0], 0);
  EXPECT_EQ(a.Shape().dimCount, 0);
  EXPECT_EQ(StopOnFreshRuntime([&] { a[0] = 1; }).status, kErrIndex);

  ResetRuntimeContext();
  DimNumArray(a, 5, 0);  // a second size of 0: one dimension, second index not tested
  EXPECT_EQ(a.Shape().dimCount, 1);
  a.at(4, 0) = 1;
  EXPECT_EQ(a[4], 1);
  EXPECT_EQ(StopOnFreshRuntime([&] { a.at(4, 1) = 1; }).status, kErrIndex);

  ResetRuntimeContext();
  DimNumArray(a, 2.9);
  EXPECT_EQ(a.Shape().dim[0], 2);
  EXPECT_EQ(StopOnFreshRuntime([&] { a[2] = 1; }).status, kErrIndex);

  ResetRuntimeContext();
  DimNumArray(a, 2, 3, 4, 5);
  EXPECT_EQ(a.Shape().dimCount, 4);
  EXPECT_EQ(a.Shape().capacity, 128);
  EXPECT_EQ(&a.at(1, 2, 3, 4) - &a.at(0, 0, 0, 0), 119);
  EXPECT_EQ(StopOnFreshRuntime([&] { a.at(0, 0, 0, 5) = 0; }).status, kErrIndex);

  ResetRuntimeContext();
  DimNumArray(a, 5, -3);  // a negative later size declares the dimension, but no index fits it
  EXPECT_EQ(a.Shape().dimCount, 2);
  EXPECT_EQ(StopOnFreshRuntime([&] { a[0] = 1; }).status, kErrIndex);
}

TEST(RtNumArray, QuickReadsTruncateAndLeaveEveryOtherCaseToTheFullCheck) {
  ResetRuntimeContext();
  RtNumArray a;
  DimNumArray(a, 5);
  a[4.9] = 7;
  EXPECT_EQ(a[4], 7);
  a[-0.5] = 3;  // truncates to 0
  EXPECT_EQ(a[0], 3);
  EXPECT_EQ(a.at(4.2, 0, -0.0, 0), 7);
  EXPECT_EQ(testing_support::StopOf([&] { a[5] = 1; }).status, kErrIndex);
  EXPECT_EQ(testing_support::StopOf([&] { a[std::nan("")] = 1; }).status, kErrIndex);
  EXPECT_EQ(testing_support::StopOf([&] { a[-1] = 1; }).status, kErrIndex);
  EXPECT_EQ(testing_support::StopOf([&] { a.at(1, 1) = 1; }).status,
            kErrIndex);  // no second dimension: only 0 fits
  ResetRuntimeContext();
  DimNumArray(a, 5, -3);  // no index fits the second dimension, so even [0] is refused
  EXPECT_EQ(testing_support::StopOf([&] { a[0] = 1; }).status, kErrIndex);
  ResetRuntimeContext();
  RtStrArray s;
  DimStrArray(s, 3, 2);
  s.at(2.7, 1) = RtString("x");
  EXPECT_EQ(s.at(2, 1), RtString("x"));
  s[1.5] = RtString("y");
  EXPECT_EQ(s.at(1, 0), RtString("y"));
  EXPECT_EQ(testing_support::StopOf([&] { s[3] = RtString("z"); }).status, kErrIndex);
}

TEST(RtNumArray, CapacityRoundsUpAndReDimKeepsLargerStorageAndClearsIt) {
  ResetRuntimeContext();
  RtNumArray a;
  DimNumArray(a, 8);
  EXPECT_EQ(a.Shape().capacity, 16);  // strictly above the count
  EXPECT_TRUE(a.UsesInlineStore());
  DimNumArray(a, 16);
  EXPECT_EQ(a.Shape().capacity, 24);
  EXPECT_FALSE(a.UsesInlineStore());
  DimNumArray(a, 100);
  EXPECT_EQ(a.Shape().capacity, 104);
  a[50] = 7;
  a[10] = 8;
  const double* block = &a[0];
  DimNumArray(a, 20);
  EXPECT_EQ(a.Shape().capacity, 104);
  EXPECT_EQ(&a[0], block);
  EXPECT_EQ(a[10], 0);
  EXPECT_EQ(StopOnFreshRuntime([&] { a[50] = 1; }).status, kErrIndex);
  DimNumArray(a, 100);
  EXPECT_EQ(a[50], 0);  // the whole capacity was cleared, not just the 20 declared
  DimNumArray(a, 200);
  EXPECT_EQ(a.Shape().capacity, 208);
  DimNumArray(a, 0);  // a first size below 1 replaces the storage
  EXPECT_EQ(a.Shape().capacity, 8);
  EXPECT_TRUE(a.UsesInlineStore());
}

TEST(RtNumArray, StorageThatCannotBeGivenStopsWithSeven) {
  RtNumArray a;
  Stop s = StopOnFreshRuntime([&] { DimNumArray(a, 1e6, 1e6); });
  EXPECT_EQ(s.status, kErrChannel);
  EXPECT_NE(s.cause.find("array storage not obtained"), std::string::npos);
  EXPECT_EQ(StopOnFreshRuntime([&] { DimNumArray(a, std::nan("")); }).status, kErrChannel);
}

TEST(RtNumArray, CopiesAndMovesKeepTheirElements) {
  ResetRuntimeContext();
  RtNumArray small;
  DimNumArray(small, 4);
  small[3] = 9;
  RtNumArray big;
  DimNumArray(big, 50);
  big[49] = 5;

  RtNumArray copy(small);
  small[3] = 1;
  EXPECT_EQ(copy[3], 9);
  copy = big;
  EXPECT_EQ(copy[49], 5);

  RtNumArray moved(std::move(small));
  EXPECT_EQ(moved[3], 1);
  EXPECT_TRUE(moved.UsesInlineStore());
  const double* block = &big[0];
  moved = std::move(big);
  EXPECT_EQ(&moved[0], block);
  EXPECT_FALSE(big.Declared());  // NOLINT(bugprone-use-after-move)
}

TEST(RtStrArray, DimGivesEmptyStringsInBlocksOf64) {
  ResetRuntimeContext();
  RtStrArray s;
  DimStrArray(s, 3);
  EXPECT_EQ(s.Shape().capacity, 64);
  EXPECT_EQ(s.Shape().dim[0], 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(s[i], "");
  s[2] = "Bob";
  EXPECT_EQ(ElementAt(s, 2), "Bob");
  Stop stop = StopOnFreshRuntime([&] { s[3] = "x"; });
  EXPECT_EQ(stop.status, kErrIndex);
  EXPECT_EQ(stop.cause, "array index 3 out of range (size 3)");

  ResetRuntimeContext();
  const RtString* block = &s[0];
  DimStrArray(s, 3);  // re-DIM clears but keeps the storage
  EXPECT_EQ(&s[0], block);
  EXPECT_EQ(s[2], "");
  DimStrArray(s, 64);
  EXPECT_EQ(s.Shape().capacity, 128);
  EXPECT_EQ(s[63], "");
}

TEST(RtStrArray, TwoDimensionsAndCopies) {
  ResetRuntimeContext();
  RtStrArray names;
  DimStrArray(names, 8, 22);
  EXPECT_EQ(names.Shape().capacity, 192);
  names.at(7, 21) = "last";
  names.at(0, 0) = "first";
  RtStrArray copy(names);
  names.at(7, 21) = "changed";
  EXPECT_EQ(copy.at(7, 21), "last");
  EXPECT_EQ(copy.at(0, 0), "first");
  EXPECT_EQ(StopOnFreshRuntime([&] { copy.at(8, 0) = ""; }).status, kErrIndex);
  RtStrArray never;
  EXPECT_EQ(StopOnFreshRuntime([&] { never[0] = "x"; }).status, kErrIndex);
}

}  // namespace
