// The menu screens and the glyph text they are written with.
#pragma once

#include "runtime/core/RtString.h"

// Draws text with one character image per character (slots 50..113 for codes 32..95), each stretched to
// width x height, advancing by width.
void DrawGlyphText(double x, double y, double width, double height, const RtString& text);
void TitleMenu();
void PollPlayerSlotKeys();
void NameEntry();
void HighScoreTable();
