// Helpers for the game's rule tests: small hand-made fields, sounds that can be watched, level and record
// files, headless runs with scripted keys and a look at every frame, and reading the state dump.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "game/RecordFiles.h"
#include "runtime/core/RuntimeContext.h"

namespace testing_support {

// --- Fields built by hand, for calling the game's routines directly ---

inline int Cell(int column, int row) {
  return row * 40 + column;
}

// A fresh runtime and game: arrays declared, level state reset, LevelNumber 1, every layer 0 except a
// solid frame in ActorMap around the field, and the random generator seeded with `seed`.
void NewField(int32_t seed = 1);
// The same field for a runtime that is already running: the game state only, the generator untouched.
void BuildField();
// Puts the boy (ActorMap 13) on a cell and his pixel position on it.
void PutBoy(int column, int row);
// The keys held from now on (scan codes); every other key is released.
void HoldKeys(std::initializer_list<int> codes);

// Runs `draws` on the generator as it is, puts the generator back, and reports what `draws` returned.
// ArrangeDraws advances the generator one round at a time until the next draws satisfy `wanted`.
bool PeekDraws(const std::function<bool()>& draws);
void ArrangeDraws(const std::function<bool()>& wanted);
bool SameGenerator(const RandomState& a, const RandomState& b);

// --- Sounds ---

// A 16-bit mono WAV at 22050 Hz of `frames` samples.
std::vector<uint8_t> ToneWav(int frames);

// A sound device on the headless platform's virtual clock for a runtime that was not started: every slot
// 1 to 16 gets a short sound with one buffer. Time stands still, so a sound started stays playing until
// StopAllSounds; SlotsPlaying tells which were started.
class TestSounds {
 public:
  TestSounds();
  ~TestSounds();
  TestSounds(const TestSounds&) = delete;
  TestSounds& operator=(const TestSounds&) = delete;
  std::set<int> SlotsPlaying() const;
  void Clear() const;  // stops every sound

 private:
  std::string dir_;
};

// --- Files ---

struct LevelLayers {
  std::vector<uint8_t> ground = std::vector<uint8_t>(1200, 0);
  std::vector<uint8_t> item = std::vector<uint8_t>(1200, 0);
  std::vector<uint8_t> cover = std::vector<uint8_t>(1200, 0);
  std::vector<uint8_t> actor = std::vector<uint8_t>(1200, 0);
  // A solid frame in the actor layer around the field.
  static LevelLayers Framed();
};

// Writes "<dir>/Maps/Map<n>-1.bin" .. "-4.bin" (creating Maps/).
void WriteLevelFiles(const std::string& dir, int n, const LevelLayers& layers);

// The record files as bytes, and their writer: the game's (game/RecordFiles.h).
using ::RecordFiles;

// Changes the working folder for the life of the object (the game names its files relative to it).
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::string& dir);
  ~ScopedWorkingDir();
  ScopedWorkingDir(const ScopedWorkingDir&) = delete;
  ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

 private:
  std::string old_;
};

// --- Headless runs ---

// What a scripted run does around each frame.
struct FrameScript {
  // Fills the keys that the ShowFrame after `framesShown` frames polls (they are in effect for the frame
  // after it). Keys start released.
  std::function<void(long long framesShown, uint8_t keys[256])> keys;
  // Called once per ShowFrame, when the frame's picture is presented: after everything the frame did.
  std::function<void()> presented;
};

// Wraps the running headless platform so that `script` sees every frame. Call from inside a run.
void InstallFrameScript(FrameScript script);

// What a run of the program leaves behind.
struct ProgramRun {
  int status = -1;
  std::string out, err;  // standard output and standard error
};
// The one way the tests run the program: headless, with `main` as its game main and the given arguments
// after "--headless" (and "--seed 1" unless they name a seed or a replay), in this process.
ProgramRun RunProgramWith(const std::vector<std::string>& extraArgs, void (*main)());

// Runs `body` as the game main of a headless program with the extra arguments; returns the exit status.
// Standard output ("Init OK") is swallowed; standard error is kept in `errors` when given.
int RunHeadless(const std::vector<std::string>& extraArgs, std::function<void()> body,
                std::string* errors = nullptr);
// Runs the real game main headless with the given arguments after "--headless".
int RunGame(const std::vector<std::string>& extraArgs, std::string* errors = nullptr);

// --- The state dump (read with the game's own reader; a missing field fails the test) ---

double JsonNumber(const std::string& json, const std::string& key);
std::vector<double> JsonNumbers(const std::string& json, const std::string& key);
std::string JsonText(const std::string& json, const std::string& key);

}  // namespace testing_support
