// Replay files: a text header, then one line per frame (held scan codes, mouse motion, buttons, and an
// optional repeat count), so that recordings can be read, written and edited by hand.
#include "runtime/core/Replay.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "runtime/core/RegularFile.h"
#include "runtime/core/WholeNumber.h"

namespace {

constexpr const char* kMagic = "BRILLORA-REPLAY 1";

enum class LineRead { kLine, kEnd, kTooLong };

// The next line of `in` without its "\n" (a last line without one counts too), read no further than
// kMaxReplayLine bytes: a file that never ends a line is refused, not read for ever. `line` holds
// kMaxReplayLine + 1 bytes of room; `length` is set to the bytes of the line.
LineRead ReadCappedLine(std::istream& in, std::string& line, size_t& length) {
  // getline stores at most kMaxReplayLine bytes; it fails when the next byte after them is not the end
  // of the line or of the file, and when there was nothing left to read at all.
  in.getline(line.data(), static_cast<std::streamsize>(kMaxReplayLine + 1));
  const auto got = static_cast<size_t>(in.gcount());
  if (in.fail()) {
    if (got == 0) return LineRead::kEnd;
    return LineRead::kTooLong;
  }
  // The "\n", when read, is counted but not stored.
  length = in.eof() ? got : got - 1;
  return LineRead::kLine;
}

// White space between a line's tokens, as the standard streams read it in the C locale.
bool IsTokenSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The next token of a line from `p` on (empty at the end of the line); `p` moves past it.
std::string_view NextToken(const char*& p, const char* end) {
  while (p != end && IsTokenSpace(*p)) ++p;
  const char* start = p;
  while (p != end && !IsTokenSpace(*p)) ++p;
  return std::string_view(start, static_cast<size_t>(p - start));
}

}  // namespace

bool ReplayPlayer::Load(const std::string& path, std::string& error) {
  // A folder opens, but reads fail: it is refused by name rather than taken for an empty file.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = "cannot read replay " + path + " (" + FileErrorText(EISDIR) + ")";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read replay " + path + " (" + FileErrorText(errno) + ")";
    return false;
  }
  return Parse(in, path, error);
}

bool ReplayPlayer::Parse(std::istream& in, const std::string& path, std::string& error) {
  seed_ = 0;
  lines_.clear();
  line_ = 0;
  repeat_ = 0;
  // The lines are read through a stream of our own on the same buffer, so that the caller's stream state
  // (a failed read before, exceptions asked for) plays no part.
  std::istream reader(in.rdbuf());
  std::string buffer(kMaxReplayLine + 1, '\0');
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    error = "replay " + path + " line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  size_t length = 0;
  for (LineRead got; (got = ReadCappedLine(reader, buffer, length)) != LineRead::kEnd;) {
    ++lineNo;
    if (got == LineRead::kTooLong) return fail("longer than " + std::to_string(kMaxReplayLine) + " bytes");
    std::string_view text(buffer.data(), length);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (lineNo == 1) {
      if (text != kMagic) return fail(std::string("expected \"") + kMagic + "\"");
      continue;
    }
    if (lineNo == 2) {
      long long seed = 0;
      if (!text.starts_with("seed ") || !ParseWholeNumber(text.substr(5), INT32_MIN, INT32_MAX, seed))
        return fail("expected \"seed N\" with N a signed 32-bit number");
      seed_ = static_cast<int32_t>(seed);
      continue;
    }
    if (!text.empty() && text[0] == '#') continue;
    FrameInput frame;
    long long count = 1;
    bool repeatSeen = false;
    bool keySeen[256] = {};
    uint8_t held[256];  // the keys in the order they appear, each once
    size_t heldCount = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    for (std::string_view tok; !(tok = NextToken(p, end)).empty();) {
      if (repeatSeen) return fail("the repeat count must be the last token");
      long long v = 0;
      // The first byte picks the only kind of token it can start, so a key is not compared with every word.
      const char first = tok[0];
      if (first == 'l' && tok == "lmb") {
        frame.left = true;
      } else if (first == 'r' && tok == "rmb") {
        frame.right = true;
      } else if (first == 'd' && tok.starts_with("dx=")) {
        if (!ParseWholeNumber(tok.substr(3), -kMaxReplayMotion, kMaxReplayMotion, v))
          return fail("bad mouse motion \"" + std::string(tok) + "\"");
        frame.dx = static_cast<int>(v);
      } else if (first == 'd' && tok.starts_with("dy=")) {
        if (!ParseWholeNumber(tok.substr(3), -kMaxReplayMotion, kMaxReplayMotion, v))
          return fail("bad mouse motion \"" + std::string(tok) + "\"");
        frame.dy = static_cast<int>(v);
      } else if (first == 'x') {
        if (!ParseWholeNumber(tok.substr(1), 1, kMaxReplayRepeat, v))
          return fail("bad repeat count \"" + std::string(tok) + "\"");
        count = v;
        repeatSeen = true;
      } else if (ParseWholeNumber(tok, 0, 255, v)) {
        if (!keySeen[v]) held[heldCount++] = static_cast<uint8_t>(v);
        keySeen[v] = true;
      } else {
        return fail("unknown token \"" + std::string(tok) + "\"");
      }
    }
    std::sort(held, held + heldCount);
    frame.keys.assign(held, held + heldCount);
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
  file_.open(path, std::ios::binary | std::ios::trunc);
  if (!file_) return false;
  if (!Open(file_, seed)) {
    file_.close();
    return false;
  }
  return true;
}

bool ReplayRecorder::Open(std::ostream& out, int32_t seed) {
  out_ = &out;
  *out_ << kMagic << "\n"
        << "seed " << seed << "\n";
  out_->flush();
  pendingCount_ = 0;
  return static_cast<bool>(*out_);
}

void ReplayRecorder::Write(const FrameInput& frame, long long count) {
  if (count <= 0) return;
  if (pendingCount_ > 0 && !(frame == pending_)) FlushPending();
  pending_ = frame;
  // A run longer than one line may repeat is carried on in further lines, so that it still reads back.
  while (pendingCount_ + count > kMaxReplayRepeat) {
    count -= kMaxReplayRepeat - pendingCount_;
    pendingCount_ = kMaxReplayRepeat;
    FlushPending();
  }
  pendingCount_ += count;
}

std::string FormatReplayLine(const FrameInput& frame, long long count) {
  // Built by appending only: GCC 12 at -O3 takes `"x" + std::string` for an overlapping copy and warns.
  // Room for every key (at most "255 ") and the rest, so that the line grows once.
  std::string line;
  line.reserve(frame.keys.size() * 4 + 64);
  auto word = [&line](const char* prefix, long long value) {
    char digits[24];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    line.append(prefix).append(digits, r.ptr) += ' ';
  };
  for (uint8_t k : frame.keys) word("", k);
  if (frame.dx) word("dx=", frame.dx);
  if (frame.dy) word("dy=", frame.dy);
  if (frame.left) line += "lmb ";
  if (frame.right) line += "rmb ";
  if (count > 1) word("x", count);
  if (!line.empty()) line.pop_back();
  return line;
}

void ReplayRecorder::FlushPending() {
  // A stream that failed stays failed: the frames are dropped and Close reports it.
  if (pendingCount_ > 0 && out_ && *out_) {
    *out_ << FormatReplayLine(pending_, pendingCount_) << "\n";
    out_->flush();
  }
  pendingCount_ = 0;
}

bool ReplayRecorder::Close() {
  FlushPending();
  bool ok = out_ != nullptr && static_cast<bool>(*out_);
  if (file_.is_open()) {
    file_.close();
    ok = ok && !file_.fail();
  }
  out_ = nullptr;
  return ok;
}
