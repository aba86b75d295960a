// Program end through one door: shutdown in order, the end record, the one-line cause, the exit status.
#include "runtime/core/Errors.h"

#include <cmath>
#include <cstdio>

#include "runtime/core/NumberTrunc.h"
#include "runtime/core/RuntimeContext.h"

void ReportRuntimeError(double code) {
  ErrorState& e = Rt().error;
  e.errorCode = code;
  e.errorLine = e.currentLine;
}

void SetSourcePosition(double module, double line) {
  Rt().error.currentModule = module;
  Rt().error.currentLine = line;
}

void ReportEndFailure(const std::string& message) {
  Rt().error.endFailed = true;
  std::fprintf(stderr, "brillora: %s\n", message.c_str());
  std::fflush(stderr);
}

void StopProgram() {
  RuntimeContext& rt = Rt();
  ErrorState& e = rt.error;
  const int code = TruncToInt32OrZero(e.errorCode);
  int status = code;
  // A failure inside the shutdown itself (or inside an end hook) must not run the shutdown again.
  if (!e.stopping) {
    e.stopping = true;
    // A check that fails inside a shutdown step ends only that step; the rest still runs.
    try {
      if (rt.shutdown) rt.shutdown();
    } catch (const ProgramExit&) {
    }
    if (status == kErrNone && e.endFailed) status = kErrFile;
    if (rt.settings.debugLog) {
      AppendErrorLog("-End On Line");
      AppendErrorLog(std::to_string(code));
      AppendErrorLog(std::to_string(TruncToInt32OrZero(e.errorLine) - 1));
      AppendErrorLog(std::to_string(TruncToInt32OrZero(e.currentLine)));
      AppendErrorLog(std::to_string(TruncToInt32OrZero(e.currentModule)));
    }
    for (auto& hook : rt.atEnd) {
      try {
        hook(status);
      } catch (const ProgramExit&) {
      }
    }
    if (status == kErrNone && e.endFailed) status = kErrFile;
    if (code != kErrNone) {
      std::fprintf(stderr, "brillora: error %d: %s\n", code,
                   e.cause.empty() ? "runtime error" : e.cause.c_str());
      std::fflush(stderr);
    }
  }
  throw ProgramExit{status};
}

void EndProgram() {
  ReportRuntimeError(kErrNone);
  StopProgram();
}

void RuntimeFail(int code, const std::string& cause) {
  if (Rt().error.cause.empty()) Rt().error.cause = cause;
  ReportRuntimeError(code);
  StopProgram();
}
