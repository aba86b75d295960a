// The BMP decoder, the size limits shared by both decoders, and reading an image file from disk.
#include "runtime/gfx2d/Image.h"

#include <array>

#include "runtime/core/RegularFile.h"

namespace {

// Reads little-endian numbers from a byte range; every read checks that the bytes are there.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Remaining() const { return size_ - pos_; }
  const uint8_t* Here() const { return data_ + pos_; }

  bool Skip(uint64_t count) {
    if (count > Remaining()) return false;
    pos_ += static_cast<size_t>(count);
    return true;
  }
  bool U16(uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  bool U32(uint32_t& value) {
    if (Remaining() < 4) return false;
    value = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
            static_cast<uint32_t>(data_[pos_ + 2]) << 16 | static_cast<uint32_t>(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return true;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
};

constexpr uint32_t kOs2HeaderSize = 12;
constexpr uint32_t kWindowsHeaderSize = 40;
// A header block this large (pixel offset - 14) means the file carries a colour table.
constexpr uint32_t kColourTableThreshold = 41;

// Colour table entries the decoder keeps: an 8-bit index cannot reach further.
constexpr size_t kMaxPaletteEntries = 256;
struct Palette {
  std::array<uint8_t, kMaxPaletteEntries * 3> rgb{};  // red, green, blue per entry
  size_t entries = 0;
};

void StorePixel(uint8_t* dst, uint8_t red, uint8_t green, uint8_t blue, uint32_t key) {
  const uint32_t colour = uint32_t{red} | uint32_t{green} << 8 | uint32_t{blue} << 16;
  if (key != kNoColourKey && colour == key) {
    dst[0] = dst[1] = dst[2] = dst[3] = 0;
    return;
  }
  dst[0] = red;
  dst[1] = green;
  dst[2] = blue;
  dst[3] = 255;
}

// Reads the colour table that follows the header; its bytes are consumed whatever the depth, since the
// pixel rows come straight after it. A table that runs past the end of the file fails the picture.
bool ReadColourTable(ByteReader& in, uint32_t headerSize, uint32_t offset, uint16_t bitsPerPixel,
                     Palette& palette) {
  uint64_t tableBytes = 0;
  uint64_t entrySize = 0;
  if (headerSize == kOs2HeaderSize) {
    entrySize = 3;
    tableBytes = (uint64_t{1} << bitsPerPixel) * entrySize;
  } else {
    entrySize = 4;
    tableBytes = uint64_t{offset} - 54;
  }
  if (tableBytes > in.Remaining()) return false;
  const uint8_t* table = in.Here();
  const uint64_t entries = tableBytes / entrySize;
  palette.entries = static_cast<size_t>(entries < kMaxPaletteEntries ? entries : kMaxPaletteEntries);
  for (size_t i = 0; i < palette.entries; ++i) {
    const uint8_t* entry = table + i * entrySize;  // blue, green, red
    palette.rgb[i * 3] = entry[2];
    palette.rgb[i * 3 + 1] = entry[1];
    palette.rgb[i * 3 + 2] = entry[0];
  }
  return in.Skip(tableBytes);
}

bool DecodeBmpInto(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out) {
  ByteReader in(data, size);
  if (size < 2 || data[0] != 'B' || data[1] != 'M') return false;
  in.Skip(2);
  uint32_t fileSize = 0;
  uint16_t reserved1 = 0;
  uint16_t reserved2 = 0;
  uint32_t offset = 0;
  if (!in.U32(fileSize) || !in.U16(reserved1) || !in.U16(reserved2) || !in.U32(offset)) return false;

  uint32_t headerSize = 0;
  if (offset < 14 || !in.U32(headerSize)) return false;
  if (headerSize != kOs2HeaderSize && headerSize != kWindowsHeaderSize) return false;
  // The pixel offset leaves room for the header block only; a header larger than that is broken.
  const uint32_t headerBlock = offset - 14;
  if (headerBlock < headerSize) return false;

  int64_t width = 0;
  int64_t height = 0;
  uint16_t planes = 0;
  uint16_t bitsPerPixel = 0;
  if (headerSize == kOs2HeaderSize) {
    uint16_t w = 0;
    uint16_t h = 0;
    if (!in.U16(w) || !in.U16(h) || !in.U16(planes) || !in.U16(bitsPerPixel)) return false;
    width = w;
    height = h;
  } else {
    uint32_t w = 0;
    uint32_t h = 0;
    // compression, image size, resolutions and colour counts: the rows are always read uncompressed
    constexpr uint64_t kUnusedFields = 24;
    if (!in.U32(w) || !in.U32(h) || !in.U16(planes) || !in.U16(bitsPerPixel) || !in.Skip(kUnusedFields)) {
      return false;
    }
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
  }
  // Top-down files (negative height) are still read bottom-up, so they come out upside down.
  if (height < 0) height = -height;
  if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  if (!ImageSizeAllowed(width, height)) return false;

  Palette palette;
  if (headerBlock >= kColourTableThreshold &&
      !ReadColourTable(in, headerSize, offset, bitsPerPixel, palette)) {
    return false;
  }

  const uint64_t bytesPerPixel = bitsPerPixel / 8;
  const uint64_t stride = (static_cast<uint64_t>(width) * bytesPerPixel + 3) & ~uint64_t{3};
  if (stride * static_cast<uint64_t>(height) > in.Remaining()) return false;
  const uint8_t* rows = in.Here();

  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  out.pixels.resize(static_cast<size_t>(width * height * 4));
  for (int64_t r = 0; r < height; ++r) {
    const uint8_t* src = rows + static_cast<size_t>(height - 1 - r) * stride;
    uint8_t* dst = out.pixels.data() + static_cast<size_t>(r * width * 4);
    for (int64_t x = 0; x < width; ++x, src += bytesPerPixel, dst += 4) {
      if (bitsPerPixel == 8) {
        // Indices past the table (or with no table at all) read as black.
        const size_t index = src[0];
        if (index < palette.entries) {
          StorePixel(dst, palette.rgb[index * 3], palette.rgb[index * 3 + 1], palette.rgb[index * 3 + 2],
                     key);
        } else {
          StorePixel(dst, 0, 0, 0, key);
        }
      } else {
        StorePixel(dst, src[2], src[1], src[0], key);
      }
    }
  }
  return true;
}

}  // namespace

void ClearImage(RgbaImage& image) {
  image.width = 0;
  image.height = 0;
  std::vector<uint8_t>().swap(image.pixels);
}

bool ImageSizeAllowed(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

bool DecodeBmp(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out) {
  if (data && DecodeBmpInto(data, size, key, out)) return true;
  ClearImage(out);
  return false;
}

bool DecodeImageFile(const std::string& path, uint32_t key, RgbaImage& out) {
  std::vector<uint8_t> bytes;
  if (!ReadRegularFile(path, kMaxImageFileBytes, bytes)) {
    ClearImage(out);
    return false;
  }
  return DecodeImageBytes(bytes, path, key, out);
}

bool DecodeImageBytes(const std::vector<uint8_t>& bytes, const std::string& name, uint32_t key,
                      RgbaImage& out) {
  if (bytes.size() > kMaxImageFileBytes) {
    ClearImage(out);
    return false;
  }
  if (DecodeBmp(bytes.data(), bytes.size(), key, out)) return true;
  return DecodePng(bytes.data(), bytes.size(), key, name, out);
}
