// The game's one source of chance: the ISAAC generator (256 words of 32 bits) in the runtime record.
#pragma once

#include <cstdint>

#include "runtime/core/RuntimeContext.h"

// Seeds the generator (once, at start-up, from the clock). The seed enters through a pass of its own before
// ISAAC's usual initialisation, which also folds in the current result words (all zero at the first
// seeding); one batch is then generated.
void SeedRandom(int32_t seed);

// A whole number from 0 to n inclusive (n truncated toward zero). n of 0 or less, or not a number, gives 0
// without advancing the generator. Every other call runs one full ISAAC round and uses its first word.
// Bounds of 2^32 - 1 and above give that word as it is.
double RandomInt(double n);
// The same over a generator of the caller's own (a game played on ahead keeps a copy).
double RandomIntFrom(RandomState& state, double n);

// The generator's parts, for RandomInt and for checking against ISAAC's published output.
namespace isaac {
// One round over all 256 words: refills `randrsl` and advances `mm`, `aa`, `bb`, `cc`.
void Round(RandomState& state);
// ISAAC's initialisation from the eight mixing words `words` (golden-ratio constants in the published
// form): four mixes, a pass over `randrsl`, a pass over `mm`, one round; unread = 256.
void Initialise(RandomState& state, uint32_t words[8]);
// The published initialisation: accumulators cleared, the mixing words at the golden ratio, then
// Initialise.
void InitialiseStandard(RandomState& state);
// The next value: one round, then the first word of the fresh batch.
uint32_t Next(RandomState& state);
}  // namespace isaac
