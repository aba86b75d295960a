// Replay files (being written).
#include "runtime/core/Replay.h"

bool ReplayPlayer::Load(const std::string&, std::string& error) {
  error = "replays are not supported yet";
  return false;
}
bool ReplayPlayer::Next(FrameInput&) { return false; }
size_t ReplayPlayer::FrameCount() const { return 0; }
bool ReplayRecorder::Open(const std::string&, int32_t) { return false; }
void ReplayRecorder::Write(const FrameInput&) {}
void ReplayRecorder::Close() {}
void ReplayRecorder::FlushPending() {}
