// Sound effects as the game sees them: numbered sound slots of one to four buffers each, loaded from WAV
// files and played with pan and volume; a channel handle (slot x 256 + buffer) tells when a sound ends.
// Without a sound device everything still runs, silently.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/sound/Mixer.h"

namespace plat {
class Platform;
}
struct SoundDevice;

constexpr int kSoundSlots = 256;     // records created at start-up
constexpr int kMaxSoundSlot = 127;   // every operation clamps the slot number to this
constexpr int kMaxSoundBuffers = 4;  // copies of one sound that can play at once
constexpr int kSoundRate = 22050;    // device rate asked for: 16-bit stereo at 22050 Hz

struct SoundSlot {
  int32_t bufferCount = 0;                           // 1..4 buffers; 0 = empty
  int32_t nextIndex = 0;                             // buffer tried first by the next PlaySound
  std::string path;                                  // file being loaded, only while loading
  SoundDevice* device = nullptr;                     // set by LoadSound
  int buffers[kMaxSoundBuffers] = {-1, -1, -1, -1};  // mixer buffer ids; duplicates share buffer 0's samples
};

struct SoundDevice {
  plat::Platform* platform = nullptr;  // owner of the audio lock; null when there is no output
  std::unique_ptr<Mixer> mixer;        // null when no audio device could be opened ("no sound device")
  SoundSlot slots[kSoundSlots];
};

// Creates Rt().sound and opens the audio device through Rt().platform when there is one.
void SoundStartup();
// The window changed (screen mode switch); audio does not depend on the window.
void SoundWindowChange();
// Stops and releases every slot, closes the audio device and deletes Rt().sound.
void SoundShutdown();

// 1 when the sound is ready in `slot`, 0 otherwise. An empty path empties the slot.
double LoadSound(const std::string& path, double slot, double buffers);
// Starts the slot's sound once; pan -1..1, volume 0..1. Returns the channel handle or -1.
double PlaySound(double slot, double pan, double volume);
// 1 while the buffer named by the channel handle is playing, else 0.
double SoundPlaying(double channel);
// The player's volume over every sound: percent 0..100 (a curve that sounds even), or silence when muted.
void SetSoundLevel(int percent, bool muted);
// The gain SetSoundLevel gives the whole mix for `percent`.
double SoundLevelGain(int percent);

// Stops every buffer of slots 0..127 and rewinds it.
void StopAllSounds();
