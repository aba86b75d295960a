// The program entry: the runtime starts, then the game main runs until the program ends.
#include <string>
#include <vector>

#include "game/GameMain.h"
#include "runtime/program/Runtime.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  return RunProgram(args, "Brillora", GameMain);
}
