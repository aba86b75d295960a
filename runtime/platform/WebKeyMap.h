// The browser's key codes (KeyboardEvent.code: "KeyA", "ArrowUp", "NumpadEnter") as the game's scan codes.
// Plain table, no browser needed.
#pragma once

#include <string_view>

namespace plat {

// The game's scan code of the key the browser names `code`; 0 for a key the game does not know.
int WebScanCode(std::string_view code);

}  // namespace plat
