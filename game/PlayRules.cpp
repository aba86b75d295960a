// A frame of a game in its order, the passes that draw the layers, the short effects and the clock; and the
// start of a level. The boy's rules are in Boy.cpp, the baddies', the fruit's and the blasts' in World.cpp.
#include "game/PlayRules.h"

namespace {

void Advance(double& frame, int count) {
  frame = frame + 1;
  if (frame == count) frame = 0;
}

}  // namespace

void PlayRules::PlayFrame(const BoyKeys& keys) {
  DrawGround();
  DrawItems();
  MoveBaddies();
  UpdateBoy(keys);
  RunFruit();
  MoveBoy();
  AnimateBaddies();
  RunEffects();
  SpawnFruit();
  DrawCover();
  RunBlasts();
  RunBoom();
  RunClock();
  OpenExit();
}

bool PlayRules::StepEffect(Effect& fx, double slot, int frames) {
  fx_.Draw(slot, fx.frame, fx.x, fx.y);
  fx.frame = fx.frame + 1;
  if (fx.frame == frames) {
    fx.frame = 0;
    fx.y = 0;
    return true;
  }
  return false;
}

void PlayRules::DrawGround() {
  if (!fx_.Shows()) return;
  for (int row = 0; row < kRows; ++row)
    for (int column = 0; column < kColumns; ++column)
      fx_.Draw(sprite::kTiles, s_.GroundMap[row * kColumns + column], column * kCellSize, row * kCellSize);
}

void PlayRules::DrawItems() {
  PlayState& g = s_;
  if (fx_.Shows()) {
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        const double v = g.ItemMap[row * kColumns + column];
        const double x = column * kCellSize, y = row * kCellSize;
        if (v == cell::kExit)
          fx_.Draw(sprite::kExit, g.ExitFrame, x, y);
        else if (v == cell::kGem)
          fx_.Draw(sprite::kGem, g.GemFrame, x, y);
        else if (v == cell::kFire)
          fx_.Draw(sprite::kFire, g.FireFrame, x, y);
        else if (v > 0 && v != cell::kTurnMarker)
          fx_.Draw(sprite::kTiles, v, x, y);
      }
    }
  }
  Advance(g.FireFrame, 8);
  Advance(g.GemFrame, 8);
  if (g.GemsLeft == 0) Advance(g.ExitFrame, 8);  // the exit shows frame 0 until it opens
}

void PlayRules::RunFruit() {
  if (s_.FruitShowing != 1) return;
  fx_.Draw(s_.FruitSlot, s_.FruitFrame, s_.FruitX, s_.FruitY);
  Advance(s_.FruitFrame, 16);
}

void PlayRules::RunEffects() {
  PlayState& g = s_;
  // Pick-up effects, at most one per frame.
  if (g.GemSuckFx.y > 0)
    StepEffect(g.GemSuckFx, sprite::kGemSuck, 8);
  else if (g.KeySuckFx.y > 0)
    StepEffect(g.KeySuckFx, sprite::kKeySuck, 8);
  // The fruit is gone once the cloud over the baddie that ate it has passed.
  if (g.CloudFx.y > 0 && StepEffect(g.CloudFx, sprite::kCloud, 8)) g.FruitShowing = 0;
  // The boy shrinking away through the exit ends the game.
  if (g.ShrinkFx.y > 0) {
    fx_.Draw(sprite::kShrinkLower, g.ShrinkFx.frame, g.ShrinkFx.x, g.ShrinkFx.y);
    fx_.Draw(sprite::kShrinkUpper, g.ShrinkFx.frame, g.ShrinkFx.x, g.ShrinkFx.y - kCellSize);
    g.ShrinkFx.frame = g.ShrinkFx.frame + 1;
    if (g.ShrinkFx.frame == 16) {
      g.LevelOver = 1;
      g.ShrinkFx.frame = 0;
      g.ShrinkFx.y = 0;
    }
  }
}

void PlayRules::DrawCover() {
  if (!fx_.Shows()) return;
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const double v = s_.CoverMap[row * kColumns + column];
      if (v > 0) fx_.Draw(sprite::kTiles, v, column * kCellSize, row * kCellSize);
    }
  }
}

void PlayRules::RunBoom() {
  if (s_.BoomFx.y > 0) StepEffect(s_.BoomFx, sprite::kBlast, 8);
}

// The clock counts in one frame of eight: four ticks make a time unit. The last twelve units sound.
void PlayRules::RunClock() {
  PlayState& g = s_;
  if (g.Phase == 0 && g.TimeOver != 1) {
    g.TimeTick = g.TimeTick + 1;
    if (g.TimeTick == 4) {
      g.TimeTick = 0;
      g.TimeLeft = g.TimeLeft - 1;
    }
    if (g.TimeLeft == 0)
      g.TimeOver = 1;
    else if (g.TimeLeft >= 0 && g.TimeLeft <= 12 && g.TimeTick == 0)
      fx_.Play(sound::kTimeRunsOut);
  }
  g.Phase = g.Phase + 2;
  if (g.Phase == 16) g.Phase = 0;
}

void PlayRules::OpenExit() {
  if (s_.GemsLeft == 0 && s_.ExitOpen == 0) {
    s_.ExitOpen = 1;
    fx_.Play(sound::kExitOpens);
  }
}

void ResetLevelState(PlayState& g) {
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

void ScanLevel(PlayState& g) {
  // Row 29 and column 39 are not visited: a level keeps its solid frame there.
  for (int row = 0; row <= kRows - 2; ++row) {
    for (int column = 0; column <= kColumns - 2; ++column) {
      const int index = row * kColumns + column;
      if (g.ActorMap[index] == cell::kBoy) {
        g.BoyX = column * kCellSize;
        g.BoyY = row * kCellSize;
      } else if (g.ItemMap[index] == cell::kGem) {
        g.GemsLeft = g.GemsLeft + 1;
      } else if (g.ItemMap[index] == cell::kGemBox) {
        g.GemsLeft = g.GemsLeft + 5;
      }
    }
  }
}
