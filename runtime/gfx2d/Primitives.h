// Untextured drawing of the runtime: single pixels, lines and filled rectangles. Colours are 0x00BBGGRR;
// the sprite colour key draws with alpha 0.
#pragma once

void DrawPixel(double x, double y, double colour);
// Both end pixels are drawn.
void DrawLine(double x1, double y1, double x2, double y2, double colour);
// A negative width or height extends the rectangle left of x or above y.
void FillRect(double x, double y, double width, double height, double colour);
