// The boy: his decision between steps, and his drawing and movement along a step.
#pragma once

void UpdateBoy();
void DrawBoy();

// Scan codes of the keys that steer the boy.
constexpr double kKeyRight = 205;
constexpr double kKeyLeft = 203;
constexpr double kKeyUp = 200;
constexpr double kKeyDown = 208;
constexpr double kKeySpace = 57;
