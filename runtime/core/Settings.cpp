// The player's settings file (see Settings.h).
#include "runtime/core/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/core/WholeNumber.h"

namespace {

struct KeyName {
  int code;
  const char* name;
};

constexpr KeyName kKeyNames[] = {
    {1, "Escape"},
    {2, "1"},
    {3, "2"},
    {4, "3"},
    {5, "4"},
    {6, "5"},
    {7, "6"},
    {8, "7"},
    {9, "8"},
    {10, "9"},
    {11, "0"},
    {12, "Minus"},
    {13, "Equals"},
    {14, "Backspace"},
    {15, "Tab"},
    {16, "Q"},
    {17, "W"},
    {18, "E"},
    {19, "R"},
    {20, "T"},
    {21, "Y"},
    {22, "U"},
    {23, "I"},
    {24, "O"},
    {25, "P"},
    {26, "LeftBracket"},
    {27, "RightBracket"},
    {28, "Return"},
    {29, "LeftCtrl"},
    {30, "A"},
    {31, "S"},
    {32, "D"},
    {33, "F"},
    {34, "G"},
    {35, "H"},
    {36, "J"},
    {37, "K"},
    {38, "L"},
    {39, "Semicolon"},
    {40, "Apostrophe"},
    {41, "Grave"},
    {42, "LeftShift"},
    {43, "Backslash"},
    {44, "Z"},
    {45, "X"},
    {46, "C"},
    {47, "V"},
    {48, "B"},
    {49, "N"},
    {50, "M"},
    {51, "Comma"},
    {52, "Period"},
    {53, "Slash"},
    {54, "RightShift"},
    {55, "KeypadMultiply"},
    {56, "LeftAlt"},
    {57, "Space"},
    {58, "CapsLock"},
    {59, "F1"},
    {60, "F2"},
    {61, "F3"},
    {62, "F4"},
    {63, "F5"},
    {64, "F6"},
    {65, "F7"},
    {66, "F8"},
    {67, "F9"},
    {68, "F10"},
    {69, "NumLock"},
    {70, "ScrollLock"},
    {71, "Keypad7"},
    {72, "Keypad8"},
    {73, "Keypad9"},
    {74, "KeypadMinus"},
    {75, "Keypad4"},
    {76, "Keypad5"},
    {77, "Keypad6"},
    {78, "KeypadPlus"},
    {79, "Keypad1"},
    {80, "Keypad2"},
    {81, "Keypad3"},
    {82, "Keypad0"},
    {83, "KeypadPeriod"},
    {87, "F11"},
    {88, "F12"},
    {156, "KeypadEnter"},
    {157, "RightCtrl"},
    {181, "KeypadDivide"},
    {183, "PrintScreen"},
    {184, "RightAlt"},
    {197, "Pause"},
    {199, "Home"},
    {200, "Up"},
    {201, "PageUp"},
    {203, "Left"},
    {205, "Right"},
    {207, "End"},
    {208, "Down"},
    {209, "PageDown"},
    {210, "Insert"},
    {211, "Delete"},
};

// The bindings' names in the file and what each delivers.
struct BindingInfo {
  const char* name;
  int gameKey;  // 0 for a hotkey
  plat::KeyAction action;
};

constexpr BindingInfo kBindings[kBindingCount] = {
    {"up", 200, plat::KeyAction::kNone},
    {"down", 208, plat::KeyAction::kNone},
    {"left", 203, plat::KeyAction::kNone},
    {"right", 205, plat::KeyAction::kNone},
    {"space", 57, plat::KeyAction::kNone},
    {"return", 28, plat::KeyAction::kNone},
    {"escape", 1, plat::KeyAction::kNone},
    {"volume_down", 0, plat::KeyAction::kVolumeDown},
    {"volume_up", 0, plat::KeyAction::kVolumeUp},
    {"mute", 0, plat::KeyAction::kMute},
    {"screenshot", 0, plat::KeyAction::kScreenshot},
};

// The game's own keys (and the window-mode and quit keys) keep their meaning: no binding takes them.
bool GamesOwnKey(int code) {
  switch (code) {
    case 1:   // Escape
    case 28:  // Return
    case 56:  // left Alt (Alt+F4, Alt+Return)
    case 57:  // Space
    case 59:  // F1 .. F4
    case 60:
    case 61:
    case 62:
    case 87:   // F11
    case 88:   // F12
    case 156:  // keypad Enter (Alt+Enter)
    case 184:  // right Alt
    case 200:  // cursor keys
    case 203:
    case 205:
    case 208:
      return true;
    default:
      return false;
  }
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool ParseYesNo(const std::string& v, bool& out) {
  const std::string l = Lower(v);
  if (l == "yes" || l == "true" || l == "on" || l == "1") {
    out = true;
    return true;
  }
  if (l == "no" || l == "false" || l == "off" || l == "0") {
    out = false;
    return true;
  }
  return false;
}

// The largest window the file may ask for; the window opens at it only when it fits the desktop.
constexpr long long kMaxWindowSide = 16384, kMinWindowSide = 160;

}  // namespace

int KeyCodeByName(const std::string& name) {
  const std::string l = Lower(Trim(name));
  for (const KeyName& k : kKeyNames)
    if (Lower(k.name) == l) return k.code;
  return 0;
}

std::string KeyNameOf(int code) {
  for (const KeyName& k : kKeyNames)
    if (k.code == code) return k.name;
  return "";
}

PlayerSettings::PlayerSettings() {
  keys[static_cast<int>(Binding::kUp)] = {17};              // W
  keys[static_cast<int>(Binding::kLeft)] = {30};            // A
  keys[static_cast<int>(Binding::kDown)] = {31};            // S
  keys[static_cast<int>(Binding::kRight)] = {32};           // D
  keys[static_cast<int>(Binding::kVolumeDown)] = {12, 74};  // Minus, keypad Minus
  keys[static_cast<int>(Binding::kVolumeUp)] = {13, 78};    // Equals (the "+" key), keypad Plus
  keys[static_cast<int>(Binding::kMute)] = {50};            // M
  keys[static_cast<int>(Binding::kScreenshot)] = {183};     // Print Screen
}

plat::KeyBindings PlayerSettings::KeyTable() const {
  plat::KeyBindings table;
  for (int b = 0; b < kBindingCount; ++b)
    for (int code : keys[b]) {
      if (code <= 0 || code > 255 || GamesOwnKey(code)) continue;
      if (kBindings[b].action != plat::KeyAction::kNone)
        table.action[code] = kBindings[b].action;
      else
        table.gameKey[code] = static_cast<uint8_t>(kBindings[b].gameKey);
    }
  return table;
}

PlayerSettings ParseSettings(const std::string& text, std::vector<std::string>& warnings) {
  PlayerSettings s;
  std::istringstream in(text);
  std::string raw, section;
  bool sectionKnown = true;
  int lineNo = 0;
  bool keysSeen[kBindingCount] = {};
  auto warn = [&](const std::string& why) {
    warnings.push_back("line " + std::to_string(lineNo) + ": " + why);
  };
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') {
        warn("a section name needs a closing \"]\"");
        sectionKnown = false;
        continue;
      }
      section = Lower(Trim(line.substr(1, line.size() - 2)));
      sectionKnown = section == "window" || section == "sound" || section == "keys";
      if (!sectionKnown) warn("unknown section [" + section + "]; its lines are skipped");
      continue;
    }
    if (!sectionKnown) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      warn("\"" + line + "\" is not of the form name = value");
      continue;
    }
    const std::string name = Lower(Trim(line.substr(0, eq)));
    const std::string value = Trim(line.substr(eq + 1));
    long long n = 0;
    bool yes = false;
    if (section == "window" && name == "fullscreen") {
      if (!ParseYesNo(value, yes)) {
        warn("fullscreen takes yes or no, not \"" + value + "\"");
        continue;
      }
      s.fullScreen = yes ? 1 : 0;
    } else if (section == "window" && (name == "width" || name == "height")) {
      if (!ParseWholeNumber(value, kMinWindowSide, kMaxWindowSide, n)) {
        warn(name + " takes a whole number of pixels from " + std::to_string(kMinWindowSide) + " to " +
             std::to_string(kMaxWindowSide) + ", not \"" + value + "\"");
        continue;
      }
      (name == "width" ? s.windowWidth : s.windowHeight) = static_cast<int>(n);
    } else if (section == "sound" && name == "volume") {
      if (!ParseWholeNumber(value, 0, 100, n)) {
        warn("volume takes a whole number from 0 to 100, not \"" + value + "\"");
        continue;
      }
      s.volume = static_cast<int>(n);
    } else if (section == "sound" && name == "mute") {
      if (!ParseYesNo(value, yes)) {
        warn("mute takes yes or no, not \"" + value + "\"");
        continue;
      }
      s.muted = yes;
    } else if (section == "keys") {
      int b = 0;
      while (b < kBindingCount && name != kBindings[b].name) ++b;
      if (b == kBindingCount) {
        warn("unknown binding \"" + name + "\"");
        continue;
      }
      std::vector<int> codes;
      std::string why;
      std::istringstream list(value);
      std::string item;
      while (why.empty() && std::getline(list, item, ',')) {
        item = Trim(item);
        if (item.empty()) continue;
        const int code = KeyCodeByName(item);
        if (code == 0)
          why = "unknown key \"" + item + "\"";
        else if (GamesOwnKey(code))
          why = "\"" + item + "\" is one of the game's own keys and keeps its meaning";
        else
          codes.push_back(code);
      }
      if (!why.empty()) {
        warn(why);
        continue;
      }
      keysSeen[b] = true;
      s.keys[b] = codes;
    } else {
      warn("unknown setting \"" + name + "\" in [" + section + "]");
      continue;
    }
  }
  if (s.windowWidth == 0 || s.windowHeight == 0) s.windowWidth = s.windowHeight = 0;
  // A key named by a binding of the file leaves the default binding that had it (W bound to "space"
  // no longer walks up).
  for (int b = 0; b < kBindingCount; ++b) {
    if (keysSeen[b]) continue;
    for (int other = 0; other < kBindingCount; ++other) {
      if (!keysSeen[other]) continue;
      auto& mine = s.keys[b];
      for (int code : s.keys[other]) mine.erase(std::remove(mine.begin(), mine.end(), code), mine.end());
    }
  }
  return s;
}

std::string SettingsText(const PlayerSettings& s) {
  std::string t =
      "# Brillora's settings. The game rewrites this file when a setting changes in the game.\n"
      "\n[window]\n";
  if (s.fullScreen >= 0) t += std::string("fullscreen = ") + (s.fullScreen ? "yes" : "no") + "\n";
  if (s.windowWidth > 0 && s.windowHeight > 0)
    t += "width = " + std::to_string(s.windowWidth) + "\nheight = " + std::to_string(s.windowHeight) + "\n";
  t += "\n[sound]\nvolume = " + std::to_string(s.volume) + "\nmute = " + (s.muted ? "yes" : "no") + "\n";
  t += "\n[keys]\n# Further keys for the game's keys and the hotkeys, by name, separated by commas.\n";
  for (int b = 0; b < kBindingCount; ++b) {
    t += std::string(kBindings[b].name) + " =";
    for (size_t i = 0; i < s.keys[b].size(); ++i) t += (i ? ", " : " ") + KeyNameOf(s.keys[b][i]);
    t += "\n";
  }
  return t;
}

std::string SettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return "";
    base = std::string(home) + "/.config";
  }
  return base + "/brillora/settings.ini";
}

PlayerSettings LoadSettings(const std::string& path, std::vector<std::string>& warnings) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno != ENOENT) warnings.push_back(std::string("cannot be read: ") + std::strerror(errno));
    return PlayerSettings{};
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseSettings(text.str(), warnings);
}

bool SaveSettings(const std::string& path, const PlayerSettings& s, std::string& error) {
  namespace fs = std::filesystem;
  if (path.empty()) {
    error = "no folder for settings (neither XDG_CONFIG_HOME nor HOME is set)";
    return false;
  }
  const fs::path target(path);
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  std::string temp = (target.parent_path() / ".settings.ini.XXXXXX").string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const std::string text = SettingsText(s);
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const int writeErrno = errno;
  const bool written = done == text.size() && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written) {
    error = std::strerror(written ? errno : writeErrno);
    ::unlink(temp.c_str());
    return false;
  }
  ::chmod(temp.c_str(), 0644);
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}
