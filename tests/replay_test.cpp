// Replay files: the format's edge cases, where a replay ends, and games recorded from the devices and
// played back.
#include "runtime/core/Replay.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/core/Errors.h"
#include "runtime/core/Input.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/program/Runtime.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::FakePlatform;
using testing_support::FakePoll;
using testing_support::InstallFakePlatform;
using testing_support::ReadFile;
using testing_support::RunHeadless;
using testing_support::TempDir;
using testing_support::WriteText;

FrameInput Keys(std::vector<uint8_t> keys) {
  FrameInput f;
  f.keys = std::move(keys);
  return f;
}

// Every frame of a replay text, or the error of a refused one ("" when it loads).
struct Loaded {
  std::vector<FrameInput> frames;
  int32_t seed = 0;
  std::string error;
};

Loaded Load(const std::string& text) {
  TempDir dir;
  const std::string path = dir.File("r.rpl");
  WriteText(path, text);
  ReplayPlayer player;
  Loaded out;
  if (!player.Load(path, out.error)) return out;
  out.seed = player.seed();
  FrameInput f;
  while (player.Next(f)) out.frames.push_back(f);
  EXPECT_EQ(out.frames.size(), player.FrameCount());
  return out;
}

TEST(ReplayFormat, CommentsEmptyLinesRepeatsAndCrLf) {
  const std::string text =
      "BRILLORA-REPLAY 1\nseed 7\n# a comment is not a frame\n\n200 205 200 x2\n   \n#\n"
      "dx=-3 dy=4 lmb rmb\n57 x1\n";
  FrameInput mouse;
  mouse.dx = -3;
  mouse.dy = 4;
  mouse.left = mouse.right = true;
  const std::vector<FrameInput> expected{Keys({}), Keys({200, 205}), Keys({200, 205}), Keys({}),
                                         mouse,    Keys({57})};
  const Loaded lf = Load(text);
  EXPECT_EQ(lf.error, "");
  EXPECT_EQ(lf.seed, 7);
  EXPECT_EQ(lf.frames, expected);

  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const Loaded dos = Load(crlf);
  EXPECT_EQ(dos.error, "");
  EXPECT_EQ(dos.frames, expected);

  // The last line need not end with a line break.
  EXPECT_EQ(Load("BRILLORA-REPLAY 1\nseed 7\n200 x3").frames, std::vector<FrameInput>(3, Keys({200})));
}

TEST(ReplayFormat, SeedIsASigned32BitNumber) {
  EXPECT_EQ(Load("BRILLORA-REPLAY 1\nseed -2147483648\n").seed, INT32_MIN);
  EXPECT_EQ(Load("BRILLORA-REPLAY 1\nseed 2147483647\n").seed, INT32_MAX);
  for (const char* seed :
       {"seed 2147483648", "seed -2147483649", "seed", "seed 1.5", "Seed 1", "seed 0x10"}) {
    const Loaded l = Load(std::string("BRILLORA-REPLAY 1\n") + seed + "\n");
    EXPECT_NE(l.error.find("line 2"), std::string::npos) << seed << ": " << l.error;
  }
}

TEST(ReplayFormat, MalformedLinesAreRefusedByNumber) {
  struct Case {
    const char* text;
    const char* line;
  };
  const Case cases[] = {
      {"", "line 1"},
      {"BRILLORA-REPLAY 2\nseed 1\n", "line 1"},
      {"BRILLORA-REPLAY 1\n", "line 2"},
      {"BRILLORA-REPLAY 1\nseed x\n", "line 2"},
      {"BRILLORA-REPLAY 1\nseed 5\n200\nhello\n", "line 4"},   // a word that is no input
      {"BRILLORA-REPLAY 1\nseed 1\n\n200 x2 57\n", "line 4"},  // a token after the repeat count
      {"BRILLORA-REPLAY 1\nseed 1\n200 x2 x3\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\nx0\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\n200 x\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\nx-2\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\n256\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\n-1\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\ndx=100001\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\ndy=\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\nlmbx\n", "line 3"},
      {"BRILLORA-REPLAY 1\nseed 1\n # only a line starting with # is a comment\n", "line 3"},
  };
  for (const Case& c : cases) {
    const Loaded l = Load(c.text);
    EXPECT_NE(l.error.find(c.line), std::string::npos) << c.text << " -> " << l.error;
    EXPECT_EQ(l.error.find('\n'), std::string::npos);
  }
}

TEST(ReplayFormat, LinesAreCappedAndUnreadableFilesSaySo) {
  // The longest line a recording can write still loads; one byte more than the cap is refused by number.
  std::string keys;
  for (int k = 0; k < 256; ++k) keys += std::to_string(k) + " ";
  keys += "dx=-100000 dy=-100000 lmb rmb x1000000000";
  ReplayPlayer longest;
  std::string error;
  TempDir dir;
  WriteText(dir.File("long.rpl"), "BRILLORA-REPLAY 1\nseed 1\n" + keys + "\n");
  EXPECT_TRUE(longest.Load(dir.File("long.rpl"), error)) << error;
  EXPECT_EQ(longest.FrameCount(), 1000000000u);
  const std::string comment = "#" + std::string(kMaxReplayLine - 1, 'c');
  EXPECT_EQ(Load("BRILLORA-REPLAY 1\nseed 1\n" + comment + "\n5\n").error, "");
  Loaded l = Load("BRILLORA-REPLAY 1\nseed 1\n\n" + comment + "c\n");
  EXPECT_NE(l.error.find("line 4: longer than 4096 bytes"), std::string::npos) << l.error;

  // A device that never ends a line is refused after the cap, not read for ever.
  ReplayPlayer player;
  EXPECT_FALSE(player.Load("/dev/zero", error));
  EXPECT_EQ(error, "replay /dev/zero line 1: longer than 4096 bytes");
  // A folder cannot be read at all; neither can a missing file.
  EXPECT_FALSE(player.Load(dir.path(), error));
  EXPECT_EQ(error, "cannot read replay " + dir.path() + " (is a folder)");
  EXPECT_FALSE(player.Load(dir.File("none.rpl"), error));
  EXPECT_EQ(error, "cannot read replay " + dir.File("none.rpl") + " (no such file)");
  // A last line without its newline still counts.
  l = Load("BRILLORA-REPLAY 1\nseed 7\n200 x2");
  EXPECT_EQ(l.error, "");
  EXPECT_EQ(l.frames.size(), 2u);
}

// Tokens part at any white space of the C locale; a zero byte is none, and keys come out ascending once.
TEST(ReplayFormat, TokensPartAtWhiteSpaceAndKeysComeOutAscendingOnce) {
  const Loaded l = Load("BRILLORA-REPLAY 1\nseed 3\n\t57\v30\f57 \r 2\tx2\r\n");
  EXPECT_EQ(l.error, "");
  EXPECT_EQ(l.frames, std::vector<FrameInput>(2, Keys({2, 30, 57})));
  const Loaded zero = Load(std::string("BRILLORA-REPLAY 1\nseed 3\n5") + '\0' + "6\n");
  EXPECT_EQ(zero.error.rfind("replay ", 0), 0u) << zero.error;
  EXPECT_NE(zero.error.find("line 3: unknown token"), std::string::npos) << zero.error;
}

// A line of the greatest length loads at the end of the file as well; the stream is read from where its
// buffer stands, whatever state the caller left it in.
TEST(ReplayFormat, TheLongestLineEndsTheFileAndTheStreamStateIsNotRead) {
  const std::string comment = "#" + std::string(kMaxReplayLine - 1, 'c');
  std::istringstream last("BRILLORA-REPLAY 1\nseed 1\n5 x4\n" + comment);
  last.setstate(std::ios::failbit);
  ReplayPlayer player;
  std::string error;
  EXPECT_TRUE(player.Parse(last, "last", error)) << error;
  EXPECT_EQ(player.FrameCount(), 4u);
  std::istringstream longer("BRILLORA-REPLAY 1\nseed 1\n" + comment + "c");
  EXPECT_FALSE(player.Parse(longer, "longer", error));
  EXPECT_EQ(error, "replay longer line 3: longer than 4096 bytes");
}

// A run of one input longer than a line may repeat goes on in further lines, so the recording still reads
// back; a recording made in memory reads back from memory alike.
TEST(ReplayFormat, LongRunsSplitIntoLinesThatReadBack) {
  std::ostringstream text;
  ReplayRecorder recorder;
  ASSERT_TRUE(recorder.Open(text, -5));
  recorder.Write(Keys({200}), kMaxReplayRepeat - 1);
  recorder.Write(Keys({200}), 3);  // crosses the line limit by two
  recorder.Write(Keys({}), 2 * kMaxReplayRepeat + 1);
  recorder.Write(Keys({57}));
  recorder.Write(Keys({57}), 0);  // nothing
  ASSERT_TRUE(recorder.Close());
  EXPECT_EQ(text.str(),
            "BRILLORA-REPLAY 1\nseed -5\n200 x1000000000\n200 x2\nx1000000000\nx1000000000\n\n57\n");

  std::istringstream in(text.str());
  ReplayPlayer player;
  std::string error;
  ASSERT_TRUE(player.Parse(in, "memory", error)) << error;
  EXPECT_EQ(player.seed(), -5);
  EXPECT_EQ(player.FrameCount(), static_cast<size_t>(3 * kMaxReplayRepeat + 4));
  ASSERT_EQ(player.Lines().size(), 6u);
  EXPECT_EQ(player.Lines()[1], std::make_pair(Keys({200}), 2LL));
  EXPECT_EQ(player.Lines()[5], std::make_pair(Keys({57}), 1LL));

  std::istringstream bad("BRILLORA-REPLAY 1\nseed 1\n200 x1000000001\n");
  EXPECT_FALSE(player.Parse(bad, "memory", error));
  EXPECT_EQ(error, "replay memory line 3: bad repeat count \"x1000000001\"");
  EXPECT_TRUE(player.Lines().empty());
}

// A game body that shows frames and writes down, for each, the keys, the mouse and the buttons it saw.
// It reads the mouse in every frame but `skipMouseFrame` (counting the frames it shows from 1).
std::function<void()> Logger(std::vector<std::string>& log, int skipMouseFrame = 0,
                             std::vector<FakePoll> polls = {}) {
  return [&log, skipMouseFrame, polls] {
    FakePlatform& fake = InstallFakePlatform();  // not polled while a replay plays
    fake.QueuePolls(polls);
    for (int frame = 1;; ++frame) {
      ShowFrame();
      std::string line;
      for (int k : {57, 200, 205}) line += KeyState(k) ? std::to_string(k) + " " : "";
      if (frame != skipMouseFrame) {
        double x = 0, y = 0, left = 0, right = 0;
        MouseState(x, y, left, right);
        line += std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)) +
                (left ? " L" : "") + (right ? " R" : "");
      }
      log.push_back(line);
    }
  };
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(ReplayRun, EndsAtTheShowFrameThatFindsNoLineLeftLikeFramesDoes) {
  TempDir dir;
  const std::string replay = dir.File("four.rpl");
  WriteText(replay, "BRILLORA-REPLAY 1\nseed 3\n\n200\n# the last line repeats\n205 x2\n");
  std::vector<std::string> played, limited;
  std::string errors;
  EXPECT_EQ(RunHeadless({"--play", replay}, Logger(played), &errors), 0);
  EXPECT_EQ(errors, "");
  EXPECT_EQ(Rt().clock.frames, 4);
  EXPECT_EQ(played, (std::vector<std::string>{"200 100,100", "205 100,100", "205 100,100"}));
  EXPECT_EQ(RunHeadless({"--frames", "4"}, Logger(limited)), 0);
  EXPECT_EQ(limited.size(), played.size());
}

TEST(ReplayRun, InputRecordedFromTheDevicesPlaysBackAlike) {
  TempDir dir;
  const std::string recorded = dir.File("live.rpl");
  // Polls of the game's frames 2 to 7 (the start-up frame polls before the devices are scripted). The
  // game does not read the mouse in its third frame (frame 4), so that motion waits for frame 5.
  FakePoll f2, f3, f4, f5;
  f2.keys = {200};
  f2.dx = 5;
  f2.dy = -3;
  f2.left = true;
  f3.keys = {200, 57};
  f3.right = true;
  f4.dx = 7;
  f5.dx = 2;
  f5.dy = 2;
  std::vector<std::string> live, played;
  EXPECT_EQ(RunHeadless({"--frames", "7", "--record", recorded}, Logger(live, 3, {f2, f3, f4, f5})), 0);
  EXPECT_EQ(Text(recorded), "BRILLORA-REPLAY 1\nseed 1\n\n200 dx=5 dy=-3 lmb\n57 200 rmb\n\ndx=9 dy=2\nx2\n");
  ASSERT_EQ(live.size(), 6u);
  EXPECT_EQ(live[0], "200 105,97 L");
  EXPECT_EQ(live[2], "");
  EXPECT_EQ(live[3], "114,99");
  EXPECT_EQ(RunHeadless({"--play", recorded}, Logger(played, 3)), 0);
  EXPECT_EQ(played, live);
}

// On the desktop the game's pointer goes to the picture pixel under the system pointer; the recording keeps
// the motion that takes it there, so the run plays back without the pointer.
TEST(ReplayRun, PointerPlacesFromTheDesktopPlayBackAsMotion) {
  TempDir dir;
  const std::string recorded = dir.File("pointer.rpl");
  auto at = [](int x, int y, bool left = false) {
    FakePoll p;
    p.pointer = true;
    p.x = x;
    p.y = y;
    p.left = left;
    return p;
  };
  // Frame 3 does not read the mouse: the pointer's place at frame 4's poll is what counts.
  const std::vector<FakePoll> polls{at(300, 200, true), at(10, 479), at(600, 5), at(17, 33), FakePoll{}};
  std::vector<std::string> live, played;
  EXPECT_EQ(RunHeadless({"--frames", "7", "--record", recorded}, Logger(live, 3, polls)), 0);
  ASSERT_EQ(live.size(), 6u);
  EXPECT_EQ(live[0], "300,200 L");
  EXPECT_EQ(live[1], "10,479");
  EXPECT_EQ(live[3], "17,33");
  EXPECT_EQ(live[4], "17,33");  // no pointer seen: the game's pointer stays
  EXPECT_EQ(Text(recorded),
            "BRILLORA-REPLAY 1\nseed 1\n\ndx=200 dy=100 lmb\ndx=-290 dy=279\n\ndx=7 dy=-446\nx2\n");
  EXPECT_EQ(RunHeadless({"--play", recorded}, Logger(played, 3)), 0);
  EXPECT_EQ(played, live);
}

// A replay played while recording is recorded again: the frames it gave the game (its comments, blank
// lines and repeats read alike) and the seed it carried, so the recording plays back alike.
TEST(ReplayRun, AReplayPlayedWhileRecordingIsRecordedAgainWithItsSeed) {
  TempDir dir;
  const std::string script = dir.File("script.rpl");
  const std::string recorded = dir.File("recorded.rpl");
  // Frames: an empty one, Right held twice, a comment, Up and Right with mouse motion and the left button
  // (three times more), Space with the right button.
  WriteText(script,
            "BRILLORA-REPLAY 1\nseed -42\n\n205 x2\n# a comment\n200 205 dx=5 dy=-3 lmb\nx3\n57 rmb\n");
  std::vector<std::string> played, again;
  std::string errors;
  EXPECT_EQ(RunHeadless({"--play", script, "--record", recorded}, Logger(played), &errors), 0) << errors;
  ASSERT_EQ(played.size(), 7u);  // eight frame lines, the first taken by the start-up frame
  EXPECT_EQ(played[0], "205 100,100");
  EXPECT_EQ(played[1], "205 100,100");
  EXPECT_EQ(played[2], "200 205 105,97 L");
  EXPECT_EQ(played[6].substr(0, 3), "57 ");
  EXPECT_EQ(Text(recorded).rfind("BRILLORA-REPLAY 1\nseed -42\n", 0), 0u) << Text(recorded);
  EXPECT_EQ(RunHeadless({"--play", recorded}, Logger(again), &errors), 0) << errors;
  EXPECT_EQ(again, played);
}

// Each way a line can be malformed is refused by the reader (ReplayFormat above); at the start, a malformed
// replay stops the program with status 2 before the game runs, and names its line.
TEST(ReplayRun, AMalformedReplayStopsTheStartNamingItsLine) {
  TempDir dir;
  const std::string bad = dir.File("bad.rpl");
  WriteText(bad, "BRILLORA-REPLAY 1\nseed 5\nx2 200\n");
  std::vector<std::string> log;
  std::string errors;
  EXPECT_EQ(RunHeadless({"--play", bad}, Logger(log), &errors), 2);
  EXPECT_TRUE(log.empty());
  EXPECT_NE(errors.find("line 3"), std::string::npos) << errors;
}

// The game reads the mouse only on some screens, so motion can gather for minutes before it is read; a
// recording of it must still play back.
TEST(ReplayRun, MotionGatheredOverManyFramesStillPlaysBack) {
  TempDir dir;
  const std::string recorded = dir.File("far.rpl");
  std::vector<FakePoll> polls(2);
  polls[0].dx = polls[1].dx = 60000;
  polls[0].dy = polls[1].dy = -60000;
  std::vector<std::string> live, played;
  EXPECT_EQ(RunHeadless({"--frames", "3", "--record", recorded}, Logger(live, 1, polls)), 0);
  ASSERT_EQ(live.size(), 2u);
  EXPECT_EQ(live[1], "639,0");
  std::string errors;
  EXPECT_EQ(RunHeadless({"--play", recorded}, Logger(played, 1), &errors), 0) << errors;
  EXPECT_EQ(played, live);
}

// Runs 200 frames of changing keys while recording into `path`, with files of this process allowed to grow
// to 256 bytes only (room for the message on standard error, which the test reads from a file): the first
// lines of the replay fit, its frames do not, as on a full disk. Ends the process.
[[noreturn]] void RecordIntoATinyFileAndExit(const std::string& path) {
  std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit then fails instead of ending the process
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = 256;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const std::vector<std::string> args{"brillora", "--headless", "--frames", "200", "--record", path};
  const int status = RunProgram(args, "Brillora", [] {
    FakePlatform& fake = InstallFakePlatform();
    std::vector<FakePoll> polls(200);
    for (size_t i = 0; i < polls.size(); ++i) polls[i].keys = {static_cast<int>(i) + 2};
    fake.QueuePolls(polls);
    for (;;) ShowFrame();
  });
  std::_Exit(status);
}

// A recording that stops being written part of the way is named when the program ends.
TEST(ReplayRunDeathTest, ARecordingCutShortIsReported) {
  TempDir dir;
  const std::string recorded = dir.File("short.rpl");
  EXPECT_EXIT(RecordIntoATinyFileAndExit(recorded), testing::ExitedWithCode(0),
              "replay .*short.rpl could not be written completely");
}

}  // namespace
