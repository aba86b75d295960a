// DIM and the checked element access of the game's number and string arrays.
#include "runtime/core/RtArray.h"

#include <algorithm>
#include <new>
#include <string>

#include "runtime/core/Errors.h"
#include "runtime/core/NumberTrunc.h"

namespace {

// Far beyond any array of the game; a DIM above it (or with a NaN or infinite size) cannot be given
// storage and stops with error 7 instead of overflowing the element count.
constexpr double kMaxElements = 134217728.0;  // 2^27

// What a DIM statement asks for, before any storage is touched.
struct DimRequest {
  RtArrayShape shape;     // dims, strides and dimCount (capacity left for the caller)
  int32_t count = 0;      // elements needed
  bool forceNew = false;  // size0 below 1: the storage is replaced whatever its capacity
};

double AtLeastOne(double size) {
  return size < 1 ? 1.0 : size;
}

DimRequest PlanDim(double size0, double size1, double size2, double size3) {
  DimRequest r;
  r.forceNew = size0 < 1;
  const double first = r.forceNew ? 0.0 : size0;
  const double product = first * AtLeastOne(size1) * AtLeastOne(size2) * AtLeastOne(size3);
  if (!(product < kMaxElements)) {
    RuntimeFail(kErrChannel,
                "array storage not obtained: DIM of " + std::string(NumberToText(product)) + " elements");
  }
  r.count = static_cast<int32_t>(product);
  // A NaN size counts as declared, like any other nonzero size.
  r.shape.dimCount = size3 != 0 ? 4 : size2 != 0 ? 3 : size1 != 0 ? 2 : first != 0 ? 1 : 0;
  RtArrayShape& s = r.shape;
  s.dim[0] = static_cast<int32_t>(first);
  s.dim[1] = TruncToInt32OrLowest(size1);
  s.dim[2] = TruncToInt32OrLowest(size2);
  s.dim[3] = TruncToInt32OrLowest(size3);
  // Strides come from the truncated sizes as declared; only the access rule makes them safe to use.
  const int64_t s1 = s.dim[0];
  const int64_t s2 = s1 * s.dim[1];
  const int64_t s3 = s2 * s.dim[2];
  s.stride1 = static_cast<int32_t>(s1);
  s.stride2 = static_cast<int32_t>(s2);
  s.stride3 = static_cast<int32_t>(s3);
  s.fastFirst = s.dim[1] >= 0 && s.dim[2] >= 0 && s.dim[3] >= 0 ? s.dim[0] : 0;
  return r;
}

[[noreturn]] void FailIndex(const RtArrayShape& shape, bool declared, int k, double index) {
  const std::string text =
      FitsInt32(index) ? std::to_string(static_cast<int32_t>(index)) : std::string(NumberToText(index));
  std::string cause = "array index " + text + " out of range (";
  if (!declared) {
    cause += "array not declared)";
  } else {
    cause += "size " + std::to_string(shape.dim[k]);
    if (k > 0 || shape.dimCount > 1) cause += ", dimension " + std::to_string(k + 1);
    cause += ")";
  }
  RuntimeFail(kErrIndex, cause);
}

// The access rule: every index truncated toward zero and at least 0; the array declared; each index below
// its dimension's size, where a dimension of size 0 takes only index 0. Returns the element's position.
int64_t LocateIn(const RtArrayShape& shape, bool declared, double i0, double i1, double i2, double i3) {
  const double raw[4] = {i0, i1, i2, i3};
  int32_t index[4] = {};
  for (int k = 0; k < 4; ++k) {
    if (!FitsInt32(raw[k])) FailIndex(shape, declared, k, raw[k]);
    index[k] = static_cast<int32_t>(raw[k]);
    if (index[k] < 0) FailIndex(shape, declared, k, raw[k]);
  }
  if (!declared) FailIndex(shape, declared, 0, raw[0]);
  if (index[0] >= shape.dim[0]) FailIndex(shape, declared, 0, raw[0]);
  for (int k = 1; k < 4; ++k) {
    const bool bad = shape.dim[k] == 0 ? index[k] != 0 : index[k] >= shape.dim[k];
    if (bad) FailIndex(shape, declared, k, raw[k]);
  }
  const int64_t position = index[0] + static_cast<int64_t>(index[1]) * shape.stride1 +
                           static_cast<int64_t>(index[2]) * shape.stride2 +
                           static_cast<int64_t>(index[3]) * shape.stride3;
  // Cannot trigger after the tests above; kept so that no index can ever leave the storage.
  if (position < 0 || position >= shape.capacity) FailIndex(shape, declared, 0, raw[0]);
  return position;
}

[[noreturn]] void FailStorage(int32_t count, const char* what) {
  RuntimeFail(kErrChannel, "array storage not obtained: " + std::to_string(count) + " " + what);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Arrays of numbers

RtNumArray::~RtNumArray() {
  ReleaseHeap();
}

void RtNumArray::ReleaseHeap() noexcept {
  if (data_ != nullptr && data_ != inline_) delete[] data_;
  data_ = nullptr;
}

void RtNumArray::TakeFrom(RtNumArray& other) noexcept {
  if (other.data_ == other.inline_) {
    std::copy(other.inline_, other.inline_ + kInlineCount, inline_);
    data_ = inline_;
  } else {
    data_ = other.data_;
  }
  shape_ = other.shape_;
  other.data_ = nullptr;
  other.shape_ = RtArrayShape();
}

RtNumArray::RtNumArray(const RtNumArray& other) {
  *this = other;
}

RtNumArray::RtNumArray(RtNumArray&& other) noexcept {
  TakeFrom(other);
}

RtNumArray& RtNumArray::operator=(const RtNumArray& other) {
  if (this == &other) return *this;
  if (other.data_ == nullptr) {
    ReleaseHeap();
    shape_ = RtArrayShape();
    return *this;
  }
  const int32_t capacity = other.shape_.capacity;
  double* block = capacity <= kInlineCount ? inline_ : new (std::nothrow) double[capacity];
  if (block == nullptr) FailStorage(capacity, "numbers");
  std::copy(other.data_, other.data_ + capacity, block);
  ReleaseHeap();  // frees only a heap block, so an inline copy just made stays
  data_ = block;
  shape_ = other.shape_;
  return *this;
}

RtNumArray& RtNumArray::operator=(RtNumArray&& other) noexcept {
  if (this != &other) {
    ReleaseHeap();
    TakeFrom(other);
  }
  return *this;
}

int64_t RtNumArray::Locate(double i0, double i1, double i2, double i3) const {
  return LocateIn(shape_, data_ != nullptr, i0, i1, i2, i3);
}

void DimNumArray(RtNumArray& a, double size0, double size1, double size2, double size3) {
  DimRequest r = PlanDim(size0, size1, size2, size3);
  // The next multiple of 8 strictly above the count.
  const int32_t rounded = (r.count & ~7) + 8;
  if (a.shape_.capacity < rounded || r.forceNew || a.data_ == nullptr) {
    a.ReleaseHeap();
    a.shape_ = RtArrayShape();
    a.data_ = rounded <= RtNumArray::kInlineCount ? a.inline_ : new (std::nothrow) double[rounded];
    if (a.data_ == nullptr) FailStorage(rounded, "numbers");
    a.shape_.capacity = rounded;
  }
  std::fill(a.data_, a.data_ + a.shape_.capacity, 0.0);
  r.shape.capacity = a.shape_.capacity;
  a.shape_ = r.shape;
}

double& ElementAt(RtNumArray& a, double i0, double i1, double i2, double i3) {
  return a.at(i0, i1, i2, i3);
}

// ---------------------------------------------------------------------------------------------------------
// Arrays of strings

RtStrArray::~RtStrArray() {
  delete[] data_;
}

RtStrArray::RtStrArray(const RtStrArray& other) {
  *this = other;
}

RtStrArray::RtStrArray(RtStrArray&& other) noexcept : data_(other.data_), shape_(other.shape_) {
  other.data_ = nullptr;
  other.shape_ = RtArrayShape();
}

RtStrArray& RtStrArray::operator=(const RtStrArray& other) {
  if (this == &other) return *this;
  RtString* block = nullptr;
  if (other.data_ != nullptr) {
    block = new (std::nothrow) RtString[other.shape_.capacity];
    if (block == nullptr) FailStorage(other.shape_.capacity, "strings");
    std::copy(other.data_, other.data_ + other.shape_.capacity, block);
  }
  delete[] data_;
  data_ = block;
  shape_ = other.data_ != nullptr ? other.shape_ : RtArrayShape();
  return *this;
}

RtStrArray& RtStrArray::operator=(RtStrArray&& other) noexcept {
  if (this != &other) {
    delete[] data_;
    data_ = other.data_;
    shape_ = other.shape_;
    other.data_ = nullptr;
    other.shape_ = RtArrayShape();
  }
  return *this;
}

int64_t RtStrArray::Locate(double i0, double i1, double i2, double i3) const {
  return LocateIn(shape_, data_ != nullptr, i0, i1, i2, i3);
}

void DimStrArray(RtStrArray& a, double size0, double size1, double size2, double size3) {
  DimRequest r = PlanDim(size0, size1, size2, size3);
  // The next multiple of 64 strictly above the count.
  const int32_t rounded = (r.count & ~63) + 64;
  if (a.shape_.capacity < rounded || r.forceNew || a.data_ == nullptr) {
    // The old elements go last to first with their block; the new ones start empty, without text blocks.
    delete[] a.data_;
    a.data_ = nullptr;
    a.shape_ = RtArrayShape();
    a.data_ = new (std::nothrow) RtString[rounded];
    if (a.data_ == nullptr) FailStorage(rounded, "strings");
    a.shape_.capacity = rounded;
  } else {
    // Storage kept: the elements the new size can reach become "" and keep their text blocks.
    for (int32_t i = 0; i < rounded; ++i) a.data_[i] = "";
  }
  r.shape.capacity = a.shape_.capacity;
  a.shape_ = r.shape;
}

RtString& ElementAt(RtStrArray& a, double i0, double i1, double i2, double i3) {
  return a.at(i0, i1, i2, i3);
}
