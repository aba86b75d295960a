// Every picture, the score-line font and every sound, each in the slot the game draws or plays it from.
#include "game/Resources.h"

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

constexpr StripFile kStrips[] = {
    {1, "Graphic/Tiles1.png", 16, 16},        {2, "Graphic/ExitStrip.png", 32, 32},
    {3, "Graphic/GemsStrip.png", 16, 16},     {4, "Graphic/FireStrip.png", 16, 16},
    {5, "Graphic/BoyR1.png", 16, 16},         {6, "Graphic/BoyR2.png", 16, 16},
    {7, "Graphic/BoyL1.png", 16, 16},         {8, "Graphic/BoyL2.png", 16, 16},
    {9, "Graphic/BoyU1.png", 16, 16},         {10, "Graphic/BoyU2.png", 16, 16},
    {11, "Graphic/BoyD1.png", 16, 16},        {12, "Graphic/BoyD2.png", 16, 16},
    {13, "Graphic/DiaSuck.png", 16, 16},      {14, "Graphic/KeySuck.png", 16, 16},
    {15, "Graphic/Shrink1.png", 16, 16},      {16, "Graphic/Shrink2.png", 16, 16},
    {17, "Graphic/ExplosStrip.png", 32, 32},  {18, "Graphic/Fruit0.png", 16, 16},
    {19, "Graphic/Fruit1.png", 16, 16},       {20, "Graphic/Fruit2.png", 16, 16},
    {21, "Graphic/Fruit3.png", 16, 16},       {22, "Graphic/Fruit4.png", 16, 16},
    {23, "Graphic/Fruit5.png", 16, 16},       {28, "Graphic/BadR1Strip.png", 16, 16},
    {29, "Graphic/BadR2Strip.png", 16, 16},   {30, "Graphic/BadL1Strip.png", 16, 16},
    {31, "Graphic/BadL2Strip.png", 16, 16},   {32, "Graphic/BadU1Strip.png", 16, 16},
    {33, "Graphic/BadU2Strip.png", 16, 16},   {34, "Graphic/BadD1Strip.png", 16, 16},
    {35, "Graphic/BadD2Strip.png", 16, 16},   {36, "Graphic/CloudStrip.png", 16, 16},
    {37, "Graphic/BadFlush1.png", 16, 16},    {38, "Graphic/BadFlush2.png", 16, 16},
    {39, "Graphic/FlyR1.png", 16, 16},        {40, "Graphic/FlyR2.png", 16, 16},
    {41, "Graphic/FlyL1.png", 16, 16},        {42, "Graphic/FlyL2.png", 16, 16},
    {43, "Graphic/FlyU1.png", 16, 16},        {44, "Graphic/FlyU2.png", 16, 16},
    {45, "Graphic/FlyD1.png", 16, 16},        {46, "Graphic/FlyD2.png", 16, 16},
    {47, "Graphic/BoxStrip.png", 192, 32},    {48, "Graphic/MouseStrip.png", 32, 32},
};

struct SoundFile {
  int slot;
  const char* path;
  int buffers;
};

constexpr SoundFile kSounds[] = {
    {1, "Graphic/Move.wav", 1},    {2, "Graphic/Suck.wav", 2},    {3, "Graphic/Key.wav", 2},
    {4, "Graphic/Open.wav", 1},    {5, "Graphic/Exit.wav", 1},    {6, "Graphic/Boxes.wav", 1},
    {7, "Graphic/Click.wav", 1},   {8, "Graphic/Explos.wav", 2},  {9, "Graphic/Crown.wav", 1},
    {10, "Graphic/Baddy.wav", 1},  {11, "Graphic/Time.wav", 1},   {12, "Graphic/Wobble.wav", 1},
    {13, "Graphic/NoLevel.wav", 1}, {14, "Graphic/Click.wav", 2}, {15, "Graphic/Flame.wav", 1},
    {16, "Graphic/Doka.wav", 1},
};

}  // namespace

void LoadResources() {
  LoadFont("Graphic/xFont.png", 1);
  for (const StripFile& s : kStrips) LoadAnimStrip(s.path, s.slot, s.frameWidth, s.frameHeight);
  for (const SoundFile& s : kSounds) LoadSound(s.path, s.slot, s.buffers);
  // The character images for codes 32 to 95.
  for (int i = 0; i <= 63; ++i) LoadSprite(RtString("Chars/Char") + static_cast<double>(i) + ".png", 50 + i);
}

void ReleaseResources() {
  LoadFont("", 1);
  for (int slot = 1; slot <= 115; ++slot) LoadSprite("", slot);
  for (int slot = 1; slot <= 16; ++slot) LoadSound("", slot, 1);
}
