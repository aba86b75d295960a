// The game state as JSON at program end (--dump FILE), for replays and tests to compare.
#pragma once

#include <string>

// Registers the dump with the runtime when the command line asked for one.
void InstallStateDump();
// The whole state as one JSON object.
std::string GameStateJson(int exitCode);
