// The WAV reader and the conversion to the mixer's format on hostile bytes.
//
// Properties: a refused file leaves no half sound; a read sound has a layout the mixer can play (mono or
// stereo, 8 or 16 bits, a block size that matches, a rate within the limits) and whole frames only, and
// its samples are the bytes of the file's data chunk, found here by a plain walk of the chunks; the
// conversion keeps the sound's length at the new rate, and every converted sample lies between the
// smallest and largest sample of its channel (linear resampling never overshoots).
#include <algorithm>
#include <cstring>

#include "fuzz/FuzzCheck.h"
#include "runtime/sound/Mixer.h"
#include "runtime/sound/Wav.h"

namespace {

uint32_t U32At(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Where the samples start: after the 36-byte head (and 14 bytes more for a longer format chunk), an
// optional "fact" chunk and the "data" chunk header. Only called for files the reader accepted.
size_t DataStart(const uint8_t* data) {
  size_t pos = 36 + (U32At(data + 16) != 16 ? 14 : 0);
  if (std::memcmp(data + pos, "fact", 4) == 0) pos += 8 + U32At(data + pos + 4);
  return pos + 8;
}

// One channel's sample of frame i, widened to 16 bits as the mixer does.
int32_t Sample(const WavSound& wav, size_t frame, int channel) {
  const uint8_t* p = wav.data.data() + frame * static_cast<size_t>(wav.blockAlign);
  if (wav.bitsPerSample == 8) return (static_cast<int32_t>(p[channel]) - 128) * 256;
  return static_cast<int16_t>(static_cast<uint16_t>(p[2 * channel] | p[2 * channel + 1] << 8));
}

void CheckConversion(const WavSound& wav, int rate) {
  const uint64_t frames = wav.Frames();
  const uint64_t expected = std::max<uint64_t>(1, (frames * rate + wav.sampleRate / 2) / wav.sampleRate);
  // Long results cost time without reaching new code; the rules are checked on the short ones.
  if (expected > (uint64_t{1} << 12)) return;
  const SampleData out = ConvertForMixer(wav, rate);
  FUZZ_CHECK(out != nullptr);
  FUZZ_CHECK(out->size() == expected * 2);
  for (int channel = 0; channel < 2; ++channel) {
    const int source = wav.channels == 2 ? channel : 0;
    int32_t low = INT32_MAX, high = INT32_MIN;
    for (size_t i = 0; i < frames; ++i) {
      low = std::min(low, Sample(wav, i, source));
      high = std::max(high, Sample(wav, i, source));
    }
    for (size_t i = channel; i < out->size(); i += 2) FUZZ_CHECK((*out)[i] >= low && (*out)[i] <= high);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WavSound wav;
  wav.channels = 2;
  wav.data.assign(4, 9);
  if (!DecodeWav(data, size, wav)) {
    FUZZ_CHECK(wav.channels == 0 && wav.sampleRate == 0 && wav.bitsPerSample == 0 && wav.blockAlign == 0);
    FUZZ_CHECK(wav.data.empty());
    return 0;
  }
  FUZZ_CHECK(wav.channels == 1 || wav.channels == 2);
  FUZZ_CHECK(wav.bitsPerSample == 8 || wav.bitsPerSample == 16);
  FUZZ_CHECK(wav.blockAlign == wav.channels * wav.bitsPerSample / 8);
  FUZZ_CHECK(wav.sampleRate >= static_cast<int>(kMinWavRate) &&
             wav.sampleRate <= static_cast<int>(kMaxWavRate));
  FUZZ_CHECK(!wav.data.empty() && wav.data.size() % static_cast<size_t>(wav.blockAlign) == 0);
  const size_t start = DataStart(data);
  FUZZ_CHECK(start <= size && wav.data.size() <= size - start);
  FUZZ_CHECK(std::memcmp(wav.data.data(), data + start, wav.data.size()) == 0);
  // The rate the runtime asks of the sound device.
  CheckConversion(wav, 22050);
  return 0;
}
