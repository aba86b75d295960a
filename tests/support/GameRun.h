// Whole-game runs for the menu tests: a game folder with small levels and record files, replay scripts
// that start where the title menu reads its first input, and what a run leaves behind (exit status,
// output, the menu texts of the last frame, the sounds still playing at the end).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

// Levels 1 to 4 (a solid frame, the boy's start cell at column 5 row 5, a gem and an exit) and all-zero
// record files of their full sizes. Setters rewrite the record file they touch at once.
class GameFolder {
 public:
  GameFolder();
  const std::string& path() const { return dir_.path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }
  void SetScore(int entry, uint32_t value);               // "Maps/Data.bin"
  void SetScoreName(int entry, const std::string& name);  // "Maps/Name.bin"
  void SetSlotName(int slot, const std::string& name);    // "Maps/Duzozez.bin"
  void SetPlayerName(const std::string& name);            // "Maps/Player.bin"
  // A silent 16-bit mono sound of `ms` milliseconds under `name` (for example "Graphic/NoLevel.wav").
  void AddSound(const std::string& name, int ms);

 private:
  TempDir dir_;
  RecordFiles records_;
  void WriteRecords();
};

// The boy's start cell in the levels of GameFolder.
constexpr int kStartColumn = 5, kStartRow = 5;

// A replay whose first added line is the input the title menu reads in its first frame (the start-up
// frame and four of the five frames of the screen mode switch come before it). From then on every line is
// read by one frame of whichever screen is running.
class ReplayScript {
 public:
  ReplayScript();
  ReplayScript& Add(const std::string& line, int times = 1);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The name entry's pointer, which the screen places at (96, 160): motion that brings it onto a cell.
class Pointer {
 public:
  // "dx=.. dy=.." to the middle of cell (column, row) of 32 x 32 pixels.
  std::string To(int column, int row);

 private:
  int x_ = 96, y_ = 160;
};

// One text as the glyph routine drew it: glyphs side by side, one glyph width apart.
struct GlyphRun {
  double x = 0, y = 0, width = 0, height = 0;
  std::string text;
};

// One text a screen is expected to draw: its characters, place and glyph size.
struct ExpectedGlyphRow {
  const char* text;
  double x, y, width, height;
};

// Checks that the texts drawn in the last frame are exactly `rows`, in order.
void ExpectGlyphRows(const std::vector<GlyphRun>& drawn, const std::vector<ExpectedGlyphRow>& rows);

struct GameRun {
  int status = -1;
  std::string out, err;
  std::vector<GlyphRun> lastFrameText;  // the texts drawn after the last ShowFrame
  std::set<int> soundsPlayingAtEnd;     // sound slots 1..16 with a buffer still playing at shutdown
  // The first text of the last frame that starts with `prefix`; an empty run when there is none.
  GlyphRun Find(const std::string& prefix) const;
};

// Runs the game headless on the folder with the replay (and any further options), in this process.
GameRun RunGame(const GameFolder& folder, const ReplayScript& replay, std::vector<std::string> extra = {});

}  // namespace testing_support
