// The automatic player that finds a winning replay for a level: a greedy plan over the boy's cell moves
// (nearest gem, key or box; switches when nothing else can be reached; the exit last), played with the
// game's own rules on a copy of the game, with a look-ahead that waits or steps aside when a baddie would
// catch the boy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/PlayRules.h"
#include "tools/levels/LevelCompiler.h"

namespace levels {

// One game on a level as the solver plays it: the game's rules on a state and a random generator of its
// own, so that a copy can be played on ahead. Nothing is drawn or heard.
struct SolverGame {
  PlayState state;
  RandomState random;
  long long frame = 0;  // frames played
  bool won = false;

  // The title menu's start of a game (ResetLevelState, the four layers, ScanLevel) with a generator
  // seeded the way the game seeds it at start-up.
  void Start(const Layers& L, int32_t seed);

  int Item(int i) const { return static_cast<int>(state.ItemMap[i]); }
  int Actor(int i) const { return static_cast<int>(state.ActorMap[i]); }
  int BoyCell() const {
    return static_cast<int>(state.BoyY / kCellSize) * kColumns + static_cast<int>(state.BoyX / kCellSize);
  }
  int Score() const { return static_cast<int>(state.Score); }
  bool Dead() const { return state.BoyState == boy::kExploded; }
  // The boy takes a decision in this frame's UpdateBoy.
  bool Deciding() const {
    return state.BoyStep == 0 && state.BoyState != boy::kExploded && state.BoyState != boy::kLeaving;
  }

  // One frame of the play loop with these keys held.
  void Step(const BoyKeys& keys);
};

constexpr long long kTimeLimitFrames = 9600;

// What the boy does at one decision: the keys to hold until the next one.
BoyKeys KeysFor(int dir);

// Cells the boy may plan to walk through: free ones, ones a baddie may leave, and items he takes.
bool Passable(const SolverGame& s, int n);

// The greedy plan: keys for this decision. `stuck` is set when nothing useful can be reached.
BoyKeys GreedyKeys(const SolverGame& s, bool* stuck = nullptr);

struct SolveResult {
  bool won = false;
  std::vector<BoyKeys> frames;  // keys of every play frame, the winning one included
  long long winFrame = -1;
  int score = 0;
  std::string why;  // why it failed
};

// Plays a candidate forward from `s`: `first` for `hold` frames, idle for `wait` frames, then the greedy
// plan, up to `horizon` frames. Returns the frames survived (horizon when the boy is still alive).
int Survives(SolverGame s, const BoyKeys& first, int hold, int wait, int horizon);

// The look-ahead of the first candidate at a decision, the plan itself, kept from one decision to the
// next. While the boy does what the plan says, his game is this look-ahead's game a few frames later (the
// rules, the generator and the keys are the same), so the next decision's look-ahead is this one played on
// for a few more frames rather than played again from the start.
class PlanLookAhead {
 public:
  // Frames the boy survives from `s` (at a decision) following the plan: Survives(s, plan, 1, 0, horizon).
  int Life(const SolverGame& s, int horizon);
  // The boy held other keys than the plan's: the look-ahead no longer shows his game.
  void Forget() { valid_ = false; }

 private:
  void Restart(const SolverGame& s);

  SolverGame game_;
  BoyKeys keys_;
  bool valid_ = false;
  bool ended_ = false;  // the look-ahead's boy died (died_) or won after frame end_
  bool died_ = false;
  long long end_ = 0;
};

// Finds a winning run with the given seed, or explains why not.
SolveResult SolveLevel(const Layers& layers, int32_t seed, int horizon = 72);

// The replay of a whole run: the title menu steps to `level` and starts it, the boy plays `frames`, and a
// short tail lets the exit finish and the menu come back.
std::string ReplayText(int level, int32_t seed, const std::vector<BoyKeys>& frames);

}  // namespace levels
