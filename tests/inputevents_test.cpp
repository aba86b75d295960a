// The keyboard and the mouse between two frame polls: a press seen once however short, a held key seen
// until the poll after its release and not beyond, the full-screen switch keys kept from the game, and
// everything let go when the window loses the focus.
#include "runtime/platform/InputEvents.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/GameWords.h"
#include "tests/support/InputPoll.h"

namespace {

using plat::InputEvents;

using key::kReturn;
using key::kRight;
using testing_support::Poll;
using testing_support::PollLeft;
// Keys the runtime itself handles (the mode switch); the game never sees them.
constexpr int kAlt = 56, kF11 = 87, kKeypadEnter = 156;

TEST(InputEvents, ATapBetweenTwoPollsIsSeenByOnePollOnly) {
  InputEvents in;
  in.KeyDown(kRight, false);
  in.KeyUp(kRight);
  EXPECT_EQ(Poll(in), std::vector<int>{kRight});
  EXPECT_TRUE(Poll(in).empty());

  // Held over two polls and let go before the third: two frames, not three.
  in.KeyDown(kRight, false);
  EXPECT_EQ(Poll(in), std::vector<int>{kRight});
  EXPECT_EQ(Poll(in), std::vector<int>{kRight});
  in.KeyUp(kRight);
  EXPECT_TRUE(Poll(in).empty());
}

TEST(InputEvents, AClickIsOneFrameOfTheButtonAndAHoldLastsUntilTheRelease) {
  InputEvents in;
  in.ButtonDown(0);
  in.ButtonUp(0);
  EXPECT_TRUE(PollLeft(in));
  EXPECT_FALSE(PollLeft(in));

  in.ButtonDown(0);
  EXPECT_TRUE(PollLeft(in));
  EXPECT_TRUE(PollLeft(in));
  in.ButtonUp(0);
  EXPECT_FALSE(PollLeft(in));

  in.ButtonDown(1);
  bool left = true, right = false;
  in.TakeButtons(left, right);
  EXPECT_FALSE(left);
  EXPECT_TRUE(right);
  in.ButtonDown(2);  // other buttons are not the game's
  in.ButtonDown(-1);
  in.ButtonUp(1);
  in.TakeButtons(left, right);
  EXPECT_FALSE(left);
  EXPECT_FALSE(right);
}

TEST(InputEvents, AltReturnAndF11SwitchTheModeAndTheGameNeverSeesThem) {
  InputEvents in;
  in.KeyDown(kAlt, false);
  in.KeyDown(kReturn, true);
  EXPECT_TRUE(in.TakeModeSwitch());
  EXPECT_FALSE(in.TakeModeSwitch());
  EXPECT_EQ(Poll(in), std::vector<int>{kAlt});
  // Alt let go first: the Return still held belongs to the switch until it is released.
  in.KeyUp(kAlt);
  EXPECT_TRUE(Poll(in).empty());
  in.KeyUp(kReturn);
  EXPECT_TRUE(Poll(in).empty());
  // A plain Return afterwards is the game's again.
  in.KeyDown(kReturn, false);
  EXPECT_EQ(Poll(in), std::vector<int>{kReturn});
  in.KeyUp(kReturn);
  Poll(in);

  in.KeyDown(kKeypadEnter, true);
  in.KeyUp(kKeypadEnter);
  EXPECT_TRUE(in.TakeModeSwitch());
  in.KeyDown(kF11, false);
  EXPECT_TRUE(in.TakeModeSwitch());
  EXPECT_TRUE(Poll(in).empty());
  in.KeyUp(kF11);

  // Two switches before anyone looks cancel out.
  in.KeyDown(kF11, false);
  in.KeyUp(kF11);
  in.KeyDown(kF11, false);
  in.KeyUp(kF11);
  EXPECT_FALSE(in.TakeModeSwitch());
  EXPECT_TRUE(Poll(in).empty());
}

TEST(InputEvents, LosingTheFocusLetsEverythingGoButKeepsAPressNotYetSeen) {
  InputEvents in;
  in.KeyDown(kRight, false);
  in.ButtonDown(0);
  EXPECT_EQ(Poll(in), std::vector<int>{kRight});
  EXPECT_TRUE(PollLeft(in));
  in.KeyDown(kAlt, false);
  in.FocusLost();
  EXPECT_EQ(Poll(in), std::vector<int>{kAlt});  // pressed before the focus went: seen once
  EXPECT_TRUE(Poll(in).empty());
  EXPECT_FALSE(PollLeft(in));
  in.KeyDown(0, false);  // keys without a game code are ignored
  in.KeyDown(256, false);
  EXPECT_TRUE(Poll(in).empty());
}

TEST(InputEvents, ThePointerIsKnownOnceSeenAndInsideUntilItLeaves) {
  InputEvents in;
  double x = -1, y = -1;
  EXPECT_FALSE(in.Pointer(x, y));
  EXPECT_FALSE(in.PointerInside());
  in.PointerEntered();
  EXPECT_FALSE(in.PointerInside());  // entered, but where is not known yet
  in.PointerAt(100, 50);
  ASSERT_TRUE(in.Pointer(x, y));
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
  EXPECT_TRUE(in.PointerInside());
  in.PointerLeft();
  EXPECT_FALSE(in.PointerInside());
  EXPECT_TRUE(in.Pointer(x, y));  // the last place stays known
  in.PointerEntered();
  EXPECT_TRUE(in.PointerInside());
}

}  // namespace
