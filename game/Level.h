// Levels: preparing a game, reading a level's four layer files, and finding the start cell and the gems.
#pragma once

// Sets every per-level number to its start value and clears the movement and blast tables.
void ResetLevelState();
// Reads "./Maps/Map<n>-1.bin" .. "-4.bin" of LevelNumber into the four layers.
void LoadLevel();
// Finds the boy's start cell and adds up the gems to collect (boxes count 5).
void ScanLevel();
