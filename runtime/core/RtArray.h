// Bounds-checked arrays of the game language: numbers (RtNumArray) and strings (RtStrArray), up to four
// dimensions, declared and re-declared at run time with DIM. Every access is checked; a bad index stops
// the program with error 9, storage that cannot be obtained with error 7.
#pragma once

#include <cstdint>

#include "runtime/core/RtString.h"

// Sizes, strides and element count shared by both array kinds. Element (i0, i1, i2, i3) lies at
// i0 + i1 * stride1 + i2 * stride2 + i3 * stride3: the first index varies fastest.
struct RtArrayShape {
  int32_t stride1 = 0;   // dim0
  int32_t stride2 = 0;   // dim0 * dim1
  int32_t stride3 = 0;   // dim0 * dim1 * dim2
  int32_t dim[4] = {};   // declared sizes; 0 for a dimension not declared
  int32_t dimCount = 0;  // number of dimensions declared
  int32_t capacity = 0;  // elements allocated (the rounded count; storage only grows)
  // First indices below this need no further check when the other indices are 0: dim[0] when index 0
  // fits every later dimension (none declared negative), else 0.
  int32_t fastFirst = 0;
};

class RtNumArray {
 public:
  // Elements kept inside the array itself: small arrays need no heap block.
  static constexpr int32_t kInlineCount = 16;

  RtNumArray() noexcept = default;
  ~RtNumArray();
  RtNumArray(const RtNumArray& other);
  RtNumArray(RtNumArray&& other) noexcept;
  RtNumArray& operator=(const RtNumArray& other);
  RtNumArray& operator=(RtNumArray&& other) noexcept;

  // Checked element access; indices are truncated toward zero. The common case, a first index inside the
  // first dimension and the others 0, is checked inline; everything else takes the full check.
  double& operator[](double i0) {
    return InFirst(i0) ? data_[static_cast<int32_t>(i0)] : data_[Locate(i0, 0, 0, 0)];
  }
  const double& operator[](double i0) const {
    return InFirst(i0) ? data_[static_cast<int32_t>(i0)] : data_[Locate(i0, 0, 0, 0)];
  }
  double& at(double i0, double i1 = 0, double i2 = 0, double i3 = 0) {
    return InFirst(i0) && OthersZero(i1, i2, i3) ? data_[static_cast<int32_t>(i0)]
                                                 : data_[Locate(i0, i1, i2, i3)];
  }
  const double& at(double i0, double i1 = 0, double i2 = 0, double i3 = 0) const {
    return InFirst(i0) && OthersZero(i1, i2, i3) ? data_[static_cast<int32_t>(i0)]
                                                 : data_[Locate(i0, i1, i2, i3)];
  }

  const RtArrayShape& Shape() const { return shape_; }
  bool Declared() const { return data_ != nullptr; }
  bool UsesInlineStore() const { return data_ == inline_; }

 private:
  friend void DimNumArray(RtNumArray& a, double size0, double size1, double size2, double size3);
  // i0 lies in [0, fastFirst): it truncates to a valid first index (NaN and negatives take the full
  // check).
  bool InFirst(double i0) const { return i0 >= 0 && i0 < static_cast<double>(shape_.fastFirst); }
  static bool OthersZero(double i1, double i2, double i3) { return i1 == 0 && i2 == 0 && i3 == 0; }
  void ReleaseHeap() noexcept;
  void TakeFrom(RtNumArray& other) noexcept;
  int64_t Locate(double i0, double i1, double i2, double i3) const;

  double* data_ = nullptr;            // the inline store, a heap block, or null before the first DIM
  double inline_[kInlineCount] = {};  // holds the elements while the rounded count is at most 16
  RtArrayShape shape_;
};

class RtStrArray {
 public:
  RtStrArray() noexcept = default;
  ~RtStrArray();
  RtStrArray(const RtStrArray& other);
  RtStrArray(RtStrArray&& other) noexcept;
  RtStrArray& operator=(const RtStrArray& other);
  RtStrArray& operator=(RtStrArray&& other) noexcept;

  RtString& operator[](double i0) {
    return InFirst(i0) ? data_[static_cast<int32_t>(i0)] : data_[Locate(i0, 0, 0, 0)];
  }
  const RtString& operator[](double i0) const {
    return InFirst(i0) ? data_[static_cast<int32_t>(i0)] : data_[Locate(i0, 0, 0, 0)];
  }
  RtString& at(double i0, double i1 = 0, double i2 = 0, double i3 = 0) {
    return InFirst(i0) && OthersZero(i1, i2, i3) ? data_[static_cast<int32_t>(i0)]
                                                 : data_[Locate(i0, i1, i2, i3)];
  }
  const RtString& at(double i0, double i1 = 0, double i2 = 0, double i3 = 0) const {
    return InFirst(i0) && OthersZero(i1, i2, i3) ? data_[static_cast<int32_t>(i0)]
                                                 : data_[Locate(i0, i1, i2, i3)];
  }

  const RtArrayShape& Shape() const { return shape_; }
  bool Declared() const { return data_ != nullptr; }

 private:
  friend void DimStrArray(RtStrArray& a, double size0, double size1, double size2, double size3);
  bool InFirst(double i0) const { return i0 >= 0 && i0 < static_cast<double>(shape_.fastFirst); }
  static bool OthersZero(double i1, double i2, double i3) { return i1 == 0 && i2 == 0 && i3 == 0; }
  int64_t Locate(double i0, double i1, double i2, double i3) const;

  RtString* data_ = nullptr;  // the elements (an array block that knows its own count); null before DIM
  RtArrayShape shape_;
};

// Declares or re-declares an array; sizes of dimensions not declared are 0. Every DIM clears the
// contents; storage is replaced only when it must grow (or when size0 < 1). Capacity is rounded up to
// the next multiple of 8 (numbers) or 64 (strings) strictly above the element count.
void DimNumArray(RtNumArray& a, double size0, double size1 = 0, double size2 = 0, double size3 = 0);
void DimStrArray(RtStrArray& a, double size0, double size1 = 0, double size2 = 0, double size3 = 0);

// The element at (i0, i1, i2, i3), after the access rule: every index (truncated toward zero) at least 0
// and below its dimension's size; a dimension of size 0 takes only index 0. Otherwise error 9.
double& ElementAt(RtNumArray& a, double i0, double i1 = 0, double i2 = 0, double i3 = 0);
RtString& ElementAt(RtStrArray& a, double i0, double i1 = 0, double i2 = 0, double i3 = 0);
