// Replay text on hostile bytes.
//
// Properties: a refused replay says why on one line naming the replay; an accepted one holds only what a
// frame can carry (keys ascending without repeats, motion within the limit, repeat counts within the
// limit), and written back by the recorder and read again it gives the same seed and the same input,
// frame for frame.
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "runtime/core/Replay.h"

namespace {

using Runs = std::vector<std::pair<FrameInput, long long>>;

// Whether two lists of lines give the same frames, however the lines split them: runs of equal input are
// merged on the way, without copies.
FUZZ_UNTRACED bool SameFrames(const Runs& a, const Runs& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (!(a[i].first == b[j].first)) return false;
    const FrameInput& frame = a[i].first;
    long long countA = 0, countB = 0;
    for (; i < a.size() && a[i].first == frame; ++i) countA += a[i].second;
    for (; j < b.size() && b[j].first == frame; ++j) countB += b[j].second;
    if (countA != countB) return false;
  }
  return i == a.size() && j == b.size();
}

// A read-only stream over bytes the caller keeps, so that the replay is not copied to be read.
class BytesBuffer : public std::streambuf {
 public:
  BytesBuffer(const char* bytes, size_t size) {
    char* first = const_cast<char*>(bytes);  // only ever read: the buffer has no put area
    setg(first, first, first + size);
  }
};

bool Parse(std::string_view text, ReplayPlayer& player, std::string& error) {
  BytesBuffer buffer(text.data(), text.size());
  std::istream in(&buffer);
  return player.Parse(in, "fuzz.rpl", error);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
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
  FUZZ_CHECK(Parse(written.view(), again, error));
  FUZZ_CHECK(again.seed() == player.seed());
  FUZZ_CHECK(SameFrames(again.Lines(), player.Lines()));
  // The recorder never writes two lines of the same input in a row unless the first is full.
  const Runs& lines = again.Lines();
  for (size_t i = 1; i < lines.size(); ++i) {
    FUZZ_CHECK(!(lines[i - 1].first == lines[i].first) || lines[i - 1].second == kMaxReplayRepeat);
  }
  return 0;
}
