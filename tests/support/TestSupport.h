// Helpers shared by the tests: temporary folders and files, and a fresh runtime for every test.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh, empty folder under the system temporary folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Makes a FIFO (a named pipe with no writer) at `path`.
void MakeFifo(const std::string& path);

// Ends the test program with SIGALRM if it is still alive `seconds` later: for checks of operations that
// must never wait (an open of a FIFO), so that a fault fails the test instead of hanging it.
class HangGuard {
 public:
  explicit HangGuard(unsigned seconds);
  ~HangGuard();
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
};

// How a body stopped the program, if it did.
struct Stop {
  int status = -1;      // the exit status; -1 when the body ran to its end
  std::string cause;    // the one line that names what failed
  std::string printed;  // what went to standard error meanwhile
};

// Runs `body` with standard error caught and reports how the program stopped. The runtime record is kept
// (open channels stay open for the checks that follow); only its error state is made fresh first, so
// that one test can stop the program more than once.
Stop StopOf(const std::function<void()>& body);

}  // namespace testing_support
