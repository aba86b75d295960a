// Program end: exit status, the one-line cause and the end record.
#include "runtime/core/Errors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/core/RtArray.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::StopOf;

TEST(Errors, EndProgramEndsWithStatusZeroAndRunsShutdownOnce) {
  ResetRuntimeContext();
  int shutdowns = 0;
  Rt().shutdown = [&] { ++shutdowns; };
  EXPECT_EQ(StopOf(EndProgram).status, 0);
  EXPECT_EQ(shutdowns, 1);
}

TEST(Errors, FailedCheckEndsWithItsCodeAndNamesTheCause) {
  ResetRuntimeContext();
  const testing_support::Stop stop =
      StopOf([] { RuntimeFail(kErrFile, "file read failed: channel 1, ./Maps/Map1-1.bin"); });
  EXPECT_EQ(stop.status, 3);
  const std::string& err = stop.printed;
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
  EXPECT_EQ(StopOf(EndProgram).status, 0);
  EXPECT_EQ(shutdowns, 1);
}

TEST(Errors, DebugLogWritesTheEndRecord) {
  ResetRuntimeContext();
  Rt().settings.debugLog = 1;
  std::remove(ErrorLogPath().c_str());
  EXPECT_EQ(StopOf([] { RuntimeFail(kErrIndex, "index 10 of 10"); }).status, 9);
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

// Points the temporary folder elsewhere for the life of the object, so that runs with the end record
// leave the player's own log alone.
class ScopedTmpDir {
 public:
  explicit ScopedTmpDir(const std::string& dir) {
    const char* old = std::getenv("TMPDIR");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    ::setenv("TMPDIR", dir.c_str(), 1);
  }
  ~ScopedTmpDir() {
    if (hadOld_)
      ::setenv("TMPDIR", old_.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }
  ScopedTmpDir(const ScopedTmpDir&) = delete;
  ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

 private:
  bool hadOld_ = false;
  std::string old_;
};

std::string LogText(const std::string& path) {
  const std::vector<uint8_t> bytes = testing_support::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(EndRecord, AFreshLogPerRunThenTheRecordOfANormalEndOrAnIndexError) {
  testing_support::TempDir tmp;
  ScopedTmpDir scoped(tmp.path());
  const std::string folder = tmp.File("brillora-" + std::to_string(::getuid()));
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const std::string log = folder + "/ErrorLog.txt";
  testing_support::WriteText(log, "left by the run before\r\n");

  EXPECT_EQ(testing_support::RunHeadless({},
                                         [] {
                                           Rt().settings.debugLog = 1;
                                           AppendErrorLog("during the run");
                                           EndProgram();
                                         }),
            0);
  EXPECT_EQ(LogText(log), "during the run\r\n-End On Line\r\n0\r\n-1\r\n0\r\n0\r\n");

  std::string errors;
  EXPECT_EQ(testing_support::RunHeadless(
                {},
                [] {
                  static RtNumArray a;
                  DimNumArray(a, 10);
                  Rt().settings.debugLog = 1;
                  a[10] = 1;  // indices run from 0 to 9
                },
                &errors),
            9);
  EXPECT_EQ(LogText(log), "-End On Line\r\n9\r\n-1\r\n0\r\n0\r\n");
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find("error 9"), std::string::npos) << errors;

  // Without the debug setting (the game's) an end leaves no record.
  EXPECT_EQ(testing_support::RunHeadless({}, [] { EndProgram(); }), 0);
  EXPECT_FALSE(testing_support::FileExists(log));
}

// With no folder of our own to be had, the log is not written anywhere else (the shared folder could hold
// someone's link at our file name).
TEST(Errors, NoPrivateFolderMeansNoLog) {
  testing_support::TempDir dir;
  const std::string notAFolder = dir.File("plain");
  testing_support::WriteText(notAFolder, "a file where the temporary folder should be");
  {
    ScopedTmpDir tmp(notAFolder);
    ResetRuntimeContext();
    EXPECT_EQ(PrivateTempDir(), "");
    EXPECT_EQ(ErrorLogPath(), "");
    AppendErrorLog("dropped");
  }
  ResetRuntimeContext();
  EXPECT_FALSE(testing_support::FileExists(dir.path() + "/plainErrorLog.txt"));
  EXPECT_FALSE(testing_support::FileExists("ErrorLog.txt"));
}

}  // namespace
