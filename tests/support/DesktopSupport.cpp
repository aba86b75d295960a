// Virtual X servers, game folders and shell commands for the desktop tests (see DesktopSupport.h).
#include "tests/support/DesktopSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace testing_support {

std::string Shell(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[512];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int raw = ::pclose(pipe);
  if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

PrivateDisplay::PrivateDisplay(int width, int height) {
  int fds[2];
  if (::pipe(fds) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(fds[0]);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
             "-noreset", static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  ::close(fds[1]);
  std::string number;
  char c = 0;
  while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

PrivateDisplay::~PrivateDisplay() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
}

DesktopGameFolder::DesktopGameFolder() {
  namespace fs = std::filesystem;
  const fs::path build(BRILLORA_BINARY_DIR);
  fs::create_directories(dir_.File("Maps"));
  for (const char* f : {"Graphic.kpq", "smalfont.bmp"}) fs::copy_file(build / f, dir_.File(f));
  for (int n = 1; n <= 22; ++n)
    for (int part = 1; part <= 4; ++part) {
      const std::string name = "Map" + std::to_string(n) + "-" + std::to_string(part) + ".bin";
      fs::copy_file(build / "Maps" / name, dir_.File("Maps/" + name));
    }
  for (const char* f : {"Data.bin", "Duzozez.bin", "Name.bin", "Player.bin"})
    fs::copy_file(fs::path(BRILLORA_SOURCE_DIR) / "data/records" / f, dir_.File(std::string("Maps/") + f));
  std::vector<uint8_t> scores = ReadFile(dir_.File("Maps/Data.bin"));
  for (int level = 1; level <= 12; ++level) scores[static_cast<size_t>((level - 1) * 32)] = 100;
  testing_support::WriteFile(dir_.File("Maps/Data.bin"), scores);
}

}  // namespace testing_support
