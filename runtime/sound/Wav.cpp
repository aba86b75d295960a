// WAV sound files: header walk and every length check happen here, over bytes already in memory.
#include "runtime/sound/Wav.h"

#include <cstring>

#include "runtime/core/RegularFile.h"

namespace {

uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Fixed head of every file: RIFF header (12 bytes), a chunk header (8) and 16 bytes of format.
constexpr size_t kHeadBytes = 36;
// Files whose format chunk is not 16 bytes long carry 14 bytes more before the next chunk header
// (the 2-byte extra-size field and the 12-byte "fact" chunk that goes with it).
constexpr size_t kLongFormatSkip = 14;
constexpr size_t kChunkHeaderBytes = 8;

}  // namespace

bool DecodeWav(const uint8_t* bytes, size_t size, WavSound& out) {
  out = WavSound{};
  if (!bytes || size < kHeadBytes || size > kMaxWavFileBytes) return false;

  // The ids of the head are not compared: the chunk after the RIFF header is taken as the format.
  const uint32_t formatSize = ReadU32(bytes + 16);
  const uint16_t channels = ReadU16(bytes + 22);
  const uint32_t rate = ReadU32(bytes + 24);
  const uint16_t blockAlign = ReadU16(bytes + 32);
  const uint16_t bits = ReadU16(bytes + 34);
  // The format tag (bytes 20..21) is ignored: whatever the file says, the samples are played as PCM.

  if (channels != 1 && channels != 2) return false;
  if (bits != 8 && bits != 16) return false;
  if (blockAlign != channels * bits / 8) return false;
  if (rate < kMinWavRate || rate > kMaxWavRate) return false;

  size_t pos = kHeadBytes;
  if (formatSize != 16) {
    if (size - pos < kLongFormatSkip) return false;
    pos += kLongFormatSkip;
  }

  if (size - pos < kChunkHeaderBytes) return false;
  const uint8_t* id = bytes + pos;
  uint32_t chunkSize = ReadU32(bytes + pos + 4);
  pos += kChunkHeaderBytes;
  if (std::memcmp(id, "fact", 4) == 0) {
    if (chunkSize > size - pos) return false;
    pos += chunkSize;
    if (size - pos < kChunkHeaderBytes) return false;
    id = bytes + pos;
    chunkSize = ReadU32(bytes + pos + 4);
    pos += kChunkHeaderBytes;
  }
  if (std::memcmp(id, "data", 4) != 0) return false;

  // A data size that runs past the end of the file is a broken file, not a shorter sound.
  if (chunkSize > size - pos) return false;
  // A trailing partial frame cannot be played; a sound without one whole frame is no sound.
  const size_t usable = chunkSize - chunkSize % blockAlign;
  if (usable == 0) return false;

  out.channels = channels;
  out.sampleRate = static_cast<int>(rate);
  out.bitsPerSample = bits;
  out.blockAlign = blockAlign;
  out.data.assign(bytes + pos, bytes + pos + usable);
  return true;
}

bool DecodeWav(const std::vector<uint8_t>& bytes, WavSound& out) {
  return DecodeWav(bytes.data(), bytes.size(), out);
}

bool ReadWavFile(const std::string& path, WavSound& out) {
  out = WavSound{};
  std::vector<uint8_t> bytes;
  return ReadRegularFile(path, kMaxWavFileBytes, bytes) && DecodeWav(bytes, out);
}
