// Helpers shared by the tests.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"

namespace testing_support {

TempDir::TempDir() {
  std::string templ = std::filesystem::temp_directory_path().string() + "/brillora-test-XXXXXX";
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const {
  return path_ + "/" + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

Stop StopOf(const std::function<void()>& body) {
  Rt().error = ErrorState();
  Stop stop;
  ::testing::internal::CaptureStderr();
  try {
    body();
  } catch (const ProgramExit& e) {
    stop.status = e.status;
    stop.cause = Rt().error.cause;
  }
  stop.printed = ::testing::internal::GetCapturedStderr();
  return stop;
}

void MakeFifo(const std::string& path) {
  if (::mkfifo(path.c_str(), 0666) != 0) throw std::runtime_error("mkfifo failed: " + path);
}

HangGuard::HangGuard(unsigned seconds) {
  ::alarm(seconds);
}

HangGuard::~HangGuard() {
  ::alarm(0);
}

}  // namespace testing_support
