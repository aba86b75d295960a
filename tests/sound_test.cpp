// Sound effects: the mixer's sums, volume and pan, resampling, and the slot operations the game uses,
// driven through a stand-in platform whose audio pull the test calls itself.
#include "runtime/sound/Sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/core/RuntimeContext.h"
#include "runtime/platform/Platform.h"
#include "runtime/sound/Mixer.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::TempDir;

// A platform with nothing but an audio device: it keeps the pull function for the test to call.
class FakeAudioPlatform : public plat::Platform {
 public:
  bool openSucceeds = true;
  int grantedRate = 0;  // 0: the rate asked for
  plat::AudioPull pull;
  int rate = 0;
  int lockDepth = 0;
  int locks = 0;
  bool closed = false;

  bool Headless() const override { return true; }
  bool HasGl() const override { return false; }
  bool OpenWindow(int, int, const std::string&) override { return false; }
  void SetCaption(const std::string&) override {}
  bool SetFullScreen(bool) override { return false; }
  bool FullScreen() const override { return false; }
  void ShowWindow(bool) override {}
  void CloseWindow() override {}
  int PictureWidth() const override { return 0; }
  int PictureHeight() const override { return 0; }
  void BindPicture() override {}
  void Present() override {}
  plat::WindowEvents PumpEvents() override { return {}; }
  double NowMs() override { return 0; }
  void SleepMs(double) override {}
  void IdleToward(double) override {}
  void ReadKeyboard(uint8_t state[256]) override { std::fill(state, state + 256, 0); }
  void ReadMouse(int& dx, int& dy, bool& left, bool& right) override { dx = dy = 0, left = right = false; }
  bool OpenAudio(int r, plat::AudioPull p) override {
    if (!openSucceeds) return false;
    rate = grantedRate ? grantedRate : r;
    pull = std::move(p);
    return true;
  }
  int AudioRate() const override { return rate; }
  void LockAudio() override { ++lockDepth, ++locks; }
  void UnlockAudio() override { --lockDepth; }
  void CloseAudio() override { closed = true, pull = nullptr; }
  bool ReadPicture(std::vector<uint8_t>&) override { return false; }

  // Pulls `frames` stereo frames as the audio thread would.
  std::vector<int16_t> Pull(int frames) {
    EXPECT_EQ(lockDepth, 0) << "the audio lock is still held";
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2, 12345);
    if (pull) pull(out.data(), frames);
    return out;
  }
};

// A 16-bit mono WAV of `frames` samples all of value `value` (the first and last may differ).
std::vector<uint8_t> ConstantWav(int frames, int16_t value, uint32_t rate = 22050) {
  std::vector<uint8_t> b;
  auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  auto id = [&](const char* s) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(s[i]));
  };
  id("RIFF"), u32(36 + frames * 2), id("WAVE"), id("fmt "), u32(16);
  u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
  id("data"), u32(static_cast<uint32_t>(frames * 2));
  for (int i = 0; i < frames; ++i) u16(static_cast<uint16_t>(value));
  return b;
}

WavSound Mono16(std::vector<int16_t> samples, int rate) {
  WavSound w;
  w.channels = 1, w.sampleRate = rate, w.bitsPerSample = 16, w.blockAlign = 2;
  for (int16_t s : samples) w.data.push_back(uint8_t(s)), w.data.push_back(uint8_t(uint16_t(s) >> 8));
  return w;
}

TEST(Mixer, ConversionResamplesLinearlyAndKeepsDuration) {
  const WavSound ramp = Mono16({0, 1000, 2000, 3000}, 11025);
  SampleData up = ConvertForMixer(ramp, 22050);
  ASSERT_TRUE(up);
  // Twice the frames, the new ones halfway between their neighbours, both channels alike.
  const std::vector<int16_t> expect = {0,    0,    500,  500,  1000, 1000, 1500, 1500,
                                       2000, 2000, 2500, 2500, 3000, 3000, 3000, 3000};
  EXPECT_EQ(*up, expect);
  EXPECT_EQ(*ConvertForMixer(ramp, 11025), (std::vector<int16_t>{0, 0, 1000, 1000, 2000, 2000, 3000, 3000}));

  // Durations survive odd ratios: one second stays one second.
  for (int rate : {8000, 11025, 16000, 44100, 48000}) {
    const WavSound second = Mono16(std::vector<int16_t>(static_cast<size_t>(rate), 7), rate);
    EXPECT_EQ(ConvertForMixer(second, 22050)->size(), 22050u * 2) << rate;
  }

  // 8-bit unsigned: 128 is silence, 0 the lowest, 255 the highest.
  WavSound eight;
  eight.channels = 2, eight.sampleRate = 22050, eight.bitsPerSample = 8, eight.blockAlign = 2;
  eight.data = {128, 0, 255, 128};
  EXPECT_EQ(*ConvertForMixer(eight, 22050), (std::vector<int16_t>{0, -32768, 32512, 0}));

  // At the mixer's own rate 16-bit samples pass unchanged, both channels and the extremes kept.
  WavSound stereo;
  stereo.channels = 2, stereo.sampleRate = 22050, stereo.bitsPerSample = 16, stereo.blockAlign = 4;
  stereo.data = {0x00, 0x80, 0xFF, 0x7F, 0xFF, 0xFF, 0x01, 0x00};
  EXPECT_EQ(*ConvertForMixer(stereo, 22050), (std::vector<int16_t>{-32768, 32767, -1, 1}));
}

TEST(Mixer, OverlappingBuffersSumAndSaturate) {
  Mixer mixer(22050);
  const int a = mixer.CreateBuffer(ConvertForMixer(Mono16(std::vector<int16_t>(100, 1000), 22050), 22050));
  const int b = mixer.DuplicateBuffer(a);
  ASSERT_GE(b, 0);
  mixer.Play(a);
  std::vector<int16_t> out(2 * 40);
  mixer.Pull(out.data(), 40);
  EXPECT_EQ(out[0], 1000);
  mixer.Play(b);
  mixer.Pull(out.data(), 40);
  EXPECT_EQ(out[0], 2000);
  EXPECT_EQ(out[79], 2000);
  // a runs out after 20 more frames, b goes on alone, then silence.
  mixer.Pull(out.data(), 40);
  EXPECT_EQ(out[2 * 19], 2000);
  EXPECT_EQ(out[2 * 20], 1000);
  EXPECT_FALSE(mixer.Playing(a));
  EXPECT_TRUE(mixer.Playing(b));
  mixer.Pull(out.data(), 40);
  EXPECT_EQ(out[2 * 19], 1000);
  EXPECT_EQ(out[2 * 20], 0);
  EXPECT_FALSE(mixer.Playing(b));

  const int loud = mixer.CreateBuffer(ConvertForMixer(Mono16(std::vector<int16_t>(10, 30000), 22050), 22050));
  const int low = mixer.CreateBuffer(ConvertForMixer(Mono16(std::vector<int16_t>(10, -30000), 22050), 22050));
  const int loud2 = mixer.DuplicateBuffer(loud);
  mixer.Play(loud), mixer.Play(loud2);
  mixer.Pull(out.data(), 1);
  EXPECT_EQ(out[0], 32767);
  mixer.Stop(loud), mixer.Stop(loud2);
  mixer.Play(low), mixer.Play(mixer.DuplicateBuffer(low));
  mixer.Pull(out.data(), 1);
  EXPECT_EQ(out[0], -32768);
}

TEST(Mixer, VolumeAndPanAreLinearInDecibels) {
  EXPECT_DOUBLE_EQ(GainForUnits(0), 1.0);
  EXPECT_NEAR(GainForUnits(-2000), 0.1, 1e-12);
  EXPECT_NEAR(GainForUnits(-5000), std::pow(10.0, -2.5), 1e-12);
  EXPECT_EQ(GainForUnits(-10000), 0.0);

  Mixer mixer(22050);
  const int id = mixer.CreateBuffer(ConvertForMixer(Mono16(std::vector<int16_t>(100, 20000), 22050), 22050));
  std::vector<int16_t> out(2);
  auto first = [&](int volume, int pan) {
    mixer.Stop(id), mixer.Rewind(id);
    mixer.SetVolume(id, volume), mixer.SetPan(id, pan), mixer.Play(id);
    mixer.Pull(out.data(), 1);
    return std::make_pair(out[0], out[1]);
  };
  EXPECT_EQ(first(0, 0), std::make_pair(int16_t{20000}, int16_t{20000}));
  EXPECT_EQ(first(-5000, 0), std::make_pair(int16_t{63}, int16_t{63}));  // 20000 x 10^-2.5 = 63.2
  EXPECT_EQ(first(-10000, 0), std::make_pair(int16_t{0}, int16_t{0}));
  EXPECT_EQ(first(0, 10000), std::make_pair(int16_t{0}, int16_t{20000}));
  EXPECT_EQ(first(0, -10000), std::make_pair(int16_t{20000}, int16_t{0}));
  EXPECT_EQ(first(0, 2000), std::make_pair(int16_t{2000}, int16_t{20000}));
  EXPECT_EQ(first(-2000, -2000), std::make_pair(int16_t{2000}, int16_t{200}));
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRuntimeContext();
    auto platform = std::make_unique<FakeAudioPlatform>();
    fake = platform.get();
    Rt().platform = std::move(platform);
  }
  void TearDown() override {
    SoundShutdown();
    if (fake) {
      EXPECT_EQ(fake->lockDepth, 0);
    }
    ResetRuntimeContext();
  }
  // Writes a constant 16-bit mono sound of `frames` frames and returns its path.
  std::string Sound(const std::string& name, int frames, int16_t value = 1000, uint32_t rate = 22050) {
    const std::string path = dir.File(name);
    testing_support::WriteFile(path, ConstantWav(frames, value, rate));
    return path;
  }
  const SoundSlot& Slot(int n) { return Rt().sound->slots[n]; }

  TempDir dir;
  FakeAudioPlatform* fake = nullptr;
};

TEST_F(SoundTest, StartupOpensTheDeviceAndShutdownClosesIt) {
  SoundStartup();
  ASSERT_NE(Rt().sound, nullptr);
  EXPECT_EQ(fake->rate, 22050);
  EXPECT_TRUE(fake->pull);
  ASSERT_EQ(LoadSound(Sound("a.wav", 100), 1, 2), 1);
  PlaySound(1, 0, 1);
  SoundShutdown();
  EXPECT_EQ(Rt().sound, nullptr);
  EXPECT_TRUE(fake->closed);
  EXPECT_GT(fake->locks, 0);
}

// What the game sees of a runtime without sound output: nothing loads, nothing plays, nothing crashes.
void ExpectSilent(const std::string& path) {
  EXPECT_EQ(LoadSound(path, 1, 1), 0);
  if (Rt().sound) {
    EXPECT_EQ(Rt().sound->slots[1].bufferCount, 0);
  }
  EXPECT_EQ(PlaySound(1, 0, 1), -1);
  EXPECT_EQ(SoundPlaying(256), 0);
  StopAllSounds();
}

TEST_F(SoundTest, WithoutADeviceEverythingIsSilent) {
  const std::string path = Sound("a.wav", 100);
  {
    SCOPED_TRACE("no device record");
    ExpectSilent(path);
  }
  {
    SCOPED_TRACE("the audio device refuses to open");
    fake->openSucceeds = false;
    SoundStartup();
    ExpectSilent(path);
    SoundShutdown();
  }
  {
    SCOPED_TRACE("no platform");
    Rt().platform.reset();
    fake = nullptr;
    SoundStartup();
    ExpectSilent(path);
  }
}

TEST_F(SoundTest, LoadClampsSlotsAndBuffers) {
  SoundStartup();
  const std::string path = Sound("a.wav", 100);
  EXPECT_EQ(LoadSound(path, 3, 0), 1);
  EXPECT_EQ(Slot(3).bufferCount, 1);
  EXPECT_EQ(LoadSound(path, 3, 7), 1);
  EXPECT_EQ(Slot(3).bufferCount, 4);
  EXPECT_EQ(LoadSound(path, 4.9, 2.9), 1);
  EXPECT_EQ(Slot(4).bufferCount, 2);
  EXPECT_EQ(LoadSound(path, 200, 1), 1);
  EXPECT_EQ(Slot(127).bufferCount, 1);
  EXPECT_EQ(Slot(128).bufferCount, 0);
  EXPECT_EQ(LoadSound(path, -1, 1), 0);
  EXPECT_EQ(LoadSound(dir.File("missing.wav"), 5, 1), 0);
  EXPECT_EQ(Slot(5).bufferCount, 0);
  EXPECT_EQ(PlaySound(5, 0, 1), -1);
  // The duplicates share buffer 0's samples: one copy of the sound for all four, all playing at once.
  EXPECT_EQ(LoadSound(path, 6, 4), 1);
  const Mixer& mixer = *Rt().sound->mixer;
  ASSERT_TRUE(mixer.Samples(Slot(6).buffers[0]));
  for (int i = 1; i < 4; ++i) EXPECT_EQ(mixer.Samples(Slot(6).buffers[i]), mixer.Samples(Slot(6).buffers[0]));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(PlaySound(6, 0, 1), 6 * 256 + i);
  EXPECT_EQ(fake->Pull(1)[0], 4000);
}

TEST_F(SoundTest, EmptyPathReleasesTheSlot) {
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 1000), 2, 2), 1);
  ASSERT_EQ(PlaySound(2, 0, 1), 512);
  EXPECT_EQ(LoadSound("", 2, 1), 0);
  EXPECT_EQ(Slot(2).bufferCount, 0);
  EXPECT_EQ(SoundPlaying(512), 0);
  EXPECT_EQ(PlaySound(2, 0, 1), -1);
  EXPECT_EQ(fake->Pull(10)[0], 0) << "the released sound is no longer heard";
}

TEST_F(SoundTest, TwoBufferSlotPlaysZeroOneThenRestartsZero) {
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 1000), 5, 2), 1);
  Mixer& mixer = *Rt().sound->mixer;
  const int b0 = Slot(5).buffers[0];
  EXPECT_EQ(PlaySound(5, 0, 1), 1280);
  fake->Pull(100);
  EXPECT_EQ(PlaySound(5, 0, 1), 1281);
  fake->Pull(100);
  EXPECT_EQ(SoundPlaying(1280), 1);
  EXPECT_EQ(SoundPlaying(1281), 1);
  EXPECT_EQ(mixer.Position(b0), 200u);
  EXPECT_EQ(PlaySound(5, 0, 1), 1280);
  EXPECT_EQ(mixer.Position(b0), 0u) << "buffer 0 starts over";
  EXPECT_EQ(SoundPlaying(1280), 1);
  // Buffer 1 ends first; buffer 0 is then still busy, so the next play takes buffer 1 again.
  fake->Pull(900);
  EXPECT_EQ(SoundPlaying(1281), 0);
  EXPECT_EQ(SoundPlaying(1280), 1);
  EXPECT_EQ(PlaySound(5, 0, 1), 1281);
}

TEST_F(SoundTest, BusyOneBufferSlotRefusesAndKeepsPlaying) {
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 1000), 1, 1), 1);
  EXPECT_EQ(PlaySound(1, 0, 1), 256);
  fake->Pull(300);
  EXPECT_EQ(PlaySound(1, 0, 1), -1);
  EXPECT_EQ(Rt().sound->mixer->Position(Slot(1).buffers[0]), 300u) << "the running sound is not restarted";
  fake->Pull(700);
  EXPECT_EQ(PlaySound(1, 0, 1), 256) << "an idle buffer is used again";
}

TEST_F(SoundTest, PlayingEndsExactlyWhenTheLastFrameIsPulled) {
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 500), 1, 1), 1);
  const double channel = PlaySound(1, 0, 1);
  EXPECT_EQ(SoundPlaying(channel), 1);
  fake->Pull(499);
  EXPECT_EQ(SoundPlaying(channel), 1);
  std::vector<int16_t> last = fake->Pull(2);
  EXPECT_EQ(SoundPlaying(channel), 0);
  EXPECT_EQ(last[0], 1000);
  EXPECT_EQ(last[2], 0);
}

TEST_F(SoundTest, EightBitMonoPlaysAtItsHeaderRate) {
  SoundStartup();
  // 100 frames at 11025 Hz: 200 frames at the device's 22050 Hz, the same sample on both sides.
  std::vector<uint8_t> b = ConstantWav(0, 0, 11025);
  b[22] = 1, b[32] = 1, b[34] = 8;  // mono, block align 1, 8 bits
  b[40] = 100;                      // data size
  b.insert(b.end(), 100, 192);      // (192 - 128) x 256 = 16384
  testing_support::WriteFile(dir.File("e.wav"), b);
  ASSERT_EQ(LoadSound(dir.File("e.wav"), 1, 1), 1);
  const double channel = PlaySound(1, 0, 1);
  std::vector<int16_t> out = fake->Pull(199);
  EXPECT_EQ(out[0], 16384);
  EXPECT_EQ(out[1], 16384);
  EXPECT_EQ(SoundPlaying(channel), 1);
  fake->Pull(1);
  EXPECT_EQ(SoundPlaying(channel), 0);
}

TEST_F(SoundTest, SoundsFollowTheRateTheDeviceGranted) {
  fake->grantedRate = 44100;
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 100), 1, 1), 1);
  const double channel = PlaySound(1, 0, 1);
  fake->Pull(199);
  EXPECT_EQ(SoundPlaying(channel), 1);
  fake->Pull(1);
  EXPECT_EQ(SoundPlaying(channel), 0);
}

TEST_F(SoundTest, VolumeAndPanAreClampedIntoUnits) {
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 1000, 20000), 1, 1), 1);
  auto play = [&](double pan, double volume) {
    StopAllSounds();
    EXPECT_GE(PlaySound(1, pan, volume), 0);
    std::vector<int16_t> out = fake->Pull(1);
    return std::make_pair(out[0], out[1]);
  };
  EXPECT_EQ(play(0, 2), std::make_pair(int16_t{20000}, int16_t{20000}));
  EXPECT_EQ(play(0, 0.5), std::make_pair(int16_t{63}, int16_t{63}));
  EXPECT_EQ(play(0, -1), std::make_pair(int16_t{0}, int16_t{0}));
  EXPECT_EQ(play(0.5, 1), std::make_pair(int16_t{63}, int16_t{20000}));
  EXPECT_EQ(play(-3, 1), std::make_pair(int16_t{20000}, int16_t{0}));
  EXPECT_EQ(play(1, 1), std::make_pair(int16_t{0}, int16_t{20000}));
}

TEST_F(SoundTest, HandlesAndTheirLimits) {
  SoundStartup();
  const std::string path = Sound("a.wav", 1000);
  ASSERT_EQ(LoadSound(path, 200, 2), 1);
  EXPECT_EQ(PlaySound(200, 0, 1), 127 * 256);
  EXPECT_EQ(PlaySound(127, 0, 1), 127 * 256 + 1);
  EXPECT_EQ(PlaySound(-1, 0, 1), -1);
  EXPECT_EQ(SoundPlaying(127 * 256 + 1), 1);
  EXPECT_EQ(SoundPlaying(127 * 256 + 2), 0) << "index beyond the slot's buffers";
  EXPECT_EQ(SoundPlaying(-1), 0);
  EXPECT_EQ(SoundPlaying(256 * 256 + 1), 0) << "slot part above 255";
  EXPECT_EQ(SoundPlaying(1e300), 0);
  EXPECT_EQ(SoundPlaying(std::nan("")), 0);
  EXPECT_EQ(PlaySound(std::nan(""), std::nan(""), std::nan("")), -1) << "slot 0 is empty";
}

TEST_F(SoundTest, StopAllSoundsStopsAndRewinds) {
  SoundStartup();
  ASSERT_EQ(LoadSound(Sound("a.wav", 1000), 1, 2), 1);
  ASSERT_EQ(LoadSound(Sound("b.wav", 1000), 2, 1), 1);
  PlaySound(1, 0, 1), PlaySound(1, 0, 1), PlaySound(2, 0, 1);
  fake->Pull(50);
  StopAllSounds();
  EXPECT_EQ(SoundPlaying(256) + SoundPlaying(257) + SoundPlaying(512), 0);
  EXPECT_EQ(Rt().sound->mixer->Position(Slot(1).buffers[1]), 0u);
  EXPECT_EQ(fake->Pull(1)[0], 0);
  EXPECT_EQ(PlaySound(1, 0, 1), 257) << "nextIndex is kept";
}

}  // namespace
