// The real program and the real SDL platform on a virtual X server of a test's own: the server, a game
// folder with the built media, levels and records, and shell commands.
#pragma once

#include <sys/types.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace testing_support {

// The output of a shell command, and its exit status.
std::string Shell(const std::string& command, int* status = nullptr);

// A virtual X server of the test's own (the server picks a free display number). It keeps running
// between its clients: a program started right after another one ended finds it ready.
class PrivateDisplay {
 public:
  PrivateDisplay(int width, int height);
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  const std::string& name() const { return name_; }
  // Runs xdotool on this display; returns what it printed.
  std::string Xdo(const std::string& args) const { return Shell("DISPLAY=" + name_ + " xdotool " + args); }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// A game folder with the built media and levels and first-start records; levels 1 to 12 finished.
class DesktopGameFolder {
 public:
  DesktopGameFolder();
  const std::string& path() const { return dir_.path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  TempDir dir_;
};

}  // namespace testing_support
