// Menu text: every character is its own stretched image.
#include "game/GameWords.h"
#include "game/Menus.h"
#include "runtime/gfx2d/Sprites.h"

void DrawGlyphText(double x, double y, double width, double height, const RtString& text) {
  const double length = StrLength(text);
  for (int i = 0; i < length; ++i) {
    const double code = CharCode(MidStr(text, i, 1));
    // Codes below 32 (and bytes above 127, which read negative) are skipped without a gap.
    if (code >= 32) {
      StretchSprite(sprite::kFirstGlyph + code - 32, x, y, width, height);
      x = x + width;
    }
  }
}
