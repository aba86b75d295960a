// The player's settings, kept between runs in $XDG_CONFIG_HOME/brillora/settings.ini (by default
// ~/.config/brillora/settings.ini): full screen or a window and the window's size, the sound volume and
// mute, and the key bindings. A missing file means the defaults; a line that cannot be used is skipped
// with one warning and the rest of the file still counts.
#pragma once

#include <string>
#include <vector>

#include "runtime/platform/KeyBindings.h"

// What a binding in the [keys] section makes its keys do.
enum class Binding {
  kUp,
  kDown,
  kLeft,
  kRight,
  kSpace,
  kReturn,
  kEscape,
  kVolumeDown,
  kVolumeUp,
  kMute,
  kScreenshot
};
constexpr int kBindingCount = 11;

struct PlayerSettings {
  int fullScreen = -1;                    // 1 full screen, 0 a window, -1 not chosen (full screen)
  int windowWidth = 0, windowHeight = 0;  // the window's size outside full screen (0: not chosen)
  int volume = 100;                       // master level, 0..100 percent
  bool muted = false;
  std::vector<int> keys[kBindingCount];  // scan codes of the keys of each binding

  PlayerSettings();  // the defaults: W A S D as cursor keys, - and + for the volume, M, Print Screen
  // The keyboard's bindings as the platform takes them.
  plat::KeyBindings KeyTable() const;
};

// Volume steps of the volume keys, in percent.
constexpr int kVolumeStep = 10;

// Reads settings text. Every line that cannot be used adds one warning "line N: why" and is skipped.
PlayerSettings ParseSettings(const std::string& text, std::vector<std::string>& warnings);
// The text of a settings file holding `s`.
std::string SettingsText(const PlayerSettings& s);

// $XDG_CONFIG_HOME/brillora/settings.ini, or ~/.config/brillora/settings.ini; "" without either.
std::string SettingsPath();
// Reads the file at `path`; a missing file gives the defaults and no warning; an unreadable one one warning.
PlayerSettings LoadSettings(const std::string& path, std::vector<std::string>& warnings);
// Writes the file atomically (a temporary file in the same folder, then renamed over it), creating the
// folder when needed. False with the reason in `error` when it cannot be written.
bool SaveSettings(const std::string& path, const PlayerSettings& s, std::string& error);

// Names of keys in the settings file ("W", "Minus", "PrintScreen", "Keypad7", ...), case ignored.
int KeyCodeByName(const std::string& name);  // 0 for an unknown name
std::string KeyNameOf(int code);             // "" for a key without a name
