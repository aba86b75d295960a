// The rules of a game on a level, over a state they are given: one frame at a time, in the play loop's
// fixed order. Who is called first sees the other's cells as they were, so the order is part of the rules.
// Pictures, sounds and the record of a won level leave the rules only as effects, which the play loop
// turns into drawing and sound and a player looking ahead leaves out.
#pragma once

#include "game/PlayState.h"
#include "runtime/core/RuntimeContext.h"

// The keys the boy listens to, as held in one frame.
struct BoyKeys {
  bool right = false, left = false, up = false, down = false, space = false;
  bool operator==(const BoyKeys&) const = default;
};

// What a frame does besides changing the state. This base shows nothing and plays nothing.
class PlayEffects {
 public:
  virtual ~PlayEffects() = default;
  // False when nothing is shown: the rules then skip the passes that only draw.
  virtual bool Shows() const { return false; }
  // Frame `frame` of sprite slot `slot` with its top-left corner at (x, y).
  virtual void Draw(double /*slot*/, double /*frame*/, double /*x*/, double /*y*/) {}
  // Starts a sound; gives its channel, or -1 when none started.
  virtual double Play(double /*slot*/) { return -1; }
  // The boy reached the open exit: Score is final and LevelNumber is still the level played.
  virtual void LevelWon() {}
};

class PlayRules {
 public:
  PlayRules(PlayState& state, RandomState& random, PlayEffects& effects)
      : s_(state), random_(random), fx_(effects) {}

  // One frame of a game: everything between the Escape test and the score line.
  void PlayFrame(const BoyKeys& keys);

  // The parts of a frame, in their order (Boy.cpp, World.cpp, PlayRules.cpp).
  void DrawGround();
  void DrawItems();                     // also advances the gem, fire and exit animations
  void MoveBaddies();                   // every 8th frame (Phase 0)
  void UpdateBoy(const BoyKeys& keys);  // the boy's decision, between steps
  void RunFruit();                      // the fruit's animation
  void MoveBoy();                       // the boy's step along, drawn
  void AnimateBaddies();
  void RunEffects();  // pick-up, cloud and exit effects
  void SpawnFruit();
  void DrawCover();
  void RunBlasts();
  void RunBoom();
  void RunClock();
  void OpenExit();

  // Starts a large blast with its top-left cell at pixel (x, y), in the first unused of six slots.
  void StartBlast(double x, double y);

 private:
  double Random(double n);
  // Runs a short effect: draws its frame and ends it after `frames` frames. True when it ended.
  bool StepEffect(Effect& fx, double slot, int frames);
  void StepBoyInto(int from, int offset, double state);
  void Walk(int a, int dir);
  void TurnInPlace(int a);
  bool Free(int at) const;
  void DecideBaddie(int a, double heading);

  PlayState& s_;
  RandomState& random_;
  PlayEffects& fx_;
};

// Sets every per-level number to its start value and clears the movement and blast tables.
void ResetLevelState(PlayState& s);
// Finds the boy's start cell and adds up the gems to collect (boxes count 5).
void ScanLevel(PlayState& s);
