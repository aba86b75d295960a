// A mutator for the PNG targets: libFuzzer's own changes, then every chunk's CRC written anew, so that
// a changed chunk reaches the readers' checks of its contents instead of failing its checksum at once.
// Shared by the desktop reader's target and the browser reader's.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

// libFuzzer's mutator; absent (null) in the programs that only replay inputs.
extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize) __attribute__((weak));

// Writes the CRC of every whole chunk after the 8-byte signature; stops at the first chunk that does
// not fit in the bytes.
inline void FixPngChunkCrcs(uint8_t* data, size_t size) {
  size_t at = 8;
  while (at <= size && size - at >= 12) {
    const uint32_t length =
        uint32_t{data[at]} << 24 | uint32_t{data[at + 1]} << 16 | uint32_t{data[at + 2]} << 8 | data[at + 3];
    if (length > size - at - 12) return;
    const size_t crcAt = at + 8 + length;
    const uint32_t crc =
        static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), data + at + 4, static_cast<uInt>(length + 4)));
    data[crcAt] = static_cast<uint8_t>(crc >> 24);
    data[crcAt + 1] = static_cast<uint8_t>(crc >> 16);
    data[crcAt + 2] = static_cast<uint8_t>(crc >> 8);
    data[crcAt + 3] = static_cast<uint8_t>(crc);
    at = crcAt + 4;
  }
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
  (void)seed;  // libFuzzer's mutator draws from its own generator
  if (!LLVMFuzzerMutate) return size;
  const size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
  // One input in eight keeps its CRCs as mutated, so that checksum failures stay covered too.
  if (mutated >= 8 && (data[mutated - 1] & 7) != 0) FixPngChunkCrcs(data, mutated);
  return mutated;
}
