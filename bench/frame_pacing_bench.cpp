// Frame pacing of an idle screen at the game's 26 frames per second, in a real window: how much of a
// core the frame wait uses, and how late frames leave the wait (99th percentile). Needs an X display
// (run under xvfb-run). Results are kept in bench/RESULTS.md.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <vector>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/program/Runtime.h"

namespace {

constexpr int kFrames = 260;  // ten seconds
std::vector<double> gLateMs;
double gCpuSeconds = 0, gWallSeconds = 0;

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void IdleScreen() {
  SetFrameRateLimit(26);
  for (int i = 0; i < 5; ++i) ShowFrame();  // settle
  const double cpu0 = CpuSeconds();
  const double wall0 = ReadClockMs();
  for (int i = 0; i < kFrames; ++i) {
    const double deadline = Rt().renderer->nextFrameMs;
    ShowFrame();
    gLateMs.push_back(ReadClockMs() - deadline);
  }
  gCpuSeconds = CpuSeconds() - cpu0;
  gWallSeconds = (ReadClockMs() - wall0) / 1000.0;
  EndProgram();
}

void BM_IdleScreenAt26Fps(benchmark::State& state) {
  for (auto _ : state) {
    gLateMs.clear();
    RunProgram({"frame_pacing_bench", "--windowed"}, "Brillora", IdleScreen);
  }
  if (gLateMs.empty()) {
    state.SkipWithError("no window could be opened");
    return;
  }
  std::sort(gLateMs.begin(), gLateMs.end());
  state.counters["cpu_percent_of_core"] = 100.0 * gCpuSeconds / gWallSeconds;
  state.counters["late_ms_p50"] = gLateMs[gLateMs.size() / 2];
  state.counters["late_ms_p99"] = gLateMs[gLateMs.size() * 99 / 100];
  state.counters["late_ms_max"] = gLateMs.back();
  state.counters["fps"] = kFrames / gWallSeconds;
}
BENCHMARK(BM_IdleScreenAt26Fps)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
