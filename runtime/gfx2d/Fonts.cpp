// Bitmap fonts (being written).
#include "runtime/gfx2d/Fonts.h"

void LoadFont(const std::string&, double) {}
void SetFont(double) {}
void PrintText(const std::string&, double, double) {}
void GetFontSize(double& width, double& height) { width = height = 8; }
