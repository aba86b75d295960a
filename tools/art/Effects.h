// Animated things that are not walkers: the sparkling gem, the flame, the exit door, explosions,
// the pick-up sparkles and the cloud puff. Every function returns the frames of one strip.
#pragma once

#include <vector>

#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

namespace art {

// A four-pointed twinkle of the given arm length.
void Twinkle(Image& img, int x, int y, int arm, Rgba tip, Rgba core = pal::kWhite);

// The gem: a cut cyan stone; a glint sweeps over its facets and a twinkle flares on top.
std::vector<Image> DrawGemFrames();

// Flame on a bed of embers: a heat field shaped like a swaying tongue with a ragged, flickering
// top, coloured from white-hot in the middle to red at the rim.
std::vector<Image> DrawFireFrames();

// The exit: a stone arch with a double door. Frame 0 is shut; in frames 1..7 the door glows from
// within, the seam opening onto a pulse of light (frame 0 ends the pulse, so the loop stays calm).
std::vector<Image> DrawExitFrames();

// Explosions, 32 x 32: a flash, a ragged fireball that grows for the first half, then smoke that
// thins out by dithering. The boy's death uses frames 0..7, blasts all 16.
std::vector<Image> DrawExplosionFrames();

// Gem pick-up: cyan stars burst out from the middle and shrink away.
std::vector<Image> DrawGemSuckFrames();

// Key and fruit pick-up: gold rings rise and spread like a little fountain of coins.
std::vector<Image> DrawKeySuckFrames();

// A puff of smoke where a baddie gobbled a fruit: round clouds grow and break up.
std::vector<Image> DrawCloudFrames();

}  // namespace art
