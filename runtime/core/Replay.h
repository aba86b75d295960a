// Recorded input: a replay file holds the keyboard and mouse input of every frame of a run.
#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// The largest mouse motion of one frame a replay holds (either way, per axis). The runtime keeps the
// motion it hands to the game within it, so that every recording can be played back.
constexpr int kMaxReplayMotion = 100000;
// The largest repeat count of one replay line ("xN"); longer runs of one input take several lines.
constexpr long long kMaxReplayRepeat = 1000000000LL;

// The longest line a replay may hold. The longest line a recording writes (every key held, mouse motion,
// both buttons and a repeat count) is about 1100 bytes.
constexpr size_t kMaxReplayLine = 4096;

// The input in effect for one frame, from the keyboard poll of its ShowFrame to the next one.
struct FrameInput {
  std::vector<uint8_t> keys;  // scan codes held, ascending
  int dx = 0, dy = 0;         // mouse motion read by the first mouse read of the frame
  bool left = false, right = false;
  bool operator==(const FrameInput&) const = default;
};

// Reads a replay file and hands out its frames in order.
class ReplayPlayer {
 public:
  // Parses the whole file; on a malformed file returns false with a one-line error naming the line, and
  // on a file that cannot be read (a folder, a read error) one naming the reason.
  bool Load(const std::string& path, std::string& error);
  // The same for a replay's text from any stream; `name` stands for it in the error.
  bool Parse(std::istream& in, const std::string& name, std::string& error);
  int32_t seed() const { return seed_; }
  // The frames as read: each line's input and how many frames it lasts.
  const std::vector<std::pair<FrameInput, long long>>& Lines() const { return lines_; }
  // The input of the next frame; false when the replay has no frame left.
  bool Next(FrameInput& out);
  size_t FrameCount() const;

 private:
  int32_t seed_ = 0;
  std::vector<std::pair<FrameInput, long long>> lines_;  // a frame and how many times it repeats
  size_t line_ = 0;
  long long repeat_ = 0;
};

// Writes the input of a run as it is read.
class ReplayRecorder {
 public:
  // False when the file cannot be created or its first two lines cannot be written.
  bool Open(const std::string& path, int32_t seed);
  // Records into a stream the caller keeps open for the recorder's life (a replay made in memory).
  bool Open(std::ostream& out, int32_t seed);
  // The frame being recorded: keys and buttons from its poll, motion from its first mouse read.
  FrameInput& StartCurrent() {
    current_ = FrameInput{};
    currentValid_ = true;
    return current_;
  }
  FrameInput& Current() { return current_; }
  // Writes the frame being recorded (once).
  void CommitCurrent() {
    if (currentValid_) Write(current_);
    currentValid_ = false;
  }
  // Writes `count` frames of the same input; runs of equal input share a line.
  void Write(const FrameInput& frame, long long count = 1);
  // Writes the frames still held back and closes the file; false when any part of the replay could not
  // be written.
  bool Close();

 private:
  std::ofstream file_;
  std::ostream* out_ = nullptr;
  FrameInput current_;
  bool currentValid_ = false;
  FrameInput pending_;
  long long pendingCount_ = 0;
  void FlushPending();
};

// One replay line: the held keys, the motion, the buttons and, above one frame, the repeat count "xN".
std::string FormatReplayLine(const FrameInput& frame, long long count);
