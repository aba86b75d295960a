// The world around the boy on the game's own state: baddies, fruit and large blasts (the rules are the
// PlayRules parts of the same names).
#pragma once

// Baddies decide every 8th frame (when Phase is 0).
void MoveBaddies();
// Walks, turns and draws the baddies between decisions.
void AnimateBaddies();
// Places a fruit now and then.
void SpawnFruit();
// Starts a large blast with its top-left cell at pixel (x, y), in the first unused of six slots.
void StartBlast(double x, double y);
void DrawBlasts();
