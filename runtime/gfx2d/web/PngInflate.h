// A small PNG reader and writer of our own for the browser build, which has no libpng or zlib: a zlib/deflate
// decoder and the PNG row filters. It reads what the game's pictures are made of (8 or 16-bit grey, RGB
// and RGBA, 8-bit palettes with or without transparency, not interlaced) into the same RGBA as the
// desktop's libpng reader, and refuses everything else. Plain code, no browser needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/gfx2d/Image.h"

// Inflates a zlib stream (header, deflate blocks, Adler-32) into at most `limit` bytes; a stream that
// would produce more is cut there. False on a damaged stream or a wrong checksum.
bool InflateZlib(std::span<const uint8_t> stream, size_t limit, std::vector<uint8_t>& out);

// Decodes a PNG held in memory into RGBA: grey and RGB pixels of exactly `key` (0x00BBGGRR) become
// transparent black, RGBA keeps its own alpha. Pictures of another kind (interlaced, grey with
// transparency, below 8 bits per sample) are refused; `unsupportedLayout` then says that the file itself
// was sound.
bool InflatePng(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out,
                bool* unsupportedLayout = nullptr);

// An 8-bit RGB PNG of RGBA pixels (top row first, alpha dropped), its pixels in uncompressed deflate
// blocks: larger than a compressed file, but any PNG reader takes it.
std::vector<uint8_t> EncodeStoredPng(int width, int height, const std::vector<uint8_t>& rgba);
