// Start-up, frame loop and shutdown (being written).
#include "runtime/core/Runtime.h"

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"

int RunProgram(const std::vector<std::string>&, const std::string& title, void (*gameMain)()) {
  try {
    RuntimeInit(title);
    gameMain();
    StopProgram();
  } catch (const ProgramExit& e) {
    return e.status;
  }
}
void RuntimeInit(const std::string&) {}
void ShowFrame() { EndProgram(); }
double PresentFrame() { return 1; }
void SetFrameRateLimit(double) {}
void SleepMs(double) {}
void SetScreenMode(double, double, double) {}
void AllowEscape(double) {}
void SetAutoPause(double) {}
double ReadClockMs() { return 0; }
void PumpMessages() {}
void ShutdownRuntime() {}
