// The world around the boy: baddies, fruit and large blasts.
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

// ActorMap values of a baddie at rest, by heading.
constexpr double kHeadRight = 71;
constexpr double kHeadLeft = 79;
constexpr double kHeadUp = 62;
constexpr double kHeadDown = 54;
