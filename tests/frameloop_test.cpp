// The frame loop on the headless clock: frame rate limits, late frames, the pause while the window has
// lost the focus, the close button, Esc, and SleepMs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/core/Errors.h"
#include "runtime/core/Input.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/program/Runtime.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/GameTestSupport.h"

namespace {

using testing_support::FakePlatform;
using testing_support::InstallFakePlatform;
using testing_support::RunHeadless;

constexpr double kPeriod26 = 1000.0 / 26;

plat::WindowEvents FocusLost() {
  plat::WindowEvents ev;
  ev.focusLost = true;
  return ev;
}
plat::WindowEvents FocusGained() {
  plat::WindowEvents ev;
  ev.focusGained = true;
  return ev;
}
plat::WindowEvents CloseRequest() {
  plat::WindowEvents ev;
  ev.closeRequested = true;
  return ev;
}

// Time between two frames shown one after the other at the current limit.
double FrameGap() {
  ShowFrame();  // lines the schedule up with the limit just set
  const double before = ReadClockMs();
  ShowFrame();
  return ReadClockMs() - before;
}

TEST(FrameRate, LimitsAtOrBelowZeroGiveTwoMillisecondFramesNotAnUnlimitedRate) {
  std::vector<double> gaps;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          for (double fps : {0.0, -3.0, 0.9, std::nan("")}) {
                            SetFrameRateLimit(fps);
                            EXPECT_DOUBLE_EQ(Rt().renderer->framePeriodMs, 2.0) << "fps " << fps;
                            gaps.push_back(FrameGap());
                          }
                          SetFrameRateLimit(26.9);
                          gaps.push_back(FrameGap());
                          EndProgram();
                        }),
            0);
  ASSERT_EQ(gaps.size(), 5u);
  for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(gaps[i], 2.0, 1e-6);
  EXPECT_NEAR(gaps[4], kPeriod26, 1e-6);
}

// A clock a long way from zero cannot tell a period of a few nanoseconds from nothing; stepping the
// schedule one period at a time then never reaches the present moment.
TEST(FrameRateDeathTest, TinyPeriodOnAClockFarFromZeroStillShowsFrames) {
  EXPECT_EXIT(
      {
        ::alarm(30);  // a schedule that never catches up ends here with a signal
        RunProgram({"brillora", "--headless"}, "Brillora", [] {
          Rt().platform->CloseAudio();  // no sound to pull through a trillion milliseconds
          SetFrameRateLimit(2147483647);
          SleepMs(1.0e12);
          ShowFrame();
          const double shownAt = ReadClockMs();
          ShowFrame();
          const bool ok = ReadClockMs() - shownAt < 0.01 && Rt().renderer->nextFrameMs >= ReadClockMs();
          std::_Exit(ok ? 0 : 1);
        });
        std::_Exit(2);
      },
      testing::ExitedWithCode(0), "");
}

TEST(FrameWait, WindowEventsAreHandledOnceAFrameAfterTheWait) {
  int pumps = -1;
  double late = -1;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          SetFrameRateLimit(26);
                          ShowFrame();
                          const int before = fake.Pumps();
                          const double deadline = Rt().renderer->nextFrameMs;
                          for (int i = 0; i < 10; ++i) ShowFrame();
                          pumps = fake.Pumps() - before;
                          // The tenth frame starts right after the ninth deadline: the schedule is absolute.
                          late = Rt().clock.currentFrameMs - (deadline + 8 * kPeriod26);
                          EndProgram();
                        }),
            0);
  EXPECT_EQ(pumps, 10);
  EXPECT_GE(late, 0);
  EXPECT_LT(late, 0.01);
}

TEST(Pause, FocusLossHoldsTheGameInShowFrameUntilTheFocusReturns) {
  double t0 = 0, resumedAt = 0, frameClock = 0, phase = 0, next = 0;
  bool pausedAfterLoss = false, pausedAfterReturn = true;
  std::string captionPaused, captionBack;
  int presentsDuringPause = -1;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          SetFrameRateLimit(26);
                          ShowFrame();
                          t0 = ReadClockMs();
                          fake.EventAt(t0, FocusLost());
                          fake.EventAt(t0 + 1000, FocusGained());
                          ShowFrame();  // the focus goes during this frame, which is still shown
                          pausedAfterLoss = Rt().paused;
                          if (!fake.Captions().empty()) captionPaused = fake.Captions().back();
                          const int presents = fake.Presents();
                          phase = Rt().renderer->nextFrameMs;
                          ShowFrame();  // stands still until the focus is back, then goes on at once
                          pausedAfterReturn = Rt().paused;
                          captionBack = fake.Captions().back();
                          presentsDuringPause = fake.Presents() - presents;
                          resumedAt = ReadClockMs();
                          frameClock = Rt().clock.currentFrameMs;
                          next = Rt().renderer->nextFrameMs;
                          EndProgram();
                        }),
            0);
  EXPECT_TRUE(pausedAfterLoss);
  EXPECT_EQ(captionPaused, "Brillora <pause>");
  EXPECT_FALSE(pausedAfterReturn);
  EXPECT_EQ(captionBack, "Brillora");
  EXPECT_EQ(presentsDuringPause, 1);
  // The frame's clock was taken before the pause, which looks for the focus and then sleeps 100 ms.
  EXPECT_LT(frameClock, t0 + kPeriod26 + 1);
  EXPECT_GE(resumedAt, t0 + 1100);
  EXPECT_LT(resumedAt, t0 + 1200);
  const double looks = (resumedAt - frameClock) / 100;
  EXPECT_NEAR(looks, std::round(looks), 1e-6);
  // The frames missed while paused are skipped whole: the schedule keeps its phase.
  const double periods = (next - phase) / kPeriod26;
  EXPECT_NEAR(periods, std::round(periods), 1e-6);
  EXPECT_GT(next, resumedAt);
  EXPECT_LE(next, resumedAt + kPeriod26);
}

TEST(Pause, WithoutAutoPauseOrWithTheDebugLogFocusLossChangesNothing) {
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          EXPECT_TRUE(Rt().autoPause);
                          SetAutoPause(0);
                          EXPECT_FALSE(Rt().autoPause);
                          fake.EventAt(ReadClockMs(), FocusLost());
                          ShowFrame();
                          EXPECT_FALSE(Rt().paused);
                          EXPECT_TRUE(fake.Captions().empty());

                          SetAutoPause(std::nan(""));  // NaN is not 0
                          EXPECT_TRUE(Rt().autoPause);
                          Rt().settings.debugLog = 1;
                          fake.EventAt(ReadClockMs(), FocusLost());
                          ShowFrame();
                          EXPECT_FALSE(Rt().paused);
                          EXPECT_TRUE(fake.Captions().empty());
                          Rt().settings.debugLog = 0;
                          EndProgram();
                        }),
            0);
}

// Alt+Enter or F11 (the platform reports the request) switches at the next pump, in any frame; the game's
// own request for full screen afterwards does not undo the player's choice of a window.
TEST(ScreenMode, ThePlayersSwitchTakesEffectAtOnceAndHoldsAgainstTheGamesRequest) {
  plat::WindowEvents switchMode;
  switchMode.switchFullScreen = true;
  std::vector<bool> fullScreen;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          SetScreenMode(640, 480, 1);
                          fullScreen.push_back(fake.FullScreen());
                          fake.EventAt(ReadClockMs(), switchMode);
                          ShowFrame();
                          fullScreen.push_back(fake.FullScreen());
                          fullScreen.push_back(Rt().renderer->fullScreenActive);
                          SetScreenMode(640, 480, 1);
                          fullScreen.push_back(fake.FullScreen());
                          fake.EventAt(ReadClockMs(), switchMode);
                          ShowFrame();
                          fullScreen.push_back(fake.FullScreen());
                          fullScreen.push_back(Rt().renderer->fullScreenActive);
                          EndProgram();
                        }),
            0);
  EXPECT_EQ(fullScreen, (std::vector<bool>{true, false, false, false, true, true}));
}

TEST(Close, CloseRequestEndsWithStatusZeroAlsoDuringThePause) {
  int reached = 0;
  std::string errors;
  EXPECT_EQ(RunHeadless(
                {},
                [&] {
                  FakePlatform& fake = InstallFakePlatform();
                  fake.EventAt(ReadClockMs(), CloseRequest());
                  ShowFrame();
                  reached = 1;
                  EndProgram();
                },
                &errors),
            0);
  EXPECT_EQ(reached, 0);
  EXPECT_EQ(errors, "");

  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          const double t0 = ReadClockMs();
                          fake.EventAt(t0, FocusLost());
                          fake.EventAt(t0 + 500, CloseRequest());
                          ShowFrame();
                          reached = 1;
                          ShowFrame();  // paused; the close button ends the program from the pause
                          reached = 2;
                          EndProgram();
                        }),
            0);
  EXPECT_EQ(reached, 1);
}

TEST(Escape, NaNAllowsEscAndWithoutItEscReachesTheGame) {
  int reached = 0;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          AllowEscape(0);
                          EXPECT_FALSE(Rt().allowEscape);
                          fake.QueuePolls({{{1}}, {{129}}});
                          ShowFrame();
                          EXPECT_EQ(KeyState(1), 1);
                          ShowFrame();
                          EXPECT_EQ(KeyState(129), 1);
                          AllowEscape(std::nan(""));
                          EXPECT_TRUE(Rt().allowEscape);
                          AllowEscape(0.25);  // not truncated: any value but 0 allows it
                          EXPECT_TRUE(Rt().allowEscape);
                          fake.QueuePolls({{{129}}});
                          reached = 1;
                          ShowFrame();
                          reached = 2;
                          EndProgram();
                        }),
            0);
  EXPECT_EQ(reached, 1);
}

TEST(HeadlessClock, SleepMsMovesTheClockByWholeMillisecondsOnly) {
  std::vector<double> moved;
  RunHeadless({}, [&] {
    for (double ms : {25.0, 2.9, 0.5, -5.0, std::nan(""), 1.0}) {
      const double before = ReadClockMs();
      SleepMs(ms);
      moved.push_back(ReadClockMs() - before);
    }
    EndProgram();
  });
  const std::vector<double> expected{25, 2, 0, 0, 0, 1};
  ASSERT_EQ(moved.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(moved[i], expected[i], 1e-9) << "sleep " << i;
}

TEST(HeadlessClock, FramesOptionWithSleepsShorterAndLongerThanAFrame) {
  // Sleeps shorter than the period leave the schedule alone; longer ones make every frame late, shown
  // at once. Either way --frames 12 ends at the start of the thirteenth ShowFrame.
  for (double sleep : {10.0, 50.0}) {
    std::vector<double> shown;
    EXPECT_EQ(RunHeadless({"--frames", "12"},
                          [&] {
                            SetFrameRateLimit(26);
                            for (;;) {
                              SleepMs(sleep);
                              ShowFrame();
                              shown.push_back(ReadClockMs());
                            }
                          }),
              0);
    ASSERT_EQ(shown.size(), 11u) << "sleep " << sleep;  // start-up showed the first frame
    const double gap = sleep < kPeriod26 ? kPeriod26 : sleep;
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_NEAR(shown[i] - shown[i - 1], gap, 1e-6) << i;
  }
}

}  // namespace
