// The play rules on a state they are given: a copy of a game plays on ahead without touching the game it
// came from, the rules change the state the same whether or not anything is shown, and what they do
// besides (pictures, sounds, a won level) reaches the world only through the effects they are handed.
#include "game/PlayRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/GameState.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameTestSupport.h"

namespace {

using testing_support::Cell;
using testing_support::NewField;
using testing_support::PutBoy;
using testing_support::SameGenerator;

// Keeps every effect in order, as text.
class RecordedEffects : public PlayEffects {
 public:
  explicit RecordedEffects(bool shows) : shows_(shows) {}
  bool Shows() const override { return shows_; }
  void Draw(double slot, double frame, double x, double y) override {
    log.push_back("draw " + std::to_string(static_cast<int>(slot)) + " " +
                  std::to_string(static_cast<int>(frame)) + " " + std::to_string(static_cast<int>(x)) + "," +
                  std::to_string(static_cast<int>(y)));
  }
  double Play(double slot) override {
    log.push_back("sound " + std::to_string(static_cast<int>(slot)));
    return 3;
  }
  void LevelWon() override {
    log.push_back("won " + (state ? std::to_string(static_cast<int>(state->LevelNumber)) : std::string()));
  }

  const PlayState* state = nullptr;
  std::vector<std::string> log;

 private:
  bool shows_;
};

// A field with the boy, two gems to his right, the exit below where he stops, a baddie walking a corridor and
// a turn marker it passes: enough for every rule to take part within a few hundred frames.
PlayState BusyField() {
  NewField(7);
  GameState& g = G();
  PutBoy(5, 5);
  g.ItemMap[Cell(6, 5)] = cell::kGem;
  g.ItemMap[Cell(8, 5)] = cell::kGem;
  g.ItemMap[Cell(10, 9)] = cell::kExit;
  g.ActorMap[Cell(25, 25)] = cell::kBaddieRight;
  g.ItemMap[Cell(33, 25)] = cell::kTurnMarker;
  g.GemsLeft = 2;
  return g;
}

BoyKeys Right() {
  BoyKeys k;
  k.right = true;
  return k;
}

// The keys of the test run: right to the gems, then down to the exit.
BoyKeys KeysAt(int frame) {
  BoyKeys k;
  if (frame < 40)
    k.right = true;
  else
    k.down = true;
  return k;
}

bool SameField(const PlayState& a, const PlayState& b) {
  for (int i = 0; i < kCells; ++i) {
    if (a.ItemMap[i] != b.ItemMap[i] || a.ActorMap[i] != b.ActorMap[i] || a.MoveX[i] != b.MoveX[i] ||
        a.MoveY[i] != b.MoveY[i] || a.MoveKind[i] != b.MoveKind[i])
      return false;
  }
  return a.BoyX == b.BoyX && a.BoyY == b.BoyY && a.BoyState == b.BoyState && a.Score == b.Score &&
         a.GemsLeft == b.GemsLeft && a.TimeLeft == b.TimeLeft && a.Phase == b.Phase &&
         a.GemFrame == b.GemFrame && a.ExitFrame == b.ExitFrame && a.FruitShowing == b.FruitShowing;
}

TEST(PlayRules, ACopyPlaysOnAheadWithoutTouchingTheGameItCameFrom) {
  PlayState game = BusyField();
  RandomState random = Rt().random;
  PlayEffects silent;
  for (int f = 0; f < 10; ++f) PlayRules(game, random, silent).PlayFrame(KeysAt(f));

  // Look ahead on a copy, then play the game itself the same way: both end alike.
  PlayState ahead = game;
  RandomState aheadRandom = random;
  const RandomState runtimeRandom = Rt().random;
  for (int f = 10; f < 200; ++f) PlayRules(ahead, aheadRandom, silent).PlayFrame(KeysAt(f));
  EXPECT_EQ(game.GemsLeft, 1) << "the look-ahead took nothing from the game itself";
  EXPECT_TRUE(SameGenerator(Rt().random, runtimeRandom)) << "the runtime's own generator was not used";
  EXPECT_FALSE(SameGenerator(random, aheadRandom));

  for (int f = 10; f < 200; ++f) PlayRules(game, random, silent).PlayFrame(KeysAt(f));
  EXPECT_TRUE(SameField(game, ahead));
  EXPECT_TRUE(SameGenerator(random, aheadRandom));
  EXPECT_EQ(game.BoyState, boy::kLeaving) << "the run reaches the exit";
}

TEST(PlayRules, TheStateChangesAlikeWhetherOrNotAnythingIsShown) {
  PlayState shown = BusyField();
  PlayState hidden = shown;
  RandomState shownRandom = Rt().random, hiddenRandom = Rt().random;
  RecordedEffects screen(true), silent(false);
  for (int f = 0; f < 200; ++f) {
    PlayRules(shown, shownRandom, screen).PlayFrame(KeysAt(f));
    PlayRules(hidden, hiddenRandom, silent).PlayFrame(KeysAt(f));
    ASSERT_TRUE(SameField(shown, hidden)) << "frame " << f;
  }
  // Only the passes that draw the layers are left out: the figures and the sounds come just the same.
  std::vector<std::string> shownSounds, hiddenSounds;
  for (const auto& e : screen.log)
    if (e.rfind("sound", 0) == 0) shownSounds.push_back(e);
  for (const auto& e : silent.log)
    if (e.rfind("sound", 0) == 0) hiddenSounds.push_back(e);
  EXPECT_EQ(shownSounds, hiddenSounds);
  EXPECT_GT(screen.log.size(), 200u * kCells) << "the ground alone is drawn every frame";
}

TEST(PlayRules, EffectsComeInTheFrameOrderAndAWonLevelBeforeTheLevelNumberMovesOn) {
  PlayState s = BusyField();
  s.LevelNumber = 4;
  RandomState random = Rt().random;
  RecordedEffects fx(false);
  fx.state = &s;
  PlayRules(s, random, fx).PlayFrame(Right());  // steps onto the first gem
  ASSERT_FALSE(fx.log.empty());
  EXPECT_EQ(fx.log.front(), "sound " + std::to_string(sound::kGem));
  // The boy's figure is drawn after his decision, lower half first, in the slot of his way.
  EXPECT_EQ(fx.log[1], "draw " + std::to_string(sprite::kBoyRightLower) + " 0 82,80");
  EXPECT_EQ(fx.log[2], "draw " + std::to_string(sprite::kBoyRightUpper) + " 0 82,64");

  for (int f = 1; f < 200 && s.BoyState != boy::kLeaving; ++f) PlayRules(s, random, fx).PlayFrame(KeysAt(f));
  ASSERT_EQ(s.BoyState, boy::kLeaving);
  const auto won = std::find(fx.log.begin(), fx.log.end(), "won 4");
  ASSERT_NE(won, fx.log.end()) << "the record is told the level played, not the next one";
  ASSERT_NE(won + 1, fx.log.end());
  EXPECT_EQ(*(won + 1), "sound " + std::to_string(sound::kExit));
  EXPECT_EQ(s.LevelNumber, 5);
  EXPECT_EQ(s.ExitSoundChannel, 3) << "the channel the exit sound was given";
}

}  // namespace
