// The program entry: the runtime starts, then the game main runs until the program ends.
#include <string>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif
#include <vector>

#include "game/GameMain.h"
#include "runtime/program/Runtime.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  const int status = RunProgram(args, "Brillora", GameMain);
#ifdef __EMSCRIPTEN__
  // In a browser the game's waits returned to the page in between, so this return would reach no one:
  // the page's program is ended here, and the page learns the status.
  emscripten_force_exit(status);
#endif
  return status;
}
