// A game controller turned into game keys or pointer motion (see PadInput.h).
#include "runtime/platform/PadInput.h"

#include <algorithm>
#include <cstdlib>

namespace plat {
namespace {

constexpr int kSpace = 57, kReturn = 28, kEscape = 1, kUp = 200, kDown = 208, kLeft = 203, kRight = 205;

int KeyOf(PadButton b) {
  switch (b) {
    case PadButton::kA:
      return kSpace;
    case PadButton::kB:
    case PadButton::kBack:
      return kEscape;
    case PadButton::kStart:
      return kReturn;
    case PadButton::kUp:
      return kUp;
    case PadButton::kDown:
      return kDown;
    case PadButton::kLeft:
      return kLeft;
    case PadButton::kRight:
      return kRight;
  }
  return 0;
}

bool MovesPointer(PadButton b) {
  return b == PadButton::kUp || b == PadButton::kDown || b == PadButton::kLeft || b == PadButton::kRight;
}

}  // namespace

void PadInput::SetPointerMode(bool on) {
  if (on == pointerMode_) return;
  pointerMode_ = on;
  // A button held across the change keeps what it did until it is let go; only the stick, which has no
  // press of its own, follows the screen at once.
  UpdateStickKeys();
}

void PadInput::Button(PadButton button, bool down) {
  const int i = static_cast<int>(button);
  if (i < 0 || i >= kPadButtonCount || down == down_[i]) return;
  down_[i] = down;
  if (down) {
    if (pointerMode_ && button == PadButton::kA) {
      clicking_ = true;
      events_.ButtonDown(0);
    } else if (!(pointerMode_ && MovesPointer(button))) {
      heldKey_[i] = KeyOf(button);
      events_.PadDown(heldKey_[i]);
    }
    return;
  }
  if (button == PadButton::kA && clicking_) {
    clicking_ = false;
    events_.ButtonUp(0);
  }
  if (heldKey_[i] != 0) events_.PadUp(heldKey_[i]);
  heldKey_[i] = 0;
}

void PadInput::Stick(int axis, int value) {
  if (axis < 0 || axis > 1) return;
  stick_[axis] = value;
  UpdateStickKeys();
}

void PadInput::UpdateStickKeys() {
  const int x = stick_[0], y = stick_[1];
  const int want[4] = {y < 0 ? -y : 0, y > 0 ? y : 0, x < 0 ? -x : 0, x > 0 ? x : 0};
  const int keys[4] = {kUp, kDown, kLeft, kRight};
  for (int d = 0; d < 4; ++d) {
    const bool held = stickKey_[d] != 0;
    const bool hold = !pointerMode_ && (held ? want[d] > kDeadZone : want[d] > kKeyThreshold);
    if (hold && !held) {
      stickKey_[d] = keys[d];
      events_.PadDown(keys[d]);
    } else if (!hold && held) {
      events_.PadUp(stickKey_[d]);
      stickKey_[d] = 0;
    }
  }
}

double PadInput::StickSpeed(int value) {
  const int magnitude = std::abs(value);
  if (magnitude <= kDeadZone) return 0.0;
  double share = static_cast<double>(magnitude - kDeadZone) / (32767.0 - kDeadZone);
  if (share > 1.0) share = 1.0;
  // Squared: small deflections give fine control, a full push crosses the picture in about a second.
  const double speed = kStickPointerSpeed * share * share;
  return value < 0 ? -speed : speed;
}

void PadInput::Velocity(double& vx, double& vy) const {
  vx = vy = 0;
  if (!pointerMode_) return;
  vx = StickSpeed(stick_[0]);
  vy = StickSpeed(stick_[1]);
  if (down_[static_cast<int>(PadButton::kLeft)]) vx -= kPadPointerSpeed;
  if (down_[static_cast<int>(PadButton::kRight)]) vx += kPadPointerSpeed;
  if (down_[static_cast<int>(PadButton::kUp)]) vy -= kPadPointerSpeed;
  if (down_[static_cast<int>(PadButton::kDown)]) vy += kPadPointerSpeed;
}

void PadInput::Advance(double nowMs) {
  // A clock that stood still for long (a stopped program) does not throw the pointer across the picture.
  constexpr double kMaxStepMs = 1000.0;
  if (lastMs_ >= 0 && nowMs > lastMs_) {
    const double seconds = std::min(nowMs - lastMs_, kMaxStepMs) / 1000.0;
    double vx = 0, vy = 0;
    Velocity(vx, vy);
    motionX_ += vx * seconds;
    motionY_ += vy * seconds;
  }
  if (nowMs > lastMs_) lastMs_ = nowMs;
}

void PadInput::TakeMotion(double& dx, double& dy) {
  dx = motionX_;
  dy = motionY_;
  motionX_ = motionY_ = 0;
}

void PadInput::ReleaseAll() {
  for (int i = 0; i < kPadButtonCount; ++i) Button(static_cast<PadButton>(i), false);
  stick_[0] = stick_[1] = 0;
  UpdateStickKeys();
}

}  // namespace plat
