// What the window really shows when frames draw and show only what changed: the X server's screen is read
// back and compared with the same frame shown whole, at 1x straight into the window, at 2x and at the
// smoothed 2.25x of a 1920 x 1080 screen. Each case runs on a virtual X server of its own.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/gfx2d/DrawBackend.h"
#include "runtime/platform/Platform.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/GlLeakCheck.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::PrivateDisplay;
using testing_support::Shell;

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The screen as the X server holds it, read through Xlib (loaded at run time, as SDL loads it).
class ScreenReader {
 public:
  explicit ScreenReader(const std::string& display) {
    library_ = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!library_) return;
    open_ = reinterpret_cast<OpenDisplay>(dlsym(library_, "XOpenDisplay"));
    close_ = reinterpret_cast<CloseDisplay>(dlsym(library_, "XCloseDisplay"));
    root_ = reinterpret_cast<RootWindow>(dlsym(library_, "XDefaultRootWindow"));
    getImage_ = reinterpret_cast<GetImage>(dlsym(library_, "XGetImage"));
    destroyImage_ = reinterpret_cast<DestroyImage>(dlsym(library_, "XDestroyImage"));
    if (open_ && close_ && root_ && getImage_ && destroyImage_) display_ = open_(display.c_str());
  }
  ~ScreenReader() {
    if (display_) close_(display_);
  }
  ScreenReader(const ScreenReader&) = delete;
  ScreenReader& operator=(const ScreenReader&) = delete;

  bool Ready() const { return display_ != nullptr; }

  // 0x00RRGGBB of every pixel of the w x h rectangle at the screen's top-left corner, top row first.
  std::vector<uint32_t> Read(int w, int h) const {
    std::vector<uint32_t> out;
    // Xlib's image: width, height, xoffset, format, data, byte_order, bitmap_unit, bitmap_bit_order,
    // bitmap_pad, depth, bytes_per_line, bits_per_pixel (the start of its XImage, which never changed).
    struct ImageHead {
      int width, height, xoffset, format;
      char* data;
      int byteOrder, bitmapUnit, bitmapBitOrder, bitmapPad, depth, bytesPerLine, bitsPerPixel;
    };
    constexpr int kZPixmap = 2;
    void* image = getImage_(display_, root_(display_), 0, 0, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), ~0UL, kZPixmap);
    if (!image) return out;
    const auto* head = static_cast<const ImageHead*>(image);
    if (head->bitsPerPixel == 32 && head->byteOrder == 0) {  // 32-bit pixels, least significant byte first
      for (int y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const uint8_t*>(head->data + static_cast<ptrdiff_t>(y) * head->bytesPerLine);
        for (int x = 0; x < w; ++x)
          out.push_back(uint32_t{row[x * 4 + 2]} << 16 | uint32_t{row[x * 4 + 1]} << 8 | row[x * 4]);
      }
    }
    destroyImage_(image);
    return out;
  }

 private:
  using OpenDisplay = void* (*)(const char*);
  using CloseDisplay = int (*)(void*);
  using RootWindow = unsigned long (*)(void*);
  using GetImage = void* (*)(void*, unsigned long, int, int, unsigned, unsigned, unsigned long, int);
  using DestroyImage = int (*)(void*);
  void* library_ = nullptr;
  void* display_ = nullptr;
  OpenDisplay open_ = nullptr;
  CloseDisplay close_ = nullptr;
  RootWindow root_ = nullptr;
  GetImage getImage_ = nullptr;
  DestroyImage destroyImage_ = nullptr;
};

// Frame k: stripes of many colours with a square that moves a few pixels a frame over them, and a second
// one that moves the other way (two rectangles of change far apart).
void DrawFrame(DrawBackend& b, int k) {
  b.SetView(0, 0, 640, 480, 480);
  b.Clear();
  for (int i = 0; i < 40; ++i) {
    DrawState s;
    s.colour[0] = static_cast<float>(i % 5) / 4.0f;
    s.colour[1] = static_cast<float>(i % 7) / 6.0f;
    s.colour[2] = static_cast<float>(i % 3) / 2.0f;
    const float x = static_cast<float>(i * 16);
    const DrawVertex stripe[4] = {{x, 480, 0, 0}, {x + 16, 480, 0, 0}, {x + 16, 0, 0, 0}, {x, 0, 0, 0}};
    b.Draw(s, stripe, 4);
  }
  DrawState white;
  const auto square = [&](float x, float y) {
    const DrawVertex q[4] = {{x, y + 21, 0, 0}, {x + 21, y + 21, 0, 0}, {x + 21, y, 0, 0}, {x, y, 0, 0}};
    b.Draw(white, q, 4);
  };
  square(static_cast<float>(30 + 7 * k), static_cast<float>(100 + 3 * k));
  square(static_cast<float>(600 - 5 * k), static_cast<float>(420 - 9 * k));
}

struct Case {
  int screenW, screenH;
  bool fullScreen;
};

class WindowParts : public testing::TestWithParam<Case> {};

TEST_P(WindowParts, TheWindowShowsWhatAWholeFrameShows) {
  if (Shell("command -v Xvfb >/dev/null && echo yes") != "yes\n") GTEST_SKIP() << "needs Xvfb";
  const Case c = GetParam();
  PrivateDisplay display(c.screenW, c.screenH);
  ASSERT_FALSE(display.name().empty());
  ::setenv("DISPLAY", display.name().c_str(), 1);
  ::unsetenv("SDL_VIDEODRIVER");
  ::unsetenv("BRILLORA_WHOLE_FRAMES");
  auto platform = plat::CreateSdlPlatform();
  ASSERT_TRUE(platform->OpenWindow(640, 480, "parts test"));
  testing_support::KeepLibrariesLoaded();
  if (c.fullScreen) {
    ASSERT_TRUE(platform->SetFullScreen(true));
  }
  for (int i = 0; i < 10; ++i) {  // let the window be mapped and take its size
    platform->PumpEvents();
    SleepMs(20);
  }
  auto backend = CreateGlBackend(*platform);
  ASSERT_TRUE(backend);
  int partFrames = 0;
  for (int k = 0; k < 12; ++k) {
    DrawFrame(*backend, k);
    const plat::PictureChange change = backend->EndFrame(platform->KeepsPicture());
    platform->PresentChanged(change);
    if (!change.whole && !change.parts.empty()) ++partFrames;
    platform->PumpEvents();
  }
  if (!platform->KeepsPicture()) {
    GTEST_SKIP() << "this X server's GL shows no parts of a window";
  }
  EXPECT_GE(partFrames, 8);
  // The same frame again changes nothing and shows nothing.
  DrawFrame(*backend, 11);
  const plat::PictureChange same = backend->EndFrame(platform->KeepsPicture());
  EXPECT_FALSE(same.whole);
  EXPECT_TRUE(same.parts.empty());
  platform->PresentChanged(same);

  ScreenReader screen(display.name());
  ASSERT_TRUE(screen.Ready());
  SleepMs(100);
  const std::vector<uint32_t> shownInParts = screen.Read(c.screenW, c.screenH);
  ASSERT_EQ(shownInParts.size(), static_cast<size_t>(c.screenW) * c.screenH);
  // The last frame drawn whole and swapped into the window, as without part copies.
  DrawFrame(*backend, 11);
  backend->EndFrame(false);
  platform->Present();
  SleepMs(100);
  const std::vector<uint32_t> shownWhole = screen.Read(c.screenW, c.screenH);
  int differing = 0;
  for (size_t i = 0; i < shownWhole.size(); ++i) differing += shownInParts[i] != shownWhole[i];
  EXPECT_EQ(differing, 0);
  // And the picture is really on the screen: the moved square's colour and the stripes' colours.
  int white = 0;
  for (const uint32_t p : shownWhole) white += p == 0xFFFFFF;
  EXPECT_GE(white, 2 * 21 * 21);
  backend.reset();
  platform.reset();
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowParts,
                         testing::Values(Case{800, 600, false}, Case{1280, 1024, false},
                                         Case{1280, 1024, true}, Case{1920, 1080, true}),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::to_string(info.param.screenW) + "x" +
                                  std::to_string(info.param.screenH) +
                                  (info.param.fullScreen ? "FullScreen" : "Window");
                         });

}  // namespace
