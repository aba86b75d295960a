// Sprite slots for the game: loading pictures and animation strips, and drawing frames and whole images.
#pragma once

#include <string>

// Loads an image into a sprite slot with the sprite colour key; 1 on success, 0 otherwise (slot empty).
double LoadSprite(const std::string& path, double slot);
// Loads an image and cuts it into cells of frameWidth x frameHeight (kept only when the image loaded).
void LoadAnimStrip(const std::string& path, double slot, double frameWidth, double frameHeight);
// Draws cell `frame` of a strip at its natural size with its top-left corner at (x, y).
void DrawAnimFrame(double slot, double frame, double x, double y);
// Draws the whole image scaled to width x height; negative sizes mirror.
void StretchSprite(double slot, double x, double y, double width, double height);

// The runtime's further sprite draws (the game itself uses the two above).
// The whole image at its natural size, top-left corner at (x, y).
void DrawSprite(double slot, double x, double y);
// The whole image scaled by scaleX x scaleY about the centre of its natural-size rectangle at (x, y).
void DrawSpriteScaled(double slot, double x, double y, double scaleX, double scaleY);
// The whole image turned by `angle` degrees (counter-clockwise on screen) and scaled about the centre of
// its natural-size rectangle at (x, y).
void DrawSpriteRotated(double slot, double x, double y, double angle, double scale = 1.0);
// Cell `frame` of a strip stretched to width x height.
void DrawFrameStretched(double slot, double frame, double x, double y, double width, double height);
// Cell `frame` of a strip turned by `angle` degrees and scaled about the centre of its natural-size cell.
void DrawFrameRotated(double slot, double frame, double x, double y, double angle, double scale);
