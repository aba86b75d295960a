// The game's view of the mouse: one move per frame, the position kept inside the screen, SetMousePos,
// and motion gathered over frames in which the game did not read the mouse.
#include "runtime/core/Input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/program/Runtime.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/GameTestSupport.h"

namespace {

using testing_support::FakePlatform;
using testing_support::FakePoll;
using testing_support::InstallFakePlatform;
using testing_support::RunHeadless;

struct MouseRead {
  double x = 0, y = 0, left = 0, right = 0;
};

MouseRead ReadMouse() {
  MouseRead m;
  MouseState(m.x, m.y, m.left, m.right);
  return m;
}

FakePoll Motion(int dx, int dy, bool left = false, bool right = false) {
  FakePoll p;
  p.dx = dx;
  p.dy = dy;
  p.left = left;
  p.right = right;
  return p;
}

TEST(Mouse, MovesOncePerFrameAndStaysOnTheScreen) {
  std::vector<MouseRead> reads;
  EXPECT_EQ(
      RunHeadless(
          {},
          [&] {
            FakePlatform& fake = InstallFakePlatform();
            fake.QueuePolls({Motion(1000, 3, true), Motion(-50, 0, false, true), Motion(3, 1), Motion(4, 1)});
            SetMousePos(600, 100);
            ShowFrame();
            reads.push_back(ReadMouse());  // beyond the right edge
            reads.push_back(ReadMouse());  // same frame: no second move
            ShowFrame();
            reads.push_back(ReadMouse());  // back left at once
            ShowFrame();
            ShowFrame();
            reads.push_back(ReadMouse());  // two frames of motion, read once
            SetMousePos(96, 160);
            reads.push_back(ReadMouse());  // placed; no motion left this frame
            ShowFrame();
            reads.push_back(ReadMouse());
            EndProgram();
          }),
      0);
  ASSERT_EQ(reads.size(), 6u);
  EXPECT_EQ(reads[0].x, 639);
  EXPECT_EQ(reads[0].y, 103);
  EXPECT_EQ(reads[0].left, 1);
  EXPECT_EQ(reads[0].right, 0);
  EXPECT_EQ(reads[1].x, 639);
  EXPECT_EQ(reads[1].y, 103);
  EXPECT_EQ(reads[2].x, 589);
  EXPECT_EQ(reads[2].left, 0);
  EXPECT_EQ(reads[2].right, 1);
  EXPECT_EQ(reads[3].x, 596);
  EXPECT_EQ(reads[3].y, 105);
  EXPECT_EQ(reads[4].x, 96);
  EXPECT_EQ(reads[4].y, 160);
  EXPECT_EQ(reads[5].x, 96);
  EXPECT_EQ(reads[5].y, 160);
}

TEST(Mouse, MotionFromAPositionFarOffTheScreenIsClampedNotWrapped) {
  std::vector<MouseRead> reads;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          fake.QueuePolls({Motion(-5, 5), Motion(5, -5)});
                          SetMousePos(-3.0e9, 3.0e9);  // beyond 32 bits: the lowest value
                          ShowFrame();
                          reads.push_back(ReadMouse());
                          SetMousePos(2147483647, -2147483647);
                          ShowFrame();
                          reads.push_back(ReadMouse());
                          EndProgram();
                        }),
            0);
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[0].x, 0);
  EXPECT_EQ(reads[0].y, 0);
  EXPECT_EQ(reads[1].x, 639);
  EXPECT_EQ(reads[1].y, 0);
}

FakePoll PointerAt(int x, int y) {
  FakePoll p;
  p.pointer = true;
  p.x = x;
  p.y = y;
  return p;
}

TEST(Mouse, SetMousePosMovesTheSystemPointerAlongAndAReadInTheSameFrameFindsItThere) {
  std::vector<MouseRead> reads;
  std::vector<std::pair<int, int>> placed;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          fake.QueuePolls({PointerAt(500, 400), PointerAt(500, 400), PointerAt(20, 30)});
                          ShowFrame();
                          reads.push_back(ReadMouse());
                          ShowFrame();
                          SetMousePos(96, 160);  // as the name entry opens
                          reads.push_back(ReadMouse());
                          ShowFrame();
                          reads.push_back(ReadMouse());  // the player moved it on
                          SetMousePos(700, -5);          // off the picture: the pointer goes to its edge
                          reads.push_back(ReadMouse());
                          placed = fake.Placements();
                          EndProgram();
                        }),
            0);
  ASSERT_EQ(reads.size(), 4u);
  EXPECT_EQ(reads[0].x, 500);
  EXPECT_EQ(reads[0].y, 400);
  EXPECT_EQ(reads[1].x, 96);
  EXPECT_EQ(reads[1].y, 160);
  EXPECT_EQ(reads[2].x, 20);
  EXPECT_EQ(reads[2].y, 30);
  EXPECT_EQ(reads[3].x, 639);
  EXPECT_EQ(reads[3].y, 0);
  EXPECT_EQ(placed, (std::vector<std::pair<int, int>>{{96, 160}, {639, 0}}));
}

// The system pointer is hidden over the picture only on screens that draw a pointer of their own: those
// that read the mouse.
TEST(Mouse, TheSystemPointerGivesWayOnlyToScreensThatReadTheMouse) {
  std::vector<bool> said;
  EXPECT_EQ(RunHeadless({},
                        [&] {
                          FakePlatform& fake = InstallFakePlatform();
                          ShowFrame();
                          ReadMouse();
                          ShowFrame();
                          ShowFrame();
                          KeyState(28);
                          ShowFrame();
                          said = fake.GameDrawsPointer();
                          EndProgram();
                        }),
            0);
  EXPECT_EQ(said, (std::vector<bool>{false, true, false, false}));
}

}  // namespace
