// The game's state: every global number, string and array of the game in one value, under the names the
// routines use. Tests make it fresh with ResetGameState.
#pragma once

#include <vector>

#include "game/PlayState.h"
#include "runtime/core/RtArray.h"
#include "runtime/core/RtString.h"

// The title menu's highlight box.
struct MenuBox {
  double state = 0;  // 0 resting, 1 moving down, 2 moving up
  double frame = 0;  // animation frame 0..7
  double x = 0;      // always 128
  double y = 0;      // 128, 160, 192 or 224 at rest
};

// A finished level's result as RecordLevelScore entered it into the high-score table.
struct LevelResult {
  double level = 0;
  double score = 0;
  RtString name;
};

// The play state (the field, the boy, the baddies, the clock) and everything the menus and records keep.
struct GameState : PlayState {
  // Arrays the game main declares besides the play state's; DeclareGameArrays gives the order of all.
  RtNumArray Spare1, Spare2, Spare3, Spare4, Spare5;  // declared, never used
  RtNumArray ShiftScores;
  RtStrArray ShownNames;
  RtStrArray ShiftNames;
  RtStrArray ScoreNames;
  RtNumArray Scores;
  RtNumArray ScoreNameBytes;
  RtNumArray PlayerSlotBytes;
  RtStrArray PlayerSlots;
  RtNumArray Spare6;  // declared, never used
  RtNumArray PlayerNameBytes;
  RtNumArray CreditCodes;

  // Menus and records.
  MenuBox MenuCursor;
  double LevelStepCounter = 0;
  double PointerFrame = 0;
  RtString PlayerName;
  RtString CreditText;
  // Results entered since the last SaveScores. The save enters them again into the tables as they are
  // on disk, where another copy of the game may have saved results of its own in the meantime.
  std::vector<LevelResult> UnsavedResults;
};

GameState& G();
void ResetGameState();

// Step 2 of the game main: declares the game's arrays in their order and sizes.
void DeclareGameArrays(GameState& g = G());
