// Keyboard and mouse snapshots, and their recording and playback.
#include "runtime/core/Input.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "runtime/core/Errors.h"
#include "runtime/core/NumberTrunc.h"
#include "runtime/core/Replay.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/platform/Platform.h"

namespace {

int LimitMotion(int64_t motion) {
  return static_cast<int>(std::clamp<int64_t>(motion, -kMaxReplayMotion, kMaxReplayMotion));
}

// The stored position is kept inside the screen: 0 .. size - 1.
int32_t ClampToScreen(int64_t position, int size) {
  return static_cast<int32_t>(std::clamp<int64_t>(position, 0, std::max(0, size - 1)));
}

void WriteRecordedFrame() {
  InputState& in = Rt().input;
  if (in.recorder) in.recorder->CommitCurrent();
}

}  // namespace

void PollInput() {
  RuntimeContext& rt = Rt();
  InputState& in = rt.input;
  WriteRecordedFrame();
  // The system pointer is hidden over the picture while the screen draws a pointer of its own; the
  // screens that read the mouse are those that draw one.
  if (rt.platform) rt.platform->SetGameDrawsPointer(in.mouseRead);
  FrameInput frame;
  if (in.player) {
    if (!in.player->Next(frame)) EndProgram();
    std::fill(std::begin(in.keyState), std::end(in.keyState), 0);
    for (uint8_t k : frame.keys) in.keyState[k] = 0x80;
    in.leftButton = frame.left;
    in.rightButton = frame.right;
  } else if (rt.platform) {
    rt.platform->ReadKeyboard(in.keyState);
    int dx = 0, dy = 0;
    bool left = false, right = false;
    // Buttons are taken with the keys; motion keeps accumulating until the first mouse read.
    rt.platform->ReadMouse(dx, dy, left, right);
    // Motion waits for the game's next mouse read, which may be minutes away (the game reads the mouse only
    // on some screens). It is held to what a replay line can carry, which is already far more than it
    // takes to cross the screen, so that a recording of it plays back.
    in.pendingDx = LimitMotion(static_cast<int64_t>(in.pendingDx) + dx);
    in.pendingDy = LimitMotion(static_cast<int64_t>(in.pendingDy) + dy);
    in.leftButton = left;
    in.rightButton = right;
    in.pointerSeen = rt.platform->PointerPosition(in.pointerX, in.pointerY);
  }
  in.mouseRead = false;
  in.freshPoll = true;
  if (in.recorder) {
    FrameInput& rec = in.recorder->StartCurrent();
    for (int k = 0; k < 256; ++k)
      if (in.keyState[k] & 0x80) rec.keys.push_back(static_cast<uint8_t>(k));
    rec.left = in.leftButton;
    rec.right = in.rightButton;
  }
  in.replayDx = frame.dx;
  in.replayDy = frame.dy;
}

double KeyState(double code) {
  const int32_t wide = TruncToInt32OrLowest(code);
  const int i = static_cast<uint8_t>(static_cast<int16_t>(wide));
  return (Rt().input.keyState[i] & 0x80) ? 1 : 0;
}

void MouseState(double& x, double& y, double& button1, double& button2) {
  RuntimeContext& rt = Rt();
  InputState& in = rt.input;
  if (in.freshPoll) {
    in.freshPoll = false;
    int dx = 0, dy = 0;
    if (in.player) {
      dx = in.replayDx;
      dy = in.replayDy;
    } else if (in.pointerSeen) {
      // The game's pointer goes to the picture pixel under the system pointer; the motion that takes it
      // there is what a recording keeps, so the run plays back the same.
      dx = LimitMotion(static_cast<int64_t>(in.pointerX) - in.mouseX);
      dy = LimitMotion(static_cast<int64_t>(in.pointerY) - in.mouseY);
      in.pendingDx = in.pendingDy = 0;
    } else {
      dx = in.pendingDx;
      dy = in.pendingDy;
      in.pendingDx = in.pendingDy = 0;
    }
    // Added wide: SetMousePos may have placed the position far outside the screen.
    in.mouseX = ClampToScreen(static_cast<int64_t>(in.mouseX) + dx, rt.settings.screenWidth);
    in.mouseY = ClampToScreen(static_cast<int64_t>(in.mouseY) + dy, rt.settings.screenHeight);
    if (in.recorder) {
      in.recorder->Current().dx = dx;
      in.recorder->Current().dy = dy;
    }
  }
  in.mouseX = ClampToScreen(in.mouseX, rt.settings.screenWidth);
  in.mouseY = ClampToScreen(in.mouseY, rt.settings.screenHeight);
  in.mouseRead = true;
  x = in.mouseX;
  y = in.mouseY;
  button1 = in.leftButton ? 1 : 0;
  button2 = in.rightButton ? 1 : 0;
}

void SetMousePos(double x, double y) {
  RuntimeContext& rt = Rt();
  InputState& in = rt.input;
  in.mouseX = TruncToInt32OrLowest(x);
  in.mouseY = TruncToInt32OrLowest(y);
  if (in.player || !rt.platform) return;
  // The system pointer moves along, so that the game's pointer stays under it; a read later in this
  // frame finds it there.
  rt.platform->PlacePointer(ClampToScreen(in.mouseX, rt.settings.screenWidth),
                            ClampToScreen(in.mouseY, rt.settings.screenHeight));
  in.pointerSeen = rt.platform->PointerPosition(in.pointerX, in.pointerY);
}

void ShutdownInput() {
  InputState& in = Rt().input;
  if (in.recorder) {
    WriteRecordedFrame();
    // The run itself went well; the player still learns that the recording of it is not whole.
    if (!in.recorder->Close())
      std::fprintf(stderr, "brillora: the replay %s could not be written completely\n",
                   Rt().options.recordPath.c_str());
    in.recorder.reset();
  }
}
