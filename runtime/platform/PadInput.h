// A game controller as the game sees it, apart from the device itself: the d-pad and the left stick act
// as the cursor keys, A as Space, Start as Return, B and Back as Escape. While the screen shown draws a
// pointer of its own (the name entry), the stick and the d-pad move that pointer instead and A clicks.
// The presses go into the same frame input as the keyboard's, so a recording keeps the game's keys.
#pragma once

#include "runtime/platform/InputEvents.h"

namespace plat {

enum class PadButton { kA, kB, kBack, kStart, kUp, kDown, kLeft, kRight };
constexpr int kPadButtonCount = 8;

class PadInput {
 public:
  // The stick counts from this far out of 32767 (a resting stick never reads exactly 0) ...
  static constexpr int kDeadZone = 10000;
  // ... and presses a cursor key from this far, let go again below the dead zone.
  static constexpr int kKeyThreshold = 16000;
  // Pointer speeds in picture pixels per second: the d-pad, and the stick pushed all the way.
  static constexpr double kPadPointerSpeed = 160.0, kStickPointerSpeed = 480.0;

  explicit PadInput(InputEvents& events) : events_(events) {}
  ~PadInput() { ReleaseAll(); }
  PadInput(const PadInput&) = delete;
  PadInput& operator=(const PadInput&) = delete;

  // Whether the screen shown draws its own pointer; a change lets go of what the other use held.
  void SetPointerMode(bool on);
  void Button(PadButton button, bool down);
  // The left stick's axis 0 (x) or 1 (y), -32768..32767.
  void Stick(int axis, int value);
  // The clock (ms) has reached `nowMs`: the pointer moves on by what the deflection held since the last
  // call makes. Called before every change of the controller's state, with the change's time, so that
  // the motion does not depend on when the frames read it.
  void Advance(double nowMs);
  // The pointer motion in picture pixels made since the last call.
  void TakeMotion(double& dx, double& dy);
  // Lets go of everything (controller unplugged, focus lost).
  void ReleaseAll();

 private:
  void UpdateStickKeys();
  static double StickSpeed(int value);
  void Velocity(double& vx, double& vy) const;

  InputEvents& events_;
  bool pointerMode_ = false;
  bool down_[kPadButtonCount] = {};
  int heldKey_[kPadButtonCount] = {};  // the game key each button holds down (0: none)
  bool clicking_ = false;              // A holds the left mouse button
  int stick_[2] = {};
  int stickKey_[4] = {};              // the cursor keys the stick holds: up, down, left, right
  double lastMs_ = -1;                // the time of the last Advance (-1: none yet)
  double motionX_ = 0, motionY_ = 0;  // motion not yet taken
};

}  // namespace plat
