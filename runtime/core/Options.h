// The program's command line.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/RuntimeContext.h"

enum class OptionsResult { kRun, kHelp, kVersion, kError };

// Reads args (args[0] is the program) into `options`. On kError, `error` holds a one-line message.
OptionsResult ParseLaunchOptions(const std::vector<std::string>& args, LaunchOptions& options,
                                 std::string& error);
// The usage text printed by --help.
std::string UsageText();
// The line printed by --version: the program's name and the version it was built as.
std::string VersionText(const std::string& name);
