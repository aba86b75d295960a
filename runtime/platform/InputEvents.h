// The keyboard, the mouse buttons and the pointer as the window's events leave them between two reads of
// a frame's input. The platform feeds it every event as it takes it from the window system and reads it
// once a frame, right after taking the events still waiting, so a frame sees the devices as they are at
// its poll. A press that is over before the poll still counts once. Plain state, no window system.
#pragma once

#include <cstdint>

#include "runtime/platform/KeyBindings.h"

namespace plat {

class InputEvents {
 public:
  // Scan codes of the keys that switch between full screen and a window: Alt+Return (also the keypad's
  // Enter) and F11. The game never sees these presses.
  static constexpr int kReturn = 28, kKeypadEnter = 156, kF11 = 87;

  // What the keys do from now on (keys held keep what they did when they went down).
  void SetBindings(const KeyBindings& bindings) { bindings_ = bindings; }

  // A key (game scan code 1..255) went down; `alt`: an Alt key is held. Auto-repeat presses are not fed.
  // The key delivers the game key its binding names, or counts as a press of its hotkey.
  void KeyDown(int code, bool alt);
  void KeyUp(int code);
  // A game key held by a game controller; every PadDown is followed by one PadUp of the same code.
  void PadDown(int code);
  void PadUp(int code);
  // Mouse button 0 (left) or 1 (right).
  void ButtonDown(int button);
  void ButtonUp(int button);
  // The pointer moved to window point (wx, wy), or left the window, or entered it again.
  void PointerAt(double wx, double wy);
  void PointerLeft();
  void PointerEntered() { pointerInside_ = true; }
  // The window lost the keyboard and the mouse: nothing counts as held any more.
  void FocusLost();

  // The frame's keyboard (0x80 = down): keys held now, and keys pressed since the last read even when
  // they are already up again. Clears the presses.
  void TakeKeys(uint8_t state[256]);
  // The frame's buttons, in the same way.
  void TakeButtons(bool& left, bool& right);
  // True when the full-screen switch was pressed an odd number of times since the last call.
  bool TakeModeSwitch();
  // Presses of each hotkey since the last call (indexed by KeyAction).
  void TakeActions(int counts[kKeyActionCount]);

  // The last known pointer position in window units; false until the pointer has been seen.
  bool Pointer(double& wx, double& wy) const;
  bool PointerInside() const { return pointerKnown_ && pointerInside_; }

 private:
  void Press(int gameKey);
  void Release(int gameKey);

  KeyBindings bindings_;
  int holders_[256] = {};        // keys and controller buttons holding each game key down
  uint8_t keyTarget_[256] = {};  // for each key that is down: the game key it delivers
  bool pressed_[256] = {};
  int actions_[kKeyActionCount] = {};
  bool swallowed_[256] = {};  // a switch key that is down: its release belongs to the switch as well
  bool buttonHeld_[2] = {};
  bool buttonPressed_[2] = {};
  int modeSwitches_ = 0;
  bool pointerKnown_ = false;
  bool pointerInside_ = false;
  double pointerX_ = 0, pointerY_ = 0;
};

}  // namespace plat
