// Device state between two frame polls (see InputEvents.h).
#include "runtime/platform/InputEvents.h"

namespace plat {

namespace {

bool ValidCode(int code) {
  return code > 0 && code < 256;
}

}  // namespace

void InputEvents::KeyDown(int code, bool alt) {
  if (!ValidCode(code)) return;
  const bool modeSwitch = code == kF11 || (alt && (code == kReturn || code == kKeypadEnter));
  if (modeSwitch) {
    ++modeSwitches_;
    swallowed_[code] = true;
    return;
  }
  if (swallowed_[code]) return;
  held_[code] = true;
  pressed_[code] = true;
}

void InputEvents::KeyUp(int code) {
  if (!ValidCode(code)) return;
  swallowed_[code] = false;
  held_[code] = false;
}

void InputEvents::ButtonDown(int button) {
  if (button < 0 || button > 1) return;
  buttonHeld_[button] = true;
  buttonPressed_[button] = true;
}

void InputEvents::ButtonUp(int button) {
  if (button < 0 || button > 1) return;
  buttonHeld_[button] = false;
}

void InputEvents::PointerAt(double wx, double wy) {
  pointerKnown_ = true;
  pointerInside_ = true;
  pointerX_ = wx;
  pointerY_ = wy;
}

void InputEvents::PointerLeft() {
  pointerInside_ = false;
}

void InputEvents::FocusLost() {
  for (int i = 0; i < 256; ++i) held_[i] = swallowed_[i] = false;
  buttonHeld_[0] = buttonHeld_[1] = false;
}

void InputEvents::TakeKeys(uint8_t state[256]) {
  for (int i = 0; i < 256; ++i) {
    state[i] = (held_[i] || pressed_[i]) ? 0x80 : 0;
    pressed_[i] = false;
  }
}

void InputEvents::TakeButtons(bool& left, bool& right) {
  left = buttonHeld_[0] || buttonPressed_[0];
  right = buttonHeld_[1] || buttonPressed_[1];
  buttonPressed_[0] = buttonPressed_[1] = false;
}

bool InputEvents::TakeModeSwitch() {
  const bool odd = modeSwitches_ % 2 != 0;
  modeSwitches_ = 0;
  return odd;
}

bool InputEvents::Pointer(double& wx, double& wy) const {
  if (!pointerKnown_) return false;
  wx = pointerX_;
  wy = pointerY_;
  return true;
}

}  // namespace plat
