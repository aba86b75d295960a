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

}  // namespace testing_support
