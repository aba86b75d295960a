// Sound effects: the sound slots over the mixer, and the device's start-up and shutdown.
#include "runtime/sound/Sound.h"

#include <algorithm>
#include <cmath>

#include "runtime/core/Archive.h"
#include "runtime/core/NumberTrunc.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/platform/Platform.h"

namespace {

double ClampNumber(double v, double lo, double hi) {
  if (std::isnan(v)) return 0.0;
  return v < lo ? lo : v > hi ? hi : v;
}

// The mixer is read by the audio thread; every change from the game thread happens under this lock.
class AudioLock {
 public:
  explicit AudioLock(SoundDevice* device) : platform_(device ? device->platform : nullptr) {
    if (platform_) platform_->LockAudio();
  }
  ~AudioLock() {
    if (platform_) platform_->UnlockAudio();
  }
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;

 private:
  plat::Platform* platform_;
};

// The device that can actually make sound, or null.
SoundDevice* LiveDevice() {
  SoundDevice* d = Rt().sound;
  return d && d->mixer ? d : nullptr;
}

void StopAndRewind(Mixer& mixer, const SoundSlot& s) {
  for (int i = 0; i < s.bufferCount; ++i) {
    mixer.Stop(s.buffers[i]);
    mixer.Rewind(s.buffers[i]);
  }
}

// Stops, rewinds and releases every buffer of the slot; the caller holds the audio lock.
void EmptySlot(SoundDevice& device, SoundSlot& s) {
  if (device.mixer) {
    StopAndRewind(*device.mixer, s);
    for (int& id : s.buffers) {
      device.mixer->ReleaseBuffer(id);
      id = -1;
    }
  }
  for (int& id : s.buffers) id = -1;
  s.bufferCount = 0;
  s.nextIndex = 0;
}

}  // namespace

void SoundStartup() {
  if (Rt().sound) SoundShutdown();
  auto* device = new SoundDevice();
  Rt().sound = device;
  plat::Platform* platform = Rt().platform.get();
  if (!platform) return;
  // The mixer exists before the device opens: the audio thread may pull at once.
  device->mixer = std::make_unique<Mixer>(kSoundRate);
  Mixer* mixer = device->mixer.get();
  if (!platform->OpenAudio(kSoundRate, [mixer](int16_t* out, int frames) { mixer->Pull(out, frames); })) {
    device->mixer.reset();
    return;
  }
  device->platform = platform;
  // Sounds are converted to whatever rate the device granted.
  const int granted = platform->AudioRate();
  if (granted > 0 && granted != kSoundRate) {
    AudioLock lock(device);
    mixer->SetRate(granted);
  }
}

void SoundWindowChange() {}

void SoundShutdown() {
  SoundDevice* device = Rt().sound;
  if (!device) return;
  {
    AudioLock lock(device);
    for (SoundSlot& s : device->slots) EmptySlot(*device, s);
  }
  if (device->platform) device->platform->CloseAudio();
  delete device;
  Rt().sound = nullptr;
}

double LoadSound(const std::string& path, double slot, double buffers) {
  SoundDevice* device = Rt().sound;
  if (!device) return 0;
  const int32_t s = TruncToInt32Clamped(slot);
  // Only slots 0..127 exist for the game; a negative number names none.
  if (s < 0) return 0;
  SoundSlot& target = device->slots[s > kMaxSoundSlot ? kMaxSoundSlot : s];

  std::vector<uint8_t> file;
  const bool found = !path.empty() && ReadMedia(path, file);
  {
    AudioLock lock(device);
    EmptySlot(*device, target);
    target.device = device;
  }
  int32_t n = TruncToInt32Clamped(buffers);
  n = n < 1 ? 1 : n > kMaxSoundBuffers ? kMaxSoundBuffers : n;
  if (!device->mixer || path.empty()) return 0;

  // Decoding and conversion happen outside the lock; the audio thread keeps playing meanwhile.
  target.path = path;
  WavSound wav;
  SampleData samples = found && file.size() <= kMaxWavFileBytes && DecodeWav(file, wav)
                           ? ConvertForMixer(wav, device->mixer->Rate())
                           : nullptr;
  target.path.clear();
  if (!samples) return 0;

  AudioLock lock(device);
  target.buffers[0] = device->mixer->CreateBuffer(std::move(samples));
  for (int i = 1; i < n; ++i) target.buffers[i] = device->mixer->DuplicateBuffer(target.buffers[0]);
  target.bufferCount = n;
  return 1;
}

double PlaySound(double slot, double pan, double volume) {
  SoundDevice* device = LiveDevice();
  int32_t s = TruncToInt32Clamped(slot);
  if (s > kMaxSoundSlot) s = kMaxSoundSlot;
  if (s < 0 || !device) return -1;
  const int panUnits = static_cast<int>(ClampNumber(pan, -1.0, 1.0) * 10000.0);
  const int volumeUnits = static_cast<int>(ClampNumber(volume * 100.0, 0.0, 100.0));

  SoundSlot& target = device->slots[s];
  if (target.device != device || target.bufferCount == 0) return -1;

  AudioLock lock(device);
  Mixer& mixer = *device->mixer;
  if (mixer.Playing(target.buffers[target.nextIndex])) {
    // One buffer only: the running sound is not cut off.
    if (target.bufferCount < 2) return -1;
    target.nextIndex = target.nextIndex + 1 >= target.bufferCount ? 0 : target.nextIndex + 1;
    const int b = target.buffers[target.nextIndex];
    if (mixer.Playing(b)) {
      // Every copy is busy: the oldest in turn starts over.
      mixer.Stop(b);
      mixer.Rewind(b);
    }
  }
  // An idle buffer is used again without advancing, so rapid plays go 0, 1, 0 (restarted), ...
  const int b = target.buffers[target.nextIndex];
  // Linear in decibels: full volume is no attenuation, 0.5 is -50 dB, 0 is silence.
  mixer.SetVolume(b, volumeUnits * 100 - 10000);
  mixer.SetPan(b, panUnits);
  mixer.Play(b);
  return static_cast<double>(s * 256 + target.nextIndex);
}

double SoundPlaying(double channel) {
  // Only handles PlaySound can return: slots 0..255, buffers 0..255.
  if (!(channel >= 0) || channel >= 256.0 * 256.0) return 0;
  SoundDevice* device = LiveDevice();
  if (!device) return 0;
  const int32_t c = TruncToInt32Clamped(channel);
  const SoundSlot& s = device->slots[c >> 8];
  const int index = c & 0xFF;
  if (index >= s.bufferCount) return 0;
  AudioLock lock(device);
  return device->mixer->Playing(s.buffers[index]) ? 1 : 0;
}

void StopAllSounds() {
  SoundDevice* device = LiveDevice();
  if (!device) return;
  AudioLock lock(device);
  for (int i = 0; i <= kMaxSoundSlot; ++i) StopAndRewind(*device->mixer, device->slots[i]);
}

double SoundLevelGain(int percent) {
  const double share = std::clamp(percent, 0, 100) / 100.0;
  // Squared: equal steps of the volume keys sound about equally large.
  return share * share;
}

void SetSoundLevel(int percent, bool muted) {
  SoundDevice* device = LiveDevice();
  if (!device) return;
  AudioLock lock(device);
  device->mixer->SetMasterGain(muted ? 0.0 : SoundLevelGain(percent));
}
