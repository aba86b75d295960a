// The game's state value and the declaration of its arrays.
#include "game/GameState.h"

namespace {
GameState* gGame = nullptr;
}

GameState& G() {
  if (!gGame) gGame = new GameState();
  return *gGame;
}

void ResetGameState() {
  delete gGame;
  gGame = new GameState();
}

void DeclareGameArrays(GameState& g) {
  DimNumArray(g.BlastX, 6, 0, 0, 0);
  DimNumArray(g.BlastY, 6, 0, 0, 0);
  DimNumArray(g.BlastFrame, 6, 0, 0, 0);
  DimNumArray(g.GroundMap, kCells, 0, 0, 0);
  DimNumArray(g.ItemMap, kCells, 0, 0, 0);
  DimNumArray(g.CoverMap, kCells, 0, 0, 0);
  DimNumArray(g.ActorMap, kCells, 0, 0, 0);
  DimNumArray(g.MoveX, kCells, 0, 0, 0);
  DimNumArray(g.MoveY, kCells, 0, 0, 0);
  DimNumArray(g.MoveFrame, kCells, 0, 0, 0);
  DimNumArray(g.MoveDir, kCells, 0, 0, 0);
  DimNumArray(g.MoveKind, kCells, 0, 0, 0);
  DimNumArray(g.Spare1, kCells, 0, 0, 0);
  DimNumArray(g.Spare2, kCells, 0, 0, 0);
  DimNumArray(g.Spare3, kCells, 0, 0, 0);
  DimNumArray(g.Spare4, kCells, 0, 0, 0);
  DimNumArray(g.Spare5, kCells, 0, 0, 0);
  DimNumArray(g.ShiftScores, 8, 0, 0, 0);
  DimStrArray(g.ShownNames, 8, 0, 0, 0);
  DimStrArray(g.ShiftNames, 8, 0, 0, 0);
  DimStrArray(g.ScoreNames, 800, 0, 0, 0);
  DimNumArray(g.Scores, 800, 0, 0, 0);
  DimNumArray(g.ScoreNameBytes, 6400, 0, 0, 0);
  DimNumArray(g.PlayerSlotBytes, 32, 0, 0, 0);
  DimStrArray(g.PlayerSlots, 4, 0, 0, 0);
  DimNumArray(g.Spare6, 8, 0, 0, 0);
  DimNumArray(g.PlayerNameBytes, 8, 0, 0, 0);
  DimNumArray(g.CreditCodes, 16, 0, 0, 0);
}
