#include "tools/art/Previews.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "game/GameWords.h"
#include "tools/art/Palette.h"
#include "tools/art/TileCatalogue.h"

namespace art {

namespace {

// Text in the score-line font, as the game prints it: 8 x 16 cells, no kerning.
void PrintX(Image& dst, const Image& font, const std::string& text, int x, int y) {
  for (unsigned char ch : text) {
    int k = ch % 128;
    dst.Blit(font, (k % 16) * 8, (k / 16) * 16, 8, 16, x, y);
    x += 8;
  }
}

// Frame f of a strip cut into fw x fh cells, left to right, then downwards.
void DrawFrame(Image& dst, const Image& strip, int fw, int fh, int f, int x, int y) {
  int perRow = strip.Width() / fw;
  dst.Blit(strip, (f % perRow) * fw, (f / perRow) * fh, fw, fh, x, y);
}

Image Checkerboard(int w, int h) {
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Set(x, y, ((x / 8 + y / 8) % 2) ? Hex(0x30303a) : Hex(0x3a3a46));
  return img;
}

// Stretches a letter image the way the game does: linear filtering over a texture whose clear
// texels carry their neighbours' colour, then the alpha test (alpha > 0.05).
void StretchLetter(Image& dst, const Image& src, int x, int y, int w, int h) {
  const int sw = src.Width(), sh = src.Height();
  Image filled = src;
  for (int j = 1; j < sh - 1; ++j)
    for (int i = 1; i < sw - 1; ++i) {
      if (src.Solid(i, j)) continue;
      int r = 0, g = 0, b = 0, n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          int nx = i + dx, ny = j + dy;
          if ((dx || dy) && nx >= 1 && ny >= 1 && nx <= sw - 2 && ny <= sh - 2 && src.Solid(nx, ny)) {
            Rgba c = src.Get(nx, ny);
            r += c.r, g += c.g, b += c.b, ++n;
          }
        }
      if (n) filled.Set(i, j, Rgba{uint8_t(r / n), uint8_t(g / n), uint8_t(b / n), 0});
    }
  auto texel = [&](int i, int j) { return filled.Get(((i % sw) + sw) % sw, ((j % sh) + sh) % sh); };
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      double u = (i + 0.5) * sw / w - 0.5, v = (j + 0.5) * sh / h - 0.5;
      int u0 = int(std::floor(u)), v0 = int(std::floor(v));
      double fu = u - u0, fv = v - v0;
      double acc[4] = {0, 0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        int du = k & 1, dv = k >> 1;
        double wgt = (du ? fu : 1 - fu) * (dv ? fv : 1 - fv);
        Rgba c = texel(u0 + du, v0 + dv);
        acc[0] += c.r * wgt, acc[1] += c.g * wgt, acc[2] += c.b * wgt, acc[3] += c.a * wgt;
      }
      if (acc[3] > 0.05 * 255)
        dst.Set(x + i, y + j, Rgba{uint8_t(acc[0] + 0.5), uint8_t(acc[1] + 0.5), uint8_t(acc[2] + 0.5), 255});
    }
}

}  // namespace

Image ContactSheet(const ArtSet& set, const std::string& filter) {
  const Image& font = set.Find("Graphic/xFont.png");
  const int width = filter.empty() ? 1400 : 2200;
  std::vector<std::pair<std::string, Image>> items;
  // Upper and lower halves are shown joined, as whole figures.
  auto lowerHalfOf = [&](const std::string& name) -> const Image* {
    size_t at = name.rfind('1');
    if (at == std::string::npos || at < 8) return nullptr;
    std::string other = name;
    other[at] = '2';
    for (const auto& [n, image] : set.pngs)
      if (n == other && name.find("Fruit") == std::string::npos) return &image;
    return nullptr;
  };
  std::vector<std::pair<std::string, Image>> pictures;
  for (const auto& [name, image] : set.pngs) {
    size_t at = name.rfind('2');
    if (at != std::string::npos && at >= 8 && name.find("Fruit") == std::string::npos) {
      std::string upper = name;
      upper[at] = '1';
      if (lowerHalfOf(upper)) continue;
    }
    if (const Image* lower = lowerHalfOf(name)) {
      Image joined(image.Width(), 32);
      joined.Copy(image, 0, 0, image.Width(), 16, 0, 0);
      joined.Copy(*lower, 0, 0, image.Width(), 16, 0, 16);
      pictures.emplace_back(name, joined);
    } else {
      pictures.emplace_back(name, image);
    }
  }
  for (const auto& [name, image] : pictures) {
    if (name.find(filter) == std::string::npos || name == "Graphic/BackBild.png") continue;
    int scale = image.Height() <= 32 ? (filter.empty() ? 3 : 5) : 2;
    if (name.starts_with("Chars/")) scale = 1;
    scale = std::max(1, std::min(scale, (width - 16) / image.Width()));
    items.emplace_back(name, image.Scaled(scale));
  }
  // Lay out in rows.
  int x = 8, y = 8, rowH = 0, height = 8;
  std::vector<std::pair<int, int>> pos;
  for (const auto& [name, image] : items) {
    int w = std::max(image.Width(), int(name.size()) * 8 - 48), h = image.Height() + 20;
    if (x + w > width - 8) x = 8, y += rowH + 8, rowH = 0;
    pos.emplace_back(x, y);
    x += w + 12;
    rowH = std::max(rowH, h);
    height = y + rowH + 8;
  }
  Image sheet = Checkerboard(width, height);
  for (size_t i = 0; i < items.size(); ++i) {
    auto [px, py] = pos[i];
    std::string label = items[i].first.substr(items[i].first.find('/') + 1);
    PrintX(sheet, font, label.substr(0, label.size() - 4), px, py);
    sheet.Blit(items[i].second, px, py + 18);
  }
  return sheet;
}

Image TileChart(const ArtSet& set, int firstRow) {
  const Image& font = set.Find("Graphic/xFont.png");
  const Image& tiles = set.Find("Graphic/Tiles1.png");
  const int cell = 16 * 5 + 4;
  Image chart = Checkerboard(16 * cell + 4, 8 * cell + 4);
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 16; ++col) {
      int v = (firstRow + row) * 16 + col;
      chart.Blit(tiles.Crop(col * 16, (firstRow + row) * 16, 16, 16).Scaled(5), 4 + col * cell,
                 4 + row * cell);
      PrintX(chart, font, std::to_string(v), 4 + col * cell, 4 + row * cell + 16 * 5 - 12);
    }
  return chart;
}

namespace {

void GlyphText(Image& dst, const ArtSet& set, int x, int y, int w, int h, const std::string& text) {
  for (unsigned char ch : text) {
    if (ch < 32) continue;
    if (ch <= 95) StretchLetter(dst, set.Find("Chars/Char" + std::to_string(ch - 32) + ".png"), x, y, w, h);
    x += w;
  }
}

}  // namespace

Image MockMenuScreen(const ArtSet& set) {
  Image screen = set.Find("Graphic/BackBild.png");
  GlyphText(screen, set, 128, 32, 32, 32, "BRILLORA");
  GlyphText(screen, set, 108, 68, 22, 20, "BY THE BRILLORA TEAM");
  GlyphText(screen, set, 128, 128, 32, 32, "PLAYER ROBIN");
  GlyphText(screen, set, 128, 160, 32, 32, "HSCORE");
  GlyphText(screen, set, 128, 192, 32, 32, "LEVELS 7");
  GlyphText(screen, set, 128, 224, 32, 32, "GOHOME");
  for (int k = 0; k < 4; ++k)
    GlyphText(screen, set, 500, 200 + 32 * k, 16, 16, "  F" + std::to_string(k + 1));
  GlyphText(screen, set, 86, 408, 28, 38, "MADE WITH QUILLON");
  DrawFrame(screen, set.Find("Graphic/BoxStrip.png"), 192, 32, 3, 128, 192);
  DrawFrame(screen, set.Find("Graphic/MouseStrip.png"), 32, 32, 0, 400, 300);
  return screen;
}

Image MockPlayScreen(const ArtSet& set) {
  using namespace tile;
  const Image& tiles = set.Find("Graphic/Tiles1.png");
  int ground[30][40], item[30][40] = {}, cover[30][40] = {};
  for (int r = 0; r < 30; ++r)
    for (int c = 0; c < 40; ++c) {
      ground[r][c] = kFloorFlagstone;
      if (r == 0 || c == 0 || c == 39 || r >= 28) ground[r][c] = kFramePanel;
      if (r == 29) ground[r][c] = kFrameEdge;
    }
  auto fill = [&](int r0, int c0, int r1, int c1, int v) {
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) ground[r][c] = v;
  };
  // A brick wall across the hall with a doorway under an arch.
  fill(6, 1, 6, 24, kWallTopEdgeS);
  fill(7, 1, 7, 24, kWallFace);
  ground[7][4] = kWallFaceWindow, ground[7][9] = kWallFaceTorch, ground[7][15] = kWallFaceBanner;
  ground[7][20] = kWallFaceCracked, ground[7][22] = kWallFaceMossy;
  fill(8, 1, 8, 24, kFloorShadowN);
  for (int c = 1; c <= 24; ++c) cover[5][c] = kCoverWallCapS;
  ground[6][12] = kFloorFlagstone, ground[7][12] = kFloorFlagstone;
  cover[6][12] = kCoverWallTop, cover[7][12] = kCoverArch, cover[5][12] = kCoverWallCapS;
  // Garden corner on the right.
  fill(1, 26, 12, 38, kFloorGrass);
  fill(1, 26, 12, 26, kGrassEdgeW);
  fill(13, 26, 13, 38, kGrassEdgeS);
  ground[3][30] = kFloorGrassFlowers, ground[9][35] = kFloorGrassFlowers;
  item[4][28] = kBush, item[10][31] = kFlowers, item[6][36] = kMushrooms, item[11][28] = kGrassTuft;
  item[8][33] = kTreeTrunk, cover[7][33] = kCoverCanopy, cover[6][33] = kCoverCanopyEdgeN;
  cover[7][32] = kCoverCanopyEdgeW, cover[7][34] = kCoverCanopyEdgeE, cover[8][32] = kCoverCanopyEdgeS;
  cover[8][34] = kCoverCanopyEdgeS;
  // A pool with a bridge.
  fill(16, 26, 22, 36, kWater);
  fill(16, 26, 16, 36, kWaterEdgeN);
  fill(22, 26, 22, 36, kWaterEdgeS);
  fill(17, 26, 21, 26, kWaterEdgeW);
  fill(17, 36, 21, 36, kWaterEdgeE);
  ground[16][26] = kWaterEdgeNW, ground[16][36] = kWaterEdgeNE;
  ground[22][26] = kWaterEdgeSW, ground[22][36] = kWaterEdgeSE;
  fill(19, 26, 19, 36, kBridgeH);
  ground[18][30] = kWaterLily;
  // Carpet in the hall and a dungeon-style corner.
  const int carpet[3][3] = {
      {kCarpetNW, kCarpetN, kCarpetNE}, {kCarpetW, kCarpetC, kCarpetE}, {kCarpetSW, kCarpetS, kCarpetSE}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 6; ++c)
      ground[10 + r][4 + c] = carpet[r == 0 ? 0 : r == 3 ? 2 : 1][c == 0 ? 0 : c == 5 ? 2 : 1];
  fill(20, 1, 27, 12, kDungeonFloor);
  fill(19, 1, 19, 12, kDungeonWallFace);
  fill(18, 1, 18, 12, kDungeonWallTopEdgeS);
  ground[23][6] = kDungeonFloorCracked;
  item[24][3] = kBones, item[21][10] = kRockSmall, ground[25][8] = kFloorGrate;
  // Items with rules.
  item[3][3] = cell::kGem, item[3][6] = cell::kGem, item[4][8] = cell::kGem, item[12][18] = cell::kGem,
  item[24][16] = cell::kGem, item[15][22] = cell::kGem;
  item[3][14] = cell::kGemBox, item[3][16] = cell::kGemBoxOpen, item[10][20] = cell::kKey;
  item[14][14] = cell::kSwitch, item[14][16] = cell::kSwitchFired, item[16][16] = cell::kBlastBlock,
  item[16][17] = cell::kBlastBlock;
  item[2][20] = cell::kExit;
  item[21][20] = cell::kFire, item[21][23] = cell::kFire;
  item[25][22] = cell::kFruit;
  item[24][33] = kCrate, item[24][35] = kBarrel, item[12][22] = kVase, item[9][2] = kStatue;
  item[26][28] = kColumn, item[14][10] = kPottedPlant;
  const Image& gems = set.Find("Graphic/GemsStrip.png");
  const Image& fire = set.Find("Graphic/FireStrip.png");
  const Image& exitStrip = set.Find("Graphic/ExitStrip.png");
  Image screen(640, 480, Rgba{0, 0, 0, 255});
  for (int r = 0; r < 30; ++r)
    for (int c = 0; c < 40; ++c) DrawFrame(screen, tiles, 16, 16, ground[r][c], c * 16, r * 16);
  for (int r = 0; r < 30; ++r)
    for (int c = 0; c < 40; ++c) {
      int v = item[r][c];
      if (v == cell::kExit)
        DrawFrame(screen, exitStrip, 32, 32, 4, c * 16, r * 16);
      else if (v == cell::kGem)
        DrawFrame(screen, gems, 16, 16, (r + c) % 8, c * 16, r * 16);
      else if (v == cell::kFire)
        DrawFrame(screen, fire, 16, 16, (r + c) % 8, c * 16, r * 16);
      else if (v > 0 && v != cell::kTurnMarker)
        DrawFrame(screen, tiles, 16, 16, v, c * 16, r * 16);
    }
  DrawFrame(screen, set.Find("Graphic/Fruit2.png"), 16, 16, 5, 22 * 16, 25 * 16);
  // The boy walking right, a baddie walking down, one coming through the doorway.
  DrawFrame(screen, set.Find("Graphic/BoyR2.png"), 16, 16, 4, 10 * 16 + 8, 9 * 16);
  DrawFrame(screen, set.Find("Graphic/BoyR1.png"), 16, 16, 4, 10 * 16 + 8, 8 * 16);
  DrawFrame(screen, set.Find("Graphic/BoyD2.png"), 16, 16, 2, 18 * 16, 24 * 16);
  DrawFrame(screen, set.Find("Graphic/BoyD1.png"), 16, 16, 2, 18 * 16, 23 * 16);
  DrawFrame(screen, set.Find("Graphic/BadD2Strip.png"), 16, 16, 3, 12 * 16, 6 * 16);
  DrawFrame(screen, set.Find("Graphic/BadD1Strip.png"), 16, 16, 3, 12 * 16, 5 * 16);
  DrawFrame(screen, set.Find("Graphic/BadL2Strip.png"), 16, 16, 1, 30 * 16, 10 * 16);
  DrawFrame(screen, set.Find("Graphic/BadL1Strip.png"), 16, 16, 1, 30 * 16, 9 * 16);
  DrawFrame(screen, set.Find("Graphic/DiaSuck.png"), 16, 16, 2, 11 * 16 + 8, 9 * 16);
  for (int r = 0; r < 30; ++r)
    for (int c = 0; c < 40; ++c)
      if (cover[r][c] > 0) DrawFrame(screen, tiles, 16, 16, cover[r][c], c * 16, r * 16);
  DrawFrame(screen, set.Find("Graphic/ExplosStrip.png"), 32, 32, 5, 16 * 16, 15 * 16);
  const Image& font = set.Find("Graphic/xFont.png");
  PrintX(screen, font, "SCORE 1250", 0, 462);
  PrintX(screen, font, "GEMS 14", 250, 462);
  PrintX(screen, font, "Time 287", 450, 462);
  return screen;
}

}  // namespace art
