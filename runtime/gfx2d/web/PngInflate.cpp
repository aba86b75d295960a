// The browser build's PNG reader: zlib inflate after the deflate format's own description (stored, fixed
// and dynamic Huffman blocks, canonical codes decoded a bit at a time), then the PNG chunks, the row
// filters and the conversion to RGBA.
#include "runtime/gfx2d/web/PngInflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

class BitReader {
 public:
  explicit BitReader(std::span<const uint8_t> in) : in_(in) {}

  // `count` bits (up to 16), first bit lowest; false once the input has run out.
  bool Bits(int count, uint32_t& value) {
    while (bitCount_ < count) {
      if (pos_ >= in_.size()) return false;
      buffer_ |= static_cast<uint32_t>(in_[pos_++]) << bitCount_;
      bitCount_ += 8;
    }
    value = buffer_ & ((1u << count) - 1);
    buffer_ >>= count;
    bitCount_ -= count;
    return true;
  }
  void AlignToByte() {
    buffer_ = 0;
    bitCount_ = 0;
  }
  size_t BytePos() const { return pos_; }
  void SkipBytes(size_t n) { pos_ += n; }
  size_t Remaining() const { return in_.size() - pos_; }
  const uint8_t* Here() const { return in_.data() + pos_; }

 private:
  std::span<const uint8_t> in_;
  size_t pos_ = 0;
  uint32_t buffer_ = 0;
  int bitCount_ = 0;
};

constexpr int kMaxBits = 15;

struct Huffman {
  std::array<uint16_t, kMaxBits + 1> count{};
  std::array<uint16_t, 288> symbol{};
};

// Builds the canonical code of `lengths`; false for an over-subscribed set, or an incomplete one where
// that is not allowed (a set of a single code may be incomplete, and so may the fixed distance codes).
bool BuildHuffman(Huffman& h, const uint8_t* lengths, int n, bool mayBeIncomplete = false) {
  h.count.fill(0);
  for (int i = 0; i < n; ++i) h.count[lengths[i]]++;
  if (h.count[0] == n) return true;  // no codes: decoding with it fails
  int left = 1;
  for (int len = 1; len <= kMaxBits; ++len) {
    left <<= 1;
    left -= h.count[len];
    if (left < 0) return false;
  }
  std::array<uint16_t, kMaxBits + 1> offsets{};
  for (int len = 1; len < kMaxBits; ++len) offsets[len + 1] = offsets[len] + h.count[len];
  for (int i = 0; i < n; ++i)
    if (lengths[i] != 0) h.symbol[offsets[lengths[i]]++] = static_cast<uint16_t>(i);
  const int codes = n - h.count[0];
  return left == 0 || codes == 1 || mayBeIncomplete;
}

// The next symbol, or -1 on a code the table does not hold or the end of the input.
int DecodeSymbol(BitReader& in, const Huffman& h) {
  int code = 0, first = 0, index = 0;
  for (int len = 1; len <= kMaxBits; ++len) {
    uint32_t bit = 0;
    if (!in.Bits(1, bit)) return -1;
    code |= static_cast<int>(bit);
    const int count = h.count[len];
    if (code - count < first) return h.symbol[index + (code - first)];
    index += count;
    first += count;
    first <<= 1;
    code <<= 1;
  }
  return -1;
}

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                    33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

enum class Block { kOk, kBad, kFull };

// Decodes one block's symbols into `out` until its end code; stops with kFull at `limit` bytes.
Block InflateCodes(BitReader& in, const Huffman& lengths, const Huffman& dists, size_t limit,
                   std::vector<uint8_t>& out) {
  for (;;) {
    const int symbol = DecodeSymbol(in, lengths);
    if (symbol < 0) return Block::kBad;
    if (symbol < 256) {
      if (out.size() >= limit) return Block::kFull;
      out.push_back(static_cast<uint8_t>(symbol));
      continue;
    }
    if (symbol == 256) return Block::kOk;
    const int li = symbol - 257;
    if (li >= 29) return Block::kBad;
    uint32_t extra = 0;
    if (!in.Bits(kLengthExtra[li], extra)) return Block::kBad;
    const size_t length = kLengthBase[li] + extra;
    const int di = DecodeSymbol(in, dists);
    if (di < 0 || di >= 30) return Block::kBad;
    if (!in.Bits(kDistExtra[di], extra)) return Block::kBad;
    const size_t distance = kDistBase[di] + extra;
    if (distance > out.size()) return Block::kBad;
    for (size_t i = 0; i < length; ++i) {
      if (out.size() >= limit) return Block::kFull;
      out.push_back(out[out.size() - distance]);
    }
  }
}

bool FixedTables(Huffman& lengths, Huffman& dists) {
  uint8_t l[288];
  for (int i = 0; i < 144; ++i) l[i] = 8;
  for (int i = 144; i < 256; ++i) l[i] = 9;
  for (int i = 256; i < 280; ++i) l[i] = 7;
  for (int i = 280; i < 288; ++i) l[i] = 8;
  uint8_t d[30];
  std::memset(d, 5, sizeof d);
  return BuildHuffman(lengths, l, 288) && BuildHuffman(dists, d, 30, true);
}

bool DynamicTables(BitReader& in, Huffman& lengths, Huffman& dists) {
  static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  uint32_t nlen = 0, ndist = 0, ncode = 0;
  if (!in.Bits(5, nlen) || !in.Bits(5, ndist) || !in.Bits(4, ncode)) return false;
  nlen += 257;
  ndist += 1;
  ncode += 4;
  if (nlen > 286 || ndist > 30) return false;
  uint8_t l[320] = {};
  for (uint32_t i = 0; i < ncode; ++i) {
    uint32_t v = 0;
    if (!in.Bits(3, v)) return false;
    l[kOrder[i]] = static_cast<uint8_t>(v);
  }
  Huffman codeLengths;
  if (!BuildHuffman(codeLengths, l, 19)) return false;
  std::memset(l, 0, sizeof l);
  uint32_t index = 0;
  while (index < nlen + ndist) {
    int symbol = DecodeSymbol(in, codeLengths);
    if (symbol < 0) return false;
    if (symbol < 16) {
      l[index++] = static_cast<uint8_t>(symbol);
      continue;
    }
    uint8_t value = 0;
    uint32_t repeat = 0;
    if (symbol == 16) {
      if (index == 0) return false;
      value = l[index - 1];
      if (!in.Bits(2, repeat)) return false;
      repeat += 3;
    } else if (symbol == 17) {
      if (!in.Bits(3, repeat)) return false;
      repeat += 3;
    } else {
      if (!in.Bits(7, repeat)) return false;
      repeat += 11;
    }
    if (index + repeat > nlen + ndist) return false;
    while (repeat-- > 0) l[index++] = value;
  }
  if (l[256] == 0) return false;  // no end code
  return BuildHuffman(lengths, l, static_cast<int>(nlen)) &&
         BuildHuffman(dists, l + nlen, static_cast<int>(ndist));
}

uint32_t ReadBe32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

uint32_t Crc32(const uint8_t* p, size_t n) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = p > a ? p - a : a - p;
  const int pb = p > b ? p - b : b - p;
  const int pc = p > c ? p - c : c - p;
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the row filters in place: `rows` holds height rows of a filter byte and rowBytes bytes.
bool Unfilter(std::vector<uint8_t>& rows, size_t rowBytes, uint32_t height, size_t bpp) {
  const size_t stride = rowBytes + 1;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = rows.data() + y * stride;
    const uint8_t filter = row[0];
    uint8_t* cur = row + 1;
    const uint8_t* prev = y > 0 ? rows.data() + (y - 1) * stride + 1 : nullptr;
    for (size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= bpp ? cur[i - bpp] : 0;
      const int b = prev ? prev[i] : 0;
      const int c = (prev && i >= bpp) ? prev[i - bpp] : 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          cur[i] = static_cast<uint8_t>(cur[i] + a);
          break;
        case 2:
          cur[i] = static_cast<uint8_t>(cur[i] + b);
          break;
        case 3:
          cur[i] = static_cast<uint8_t>(cur[i] + ((a + b) >> 1));
          break;
        case 4:
          cur[i] = static_cast<uint8_t>(cur[i] + Paeth(a, b, c));
          break;
        default:
          return false;
      }
    }
  }
  return true;
}

// A compressed picture cannot inflate to more than this many bytes per stored byte (deflate's best
// ratio), so a header that claims more is refused before anything is allocated.
constexpr uint64_t kDeflateMostRatio = 1032;

}  // namespace

bool InflateZlib(std::span<const uint8_t> stream, size_t limit, std::vector<uint8_t>& out) {
  out.clear();
  if (stream.size() < 2) return false;
  const uint8_t cmf = stream[0], flg = stream[1];
  if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7 || ((cmf << 8) | flg) % 31 != 0 || (flg & 0x20)) return false;
  BitReader in(stream.subspan(2));
  for (;;) {
    uint32_t last = 0, type = 0;
    if (!in.Bits(1, last) || !in.Bits(2, type)) return false;
    Block result = Block::kOk;
    if (type == 0) {
      in.AlignToByte();
      if (in.Remaining() < 4) return false;
      const uint8_t* p = in.Here();
      const uint32_t len = p[0] | uint32_t{p[1]} << 8;
      const uint32_t nlen = p[2] | uint32_t{p[3]} << 8;
      if ((len ^ 0xFFFF) != nlen) return false;
      in.SkipBytes(4);
      if (in.Remaining() < len) return false;
      const size_t take = std::min<size_t>(len, limit - out.size());
      out.insert(out.end(), in.Here(), in.Here() + take);
      in.SkipBytes(len);
      if (take < len) result = Block::kFull;
    } else if (type == 1 || type == 2) {
      Huffman lengths, dists;
      if (!(type == 1 ? FixedTables(lengths, dists) : DynamicTables(in, lengths, dists))) return false;
      result = InflateCodes(in, lengths, dists, limit, out);
    } else {
      return false;
    }
    if (result == Block::kBad) return false;
    // Cut at the limit: the rest of the stream (and so its checksum) is not looked at.
    if (result == Block::kFull) return true;
    if (last) break;
  }
  in.AlignToByte();
  if (in.Remaining() < 4) return false;
  return ReadBe32(in.Here()) == Adler32(out);
}

bool InflatePng(const uint8_t* data, size_t size, uint32_t key, RgbaImage& out, bool* unsupportedLayout) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (unsupportedLayout) *unsupportedLayout = false;
  ClearImage(out);
  if (!data || size < 8 || std::memcmp(data, kSignature, 8) != 0) return false;

  uint32_t width = 0, height = 0;
  int depth = 0, colourType = -1, interlace = 0;
  std::vector<uint8_t> palette, alphas, compressed;
  bool haveHeader = false, transparentColour = false, ended = false;
  uint16_t transparent[3] = {};
  size_t pos = 8;
  while (!ended) {
    if (size - pos < 12) return false;
    const uint32_t length = ReadBe32(data + pos);
    if (length > 0x7FFFFFFFu || length > size - pos - 12) return false;
    const uint8_t* type = data + pos + 4;
    const uint8_t* body = data + pos + 8;
    const bool critical = (type[0] & 0x20) == 0;
    // A damaged critical chunk spoils the picture; a damaged ancillary one is only passed over.
    const bool sound = Crc32(type, length + 4) == ReadBe32(body + length);
    if (critical && !sound) return false;
    pos += 12 + static_cast<size_t>(length);
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (haveHeader || length != 13) return false;
      width = ReadBe32(body);
      height = ReadBe32(body + 4);
      depth = body[8];
      colourType = body[9];
      if (body[10] != 0 || body[11] != 0 || body[12] > 1) return false;
      interlace = body[12];
      haveHeader = true;
    } else if (!haveHeader) {
      return false;  // the header comes first
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      if (length % 3 != 0 || length > 768) return false;
      palette.assign(body, body + length);
    } else if (std::memcmp(type, "tRNS", 4) == 0 && sound) {
      if (colourType == 3) {
        alphas.assign(body, body + std::min<uint32_t>(length, 256));
      } else if (colourType == 2 && length == 6) {
        transparentColour = true;
        for (int i = 0; i < 3; ++i)
          transparent[i] = static_cast<uint16_t>(body[2 * i] << 8 | body[2 * i + 1]);
      } else if (colourType == 0 && length == 2) {
        transparentColour = true;  // grey with transparency: two channels, which the game does not take
      }
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      compressed.insert(compressed.end(), body, body + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      ended = true;
    } else if (critical) {
      return false;  // a critical chunk we do not know
    }
  }
  if (!haveHeader || compressed.empty()) return false;

  int channels = 0;
  switch (colourType) {
    case 0:
      channels = 1;
      break;
    case 2:
      channels = 3;
      break;
    case 3:
      channels = 1;
      break;
    case 4:
      channels = 2;
      break;
    case 6:
      channels = 4;
      break;
    default:
      return false;
  }
  const bool layoutOk = (depth == 8 || (depth == 16 && colourType != 3)) && interlace == 0 &&
                        colourType != 4 && !(colourType == 0 && transparentColour) &&
                        !(colourType == 3 && palette.empty());
  if (!layoutOk) {
    if (unsupportedLayout) *unsupportedLayout = true;
    return false;
  }
  if (!ImageSizeAllowed(width, height)) return false;
  const size_t bytesPerSample = static_cast<size_t>(depth / 8);
  const size_t bpp = channels * bytesPerSample;
  const size_t rowBytes = static_cast<size_t>(width) * bpp;
  const uint64_t storedBytes = (uint64_t{rowBytes} + 1) * height;
  if (storedBytes > kDeflateMostRatio * compressed.size()) return false;

  std::vector<uint8_t> rows;
  if (!InflateZlib(compressed, storedBytes, rows) || rows.size() != storedBytes) return false;
  if (!Unfilter(rows, rowBytes, height, bpp)) return false;

  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  out.pixels.resize(static_cast<size_t>(width) * height * 4);
  uint8_t* dst = out.pixels.data();
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* src = rows.data() + y * (rowBytes + 1) + 1;
    for (uint32_t x = 0; x < width; ++x, src += bpp, dst += 4) {
      // 16-bit samples keep their high byte.
      auto sample = [&](int i) { return src[i * bytesPerSample]; };
      if (colourType == 3) {
        const size_t index = src[0];
        const bool inTable = index * 3 + 2 < palette.size();
        dst[0] = inTable ? palette[index * 3] : 0;
        dst[1] = inTable ? palette[index * 3 + 1] : 0;
        dst[2] = inTable ? palette[index * 3 + 2] : 0;
        dst[3] = index < alphas.size() ? alphas[index] : 255;
        if (alphas.empty()) {
          // Without transparency a palette picture is RGB, and the key applies.
          const uint32_t colour = uint32_t{dst[0]} | uint32_t{dst[1]} << 8 | uint32_t{dst[2]} << 16;
          if (key != kNoColourKey && colour == key) dst[0] = dst[1] = dst[2] = dst[3] = 0;
        }
      } else if (channels == 4) {
        // The picture's own alpha decides; the key never applies.
        for (int i = 0; i < 4; ++i) dst[i] = sample(i);
      } else if (channels == 3) {
        bool clear = false;
        if (transparentColour) {
          // A transparent colour makes the picture RGBA: that colour gets alpha 0 and keeps its value.
          bool same = true;
          for (int i = 0; i < 3; ++i) {
            const uint16_t full =
                depth == 16 ? static_cast<uint16_t>(src[2 * i] << 8 | src[2 * i + 1]) : src[i];
            same = same && full == transparent[i];
          }
          for (int i = 0; i < 3; ++i) dst[i] = sample(i);
          dst[3] = same ? 0 : 255;
          continue;
        }
        const uint32_t colour = uint32_t{sample(0)} | uint32_t{sample(1)} << 8 | uint32_t{sample(2)} << 16;
        clear = key != kNoColourKey && colour == key;
        for (int i = 0; i < 3; ++i) dst[i] = clear ? 0 : sample(i);
        dst[3] = clear ? 0 : 255;
      } else {
        dst[0] = dst[1] = dst[2] = sample(0);
        dst[3] = 255;
      }
    }
  }
  return true;
}

namespace {

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutBe32(out, static_cast<uint32_t>(body.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBe32(out, Crc32(out.data() + start, body.size() + 4));
}

}  // namespace

std::vector<uint8_t> EncodeStoredPng(int width, int height, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBe32(header, static_cast<uint32_t>(width));
  PutBe32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filters beyond "none", flat
  PutChunk(png, "IHDR", header);

  std::vector<uint8_t> raw;
  raw.reserve((static_cast<size_t>(width) * 3 + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const uint8_t* src = rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    for (int x = 0; x < width; ++x) raw.insert(raw.end(), src + x * 4, src + x * 4 + 3);
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  constexpr size_t kStoredMost = 65535;
  size_t pos = 0;
  do {
    const size_t n = std::min(kStoredMost, raw.size() - pos);
    const bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  PutBe32(z, Adler32(raw));
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}
