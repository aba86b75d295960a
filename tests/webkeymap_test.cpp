// The browser's key codes and the desktop's: both tables give the same physical key the same scan code.
#include "runtime/platform/WebKeyMap.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/platform/InputEvents.h"
#include "runtime/platform/SdlKeyMap.h"

namespace {

// The browser's name of a key beside SDL's name of the same key.
std::map<std::string, std::string> SameKeys() {
  std::map<std::string, std::string> keys;
  for (char c = 'A'; c <= 'Z'; ++c) keys[std::string("Key") + c] = std::string(1, c);
  for (char c = '0'; c <= '9'; ++c) {
    keys[std::string("Digit") + c] = std::string(1, c);
    keys[std::string("Numpad") + c] = std::string("Keypad ") + c;
  }
  for (int f = 1; f <= 12; ++f) keys["F" + std::to_string(f)] = "F" + std::to_string(f);
  const std::pair<const char*, const char*> named[] = {
      {"Escape", "Escape"},
      {"Enter", "Return"},
      {"NumpadEnter", "Keypad Enter"},
      {"Space", "Space"},
      {"Tab", "Tab"},
      {"Backspace", "Backspace"},
      {"ArrowUp", "Up"},
      {"ArrowDown", "Down"},
      {"ArrowLeft", "Left"},
      {"ArrowRight", "Right"},
      {"ShiftLeft", "Left Shift"},
      {"ShiftRight", "Right Shift"},
      {"ControlLeft", "Left Ctrl"},
      {"ControlRight", "Right Ctrl"},
      {"AltLeft", "Left Alt"},
      {"AltRight", "Right Alt"},
      {"Home", "Home"},
      {"End", "End"},
      {"PageUp", "PageUp"},
      {"PageDown", "PageDown"},
      {"Insert", "Insert"},
      {"Delete", "Delete"},
      {"Minus", "-"},
      {"Equal", "="},
      {"BracketLeft", "["},
      {"BracketRight", "]"},
      {"Semicolon", ";"},
      {"Quote", "'"},
      {"Backquote", "`"},
      {"Backslash", "\\\\"},
      {"Comma", ","},
      {"Period", "."},
      {"Slash", "/"},
      {"NumpadAdd", "Keypad +"},
      {"NumpadSubtract", "Keypad -"},
      {"NumpadMultiply", "Keypad *"},
      {"NumpadDivide", "Keypad /"},
      {"NumpadDecimal", "Keypad ."},
      {"CapsLock", "CapsLock"},
  };
  for (const auto& [web, sdl] : named) keys[web] = sdl;
  return keys;
}

TEST(WebKeyMap, TheBrowserAndTheDesktopGiveEveryKeyTheSameScanCode) {
  int checked = 0;
  for (const auto& [web, sdl] : SameKeys()) {
    std::string name = sdl == "\\\\" ? "\\" : sdl;
    const SDL_Scancode scancode = SDL_GetScancodeFromName(name.c_str());
    ASSERT_NE(scancode, SDL_SCANCODE_UNKNOWN) << "SDL has no key named " << name;
    const int expected = plat::GameScanCode(scancode);
    ASSERT_NE(expected, 0) << name;
    EXPECT_EQ(plat::WebScanCode(web), expected) << web << " / " << name;
    ++checked;
  }
  EXPECT_GT(checked, 90);
}

TEST(WebKeyMap, TheFullScreenKeysAndUnknownKeys) {
  EXPECT_EQ(plat::WebScanCode("Enter"), plat::InputEvents::kReturn);
  EXPECT_EQ(plat::WebScanCode("NumpadEnter"), plat::InputEvents::kKeypadEnter);
  EXPECT_EQ(plat::WebScanCode("F11"), plat::InputEvents::kF11);
  EXPECT_EQ(plat::WebScanCode(""), 0);
  EXPECT_EQ(plat::WebScanCode("Unidentified"), 0);
  EXPECT_EQ(plat::WebScanCode("keya"), 0);  // the codes are case-sensitive names
  EXPECT_EQ(plat::WebScanCode("MetaLeft"), plat::WebScanCode("OSLeft"));
}

}  // namespace
