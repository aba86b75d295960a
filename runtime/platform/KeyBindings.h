// Which key does what: the keys of the keyboard, by the game's scan code, turned into the game key they
// deliver (the cursor keys also from W A S D, say) or into one of the runtime's own hotkeys, which the
// game never sees. The settings file can change every entry except the game's own keys.
#pragma once

#include <cstdint>

namespace plat {

// The runtime's own hotkeys.
enum class KeyAction : uint8_t { kNone, kVolumeDown, kVolumeUp, kMute, kScreenshot };
constexpr int kKeyActionCount = 5;

struct KeyBindings {
  uint8_t gameKey[256];   // the game key a press delivers (0: nothing); the key itself by default
  KeyAction action[256];  // a hotkey instead of a game key (kNone: the game key above)

  // Every key delivers itself; no hotkeys.
  KeyBindings() {
    for (int i = 0; i < 256; ++i) {
      gameKey[i] = static_cast<uint8_t>(i);
      action[i] = KeyAction::kNone;
    }
  }
};

}  // namespace plat
