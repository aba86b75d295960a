// Replay files: a text header, then one line per frame (held scan codes, mouse motion, buttons, and an
// optional repeat count), so that recordings can be read, written and edited by hand.
#include "runtime/core/Replay.h"

#include "runtime/core/WholeNumber.h"

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <climits>
#include <sstream>

namespace {

constexpr const char* kMagic = "BRILLORA-REPLAY 1";
constexpr long long kMaxRepeat = 1000000000LL;

}  // namespace

bool ReplayPlayer::Load(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read replay " + path;
    return false;
  }
  lines_.clear();
  line_ = 0;
  repeat_ = 0;
  std::string text;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    error = "replay " + path + " line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, text)) {
    ++lineNo;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (lineNo == 1) {
      if (text != kMagic) return fail(std::string("expected \"") + kMagic + "\"");
      continue;
    }
    if (lineNo == 2) {
      long long seed = 0;
      if (text.rfind("seed ", 0) != 0 || !ParseWholeNumber(text.substr(5), INT32_MIN, INT32_MAX, seed))
        return fail("expected \"seed N\" with N a signed 32-bit number");
      seed_ = static_cast<int32_t>(seed);
      continue;
    }
    if (!text.empty() && text[0] == '#') continue;
    std::istringstream tokens(text);
    std::string tok;
    FrameInput frame;
    long long count = 1;
    bool repeatSeen = false;
    bool keySeen[256] = {};
    while (tokens >> tok) {
      if (repeatSeen) return fail("the repeat count must be the last token");
      long long v = 0;
      if (tok == "lmb") {
        frame.left = true;
      } else if (tok == "rmb") {
        frame.right = true;
      } else if (tok.rfind("dx=", 0) == 0) {
        if (!ParseWholeNumber(tok.substr(3), -kMaxReplayMotion, kMaxReplayMotion, v)) return fail("bad mouse motion \"" + tok + "\"");
        frame.dx = static_cast<int>(v);
      } else if (tok.rfind("dy=", 0) == 0) {
        if (!ParseWholeNumber(tok.substr(3), -kMaxReplayMotion, kMaxReplayMotion, v)) return fail("bad mouse motion \"" + tok + "\"");
        frame.dy = static_cast<int>(v);
      } else if (tok[0] == 'x') {
        if (!ParseWholeNumber(tok.substr(1), 1, kMaxRepeat, v)) return fail("bad repeat count \"" + tok + "\"");
        count = v;
        repeatSeen = true;
      } else if (ParseWholeNumber(tok, 0, 255, v)) {
        if (!keySeen[v]) frame.keys.push_back(static_cast<uint8_t>(v));
        keySeen[v] = true;
      } else {
        return fail("unknown token \"" + tok + "\"");
      }
    }
    std::sort(frame.keys.begin(), frame.keys.end());
    lines_.emplace_back(std::move(frame), count);
  }
  if (lineNo < 2) {
    lineNo = lineNo + 1;
    return fail(lineNo == 1 ? "empty file" : "missing \"seed N\" line");
  }
  return true;
}

bool ReplayPlayer::Next(FrameInput& out) {
  while (line_ < lines_.size() && repeat_ >= lines_[line_].second) {
    ++line_;
    repeat_ = 0;
  }
  if (line_ >= lines_.size()) return false;
  out = lines_[line_].first;
  ++repeat_;
  return true;
}

size_t ReplayPlayer::FrameCount() const {
  long long n = 0;
  for (const auto& l : lines_) n += l.second;
  return static_cast<size_t>(n);
}

bool ReplayRecorder::Open(const std::string& path, int32_t seed) {
  out_.open(path, std::ios::binary | std::ios::trunc);
  if (!out_) return false;
  out_ << kMagic << "\n" << "seed " << seed << "\n";
  out_.flush();
  pendingCount_ = 0;
  if (!out_) {
    out_.close();
    return false;
  }
  return true;
}

void ReplayRecorder::Write(const FrameInput& frame) {
  if (pendingCount_ > 0 && frame == pending_) {
    ++pendingCount_;
    return;
  }
  FlushPending();
  pending_ = frame;
  pendingCount_ = 1;
}

void ReplayRecorder::FlushPending() {
  if (pendingCount_ == 0 || !out_) return;
  // Built by appending only: GCC 12 at -O3 takes `"x" + std::string` for an overlapping copy and warns.
  std::string line;
  auto word = [&line](const char* prefix, const std::string& value) {
    line.append(prefix).append(value) += ' ';
  };
  for (uint8_t k : pending_.keys) word("", std::to_string(k));
  if (pending_.dx) word("dx=", std::to_string(pending_.dx));
  if (pending_.dy) word("dy=", std::to_string(pending_.dy));
  if (pending_.left) line += "lmb ";
  if (pending_.right) line += "rmb ";
  if (pendingCount_ > 1) word("x", std::to_string(pendingCount_));
  if (!line.empty()) line.pop_back();
  out_ << line << "\n";
  out_.flush();
  pendingCount_ = 0;
}

bool ReplayRecorder::Close() {
  FlushPending();
  bool ok = static_cast<bool>(out_);
  if (out_.is_open()) {
    out_.close();
    ok = ok && !out_.fail();
  }
  return ok;
}
