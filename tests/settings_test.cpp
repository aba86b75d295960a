// The player's settings file, the key bindings and the controller as they reach the frame input, and the
// mix's master level: everything of the player's controls that needs no window.
#include "runtime/core/Settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "game/GameWords.h"
#include "runtime/core/Options.h"
#include "runtime/platform/InputEvents.h"
#include "runtime/platform/PadInput.h"
#include "runtime/program/PlayerControls.h"
#include "runtime/sound/Mixer.h"
#include "tests/support/InputPoll.h"
#include "tests/support/TestSupport.h"

namespace {

using plat::InputEvents;
using plat::KeyAction;
using plat::PadButton;
using plat::PadInput;
using testing_support::TempDir;

using key::kDown;
using key::kLeft;
using key::kReturn;
using key::kRight;
using key::kSpace;
using key::kUp;
using testing_support::Poll;
using testing_support::PollLeft;
constexpr int kEsc = key::kEscape;
// Keys outside the game's own: the extra walking keys and the runtime's hotkeys.
constexpr int kW = 17, kA = 30, kI = 23, kM = 50, kMinus = 12, kPrint = 183;

TEST(SettingsFile, AMissingOrEmptyFileGivesTheDefaults) {
  TempDir dir;
  std::vector<std::string> warnings;
  const PlayerSettings s = LoadSettings(dir.File("none/settings.ini"), warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(s.fullScreen, -1);
  EXPECT_EQ(s.volume, 100);
  EXPECT_FALSE(s.muted);
  const plat::KeyBindings table = s.KeyTable();
  EXPECT_EQ(table.gameKey[kW], kUp);
  EXPECT_EQ(table.gameKey[kA], kLeft);
  EXPECT_EQ(table.gameKey[kUp], kUp);  // the cursor keys stay themselves
  EXPECT_EQ(table.action[kM], KeyAction::kMute);
  EXPECT_EQ(table.action[kPrint], KeyAction::kScreenshot);
  EXPECT_EQ(table.action[kMinus], KeyAction::kVolumeDown);
}

TEST(SettingsFile, EachBadLineIsSkippedWithOneWarningNamingItAndTheRestCounts) {
  const std::string text =
      "# comment\n"
      "[window]\n"
      "fullscreen = perhaps\n"  // 3
      "width = 1000\n"
      "height = 99999\n"  // 5
      "[sound]\n"
      "volume = 40\n"
      "volume = 140\n"  // 8
      "mute = yes\n"
      "loudness = 3\n"         // 10
      "no equals sign here\n"  // 11
      "[keys]\n"
      "up = I, Nonsense\n"  // 13
      "space = Return\n"    // 14: the game's own key
      "jump = J\n"          // 15
      "[colours]\n"         // 16
      "sky = blue\n";
  std::vector<std::string> warnings;
  const PlayerSettings s = ParseSettings(text, warnings);
  ASSERT_EQ(warnings.size(), 9u);
  const int lines[] = {3, 5, 8, 10, 11, 13, 14, 15, 16};
  for (size_t i = 0; i < warnings.size(); ++i)
    EXPECT_EQ(warnings[i].rfind("line " + std::to_string(lines[i]) + ":", 0), 0u) << warnings[i];
  EXPECT_NE(warnings[5].find("Nonsense"), std::string::npos);
  EXPECT_EQ(s.fullScreen, -1);
  EXPECT_EQ(s.windowWidth, 0);  // a width without a height is no size
  EXPECT_EQ(s.volume, 40);
  EXPECT_TRUE(s.muted);
  // The skipped "up" line leaves W as it was.
  EXPECT_EQ(s.KeyTable().gameKey[kW], kUp);
  EXPECT_EQ(s.KeyTable().gameKey[kI], kI);
}

TEST(SettingsFile, BindingsMoveKeysAndTheGamesOwnKeysKeepTheirMeaning) {
  std::vector<std::string> warnings;
  const PlayerSettings s =
      ParseSettings("[keys]\nup = I\nspace = W\nmute =\nscreenshot = F9, f10\n", warnings);
  EXPECT_TRUE(warnings.empty());
  const plat::KeyBindings t = s.KeyTable();
  EXPECT_EQ(t.gameKey[kI], kUp);
  EXPECT_EQ(t.gameKey[kW], kSpace);  // W now fires instead of walking up
  EXPECT_EQ(t.action[kM], KeyAction::kNone);
  EXPECT_EQ(t.gameKey[kM], kM);
  EXPECT_EQ(t.action[67], KeyAction::kScreenshot);
  EXPECT_EQ(t.action[68], KeyAction::kScreenshot);
  for (int own : {kEsc, kReturn, kSpace, 59, 62, 87, 88, kUp, kLeft, kRight, kDown}) {
    EXPECT_EQ(t.gameKey[own], own);
    EXPECT_EQ(t.action[own], KeyAction::kNone);
  }
}

TEST(SettingsFile, WrittenAtomicallyAndReadBackTheSame) {
  TempDir dir;
  const std::string path = dir.File("config/brillora/settings.ini");
  PlayerSettings s;
  s.fullScreen = 0;
  s.windowWidth = 1000;
  s.windowHeight = 750;
  s.volume = 30;
  s.muted = true;
  s.keys[static_cast<int>(Binding::kSpace)] = {36, 82};  // J, keypad 0
  std::string error;
  ASSERT_TRUE(SaveSettings(path, s, error)) << error;
  s.volume = 70;
  ASSERT_TRUE(SaveSettings(path, s, error)) << error;
  std::vector<std::string> warnings;
  const PlayerSettings back = LoadSettings(path, warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(back.fullScreen, 0);
  EXPECT_EQ(back.windowWidth, 1000);
  EXPECT_EQ(back.windowHeight, 750);
  EXPECT_EQ(back.volume, 70);
  EXPECT_TRUE(back.muted);
  EXPECT_EQ(back.keys[static_cast<int>(Binding::kSpace)], (std::vector<int>{36, 82}));
  EXPECT_EQ(back.keys[static_cast<int>(Binding::kUp)], (std::vector<int>{kW}));
  // Only the file itself is left in the folder: no temporary file.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.File("config/brillora"))) {
    EXPECT_EQ(e.path().filename(), "settings.ini");
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(SettingsFile, AnUnwritableFolderFailsWithAReasonAndTheOldFileStays) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  testing_support::WriteText(path, "[sound]\nvolume = 20\n");
  ::chmod(dir.path().c_str(), 0500);
  std::string error;
  EXPECT_FALSE(SaveSettings(path, PlayerSettings{}, error));
  EXPECT_FALSE(error.empty());
  ::chmod(dir.path().c_str(), 0700);
  std::vector<std::string> warnings;
  EXPECT_EQ(LoadSettings(path, warnings).volume, 20);
}

TEST(SettingsFile, ThePathFollowsXdgConfigHomeElseHome) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = oldConfig ? oldConfig : "";
  ::setenv("XDG_CONFIG_HOME", "/somewhere/conf", 1);
  EXPECT_EQ(SettingsPath(), "/somewhere/conf/brillora/settings.ini");
  ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
  ::setenv("HOME", "/home/player", 1);
  EXPECT_EQ(SettingsPath(), "/home/player/.config/brillora/settings.ini");
  if (oldConfig)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(Screenshots, ANameTakenIsNeverOverwritten) {
  TempDir dir;
  const std::string first = ReserveScreenshotFile(dir.path());
  testing_support::WriteText(first, "taken");
  const std::string second = ReserveScreenshotFile(dir.path());
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  const std::vector<uint8_t> kept = testing_support::ReadFile(first);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "taken");
  EXPECT_EQ(ReserveScreenshotFile(dir.File("missing")), "");
}

TEST(KeyBindingsInput, WDeliversUpAndHoldsItTogetherWithTheCursorKey) {
  InputEvents in;
  in.SetBindings(PlayerSettings().KeyTable());
  in.KeyDown(kW, false);
  EXPECT_EQ(Poll(in), std::vector<int>{kUp});
  in.KeyDown(kUp, false);
  in.KeyUp(kW);  // Up is still held by its own key
  EXPECT_EQ(Poll(in), std::vector<int>{kUp});
  in.KeyUp(kUp);
  EXPECT_TRUE(Poll(in).empty());
  // A tap of W between two polls is seen once, as Up.
  in.KeyDown(kW, false);
  in.KeyUp(kW);
  EXPECT_EQ(Poll(in), std::vector<int>{kUp});
  EXPECT_TRUE(Poll(in).empty());
}

TEST(KeyBindingsInput, HotkeysAreCountedAndNeverReachTheGame) {
  InputEvents in;
  in.SetBindings(PlayerSettings().KeyTable());
  for (int i = 0; i < 2; ++i) {
    in.KeyDown(kMinus, false);
    in.KeyUp(kMinus);
  }
  in.KeyDown(kM, false);
  in.KeyDown(kPrint, false);
  EXPECT_TRUE(Poll(in).empty());
  int counts[plat::kKeyActionCount] = {};
  in.TakeActions(counts);
  EXPECT_EQ(counts[static_cast<int>(KeyAction::kVolumeDown)], 2);
  EXPECT_EQ(counts[static_cast<int>(KeyAction::kMute)], 1);
  EXPECT_EQ(counts[static_cast<int>(KeyAction::kScreenshot)], 1);
  in.TakeActions(counts);
  EXPECT_EQ(counts[static_cast<int>(KeyAction::kMute)], 0);
  // A key held while the bindings change lets go of what it pressed.
  in.KeyUp(kM);
  in.KeyDown(kA, false);
  in.SetBindings(plat::KeyBindings{});
  in.KeyUp(kA);
  EXPECT_EQ(Poll(in), std::vector<int>{kLeft});  // pressed since the last poll
  EXPECT_TRUE(Poll(in).empty());
}

TEST(Controller, ButtonsAndTheStickAreTheGamesKeysWithADeadZone) {
  InputEvents in;
  PadInput pad(in);
  pad.Button(PadButton::kA, true);
  pad.Button(PadButton::kStart, true);
  pad.Button(PadButton::kB, true);
  EXPECT_EQ(Poll(in), (std::vector<int>{kEsc, kReturn, kSpace}));
  pad.Button(PadButton::kA, false);
  pad.Button(PadButton::kStart, false);
  pad.Button(PadButton::kB, false);
  pad.Button(PadButton::kBack, true);
  EXPECT_EQ(Poll(in), std::vector<int>{kEsc});
  pad.Button(PadButton::kBack, false);
  EXPECT_TRUE(Poll(in).empty());

  pad.Stick(0, PadInput::kDeadZone);  // a resting stick drifts: nothing
  pad.Stick(1, -PadInput::kKeyThreshold + 1);
  EXPECT_TRUE(Poll(in).empty());
  pad.Stick(0, 30000);
  pad.Stick(1, -30000);
  EXPECT_EQ(Poll(in), (std::vector<int>{kUp, kRight}));
  // Back inside the threshold but outside the dead zone: still held; inside the dead zone: let go.
  pad.Stick(0, PadInput::kDeadZone + 100);
  EXPECT_EQ(Poll(in), (std::vector<int>{kUp, kRight}));
  pad.Stick(0, 0);
  pad.Stick(1, 0);
  EXPECT_TRUE(Poll(in).empty());

  // The d-pad and the stick holding the same key: it stays down until both let go.
  pad.Button(PadButton::kLeft, true);
  pad.Stick(0, -30000);
  pad.Button(PadButton::kLeft, false);
  EXPECT_EQ(Poll(in), std::vector<int>{kLeft});
  pad.Stick(0, 0);
  EXPECT_TRUE(Poll(in).empty());
}

TEST(Controller, OnAScreenWithAPointerTheStickMovesItAndAClicks) {
  InputEvents in;
  PadInput pad(in);
  pad.SetPointerMode(true);
  pad.Advance(1000);
  pad.Stick(0, 32767);
  pad.Advance(1200);
  pad.Button(PadButton::kDown, true);
  EXPECT_TRUE(Poll(in).empty());  // no keys
  pad.Advance(1500);
  // The motion follows the times of the changes, not the times it is read at.
  double dx = 0, dy = 0;
  pad.TakeMotion(dx, dy);
  EXPECT_NEAR(dx, PadInput::kStickPointerSpeed / 2, 1e-6);
  EXPECT_NEAR(dy, PadInput::kPadPointerSpeed * 0.3, 1e-6);
  pad.Stick(0, PadInput::kDeadZone - 1);
  pad.Button(PadButton::kDown, false);
  pad.Advance(2500);
  pad.TakeMotion(dx, dy);
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);

  pad.Button(PadButton::kA, true);
  pad.Button(PadButton::kA, false);
  EXPECT_TRUE(PollLeft(in));  // a short press is one click
  EXPECT_FALSE(PollLeft(in));
  EXPECT_TRUE(Poll(in).empty());

  // A held through the return to the menu lets go of the button, not of a Space it never pressed.
  pad.Button(PadButton::kA, true);
  pad.SetPointerMode(false);
  pad.Button(PadButton::kA, false);
  EXPECT_TRUE(PollLeft(in));
  EXPECT_FALSE(PollLeft(in));
  EXPECT_TRUE(Poll(in).empty());
  // Without the pointer no motion, and a stick held across the change turns into keys.
  pad.Stick(1, 30000);
  pad.Advance(4000);
  pad.TakeMotion(dx, dy);
  EXPECT_EQ(dy, 0);
  EXPECT_EQ(Poll(in), std::vector<int>{kDown});
  pad.SetPointerMode(true);
  EXPECT_TRUE(Poll(in).empty());
}

TEST(Controller, UnpluggedWhileHeldLetsGoOfEverything) {
  InputEvents in;
  {
    PadInput pad(in);
    pad.Button(PadButton::kRight, true);
    pad.Stick(1, 30000);
    EXPECT_EQ(Poll(in), (std::vector<int>{kRight, kDown}));
  }
  EXPECT_TRUE(Poll(in).empty());
}

TEST(MasterLevel, ScalesTheWholeMixAndSilencesIt) {
  Mixer mixer(22050);
  auto samples = std::make_shared<std::vector<int16_t>>(200, int16_t{10000});
  const int id = mixer.CreateBuffer(samples);
  std::vector<int16_t> out(40);
  mixer.Play(id);
  mixer.Pull(out.data(), 20);
  EXPECT_EQ(out[0], 10000);
  mixer.SetMasterGain(0.25);
  mixer.Pull(out.data(), 20);
  EXPECT_EQ(out[0], 2500);
  mixer.SetMasterGain(0);
  mixer.Pull(out.data(), 20);
  EXPECT_EQ(out[1], 0);
  mixer.SetMasterGain(7);  // held to 1
  mixer.Pull(out.data(), 20);
  EXPECT_EQ(out[1], 10000);
}

TEST(CommandLine, FullScreenAndWindowedExcludeEachOther) {
  LaunchOptions o;
  std::string error;
  EXPECT_EQ(ParseLaunchOptions({"brillora", "--fullscreen"}, o, error), OptionsResult::kRun);
  EXPECT_TRUE(o.fullScreen);
  LaunchOptions both;
  EXPECT_EQ(ParseLaunchOptions({"brillora", "--fullscreen", "--windowed"}, both, error),
            OptionsResult::kError);
  EXPECT_NE(error.find("--fullscreen"), std::string::npos);
}

}  // namespace
