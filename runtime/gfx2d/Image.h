// Decoded pictures and the two image decoders (BMP read by the runtime itself, PNG through libpng).
// Decoders work on bytes already in memory, so loose files, archive entries and fuzzers share them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: RGBA, 8 bits per channel, top row first, each row exactly width * 4 bytes.
// An empty image is 0 x 0 with no pixels; every decoder leaves its output that way when it fails.
struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
};

// Colour keys are 0x00BBGGRR. A pixel of exactly the key colour becomes transparent black.
constexpr uint32_t kNoColourKey = 0xFFFFFFFFu;       // nothing is keyed (backgrounds)
constexpr uint32_t kDefaultSpriteKey = 0x008000FFu;  // red 255, green 0, blue 128
constexpr uint32_t kDefaultFontKey = 0x00000000u;    // black

// Limits on what a decoder accepts, checked before anything is allocated for the picture.
constexpr int32_t kMaxImageSide = 16384;               // pixels per row or rows per picture
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;  // 64 Mi pixels, 256 MiB as RGBA
// Image files larger than this are refused without being read.
constexpr size_t kMaxImageFileBytes = size_t{64} << 20;

// Empties `image` and gives its pixel buffer back.
void ClearImage(RgbaImage& image);
// True when a picture of this size is within the limits above (both sides at least 1).
bool ImageSizeAllowed(int64_t width, int64_t height);

// Decodes an uncompressed 8, 24 or 32-bit BMP (OS/2 or Windows header). Rows are taken bottom-up.
bool DecodeBmp(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out);

// Decodes a PNG through libpng into RGBA. Pictures that do not end up as grey, RGB or RGBA with 8 bits
// per sample fail; `nameForMessages` names the file in the two messages printed for unusual layouts.
bool DecodePng(const uint8_t* data, size_t size, uint32_t key, const std::string& nameForMessages,
               RgbaImage& out);

// PNG colour types, as a file's header numbers them.
constexpr int kPngGrey = 0, kPngRgb = 2, kPngRgba = 6;

// Checks the layout a PNG reader reports after its conversions: 1, 3 or 4 channels (else fails quietly),
// 8 bits per sample and colour type grey, RGB or RGBA (else prints two lines to standard output).
bool CheckPngLayout(int channels, int bitDepth, int colourType, const std::string& nameForMessages);

// Decodes a whole file held in memory as BMP, or failing that as PNG; `name` names it in messages.
bool DecodeImageBytes(const std::vector<uint8_t>& bytes, const std::string& name, uint32_t key,
                      RgbaImage& out);
// Reads the whole file and decodes it as BMP, or failing that as PNG.
bool DecodeImageFile(const std::string& path, uint32_t key, RgbaImage& out);
