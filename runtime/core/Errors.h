// Program end. Every stop goes through StopProgram: a normal end (EndProgram, the quit keys, the close
// button) and a failed check (bad array index, bad file channel, failed file read or write) alike.
#pragma once

#include <string>

// Error codes: the process exit status of a run that ends with them.
constexpr int kErrNone = 0;     // normal end
constexpr int kErrFile = 3;     // file read or write failure, or a channel that is not open
constexpr int kErrChannel = 7;  // channel number outside 0..7, or array storage not obtained
constexpr int kErrIndex = 9;    // array index out of range, negative, or array not declared

// Thrown by StopProgram after the runtime has been shut down. The program entry catches it and returns
// `status` from main; tests that drive the runtime in-process catch it the same way.
struct ProgramExit {
  int status = 0;
};

// Records the error code (and the current source line) for the end of the program. Returns.
void ReportRuntimeError(double code);
// Shuts the runtime down in order and ends the program. Never returns.
[[noreturn]] void StopProgram();
// ReportRuntimeError(0), then StopProgram.
[[noreturn]] void EndProgram();
// A failed check: records `code` and a one-line cause ("file read failed: channel 1, ./Maps/Map1-1.bin"),
// which goes to standard error when the program stops, then stops.
[[noreturn]] void RuntimeFail(int code, const std::string& cause);
// A file the player asked for at the end of the run (--dump, --screenshot) could not be written: says so on
// standard error at once ("cannot write the state dump FILE: reason"), and a run that would have ended
// well ends with kErrFile instead.
void ReportEndFailure(const std::string& message);
// Line information of debug builds; this game never calls it.
void SetSourcePosition(double module, double line);
