// The scripted stand-in platform of the runtime tests (see FakePlatform.h).
#include "tests/support/FakePlatform.h"

#include "runtime/core/RuntimeContext.h"

namespace testing_support {

plat::WindowEvents FakePlatform::PumpEvents() {
  ++pumps_;
  plat::WindowEvents ev = Inner().PumpEvents();
  if (!timed_.empty() && timed_.front().first <= Inner().NowMs()) {
    const plat::WindowEvents& due = timed_.front().second;
    ev.closeRequested = ev.closeRequested || due.closeRequested;
    ev.focusGained = ev.focusGained || due.focusGained;
    ev.focusLost = ev.focusLost || due.focusLost;
    ev.switchFullScreen = ev.switchFullScreen || due.switchFullScreen;
    timed_.pop_front();
  }
  return ev;
}

void FakePlatform::ReadKeyboard(uint8_t state[256]) {
  Inner().ReadKeyboard(state);
  current_ = FakePoll{};
  if (!polls_.empty()) {
    current_ = polls_.front();
    polls_.pop_front();
  }
  for (int k : current_.keys) state[k & 0xFF] = 0x80;
}

void FakePlatform::ReadMouse(int& dx, int& dy, bool& left, bool& right) {
  Inner().ReadMouse(dx, dy, left, right);
  dx += current_.dx;
  dy += current_.dy;
  left = left || current_.left;
  right = right || current_.right;
}

bool FakePlatform::PointerPosition(int& x, int& y) {
  if (!current_.pointer) return Inner().PointerPosition(x, y);
  x = current_.x;
  y = current_.y;
  return true;
}

void FakePlatform::PlacePointer(int x, int y) {
  placements_.emplace_back(x, y);
  // The system pointer follows at once, as it does on a desktop.
  if (current_.pointer) {
    current_.x = x;
    current_.y = y;
  }
  Inner().PlacePointer(x, y);
}

FakePlatform& InstallFakePlatform() {
  auto fake = std::make_unique<FakePlatform>(std::move(Rt().platform));
  FakePlatform& ref = *fake;
  Rt().platform = std::move(fake);
  return ref;
}

}  // namespace testing_support
