// Levels: the per-level start values, the layer files and the first look over a loaded level.
#include "game/Level.h"

#include "game/GameState.h"
#include "runtime/core/FileChannels.h"

void ResetLevelState() {
  GameState& g = G();
  g.Score = 0;
  g.GemsLeft = 0;
  g.KeysHeld = 0;
  g.TimeLeft = 300;
  g.TimeOver = 0;
  g.Phase = 0;
  g.ExitOpen = 0;
  g.LevelOver = 0;
  g.BoyX = g.BoyY = 0;
  g.BoyState = g.BoyFrame = g.BoyStep = 0;
  g.GemFrame = g.FireFrame = g.ExitFrame = 0;
  g.FruitShowing = g.FruitSlot = g.FruitFrame = 0;
  g.FruitX = g.FruitY = 0;
  // A cloud still running carries over into the next game; the other effects start afresh.
  g.GemSuckFx = g.KeySuckFx = g.BoomFx = g.ShrinkFx = Effect{};
  for (int i = 0; i < kCells; ++i) {
    g.MoveKind[i] = 0;
    g.MoveDir[i] = 0;
    g.MoveFrame[i] = 0;
    g.MoveY[i] = 0;
    g.MoveX[i] = 0;
  }
  for (int i = 0; i < 6; ++i) {
    g.BlastX[i] = 0;
    g.BlastY[i] = 0;
    g.BlastFrame[i] = 0;
  }
}

void LoadLevel() {
  GameState& g = G();
  RtNumArray* layers[4] = {&g.GroundMap, &g.ItemMap, &g.CoverMap, &g.ActorMap};
  const char* suffixes[4] = {"-1.bin", "-2.bin", "-3.bin", "-4.bin"};
  for (int k = 0; k < 4; ++k) {
    const RtString path = RtString("./Maps/Map") + g.LevelNumber + suffixes[k];
    FileOpen(1, path, 1);
    for (int i = 0; i < kCells; ++i) (*layers[k])[i] = ReadByte(1);
    FileClose(1);
  }
}

void ScanLevel() {
  GameState& g = G();
  // Row 29 and column 39 are not visited: a level keeps its solid frame there.
  for (int row = 0; row <= 28; ++row) {
    for (int column = 0; column <= 38; ++column) {
      const int index = row * kColumns + column;
      if (g.ActorMap[index] == 13) {
        g.BoyX = column * 16;
        g.BoyY = row * 16;
      } else if (g.ItemMap[index] == 76) {
        g.GemsLeft = g.GemsLeft + 1;
      } else if (g.ItemMap[index] == 3) {
        g.GemsLeft = g.GemsLeft + 5;
      }
    }
  }
}
