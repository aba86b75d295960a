// The play loop: the screen of one game. Each frame runs the play rules on the game's own state, with the
// keys held, drawing on the screen and sounding through the sound slots; then the score line.
#include "game/PlayLoop.h"

#include "game/GameState.h"
#include "game/Records.h"
#include "runtime/core/Input.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"

namespace {

// The rules' effects as the player sees and hears them; a won level goes into the records at once.
class ScreenEffects : public PlayEffects {
 public:
  bool Shows() const override { return true; }
  void Draw(double slot, double frame, double x, double y) override { DrawAnimFrame(slot, frame, x, y); }
  double Play(double slot) override { return PlaySound(slot, 0, 1); }
  void LevelWon() override {
    RecordLevelScore();
    SaveScores();
  }
};

ScreenEffects gScreen;

}  // namespace

BoyKeys HeldBoyKeys() {
  BoyKeys k;
  k.right = KeyState(key::kRight) == 1;
  k.left = KeyState(key::kLeft) == 1;
  k.up = KeyState(key::kUp) == 1;
  k.down = KeyState(key::kDown) == 1;
  k.space = KeyState(key::kSpace) == 1;
  return k;
}

PlayRules GameRules() {
  return PlayRules(G(), Rt().random, gScreen);
}

void PlayLevel() {
  GameState& g = G();
  PlayRules rules = GameRules();
  for (;;) {
    if (KeyState(key::kEscape) == 1) return;  // the game is left at once, nothing recorded
    rules.PlayFrame(HeldBoyKeys());
    PrintText(RtString("SCORE ") + g.Score, 0, 462);
    PrintText(RtString("GEMS ") + g.GemsLeft, 250, 462);
    PrintText(RtString("Time ") + g.TimeLeft, 450, 462);
    ShowFrame();

    if (g.LevelOver == 1 && SoundPlaying(g.ExitSoundChannel) == 0) return;
  }
}
