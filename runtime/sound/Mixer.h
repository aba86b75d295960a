// The sound mixer: static sound buffers with volume, pan, play-once, stop, rewind and a playing status,
// summed into the 16-bit stereo stream the platform pulls from its audio thread.
// The mixer does no locking of its own: whoever changes its state from the game thread holds the
// platform's audio lock while doing so (Sound.cpp does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/sound/Wav.h"

// Interleaved 16-bit stereo at the mixer's rate, shared by every buffer made from one sound.
using SampleData = std::shared_ptr<const std::vector<int16_t>>;

// Volume and pan units are hundredths of a decibel.
constexpr int kSilentUnits = -10000;  // volume at or below this is silence
constexpr int kFullPanUnits = 10000;  // pan of +-10000 silences the other side

// Gain for an attenuation in hundredths of a decibel: 10^(units / 2000); 0 at or below kSilentUnits.
double GainForUnits(int units);

// Converts a decoded sound once to the mixer's format: 16-bit stereo at `rate`, resampled linearly.
// Null when the result would be empty or longer than kMaxMixSeconds.
constexpr int kMaxMixSeconds = 600;
SampleData ConvertForMixer(const WavSound& wav, int rate);

class Mixer {
 public:
  explicit Mixer(int rate);

  int Rate() const { return rate_; }
  // Only while no sound is loaded: the device may grant another rate than the one asked for.
  void SetRate(int rate);

  // A new idle buffer at position 0, full volume, centred. Returns its id.
  int CreateBuffer(SampleData samples);
  // A second buffer over the same samples (no copy); -1 when `id` is no buffer.
  int DuplicateBuffer(int id);
  void ReleaseBuffer(int id);

  // Starts the buffer from its position, once. A playing buffer goes on playing.
  void Play(int id);
  // Stops the buffer where it is.
  void Stop(int id);
  // Moves the buffer back to its first frame.
  void Rewind(int id);
  void SetVolume(int id, int units);  // -10000..0
  void SetPan(int id, int units);     // -10000 (left only)..10000 (right only)
  bool Playing(int id) const;
  // The samples behind a buffer (null when `id` is no buffer).
  SampleData Samples(int id) const;
  // Frames played so far of the current run (0 when idle from its start).
  size_t Position(int id) const;

  // The level of the whole mix, 0 (silent) to 1 (as the buffers' own volumes say); the player's volume.
  void SetMasterGain(double gain);
  double MasterGain() const { return masterGain_; }

  // Mixes `frames` stereo frames into `out`, saturating the sum at the 16-bit limits, and moves every
  // playing buffer on by that much. A buffer that reaches its end stops and returns to its start.
  // This is the only place where playing advances.
  void Pull(int16_t* out, int frames);

 private:
  struct Voice {
    SampleData samples;
    size_t position = 0;  // next frame to play
    bool playing = false;
    bool inUse = false;
    int volume = 0;
    int pan = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
  };
  Voice* Find(int id);
  const Voice* Find(int id) const;
  static void UpdateGains(Voice& v);

  int rate_ = 0;
  float masterGain_ = 1.0f;
  std::vector<Voice> voices_;
  std::vector<float> mix_;  // Pull's sum before saturation; only the audio thread touches it
};
