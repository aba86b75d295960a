// The automatic player: its copy of the game, the greedy plan, the look-ahead and the replay text.
#include "tools/levels/Solver.h"

#include <algorithm>
#include <array>

#include "game/GameState.h"
#include "runtime/core/Random.h"

namespace levels {

void SolverGame::Start(const Layers& L, int32_t seed) {
  GameState declared;
  DeclareGameArrays(declared);
  state = declared;
  ResetLevelState(state);
  for (int i = 0; i < kCells; ++i) {
    state.GroundMap[i] = L.ground[static_cast<size_t>(i)];
    state.ItemMap[i] = L.item[static_cast<size_t>(i)];
    state.CoverMap[i] = L.cover[static_cast<size_t>(i)];
    state.ActorMap[i] = L.actor[static_cast<size_t>(i)];
  }
  ScanLevel(state);
  // The game seeds once, into a generator whose result words are still zero.
  Rt().random = RandomState{};
  SeedRandom(seed);
  random = Rt().random;
  frame = 0;
  won = false;
}

void SolverGame::Step(const BoyKeys& keys) {
  struct WinWatch : PlayEffects {
    bool* won;
    explicit WinWatch(bool* w) : won(w) {}
    void LevelWon() override { *won = true; }
  } effects(&won);
  PlayRules(state, random, effects).PlayFrame(keys);
  ++frame;
}

BoyKeys KeysFor(int dir) {
  BoyKeys k;
  if (dir == 1) k.right = true;
  if (dir == 2) k.left = true;
  if (dir == 3) k.up = true;
  if (dir == 4) k.down = true;
  return k;
}

namespace {

// The field as the plan reads it: the item and actor layers through plain pointers. Both layers are read
// checked at their first and last cell, so every cell between needs no further check; the plan reads them
// some 4000 times for every decision it makes.
struct FieldView {
  const double* item;
  const double* actor;
  explicit FieldView(const SolverGame& s) : item(&s.state.ItemMap[0]), actor(&s.state.ActorMap[0]) {
    static_cast<void>(s.state.ItemMap[kCells - 1]);
    static_cast<void>(s.state.ActorMap[kCells - 1]);
  }
  int Item(int i) const { return static_cast<int>(item[i]); }
  bool Passable(int n) const {
    const int it = Item(n);
    return cell::IsOpenActor(static_cast<int>(actor[n])) || it == cell::kGem || it == cell::kKey ||
           it == cell::kFruit;
  }
};

}  // namespace

bool Passable(const SolverGame& s, int n) {
  return FieldView(s).Passable(n);
}

BoyKeys GreedyKeys(const SolverGame& s, bool* stuck) {
  if (stuck) *stuck = false;
  const FieldView field(s);
  const int start = s.BoyCell();
  std::array<int, kCells> dist;
  std::array<int, kCells> firstDir{};
  dist.fill(-1);
  // A cell joins the queue once (when its distance is set), so the queue never holds more than the field.
  std::array<int, kCells> queue;
  int head = 0, tail = 0;
  queue[tail++] = start;
  dist[start] = 0;
  const int offset[5] = {0, 1, -1, -kColumns, kColumns};
  while (head < tail) {
    const int c = queue[head++];
    // A gem or key is taken on arrival: the walk does not go through it.
    if (c != start && (field.Item(c) == cell::kGem || field.Item(c) == cell::kKey)) continue;
    for (int d = 1; d <= 4; ++d) {
      const int n = c + offset[d];
      if (n < 0 || n >= kCells || dist[n] >= 0 || !field.Passable(n)) continue;
      dist[n] = dist[c] + 1;
      firstDir[n] = c == start ? d : firstDir[c];
      queue[tail++] = n;
    }
  }
  int closedBoxes = 0;
  for (int i = 0; i < kCells; ++i) closedBoxes += field.Item(i) == cell::kGemBox;
  // Goals by priority class: 0 gems, keys and boxes; 1 the exit; 2 switches.
  int best = -1, bestClass = 3, bestDist = 1 << 30, bestAction = 0;  // action 0 walk, 3 up, 5 switch
  auto consider = [&](int standCell, int cls, int action) {
    if (standCell < 0 || standCell >= kCells || dist[standCell] < 0) return;
    if (cls < bestClass || (cls == bestClass && dist[standCell] < bestDist)) {
      best = standCell;
      bestClass = cls;
      bestDist = dist[standCell];
      bestAction = action;
    }
  };
  for (int i = 0; i < kCells; ++i) {
    const int it = field.Item(i);
    if (s.state.GemsLeft > 0) {
      if (it == cell::kGem) consider(i, 0, 0);
      if (it == cell::kKey && closedBoxes > s.state.KeysHeld) consider(i, 0, 0);
      if (it == cell::kGemBox && s.state.KeysHeld > 0) consider(i + kColumns, 0, 3);
    } else if (it == cell::kExit) {
      consider(i, 1, 0);
      consider(i + 1, 1, 0);
    }
    if (it == cell::kSwitch) consider(i + kColumns, 2, 5);
  }
  if (best < 0) {
    if (stuck) *stuck = true;
    return BoyKeys{};
  }
  if (best == start) {
    BoyKeys k;
    if (bestAction == 3) k.up = true;
    if (bestAction == 5)
      k.space = s.state.BoyState == boy::kStanding;  // a switch fires only after an idle decision
    return k;
  }
  return KeysFor(firstDir[best]);
}

int Survives(SolverGame s, const BoyKeys& first, int hold, int wait, int horizon) {
  BoyKeys current = first;
  for (int f = 0; f < horizon; ++f) {
    if (s.won) return horizon;
    if (s.Deciding()) {
      if (f < hold)
        current = first;
      else if (f < hold + wait)
        current = BoyKeys{};
      else
        current = GreedyKeys(s);
    }
    s.Step(current);
    if (s.Dead()) return f;
  }
  return horizon;
}

int PlanLookAhead::Life(const SolverGame& s, int horizon) {
  if (!valid_ || (ended_ && end_ <= s.frame)) Restart(s);
  // Play on until the horizon, or until the game ended on the way.
  while (!ended_ && game_.frame < s.frame + horizon) {
    if (game_.Deciding()) keys_ = GreedyKeys(game_);
    game_.Step(keys_);
    if (game_.Dead() || game_.won) {
      ended_ = true;
      end_ = game_.frame;
      died_ = game_.Dead();
    }
  }
  if (ended_ && died_ && end_ <= s.frame + horizon) return static_cast<int>(end_ - 1 - s.frame);
  return horizon;
}

void PlanLookAhead::Restart(const SolverGame& s) {
  game_ = s;
  valid_ = true;
  ended_ = false;
  end_ = 0;
  died_ = false;
}

SolveResult SolveLevel(const Layers& layers, int32_t seed, int horizon) {
  SolveResult r;
  SolverGame s;
  s.Start(layers, seed);
  BoyKeys current;
  int stuckFrames = 0;
  PlanLookAhead planAhead;
  while (s.frame < kTimeLimitFrames) {
    if (s.frame == 0) {
      current = BoyKeys{};  // the frame that starts the game still sees only Return
    } else if (s.Deciding()) {
      bool stuck = false;
      const BoyKeys plan = GreedyKeys(s, &stuck);
      stuckFrames = stuck ? stuckFrames + 1 : 0;
      if (stuckFrames > 400) {
        r.why = "nothing left to reach from cell (" + std::to_string(s.BoyCell() % kColumns) + ", " +
                std::to_string(s.BoyCell() / kColumns) + ") with " +
                std::to_string(static_cast<int>(s.state.GemsLeft)) + " gems left";
        break;
      }
      struct Candidate {
        BoyKeys keys;
        int hold, wait;
      };
      std::vector<Candidate> candidates = {{plan, 1, 0}, {BoyKeys{}, 1, 8}, {BoyKeys{}, 1, 24}};
      for (int d = 1; d <= 4; ++d) {
        candidates.push_back({KeysFor(d), 1, 8});
        candidates.push_back({KeysFor(d), 9, 16});
      }
      int bestLife = -1;
      current = BoyKeys{};
      for (const Candidate& c : candidates) {
        const int life =
            &c == &candidates[0] ? planAhead.Life(s, horizon) : Survives(s, c.keys, c.hold, c.wait, horizon);
        if (life > bestLife) {
          bestLife = life;
          current = c.keys;
        }
        if (life >= horizon) break;
      }
      if (!(current == plan)) planAhead.Forget();
    }
    r.frames.push_back(current);
    s.Step(current);
    if (s.won) {
      r.won = true;
      r.winFrame = s.frame;
      r.score = s.Score();
      return r;
    }
    if (s.Dead()) {
      r.why = "caught at frame " + std::to_string(s.frame);
      return r;
    }
  }
  if (r.why.empty()) r.why = "time ran out";
  return r;
}

std::string ReplayText(int level, int32_t seed, const std::vector<BoyKeys>& frames) {
  std::vector<std::pair<std::string, long long>> lines;
  auto add = [&](const std::string& keys, long long n) {
    if (n <= 0) return;
    if (!lines.empty() && lines.back().first == keys)
      lines.back().second += n;
    else
      lines.emplace_back(keys, n);
  };
  auto keyText = [](const BoyKeys& k) {
    std::string t;
    auto put = [&](bool on, int code) {
      if (!on) return;
      if (!t.empty()) t += ' ';
      t += std::to_string(code);
    };
    put(k.space, key::kSpace);
    put(k.up, key::kUp);
    put(k.left, key::kLeft);
    put(k.right, key::kRight);
    put(k.down, key::kDown);
    return t;
  };
  std::string out = "BRILLORA-REPLAY 1\nseed " + std::to_string(seed) + "\n";
  out += "# " + LevelName(level) + ": wait on the title menu, step the level number up, start with Return\n";
  add("", 30);
  add(std::to_string(key::kRight), 4LL * (level - 1));
  add("", 2);
  add(std::to_string(key::kReturn), 1);
  auto flush = [&]() {
    for (const auto& [k, n] : lines) {
      std::string line = k;
      if (n > 1) {
        if (!line.empty()) line += ' ';
        line.append("x").append(std::to_string(n));
      }
      out += line + "\n";
    }
    lines.clear();
  };
  flush();
  out += "# the boy's run\n";
  for (size_t f = 1; f < frames.size(); ++f) add(keyText(frames[f]), 1);
  flush();
  out += "# through the exit; back to the title menu\n";
  add("", 80);
  flush();
  return out;
}

}  // namespace levels
