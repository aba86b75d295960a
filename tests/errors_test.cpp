// Program end: exit status, the one-line cause and the end record.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"

namespace {

int StatusOf(void (*body)()) {
  try {
    body();
  } catch (const ProgramExit& e) {
    return e.status;
  }
  return -1;
}

TEST(Errors, EndProgramEndsWithStatusZeroAndRunsShutdownOnce) {
  ResetRuntimeContext();
  int shutdowns = 0;
  Rt().shutdown = [&] { ++shutdowns; };
  EXPECT_EQ(StatusOf([] { EndProgram(); }), 0);
  EXPECT_EQ(shutdowns, 1);
}

TEST(Errors, FailedCheckEndsWithItsCodeAndNamesTheCause) {
  ResetRuntimeContext();
  testing::internal::CaptureStderr();
  EXPECT_EQ(StatusOf([] { RuntimeFail(kErrFile, "file read failed: channel 1, ./Maps/Map1-1.bin"); }), 3);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("error 3"), std::string::npos);
  EXPECT_NE(err.find("./Maps/Map1-1.bin"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

TEST(Errors, ErrorDuringShutdownDoesNotShutDownTwice) {
  ResetRuntimeContext();
  int shutdowns = 0;
  Rt().shutdown = [&] {
    ++shutdowns;
    RuntimeFail(kErrIndex, "bad index during shutdown");
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(StatusOf([] { EndProgram(); }), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(shutdowns, 1);
}

TEST(Errors, DebugLogWritesTheEndRecord) {
  ResetRuntimeContext();
  Rt().settings.debugLog = 1;
  std::remove(ErrorLogPath().c_str());
  testing::internal::CaptureStderr();
  EXPECT_EQ(StatusOf([] { RuntimeFail(kErrIndex, "index 10 of 10"); }), 9);
  testing::internal::GetCapturedStderr();
  FILE* f = std::fopen(ErrorLogPath().c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buf[256] = {};
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buf, n), "-End On Line\r\n9\r\n-1\r\n0\r\n0\r\n");
}

TEST(Errors, PrivateTempDirIsOursAndClosed) {
  ResetRuntimeContext();
  struct stat st {};
  ASSERT_EQ(::lstat(PrivateTempDir().c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(st.st_uid, ::getuid());
}

}  // namespace
