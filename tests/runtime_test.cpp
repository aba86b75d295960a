// Start-up, the frame schedule, the command line, replays and program end, driven headless.
#include "runtime/program/Runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <functional>

#include "runtime/core/Errors.h"
#include "runtime/core/Input.h"
#include "runtime/core/Options.h"
#include "runtime/core/Replay.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/core/WholeNumber.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteText;

// The body of the game main for the current test.
std::function<void()>& Body() {
  static std::function<void()> body;
  return body;
}
void RunBody() {
  Body()();
}

int RunHeadless(std::vector<std::string> extra, std::function<void()> body) {
  Body() = std::move(body);
  std::vector<std::string> args{"brillora", "--headless"};
  args.insert(args.end(), extra.begin(), extra.end());
  testing::internal::CaptureStdout();
  const int status = RunProgram(args, "Brillora", RunBody);
  testing::internal::GetCapturedStdout();
  return status;
}

TEST(CommandLine, OptionsAndErrors) {
  LaunchOptions o;
  std::string err;
  EXPECT_EQ(ParseLaunchOptions({"b", "--windowed", "--seed", "-7", "--frames", "10"}, o, err),
            OptionsResult::kRun);
  EXPECT_TRUE(o.windowed);
  EXPECT_EQ(o.seed, -7);
  EXPECT_EQ(o.frameLimit, 10);
  EXPECT_EQ(ParseLaunchOptions({"b", "--help"}, o, err), OptionsResult::kHelp);
  EXPECT_EQ(ParseLaunchOptions({"b", "--nope"}, o, err), OptionsResult::kError);
  EXPECT_NE(err.find("--nope"), std::string::npos);
  EXPECT_EQ(ParseLaunchOptions({"b", "--seed", "4294967296"}, o, err), OptionsResult::kError);
  EXPECT_EQ(ParseLaunchOptions({"b", "--frames"}, o, err), OptionsResult::kError);
  EXPECT_EQ(RunProgram({"b", "--bogus"}, "Brillora", RunBody), 2);
}

TEST(CommandLine, WholeNumbersAreDigitsOnlyAfterOneSign) {
  long long v = 7;
  EXPECT_TRUE(ParseWholeNumber("+0009", 0, 9, v));
  EXPECT_EQ(v, 9);
  EXPECT_TRUE(ParseWholeNumber("-9223372036854775808", LLONG_MIN, LLONG_MAX, v));
  EXPECT_EQ(v, LLONG_MIN);
  v = 7;
  for (const std::string text : {"", "+", "-", "+-1", " 1", "1 ", "9223372036854775808", "0x1"})
    EXPECT_FALSE(ParseWholeNumber(text, LLONG_MIN, LLONG_MAX, v)) << '"' << text << '"';
  // The bytes next to the digits, a zero byte inside the text and bytes above 127 are no digits.
  for (const char c : {'/', ':', '\0', '\x80', '\xB0', '\xFF'}) {
    const std::string text = std::string("12") + c + "3";
    EXPECT_FALSE(ParseWholeNumber(text, LLONG_MIN, LLONG_MAX, v)) << static_cast<int>(c);
  }
  EXPECT_EQ(v, 7);  // left alone by every refusal
  EXPECT_FALSE(ParseWholeNumber("256", 0, 255, v));
  EXPECT_FALSE(ParseWholeNumber("-1", 0, 255, v));
  EXPECT_EQ(v, 7);
}

TEST(FrameLoop, FramesOptionEndsAfterThatManyFramesWithStatusZero) {
  long long seen = -1;
  const int status = RunHeadless({"--frames", "10"}, [&] {
    for (;;) {
      seen = Rt().clock.frames;
      ShowFrame();
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(seen, 10);  // start-up shows one frame, the game nine more
}

TEST(FrameLoop, ScheduleKeepsItsPhaseAndSkipsWholePeriodsWhenLate) {
  std::vector<double> times;
  double nextAfterLate = 0, lateScheduled = 0;
  RunHeadless({}, [&] {
    SetFrameRateLimit(26.9);  // truncated to 26
    EXPECT_DOUBLE_EQ(Rt().renderer->framePeriodMs, 1000.0 / 26);
    ShowFrame();
    for (int i = 0; i < 5; ++i) {
      ShowFrame();
      times.push_back(ReadClockMs());
    }
    const double period = Rt().renderer->framePeriodMs;
    lateScheduled = Rt().renderer->nextFrameMs;
    SleepMs(std::ceil(2.5 * period) + (lateScheduled - ReadClockMs()));
    ShowFrame();  // shown at once
    nextAfterLate = Rt().renderer->nextFrameMs;
    SetFrameRateLimit(0);
    EXPECT_DOUBLE_EQ(Rt().renderer->framePeriodMs, 2.0);
    SetFrameRateLimit(-3);
    EXPECT_DOUBLE_EQ(Rt().renderer->framePeriodMs, 2.0);
    EndProgram();
  });
  ASSERT_EQ(times.size(), 5u);
  for (size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(times[i] - times[i - 1], 1000.0 / 26, 0.01);
  EXPECT_NEAR(nextAfterLate - lateScheduled, 3 * 1000.0 / 26, 0.01);
}

TEST(FrameLoop, EscapeEndsOnlyWhileAllowedAndAltF4Always) {
  TempDir dir;
  const std::string replay = dir.File("esc.rpl");
  WriteText(replay, "BRILLORA-REPLAY 1\nseed 1\n\n1 x3\n56 62\n");
  long long framesAtEnd = 0;
  auto body = [&](bool allow) {
    return [&, allow] {
      AllowEscape(allow ? 1 : 0);
      for (;;) {
        ShowFrame();
        framesAtEnd = Rt().clock.frames;
      }
    };
  };
  EXPECT_EQ(RunHeadless({"--play", replay}, body(true)), 0);
  EXPECT_EQ(Rt().clock.frames, 2);  // start-up frame, then Esc held in the second
  EXPECT_EQ(RunHeadless({"--play", replay}, body(false)), 0);
  EXPECT_EQ(Rt().clock.frames, 5);  // Esc ignored; left Alt + F4 in the fifth
  (void)framesAtEnd;
}

// (Replays played, recorded and played back, and refused, are in replay_test.)
// (The mouse kept on the screen is in input_test.)
TEST(Input, KeyCodesAreTruncatedAndMaskedToAByte) {
  RunHeadless({"--frames", "3"}, [&] {
    Rt().input.keyState[1] = 0x80;
    EXPECT_EQ(KeyState(257), 1);
    EXPECT_EQ(KeyState(1.9), 1);
    EXPECT_EQ(KeyState(2), 0);
    EndProgram();
  });
}

}  // namespace

namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
  bool ran = false;  // the game main started
};

Outcome Launch(const std::vector<std::string>& extra) {
  Outcome o;
  Body() = [&o] {
    o.ran = true;
    EndProgram();
  };
  std::vector<std::string> args{"brillora", "--headless"};
  args.insert(args.end(), extra.begin(), extra.end());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  o.status = RunProgram(args, "Brillora", RunBody);
  o.out = testing::internal::GetCapturedStdout();
  o.err = testing::internal::GetCapturedStderr();
  return o;
}

TEST(CommandLine, RefusalsAreOneLineWithStatusTwoBeforeAnythingStarts) {
  TempDir dir;
  const std::vector<std::vector<std::string>> refused{
      {"--bogus"},
      {"windowed"},
      {"--frames"},
      {"--frames", "-1"},
      {"--frames", "1e3"},
      {"--seed", "0x10"},
      {"--data", dir.File("missing")},
      {"--play", dir.File("missing.rpl")},
      {"--data", ""},
      {"--play", ""},
      {"--record", ""},
      {"--dump", ""},
      {"--screenshot", ""},
      {"--screenshot", dir.File("shot.png")},  // a headless run draws no picture to save
  };
  for (const auto& extra : refused) {
    const Outcome o = Launch(extra);
    const std::string what = extra[0] + (extra.size() > 1 ? " \"" + extra[1] + "\"" : "");
    EXPECT_EQ(o.status, 2) << what;
    EXPECT_FALSE(o.ran) << what;
    EXPECT_EQ(o.out, "") << what;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << what << ": " << o.err;
    EXPECT_EQ(o.err.rfind("brillora: ", 0), 0u) << what << ": " << o.err;
  }
  EXPECT_NE(Launch({"--data", dir.File("missing")}).err.find(dir.File("missing")), std::string::npos);
}

TEST(CommandLine, VersionPrintsTheNameAndTheBuildsVersionAndStartsNothing) {
  const Outcome o = Launch({"--frames", "5", "--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_FALSE(o.ran);
  EXPECT_EQ(o.err, "");
  // "Brillora 0.1": the name, then the version the build was made as.
  ASSERT_EQ(o.out.rfind("Brillora ", 0), 0u) << o.out;
  EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 1);
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(o.out[9]))) << o.out;
}

TEST(CommandLine, HelpPrintsTheUsageAndStartsNothing) {
  for (const auto& extra : std::vector<std::vector<std::string>>{{"--help"}, {"--frames", "5", "-h"}}) {
    const Outcome o = Launch(extra);
    EXPECT_EQ(o.status, 0);
    EXPECT_FALSE(o.ran);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out.find("Init OK"), std::string::npos);
    for (const char* option :
         {"--windowed", "--data", "--headless", "--seed", "--frames", "--record", "--play", "--version"})
      EXPECT_NE(o.out.find(option), std::string::npos) << option;
  }
}

TEST(CommandLine, ARecordingThatCannotBeWrittenEndsTheStartWithOneLine) {
  TempDir dir;
  // A folder that does not exist, and a device that takes no bytes.
  for (const std::string& where : {dir.File("no-such-folder/run.rpl"), std::string("/dev/full")}) {
    const Outcome o = Launch({"--record", where});
    EXPECT_NE(o.status, 0) << where;
    EXPECT_FALSE(o.ran) << where;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    EXPECT_NE(o.err.find(where), std::string::npos) << o.err;
  }
}

}  // namespace
