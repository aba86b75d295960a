// The thin platform layer: window and GL surface, events, clock, keyboard, mouse and the audio device.
// Two implementations are chosen once at start-up: the SDL2 one (a real window, OpenGL, audio) and the
// headless one (no window, no GL, a virtual clock, silent audio that still keeps time); the browser build
// has its own in place of the SDL2 one.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/platform/KeyBindings.h"

namespace plat {

// Whether a space-separated extension list (GL's, GLX's) names `name` as a whole word.
inline bool ListsExtension(const char* list, const char* name) {
  if (!list) return false;
  const size_t n = std::strlen(name);
  for (const char* p = std::strstr(list, name); p; p = std::strstr(p + 1, name))
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  return false;
}

// What happened to the window since the last pump.
struct WindowEvents {
  bool closeRequested = false;  // close button or the window manager's close
  bool focusGained = false;
  bool focusLost = false;
  bool switchFullScreen = false;  // the player asked to switch between full screen and a window
  bool windowResized = false;     // the player gave the window another size (WindowedSize tells which)
  int volumeSteps = 0;            // volume hotkeys: presses of "up" less presses of "down"
  int muteSwitches = 0;           // presses of the mute hotkey
  int screenshots = 0;            // presses of the screenshot hotkey
};

// A rectangle of the picture in picture pixels, rows counted from the top; x1 and y1 lie just past it.
struct PictureRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// What a frame changed in the picture: all of it (drawn afresh), or only these parts (none at all when
// the frame equals the one presented before it).
struct PictureChange {
  bool whole = true;
  std::vector<PictureRect> parts;
};

// Audio is pulled by the platform: interleaved 16-bit stereo frames at the device rate.
using AudioPull = std::function<void(int16_t* out, int frames)>;

class Platform {
 public:
  virtual ~Platform() = default;

  virtual bool Headless() const = 0;
  // True while an OpenGL context is current and drawing may issue GL calls.
  virtual bool HasGl() const = 0;

  // Window and picture. The game draws a picture of width x height pixels; the window opens at the
  // largest whole multiple of that size that fits the desktop, and the picture is scaled to fit (aspect
  // kept, black bars) into the window as it is and into the full screen.
  virtual bool OpenWindow(int width, int height, const std::string& caption) = 0;
  // The window's size outside full screen that the player chose last time; OpenWindow uses it instead of
  // the whole multiple when it fits the desktop. Given before OpenWindow.
  virtual void PreferWindowSize(int /*width*/, int /*height*/) {}
  // The window's present size outside full screen; false without a window.
  virtual bool WindowedSize(int& /*width*/, int& /*height*/) const { return false; }
  // One line saying why OpenWindow failed.
  virtual std::string WindowError() const { return "cannot open the game's window"; }
  // The window's icon: RGBA pixels, top row first.
  virtual void SetIcon(int /*width*/, int /*height*/, const std::vector<uint8_t>& /*rgba*/) {}
  virtual void SetCaption(const std::string& caption) = 0;
  // Full screen is the desktop's own mode with the picture scaled; the display mode never changes.
  virtual bool SetFullScreen(bool on) = 0;
  virtual bool FullScreen() const = 0;
  virtual void ShowWindow(bool visible) = 0;
  virtual void CloseWindow() = 0;
  // Size of the picture the game draws (the render target).
  virtual int PictureWidth() const = 0;
  virtual int PictureHeight() const = 0;
  // Makes the picture the target of GL drawing (done after OpenWindow and after every Present).
  virtual void BindPicture() = 0;
  // Shows the picture (scaled into the window) and swaps buffers; the picture stays bound for drawing.
  virtual void Present() = 0;
  // True when the target the next frame is drawn into still holds the picture presented last, so that
  // the frame needs to draw only where it differs. False after a swap that may lose the back buffer, a
  // switch of target (window size, full screen) and while something else was drawn over the picture.
  virtual bool KeepsPicture() const { return false; }
  // Presents a frame of which only `change` differs from the picture presented last. A frame that
  // changed nothing costs nothing, unless the window itself needs its picture again (shown, uncovered,
  // resized). Without a way to show parts of the window, the whole picture is presented.
  virtual void PresentChanged(const PictureChange& /*change*/) { Present(); }

  // Handles every waiting window event; keyboard and mouse state are taken in along the way.
  virtual WindowEvents PumpEvents() = 0;

  // Monotonic clock in milliseconds (virtual when headless).
  virtual double NowMs() = 0;
  // Suspends for ms milliseconds (headless: the virtual clock moves on by ms).
  virtual void SleepMs(double ms) = 0;
  // Waits a little towards deadlineMs without burning a core: sleeps while the deadline is more than half
  // a millisecond away and returns at once for the last stretch (the caller spins there). Headless: the
  // clock jumps just past the deadline.
  virtual void IdleToward(double deadlineMs) = 0;

  // Keyboard by scan code (1 Esc, 28 Return, 57 Space, 200 Up, ...); 0x80 marks a key that is down. The
  // state is the keyboard's at this call (events still waiting are taken first); a key pressed and
  // released since the last call reads as down once.
  virtual void ReadKeyboard(uint8_t state[256]) = 0;
  // Mouse motion since the last call, in picture pixels, and the buttons (as the keys above).
  virtual void ReadMouse(int& dx, int& dy, bool& left, bool& right) = 0;
  // The picture pixel under the system pointer (the nearest one on the picture's edge when the pointer
  // is off it); false when there is no system pointer or it has not been seen yet.
  virtual bool PointerPosition(int& /*x*/, int& /*y*/) { return false; }
  // Moves the system pointer onto picture pixel (x, y).
  virtual void PlacePointer(int /*x*/, int /*y*/) {}
  // The game draws a pointer of its own: hide the system pointer while it is over the picture. A game
  // controller moves that pointer and clicks with it meanwhile.
  virtual void SetGameDrawsPointer(bool /*on*/) {}
  // What the keys do (the keyboard's game keys and the runtime's hotkeys).
  virtual void SetKeyBindings(const KeyBindings& /*bindings*/) {}
  // Shows the sound level (0..100, or muted) over the window, beside the picture, until the clock reads
  // untilMs; the picture itself is not touched.
  virtual void ShowSoundLevel(int /*percent*/, bool /*muted*/, double /*untilMs*/) {}

  // Audio device: 16-bit stereo at `rate`; `pull` is called for every block of frames to play.
  // Headless: the frames are pulled as the virtual clock advances and discarded.
  virtual bool OpenAudio(int rate, AudioPull pull) = 0;
  virtual int AudioRate() const = 0;
  // The pull function runs on the audio thread; the runtime changes the mixer's state only under the lock.
  virtual void LockAudio() = 0;
  virtual void UnlockAudio() = 0;
  virtual void CloseAudio() = 0;

  // Copies the current picture (RGBA, top row first) for tests and screenshots; false without GL.
  virtual bool ReadPicture(std::vector<uint8_t>& rgba) = 0;

  // The records folder holds a finished save (or was only read): a platform whose files live in memory
  // (the browser's) copies it to lasting storage now. Desktop files are lasting already.
  virtual void KeepRecords() {}

  // The address of an OpenGL entry point of the current context, or null (always null without GL).
  virtual void* GlProcAddress(const char*) { return nullptr; }
};

std::unique_ptr<Platform> CreateSdlPlatform();
std::unique_ptr<Platform> CreateHeadlessPlatform();
// The browser's platform (only in the browser build).
std::unique_ptr<Platform> CreateWebPlatform();

}  // namespace plat
