// Helpers shared by the tests: temporary folders and files, and a fresh runtime for every test.
#pragma once

#include <cstdint>
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

}  // namespace testing_support
