// Every picture, the score-line font and every sound, each in the slot the game draws or plays it from.
#include "game/Resources.h"

#include "game/GameWords.h"
#include "runtime/core/RtString.h"
#include "runtime/gfx2d/Fonts.h"
#include "runtime/gfx2d/Sprites.h"
#include "runtime/sound/Sound.h"

namespace {

struct StripFile {
  int slot;
  const char* path;
  int frameWidth, frameHeight;
};

// Slots 24 to 27 stay empty; 39 to 46 (the fly strips) are loaded but never drawn.
constexpr StripFile kStrips[] = {
    {sprite::kTiles, "Graphic/Tiles1.png", 16, 16},
    {sprite::kExit, "Graphic/ExitStrip.png", 32, 32},
    {sprite::kGem, "Graphic/GemsStrip.png", 16, 16},
    {sprite::kFire, "Graphic/FireStrip.png", 16, 16},
    {sprite::kBoyRightUpper, "Graphic/BoyR1.png", 16, 16},
    {sprite::kBoyRightLower, "Graphic/BoyR2.png", 16, 16},
    {sprite::kBoyLeftUpper, "Graphic/BoyL1.png", 16, 16},
    {sprite::kBoyLeftLower, "Graphic/BoyL2.png", 16, 16},
    {sprite::kBoyUpUpper, "Graphic/BoyU1.png", 16, 16},
    {sprite::kBoyUpLower, "Graphic/BoyU2.png", 16, 16},
    {sprite::kBoyDownUpper, "Graphic/BoyD1.png", 16, 16},
    {sprite::kBoyDownLower, "Graphic/BoyD2.png", 16, 16},
    {sprite::kGemSuck, "Graphic/DiaSuck.png", 16, 16},
    {sprite::kKeySuck, "Graphic/KeySuck.png", 16, 16},
    {sprite::kShrinkUpper, "Graphic/Shrink1.png", 16, 16},
    {sprite::kShrinkLower, "Graphic/Shrink2.png", 16, 16},
    {sprite::kBlast, "Graphic/ExplosStrip.png", 32, 32},
    {sprite::kFirstFruit + 0, "Graphic/Fruit0.png", 16, 16},
    {sprite::kFirstFruit + 1, "Graphic/Fruit1.png", 16, 16},
    {sprite::kFirstFruit + 2, "Graphic/Fruit2.png", 16, 16},
    {sprite::kFirstFruit + 3, "Graphic/Fruit3.png", 16, 16},
    {sprite::kFirstFruit + 4, "Graphic/Fruit4.png", 16, 16},
    {sprite::kFirstFruit + 5, "Graphic/Fruit5.png", 16, 16},
    {sprite::kBaddieRightUpper, "Graphic/BadR1Strip.png", 16, 16},
    {sprite::kBaddieRightLower, "Graphic/BadR2Strip.png", 16, 16},
    {sprite::kBaddieLeftUpper, "Graphic/BadL1Strip.png", 16, 16},
    {sprite::kBaddieLeftLower, "Graphic/BadL2Strip.png", 16, 16},
    {sprite::kBaddieUpUpper, "Graphic/BadU1Strip.png", 16, 16},
    {sprite::kBaddieUpLower, "Graphic/BadU2Strip.png", 16, 16},
    {sprite::kBaddieDownUpper, "Graphic/BadD1Strip.png", 16, 16},
    {sprite::kBaddieDownLower, "Graphic/BadD2Strip.png", 16, 16},
    {sprite::kCloud, "Graphic/CloudStrip.png", 16, 16},
    {sprite::kBaddieTurnUpper, "Graphic/BadFlush1.png", 16, 16},
    {sprite::kBaddieTurnLower, "Graphic/BadFlush2.png", 16, 16},
    {39, "Graphic/FlyR1.png", 16, 16},
    {40, "Graphic/FlyR2.png", 16, 16},
    {41, "Graphic/FlyL1.png", 16, 16},
    {42, "Graphic/FlyL2.png", 16, 16},
    {43, "Graphic/FlyU1.png", 16, 16},
    {44, "Graphic/FlyU2.png", 16, 16},
    {45, "Graphic/FlyD1.png", 16, 16},
    {46, "Graphic/FlyD2.png", 16, 16},
    {sprite::kMenuBox, "Graphic/BoxStrip.png", 192, 32},
    {sprite::kPointer, "Graphic/MouseStrip.png", 32, 32},
};

struct SoundFile {
  int slot;
  const char* path;
  int buffers;
};

constexpr SoundFile kSounds[] = {
    {sound::kStep, "Graphic/Move.wav", 1},
    {sound::kGem, "Graphic/Suck.wav", 2},
    {sound::kKey, "Graphic/Key.wav", 2},
    {sound::kExitOpens, "Graphic/Open.wav", 1},
    {sound::kExit, "Graphic/Exit.wav", 1},
    {sound::kBoxOpened, "Graphic/Boxes.wav", 1},
    {sound::kClick, "Graphic/Click.wav", 1},
    {sound::kBlast, "Graphic/Explos.wav", 2},
    {sound::kFruitShows, "Graphic/Crown.wav", 1},
    {sound::kFruitEaten, "Graphic/Baddy.wav", 1},
    {sound::kTimeRunsOut, "Graphic/Time.wav", 1},
    {sound::kMenuMove, "Graphic/Wobble.wav", 1},
    {sound::kLevelLocked, "Graphic/NoLevel.wav", 1},
    {sound::kLetter, "Graphic/Click.wav", 2},
    {sound::kPlayerSlot, "Graphic/Flame.wav", 1},
    {sound::kHighScores, "Graphic/Doka.wav", 1},
};

}  // namespace

void LoadResources() {
  LoadFont("Graphic/xFont.png", 1);  // the score line's font
  for (const StripFile& s : kStrips) LoadAnimStrip(s.path, s.slot, s.frameWidth, s.frameHeight);
  for (const SoundFile& s : kSounds) LoadSound(s.path, s.slot, s.buffers);
  // The character images for codes 32 to 95.
  for (int i = 0; i <= sprite::kLastGlyph - sprite::kFirstGlyph; ++i)
    LoadSprite(RtString("Chars/Char") + static_cast<double>(i) + ".png", sprite::kFirstGlyph + i);
}

void ReleaseResources() {
  LoadFont("", 1);
  for (int slot = 1; slot <= 115; ++slot) LoadSprite("", slot);
  for (int slot = 1; slot <= sound::kCount; ++slot) LoadSound("", slot, 1);
}
