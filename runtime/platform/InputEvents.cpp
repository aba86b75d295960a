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
  if (swallowed_[code] || keyTarget_[code] != 0) return;
  const KeyAction action = bindings_.action[code];
  if (action != KeyAction::kNone) {
    ++actions_[static_cast<int>(action)];
    swallowed_[code] = true;
    return;
  }
  const int target = bindings_.gameKey[code];
  if (!ValidCode(target)) return;
  keyTarget_[code] = static_cast<uint8_t>(target);
  Press(target);
}

void InputEvents::KeyUp(int code) {
  if (!ValidCode(code)) return;
  swallowed_[code] = false;
  if (keyTarget_[code] != 0) Release(keyTarget_[code]);
  keyTarget_[code] = 0;
}

void InputEvents::PadDown(int code) {
  if (ValidCode(code)) Press(code);
}

void InputEvents::PadUp(int code) {
  if (ValidCode(code)) Release(code);
}

void InputEvents::Press(int gameKey) {
  ++holders_[gameKey];
  pressed_[gameKey] = true;
}

void InputEvents::Release(int gameKey) {
  if (holders_[gameKey] > 0) --holders_[gameKey];
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
  for (int i = 0; i < 256; ++i) {
    holders_[i] = 0;
    keyTarget_[i] = 0;
    swallowed_[i] = false;
  }
  buttonHeld_[0] = buttonHeld_[1] = false;
}

void InputEvents::TakeKeys(uint8_t state[256]) {
  for (int i = 0; i < 256; ++i) {
    state[i] = (holders_[i] > 0 || pressed_[i]) ? 0x80 : 0;
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

void InputEvents::TakeActions(int counts[kKeyActionCount]) {
  for (int i = 0; i < kKeyActionCount; ++i) {
    counts[i] = actions_[i];
    actions_[i] = 0;
  }
}

bool InputEvents::Pointer(double& wx, double& wy) const {
  if (!pointerKnown_) return false;
  wx = pointerX_;
  wy = pointerY_;
  return true;
}

}  // namespace plat
