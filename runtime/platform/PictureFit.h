// Where the game's picture lies in a window: scaled to fit with its aspect kept and centred (black bars
// fill the rest), and the way between window points and picture pixels. Plain arithmetic, no window system.
#pragma once

namespace plat {

// The picture's place in a window of winW x winH units.
struct PictureFit {
  int x = 0, y = 0;    // top-left corner of the picture in the window
  int w = 0, h = 0;    // its size in the window
  double scale = 1.0;  // window units per picture pixel
};

// Fits a picture of picW x picH into a window of winW x winH: the largest scale at which it is whole,
// centred. A window of no size gives scale 1 at the origin.
PictureFit FitPicture(int winW, int winH, int picW, int picH);

// The picture pixel under the window point (wx, wy); points on the bars or outside the window give the
// nearest pixel on the picture's edge.
void WindowToPicture(const PictureFit& fit, int picW, int picH, double wx, double wy, int& px, int& py);

// A whole window point on picture pixel (px, py) (clamped to the picture): the one WindowToPicture
// takes back to that pixel.
void PictureToWindow(const PictureFit& fit, int picW, int picH, int px, int py, int& wx, int& wy);

// True when the window point (wx, wy) lies on the picture (not on a bar).
bool PointOnPicture(const PictureFit& fit, double wx, double wy);

// The largest whole number n >= 1 for which n * picW x n * picH, plus room for the window's frame
// (frameW, frameH), fits into an area of areaW x areaH.
int WholeWindowScale(int areaW, int areaH, int picW, int picH, int frameW, int frameH);

}  // namespace plat
