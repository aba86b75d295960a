// The menu screens and the glyph text they are written with.
#pragma once

#include "runtime/core/RtString.h"

// Draws text with one character image per character (slots 50..113 for codes 32..95), each stretched to
// width x height, advancing by width.
void DrawGlyphText(double x, double y, double width, double height, const RtString& text);
// Told of every character image DrawGlyphText draws (slot, position, size), so that the menu screens can
// be checked without a picture; none by default.
using GlyphWatcher = void (*)(double slot, double x, double y, double width, double height);
void SetGlyphWatcher(GlyphWatcher watcher);
void TitleMenu();
void PollPlayerSlotKeys();
void NameEntry();
void HighScoreTable();
