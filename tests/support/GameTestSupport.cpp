// Helpers for the game's rule tests (see GameTestSupport.h).
#include "tests/support/GameTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "game/GameMain.h"
#include "game/GameState.h"
#include "game/GameWords.h"
#include "game/Level.h"
#include "game/StateDump.h"
#include "runtime/core/Random.h"
#include "runtime/platform/Platform.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"
#include "tests/support/ForwardingPlatform.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

void NewField(int32_t seed) {
  ResetRuntimeContext();
  BuildField();
  SeedRandom(seed);
}

void BuildField() {
  ResetGameState();
  DeclareGameArrays();
  ResetLevelState();
  GameState& g = G();
  g.LevelNumber = 1;
  for (int column = 0; column < 40; ++column) {
    g.ActorMap[Cell(column, 0)] = cell::kSolid;
    g.ActorMap[Cell(column, 29)] = cell::kSolid;
  }
  for (int row = 0; row < 30; ++row) {
    g.ActorMap[Cell(0, row)] = cell::kSolid;
    g.ActorMap[Cell(39, row)] = cell::kSolid;
  }
}

void PutBoy(int column, int row) {
  G().ActorMap[Cell(column, row)] = cell::kBoy;
  G().BoyX = column * 16;
  G().BoyY = row * 16;
}

void HoldKeys(std::initializer_list<int> codes) {
  uint8_t* keys = Rt().input.keyState;
  std::memset(keys, 0, 256);
  for (int code : codes) keys[code] = 0x80;
}

bool PeekDraws(const std::function<bool()>& draws) {
  const RandomState saved = Rt().random;
  const bool result = draws();
  Rt().random = saved;
  return result;
}

void ArrangeDraws(const std::function<bool()>& wanted) {
  for (int tries = 0; tries < 100000; ++tries) {
    if (PeekDraws(wanted)) return;
    RandomInt(1000);  // one round further
  }
  FAIL() << "no arrangement of the random draws found";
}

bool SameGenerator(const RandomState& a, const RandomState& b) {
  return std::memcmp(a.mm, b.mm, sizeof a.mm) == 0 &&
         std::memcmp(a.randrsl, b.randrsl, sizeof a.randrsl) == 0 && a.aa == b.aa && a.bb == b.bb &&
         a.cc == b.cc;
}

std::vector<uint8_t> ToneWav(int frames) {
  std::vector<uint8_t> b;
  auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  auto id = [&](const char* s) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(s[i]));
  };
  id("RIFF"), u32(36 + frames * 2), id("WAVE"), id("fmt "), u32(16);
  u16(1), u16(1), u32(22050), u32(22050 * 2), u16(2), u16(16);
  id("data"), u32(static_cast<uint32_t>(frames * 2));
  for (int i = 0; i < frames; ++i) u16(static_cast<uint16_t>(i % 2 ? 3000 : -3000));
  return b;
}

namespace {

std::string MakeTempFolder() {
  std::string templ = std::filesystem::temp_directory_path().string() + "/brillora-sounds-XXXXXX";
  if (!::mkdtemp(templ.data())) return std::string();
  return templ;
}

}  // namespace

TestSounds::TestSounds() : dir_(MakeTempFolder()) {
  Rt().platform = plat::CreateHeadlessPlatform();
  SoundStartup();
  const std::string path = dir_ + "/tone.wav";
  WriteFile(path, ToneWav(220));
  for (int slot = 1; slot <= 16; ++slot) EXPECT_EQ(LoadSound(path, slot, 1), 1);
}

TestSounds::~TestSounds() {
  SoundShutdown();
  Rt().platform.reset();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::set<int> TestSounds::SlotsPlaying() const {
  std::set<int> slots;
  for (int slot = 1; slot <= 16; ++slot)
    if (SoundPlaying(slot * 256) == 1) slots.insert(slot);
  return slots;
}

void TestSounds::Clear() const {
  StopAllSounds();
}

LevelLayers LevelLayers::Framed() {
  LevelLayers l;
  for (int column = 0; column < 40; ++column)
    l.actor[Cell(column, 0)] = l.actor[Cell(column, 29)] = cell::kSolid;
  for (int row = 0; row < 30; ++row) l.actor[Cell(0, row)] = l.actor[Cell(39, row)] = cell::kSolid;
  return l;
}

void WriteLevelFiles(const std::string& dir, int n, const LevelLayers& layers) {
  std::filesystem::create_directories(dir + "/Maps");
  const std::vector<uint8_t>* files[4] = {&layers.ground, &layers.item, &layers.cover, &layers.actor};
  for (int k = 0; k < 4; ++k)
    WriteFile(dir + "/Maps/Map" + std::to_string(n) + "-" + std::to_string(k + 1) + ".bin", *files[k]);
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir) {
  std::error_code ec;
  old_ = std::filesystem::current_path(ec).string();
  std::filesystem::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
  std::error_code ec;
  if (!old_.empty()) std::filesystem::current_path(old_, ec);
}

namespace {

// The running platform with the script's look at every frame.
class ScriptedPlatform final : public ForwardingPlatform {
 public:
  ScriptedPlatform(std::unique_ptr<plat::Platform> inner, FrameScript script)
      : ForwardingPlatform(std::move(inner)), script_(std::move(script)) {}

  void Present() override {
    Inner().Present();
    if (script_.presented) script_.presented();
  }
  void ReadKeyboard(uint8_t state[256]) override {
    Inner().ReadKeyboard(state);
    if (script_.keys) script_.keys(Rt().clock.frames, state);
  }

 private:
  FrameScript script_;
};

std::function<void()>& Body() {
  static std::function<void()> body;
  return body;
}
void RunBody() {
  Body()();
}

}  // namespace

ProgramRun RunProgramWith(const std::vector<std::string>& extraArgs, void (*main)()) {
  std::vector<std::string> args{"brillora", "--headless"};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  // Runs are repeatable: without a replay or a seed of the test's own, the generator starts from 1.
  const bool seeded = std::find_if(extraArgs.begin(), extraArgs.end(), [](const std::string& a) {
                        return a == "--seed" || a == "--play";
                      }) != extraArgs.end();
  if (!seeded) args.insert(args.end(), {"--seed", "1"});
  ProgramRun run;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  run.status = RunProgram(args, "Brillora", main);
  run.out = testing::internal::GetCapturedStdout();
  run.err = testing::internal::GetCapturedStderr();
  return run;
}

namespace {

// The whole run's result as the two runners below give it.
int StatusOf(const ProgramRun& run, std::string* errors) {
  if (errors) *errors = run.err;
  return run.status;
}

}  // namespace

void InstallFrameScript(FrameScript script) {
  Rt().platform = std::make_unique<ScriptedPlatform>(std::move(Rt().platform), std::move(script));
}

int RunHeadless(const std::vector<std::string>& extraArgs, std::function<void()> body, std::string* errors) {
  Body() = std::move(body);
  const int status = StatusOf(RunProgramWith(extraArgs, RunBody), errors);
  Body() = nullptr;
  return status;
}

int RunGame(const std::vector<std::string>& extraArgs, std::string* errors) {
  return StatusOf(RunProgramWith(extraArgs, GameMain), errors);
}

double JsonNumber(const std::string& json, const std::string& key) {
  double value = -999999;
  if (!ReadDumpNumber(json, key, value)) ADD_FAILURE() << "no number \"" << key << "\" in the dump";
  return value;
}

std::vector<double> JsonNumbers(const std::string& json, const std::string& key) {
  std::vector<double> values;
  if (!ReadDumpNumbers(json, key, values))
    ADD_FAILURE() << "no array of numbers \"" << key << "\" in the dump";
  return values;
}

std::string JsonText(const std::string& json, const std::string& key) {
  std::string text;
  if (!ReadDumpText(json, key, text)) ADD_FAILURE() << "no text \"" << key << "\" in the dump";
  return text;
}

}  // namespace testing_support
