// Replay text on hostile bytes.
//
// Properties: a refused replay says why on one line naming the replay; an accepted one holds only what a
// frame can carry (keys ascending without repeats, motion within the limit, repeat counts within the
// limit), and written back by the recorder and read again it gives the same seed and the same input,
// frame for frame.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "runtime/core/Replay.h"

namespace {

using Runs = std::vector<std::pair<FrameInput, long long>>;

// The frames as runs of equal input, however the lines split them.
Runs Merged(const Runs& lines) {
  Runs runs;
  for (const auto& [frame, count] : lines) {
    if (!runs.empty() && runs.back().first == frame) {
      runs.back().second += count;
    } else {
      runs.emplace_back(frame, count);
    }
  }
  return runs;
}

bool Parse(const std::string& text, ReplayPlayer& player, std::string& error) {
  std::istringstream in(text);
  return player.Parse(in, "fuzz.rpl", error);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReplayPlayer player;
  std::string error;
  if (!Parse(text, player, error)) {
    FUZZ_CHECK(error.rfind("replay fuzz.rpl line ", 0) == 0);
    FUZZ_CHECK(error.find('\n') == std::string::npos);
    return 0;
  }
  long long frames = 0;
  for (const auto& [frame, count] : player.Lines()) {
    for (size_t i = 1; i < frame.keys.size(); ++i) FUZZ_CHECK(frame.keys[i - 1] < frame.keys[i]);
    FUZZ_CHECK(frame.dx >= -kMaxReplayMotion && frame.dx <= kMaxReplayMotion);
    FUZZ_CHECK(frame.dy >= -kMaxReplayMotion && frame.dy <= kMaxReplayMotion);
    FUZZ_CHECK(count >= 1 && count <= kMaxReplayRepeat);
    frames += count;
  }
  FUZZ_CHECK(player.FrameCount() == static_cast<size_t>(frames));

  std::ostringstream written;
  ReplayRecorder recorder;
  FUZZ_CHECK(recorder.Open(written, player.seed()));
  for (const auto& [frame, count] : player.Lines()) recorder.Write(frame, count);
  FUZZ_CHECK(recorder.Close());

  ReplayPlayer again;
  FUZZ_CHECK(Parse(written.str(), again, error));
  FUZZ_CHECK(again.seed() == player.seed());
  FUZZ_CHECK(Merged(again.Lines()) == Merged(player.Lines()));
  // The recorder never writes two lines of the same input in a row unless the first is full.
  const Runs& lines = again.Lines();
  for (size_t i = 1; i < lines.size(); ++i) {
    FUZZ_CHECK(!(lines[i - 1].first == lines[i].first) || lines[i - 1].second == kMaxReplayRepeat);
  }
  return 0;
}
