// WAV sound files: the reader that turns the bytes of a ".wav" file into plain PCM samples.
// It reads the layout the game's sound files have always had (a fixed 36-byte head, an optional "fact"
// chunk, then "data") and refuses anything whose sizes do not add up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Sound files are short effects; anything larger than this is not one of ours.
constexpr size_t kMaxWavFileBytes = size_t{64} << 20;
constexpr uint32_t kMinWavRate = 100;
constexpr uint32_t kMaxWavRate = 384000;

struct WavSound {
  int channels = 0;           // 1 (mono) or 2 (stereo, left first)
  int sampleRate = 0;         // frames per second, as the header gives it
  int bitsPerSample = 0;      // 8 (unsigned, 128 = silence) or 16 (signed little-endian)
  int blockAlign = 0;         // bytes per frame: channels x bits / 8
  std::vector<uint8_t> data;  // the samples as stored in the file, whole frames only

  size_t Frames() const { return blockAlign > 0 ? data.size() / static_cast<size_t>(blockAlign) : 0; }
};

// Decodes a whole WAV file held in memory. False (and `out` left empty) when the bytes are not a sound
// this reader can play.
bool DecodeWav(const uint8_t* bytes, size_t size, WavSound& out);
bool DecodeWav(const std::vector<uint8_t>& bytes, WavSound& out);

// Reads the file at `path` into memory (at most kMaxWavFileBytes) and decodes it.
bool ReadWavFile(const std::string& path, WavSound& out);
