// Keyboard and mouse as the game reads them. ShowFrame takes one snapshot per frame (from the devices, or
// from a replay), so that a recorded game plays back exactly.
#pragma once

// Takes the frame's snapshot: keys and buttons from the devices or the replay; marks the mouse motion as
// not yet read. Ends the program (as EndProgram does) when a replay has no frame left.
void PollInput();
// 1 when the key with this scan code is held, else 0. The code is truncated to a signed 16-bit value and
// its low 8 bits are used (257 reads code 1).
double KeyState(double code);
// The runtime's mouse position (clamped to the screen) and buttons. The first read of a frame moves the
// position by the mouse's motion; later reads in the same frame report the same motion again.
void MouseState(double& x, double& y, double& button1, double& button2);
void SetMousePos(double x, double y);
// Closes the replay being recorded (at shutdown).
void ShutdownInput();
