// The frame record's comparison of two frames: where their pictures can differ, without a graphics API.
#include "runtime/gfx2d/FrameRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using plat::PictureRect;

DrawState Textured(uint32_t texture) {
  DrawState s;
  s.textured = true;
  s.texture = texture;
  return s;
}

// A 16 x 16 quad at (x, y).
std::vector<DrawVertex> Quad(float x, float y, float size = 16) {
  return {{x, y + size, 0, 0}, {x + size, y + size, 1, 0}, {x + size, y, 1, 1}, {x, y, 0, 1}};
}

void AddQuad(FrameRecord& f, const DrawState& s, float x, float y) {
  const std::vector<DrawVertex> q = Quad(x, y);
  f.Add(s, q.data(), 4);
}

// A field of 40 x 30 cells of one texture, as a play frame draws its tiles, and a sprite over it.
void PlayFrame(FrameRecord& f, float spriteX, float spriteY, int movedCell = -1) {
  f.AddClear();
  for (int i = 0; i < 40 * 30; ++i) {
    const float x = static_cast<float>(i % 40 * 16), y = static_cast<float>(i / 40 * 16);
    AddQuad(f, Textured(1), i == movedCell ? x + 3 : x, y);
  }
  AddQuad(f, Textured(2), spriteX, spriteY);
}

bool Covers(const PictureRect& r, int x0, int y0, int x1, int y1) {
  return r.x0 <= x0 && r.y0 <= y0 && r.x1 >= x1 && r.y1 >= y1;
}

int Area(const std::vector<PictureRect>& parts) {
  int a = 0;
  for (const PictureRect& r : parts) a += (r.x1 - r.x0) * (r.y1 - r.y0);
  return a;
}

TEST(FrameRecord, DrawsOfOneStateMakeOneRunAndAClearOrSealStartsAnother) {
  FrameRecord f;
  f.SetView(0, 0, 640, 480);
  f.AddClear();
  AddQuad(f, Textured(1), 0, 0);
  AddQuad(f, Textured(1), 100, 50);
  AddQuad(f, Textured(2), 10, 10);
  f.Seal();
  AddQuad(f, Textured(2), 20, 10);
  ASSERT_EQ(f.Runs().size(), 4u);
  EXPECT_TRUE(f.Runs()[0].clear);
  EXPECT_EQ(f.Runs()[1].count, 8u);
  EXPECT_EQ(f.Runs()[1].first, 0u);
  EXPECT_EQ(f.Runs()[3].first, 12u);
  // Both quads of the first run lie inside its bounds, with a pixel to spare all round.
  const PictureRect b = f.Runs()[1].bounds;
  EXPECT_TRUE(Covers(b, -1, -1, 117, 67));
  EXPECT_LE(b.x1, 118);
  EXPECT_LE(b.y1, 68);
  EXPECT_EQ(f.Vertices().size(), 16u);
  f.Reset();
  EXPECT_TRUE(f.Runs().empty());
  EXPECT_TRUE(f.Vertices().empty());
}

TEST(FrameRecord, EqualFramesDifferNowhere) {
  FrameRecord a, b;
  PlayFrame(a, 100, 100);
  PlayFrame(b, 100, 100);
  std::vector<PictureRect> parts;
  EXPECT_TRUE(b.ChangesSince(a, parts));
  EXPECT_TRUE(parts.empty());
}

TEST(FrameRecord, AMovedSpriteChangesItsOldAndNewPlaceOnly) {
  FrameRecord a, b;
  PlayFrame(a, 100, 100);
  PlayFrame(b, 104, 100);
  std::vector<PictureRect> parts;
  ASSERT_TRUE(b.ChangesSince(a, parts));
  ASSERT_EQ(parts.size(), 1u);  // the two places overlap: one rectangle
  EXPECT_TRUE(Covers(parts[0], 100, 100, 120, 116));
  EXPECT_LE(Area(parts), 24 * 20);

  // Far apart, the old and the new place are drawn as two rectangles, not the stretch between them.
  FrameRecord c;
  PlayFrame(c, 500, 400);
  parts.clear();
  ASSERT_TRUE(c.ChangesSince(a, parts));
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_LE(Area(parts), 2 * 19 * 19);  // a 16-pixel quad and a pixel or two of margin
}

TEST(FrameRecord, OneChangedCellOfALongRunChangesThatCellNotTheRun) {
  FrameRecord a, b;
  PlayFrame(a, 100, 100);
  PlayFrame(b, 100, 100, 41);  // cell (1, 1) drawn 3 pixels further right
  std::vector<PictureRect> parts;
  ASSERT_TRUE(b.ChangesSince(a, parts));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Covers(parts[0], 16, 16, 35, 32));
  EXPECT_LE(Area(parts), 24 * 20);
}

TEST(FrameRecord, AnotherStateOrViewChangesTheWholeRunOfBothFrames) {
  FrameRecord a, b;
  AddQuad(a, Textured(1), 0, 0);
  AddQuad(a, Textured(1), 200, 0);
  AddQuad(b, Textured(3), 0, 0);
  AddQuad(b, Textured(3), 200, 0);
  std::vector<PictureRect> parts;
  ASSERT_TRUE(b.ChangesSince(a, parts));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Covers(parts[0], 0, 0, 216, 16));

  // The same vertices in a view moved by (50, 60) land elsewhere in the picture.
  FrameRecord c;
  c.SetView(50, 60, 640, 480);
  AddQuad(c, Textured(1), 0, 0);
  AddQuad(c, Textured(1), 200, 0);
  parts.clear();
  ASSERT_TRUE(c.ChangesSince(a, parts));
  bool movedCovered = false;
  for (const PictureRect& r : parts) movedCovered |= Covers(r, 50, 60, 266, 76);
  EXPECT_TRUE(movedCovered);
}

TEST(FrameRecord, AClearInOneFrameOnlyNeedsAWholePicture) {
  FrameRecord a, b;
  AddQuad(a, Textured(1), 0, 0);
  b.AddClear();
  AddQuad(b, Textured(1), 0, 0);
  std::vector<PictureRect> parts;
  EXPECT_FALSE(b.ChangesSince(a, parts));
  EXPECT_FALSE(a.ChangesSince(b, parts));
  // A clear after the common runs, in either frame, too.
  FrameRecord c = a;
  c.AddClear();
  EXPECT_FALSE(c.ChangesSince(a, parts));
  EXPECT_FALSE(a.ChangesSince(c, parts));
}

TEST(FrameRecord, RunsOnlyOneFrameHasChangeTheirBounds) {
  FrameRecord a, b;
  AddQuad(a, Textured(1), 0, 0);
  b = a;
  AddQuad(b, Textured(2), 300, 300);
  std::vector<PictureRect> parts;
  ASSERT_TRUE(b.ChangesSince(a, parts));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Covers(parts[0], 300, 300, 316, 316));
  parts.clear();
  ASSERT_TRUE(a.ChangesSince(b, parts));  // gone again: its place is drawn without it
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Covers(parts[0], 300, 300, 316, 316));
}

TEST(FrameRecord, LinesAndPointsReachThePixelsAroundThem) {
  DrawState line;
  line.primitive = DrawPrimitive::kLines;
  line.shift = 0.375f;
  const DrawVertex ends[2] = {{10, 20, 0, 0}, {10, 20, 0, 0}};  // a line of no length still lights a pixel
  const PictureRect r = TouchedRect(line, 5, 7, ends, 2);
  EXPECT_TRUE(Covers(r, 14, 26, 17, 29));
  EXPECT_LE(r.x1 - r.x0, 4);
}

TEST(FrameRecord, ACoordinateThatIsNotANumberReachesEverywhere) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const DrawVertex corners[4] = {{0, 0, 0, 0}, {nan, 0, 0, 0}, {16, 16, 0, 0}, {0, 16, 0, 0}};
  const PictureRect r = TouchedRect(Textured(1), 0, 0, corners, 4);
  EXPECT_TRUE(Covers(r, -100000, 0, 100000, 16));
  const DrawVertex far[4] = {{-1e30f, 0, 0, 0}, {1e30f, 0, 0, 0}, {0, 1e30f, 0, 0}, {0, 0, 0, 0}};
  EXPECT_TRUE(Covers(TouchedRect(Textured(1), 0, 0, far, 4), -100000, 0, 100000, 100000));
}

TEST(FrameRecord, ChangeRectanglesJoinWhenCloseAndStayFewWhenMany) {
  std::vector<PictureRect> parts;
  AddChangeRect(parts, {0, 0, 10, 10});
  AddChangeRect(parts, {100, 100, 110, 110});
  EXPECT_EQ(parts.size(), 2u);
  AddChangeRect(parts, {14, 0, 20, 10});  // 4 pixels from the first
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(Covers(parts.back(), 0, 0, 20, 10));
  AddChangeRect(parts, {5, 5, 5, 9});  // empty: nothing
  EXPECT_EQ(parts.size(), 2u);
  // A rectangle that bridges two joins them all.
  AddChangeRect(parts, {15, 15, 95, 95});
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Covers(parts[0], 0, 0, 110, 110));
  // Many rectangles far apart end up as one that holds them all.
  parts.clear();
  for (int i = 0; i < 12; ++i) AddChangeRect(parts, {i * 50, i * 30, i * 50 + 4, i * 30 + 4});
  EXPECT_EQ(parts.size(), 8u);
  // Joined pairwise where it costs least, not into one rectangle over the whole diagonal.
  EXPECT_LT(Area(parts), 550 * 330 / 4);
  bool all = true;
  for (int i = 0; i < 12; ++i) {
    bool found = false;
    for (const PictureRect& r : parts) found |= Covers(r, i * 50, i * 30, i * 50 + 4, i * 30 + 4);
    all &= found;
  }
  EXPECT_TRUE(all);
}

}  // namespace
