// Sprite slots, strips, fonts and background sets as the runtime records them, run headless: every load
// decodes and records its sizes exactly as with a window; only the GL work is left out.
#include "runtime/gfx2d/Sprites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/BuiltinFont.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/gfx2d/SpriteDraw.h"
#include "runtime/gfx2d/TextureStaging.h"
#include "runtime/program/Runtime.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteBmp24;

std::function<void()>& Body() {
  static std::function<void()> body;
  return body;
}
void RunBody() {
  Body()();
}

// Runs `body` as the game main of a headless program whose folder is `dir`.
void RunHeadlessIn(const TempDir& dir, std::function<void()> body) {
  Body() = [&body] {
    body();
    EndProgram();
  };
  const int status = RunProgram({"x", "--headless", "--data", dir.path()}, "Brillora", RunBody);
  EXPECT_EQ(status, 0);
}

void WritePlain(const TempDir& dir, const std::string& name, int w, int h) {
  WriteBmp24(dir.File(name), w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0x336699));
}

const SpriteSlot& Slot(int n) {
  return Rt().renderer->sprites[n];
}

TEST(SpriteSlots, LoadsRecordTextureAndPictureSizes) {
  TempDir dir;
  WritePlain(dir, "one.bmp", 1, 1);
  WritePlain(dir, "wide.bmp", 100, 50);
  WritePlain(dir, "strip.bmp", 64, 32);
  RunHeadlessIn(dir, [] {
    EXPECT_EQ(LoadSprite("one.bmp", 3), 1);
    EXPECT_EQ(Slot(3).texWidth, 2);  // a 1-pixel picture still gets a 2 x 2 texture
    EXPECT_EQ(Slot(3).texHeight, 2);
    EXPECT_EQ(Slot(3).imageWidth, 1);
    EXPECT_EQ(LoadSprite("wide.bmp", 4.9), 1);  // slot numbers are truncated
    EXPECT_EQ(Slot(4).texWidth, 128);
    EXPECT_EQ(Slot(4).texHeight, 64);
    EXPECT_EQ(Slot(4).imageWidth, 100);
    EXPECT_EQ(Slot(4).imageHeight, 50);
    EXPECT_EQ(Slot(4).frameWidth, 0);
    LoadAnimStrip("strip.bmp", 7, 16.8, 16.2);
    EXPECT_EQ(Slot(7).texWidth, 64);
    EXPECT_EQ(Slot(7).texHeight, 32);
    EXPECT_EQ(Slot(7).frameWidth, 16);
    EXPECT_EQ(Slot(7).frameHeight, 16);
  });
}

TEST(SpriteSlots, FailedLoadsEmptyTheSlotButKeepTheFrameSize) {
  TempDir dir;
  WritePlain(dir, "strip.bmp", 64, 32);
  testing_support::WriteText(dir.File("broken.bmp"), "BM not really a picture");
  RunHeadlessIn(dir, [] {
    LoadAnimStrip("strip.bmp", 9, 16, 16);
    LoadAnimStrip("missing.png", 9, 32, 32);
    EXPECT_EQ(Slot(9).texWidth, -1);
    EXPECT_EQ(Slot(9).imageWidth, 0);
    EXPECT_EQ(Slot(9).frameWidth, 16);  // the failed load does not take the new size
    EXPECT_EQ(Slot(9).frameHeight, 16);
    DrawAnimFrame(9, 3, 10, 10);  // an empty slot that kept its frame size draws nothing, safely
    LoadAnimStrip("strip.bmp", 9, 32, 16);
    EXPECT_EQ(Slot(9).frameWidth, 32);
    EXPECT_EQ(LoadSprite("broken.bmp", 9), 0);
    EXPECT_EQ(Slot(9).imageWidth, 0);
    EXPECT_EQ(Slot(9).frameWidth, 32);
    EXPECT_EQ(LoadSprite("strip.bmp", 9), 1);
    EXPECT_EQ(LoadSprite("", 9), 0);  // how the game releases its sprites
    EXPECT_EQ(Slot(9).texWidth, -1);
    EXPECT_EQ(Slot(9).imageHeight, 0);
  });
}

TEST(SpriteSlots, SlotNumbersOutsideTheTableAreRefused) {
  TempDir dir;
  WritePlain(dir, "a.bmp", 4, 4);
  RunHeadlessIn(dir, [] {
    EXPECT_EQ(LoadSprite("a.bmp", 65536), 0);
    EXPECT_EQ(LoadSprite("a.bmp", -1), 0);
    EXPECT_EQ(LoadSprite("a.bmp", 1e300), 0);
    EXPECT_EQ(LoadSprite("a.bmp", std::nan("")), 1);  // NaN reads as slot 0
    EXPECT_EQ(Slot(0).imageWidth, 4);
    LoadAnimStrip("a.bmp", 70000, 2, 2);
    DrawAnimFrame(70000, 0, 0, 0);
    DrawAnimFrame(-5, 0, 0, 0);
    StretchSprite(65536, 0, 0, 4, 4);
    EXPECT_EQ(LoadSprite("a.bmp", 65535), 1);  // the last slot is a real one
  });
}

TEST(StripCells, FramesPickTheirCellAndWrapPastTheLastRow) {
  SpriteSlot strip;  // 64 x 32 picture of 16 x 16 cells, 4 per row
  strip.texWidth = 64;
  strip.texHeight = 32;
  strip.imageWidth = 64;
  strip.imageHeight = 32;
  strip.frameWidth = 16;
  strip.frameHeight = 16;
  CellCoords c;
  ASSERT_TRUE(FrameCell(strip, 5, c));  // row 1, column 1
  EXPECT_FLOAT_EQ(c.uLeft, 0.25f);
  EXPECT_FLOAT_EQ(c.uRight, 0.5f);
  EXPECT_FLOAT_EQ(c.vBottom, 0.0f);
  EXPECT_FLOAT_EQ(c.vTop, 0.5f);
  ASSERT_TRUE(FrameCell(strip, -1, c));  // row 0, column -1: left of the picture
  EXPECT_FLOAT_EQ(c.uLeft, -0.25f);
  EXPECT_FLOAT_EQ(c.vBottom, 0.5f);
  ASSERT_TRUE(FrameCell(strip, 9, c));  // row 2 lies below the picture
  EXPECT_FLOAT_EQ(c.vBottom, -0.5f);
  EXPECT_FLOAT_EQ(c.vTop, 0.0f);

  strip.frameWidth = 65;  // wider than the picture: no cells at all
  EXPECT_FALSE(FrameCell(strip, 0, c));
  strip.frameWidth = 0;
  EXPECT_FALSE(FrameCell(strip, 0, c));
  strip.frameWidth = -16;
  EXPECT_FALSE(FrameCell(strip, 0, c));
  SpriteSlot empty;  // emptied by a failed reload, frame size kept
  empty.frameWidth = empty.frameHeight = 16;
  EXPECT_FALSE(FrameCell(empty, 3, c));
}

TEST(Fonts, SelectionIsClampedAndAMissingFileGivesTheBuiltInFont) {
  TempDir dir;
  RunHeadlessIn(dir, [] {
    const SpriteSlot& font0 = Slot(kFontSlotBase);
    EXPECT_EQ(font0.texWidth, 128);  // start-up found no smalfont.bmp
    EXPECT_EQ(font0.texHeight, 64);
    EXPECT_EQ(font0.imageWidth, 128);
    EXPECT_EQ(font0.imageHeight, 64);
    SetFont(40);
    EXPECT_EQ(Rt().currentFont, 31);
    SetFont(-3);
    EXPECT_EQ(Rt().currentFont, 0);
    SetFont(2.9);
    EXPECT_EQ(Rt().currentFont, 2);
    LoadFont("nowhere.png", 5.7);
    EXPECT_EQ(Rt().currentFont, 5);  // loading selects
    EXPECT_EQ(Slot(kFontSlotBase + 5).imageWidth, 128);
    EXPECT_EQ(Slot(kFontSlotBase + 5).imageHeight, 64);
    double w = 0, h = 0;
    GetFontSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
    LoadFont("", 99);
    EXPECT_EQ(Rt().currentFont, 31);
    EXPECT_EQ(Slot(kFontSlotBase + 31).texWidth, 128);
    SetFont(12);  // never loaded: cells of size 0
    GetFontSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    PrintText("nothing to see", 0, 0);
  });
}

TEST(Fonts, GridFollowsThePictureShape) {
  TempDir dir;
  WritePlain(dir, "wide.bmp", 256, 128);
  WritePlain(dir, "tall.bmp", 128, 256);
  WritePlain(dir, "odd.bmp", 100, 64);
  RunHeadlessIn(dir, [] {
    double w = 0, h = 0;
    LoadFont("wide.bmp", 1);
    GetFontSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    LoadFont("tall.bmp", 2);
    GetFontSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 16);
    LoadFont("odd.bmp", 3);
    GetFontSize(w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 8);
    SetFont(1);
    GetFontSize(w, h);
    EXPECT_EQ(w, 16);
  });
}

TEST(Fonts, TextGoesThroughTheBatchWhichOnlyGrows) {
  TempDir dir;
  RunHeadlessIn(dir, [] {
    Renderer2D& r = *Rt().renderer;
    PrintText("Hi", 0, 0);
    EXPECT_EQ(r.batchCount, 8);
    EXPECT_EQ(r.batch.size(), 512u);
    PrintText(std::string(200, 'x'), 0, 0);
    EXPECT_EQ(r.batchCount, 800);
    EXPECT_EQ(r.batch.size(), 896u);  // 128 * (800 / 128 + 1)
    PrintText("", 0, 0);
    EXPECT_EQ(r.batchCount, 800);  // an empty text draws nothing at all
    PrintText("ab", 10.5, 20);
    EXPECT_EQ(r.batch.size(), 896u);
    const BatchVertex& first = r.batch[0];
    EXPECT_EQ(first.x, 11);  // positions are raised to whole pixels
    EXPECT_EQ(first.y, 28);
    EXPECT_EQ(r.batch[7].x, 19);  // second character's top-left corner
    EXPECT_EQ(r.batch[5].x, 27);
  });
}

TEST(DrawRecording, HeadlessRunsBuildNoTexturesAndRecordDrawsAsAsked) {
  TempDir dir;
  WritePlain(dir, "strip.bmp", 64, 32);
  RunHeadlessIn(dir, [] {
    Renderer2D& r = *Rt().renderer;
    EXPECT_FALSE(r.drawing);
    LoadAnimStrip("strip.bmp", 1, 16, 16);
    EXPECT_EQ(Slot(1).texture, 0u);  // sizes recorded, no texture made
    EXPECT_EQ(Slot(1).mipTexture, 0u);
    EXPECT_EQ(Slot(1).texWidth, 64);
    std::vector<DrawRecord> seen;
    r.recorder = [&](const DrawRecord& d) { seen.push_back(d); };
    DrawAnimFrame(1, 5.7, 10.5, 20);
    StretchSprite(1, 1, 2, -3, 4.5);
    PrintText("Hi", 7, 8);
    PrintText("", 7, 8);             // nothing to draw, nothing recorded
    DrawAnimFrame(400000, 0, 0, 0);  // a slot outside the table is still what was asked
    r.recorder = nullptr;
    DrawAnimFrame(1, 0, 0, 0);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].kind, DrawRecord::Kind::kCell);
    EXPECT_EQ(seen[0].slot, 1);
    EXPECT_EQ(seen[0].frame, 5);
    EXPECT_EQ(seen[0].x, 10.5);
    EXPECT_EQ(seen[1].kind, DrawRecord::Kind::kStretch);
    EXPECT_EQ(seen[1].width, -3);
    EXPECT_EQ(seen[1].height, 4.5);
    EXPECT_EQ(seen[2].kind, DrawRecord::Kind::kText);
    EXPECT_EQ(seen[2].slot, kFontSlotBase);
    EXPECT_EQ(seen[2].text, "Hi");
    EXPECT_EQ(seen[3].slot, 400000);
  });
}

TEST(Backgrounds, PicturesAreCutIntoTilesOfAtMost512) {
  TempDir dir;
  WritePlain(dir, "back.bmp", 640, 480);
  WritePlain(dir, "tall.bmp", 100, 1100);
  RunHeadlessIn(dir, [] {
    const BackgroundSet& b = Rt().renderer->backgrounds[0];
    LoadBackground("back.bmp");
    EXPECT_EQ(b.columns, 2);
    EXPECT_EQ(b.rows, 1);
    EXPECT_EQ(b.tileTexWidth[1][0], 512);
    EXPECT_EQ(b.tileHeight[0][0], 512);
    LoadBackground("tall.bmp");
    EXPECT_EQ(b.columns, 1);
    EXPECT_EQ(b.rows, 3);
    LoadBackground("missing.bmp");  // removes the old background
    EXPECT_EQ(b.columns, 0);
    LoadBackground("back.bmp");
    ClearBackBuffer();
    EXPECT_EQ(b.rows, 0);
  });
}

TEST(BuiltinFont, GlyphsAreWhiteWithADarkOutlineAndAClearLastColumn) {
  const RgbaImage img = MakeBuiltinFontImage();
  ASSERT_EQ(img.width, 128);
  ASSERT_EQ(img.height, 64);
  auto at = [&](int x, int y) {
    const uint8_t* p = img.pixels.data() + (static_cast<size_t>(y) * 128 + x) * 4;
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  };
  EXPECT_EQ(BuiltinGlyphPattern('A'), 0x00A5394Eu);
  EXPECT_EQ(BuiltinGlyphPattern('0'), 0x00E5294Eu);
  EXPECT_EQ(BuiltinGlyphPattern(' '), 0u);
  EXPECT_EQ(BuiltinGlyphPattern(31), 0u);
  // 'A' (65) sits in cell column 1, cell row 4: its top bar is ".###." at cell row 1.
  const int ax = 8, ay = 32;
  EXPECT_EQ(at(ax + 1, ay + 1), 0x080808FFu);  // outline left of the bar
  EXPECT_EQ(at(ax + 2, ay + 1), 0xFFFFFFFFu);
  EXPECT_EQ(at(ax + 4, ay + 1), 0xFFFFFFFFu);
  EXPECT_EQ(at(ax + 3, ay + 2), 0x080808FFu);  // the hole between the legs
  EXPECT_EQ(at(ax + 1, ay + 0), 0x00000000u);  // diagonal neighbours get no outline
  EXPECT_EQ(at(ax + 2, ay + 0), 0x080808FFu);
  // Every glyph's outline stays out of cell column 7, and codes below 32 are blank.
  for (int y = 0; y < 64; ++y)
    for (int cell = 0; cell < 16; ++cell) EXPECT_EQ(at(cell * 8 + 7, y), 0u);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 128; ++x) EXPECT_EQ(at(x, y), 0u);
  // Every printable code from '!' on draws something.
  for (int code = 33; code < 128; ++code) EXPECT_NE(BuiltinGlyphPattern(code), 0u) << code;
}

TEST(SpriteTable, SlotsComeIntoBeingEmptyAPageAtATime) {
  Renderer2D r;
  // Reading a slot that was never used gives an empty slot and uses no memory.
  const SpriteSlot& unused = std::as_const(r.sprites)[300];
  EXPECT_EQ(unused.texWidth, -1);
  EXPECT_EQ(unused.imageWidth, 0);
  EXPECT_EQ(unused.frameWidth, 0);
  EXPECT_FALSE(r.sprites.Touched(300));

  r.sprites[300].frameWidth = 16;
  // The slot's page (256 to 511) exists now, its neighbours empty; the pages around it do not.
  EXPECT_TRUE(r.sprites.Touched(256));
  EXPECT_TRUE(r.sprites.Touched(511));
  EXPECT_FALSE(r.sprites.Touched(255));
  EXPECT_FALSE(r.sprites.Touched(512));
  EXPECT_EQ(std::as_const(r.sprites)[301].texHeight, -1);
  EXPECT_EQ(std::as_const(r.sprites)[300].frameWidth, 16);
  // The first and the last slot of the table, font slots included, are reachable.
  r.sprites[0].frameHeight = 1;
  r.sprites[kSpriteSlots - 1].frameHeight = 2;
  EXPECT_EQ(std::as_const(r.sprites)[0].frameHeight, 1);
  EXPECT_EQ(std::as_const(r.sprites)[kSpriteSlots - 1].frameHeight, 2);
  EXPECT_FALSE(r.backgrounds.Touched(3));
  EXPECT_EQ(std::as_const(r.backgrounds)[3].columns, 0);
}

}  // namespace
