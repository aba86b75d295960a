// Placeholder until sprite drawing lands: loads record nothing, draws draw nothing.
#include "runtime/gfx2d/Sprites.h"

double LoadSprite(const std::string&, double) { return 0; }
void LoadAnimStrip(const std::string&, double, double, double) {}
void DrawAnimFrame(double, double, double, double) {}
void StretchSprite(double, double, double, double, double) {}
