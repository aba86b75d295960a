// The picture's place in the window (see PictureFit.h).
#include "runtime/platform/PictureFit.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

// A whole window coordinate inside picture pixel p, which spans [origin + p * scale, origin + (p + 1) *
// scale): the first whole one in it when a pixel is at least one unit wide, else the one under its middle.
int WholePointOn(int origin, int p, double scale) {
  if (scale >= 1.0) return static_cast<int>(std::ceil(origin + p * scale - 1e-9));
  return static_cast<int>(std::floor(origin + (p + 0.5) * scale));
}

}  // namespace

PictureFit FitPicture(int winW, int winH, int picW, int picH) {
  PictureFit fit;
  if (winW <= 0 || winH <= 0 || picW <= 0 || picH <= 0) {
    fit.w = std::max(picW, 0);
    fit.h = std::max(picH, 0);
    return fit;
  }
  fit.scale = std::min(static_cast<double>(winW) / picW, static_cast<double>(winH) / picH);
  fit.w = static_cast<int>(std::lround(picW * fit.scale));
  fit.h = static_cast<int>(std::lround(picH * fit.scale));
  fit.x = (winW - fit.w) / 2;
  fit.y = (winH - fit.h) / 2;
  return fit;
}

void WindowToPicture(const PictureFit& fit, int picW, int picH, double wx, double wy, int& px, int& py) {
  const double scaleX = fit.w > 0 && picW > 0 ? static_cast<double>(fit.w) / picW : 1.0;
  const double scaleY = fit.h > 0 && picH > 0 ? static_cast<double>(fit.h) / picH : 1.0;
  // The small allowance keeps a point on a pixel's first edge on that pixel despite rounding.
  const double fx = std::floor((wx - fit.x) / scaleX + 1e-9);
  const double fy = std::floor((wy - fit.y) / scaleY + 1e-9);
  px = static_cast<int>(std::clamp(fx, 0.0, static_cast<double>(std::max(picW - 1, 0))));
  py = static_cast<int>(std::clamp(fy, 0.0, static_cast<double>(std::max(picH - 1, 0))));
}

void PictureToWindow(const PictureFit& fit, int picW, int picH, int px, int py, int& wx, int& wy) {
  const double scaleX = fit.w > 0 && picW > 0 ? static_cast<double>(fit.w) / picW : 1.0;
  const double scaleY = fit.h > 0 && picH > 0 ? static_cast<double>(fit.h) / picH : 1.0;
  px = std::clamp(px, 0, std::max(picW - 1, 0));
  py = std::clamp(py, 0, std::max(picH - 1, 0));
  wx = WholePointOn(fit.x, px, scaleX);
  wy = WholePointOn(fit.y, py, scaleY);
}

bool PointOnPicture(const PictureFit& fit, double wx, double wy) {
  return wx >= fit.x && wx < fit.x + fit.w && wy >= fit.y && wy < fit.y + fit.h;
}

int WholeWindowScale(int areaW, int areaH, int picW, int picH, int frameW, int frameH) {
  if (picW <= 0 || picH <= 0) return 1;
  const int byWidth = (areaW - frameW) / picW;
  const int byHeight = (areaH - frameH) / picH;
  return std::max(1, std::min(byWidth, byHeight));
}

}  // namespace plat
