// Start-up, the frame loop and program end: the operations of the runtime that every screen uses.
#pragma once

#include <string>
#include <vector>

// Runs a whole program: parses the command line, writes the start settings, RuntimeInit with the title,
// then gameMain; returns the exit status (0 for a normal end, the error code after a runtime error,
// 2 for a bad command line).
int RunProgram(const std::vector<std::string>& args, const std::string& title, void (*gameMain)());

// Brings the runtime up: window and GL (or headless), input, sound, random seed, working directory,
// archive records, the "Loading..." screen. Prints "Init OK".
void RuntimeInit(const std::string& title);
// Ends a frame: polls input, handles the quit keys and pause, presents the picture, waits for the next
// frame time and prepares the next frame.
void ShowFrame();
// Presents the back buffer and waits for the frame schedule; returns the milliseconds spent (at least 1).
double PresentFrame();
void SetFrameRateLimit(double fps);
void SleepMs(double ms);
void SetScreenMode(double width, double height, double fullScreen);
void AllowEscape(double flag);
void SetAutoPause(double flag);
double ReadClockMs();
// Handles waiting window events (focus, close).
void PumpMessages();
// Tears the runtime down in order; run by StopProgram.
void ShutdownRuntime();
