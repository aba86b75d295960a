// The picture's place in the window: letterboxing at whole and broken scales, the way between window
// points and picture pixels in both directions, the whole-number size of a new window; and how a GL
// extension list is read.
#include "runtime/platform/PictureFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "runtime/platform/Platform.h"

namespace {

using plat::FitPicture;
using plat::PictureFit;

TEST(PictureFit, ScalesToFitKeepingTheAspectAndCentres) {
  const PictureFit same = FitPicture(640, 480, 640, 480);
  EXPECT_EQ(same.x, 0);
  EXPECT_EQ(same.w, 640);
  EXPECT_DOUBLE_EQ(same.scale, 1.0);

  // 1280 x 1024: twice the size, bars above and below.
  const PictureFit tall = FitPicture(1280, 1024, 640, 480);
  EXPECT_DOUBLE_EQ(tall.scale, 2.0);
  EXPECT_EQ(tall.x, 0);
  EXPECT_EQ(tall.y, 32);
  EXPECT_EQ(tall.w, 1280);
  EXPECT_EQ(tall.h, 960);

  // 1920 x 1080: 2.25 times, bars left and right.
  const PictureFit wide = FitPicture(1920, 1080, 640, 480);
  EXPECT_DOUBLE_EQ(wide.scale, 2.25);
  EXPECT_EQ(wide.w, 1440);
  EXPECT_EQ(wide.h, 1080);
  EXPECT_EQ(wide.x, 240);
  EXPECT_EQ(wide.y, 0);

  // A window of no size (minimised) leaves the picture where it is.
  const PictureFit none = FitPicture(0, 0, 640, 480);
  EXPECT_DOUBLE_EQ(none.scale, 1.0);
  EXPECT_EQ(none.w, 640);
}

TEST(PictureFit, PointsOnTheBarsGoToTheNearestEdgePixel) {
  const PictureFit fit = FitPicture(1920, 1080, 640, 480);
  int px = -1, py = -1;
  plat::WindowToPicture(fit, 640, 480, 10, 500, px, py);  // left bar
  EXPECT_EQ(px, 0);
  EXPECT_EQ(py, 222);
  plat::WindowToPicture(fit, 640, 480, 1919, 1079, px, py);  // right bar, bottom corner
  EXPECT_EQ(px, 639);
  EXPECT_EQ(py, 479);
  plat::WindowToPicture(fit, 640, 480, -400, -3, px, py);  // beyond the window (a held button)
  EXPECT_EQ(px, 0);
  EXPECT_EQ(py, 0);
  EXPECT_FALSE(plat::PointOnPicture(fit, 239, 500));
  EXPECT_TRUE(plat::PointOnPicture(fit, 240, 500));
  EXPECT_TRUE(plat::PointOnPicture(fit, 1679, 1079));
  EXPECT_FALSE(plat::PointOnPicture(fit, 1680, 1079));
}

// Placing the pointer on a pixel and reading the pixel under it back must agree for every pixel, at whole
// scales, broken ones and below 1.
TEST(PictureFit, EveryPixelPlacedIsThePixelReadBack) {
  const int windows[][2] = {{640, 480}, {1280, 1024}, {1920, 1080}, {1000, 700}, {800, 600}, {500, 300}};
  for (const auto& size : windows) {
    const PictureFit fit = FitPicture(size[0], size[1], 640, 480);
    int mismatches = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        int wx = 0, wy = 0, px = -1, py = -1;
        plat::PictureToWindow(fit, 640, 480, x, y, wx, wy);
        plat::WindowToPicture(fit, 640, 480, wx, wy, px, py);
        // Below 1 several pixels share a window point: the one read back is among them.
        const int slack = fit.scale >= 1.0 ? 0 : static_cast<int>(std::ceil(1.0 / fit.scale));
        if (std::abs(px - x) > slack || std::abs(py - y) > slack) ++mismatches;
        if (!plat::PointOnPicture(fit, wx, wy)) ++mismatches;
      }
    }
    EXPECT_EQ(mismatches, 0) << "window " << size[0] << " x " << size[1];
  }
}

TEST(PictureFit, ANewWindowIsTheLargestWholeMultipleThatFits) {
  // A bare 1280 x 1024 display: twice the size (1280 x 960 and a title bar fit).
  EXPECT_EQ(plat::WholeWindowScale(1280, 1024, 640, 480, 0, 48), 2);
  // Full HD less a panel of 40: twice.
  EXPECT_EQ(plat::WholeWindowScale(1920, 1040, 640, 480, 0, 48), 2);
  // 2560 x 1440 less a panel: three times would need 1440 rows and the title bar.
  EXPECT_EQ(plat::WholeWindowScale(2560, 1400, 640, 480, 0, 48), 2);
  EXPECT_EQ(plat::WholeWindowScale(3840, 2120, 640, 480, 0, 48), 4);
  // Smaller than the picture, or nothing known: still the picture's own size.
  EXPECT_EQ(plat::WholeWindowScale(800, 500, 640, 480, 0, 48), 1);
  EXPECT_EQ(plat::WholeWindowScale(0, 0, 640, 480, 0, 48), 1);
}

TEST(ExtensionLists, OnlyWholeNamesCount) {
  const char* list = "GL_ARB_fragment_program_shadow GL_ARB_vertex_program GL_EXT_x";
  EXPECT_TRUE(plat::ListsExtension(list, "GL_ARB_vertex_program"));     // in the middle
  EXPECT_TRUE(plat::ListsExtension(list, "GL_EXT_x"));                  // last, no space after it
  EXPECT_TRUE(plat::ListsExtension("GL_A", "GL_A"));                    // alone
  EXPECT_FALSE(plat::ListsExtension(list, "GL_ARB_fragment_program"));  // only a longer name has it
  EXPECT_FALSE(plat::ListsExtension(list, "ARB_vertex_program"));       // the end of a name
  EXPECT_FALSE(plat::ListsExtension(list, "GL_EXT"));
  EXPECT_TRUE(plat::ListsExtension("GL_B_x GL_B", "GL_B"));  // found after a longer name first
  EXPECT_FALSE(plat::ListsExtension(nullptr, "GL_A"));       // a GL that gives no list
  EXPECT_FALSE(plat::ListsExtension("", "GL_A"));
}

}  // namespace
