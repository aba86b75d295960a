// The game state as JSON at program end (--dump FILE), for replays and tests to compare.
#pragma once

#include <string>
#include <vector>

// Registers the dump with the runtime when the command line asked for one.
void InstallStateDump();
// The whole state as one JSON object.
std::string GameStateJson(int exitCode);

// Reading a dump back, for the tools and the tests that check a run: the first field named `key` as a
// number, as an array of numbers, or as a text. False when there is no such field of that kind.
bool ReadDumpNumber(const std::string& json, const std::string& key, double& value);
bool ReadDumpNumbers(const std::string& json, const std::string& key, std::vector<double>& values);
bool ReadDumpText(const std::string& json, const std::string& key, std::string& text);
