// Level sources: a readable text map of 40 x 30 characters, one character per meaning, expanded into
// the four layers the game loads (ground, item, cover, actor), and the rules every shipped level must
// keep.
//
// A level source:
//   # comment lines
//   name: The Quiet Hall
//   theme: temple               (temple, dungeon, garden, cave, ice, lava, beach, hall)
//   def K ground=96 item=0 cover=0 actor=1     (optional: a character of the level's own)
//   map:
//   ...30 lines of exactly 40 characters...
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/GameWords.h"

namespace levels {

using Layer = std::array<uint8_t, kCells>;

struct Layers {
  Layer ground{};
  Layer item{};
  Layer cover{};
  Layer actor{};
};

// One broken rule. col/row are -1 when the problem is not tied to a cell; line is the source line
// (1-based) for problems in the header, else 0.
struct LevelProblem {
  int col = -1;
  int row = -1;
  int line = 0;
  std::string reason;
};

struct CompiledLevel {
  std::string name;
  std::string theme;
  Layers layers;
};

// The tiles a theme paints its floors, walls and overhangs with.
struct Theme {
  const char* name;
  uint8_t floor, floor2, floor3;     // '.', ',' and ':'
  uint8_t walkDeco;                  // '\'': a decoration the boy walks over
  uint8_t liquid;                    // '~'
  uint8_t face, faceAlt1, faceAlt2;  // wall faces; the two variants are sprinkled in now and then
  uint8_t faceTorch, faceBanner;     // '!' and '$'
  uint8_t top, topEdgeS;             // wall tops; the edge tile sits just above a face
  uint8_t capS;                      // cover over a floor cell just above a wall (0: none)
  uint8_t coverTop;                  // '=': the overhang of a wall the boy walks behind
  uint8_t plant;                     // 'p': the theme's solid plant or ornament
  uint8_t shadowN;                   // floor just below a wall face (0: the plain floor)
  uint8_t rubble;                    // 'X': the floor a blast leaves behind, in the stone of the walls
  uint8_t marker;                    // '+': the turn-marker floor, a compass set into the theme's floor
};

// The themes a level source can name, in the order of the "theme:" list above.
const std::vector<Theme>& Themes();

// The rules a compiled level must keep for the game to play it: returns every broken rule.
std::vector<LevelProblem> ValidateLayers(const Layers& L);

// Parses and expands a level source. Returns false with every problem found; a level that parses is also
// validated, so true means the layers are ready to ship.
bool CompileLevelText(const std::string& text, CompiledLevel& out, std::vector<LevelProblem>& problems);

// "level07: cell (12, 3): reason", or without the cell part when the problem has none.
std::string FormatProblem(const std::string& level, const LevelProblem& p);

bool ReadTextFile(const std::string& path, std::string& text);

// Writes MapN-1.bin .. MapN-4.bin (ground, item, cover, actor) into `dir`.
bool WriteLevelFiles(const Layers& L, const std::string& dir, int number, std::string& error);

// The source name of level n: "level07".
std::string LevelName(int n);

}  // namespace levels
