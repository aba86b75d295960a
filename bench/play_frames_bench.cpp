// What a frame of play costs: level 1's winning replay played with the frame schedule lifted, in a
// 640 x 480 window (drawn 1:1, Mesa's OpenGL under an X server) and headless; and what reading and
// decoding every media file costs by itself (the floor of the game's start-up). Results are kept in
// bench/RESULTS.md; bench/compare_with_floor.py measures the rest beside a bare SDL program.
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/play_frames_bench
//
// (A screen that fits the window at 2x would open it at 2x, drawn through the scaled picture.)
#include <benchmark/benchmark.h>
#include <strings.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/GameMain.h"
#include "runtime/core/ArchiveReader.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Image.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Wav.h"
#include "tests/support/ForwardingPlatform.h"

namespace {

namespace fs = std::filesystem;

// Frames before this one (the title menu, the level's start) are left out of the per-frame figures.
constexpr long long kFirstMeasuredFrame = 60;

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A game folder of its own (the replay's win rewrites the records), made from the build's media.
std::string GameFolder() {
  static std::string folder;
  if (!folder.empty()) return folder;
  const fs::path build = fs::read_symlink("/proc/self/exe").parent_path().parent_path();
  const fs::path dir = fs::temp_directory_path() / ("brillora-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "Maps");
  fs::copy_file(build / "Graphic.kpq", dir / "Graphic.kpq", fs::copy_options::overwrite_existing);
  fs::copy_file(build / "smalfont.bmp", dir / "smalfont.bmp", fs::copy_options::overwrite_existing);
  for (const auto& e : fs::directory_iterator(build / "Maps"))
    fs::copy_file(e.path(), dir / "Maps" / e.path().filename(), fs::copy_options::overwrite_existing);
  folder = dir.string();
  return folder;
}

// The frame schedule lifted: with a window the clock jumps over every wait and sleep instead of waiting
// (a headless clock is virtual already and keeps its own way). CPU and wall time are taken at the first
// measured frame and at every present after it.
class UnpacedPlatform final : public testing_support::ForwardingPlatform {
 public:
  explicit UnpacedPlatform(std::unique_ptr<plat::Platform> inner)
      : ForwardingPlatform(std::move(inner)), virtualClock_(Inner().Headless()) {}
  double NowMs() override { return Inner().NowMs() + skippedMs_; }
  void IdleToward(double deadlineMs) override {
    if (virtualClock_) return Inner().IdleToward(deadlineMs);
    const double now = NowMs();
    if (deadlineMs >= now) skippedMs_ += deadlineMs - now + 0.001;
  }
  void SleepMs(double ms) override {
    if (virtualClock_) return Inner().SleepMs(ms);
    if (ms > 0) skippedMs_ += ms;
  }
  void Present() override {
    Inner().Present();
    Count();
  }
  // Frames are drawn and shown as the game does: only what changed, where the window keeps its picture.
  bool KeepsPicture() const override { return InnerKeepsPicture(); }
  void PresentChanged(const plat::PictureChange& change) override {
    Inner().PresentChanged(change);
    Count();
  }

  static inline long long presents_ = 0, measured_ = 0;
  static inline double cpu0_ = 0, wall0_ = 0, cpu1_ = 0, wall1_ = 0;

 private:
  void Count() {
    ++presents_;
    if (presents_ == kFirstMeasuredFrame) {
      cpu0_ = CpuSeconds();
      wall0_ = WallSeconds();
    } else if (presents_ > kFirstMeasuredFrame) {
      cpu1_ = CpuSeconds();
      wall1_ = WallSeconds();
      measured_ = presents_ - kFirstMeasuredFrame;
    }
  }

  bool virtualClock_ = false;
  double skippedMs_ = 0;
};

void UnpacedGameMain() {
  Rt().platform = std::make_unique<UnpacedPlatform>(std::move(Rt().platform));
  GameMain();
}

void PlayLevelOne(benchmark::State& state, bool headless) {
  const std::string replay = std::string(BRILLORA_SOURCE_DIR) + "/data/solutions/level01.rpl";
  std::vector<std::string> args = {"play_frames_bench", "--data", GameFolder(), "--play", replay};
  args.push_back(headless ? "--headless" : "--windowed");
  double cpu = 0, wall = 0;
  long long frames = 0;
  for (auto _ : state) {
    UnpacedPlatform::presents_ = UnpacedPlatform::measured_ = 0;
    RunProgram(args, "Brillora", UnpacedGameMain);
    cpu += UnpacedPlatform::cpu1_ - UnpacedPlatform::cpu0_;
    wall += UnpacedPlatform::wall1_ - UnpacedPlatform::wall0_;
    frames += UnpacedPlatform::measured_;
  }
  if (frames == 0) {
    state.SkipWithError("no frames were played (no display?)");
    return;
  }
  state.counters["frames"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
  state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / static_cast<double>(frames);
  state.counters["frames_per_second"] = static_cast<double>(frames) / wall;
}

void BM_PlayFramesAt1xUnpaced(benchmark::State& state) {
  PlayLevelOne(state, false);
}
BENCHMARK(BM_PlayFramesAt1xUnpaced)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PlayFramesHeadless(benchmark::State& state) {
  PlayLevelOne(state, true);
}
BENCHMARK(BM_PlayFramesHeadless)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every entry of the archive, in directory order: name and stored bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> StoredEntries(const std::vector<uint8_t>& a) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
  auto i32 = [&](size_t at) {
    int32_t v = 0;
    std::memcpy(&v, a.data() + at, 4);
    return v;
  };
  const int32_t directory = i32(a.size() - 4);
  auto locate = [&](int32_t value) { return directory < 0 ? a.size() + value : static_cast<size_t>(value); };
  for (size_t pos = locate(directory); pos < a.size() && a[pos] != 0;) {
    const size_t length = a[pos];
    std::string name(reinterpret_cast<const char*>(a.data() + pos + 1), length);
    const size_t start = locate(i32(pos + 1 + length));
    const size_t stored = static_cast<size_t>(i32(pos + 5 + length));
    out.emplace_back(name, std::vector<uint8_t>(a.begin() + static_cast<long>(start),
                                                a.begin() + static_cast<long>(start + stored)));
    pos += 1 + length + 8;
  }
  return out;
}

// The floor of start-up: read the archive and the default font, unpack every entry and decode every
// picture and sound, nothing else.
void BM_ReadAndDecodeAllMedia(benchmark::State& state) {
  const fs::path dir = GameFolder();
  size_t decoded = 0;
  for (auto _ : state) {
    std::vector<uint8_t> archive(fs::file_size(dir / "Graphic.kpq"));
    FILE* f = std::fopen((dir / "Graphic.kpq").c_str(), "rb");
    if (!f || std::fread(archive.data(), 1, archive.size(), f) != archive.size()) state.SkipWithError("read");
    if (f) std::fclose(f);
    RgbaImage font;
    decoded = DecodeImageFile((dir / "smalfont.bmp").string(), kDefaultFontKey, font) ? 1 : 0;
    for (const auto& [name, stored] : StoredEntries(archive)) {
      std::vector<uint8_t> bytes;
      if (!DecompressStoredEntry(stored, bytes)) continue;
      if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".wav") == 0) {
        WavSound wav;
        decoded += DecodeWav(bytes, wav) ? 1 : 0;
      } else {
        RgbaImage image;
        decoded += DecodeImageBytes(bytes, name, kDefaultSpriteKey, image) ? 1 : 0;
      }
    }
  }
  state.counters["files"] = static_cast<double>(decoded);
}
BENCHMARK(BM_ReadAndDecodeAllMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
