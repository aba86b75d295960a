// The sound mixer: conversion of decoded sounds to the device format and the summing of playing buffers.
#include "runtime/sound/Mixer.h"

#include <algorithm>
#include <cmath>

double GainForUnits(int units) {
  if (units <= kSilentUnits) return 0.0;
  if (units >= 0) return 1.0;
  return std::pow(10.0, units / 2000.0);
}

namespace {

// One frame of the decoded file as 16-bit left/right.
void SourceFrame(const WavSound& wav, size_t i, int32_t& left, int32_t& right) {
  const uint8_t* p = wav.data.data() + i * static_cast<size_t>(wav.blockAlign);
  if (wav.bitsPerSample == 8) {
    left = (static_cast<int32_t>(p[0]) - 128) * 256;
    right = wav.channels == 2 ? (static_cast<int32_t>(p[1]) - 128) * 256 : left;
  } else {
    left = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    right = wav.channels == 2 ? static_cast<int16_t>(static_cast<uint16_t>(p[2] | (p[3] << 8))) : left;
  }
}

// a + (b - a) * num / den, rounded to nearest.
int16_t Lerp(int32_t a, int32_t b, uint64_t num, uint64_t den) {
  const int64_t scaled = static_cast<int64_t>(a) * static_cast<int64_t>(den) +
                         static_cast<int64_t>(b - a) * static_cast<int64_t>(num);
  const int64_t d = static_cast<int64_t>(den);
  const int64_t rounded = scaled >= 0 ? (scaled + d / 2) / d : -((-scaled + d / 2) / d);
  return static_cast<int16_t>(rounded);
}

}  // namespace

SampleData ConvertForMixer(const WavSound& wav, int rate) {
  const size_t inFrames = wav.Frames();
  if (inFrames == 0 || rate <= 0 || wav.sampleRate <= 0) return nullptr;
  const uint64_t src = static_cast<uint64_t>(wav.sampleRate);
  const uint64_t dst = static_cast<uint64_t>(rate);
  // Same duration at the new rate, rounded to the nearest frame.
  uint64_t outFrames = (static_cast<uint64_t>(inFrames) * dst + src / 2) / src;
  if (outFrames == 0) outFrames = 1;
  if (outFrames > static_cast<uint64_t>(kMaxMixSeconds) * dst) return nullptr;

  auto out = std::make_shared<std::vector<int16_t>>(static_cast<size_t>(outFrames) * 2);
  int16_t* o = out->data();
  if (src == dst) {
    // The device's own rate (the game's sounds are stored at it): every frame is taken as it is, with no
    // interpolation to work out.
    for (size_t i = 0; i < inFrames; ++i) {
      int32_t left = 0, right = 0;
      SourceFrame(wav, i, left, right);
      o[2 * i] = static_cast<int16_t>(left);
      o[2 * i + 1] = static_cast<int16_t>(right);
    }
    return out;
  }
  for (uint64_t i = 0; i < outFrames; ++i) {
    // Output frame i sits at source position i * src / dst.
    const uint64_t num = i * src;
    const size_t i0 = std::min(static_cast<size_t>(num / dst), inFrames - 1);
    const size_t i1 = std::min(i0 + 1, inFrames - 1);
    const uint64_t frac = num / dst >= inFrames ? 0 : num % dst;
    int32_t l0 = 0, r0 = 0, l1 = 0, r1 = 0;
    SourceFrame(wav, i0, l0, r0);
    SourceFrame(wav, i1, l1, r1);
    o[2 * i] = Lerp(l0, l1, frac, dst);
    o[2 * i + 1] = Lerp(r0, r1, frac, dst);
  }
  return out;
}

Mixer::Mixer(int rate) : rate_(rate) {}

void Mixer::SetRate(int rate) {
  rate_ = rate;
}

Mixer::Voice* Mixer::Find(int id) {
  if (id < 0 || static_cast<size_t>(id) >= voices_.size() || !voices_[id].inUse) return nullptr;
  return &voices_[id];
}

const Mixer::Voice* Mixer::Find(int id) const {
  if (id < 0 || static_cast<size_t>(id) >= voices_.size() || !voices_[id].inUse) return nullptr;
  return &voices_[id];
}

int Mixer::CreateBuffer(SampleData samples) {
  Voice fresh;
  fresh.samples = std::move(samples);
  fresh.inUse = true;
  for (size_t i = 0; i < voices_.size(); ++i) {
    if (!voices_[i].inUse) {
      voices_[i] = std::move(fresh);
      return static_cast<int>(i);
    }
  }
  voices_.push_back(std::move(fresh));
  return static_cast<int>(voices_.size() - 1);
}

int Mixer::DuplicateBuffer(int id) {
  const Voice* v = Find(id);
  if (!v) return -1;
  SampleData shared = v->samples;  // copied before the table may grow
  return CreateBuffer(std::move(shared));
}

void Mixer::ReleaseBuffer(int id) {
  if (Voice* v = Find(id)) *v = Voice{};
}

void Mixer::Play(int id) {
  if (Voice* v = Find(id)) v->playing = v->samples && !v->samples->empty();
}

void Mixer::Stop(int id) {
  if (Voice* v = Find(id)) v->playing = false;
}

void Mixer::Rewind(int id) {
  if (Voice* v = Find(id)) v->position = 0;
}

void Mixer::UpdateGains(Voice& v) {
  const double volume = GainForUnits(v.volume);
  // Pan attenuates only the side away from which it points, by as many hundredths of a decibel.
  const double left = v.pan > 0 ? GainForUnits(-v.pan) : 1.0;
  const double right = v.pan < 0 ? GainForUnits(v.pan) : 1.0;
  v.gainLeft = static_cast<float>(volume * left);
  v.gainRight = static_cast<float>(volume * right);
}

void Mixer::SetVolume(int id, int units) {
  if (Voice* v = Find(id)) {
    v->volume = std::clamp(units, kSilentUnits, 0);
    UpdateGains(*v);
  }
}

void Mixer::SetPan(int id, int units) {
  if (Voice* v = Find(id)) {
    v->pan = std::clamp(units, -kFullPanUnits, kFullPanUnits);
    UpdateGains(*v);
  }
}

bool Mixer::Playing(int id) const {
  const Voice* v = Find(id);
  return v && v->playing;
}

SampleData Mixer::Samples(int id) const {
  const Voice* v = Find(id);
  return v ? v->samples : nullptr;
}

size_t Mixer::Position(int id) const {
  const Voice* v = Find(id);
  return v ? v->position : 0;
}

void Mixer::SetMasterGain(double gain) {
  masterGain_ = static_cast<float>(std::isnan(gain) ? 0.0 : std::clamp(gain, 0.0, 1.0));
}

void Mixer::Pull(int16_t* out, int frames) {
  if (!out || frames <= 0) return;
  const size_t n = static_cast<size_t>(frames);
  mix_.assign(n * 2, 0.0f);
  bool sounding = false;
  for (Voice& v : voices_) {
    if (!v.inUse || !v.playing) continue;
    sounding = true;
    const std::vector<int16_t>& s = *v.samples;
    const size_t length = s.size() / 2;
    const size_t count = std::min(n, length - std::min(v.position, length));
    const int16_t* src = s.data() + v.position * 2;
    for (size_t i = 0; i < count; ++i) {
      mix_[2 * i] += static_cast<float>(src[2 * i]) * v.gainLeft;
      mix_[2 * i + 1] += static_cast<float>(src[2 * i + 1]) * v.gainRight;
    }
    v.position += count;
    if (v.position >= length) {
      // A play-once buffer that reaches its end stops and is ready to start again from the beginning.
      v.playing = false;
      v.position = 0;
    }
  }
  // Silence needs no rounding and clipping.
  if (!sounding) {
    std::fill(out, out + n * 2, int16_t{0});
    return;
  }
  for (size_t i = 0; i < n * 2; ++i) {
    const float x = std::nearbyint(mix_[i] * masterGain_);
    out[i] = x >= 32767.0f ? int16_t{32767} : x <= -32768.0f ? int16_t{-32768} : static_cast<int16_t>(x);
  }
}
