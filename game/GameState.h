// The game's state: every global number, string and array of the game in one value, under the names the
// routines use. Tests make it fresh with ResetGameState.
#pragma once

#include <vector>

#include "runtime/core/RtArray.h"
#include "runtime/core/RtString.h"

// A short effect animation: running while y > 0, started by writing x and y.
struct Effect {
  double frame = 0;
  double x = 0;
  double y = 0;
};

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

struct GameState {
  // Arrays, in the order the game main declares them.
  RtNumArray BlastX, BlastY, BlastFrame;
  RtNumArray GroundMap, ItemMap, CoverMap, ActorMap;
  RtNumArray MoveX, MoveY, MoveFrame, MoveDir, MoveKind;
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

  // Level scalars.
  double LevelNumber = 0;
  double Score = 0;
  double GemsLeft = 0;
  double KeysHeld = 0;
  double TimeLeft = 0;
  double TimeTick = 0;
  double TimeOver = 0;
  double Phase = 0;
  double ExitOpen = 0;
  double LevelOver = 0;
  double ExitSoundChannel = 0;
  double BoyX = 0, BoyY = 0;
  double BoyState = 0;
  double BoyFrame = 0;
  double BoyStep = 0;
  double GemFrame = 0, FireFrame = 0, ExitFrame = 0;
  double FruitShowing = 0;
  double FruitSlot = 0;
  double FruitFrame = 0;
  double FruitX = 0, FruitY = 0;
  Effect GemSuckFx, KeySuckFx, BoomFx, ShrinkFx, CloudFx;

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
void DeclareGameArrays();

// Cell geometry.
constexpr int kColumns = 40;
constexpr int kRows = 30;
constexpr int kCells = kColumns * kRows;
