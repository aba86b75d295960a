// The six bonus fruits (apple, cherries, banana, grapes, strawberry, melon slice). Each strip has
// 16 frames: the fruit bobs gently up and down and a glint twinkles on it once per cycle.
#pragma once

#include <vector>

#include "game/GameWords.h"
#include "tools/art/Canvas.h"

namespace art {

// One strip for every fruit slot of the game.
constexpr int kFruitKinds = sprite::kLastFruit - sprite::kFirstFruit + 1;

std::vector<Image> DrawFruitFrames(int kind);

}  // namespace art
