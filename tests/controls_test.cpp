// The player's controls on the real SDL platform, each run on a virtual X server of its own: a virtual
// game controller plays the game (it walks the boy and enters a letter on the name entry), W walks like
// Up, the volume keys change the mix and the settings file, the screenshot key saves the picture, a
// settings file with bad lines still starts the game, and the window mode is remembered.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/GameMain.h"
#include "runtime/core/Errors.h"
#include "runtime/core/Input.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/core/Settings.h"
#include "runtime/gfx2d/Image.h"
#include "runtime/gfx2d/Primitives.h"
#include "runtime/platform/PadInput.h"
#include "runtime/platform/Platform.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/GlLeakCheck.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::DesktopGameFolder;
using testing_support::JsonNumber;
using testing_support::JsonText;
using testing_support::PrivateDisplay;
using testing_support::ReadFile;
using testing_support::Shell;
using testing_support::TempDir;

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

bool ToolsPresent() {
  return Shell("command -v Xvfb >/dev/null && command -v xdotool >/dev/null && echo yes") == "yes\n";
}

// A private display and a home folder of the test's own (settings and pictures land there); sound goes
// to SDL's silent device, which still pulls the mix.
class Desktop {
 public:
  Desktop() : display_(1280, 1024) {
    ::setenv("DISPLAY", display_.name().c_str(), 1);
    ::unsetenv("SDL_VIDEODRIVER");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", home_.path().c_str(), 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Controller events count also while the window manager-less server gives no window the focus.
    ::setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  }
  const PrivateDisplay& display() const { return display_; }
  std::string SettingsFile() const { return home_.File(".config/brillora/settings.ini"); }
  std::string PicturesFolder() const { return home_.File("Pictures/Brillora"); }
  // Puts the pointer on the window so that it has the keyboard.
  void FocusGame() const {
    display_.Xdo("search --sync --name '^Brillora' windowfocus mousemove --window %1 40 40");
  }

 private:
  PrivateDisplay display_;
  TempDir home_;
};

// The runtime enters the game's folder; the test's own folder is entered again afterwards.
int RunGame(const std::vector<std::string>& args, void (*main)()) {
  std::vector<std::string> all{"brillora"};
  all.insert(all.end(), args.begin(), args.end());
  const std::filesystem::path here = std::filesystem::current_path();
  const int status = RunProgram(all, "Brillora", main);
  std::filesystem::current_path(here);
  return status;
}

// --- A virtual controller plays ---

class VirtualPad {
 public:
  VirtualPad() {
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index >= 0) joystick_ = SDL_JoystickOpen(index);
    index_ = index;
  }
  ~VirtualPad() {
    Unplug();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  void Unplug() {
    if (joystick_) SDL_JoystickClose(joystick_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    joystick_ = nullptr;
    index_ = -1;
  }
  void Set(SDL_GameControllerButton b, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0);
  }
  bool ok() const { return joystick_ != nullptr; }
  void Hold(SDL_GameControllerButton b, int ms) {
    SDL_JoystickSetVirtualButton(joystick_, b, 1);
    SleepMs(ms);
    SDL_JoystickSetVirtualButton(joystick_, b, 0);
  }
  void Tap(SDL_GameControllerButton b, int pauseMs) {
    Hold(b, 60);
    SleepMs(pauseMs);
  }
  void StickX(int value) {
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(value));
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
  int index_ = -1;
};

std::vector<int> KeysDown(plat::Platform& p) {
  SleepMs(50);
  uint8_t state[256] = {};
  p.ReadKeyboard(state);
  std::vector<int> down;
  for (int i = 0; i < 256; ++i)
    if (state[i] & 0x80) down.push_back(i);
  return down;
}

TEST(ControllerOnDesktop, AControllerPluggedInWhileTheGameRunsIsTakenAtOnceAndLetsGoWhenUnplugged) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  Desktop desktop;
  auto platform = plat::CreateSdlPlatform();
  ASSERT_TRUE(platform->OpenWindow(640, 480, "Brillora"));
  testing_support::KeepLibrariesLoaded();
  EXPECT_TRUE(KeysDown(*platform).empty());
  VirtualPad pad;  // plugged in now
  ASSERT_TRUE(pad.ok()) << SDL_GetError();
  KeysDown(*platform);
  pad.Set(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{57});
  pad.Set(SDL_CONTROLLER_BUTTON_A, false);
  pad.Set(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{28});  // A's press was seen; Start is held now
  pad.Set(SDL_CONTROLLER_BUTTON_START, false);
  pad.Set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{205});
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{205});
  pad.Unplug();
  EXPECT_TRUE(KeysDown(*platform).empty());
}

// The numbers of xdotool's "--shell" answer.
int ShellValue(const std::string& answer, const std::string& key) {
  std::istringstream lines(answer);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind(key + "=", 0) == 0) return std::atoi(line.c_str() + key.size() + 1);
  return -1;
}

// The picture pixel under the system pointer, which the controller moves along with the game's pointer.
void PointerOnPicture(const PrivateDisplay& display, int& x, int& y) {
  const std::string window = display.Xdo("search --name '^Brillora$' getwindowgeometry --shell");
  const std::string mouse = display.Xdo("getmouselocation --shell");
  const int scale = std::max(1, ShellValue(window, "WIDTH") / 640);
  x = (ShellValue(mouse, "X") - ShellValue(window, "X")) / scale;
  y = (ShellValue(mouse, "Y") - ShellValue(window, "Y")) / scale;
}

// Waits (up to 20 s) until the pointer is on picture pixel (x, y): where a screen has put it.
void WaitForPointerAt(const PrivateDisplay& display, int x, int y) {
  int px = -1, py = -1;
  for (int waited = 0; waited < 20000 && (px != x || py != y); waited += 50) {
    SleepMs(50);
    PointerOnPicture(display, px, py);
  }
}

// Moves the pointer with short presses of the d-pad until it is within a few pixels of `target` (a
// picture column or row), each press about as long as the rest of the way takes and the pointer let
// come to rest in between, so that a slow machine does not carry it past.
void Steer(VirtualPad& pad, const PrivateDisplay& display, bool horizontal, int target) {
  constexpr int kNear = 8;
  int x = 0, y = 0;
  PointerOnPicture(display, x, y);
  for (int tries = 0; tries < 100; ++tries) {
    const int at = horizontal ? x : y;
    if (std::abs(at - target) <= kNear) return;
    const bool forward = at < target;
    const auto button = horizontal
                            ? (forward ? SDL_CONTROLLER_BUTTON_DPAD_RIGHT : SDL_CONTROLLER_BUTTON_DPAD_LEFT)
                            : (forward ? SDL_CONTROLLER_BUTTON_DPAD_DOWN : SDL_CONTROLLER_BUTTON_DPAD_UP);
    const double wayMs = std::abs(at - target) * 1000.0 / plat::PadInput::kPadPointerSpeed;
    pad.Set(button, true);
    SleepMs(std::clamp(static_cast<int>(wayMs * 0.7), 30, 1500));
    pad.Set(button, false);
    // At rest: two looks a little apart agree.
    int lastX = -1, lastY = -1;
    for (int looks = 0; looks < 40 && (x != lastX || y != lastY); ++looks) {
      lastX = x;
      lastY = y;
      SleepMs(300);
      PointerOnPicture(display, x, y);
    }
  }
}

// The recording without the Right key: the same run, but the boy does not walk.
std::string WithoutRight(const std::string& replay) {
  std::istringstream in(replay);
  std::string line, out;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string w, kept;
    while (words >> w)
      if (w != "205") kept += (kept.empty() ? "" : " ") + w;
    out += (line.rfind("BRILLORA", 0) == 0 || line.rfind("seed", 0) == 0 ? line : kept) + "\n";
  }
  return out;
}

TEST(ControllerOnDesktop, AVirtualControllerEntersALetterOnTheNameEntryAndWalksTheBoy) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  Desktop desktop;
  VirtualPad pad;
  ASSERT_TRUE(pad.ok()) << SDL_GetError();
  DesktopGameFolder folder;
  const std::string replay = folder.File("pad.rpl"), dump = folder.File("live.json");
  std::thread script([&] {
    desktop.FocusGame();
    testing_support::KeepLibrariesLoaded();        // the window is up
    SleepMs(3000);                                 // loading and the mode switch
    pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_UP, 1000);  // LEVELS -> HSCORE -> PLAYER
    pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_UP, 1000);
    pad.Tap(SDL_CONTROLLER_BUTTON_START, 1200);    // the name entry; its pointer starts at (96, 160)
    WaitForPointerAt(desktop.display(), 96, 160);  // the name entry is open
    Steer(pad, desktop.display(), true, 144);      // onto the N (columns 128..159)
    pad.Tap(SDL_CONTROLLER_BUTTON_A, 500);
    Steer(pad, desktop.display(), false, 208);  // the row of digits, "<" and OK (192..223)
    Steer(pad, desktop.display(), true, 512);   // on to OK (480..543)
    pad.Tap(SDL_CONTROLLER_BUTTON_A, 1200);     // back to the menu on PLAYER
    pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1000);
    pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1000);
    pad.Tap(SDL_CONTROLLER_BUTTON_START, 2000);  // level 1
    pad.StickX(32767);
    SleepMs(1200);
    pad.StickX(0);
    SleepMs(600);
    pad.Tap(SDL_CONTROLLER_BUTTON_B, 1200);  // give up: back to the menu
    desktop.display().Xdo("keydown F12 sleep 0.1 keyup F12");
  });
  // The frame limit only ends a run that went astray (about two minutes); F12 ends it well before.
  const int status =
      RunGame({"--windowed", "--data", folder.path(), "--record", replay, "--dump", dump, "--frames", "3000"},
              GameMain);
  script.join();
  ASSERT_EQ(status, 0);
  const std::string live = Text(dump);
  EXPECT_EQ(JsonText(live, "PlayerName"), "N       ");

  // The recording holds the game's own keys only, Right among them in many frames.
  const std::string recorded = Text(replay);
  std::istringstream lines(recorded);
  std::string line;
  int rights = 0;
  for (int n = 1; std::getline(lines, line); ++n) {
    if (n <= 2 || line.empty() || line[0] == '#') continue;  // the header and the seed
    std::istringstream words(line);
    std::string w;
    int repeat = 1;
    bool right = false;
    while (words >> w) {
      if (w[0] == 'x') repeat = std::stoi(w.substr(1));
      if (!std::isdigit(static_cast<unsigned char>(w[0]))) continue;
      const int code = std::stoi(w);
      right = right || code == 205;
      EXPECT_TRUE(code == 1 || code == 28 || code == 57 || code == 88 || code == 200 || code == 203 ||
                  code == 205 || code == 208)
          << code;
    }
    if (right) rights += repeat;
  }
  EXPECT_GT(rights, 10);

  // It plays back to the same state; without its Right key the boy stands elsewhere.
  const std::string again = folder.File("again.json"), still = folder.File("still.json");
  testing_support::WriteText(folder.File("still.rpl"), WithoutRight(recorded));
  ASSERT_EQ(RunGame({"--headless", "--data", folder.path(), "--play", replay, "--dump", again}, GameMain), 0);
  ASSERT_EQ(
      RunGame({"--headless", "--data", folder.path(), "--play", folder.File("still.rpl"), "--dump", still},
              GameMain),
      0);
  EXPECT_EQ(JsonNumber(Text(again), "BoyX"), JsonNumber(live, "BoyX"));
  EXPECT_EQ(JsonNumber(Text(again), "BoyY"), JsonNumber(live, "BoyY"));
  EXPECT_GT(JsonNumber(live, "BoyX"), JsonNumber(Text(still), "BoyX"));
}

// --- The keyboard's extra keys and hotkeys, seen from a small screen loop of the test's own ---

struct Seen {
  std::atomic<bool> stop{false};
  bool up = false, w = false, hotkey = false;
  double gain = -1;
  bool fullScreen = false;
};
Seen* seen = nullptr;

// Draws a picture with something on it every frame and notes what the game would see.
void WatchingMain() {
  testing_support::KeepLibrariesLoaded();
  for (int frame = 0; frame < 3000 && !seen->stop; ++frame) {
    FillRect(100, 50, 200, 120, 0x0000FF);
    FillRect(300, 300, 40, 40, 0x00FF00);
    ShowFrame();
    seen->up = seen->up || KeyState(200) != 0;
    seen->w = seen->w || KeyState(17) != 0;
    seen->hotkey = seen->hotkey || KeyState(12) != 0 || KeyState(13) != 0 || KeyState(183) != 0;
    if (Rt().sound && Rt().sound->mixer) seen->gain = Rt().sound->mixer->MasterGain();
    seen->fullScreen = Rt().platform->FullScreen();
  }
  // The picture the end screenshot saves.
  FillRect(100, 50, 200, 120, 0x0000FF);
  FillRect(300, 300, 40, 40, 0x00FF00);
  EndProgram();
}

void ShortMain() {
  testing_support::KeepLibrariesLoaded();
  for (int frame = 0; frame < 10; ++frame) ShowFrame();
  seen->fullScreen = Rt().platform->FullScreen();
  EndProgram();
}

TEST(KeysOnDesktop, WWalksUpTheVolumeKeysSetTheMixAndTheFileAndPrintScreenSavesThePicture) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  Desktop desktop;
  DesktopGameFolder folder;
  std::filesystem::create_directories(std::filesystem::path(desktop.SettingsFile()).parent_path());
  testing_support::WriteText(desktop.SettingsFile(),
                             "[window]\nfullscreen = no\n[sound]\nvolume = loud\nvolume = 50\n");
  Seen watch;
  seen = &watch;
  std::thread script([&] {
    SleepMs(1500);
    desktop.FocusGame();
    desktop.display().Xdo("keydown w sleep 0.15 keyup w");
    SleepMs(200);
    desktop.display().Xdo("key --delay 120 minus minus KP_Add minus");  // 50 -> 40 -> 30 -> 40 -> 30
    SleepMs(300);
    desktop.display().Xdo("key Print");
    SleepMs(500);
    desktop.display().Xdo("key F11");
    SleepMs(800);
    watch.stop = true;
  });
  const std::string endShot = folder.File("end.png");
  testing::internal::CaptureStderr();
  const int status = RunGame({"--data", folder.path(), "--screenshot", endShot}, WatchingMain);
  const std::string err = testing::internal::GetCapturedStderr();
  script.join();
  ASSERT_EQ(status, 0) << err;
  // The bad line was named and skipped; the game started in the window the file asked for.
  EXPECT_NE(err.find("line 4: volume takes a whole number"), std::string::npos) << err;
  EXPECT_TRUE(watch.up);
  EXPECT_FALSE(watch.w);
  EXPECT_FALSE(watch.hotkey);
  EXPECT_NEAR(watch.gain, SoundLevelGain(30), 1e-6);
  EXPECT_TRUE(watch.fullScreen);  // F11 in the end

  std::vector<std::string> warnings;
  const PlayerSettings s = LoadSettings(desktop.SettingsFile(), warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(s.volume, 30);
  EXPECT_EQ(s.fullScreen, 1);

  // One screenshot, 640 x 480, with the pixels of the picture.
  std::vector<std::filesystem::path> shots;
  for (const auto& e : std::filesystem::directory_iterator(desktop.PicturesFolder()))
    shots.push_back(e.path());
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].extension(), ".png");
  RgbaImage taken, last;
  ASSERT_TRUE(DecodeImageFile(shots[0].string(), kNoColourKey, taken));
  ASSERT_TRUE(DecodeImageFile(endShot, kNoColourKey, last));
  EXPECT_EQ(taken.width, 640);
  EXPECT_EQ(taken.height, 480);
  EXPECT_EQ(taken.pixels, last.pixels);
  const size_t inBox = (static_cast<size_t>(100) * 640 + 150) * 4;
  EXPECT_EQ(taken.pixels[inBox], 255);  // the red box is there
  EXPECT_EQ(taken.pixels[inBox + 1], 0);

  // The next start remembers full screen; the command line wins over it.
  watch.fullScreen = false;
  ASSERT_EQ(RunGame({"--data", folder.path()}, ShortMain), 0);
  EXPECT_TRUE(watch.fullScreen);
  ASSERT_EQ(RunGame({"--windowed", "--data", folder.path()}, ShortMain), 0);
  EXPECT_FALSE(watch.fullScreen);
  EXPECT_EQ(LoadSettings(desktop.SettingsFile(), warnings).fullScreen, 1);  // not written by the option
  seen = nullptr;
}

}  // namespace
