// The state of one game on a level: the four layers, the walking baddies, the blasts, the boy, the fruit,
// the clock and the short effects. The play rules read and change only this (and the random generator),
// so a copy of it is a game that can be played on ahead.
#pragma once

#include "game/GameWords.h"
#include "runtime/core/RtArray.h"

// A short effect animation: running while y > 0, started by writing x and y.
struct Effect {
  double frame = 0;
  double x = 0;
  double y = 0;
};

struct PlayState {
  // Six large blasts: the top-left corner of the 2 x 2 cells blown away, and the animation frame.
  RtNumArray BlastX, BlastY, BlastFrame;
  // The four layers of the field (kCells each).
  RtNumArray GroundMap, ItemMap, CoverMap, ActorMap;
  // A baddie walking or turning, under the cell it started from: position, frame, way, and MoveKind 1
  // while it moves.
  RtNumArray MoveX, MoveY, MoveFrame, MoveDir, MoveKind;

  double LevelNumber = 0;
  double Score = 0;
  double GemsLeft = 0;
  double KeysHeld = 0;
  double TimeLeft = 0;
  double TimeTick = 0;
  double TimeOver = 0;
  double Phase = 0;  // 0, 2, .. 14: baddies decide and the clock ticks at 0
  double ExitOpen = 0;
  double LevelOver = 0;
  double ExitSoundChannel = 0;
  double BoyX = 0, BoyY = 0;
  double BoyState = 0;  // boy::
  double BoyFrame = 0;
  double BoyStep = 0;
  double GemFrame = 0, FireFrame = 0, ExitFrame = 0;
  double FruitShowing = 0;
  double FruitSlot = 0;
  double FruitFrame = 0;
  double FruitX = 0, FruitY = 0;
  Effect GemSuckFx, KeySuckFx, BoomFx, ShrinkFx, CloudFx;
};
