// Tests that need a process of their own: work done in a forked child (to measure its memory, to kill it,
// to give it a file system of its own), and the game program started as a separate process.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Runs `body` in a forked child and returns what it returned. A child that dies before it answers gives
// "child died with signal N" or "child ended with status N".
std::string RunInChild(const std::function<std::string()>& body);

// How much the peak resident memory of a forked child grows while it runs `work`, in KiB.
long PeakMemoryGrowthKiB(const std::function<void()>& work);
// How much the peak address space of a forked child grows while it runs `work`, in KiB: memory asked
// for counts here even where it is never touched.
long PeakAddressSpaceGrowthKiB(const std::function<void()>& work);

// The game program of this build.
std::string GameProgram();

// A game started as a process of its own, with standard output and error going to files.
struct GameProcess {
  pid_t pid = -1;
  std::string outPath, errPath;
};

// Starts `program` with `args` (without the program itself). `env` entries ("NAME=value", or "NAME" to
// remove it) change the environment of the child. With `asUser` >= 0 the child runs as that user and
// group id (only when the test runs as root).
GameProcess StartProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& outputFolder,
                         int asUser = -1);
// Waits for the process; returns its exit status, or 128 + the signal that ended it. `err` gets what it
// wrote to standard error.
int WaitProcess(const GameProcess& process, std::string* err = nullptr);
// StartProcess and WaitProcess.
int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env, const std::string& outputFolder,
               std::string* err = nullptr, int asUser = -1);

}  // namespace testing_support
