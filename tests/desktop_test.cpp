// The game on a desktop, as a player meets it: the real SDL platform and the real program on a virtual X
// server of the test's own, driven with xdotool through the X server's test extension (real device
// events, with their real timing). Each test starts its own server, so windows of tests running at the
// same time cannot take the pointer or the keyboard away.
#include <GL/gl.h>
#include <GL/glext.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "runtime/platform/Platform.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/GlLeakCheck.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::DesktopGameFolder;
using testing_support::FileExists;
using testing_support::JsonNumber;
using testing_support::JsonText;
using testing_support::PrivateDisplay;
using testing_support::ReadFile;
using testing_support::Shell;
using testing_support::TempDir;

constexpr int kReturn = 28, kRight = 205;

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// scripts/setup.sh installs both.
bool ToolsPresent() {
  return Shell("command -v Xvfb >/dev/null && command -v xdotool >/dev/null && echo yes") == "yes\n";
}

// A window's place and size as xdotool reports them.
struct Geometry {
  int x = -1, y = -1, w = 0, h = 0;
};

Geometry WindowGeometry(const PrivateDisplay& display, const std::string& title) {
  Geometry g;
  std::istringstream lines(display.Xdo("search --sync --name '^" + title + "$' getwindowgeometry --shell"));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") g.x = value;
    if (key == "Y") g.y = value;
    if (key == "WIDTH") g.w = value;
    if (key == "HEIGHT") g.h = value;
  }
  return g;
}

// --- The platform itself, in this process ---

// The SDL platform with its window open on `display`.
std::unique_ptr<plat::Platform> OpenPlatform(const PrivateDisplay& display, const std::string& title) {
  ::setenv("DISPLAY", display.name().c_str(), 1);
  ::unsetenv("SDL_VIDEODRIVER");
  auto platform = plat::CreateSdlPlatform();
  if (!platform->OpenWindow(640, 480, title)) return nullptr;
  testing_support::KeepLibrariesLoaded();
  for (int i = 0; i < 10; ++i) {  // let the window be mapped
    platform->PumpEvents();
    SleepMs(20);
  }
  return platform;
}

// Waits a little for the X server's events to reach the program, without taking them: the next read of
// the platform must take them itself.
void LetEventsArrive() {
  SleepMs(60);
}

std::vector<int> KeysDown(plat::Platform& p) {
  uint8_t state[256] = {};
  p.ReadKeyboard(state);
  std::vector<int> down;
  for (int i = 0; i < 256; ++i)
    if (state[i] & 0x80) down.push_back(i);
  return down;
}

bool LeftButton(plat::Platform& p) {
  int dx = 0, dy = 0;
  bool left = false, right = false;
  p.ReadMouse(dx, dy, left, right);
  return left;
}

TEST(DesktopPlatform, AReadSeesTheDevicesAsTheyAreNowAndAPressOverBeforeItOnce) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  PrivateDisplay display(1280, 1024);
  ASSERT_FALSE(display.name().empty());
  auto platform = OpenPlatform(display, "input test");
  ASSERT_TRUE(platform);
  display.Xdo("mousemove 640 500");
  LetEventsArrive();
  platform->PumpEvents();

  // Held, then let go: the read after the release sees it up although nothing took the events between.
  display.Xdo("mousedown 1");
  LetEventsArrive();
  EXPECT_TRUE(LeftButton(*platform));
  display.Xdo("mouseup 1");
  LetEventsArrive();
  EXPECT_FALSE(LeftButton(*platform));
  // A click over before the read: seen once.
  display.Xdo("click 1");
  LetEventsArrive();
  EXPECT_TRUE(LeftButton(*platform));
  EXPECT_FALSE(LeftButton(*platform));

  display.Xdo("keydown Right");
  LetEventsArrive();
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{kRight});
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{kRight});
  display.Xdo("keyup Right");
  LetEventsArrive();
  EXPECT_TRUE(KeysDown(*platform).empty());
  display.Xdo("key Right");
  LetEventsArrive();
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{kRight});
  EXPECT_TRUE(KeysDown(*platform).empty());
}

TEST(DesktopPlatform, AltReturnAndF11AskForTheOtherModeAndReturnNeverReachesTheGame) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  PrivateDisplay display(1280, 1024);
  auto platform = OpenPlatform(display, "mode test");
  ASSERT_TRUE(platform);
  display.Xdo("mousemove 640 500");
  LetEventsArrive();
  platform->PumpEvents();

  display.Xdo("keydown alt keydown Return");
  LetEventsArrive();
  const std::vector<int> held = KeysDown(*platform);
  EXPECT_EQ(std::count(held.begin(), held.end(), kReturn), 0);
  EXPECT_TRUE(platform->PumpEvents().switchFullScreen);
  EXPECT_FALSE(platform->PumpEvents().switchFullScreen);
  display.Xdo("keyup alt");
  LetEventsArrive();
  EXPECT_TRUE(KeysDown(*platform).empty());  // Return is still down, and still the switch's
  display.Xdo("keyup Return");
  display.Xdo("key F11");
  LetEventsArrive();
  EXPECT_TRUE(KeysDown(*platform).empty());
  EXPECT_TRUE(platform->PumpEvents().switchFullScreen);
  display.Xdo("key Return");
  LetEventsArrive();
  EXPECT_EQ(KeysDown(*platform), std::vector<int>{kReturn});
  EXPECT_FALSE(platform->PumpEvents().switchFullScreen);
}

TEST(DesktopPlatform, TheGamesPointerIsThePicturePixelUnderTheSystemPointerInAScaledWindow) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  PrivateDisplay display(1280, 1024);
  auto platform = OpenPlatform(display, "pointer test");
  ASSERT_TRUE(platform);
  // On 1280 x 1024 the window opens at twice the picture's size.
  const Geometry g = WindowGeometry(display, "pointer test");
  ASSERT_EQ(g.w, 1280);
  ASSERT_EQ(g.h, 960);

  int x = -1, y = -1;
  // Absolute moves, as a tablet or a remote desktop makes them.
  display.Xdo("mousemove " + std::to_string(g.x + 2 * 321 + 1) + " " + std::to_string(g.y + 2 * 17));
  LetEventsArrive();
  platform->PumpEvents();
  ASSERT_TRUE(platform->PointerPosition(x, y));
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 17);
  display.Xdo("mousemove " + std::to_string(g.x + 1279) + " " + std::to_string(g.y + 959));
  LetEventsArrive();
  platform->PumpEvents();
  ASSERT_TRUE(platform->PointerPosition(x, y));
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);

  // The game places its pointer: the system pointer goes onto that picture pixel.
  platform->PlacePointer(96, 160);
  ASSERT_TRUE(platform->PointerPosition(x, y));
  EXPECT_EQ(x, 96);
  EXPECT_EQ(y, 160);
  LetEventsArrive();
  platform->PumpEvents();
  ASSERT_TRUE(platform->PointerPosition(x, y));
  EXPECT_EQ(x, 96);
  EXPECT_EQ(y, 160);
  std::istringstream where(display.Xdo("getmouselocation --shell"));
  std::string line;
  int sx = -1, sy = -1;
  while (std::getline(where, line)) {
    if (line.starts_with("X=")) sx = std::atoi(line.c_str() + 2);
    if (line.starts_with("Y=")) sy = std::atoi(line.c_str() + 2);
  }
  EXPECT_EQ((sx - g.x) / 2, 96);
  EXPECT_EQ((sy - g.y) / 2, 160);
}

// The colour of picture pixel (x, y) as 0xRRGGBB.
uint32_t PicturePixel(plat::Platform& p, int x, int y) {
  std::vector<uint8_t> rgba;
  if (!p.ReadPicture(rgba) || rgba.size() < static_cast<size_t>(p.PictureWidth()) * p.PictureHeight() * 4)
    return 0xDEADu;
  const uint8_t* px = rgba.data() + (static_cast<size_t>(y) * p.PictureWidth() + x) * 4;
  return uint32_t{px[0]} << 16 | uint32_t{px[1]} << 8 | px[2];
}

GLint DrawFramebuffer() {
  GLint binding = -1;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding);
  return binding;
}

// A frame at the picture's own size is drawn straight into the window; any other size through the
// picture, and a switch in the middle of a frame keeps what the frame drew before it.
TEST(DesktopPlatform, AtOneToOneFramesGoStraightIntoTheWindowAndSwitchingKeepsTheFrame) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  PrivateDisplay display(800, 600);  // too small for 2x: the window opens at 640 x 480
  ASSERT_FALSE(display.name().empty());
  auto platform = OpenPlatform(display, "target test");
  ASSERT_TRUE(platform);
  EXPECT_EQ(DrawFramebuffer(), 0);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(PicturePixel(*platform, 5, 5), 0xFF0000u);
  ASSERT_TRUE(platform->SetFullScreen(true));
  EXPECT_NE(DrawFramebuffer(), 0);
  EXPECT_EQ(PicturePixel(*platform, 5, 5), 0xFF0000u);  // carried into the picture
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 10, 10);  // the picture's bottom-left corner
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  EXPECT_EQ(PicturePixel(*platform, 5, 475), 0x0000FFu);
  EXPECT_EQ(PicturePixel(*platform, 5, 5), 0xFF0000u);
  platform->Present();
  EXPECT_NE(DrawFramebuffer(), 0);  // full screen stays on the picture
  ASSERT_TRUE(platform->SetFullScreen(false));
  for (int i = 0; i < 10; ++i) {  // let the window take its old size again
    platform->PumpEvents();
    SleepMs(20);
  }
  platform->Present();
  EXPECT_EQ(DrawFramebuffer(), 0);  // back at 1x: straight into the window
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(PicturePixel(*platform, 320, 240), 0x00FF00u);
  platform.reset();
}

TEST(DesktopPlatform, AWindowOnASmallDesktopOpensAtThePicturesOwnSize) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  PrivateDisplay display(1024, 768);
  auto platform = OpenPlatform(display, "small desktop");
  ASSERT_TRUE(platform);
  const Geometry g = WindowGeometry(display, "small desktop");
  EXPECT_EQ(g.w, 640);
  EXPECT_EQ(g.h, 480);
}

// --- The program ---

const std::string kGame = BRILLORA_BINARY_DIR "/brillora";
// Enough for the loading screen and the mode switch also in the sanitizer build on a busy machine: keys
// pressed before the menu reads them would be lost to those frames.
constexpr int kStartUpMs = 3000;

// The program running in a window on a private display.
class RunningGame {
 public:
  RunningGame(const PrivateDisplay& display, const std::vector<std::string>& args,
              const std::string& errFile) {
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setenv("DISPLAY", display.name().c_str(), 1);
      ::unsetenv("SDL_VIDEODRIVER");
      // The player's settings and pictures stay in the test's folder, beside the error file.
      ::setenv("HOME", std::filesystem::path(errFile).parent_path().c_str(), 1);
      ::unsetenv("XDG_CONFIG_HOME");
      // In the sanitizer build the GL driver, unloaded before the program's leak check, leaves memory
      // that looks lost; the tests in this process check the leaks with the driver kept loaded.
      ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      const int null = ::open("/dev/null", O_WRONLY);
      const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(null, 1);
      ::dup2(err, 2);
      std::vector<char*> argv{const_cast<char*>(kGame.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(kGame.c_str(), argv.data());
      std::_Exit(127);
    }
  }
  ~RunningGame() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  RunningGame(const RunningGame&) = delete;
  RunningGame& operator=(const RunningGame&) = delete;

  // The exit status once the program has ended by itself within `ms`, else -1.
  int Wait(int ms) {
    for (int waited = 0; waited <= ms && status_ < 0; waited += 20) {
      int raw = 0;
      if (::waitpid(pid_, &raw, WNOHANG) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
      if (status_ < 0) SleepMs(20);
    }
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// Presses and lets go of a key for about `ms` milliseconds.
void Tap(const PrivateDisplay& display, const std::string& key, int ms) {
  display.Xdo("keydown " + key + " sleep " + std::to_string(ms / 1000.0) + " keyup " + key);
}

// A click on picture pixel (x, y) of the game's window, held for `ms` milliseconds.
void Click(const PrivateDisplay& display, const Geometry& g, int x, int y, int ms) {
  const int scale = g.w / 640;
  display.Xdo("mousemove " + std::to_string(g.x + x * scale) + " " + std::to_string(g.y + y * scale) +
              " mousedown 1 sleep " + std::to_string(ms / 1000.0) + " mouseup 1");
}

std::string Text(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// From the LEVELS line (where the menu starts) to the name entry.
void OpenNameEntry(const PrivateDisplay& display) {
  for (int i = 0; i < 2; ++i) {
    Tap(display, "Up", 30);
    SleepMs(600);  // the box takes 8 frames to move
  }
  Tap(display, "Return", 30);
  SleepMs(800);
}

TEST(DesktopGame, ClicksOf20To140MsEnterOneLetterEachAndAHeldButtonRepeatsAtTheScreensPace) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  ASSERT_TRUE(FileExists(kGame));
  PrivateDisplay display(1280, 1024);
  DesktopGameFolder folder;
  const std::string dump = folder.File("state.json"), recording = folder.File("session.rpl");
  RunningGame game(display, {"--windowed", "--data", folder.path(), "--dump", dump, "--record", recording},
                   folder.File("err.txt"));
  const Geometry g = WindowGeometry(display, "Brillora");
  ASSERT_EQ(g.w, 1280);  // twice the size on this desktop
  SleepMs(kStartUpMs);
  OpenNameEntry(display);
  // A, B, C and D (row 4, columns 4 to 7), each clicked once for a different time.
  const int times[] = {20, 60, 100, 140};
  for (int i = 0; i < 4; ++i) {
    Click(display, g, (4 + i) * 32 + 16, 4 * 32 + 16, times[i]);
    SleepMs(400);
  }
  // E held for 700 ms: the screen adds it again about every 150 ms and a frame (at least 175 ms with its
  // own waits): three or four times, never five (two on a busy machine).
  Click(display, g, 8 * 32 + 16, 4 * 32 + 16, 700);
  SleepMs(400);
  Click(display, g, 15 * 32 + 16, 6 * 32 + 16, 30);  // OK
  SleepMs(800);
  Tap(display, "F12", 30);
  ASSERT_EQ(game.Wait(10000), 0) << Text(folder.File("err.txt"));
  const std::string name = JsonText(Text(dump), "PlayerName");
  ASSERT_EQ(name.size(), 8u) << name;
  EXPECT_EQ(name.substr(0, 4), "ABCD") << name;
  const std::string held = name.substr(4, name.find_last_not_of(' ') - 3);
  EXPECT_TRUE(held == "EE" || held == "EEE" || held == "EEEE") << name;

  // The session, played back without a window (F12 left the records as they were), ends the same.
  const std::string replayed = folder.File("replayed.json");
  int status = -1;
  Shell("'" + kGame + "' --headless --data '" + folder.path() + "' --play '" + recording + "' --dump '" +
            replayed + "' >/dev/null 2>&1",
        &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Text(replayed), Text(dump));
}

TEST(DesktopGame, TapsAndHoldsOfTheStepKeysStepTheLevelAsTheMenusRuleSays) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  ASSERT_TRUE(FileExists(kGame));
  PrivateDisplay display(1280, 1024);
  DesktopGameFolder folder;
  const std::string dump = folder.File("state.json");
  RunningGame game(display, {"--windowed", "--data", folder.path(), "--dump", dump}, folder.File("err.txt"));
  WindowGeometry(display, "Brillora");
  SleepMs(kStartUpMs);
  display.Xdo("mousemove 640 500");
  // Six taps shorter than a frame (a frame is 38 ms): six frames of Right, one level and two counts. On
  // a busy machine a late frame can be followed closely by the next, and a tap may then fall on both.
  for (int i = 0; i < 6; ++i) {
    Tap(display, "Right", 15);
    SleepMs(150);
  }
  SleepMs(300);
  Tap(display, "F12", 30);
  ASSERT_EQ(game.Wait(10000), 0) << Text(folder.File("err.txt"));
  const std::string state = Text(dump);
  const double counted = (JsonNumber(state, "LevelNumber") - 1) * 4 + JsonNumber(state, "LevelStepCounter");
  EXPECT_GE(counted, 6);
  EXPECT_LE(counted, 8);
}

TEST(DesktopGame, AHeldStepKeyStepsOnceEveryFourFramesItIsHeld) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  ASSERT_TRUE(FileExists(kGame));
  PrivateDisplay display(1280, 1024);
  DesktopGameFolder folder;
  const std::string dump = folder.File("state.json");
  RunningGame game(display, {"--windowed", "--data", folder.path(), "--dump", dump}, folder.File("err.txt"));
  WindowGeometry(display, "Brillora");
  SleepMs(kStartUpMs);
  display.Xdo("mousemove 640 500");
  // 1200 ms is about 31 frames: seven steps and three counts. A busy machine shows fewer frames in that
  // time (late frames skip whole periods), never more; the hold must step again and again, but at the
  // menu's pace of one count a frame, not faster.
  Tap(display, "Right", 1200);
  SleepMs(300);
  Tap(display, "F12", 30);
  ASSERT_EQ(game.Wait(10000), 0) << Text(folder.File("err.txt"));
  const std::string state = Text(dump);
  const double counted = (JsonNumber(state, "LevelNumber") - 1) * 4 + JsonNumber(state, "LevelStepCounter");
  EXPECT_GE(counted, 9);
  EXPECT_LE(counted, 34);
}

TEST(DesktopGame, AltEnterSwitchesTheModeOnTheMenuWithoutStartingTheChosenLine) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  ASSERT_TRUE(FileExists(kGame));
  PrivateDisplay display(1280, 1024);
  DesktopGameFolder folder;
  const std::string dump = folder.File("state.json");
  RunningGame game(display, {"--windowed", "--data", folder.path(), "--dump", dump}, folder.File("err.txt"));
  const Geometry windowed = WindowGeometry(display, "Brillora");
  SleepMs(kStartUpMs);
  display.Xdo("mousemove 640 500");
  // The box rests on LEVELS: a Return that reached the menu would start level 1.
  display.Xdo("key alt+Return");
  SleepMs(800);
  const Geometry full = WindowGeometry(display, "Brillora");
  display.Xdo("key F11");
  SleepMs(800);
  const Geometry back = WindowGeometry(display, "Brillora");
  Tap(display, "F12", 30);  // leaves the menu; in a game it would do nothing
  ASSERT_EQ(game.Wait(10000), 0) << Text(folder.File("err.txt"));
  EXPECT_EQ(windowed.w, 1280);
  EXPECT_EQ(windowed.h, 960);
  EXPECT_EQ(full.w, 1280);
  EXPECT_EQ(full.h, 1024);
  EXPECT_EQ(back.w, 1280);
  EXPECT_EQ(back.h, 960);
  EXPECT_EQ(JsonNumber(Text(dump), "TimeLeft"), 300);
}

TEST(DesktopGame, WithoutADisplayTheProgramStopsAtOnceWithOneLine) {
  ASSERT_TRUE(FileExists(kGame));
  TempDir dir;
  int status = -1;
  const std::string err = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 '" + kGame +
                                    "' --frames 100000 2>&1 >/dev/null",
                                &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, 124) << "still running after 20 seconds";
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("no display"), std::string::npos) << err;
  EXPECT_NE(err.find("use --headless to run without one"), std::string::npos) << err;
  // An unreachable display is named.
  const std::string unreachable = Shell(
      "env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:9999 timeout 20 '" + kGame + "' 2>&1 >/dev/null",
      &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, 124);
  EXPECT_NE(unreachable.find("no display: cannot reach DISPLAY=\":9999\""), std::string::npos) << unreachable;
  // A video driver the player chose is tried as given (this one offers no OpenGL, so the start fails).
  const std::string chosen = Shell(
      "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy timeout 20 '" + kGame + "' 2>&1 >/dev/null",
      &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, 124);
  EXPECT_EQ(chosen.find("no display"), std::string::npos) << chosen;
  EXPECT_NE(chosen.find("dummy"), std::string::npos) << chosen;
}

TEST(DesktopGame, OnlyARunWithAWindowLoadsTheSdlLibrary) {
  ASSERT_TRUE(FileExists(kGame));
  // The dynamic loader names every library it loads (LD_DEBUG=files) on standard error.
  int status = -1;
  const std::string headless =
      Shell("LD_DEBUG=files timeout 20 '" + kGame + "' --headless --frames 3 2>&1 >/dev/null", &status);
  EXPECT_EQ(status, 0) << headless;
  EXPECT_NE(headless.find("libpng"), std::string::npos) << "no loader output: " << headless;
  EXPECT_EQ(headless.find("libSDL2"), std::string::npos) << "a run without a window loaded SDL";
  // A run that opens a window loads it (this video driver then offers no OpenGL, so the start fails).
  const std::string windowed = Shell(
      "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy LD_DEBUG=files "
      "timeout 20 '" +
          kGame + "' 2>&1 >/dev/null",
      &status);
  EXPECT_NE(status, 124);
  EXPECT_NE(windowed.find("libSDL2"), std::string::npos) << windowed.substr(0, 2000);
  EXPECT_NE(windowed.find("dummy"), std::string::npos) << "the window was not tried";
}

TEST(DesktopGame, AScreenshotThatCannotBeSavedEndsWithALineNamingItAndTheFileErrorsStatus) {
  if (!ToolsPresent()) GTEST_SKIP() << "needs Xvfb and xdotool";
  PrivateDisplay display(1024, 768);
  DesktopGameFolder folder;
  const std::string shot = folder.File("missing/shot.png");
  RunningGame game(display, {"--windowed", "--data", folder.path(), "--frames", "8", "--screenshot", shot},
                   folder.File("err.txt"));
  EXPECT_EQ(game.Wait(20000), 3);
  EXPECT_EQ(Text(folder.File("err.txt")),
            "brillora: cannot save the screenshot " + shot + ": No such file or directory\n");
}

}  // namespace
