// Bitmap fonts: 32 font slots, a built-in fallback font, and text drawn from a font's character grid.
#pragma once

#include <string>

// Loads a font image into font slot `font` (0..31) and makes it current; falls back to the built-in font.
void LoadFont(const std::string& path, double font);
void SetFont(double font);
// Draws text with the current font, the first character's top-left corner at (x, y).
void PrintText(const std::string& text, double x, double y);
void GetFontSize(double& width, double& height);
