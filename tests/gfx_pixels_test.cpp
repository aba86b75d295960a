// Pixel-exact drawing on a real OpenGL: each test runs the program with a window, draws, reads the
// picture back and compares pixels. Needs an X display (the test command provides a virtual one).
#include <GL/gl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/gfx2d/Primitives.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/platform/Platform.h"
#include "runtime/program/Runtime.h"
#include "tests/support/GlLeakCheck.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::KeepLibrariesLoaded;
using testing_support::TempDir;
using testing_support::WriteBmp24;

#define REQUIRE_DISPLAY()                                                 \
  do {                                                                    \
    const char* display = std::getenv("DISPLAY");                         \
    if (!display || !*display) GTEST_SKIP() << "no X display to draw on"; \
  } while (0)

std::function<void()>& Body() {
  static std::function<void()> body;
  return body;
}
void RunBody() {
  Body()();
}

// Windowed runs on one display take turns, also across test processes: a window that opens takes the
// focus from the others, and the runtime holds a program whose window lost the focus in its pause.
class DisplayTurn {
 public:
  DisplayTurn() {
    std::string name = "brillora-display-" + std::to_string(::getuid()) + "-";
    for (const char* c = std::getenv("DISPLAY"); c && *c; ++c) name += std::isalnum(*c) ? *c : '_';
    const std::string path = (std::filesystem::temp_directory_path() / (name + ".lock")).string();
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~DisplayTurn() {
    if (fd_ >= 0) ::close(fd_);
  }
  DisplayTurn(const DisplayTurn&) = delete;
  DisplayTurn& operator=(const DisplayTurn&) = delete;

 private:
  int fd_ = -1;
};

// Runs `body` as the game main of a windowed program whose folder is `dir`; the picture starts black.
void RunWithGl(const TempDir& dir, std::function<void()> body) {
  DisplayTurn turn;
  bool finished = false;
  Body() = [&body, &finished] {
    KeepLibrariesLoaded();
    body();
    finished = true;
    EndProgram();
  };
  const int status = RunProgram({"x", "--windowed", "--data", dir.path()}, "Brillora", RunBody);
  EXPECT_EQ(status, 0);
  // A program that ended early (closed window, failed start-up) must not pass for a drawing that worked.
  EXPECT_TRUE(finished);
}

// The picture as drawn so far.
struct Picture {
  std::vector<uint8_t> rgba;
  // 0x00RRGGBB of pixel (x, y), top row first.
  uint32_t At(int x, int y) const {
    const uint8_t* p = rgba.data() + (static_cast<size_t>(y) * 640 + x) * 4;
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  }
};

Picture Grab() {
  Picture p;
  Rt().renderer->FinishDrawing();
  EXPECT_TRUE(Rt().platform->ReadPicture(p.rgba));
  EXPECT_EQ(p.rgba.size(), 640u * 480u * 4u);
  return p;
}

// Compares the w x h region at (x0, y0) with `expected(x, y)`; reports the count and the first mismatch.
void ExpectRegion(const Picture& p, int x0, int y0, int w, int h,
                  const std::function<uint32_t(int, int)>& expected) {
  int wrong = 0;
  std::string first;
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      const uint32_t want = expected(x, y), got = p.At(x, y);
      if (want == got) continue;
      if (wrong++ == 0) {
        char text[96];
        std::snprintf(text, sizeof text, "(%d, %d) is %06X, expected %06X", x, y, got, want);
        first = text;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "first: " << first;
}

bool Inside(int x, int y, int left, int top, int w, int h) {
  return x >= left && x < left + w && y >= top && y < top + h;
}

// A colour unique to every pixel of a picture up to 64 x 32, never the sprite colour key.
uint32_t Tint(int x, int y) {
  return static_cast<uint32_t>(40 + x * 3) << 16 | static_cast<uint32_t>(20 + y * 7) << 8 | 90;
}

std::vector<uint32_t> PixelsOf(int w, int h, uint32_t (*colour)(int, int)) {
  std::vector<uint32_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rgb.push_back(colour(x, y));
  return rgb;
}

TEST(StripPixels, CellsLandOnWholePixelsOneTexelEach) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("strip.bmp"), 64, 32, PixelsOf(64, 32, Tint));
  RunWithGl(dir, [] {
    LoadAnimStrip("strip.bmp", 1, 16, 16);
    DrawAnimFrame(1, 0, 32, 48);
    DrawAnimFrame(1, 5, 100, 100);    // row 1, column 1
    DrawAnimFrame(1, -1, 200, 100);   // left of the picture: wraps onto column 3
    DrawAnimFrame(1, 2, 10.2, -0.7);  // raised to (11, 0)
    const Picture p = Grab();
    ExpectRegion(p, 31, 47, 18, 18,
                 [](int x, int y) { return Inside(x, y, 32, 48, 16, 16) ? Tint(x - 32, y - 48) : 0; });
    ExpectRegion(p, 99, 99, 18, 18, [](int x, int y) {
      return Inside(x, y, 100, 100, 16, 16) ? Tint(x - 100 + 16, y - 100 + 16) : 0;
    });
    ExpectRegion(p, 199, 99, 18, 18, [](int x, int y) {
      return Inside(x, y, 200, 100, 16, 16) ? Tint(x - 200 + 48, y - 100) : 0;
    });
    ExpectRegion(p, 9, 0, 19, 17,
                 [](int x, int y) { return Inside(x, y, 11, 0, 16, 16) ? Tint(x - 11 + 32, y) : 0; });
  });
}

uint32_t WideTint(int x, int y) {
  return static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y * 7) << 8 | 90;
}

TEST(StripPixels, FramesBeyondTheLastRowWrapOntoTheFirst) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("strip.bmp"), 192, 32, PixelsOf(192, 32, WideTint));
  RunWithGl(dir, [] {
    LoadAnimStrip("strip.bmp", 2, 32, 32);  // 6 frames per row in a 256 x 32 texture
    DrawAnimFrame(2, 6, 0, 0);
    DrawAnimFrame(2, 7, 40, 0);
    const Picture p = Grab();
    ExpectRegion(p, 0, 0, 80, 33, [](int x, int y) -> uint32_t {
      if (Inside(x, y, 0, 0, 32, 32)) return WideTint(x, y);             // frame 0
      if (Inside(x, y, 40, 0, 32, 32)) return WideTint(x - 40 + 32, y);  // frame 1
      return 0;
    });
  });
}

TEST(SpritePixels, AlphaThirteenIsDrawnAndTwelveIsNot) {
  REQUIRE_DISPLAY();
  TempDir dir;
  RunWithGl(dir, [] {
    RgbaImage img{4, 1, {200, 100, 50, 13, 200, 100, 50, 12, 200, 100, 50, 255, 200, 100, 50, 0}};
    ASSERT_TRUE(Rt().renderer->StoreImageInSlot(5, img));
    StretchSprite(5, 10, 10, 4, 1);
    const Picture p = Grab();
    EXPECT_EQ(p.At(10, 10), 0xC86432u);
    EXPECT_EQ(p.At(11, 10), 0u);
    EXPECT_EQ(p.At(12, 10), 0xC86432u);
    EXPECT_EQ(p.At(13, 10), 0u);
  });
}

// The suite runs twice: with the program the GL is given by default, and with BRILLORA_GLSL=1. Every
// pixel test holds for both forms of the program; this one holds that the choice is the one intended.
TEST(DrawingProgram, AssemblyWhereTheDesktopGlOffersItGlslWhenAskedFor) {
  REQUIRE_DISPLAY();
  TempDir dir;
  RunWithGl(dir, [] {
    const char* glsl = std::getenv("BRILLORA_GLSL");
    const bool asked = glsl && *glsl && *glsl != '0';
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const bool offered = plat::ListsExtension(extensions, "GL_ARB_vertex_program") &&
                         plat::ListsExtension(extensions, "GL_ARB_fragment_program");
    EXPECT_STREQ(Rt().renderer->backend->ProgramKind(), asked || !offered ? "glsl" : "assembly");
    // Untextured draws run the other fragment program of the pair: a fill and a sprite both land.
    RgbaImage img{1, 1, {10, 20, 30, 255}};
    ASSERT_TRUE(Rt().renderer->StoreImageInSlot(5, img));
    FillRect(0, 0, 2, 1, 0x405060);
    StretchSprite(5, 1, 0, 1, 1);
    FillRect(2, 0, 1, 1, 0x708090);
    const Picture p = Grab();
    EXPECT_EQ(p.At(0, 0), 0x605040u);  // fills take their colour as 0xBBGGRR
    EXPECT_EQ(p.At(1, 0), 0x0A141Eu);
    EXPECT_EQ(p.At(2, 0), 0x908070u);
  });
}

TEST(SpritePixels, TheColourKeyIsSeeThroughAndItsNeighbourIsNot) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("keyed.bmp"), 3, 1, {0xFF0080, 0xFF0081, 0x000000});
  RunWithGl(dir, [] {
    ASSERT_EQ(LoadSprite("keyed.bmp", 6), 1);
    FillRect(0, 0, 50, 50, 0x00FF00);  // green underneath
    StretchSprite(6, 10, 10, 3, 1);
    const Picture p = Grab();
    EXPECT_EQ(p.At(10, 10), 0x00FF00u);  // keyed: the green shows through
    EXPECT_EQ(p.At(11, 10), 0xFF0081u);
    EXPECT_EQ(p.At(12, 10), 0x000000u);  // black is opaque in a sprite
  });
}

// Texels of the bound texture's level 0, row 0 first, as 0xRRGGBBAA.
std::vector<uint32_t> ReadTexels(uint32_t name, int w, int h) {
  std::vector<uint8_t> raw(static_cast<size_t>(w) * h * 4);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
  std::vector<uint32_t> out;
  for (size_t i = 0; i < raw.size(); i += 4)
    out.push_back(uint32_t{raw[i]} << 24 | uint32_t{raw[i + 1]} << 16 | uint32_t{raw[i + 2]} << 8 |
                  raw[i + 3]);
  return out;
}

GLint TexParameter(GLenum which) {
  GLint v = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, which, &v);
  return v;
}

TEST(TexturePixels, UploadKeepsPlacementColourFillFiltersAndMipChain) {
  REQUIRE_DISPLAY();
  TempDir dir;
  // Keyed everywhere but a red pixel at (2, 2) and a blue one in the bottom-right corner.
  std::vector<uint32_t> rgb(64, 0xFF0080);
  rgb[2 * 8 + 2] = 0xFF0000;
  rgb[7 * 8 + 7] = 0x0000FF;
  WriteBmp24(dir.File("dots.bmp"), 8, 8, rgb);
  RunWithGl(dir, [] {
    ASSERT_EQ(LoadSprite("dots.bmp", 8), 1);
    const SpriteSlot& s = Rt().renderer->sprites[8];
    const std::vector<uint32_t> t = ReadTexels(s.texture, 8, 8);
    auto texel = [&](int row, int col) { return t[static_cast<size_t>(row) * 8 + col]; };
    EXPECT_EQ(texel(5, 2), 0xFF0000FFu);  // picture row 2 lands in texel row 8 - 1 - 2
    EXPECT_EQ(texel(0, 7), 0x0000FFFFu);  // the bottom row is texel row 0
    EXPECT_EQ(texel(4, 3), 0xFF000000u);  // transparent, filled with its neighbour's red
    EXPECT_EQ(texel(1, 6), 0x00000000u);  // its only opaque neighbour lies on the texture's border
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    // No mipmapped copy is made at load; the first request makes one from the texture, with the whole
    // chain down to 1 x 1, and the drawing keeps going to the picture.
    EXPECT_EQ(s.mipTexture, 0u);
    GLint pictureBefore = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &pictureBefore);
    const uint32_t mip = Rt().renderer->MipTextureOf(8);
    ASSERT_NE(mip, 0u);
    EXPECT_EQ(s.mipTexture, mip);
    EXPECT_EQ(Rt().renderer->MipTextureOf(8), mip);  // kept, not made again
    GLint pictureAfter = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &pictureAfter);
    EXPECT_EQ(pictureAfter, pictureBefore);
    EXPECT_EQ(ReadTexels(mip, 8, 8), t);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, 1);
    // Level 1 texel (row 2, column 1) averages texel rows 4-5, columns 2-3: the red pixel and three
    // transparent texels filled with red.
    std::vector<uint8_t> level1(4 * 4 * 4);
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level1.data());
    const uint8_t* avg = level1.data() + (2 * 4 + 1) * 4;
    EXPECT_EQ(avg[0], 255);
    EXPECT_EQ(avg[1], 0);
    EXPECT_EQ(avg[2], 0);
    EXPECT_NEAR(avg[3], 255 / 4.0, 1.0);

    // Fonts are crisp and never get a copy.
    const SpriteSlot& font = Rt().renderer->sprites[kFontSlotBase];
    EXPECT_EQ(Rt().renderer->MipTextureOf(kFontSlotBase), 0u);
    EXPECT_EQ(font.mipTexture, 0u);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);

    // A cell drawn at its natural size on whole pixels is sampled nearest; a stretched picture through
    // the smoothing filter while it is set (every view reset sets it again).
    auto drawnFilter = [&] {
      Rt().renderer->FinishDrawing();
      glBindTexture(GL_TEXTURE_2D, s.texture);
      return TexParameter(GL_TEXTURE_MAG_FILTER);
    };
    Rt().renderer->sprites[8].frameWidth = Rt().renderer->sprites[8].frameHeight = 4;
    DrawAnimFrame(8, 0, 0, 0);
    EXPECT_EQ(drawnFilter(), GL_NEAREST);
    StretchSprite(8, 0, 0, 16, 16);
    EXPECT_EQ(drawnFilter(), GL_LINEAR);
    StretchSprite(8, 0, 0, -8, 8);  // mirrored at its natural size: still one texel per pixel
    EXPECT_EQ(drawnFilter(), GL_NEAREST);
    Rt().renderer->smoothing = false;
    StretchSprite(8, 0, 0, 16, 16);
    EXPECT_EQ(drawnFilter(), GL_NEAREST);
    Rt().renderer->ResetView2D(0, 0, 0, 0);
    StretchSprite(8, 0, 0, 16, 16);
    EXPECT_EQ(drawnFilter(), GL_LINEAR);

    // A new picture in the slot drops the copy of the old one; asking for a copy by selecting the slot
    // makes one again.
    ASSERT_EQ(LoadSprite("dots.bmp", 8), 1);
    EXPECT_EQ(Rt().renderer->sprites[8].mipTexture, 0u);
    Rt().renderer->SelectSlot(8, -1, true);
    EXPECT_NE(Rt().renderer->sprites[8].mipTexture, 0u);
    Rt().renderer->SelectSlot(-1, -1, false);
  });
}

uint32_t BackTint(int x, int y) {
  return static_cast<uint32_t>(x & 255) << 16 | static_cast<uint32_t>(y & 255) << 8 |
         static_cast<uint32_t>((x >> 8) << 6 | (y >> 8) << 5 | 3);
}

TEST(BackgroundPixels, ScreenSizedPictureIsDrawnExactlyFromTwoTiles) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("back.bmp"), 640, 480, PixelsOf(640, 480, BackTint));
  RunWithGl(dir, [] {
    LoadBackground("back.bmp");
    const BackgroundSet& b = Rt().renderer->backgrounds[0];
    EXPECT_EQ(b.columns, 2);
    EXPECT_EQ(b.rows, 1);
    ExpectRegion(Grab(), 0, 0, 640, 480, BackTint);  // shown at once
    ShowFrame();
    ExpectRegion(Grab(), 0, 0, 640, 480, BackTint);  // and under every following frame
    ClearBackBuffer();
    ShowFrame();
    ExpectRegion(Grab(), 0, 0, 640, 480, [](int, int) { return 0u; });
    LoadBackground("back.bmp");
    LoadBackground("missing.bmp");  // a black screen, not the old picture
    ExpectRegion(Grab(), 0, 0, 640, 480, [](int, int) { return 0u; });
    ShowFrame();
    ExpectRegion(Grab(), 0, 0, 640, 480, [](int, int) { return 0u; });
  });
}

// The letter A of the built-in font: pattern rows top first, pattern column c is bit (r * 5 + c).
uint32_t BuiltinA(int cx, int cy) {
  constexpr uint32_t kA = 0x00A5394E;
  auto set = [](int c, int r) { return c >= 0 && c < 5 && r >= 0 && r < 6 && ((kA >> (r * 5 + c)) & 1); };
  if (cx == 7) return 0;
  const int c = cx - 1, r = cy - 1;
  if (set(c, r)) return 0xFFFFFF;
  if (set(c - 1, r) || set(c + 1, r) || set(c, r - 1) || set(c, r + 1)) return 0x080808;
  return 0;
}

TEST(TextPixels, BuiltInFontAtAFractionalPosition) {
  REQUIRE_DISPLAY();
  TempDir dir;  // no smalfont.bmp: font 0 is the built-in one
  RunWithGl(dir, [] {
    PrintText("AA", 10.5, 20);
    ExpectRegion(Grab(), 6, 16, 26, 16, [](int x, int y) -> uint32_t {
      if (!Inside(x, y, 11, 20, 16, 8)) return 0;  // columns 11 to 26
      return BuiltinA((x - 11) % 8, y - 20);
    });
  });
}

uint32_t FontCellTint(int x, int y) {
  return static_cast<uint32_t>(100 + x) << 16 | static_cast<uint32_t>(100 + y) << 8 | 7;
}

TEST(TextPixels, WideFontImageMapsHighBytesOntoItsHundredAndTwentyEightCodes) {
  REQUIRE_DISPLAY();
  TempDir dir;
  // A 256 x 128 font: black (keyed away) except the cell of code 65 (column 1, row 4).
  std::vector<uint32_t> rgb(256 * 128, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) rgb[static_cast<size_t>(64 + y) * 256 + 16 + x] = FontCellTint(x, y);
  WriteBmp24(dir.File("font.bmp"), 256, 128, rgb);
  RunWithGl(dir, [] {
    FillRect(290, 190, 60, 40, 0x0000FF);  // red shows wherever the font is transparent
    LoadFont("font.bmp", 1);
    PrintText("\xC1\x01", 300, 200);  // 193 mod 128 = 65
    ExpectRegion(Grab(), 290, 190, 60, 40, [](int x, int y) {
      return Inside(x, y, 300, 200, 16, 16) ? FontCellTint(x - 300, y - 200) : 0xFF0000u;
    });
  });
}

uint32_t SmallTint(int x, int y) {
  return static_cast<uint32_t>(60 + 40 * x) << 16 | static_cast<uint32_t>(90 + 100 * y) << 8 | 33;
}

TEST(SpritePixels, StretchMirrorsAndScalesToExactRectangles) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("small.bmp"), 4, 2, PixelsOf(4, 2, SmallTint));
  WriteBmp24(dir.File("letter.bmp"), 32, 32, std::vector<uint32_t>(32 * 32, 0xC8C8C8));
  RunWithGl(dir, [] {
    LoadSprite("small.bmp", 10);
    LoadSprite("letter.bmp", 11);
    StretchSprite(10, 100, 50, -4, 2);   // mirrored left to right, left of x
    StretchSprite(10, 200, 50, -4, -2);  // half a turn
    StretchSprite(10, 300, 50, 4, 2);
    StretchSprite(11, 400, 100, 22, 20);
    const Picture p = Grab();
    ExpectRegion(p, 95, 49, 6, 4, [](int x, int y) {
      return Inside(x, y, 96, 50, 4, 2) ? SmallTint(3 - (x - 96), y - 50) : 0;
    });
    ExpectRegion(p, 195, 47, 6, 4, [](int x, int y) {
      return Inside(x, y, 196, 48, 4, 2) ? SmallTint(3 - (x - 196), 1 - (y - 48)) : 0;
    });
    ExpectRegion(p, 299, 49, 6, 4,
                 [](int x, int y) { return Inside(x, y, 300, 50, 4, 2) ? SmallTint(x - 300, y - 50) : 0; });
    int lit = 0;
    for (int y = 90; y < 130; ++y)
      for (int x = 390; x < 430; ++x)
        if (p.At(x, y) != 0) {
          ++lit;
          EXPECT_TRUE(Inside(x, y, 400, 100, 22, 20)) << x << "," << y;
        }
    EXPECT_EQ(lit, 22 * 20);
  });
}

// Pixels of the region that are not black.
int LitPixels(const Picture& p, int x0, int y0, int w, int h) {
  int lit = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) lit += p.At(x, y) != 0;
  return lit;
}

TEST(SpritePixels, ScaledTurnedAndStretchedFramesCoverTheirRectangles) {
  REQUIRE_DISPLAY();
  TempDir dir;
  // Left half red, right half blue.
  WriteBmp24(dir.File("halves.bmp"), 4, 2,
             {0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF});
  RunWithGl(dir, [] {
    LoadAnimStrip("halves.bmp", 12, 2, 2);
    DrawSpriteScaled(12, 100, 100, 2, 2);  // 8 x 4 about the centre of (100, 100, 4, 2)
    DrawSpriteRotated(12, 200, 100, 90);   // a quarter turn counter-clockwise about (202, 101)
    DrawFrameStretched(12, 1, 300, 100, 6, 3);
    DrawFrameRotated(12, 1, 400, 100, 0, 2);  // 4 x 4 about (401, 101)
    const Picture p = Grab();
    EXPECT_EQ(LitPixels(p, 90, 90, 30, 20), 32);
    EXPECT_EQ(LitPixels(p, 98, 99, 8, 4), 32);
    // Magnified through the linear filter the edges blend a little; the halves keep their sides.
    EXPECT_GT(p.At(98, 99) >> 16, p.At(98, 99) & 0xFF);
    EXPECT_GT(p.At(105, 102) & 0xFF, p.At(105, 102) >> 16);
    EXPECT_EQ(LitPixels(p, 190, 90, 30, 20), 8);
    EXPECT_EQ(LitPixels(p, 201, 99, 2, 4), 8);
    // The picture's right (blue) side now points up.
    EXPECT_GT(p.At(201, 99) & 0xFF, p.At(201, 99) >> 16);
    EXPECT_GT(p.At(201, 102) >> 16, p.At(201, 102) & 0xFF);
    EXPECT_EQ(LitPixels(p, 290, 90, 30, 20), 18);
    EXPECT_EQ(LitPixels(p, 300, 100, 6, 3), 18);
    EXPECT_EQ(p.At(303, 101), 0x0000FFu);  // frame 1 is the blue half
    EXPECT_EQ(LitPixels(p, 390, 90, 30, 20), 16);
    EXPECT_EQ(LitPixels(p, 399, 99, 4, 4), 16);
  });
}

TEST(PrimitivePixels, PixelsLinesAndRectanglesCoverTheirPixels) {
  REQUIRE_DISPLAY();
  TempDir dir;
  RunWithGl(dir, [] {
    FillRect(50, 60, -10, -5, 0x0000FF);  // extends left and up: 40..49 x 55..59
    DrawPixel(5, 5, 0xFFFFFF);
    DrawLine(0, 100, 9, 100, 0x00FF00);  // both ends drawn
    const Picture p = Grab();
    ExpectRegion(p, 38, 53, 14, 9, [](int x, int y) { return Inside(x, y, 40, 55, 10, 5) ? 0xFF0000u : 0u; });
    ExpectRegion(p, 3, 3, 5, 5, [](int x, int y) { return x == 5 && y == 5 ? 0xFFFFFFu : 0u; });
    ExpectRegion(p, 0, 99, 12, 3, [](int x, int y) { return y == 100 && x <= 9 ? 0x00FF00u : 0u; });
  });
}

// Draws of one texture in a row go out together; a change of texture or state starts the next call, and
// the picture still shows every draw in the order it was made.
TEST(BatchedDrawing, OneCallPerRunOfEqualStateAndDrawingOrderKept) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("red.bmp"), 16, 16, std::vector<uint32_t>(256, 0xFF0000));
  WriteBmp24(dir.File("blue.bmp"), 16, 16, std::vector<uint32_t>(256, 0x0000FF));
  RunWithGl(dir, [] {
    LoadAnimStrip("red.bmp", 1, 16, 16);
    LoadAnimStrip("blue.bmp", 2, 16, 16);
    DrawBackend& b = *Rt().renderer->backend;
    b.Flush();
    const DrawStats before = b.Stats();
    for (int i = 0; i < 40; ++i) DrawAnimFrame(1, 0, i * 16, 0);  // one run of red cells
    DrawAnimFrame(2, 0, 8, 0);                                    // blue over the first two
    DrawAnimFrame(1, 0, 16, 0);                                   // red again over part of the blue
    FillRect(100, 100, 4, 4, 0x00FF00);                           // another kind of draw
    FillRect(110, 100, 4, 4, 0x00FF00);
    const Picture p = Grab();
    const DrawStats after = b.Stats();
    EXPECT_EQ(after.drawCalls - before.drawCalls, 4);
    EXPECT_EQ(after.vertices - before.vertices, 4 * 44);
    ExpectRegion(p, 0, 0, 40, 17, [](int x, int y) -> uint32_t {
      if (y == 16) return 0;
      return x >= 8 && x < 16 ? 0x0000FFu : 0xFF0000u;
    });
    EXPECT_EQ(p.At(101, 101), 0x00FF00u);
    EXPECT_EQ(p.At(111, 101), 0x00FF00u);
    EXPECT_EQ(p.At(106, 101), 0u);
    // A texture keeps the filter it was last drawn with: the next frame's cells change nothing.
    ShowFrame();
    for (int i = 0; i < 40; ++i) DrawAnimFrame(1, 0, i * 16, 0);
    b.Flush();
    EXPECT_EQ(b.Stats().filterChanges, after.filterChanges);
  });
}

// Full screen shows the picture scaled through the off-screen picture, a 640 x 480 window draws straight
// into the window; a switch in the middle of a frame keeps what was drawn before it.
TEST(WindowTargets, SwitchingToFullScreenMidFrameKeepsTheFrame) {
  REQUIRE_DISPLAY();
  TempDir dir;
  RunWithGl(dir, [] {
    FillRect(10, 10, 5, 5, 0x0000FF);
    ASSERT_TRUE(Rt().platform->SetFullScreen(true));
    FillRect(20, 10, 5, 5, 0x00FF00);
    Picture p = Grab();
    EXPECT_EQ(p.At(12, 12), 0xFF0000u);
    EXPECT_EQ(p.At(22, 12), 0x00FF00u);
    EXPECT_EQ(p.At(17, 12), 0u);
    ShowFrame();
    FillRect(30, 30, 2, 2, 0xFFFFFF);
    p = Grab();
    EXPECT_EQ(p.At(12, 12), 0u);  // a new frame starts black
    EXPECT_EQ(p.At(31, 31), 0xFFFFFFu);
    ASSERT_TRUE(Rt().platform->SetFullScreen(false));
    ShowFrame();
    ShowFrame();
    FillRect(40, 40, 2, 2, 0x00FF00);
    p = Grab();
    EXPECT_EQ(p.At(41, 41), 0x00FF00u);
    EXPECT_EQ(p.At(31, 31), 0u);
  });
}

// Ends the frame as the frame loop does (drawing only what changed where the target keeps the picture)
// and reads the whole picture back without drawing anything more; the next frame starts black.
Picture EndFrameAndRead(bool kept) {
  Picture p;
  Rt().renderer->EndFrame(kept);
  EXPECT_TRUE(Rt().platform->ReadPicture(p.rgba));
  Rt().renderer->ClearBuffers();
  return p;
}

// A scene of sprites over a filled screen, with the moving sprite at (mx, my) and a cell of `frame`.
void DrawScene(int mx, int my, int frame) {
  FillRect(0, 0, 640, 480, 0x203040);
  for (int i = 0; i < 20; ++i) DrawAnimFrame(1, i % 4, 20 + i * 30, 200);
  DrawAnimFrame(2, frame, 300, 100);
  DrawAnimFrame(1, 2, mx, my);
  FillRect(mx + 4, my + 4, 3, 3, 0xFFFFFF);
}

// A frame drawn only where it differs from the frame before gives the very picture a frame drawn in full
// gives, and a frame equal to the one before draws nothing at all.
TEST(ChangedParts, PartlyDrawnFramesEqualWholeOnesPixelForPixel) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("tint.bmp"), 32, 32, PixelsOf(32, 32, Tint));
  WriteBmp24(dir.File("box.bmp"), 24, 16, [] {
    std::vector<uint32_t> px;
    for (int i = 0; i < 24 * 16; ++i) px.push_back(i % 24 < 12 ? 0xC08020u : 0x2080C0u);
    return px;
  }());
  RunWithGl(dir, [] {
    LoadAnimStrip("tint.bmp", 1, 16, 16);
    LoadAnimStrip("box.bmp", 2, 12, 16);
    ShowFrame();
    ShowFrame();  // textures were made: the frames after them are drawn in full
    if (!Rt().platform->KeepsPicture()) GTEST_SKIP() << "this GL shows no parts of the window";
    DrawBackend& b = *Rt().renderer->backend;
    DrawScene(40, 40, 0);
    EndFrameAndRead(true);
    const DrawStats before = b.Stats();
    // The sprite moves by a few pixels and the box shows its other cell.
    DrawScene(47, 43, 1);
    const Picture part = EndFrameAndRead(true);
    const DrawStats after = b.Stats();
    EXPECT_EQ(after.partFrames - before.partFrames, 1);
    EXPECT_EQ(after.wholeFrames, before.wholeFrames);
    DrawScene(47, 43, 1);
    const Picture equal = EndFrameAndRead(true);
    EXPECT_EQ(b.Stats().equalFrames - after.equalFrames, 1);
    EXPECT_EQ(b.Stats().drawCalls, after.drawCalls);  // nothing was sent
    DrawScene(47, 43, 1);
    const Picture whole = EndFrameAndRead(false);
    EXPECT_EQ(b.Stats().wholeFrames - after.wholeFrames, 1);
    ASSERT_EQ(part.rgba.size(), whole.rgba.size());
    EXPECT_TRUE(part.rgba == whole.rgba);
    EXPECT_TRUE(equal.rgba == whole.rgba);
    // Where the sprite was is the fill again; where it is now shows it.
    EXPECT_EQ(part.At(41, 41), part.At(30, 30));
    EXPECT_NE(part.At(41, 41), 0u);
    EXPECT_EQ(part.At(47, 43), Tint(0, 16));  // cell 2 is the strip's second row
    EXPECT_EQ(part.At(52, 48), 0xFFFFFFu);
    EXPECT_EQ(part.At(300, 100), 0x2080C0u);
  });
}

// A sprite slot loaded again may get back the texture name it had, with other texels: the frames around
// it are not compared with the frame before, even when a draw's vertices and state stay byte for byte.
TEST(ChangedParts, ATextureMadeAgainUnderTheSameNameIsDrawnAfresh) {
  REQUIRE_DISPLAY();
  TempDir dir;
  WriteBmp24(dir.File("red.bmp"), 16, 16, std::vector<uint32_t>(256, 0xFF0000));
  WriteBmp24(dir.File("blue.bmp"), 16, 16, std::vector<uint32_t>(256, 0x0000FF));
  RunWithGl(dir, [] {
    LoadAnimStrip("red.bmp", 1, 16, 16);
    ShowFrame();
    ShowFrame();
    if (!Rt().platform->KeepsPicture()) GTEST_SKIP() << "this GL shows no parts of the window";
    DrawAnimFrame(1, 0, 100, 100);
    EXPECT_EQ(EndFrameAndRead(true).At(105, 105), 0xFF0000u);
    // Drawn red, then the slot is loaded again in the same frame: the next frame's draw is the same.
    DrawAnimFrame(1, 0, 100, 100);
    LoadAnimStrip("blue.bmp", 1, 16, 16);
    EXPECT_EQ(EndFrameAndRead(true).At(105, 105), 0xFF0000u);
    DrawAnimFrame(1, 0, 100, 100);
    EXPECT_EQ(EndFrameAndRead(true).At(105, 105), 0x0000FFu);
    DrawAnimFrame(1, 0, 100, 100);
    EXPECT_EQ(EndFrameAndRead(true).At(105, 105), 0x0000FFu);
  });
}

}  // namespace
