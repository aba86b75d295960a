// Levels on the game's own state: the per-level start values, the layer files and the first look over a
// loaded level (the rules for the first and the last are in PlayRules.cpp).
#include "game/Level.h"

#include <cstdint>

#include "game/GameState.h"
#include "game/PlayRules.h"
#include "runtime/core/FileChannels.h"

void ResetLevelState() {
  ResetLevelState(G());
}

void LoadLevel() {
  GameState& g = G();
  RtNumArray* layers[4] = {&g.GroundMap, &g.ItemMap, &g.CoverMap, &g.ActorMap};
  const char* suffixes[4] = {"-1.bin", "-2.bin", "-3.bin", "-4.bin"};
  for (int k = 0; k < 4; ++k) {
    const RtString path = RtString("./Maps/Map") + g.LevelNumber + suffixes[k];
    FileOpen(1, path, 1);
    uint8_t bytes[kCells];
    ReadBlock(1, 1, kCells, bytes);
    FileClose(1);
    for (int i = 0; i < kCells; ++i) (*layers[k])[i] = bytes[i];
  }
}

void ScanLevel() {
  ScanLevel(G());
}
