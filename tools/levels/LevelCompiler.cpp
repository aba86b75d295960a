// The level compiler: the themes, the legend, the expansion of a text map into the four layers, and the
// rules a level must keep.
#include "tools/levels/LevelCompiler.h"

#include <fstream>
#include <map>
#include <sstream>

#include "game/GameWords.h"
#include "tools/art/TileCatalogue.h"  // the frames the levels are painted with

namespace levels {

const std::vector<Theme>& Themes() {
  using namespace art::tile;
  static const std::vector<Theme> themes = {
      {"temple", kFloorFlagstone, kFloorFlagstoneCracked, kFloorMosaic, kCrack, kWater, kWallFace,
       kWallFaceMossy, kWallFaceCracked, kWallFaceTorch, kWallFaceBanner, kWallTop, kWallTopEdgeS,
       kCoverWallCapS, kCoverWallTop, kPottedPlant, kFloorShadowN, kFloorRubble, kTurnMarkerTemple},
      {"dungeon", kDungeonFloor, kDungeonFloorCracked, kFloorGrate, kBones, kPit, kDungeonWallFace,
       kDungeonWallFaceChains, kDungeonWallFace, kDungeonWallFaceChains, kDungeonWallFaceChains,
       kDungeonWallTop, kDungeonWallTopEdgeS, kDungeonCoverCapS, kDungeonCoverTop, kTorchStand, 0,
       kDungeonFloorCracked, kTurnMarkerDungeon},
      {"garden", kFloorGrass, kFloorGrassFlowers, kFloorCobble, kFlowers, kWater, kHedge, kHedge, kHedge,
       kHedge, kHedge, kHedgeTop, kHedgeTop, kCoverHedgeCapS, kCoverCanopy, kBush, 0, kFloorDirt,
       kTurnMarkerGarden},
      {"cave", kFloorDirt, kFloorGravel, kFloorDarkStone, kRockSmall, kWaterDeep, kRockWall, kRockWall,
       kRockWall, kRockWall, kRockWall, kRockWallTop, kRockWallTop, 0, kCoverShade, kMushrooms, 0,
       kFloorGravel, kTurnMarkerCave},
      {"ice", kIce, kFloorBlueTiles, kDungeonFloor, kRockSmall, kWaterDeep, kDungeonWallFace,
       kDungeonWallFace, kDungeonWallFaceChains, kDungeonWallFaceChains, kDungeonWallFace, kDungeonWallTop,
       kDungeonWallTopEdgeS, kDungeonCoverCapS, kDungeonCoverTop, kBlockIce, 0, kDungeonFloorCracked,
       kTurnMarkerIce},
      {"lava", kFloorDarkStone, kFloorRubble, kFloorGravel, kScorch, kLava, kRockWall, kRockWall, kRockWall,
       kRockWall, kRockWall, kRockWallTop, kRockWallTop, 0, kCoverShade, kBrazier, 0, kFloorGravel,
       kTurnMarkerLava},
      {"beach", kFloorSand, kFloorCobble, kFloorPlanks, kRockSmall, kWater, kWallFace, kWallFaceMossy,
       kWallFaceCracked, kWallFaceTorch, kWallFaceWindow, kWallTop, kWallTopEdgeS, kCoverWallCapS,
       kCoverWallTop, kCactus, 0, kFloorRubble, kTurnMarkerBeach},
      {"hall", kFloorChecker, kFloorPlanks, kFloorMosaic, kCrack, kWater, kWallFace, kWallFaceWindow,
       kWallFaceBanner, kWallFaceTorch, kWallFaceBanner, kWallTop, kWallTopEdgeS, kCoverWallCapS,
       kCoverWallTop, kPottedPlant, 0, kFloorRubble, kTurnMarkerHall},
  };
  return themes;
}

namespace {

// What a character of the map stands for, before the theme and the neighbours pick the tiles.
enum class Kind {
  kFloor,
  kFloor2,
  kFloor3,
  kWalkDeco,
  kBridgeH,
  kBridgeV,
  kGem,
  kKey,
  kExit,
  kStart,
  kTurnMarker,
  kBaddieRight,
  kBaddieLeft,
  kBaddieUp,
  kBaddieDown,
  kUnderWall,
  kUnderArch,
  kUnderCanopy,
  kUnderVines,
  kUnderCobweb,
  kWall,
  kWallTorch,
  kWallBanner,
  kLiquid,
  kTree,
  kBoulder,
  kStatue,
  kPlant,
  kColumn,
  kGrave,
  kFountain,
  kFire,
  kBarrel,
  kCrate,
  kGemBox,
  kSwitch,
  kBlastPassage,
  kBlastInWall,
  kCustom
};

// The legend: one character per meaning.
const std::map<char, Kind>& Legend() {
  static const std::map<char, Kind> legend = {
      {'.', Kind::kFloor},        {',', Kind::kFloor2},      {':', Kind::kFloor3},
      {'\'', Kind::kWalkDeco},    {'_', Kind::kBridgeH},     {'|', Kind::kBridgeV},
      {'*', Kind::kGem},          {'k', Kind::kKey},         {'E', Kind::kExit},
      {'@', Kind::kStart},        {'+', Kind::kTurnMarker},  {'>', Kind::kBaddieRight},
      {'<', Kind::kBaddieLeft},   {'^', Kind::kBaddieUp},    {'v', Kind::kBaddieDown},
      {'=', Kind::kUnderWall},    {'n', Kind::kUnderArch},   {'"', Kind::kUnderCanopy},
      {';', Kind::kUnderVines},   {'q', Kind::kUnderCobweb}, {'#', Kind::kWall},
      {'!', Kind::kWallTorch},    {'$', Kind::kWallBanner},  {'~', Kind::kLiquid},
      {'T', Kind::kTree},         {'o', Kind::kBoulder},     {'s', Kind::kStatue},
      {'p', Kind::kPlant},        {'C', Kind::kColumn},      {'g', Kind::kGrave},
      {'u', Kind::kFountain},     {'f', Kind::kFire},        {'b', Kind::kBarrel},
      {'c', Kind::kCrate},        {'B', Kind::kGemBox},      {'S', Kind::kSwitch},
      {'X', Kind::kBlastPassage}, {'x', Kind::kBlastInWall},
  };
  return legend;
}

bool IsWallKind(Kind k) {
  return k == Kind::kWall || k == Kind::kWallTorch || k == Kind::kWallBanner || k == Kind::kSwitch ||
         k == Kind::kBlastInWall;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// A small, fixed scatter so that long walls are not one tile repeated.
uint32_t CellHash(int col, int row) {
  uint32_t h = static_cast<uint32_t>(col) * 73856093u ^ static_cast<uint32_t>(row) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

struct CustomCell {
  int ground = -1;  // -1: the theme's floor
  int item = 0, cover = 0, actor = 0;
};

}  // namespace

// The rules a compiled level must keep for the game to play it: returns every broken rule.
std::vector<LevelProblem> ValidateLayers(const Layers& L) {
  std::vector<LevelProblem> problems;
  auto at = [](int col, int row, std::string why) { return LevelProblem{col, row, 0, std::move(why)}; };
  int starts = 0, exits = 0;
  for (int row = 0; row < kRows; ++row) {
    for (int col = 0; col < kColumns; ++col) {
      const int i = row * kColumns + col;
      const int item = L.item[i], actor = L.actor[i];
      const bool frame = row == 0 || row == kRows - 1 || col == 0 || col == kColumns - 1;
      if (frame && cell::IsOpenActor(actor))
        problems.push_back(at(col, row, "hole in the frame: the outer ring must be solid"));
      if (actor == cell::kClaimed)
        problems.push_back(at(col, row, "actor value 34 (claimed by a baddie) kills the boy at once"));
      if (actor == cell::kBoy) {
        ++starts;
        if (starts == 2) problems.push_back(at(col, row, "second start cell: a level has exactly one"));
        if (item == cell::kGem || item == cell::kGemBox)
          problems.push_back(at(col, row, "gem under the start cell is never counted"));
      }
      if ((item == cell::kGem || item == cell::kGemBox) &&
          (row < 1 || row > kRows - 2 || col < 1 || col > kColumns - 2))
        problems.push_back(
            at(col, row, "gem or gem box outside rows 1..28 / columns 1..38 is never counted"));
      if ((item == cell::kGem || item == cell::kKey) && actor != cell::kFree && actor != cell::kBoy &&
          !cell::IsBaddie(actor))
        problems.push_back(at(col, row, "gem or key on a solid cell lets the boy walk into the wall"));
      if ((item == cell::kGemBox || item == cell::kSwitch) && cell::IsOpenActor(actor))
        problems.push_back(at(col, row, "gem box or switch on a walkable cell"));
      if (item == cell::kExit) {
        ++exits;
        if (actor != cell::kFree) problems.push_back(at(col, row, "exit on a cell that is not walkable"));
        if (col > kColumns - 3 || row > kRows - 3)
          problems.push_back(at(col, row, "exit too close to the edge for its 2 x 2 picture"));
      }
    }
  }
  if (starts == 0) problems.push_back(LevelProblem{-1, -1, 0, "no start cell (@)"});
  if (exits == 0) problems.push_back(LevelProblem{-1, -1, 0, "no exit (E)"});
  return problems;
}

// Parses and expands a level source. Returns false with every problem found; a level that parses is also
// validated, so true means the layers are ready to ship.
bool CompileLevelText(const std::string& text, CompiledLevel& out, std::vector<LevelProblem>& problems) {
  problems.clear();
  out = CompiledLevel{};
  std::vector<std::string> lines;
  {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  const Theme* theme = nullptr;
  std::map<char, CustomCell> custom;
  size_t mapStart = 0;
  bool mapSeen = false;
  for (size_t n = 0; n < lines.size() && !mapSeen; ++n) {
    const std::string t = Trim(lines[n]);
    const int lineNo = static_cast<int>(n) + 1;
    auto fail = [&](const std::string& why) { problems.push_back(LevelProblem{-1, -1, lineNo, why}); };
    if (t.empty() || t[0] == '#') continue;
    if (t == "map:") {
      mapSeen = true;
      mapStart = n + 1;
    } else if (t.rfind("name:", 0) == 0) {
      out.name = Trim(t.substr(5));
    } else if (t.rfind("theme:", 0) == 0) {
      out.theme = Trim(t.substr(6));
      theme = nullptr;
      for (const Theme& th : Themes())
        if (out.theme == th.name) theme = &th;
      if (!theme) fail("unknown theme \"" + out.theme + "\"");
    } else if (t.rfind("def ", 0) == 0) {
      std::istringstream words(t.substr(4));
      std::string ch, field;
      words >> ch;
      if (ch.size() != 1 || Legend().count(ch[0]) || ch[0] == ' ') {
        fail("def needs one character that the legend does not use, not \"" + ch + "\"");
        continue;
      }
      CustomCell c;
      while (words >> field) {
        if (field == "solid") {
          c.actor = cell::kSolid;
          continue;
        }
        const size_t eq = field.find('=');
        const std::string key = field.substr(0, eq);
        int* slot = key == "ground"  ? &c.ground
                    : key == "item"  ? &c.item
                    : key == "cover" ? &c.cover
                    : key == "actor" ? &c.actor
                                     : nullptr;
        long v = -1;
        if (eq != std::string::npos && eq + 1 < field.size() &&
            field.find_first_not_of("0123456789", eq + 1) == std::string::npos && field.size() - eq <= 6)
          v = std::stol(field.substr(eq + 1));
        if (!slot || eq == std::string::npos) {
          fail("def: unknown field \"" + field + "\"");
        } else if (v < 0 || v > 255) {
          fail("def: value of \"" + field + "\" is not a whole number from 0 to 255");
        } else {
          *slot = static_cast<int>(v);
        }
      }
      custom[ch[0]] = c;
    } else {
      fail("unknown header line \"" + t + "\"");
    }
  }
  if (!theme && out.theme.empty()) problems.push_back(LevelProblem{-1, -1, 0, "no \"theme:\" line"});
  if (!mapSeen) {
    problems.push_back(LevelProblem{-1, -1, 0, "no \"map:\" line"});
    return false;
  }
  std::vector<std::string> rows(lines.begin() + static_cast<long>(mapStart), lines.end());
  while (!rows.empty() && Trim(rows.back()).empty()) rows.pop_back();
  if (rows.size() != kRows) {
    problems.push_back(LevelProblem{-1, -1, static_cast<int>(mapStart + 1),
                                    "map has " + std::to_string(rows.size()) + " lines, expected 30"});
  }
  std::array<Kind, kCells> kinds{};
  std::array<char, kCells> chars{};
  kinds.fill(Kind::kWall);
  chars.fill('#');
  for (int row = 0; row < static_cast<int>(rows.size()) && row < kRows; ++row) {
    const std::string& r = rows[static_cast<size_t>(row)];
    if (r.size() != kColumns) {
      problems.push_back(LevelProblem{static_cast<int>(std::min<size_t>(r.size(), kColumns)), row, 0,
                                      "line is " + std::to_string(r.size()) + " characters, expected 40"});
    }
    for (int col = 0; col < kColumns && col < static_cast<int>(r.size()); ++col) {
      const char ch = r[static_cast<size_t>(col)];
      const int i = row * kColumns + col;
      chars[i] = ch;
      if (custom.count(ch)) {
        kinds[i] = Kind::kCustom;
      } else if (Legend().count(ch)) {
        kinds[i] = Legend().at(ch);
      } else {
        problems.push_back(LevelProblem{col, row, 0, std::string("unknown character '") + ch + "'"});
      }
    }
  }
  if (!problems.empty()) return false;

  // A gem box with a wall beside it is set into that wall: it is painted as wall, so that the wall's
  // face, top and lip run on through it and the chest hangs on the face.
  std::array<bool, kCells> walls{};
  for (int i = 0; i < kCells; ++i) {
    const int col = i % kColumns;
    const bool wallLeft = col > 0 && IsWallKind(kinds[i - 1]);
    const bool wallRight = col < kColumns - 1 && IsWallKind(kinds[i + 1]);
    walls[i] = IsWallKind(kinds[i]) || (kinds[i] == Kind::kGemBox && (wallLeft || wallRight));
  }
  // Walls are painted by what lies below them: a face where the boy can stand in front of the wall,
  // the wall's top elsewhere, and the top's front lip just above a face.
  auto wallAt = [&](int col, int row) {
    if (row >= kRows) return true;
    return walls[row * kColumns + col];
  };
  auto isFace = [&](int col, int row) {
    return wallAt(col, row) && !wallAt(col, row + 1) && row < kRows - 1;
  };
  // Open water gets a shore on every side where land meets it; bridges and walls count as water.
  auto wet = [&](int col, int row) {
    if (col < 0 || row < 0 || col >= kColumns || row >= kRows) return true;
    const Kind k = kinds[row * kColumns + col];
    return k == Kind::kLiquid || k == Kind::kBridgeH || k == Kind::kBridgeV || walls[row * kColumns + col];
  };
  // Leaves get a ragged edge on their open side; the sides win over the top so that a crown is ragged
  // all down its flanks.
  auto leafy = [&](int col, int row) {
    if (col < 0 || row < 0 || col >= kColumns || row >= kRows) return false;
    const Kind k = kinds[row * kColumns + col];
    return k == Kind::kUnderCanopy || k == Kind::kTree;
  };
  auto Canopy = [&](int col, int row) -> uint8_t {
    if (!leafy(col - 1, row)) return art::tile::kCoverCanopyEdgeW;
    if (!leafy(col + 1, row)) return art::tile::kCoverCanopyEdgeE;
    if (!leafy(col, row - 1)) return art::tile::kCoverCanopyEdgeN;
    if (!leafy(col, row + 1)) return art::tile::kCoverCanopyEdgeS;
    return art::tile::kCoverCanopy;
  };
  auto Shore = [&](uint8_t liquid, int col, int row) -> uint8_t {
    if (liquid != art::tile::kWater) return liquid;
    const bool n = !wet(col, row - 1), s = !wet(col, row + 1), w = !wet(col - 1, row), e = !wet(col + 1, row);
    if (n && w) return art::tile::kWaterEdgeNW;
    if (n && e) return art::tile::kWaterEdgeNE;
    if (s && w) return art::tile::kWaterEdgeSW;
    if (s && e) return art::tile::kWaterEdgeSE;
    if (n) return art::tile::kWaterEdgeN;
    if (s) return art::tile::kWaterEdgeS;
    if (w) return art::tile::kWaterEdgeW;
    if (e) return art::tile::kWaterEdgeE;
    return liquid;
  };
  // A cell that something stands on at the start (the boy, a baddie, a gem or a key) shows the floor
  // around it once it is left or taken: the floor most of its plain-floor neighbours have, the theme's
  // own floor when that is as common.
  auto floorOf = [&](Kind k) -> int {
    if (k == Kind::kFloor || k == Kind::kWalkDeco) return theme->floor;
    if (k == Kind::kFloor2) return theme->floor2;
    if (k == Kind::kFloor3) return theme->floor3;
    return -1;
  };
  auto floorAround = [&](int col, int row) -> uint8_t {
    std::map<int, int> count;
    const int around[4][2] = {{col - 1, row}, {col + 1, row}, {col, row - 1}, {col, row + 1}};
    for (const auto& [c, r] : around)
      if (c >= 0 && r >= 0 && c < kColumns && r < kRows && floorOf(kinds[r * kColumns + c]) >= 0)
        ++count[floorOf(kinds[r * kColumns + c])];
    uint8_t best = theme->floor;
    for (const uint8_t f : {theme->floor2, theme->floor3})
      if (count[f] > count[best]) best = f;
    return best;
  };
  Layers& L = out.layers;
  for (int row = 0; row < kRows; ++row) {
    for (int col = 0; col < kColumns; ++col) {
      const int i = row * kColumns + col;
      const Kind k = kinds[i];
      uint8_t& g = L.ground[i];
      uint8_t& it = L.item[i];
      uint8_t& cv = L.cover[i];
      uint8_t& ac = L.actor[i];
      g = theme->floor;
      if (walls[i]) {
        ac = cell::kSolid;
        if (row == kRows - 1) {
          g = art::tile::kFrameEdge;
        } else if (isFace(col, row) && k == Kind::kGemBox) {
          g = theme->face;
        } else if (isFace(col, row)) {
          const uint32_t h = CellHash(col, row) % 11;
          g = h == 0 ? theme->faceAlt1 : h == 1 ? theme->faceAlt2 : theme->face;
          if (k == Kind::kWallTorch) g = theme->faceTorch;
          if (k == Kind::kWallBanner) g = theme->faceBanner;
        } else {
          g = isFace(col, row + 1) ? theme->topEdgeS : theme->top;
        }
        if (k == Kind::kSwitch) it = cell::kSwitch;
        if (k == Kind::kBlastInWall) it = cell::kBlastBlock;
        if (k == Kind::kGemBox) it = cell::kGemBox;
        continue;
      }
      // Everything else stands on the floor; a floor just above a wall gets the wall's lip as cover,
      // and one just below a wall face lies in its shadow. The lip leaves gems, keys and compass stones
      // whole: the player must see what there is to take and where the baddies turn.
      const bool keepWhole = k == Kind::kGem || k == Kind::kKey || k == Kind::kTurnMarker;
      if (row + 1 < kRows && wallAt(col, row + 1) && !keepWhole) cv = theme->capS;
      if (row > 0 && theme->shadowN && wallAt(col, row - 1)) g = theme->shadowN;
      switch (k) {
        case Kind::kFloor:
          break;
        case Kind::kFloor2:
          g = theme->floor2;
          break;
        case Kind::kFloor3:
          g = theme->floor3;
          break;
        case Kind::kWalkDeco:
          it = theme->walkDeco;
          break;
        case Kind::kBridgeH:
          g = art::tile::kBridgeH;
          break;
        case Kind::kBridgeV:
          g = art::tile::kBridgeV;
          break;
        case Kind::kGem:
          it = cell::kGem;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kKey:
          it = cell::kKey;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kExit:
          it = cell::kExit;
          break;
        case Kind::kStart:
          ac = cell::kBoy;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kTurnMarker:
          g = theme->marker;
          it = cell::kTurnMarker;
          break;
        case Kind::kBaddieRight:
          ac = cell::kBaddieRight;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kBaddieLeft:
          ac = cell::kBaddieLeft;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kBaddieUp:
          ac = cell::kBaddieUp;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kBaddieDown:
          ac = cell::kBaddieDown;
          if (g == theme->floor) g = floorAround(col, row);
          break;
        case Kind::kUnderWall:
          cv = theme->coverTop;
          break;
        case Kind::kUnderArch:
          cv = art::tile::kCoverArch;
          break;
        case Kind::kUnderCanopy:
          cv = Canopy(col, row);
          break;
        case Kind::kUnderVines:
          cv = art::tile::kCoverVines;
          break;
        case Kind::kUnderCobweb:
          cv = art::tile::kCoverCobweb;
          break;
        case Kind::kLiquid:
          // Keeps the lip of a wall that rises out of the water below it.
          g = Shore(theme->liquid, col, row);
          ac = cell::kSolid;
          break;
        case Kind::kTree:
          it = art::tile::kTreeTrunk;
          ac = cell::kSolid;
          break;
        case Kind::kBoulder:
          it = art::tile::kRockBig;
          ac = cell::kSolid;
          break;
        case Kind::kStatue:
          it = art::tile::kStatue;
          ac = cell::kSolid;
          break;
        case Kind::kPlant:
          it = theme->plant;
          ac = cell::kSolid;
          break;
        case Kind::kColumn:
          it = art::tile::kColumn;
          ac = cell::kSolid;
          break;
        case Kind::kGrave:
          it = art::tile::kGrave;
          ac = cell::kSolid;
          break;
        case Kind::kFountain:
          it = art::tile::kFountain;
          ac = cell::kSolid;
          break;
        case Kind::kFire:
          it = cell::kFire;
          ac = cell::kSolid;
          break;
        case Kind::kBarrel:
          g = art::tile::kBarrel;
          ac = cell::kSolid;
          break;
        case Kind::kCrate:
          g = art::tile::kCrate;
          ac = cell::kSolid;
          break;
        case Kind::kGemBox:
          it = cell::kGemBox;
          ac = cell::kSolid;
          break;
        case Kind::kBlastPassage:
          g = theme->rubble;
          it = cell::kBlastBlock;
          ac = cell::kSolid;
          break;
        case Kind::kCustom: {
          const CustomCell& c = custom.at(chars[i]);
          if (c.ground >= 0) g = static_cast<uint8_t>(c.ground);
          it = static_cast<uint8_t>(c.item);
          cv = static_cast<uint8_t>(c.cover);
          ac = static_cast<uint8_t>(c.actor);
          break;
        }
        default:
          break;
      }
    }
  }
  problems = ValidateLayers(L);
  return problems.empty();
}

// "level07: cell (12, 3): reason", or without the cell part when the problem has none.
std::string FormatProblem(const std::string& level, const LevelProblem& p) {
  std::string s = level + ": ";
  if (p.col >= 0) s += "cell (" + std::to_string(p.col) + ", " + std::to_string(p.row) + "): ";
  if (p.line > 0) s += "line " + std::to_string(p.line) + ": ";
  return s + p.reason;
}

bool ReadTextFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  text = ss.str();
  return true;
}

// Writes MapN-1.bin .. MapN-4.bin (ground, item, cover, actor) into `dir`.
bool WriteLevelFiles(const Layers& L, const std::string& dir, int number, std::string& error) {
  const Layer* layers[4] = {&L.ground, &L.item, &L.cover, &L.actor};
  for (int k = 0; k < 4; ++k) {
    const std::string path = dir + "/Map" + std::to_string(number) + "-" + std::to_string(k + 1) + ".bin";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(layers[k]->data()), kCells);
    if (!out) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

// The source name of level n: "level07".
std::string LevelName(int n) {
  return std::string("level") + (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace levels
