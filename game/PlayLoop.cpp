// The play loop. Each frame draws the layers in order and calls the boy's and the world's routines in a
// fixed order: who is called first sees the other's cells as they were, so the order is part of the rules.
#include "game/PlayLoop.h"

#include "game/Boy.h"
#include "game/GameState.h"
#include "game/World.h"
#include "runtime/core/Input.h"
#include "runtime/core/Runtime.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/sound/Sound.h"

namespace {

// Runs a short effect: draws its frame and ends it after `frames` frames. Returns true when it ended.
bool StepEffect(Effect& fx, double slot, int frames) {
  DrawAnimFrame(slot, fx.frame, fx.x, fx.y);
  fx.frame = fx.frame + 1;
  if (fx.frame == frames) {
    fx.frame = 0;
    fx.y = 0;
    return true;
  }
  return false;
}

void Advance(double& frame, int count) {
  frame = frame + 1;
  if (frame == count) frame = 0;
}

}  // namespace

void DrawItems() {
  GameState& g = G();
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const double v = g.ItemMap[row * kColumns + column];
      const double x = column * 16, y = row * 16;
      if (v == 74)
        DrawAnimFrame(2, g.ExitFrame, x, y);
      else if (v == 76)
        DrawAnimFrame(3, g.GemFrame, x, y);
      else if (v == 109)
        DrawAnimFrame(4, g.FireFrame, x, y);
      else if (v > 0 && v != 73)
        DrawAnimFrame(1, v, x, y);
    }
  }
  Advance(g.FireFrame, 8);
  Advance(g.GemFrame, 8);
  if (g.GemsLeft == 0) Advance(g.ExitFrame, 8);  // the exit shows frame 0 until it opens
}

void PlayLevel() {
  GameState& g = G();
  for (;;) {
    if (KeyState(1) == 1) return;  // Escape: the game is left at once, nothing recorded

    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column)
        DrawAnimFrame(1, g.GroundMap[row * kColumns + column], column * 16, row * 16);
    DrawItems();
    MoveBaddies();
    UpdateBoy();
    if (g.FruitShowing == 1) {
      DrawAnimFrame(g.FruitSlot, g.FruitFrame, g.FruitX, g.FruitY);
      Advance(g.FruitFrame, 16);
    }
    DrawBoy();
    AnimateBaddies();

    // Pick-up effects, at most one per frame.
    if (g.GemSuckFx.y > 0)
      StepEffect(g.GemSuckFx, 13, 8);
    else if (g.KeySuckFx.y > 0)
      StepEffect(g.KeySuckFx, 14, 8);
    if (g.CloudFx.y > 0 && StepEffect(g.CloudFx, 36, 8)) g.FruitShowing = 0;
    if (g.ShrinkFx.y > 0) {
      DrawAnimFrame(16, g.ShrinkFx.frame, g.ShrinkFx.x, g.ShrinkFx.y);
      DrawAnimFrame(15, g.ShrinkFx.frame, g.ShrinkFx.x, g.ShrinkFx.y - 16);
      g.ShrinkFx.frame = g.ShrinkFx.frame + 1;
      if (g.ShrinkFx.frame == 16) {
        g.LevelOver = 1;
        g.ShrinkFx.frame = 0;
        g.ShrinkFx.y = 0;
      }
    }
    SpawnFruit();

    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        const double v = g.CoverMap[row * kColumns + column];
        if (v > 0) DrawAnimFrame(1, v, column * 16, row * 16);
      }
    }
    DrawBlasts();
    if (g.BoomFx.y > 0) StepEffect(g.BoomFx, 17, 8);

    // The clock counts in one frame of eight: four ticks make a time unit.
    if (g.Phase == 0 && g.TimeOver != 1) {
      g.TimeTick = g.TimeTick + 1;
      if (g.TimeTick == 4) {
        g.TimeTick = 0;
        g.TimeLeft = g.TimeLeft - 1;
      }
      if (g.TimeLeft == 0)
        g.TimeOver = 1;
      else if (g.TimeLeft >= 0 && g.TimeLeft <= 12 && g.TimeTick == 0)
        PlaySound(11, 0, 1);
    }
    g.Phase = g.Phase + 2;
    if (g.Phase == 16) g.Phase = 0;

    if (g.GemsLeft == 0 && g.ExitOpen == 0) {
      g.ExitOpen = 1;
      PlaySound(4, 0, 1);
    }

    PrintText(RtString("SCORE ") + g.Score, 0, 462);
    PrintText(RtString("GEMS ") + g.GemsLeft, 250, 462);
    PrintText(RtString("Time ") + g.TimeLeft, 450, 462);
    ShowFrame();

    if (g.LevelOver == 1 && SoundPlaying(g.ExitSoundChannel) == 0) return;
  }
}
