// Pieces shared by the sprite draws: choosing a strip's cell, selecting a slot for drawing, and the quad
// of a whole image. Runtime-internal.
#pragma once

#include <cstdint>

#include "runtime/gfx2d/Renderer2D.h"

// Where one cell of a strip lies in its texture, and its size in pixels.
struct CellCoords {
  float uLeft = 0, uRight = 0;
  float vBottom = 0, vTop = 0;
  float width = 0, height = 0;
};

// The cell of `frame`; false when the slot has no cells (no frame size, or a picture narrower than one
// frame), in which case nothing is to be drawn.
bool FrameCell(const SpriteSlot& slot, int32_t frame, CellCoords& cell);
// Selects the slot for drawing; null for a slot number outside the table, and when nothing is drawn
// (no drawing backend).
const SpriteSlot* SelectSpriteForDrawing(double slot);
// The whole picture on the rectangle from (left, top), width x height pixels; a negative size mirrors
// it. Drawn through the smoothing filter unless the picture lands one texel on one pixel.
void DrawWholeImageQuad(const SpriteSlot& slot, float left, float top, float width, float height);
// One cell of a strip on the rectangle from (left, top) to (right, bottom), corners in the order that keeps
// the quad counter-clockwise on screen; `linear` filters it (else nearest).
void DrawCellQuad(const SpriteSlot& slot, const CellCoords& cell, float left, float top, float right,
                  float bottom, bool linear);
