// WAV reader: the chunk layouts our sound files come in, hostile headers, and the generated game sounds.
#include "runtime/sound/Wav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using testing_support::TempDir;

void PutU16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}
void PutId(std::vector<uint8_t>& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

// The fixed 36-byte head: RIFF header, format chunk header and the 16 format bytes.
std::vector<uint8_t> Head(uint32_t formatSize, uint32_t channels, uint32_t rate, uint32_t bits,
                          uint32_t blockAlign) {
  std::vector<uint8_t> b;
  PutId(b, "RIFF");
  PutU32(b, 0);
  PutId(b, "WAVE");
  PutId(b, "fmt ");
  PutU32(b, formatSize);
  PutU16(b, 1);
  PutU16(b, channels);
  PutU32(b, rate);
  PutU32(b, rate * blockAlign);
  PutU16(b, blockAlign);
  PutU16(b, bits);
  return b;
}

void PutChunk(std::vector<uint8_t>& b, const char* id, const std::vector<uint8_t>& payload) {
  PutId(b, id);
  PutU32(b, static_cast<uint32_t>(payload.size()));
  b.insert(b.end(), payload.begin(), payload.end());
}

const std::vector<uint8_t> kSamples = {0x10, 0x00, 0xF0, 0xFF,
                                       0x00, 0x40, 0x00, 0xC0};  // 16, -16, 16384, -16384

std::vector<uint8_t> PlainMono16() {
  std::vector<uint8_t> b = Head(16, 1, 22050, 16, 2);
  PutChunk(b, "data", kSamples);
  return b;
}

TEST(Wav, ChunkLayoutsOfTheGameFiles) {
  WavSound w;
  // 16-byte format chunk directly followed by "data".
  ASSERT_TRUE(DecodeWav(PlainMono16(), w));
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.sampleRate, 22050);
  EXPECT_EQ(w.bitsPerSample, 16);
  EXPECT_EQ(w.blockAlign, 2);
  EXPECT_EQ(w.data, kSamples);
  EXPECT_EQ(w.Frames(), 4u);

  // 16-byte format, a "fact" chunk of any size, then "data".
  std::vector<uint8_t> fact = Head(16, 1, 22050, 16, 2);
  PutChunk(fact, "fact", {1, 2, 3, 4, 5, 6});
  PutChunk(fact, "data", kSamples);
  ASSERT_TRUE(DecodeWav(fact, w));
  EXPECT_EQ(w.data, kSamples);

  // 18-byte format (2-byte extra size) and a 12-byte "fact" chunk: the 14-byte skip covers both.
  std::vector<uint8_t> longFormat = Head(18, 1, 22050, 16, 2);
  PutU16(longFormat, 0);
  PutChunk(longFormat, "fact", {4, 0, 0, 0});
  PutChunk(longFormat, "data", kSamples);
  ASSERT_TRUE(DecodeWav(longFormat, w));
  EXPECT_EQ(w.data, kSamples);

  // 18-byte format directly followed by "data": the skip eats the data header, so the file is refused.
  std::vector<uint8_t> noFact = Head(18, 1, 22050, 16, 2);
  PutU16(noFact, 0);
  PutChunk(noFact, "data", std::vector<uint8_t>(64, 0));
  EXPECT_FALSE(DecodeWav(noFact, w));
  EXPECT_TRUE(w.data.empty());
}

TEST(Wav, EightBitAndStereoKeepTheirHeaderFormat) {
  WavSound w;
  std::vector<uint8_t> mono8 = Head(16, 1, 11025, 8, 1);
  PutChunk(mono8, "data", {0, 128, 255});
  ASSERT_TRUE(DecodeWav(mono8, w));
  EXPECT_EQ(w.sampleRate, 11025);
  EXPECT_EQ(w.bitsPerSample, 8);
  EXPECT_EQ(w.Frames(), 3u);

  std::vector<uint8_t> stereo = Head(16, 2, 44100, 16, 4);
  PutChunk(stereo, "data", kSamples);
  ASSERT_TRUE(DecodeWav(stereo, w));
  EXPECT_EQ(w.channels, 2);
  EXPECT_EQ(w.Frames(), 2u);

  // A trailing partial frame is dropped, not played as half a sample.
  std::vector<uint8_t> ragged = Head(16, 2, 44100, 16, 4);
  PutChunk(ragged, "data", {1, 0, 2, 0, 3, 0});
  ASSERT_TRUE(DecodeWav(ragged, w));
  EXPECT_EQ(w.data.size(), 4u);
}

TEST(Wav, HostileHeadersFailCleanly) {
  WavSound w;
  auto refused = [&](std::vector<uint8_t> bytes) { return !DecodeWav(bytes, w) && w.data.empty(); };

  // A data size beyond the end of the file.
  std::vector<uint8_t> longData = Head(16, 1, 22050, 16, 2);
  PutId(longData, "data");
  PutU32(longData, 1000);
  longData.insert(longData.end(), 10, 0);
  EXPECT_TRUE(refused(longData));
  std::vector<uint8_t> hugeData = Head(16, 1, 22050, 16, 2);
  PutId(hugeData, "data");
  PutU32(hugeData, 0xFFFFFFFF);
  hugeData.insert(hugeData.end(), 10, 0);
  EXPECT_TRUE(refused(hugeData));

  // A fact chunk running past the end, with and without wrap-around sizes.
  for (uint32_t factSize : {40u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> b = Head(16, 1, 22050, 16, 2);
    PutId(b, "fact");
    PutU32(b, factSize);
    PutChunk(b, "data", kSamples);
    EXPECT_TRUE(refused(b)) << factSize;
  }

  // Formats the mixer cannot play, or whose numbers disagree.
  std::vector<uint8_t> bad;
  bad = Head(16, 0, 22050, 16, 0), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "zero channels";
  bad = Head(16, 3, 22050, 16, 6), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "three channels";
  bad = Head(16, 1, 0, 16, 2), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "zero rate";
  bad = Head(16, 1, 0xFFFFFFFF, 16, 2), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "absurd rate";
  bad = Head(16, 1, 22050, 12, 2), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "12-bit";
  bad = Head(16, 2, 22050, 16, 2), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "block align too small";
  bad = Head(16, 1, 22050, 8, 0), PutChunk(bad, "data", kSamples);
  EXPECT_TRUE(refused(bad)) << "block align zero";
  bad = Head(16, 1, 22050, 16, 2), PutChunk(bad, "data", {});
  EXPECT_TRUE(refused(bad)) << "empty data";
  bad = Head(16, 1, 22050, 16, 2), PutChunk(bad, "LIST", kSamples);
  EXPECT_TRUE(refused(bad)) << "no data chunk";
  bad = Head(20, 1, 22050, 16, 2), bad.insert(bad.end(), 6, 0);
  EXPECT_TRUE(refused(bad)) << "long format skip past the end";
  EXPECT_TRUE(refused({}));
}

TEST(Wav, EveryTruncationAndCorruptionOfAFileIsHandled) {
  std::vector<uint8_t> good = Head(18, 2, 22050, 16, 4);
  PutU16(good, 0);
  PutChunk(good, "fact", {8, 0, 0, 0});
  PutChunk(good, "data", kSamples);
  WavSound w;
  ASSERT_TRUE(DecodeWav(good, w));
  // Every prefix is shorter than the data size says: all refused (the sanitizer build checks the reads).
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<long>(n));
    EXPECT_FALSE(DecodeWav(prefix, w)) << n;
  }
  // Any single byte set to 0xFF either still decodes to at most the file's bytes or is refused.
  for (size_t i = 0; i < good.size(); ++i) {
    std::vector<uint8_t> bent = good;
    bent[i] = 0xFF;
    if (DecodeWav(bent, w)) {
      EXPECT_LE(w.data.size(), bent.size());
    }
  }
}

TEST(Wav, ReadsFilesFromDisk) {
  TempDir dir;
  WavSound w;
  testing_support::WriteFile(dir.File("a.wav"), PlainMono16());
  EXPECT_TRUE(ReadWavFile(dir.File("a.wav"), w));
  EXPECT_EQ(w.data, kSamples);
  EXPECT_FALSE(ReadWavFile(dir.File("missing.wav"), w));
  EXPECT_FALSE(ReadWavFile(dir.path(), w)) << "a folder is no sound";
  // Neither is a FIFO or a device, and neither makes the load wait.
  testing_support::HangGuard guard(30);
  testing_support::MakeFifo(dir.File("pipe.wav"));
  EXPECT_FALSE(ReadWavFile(dir.File("pipe.wav"), w));
  EXPECT_FALSE(ReadWavFile("/dev/zero", w));
}

// The generated sound set: every file loads, is 16-bit mono 22050 Hz, does not clip, has no DC offset
// and fades out to silence.
TEST(Wav, GeneratedGameSoundsLoadAndAreClean) {
  const std::string tool = BRILLORA_BINARY_DIR "/tools/make_sounds";
  ASSERT_TRUE(testing_support::FileExists(tool)) << "build the make_sounds target first";
  TempDir dir;
  ASSERT_EQ(std::system((tool + " " + dir.path() + " >/dev/null").c_str()), 0);
  const char* names[] = {"Move",  "Suck",  "Key",  "Open",   "Exit",    "Boxes", "Click", "Explos",
                         "Crown", "Baddy", "Time", "Wobble", "NoLevel", "Flame", "Doka"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    WavSound w;
    ASSERT_TRUE(ReadWavFile(dir.File(std::string("Graphic/") + name + ".wav"), w));
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bitsPerSample, 16);
    EXPECT_EQ(w.sampleRate, 22050);
    const size_t frames = w.Frames();
    ASSERT_GT(frames, 200u);
    double sum = 0, peak = 0;
    auto at = [&](size_t i) { return static_cast<int16_t>(w.data[2 * i] | (w.data[2 * i + 1] << 8)); };
    for (size_t i = 0; i < frames; ++i) {
      sum += at(i);
      peak = std::max(peak, std::fabs(static_cast<double>(at(i))));
    }
    EXPECT_LT(peak, 32767 * 0.95) << "clipping";
    EXPECT_GT(peak, 32767 * 0.15) << "too quiet";
    EXPECT_LT(std::fabs(sum / static_cast<double>(frames)), 32767 * 0.005) << "DC offset";
    EXPECT_LE(std::abs(at(frames - 1)), 8) << "ends with a click";
    EXPECT_LE(std::abs(at(0)), 8) << "starts with a click";
    const double seconds = static_cast<double>(frames) / 22050.0;
    if (std::string(name) == "Time") {
      EXPECT_LT(seconds, 0.15);
    }
    if (std::string(name) == "Exit") {
      EXPECT_GE(seconds, 1.5);
      EXPECT_LE(seconds, 2.0);
    }
    EXPECT_LT(seconds, 2.5);
  }
  // The same program writes the same files.
  TempDir again;
  ASSERT_EQ(std::system((tool + " " + again.path() + " >/dev/null").c_str()), 0);
  for (const char* name : names) {
    const std::string rel = std::string("Graphic/") + name + ".wav";
    EXPECT_EQ(testing_support::ReadFile(dir.File(rel)), testing_support::ReadFile(again.File(rel))) << name;
  }
}

}  // namespace
