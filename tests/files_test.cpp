// File channels: byte layouts of every width, the stops with their causes, lines, and saves that never
// leave a half-written record file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/Errors.h"
#include "runtime/core/FileChannels.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
using testing_support::WriteText;
using Bytes = std::vector<uint8_t>;

using testing_support::Stop;
using testing_support::StopOf;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(FileChannels, EveryWidthWritesLittleEndianAndReadsBack) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("values.bin");
  ASSERT_EQ(FileOpen(1, path, 0), 1);
  EXPECT_EQ(EndOfFile(1), 1);  // a file being written has no size to read
  WriteByte(1, 200);
  WriteByte(1, -23);  // a CharCode result for 0xE9
  WriteWord(1, 65535);
  WriteLong(1, 70000);
  WriteLong(1, 4294967295.0);
  WriteLong(1, 3000000000.0);
  WriteLong(1, -1);
  WriteDouble(1, 1.5);
  WriteString(1, "abc");
  WriteLine(1, "line one");
  WriteNumberLine(1, 26);
  FileClose(1);

  const Bytes expected = {0xC8, 0xE9, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
                          0x00, 0x5E, 0xD0, 0xB2, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0,
                          0,    0,    0xF8, 0x3F, 'a',  'b',  'c',  'l',  'i',  'n',  'e',  ' ',
                          'o',  'n',  'e',  '\r', '\n', '2',  '6',  '\r', '\n'};
  EXPECT_EQ(ReadFile(path), expected);

  ASSERT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(ReadByte(1), 200);
  EXPECT_EQ(ReadByte(1), 233);
  EXPECT_EQ(ReadWord(1), 65535);
  EXPECT_EQ(ReadLong(1), 70000);
  EXPECT_EQ(ReadLong(1), 4294967295.0);  // never negative
  EXPECT_EQ(ReadLong(1), 3000000000.0);
  EXPECT_EQ(ReadLong(1), 4294967295.0);
  EXPECT_EQ(ReadDouble(1), 1.5);
  EXPECT_EQ(ReadString(1, 3), "abc");
  EXPECT_EQ(EndOfFile(1), 0);
  EXPECT_EQ(ReadLine(1), "line one");
  EXPECT_EQ(ReadNumberLine(1), 26);
  EXPECT_EQ(EndOfFile(1), 1);
  FileClose(1);
}

TEST(FileChannels, ValuesOutsideAWidthWriteTheIndefiniteValue) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("edge.bin");
  ASSERT_EQ(FileOpen(0, path, 0), 1);
  WriteByte(0, 32767);   // FF
  WriteByte(0, 40000);   // outside 16 bits: 00
  WriteByte(0, -32768);  // 00
  WriteByte(0, 65.9);    // 41
  WriteWord(0, 70000);   // 0x11170: 70 11
  WriteWord(0, 3e9);     // outside 32 bits: 00 00
  WriteLong(0, -2147483648.0);
  WriteLong(0, 1.9);
  WriteLong(0, 4294967296.0);
  WriteLong(0, -2147483649.0);
  WriteLong(0, std::nan(""));
  FileClose(0);
  const Bytes expected = {0xFF, 0x00, 0x00, 0x41, 0x70, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x01, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x80};
  EXPECT_EQ(ReadFile(path), expected);
}

// Values written one by one with the writer of `width` bytes.
void WriteEach(int width, const std::vector<double>& values) {
  for (double v : values) {
    if (width == 1) WriteByte(1, v);
    if (width == 2) WriteWord(1, v);
    if (width == 4) WriteLong(1, v);
    if (width == 8) WriteDouble(1, v);
  }
}

TEST(FileChannels, ABlockWritesTheBytesOfItsValuesWrittenOneByOne) {
  ResetRuntimeContext();
  TempDir dir;
  // In and out of each width's range, fractions, and what is not a number at all.
  const std::vector<double> values = {0,
                                      1,
                                      255,
                                      256,
                                      -1,
                                      -23,
                                      65.9,
                                      -0.75,
                                      32767,
                                      -32768,
                                      40000,
                                      70000,
                                      3e9,
                                      -2147483648.0,
                                      -2147483649.0,
                                      4294967295.0,
                                      4294967296.0,
                                      1e300,
                                      -1e300,
                                      NAN,
                                      INFINITY};
  for (int width : {1, 2, 4, 8}) {
    SCOPED_TRACE(width);
    ASSERT_EQ(FileOpen(1, dir.File("each.bin"), 0), 1);
    WriteEach(width, values);
    FileClose(1);
    ASSERT_EQ(FileOpen(1, dir.File("block.bin"), 0), 1);
    WriteBlock(1, width, values);
    WriteBlock(1, width, {});
    FileClose(1);
    EXPECT_EQ(ReadFile(dir.File("block.bin")), ReadFile(dir.File("each.bin")));
    EXPECT_EQ(ReadFile(dir.File("block.bin")).size(), values.size() * static_cast<size_t>(width));
  }
  // A block on a channel opened for reading stops as a single write would.
  WriteFile(dir.File("read.bin"), {1, 2});
  ASSERT_EQ(FileOpen(1, dir.File("read.bin"), 1), 1);
  const Stop one = StopOf([] { WriteLong(1, 5); });
  const Stop block = StopOf([] { WriteBlock(1, 4, {5, 6}); });
  EXPECT_EQ(block.status, kErrFile);
  EXPECT_EQ(block.cause, one.cause);
  EXPECT_EQ(ReadFile(dir.File("read.bin")), (Bytes{1, 2}));
}

// How a read of `count` values ended: the stop (status -1 when none), the position, the bytes read.
struct ReadOutcome {
  Stop stop;
  int32_t position = 0;
  Bytes bytes;
};

TEST(FileChannels, ABlockReadsAndStopsAsItsValuesReadOneByOne) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("block.bin");
  for (int width : {1, 2, 4, 8}) {
    for (size_t length = 1; length <= 17; ++length) {
      SCOPED_TRACE("width " + std::to_string(width) + ", " + std::to_string(length) + " bytes");
      Bytes file(length);
      for (size_t i = 0; i < length; ++i) file[i] = static_cast<uint8_t>(0xA0 + i);
      WriteFile(path, file);
      const size_t count = 16 / static_cast<size_t>(width);  // 16 bytes in all: some files are shorter
      ReadOutcome each, block;
      ASSERT_EQ(FileOpen(1, path, 1), 1);
      ReadByte(1);  // a block starts where earlier reads left off
      each.stop = StopOf([&] {
        for (size_t k = 0; k < count; ++k) {
          uint64_t bits = 0;
          if (width == 1) bits = static_cast<uint64_t>(ReadByte(1));
          if (width == 2) bits = static_cast<uint64_t>(ReadWord(1));
          if (width == 4) bits = static_cast<uint64_t>(ReadLong(1));
          if (width == 8) bits = std::bit_cast<uint64_t>(ReadDouble(1));
          for (int b = 0; b < width; ++b) each.bytes.push_back(static_cast<uint8_t>(bits >> (8 * b)));
        }
      });
      each.position = Rt().channels[1].position;
      FileClose(1);
      ASSERT_EQ(FileOpen(1, path, 1), 1);
      ReadByte(1);
      block.bytes.assign(count * static_cast<size_t>(width), 0);
      block.stop = StopOf([&] { ReadBlock(1, width, count, block.bytes.data()); });
      block.position = Rt().channels[1].position;
      FileClose(1);
      EXPECT_EQ(block.stop.status, each.stop.status);
      EXPECT_EQ(block.stop.cause, each.stop.cause);
      EXPECT_EQ(block.position, each.position);
      if (each.stop.status == -1) {
        EXPECT_EQ(block.bytes, Bytes(file.begin() + 1, file.begin() + 1 + static_cast<long>(count * width)));
        EXPECT_EQ(block.bytes, each.bytes);
      }
    }
  }
  // Nothing to read on a closed channel is still a stop, and no values on an open one are none.
  const Stop closed = StopOf([] { ReadBlock(2, 4, 1, nullptr); });
  EXPECT_EQ(closed.cause, "file read failed: channel 2 (ReadLong: channel not open)");
  WriteFile(path, {});
  ASSERT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(StopOf([] { ReadBlock(1, 1, 0, nullptr); }).status, -1);
  EXPECT_EQ(Rt().channels[1].position, 0);
  FileClose(1);
}

TEST(FileChannels, ChannelNumbersOutsideZeroToSevenStopWithSeven) {
  ResetRuntimeContext();
  TempDir dir;
  Stop s = StopOf([&] { FileOpen(8, dir.File("x"), 0); });
  EXPECT_EQ(s.status, kErrChannel);
  EXPECT_NE(s.cause.find("FileOpen"), std::string::npos);
  EXPECT_NE(s.cause.find("channel 8"), std::string::npos);
  EXPECT_EQ(StopOf([] { ReadByte(-1); }).status, kErrChannel);
  EXPECT_EQ(StopOf([] { WriteLong(std::nan(""), 1); }).status, kErrChannel);
  EXPECT_EQ(StopOf([] { EndOfFile(9); }).status, kErrChannel);
  EXPECT_FALSE(FileExists(dir.File("x")));
  // 7.9 is inside the range and truncates to channel 7, which is closed.
  EXPECT_EQ(StopOf([] { WriteByte(7.9, 1); }).status, kErrFile);
}

TEST(FileChannels, MissingFileOpensAsZeroAndTheNextReadStopsNamingIt) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("Map1-1.bin");
  EXPECT_EQ(FileOpen(1, path, 1), 0);
  const Stop s = StopOf([] { ReadByte(1); });
  EXPECT_EQ(s.status, kErrFile);
  EXPECT_EQ(s.cause, "file read failed: channel 1, " + path + " (ReadByte: no such file)");

  const Stop never = StopOf([] { ReadLong(2); });
  EXPECT_EQ(never.status, kErrFile);
  EXPECT_EQ(never.cause, "file read failed: channel 2 (ReadLong: channel not open)");
  EXPECT_EQ(StopOf([] { WriteByte(3, 0); }).status, kErrFile);
}

TEST(FileChannels, ShortReadsStopAfterCountingThePosition) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("short.bin");
  WriteFile(path, {1, 2, 3});
  ASSERT_EQ(FileOpen(1, path, 1), 1);
  const Stop s = StopOf([] { ReadLong(1); });
  EXPECT_EQ(s.status, kErrFile);
  EXPECT_EQ(s.cause,
            "file read failed: channel 1, " + path + " (ReadLong: only 3 of 4 bytes before the end)");
  EXPECT_EQ(Rt().channels[1].position, 4);
  EXPECT_EQ(EndOfFile(1), 1);

  // Reading is not writing: a channel opened for reading refuses writes.
  const Stop w = StopOf([] { WriteByte(1, 0); });
  EXPECT_EQ(w.status, kErrFile);
  EXPECT_NE(w.cause.find("opened for reading"), std::string::npos);
  EXPECT_EQ(ReadFile(path), (Bytes{1, 2, 3}));
}

TEST(FileChannels, ReadStringStopsAtAZeroByte) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("names.bin");
  WriteFile(path, {'B', 'o', 'b', 0, 'x', 'A', 'n', 'n'});
  ASSERT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(ReadString(1, 0), "");
  EXPECT_EQ(ReadString(1, -5), "");
  EXPECT_EQ(Rt().channels[1].position, 0);
  EXPECT_EQ(ReadString(1, 5), "Bob");
  EXPECT_EQ(ReadString(1, 3), "Ann");
  EXPECT_EQ(StopOf([] { ReadString(1, 1e9); }).status, kErrFile);  // no gigabyte buffer either
}

TEST(FileChannels, ReadLineSplitsLinesAndGivesBackWhatFollows) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("text.txt");
  WriteText(path, "first\r\nsecond\n\n42.5\r\nab\ncd");
  ASSERT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(ReadLine(1), "first");
  EXPECT_EQ(ReadLine(1), "second");
  EXPECT_EQ(ReadLine(1), "");
  EXPECT_EQ(ReadNumberLine(1), 42.5);
  EXPECT_EQ(ReadLine(1), "ab");
  EXPECT_EQ(ReadByte(1), 'c');  // the line reader gave back the bytes after its newline
  EXPECT_EQ(ReadLine(1), "d");  // the last line needs no newline
  EXPECT_EQ(EndOfFile(1), 1);
  EXPECT_EQ(StopOf([] { ReadLine(1); }).status, kErrFile);
}

TEST(FileChannels, LongLinesComeIn1024BytePieces) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("long.txt");
  WriteText(path, std::string(1500, 'x') + "\nend\n" + std::string(64, 'y'));
  ASSERT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(ReadLine(1), RtString(std::string(1024, 'x')));
  EXPECT_EQ(ReadLine(1), RtString(std::string(476, 'x')));
  EXPECT_EQ(ReadLine(1), "end");
  // A last line that ends exactly at a 64-byte piece, without a newline, is still a line.
  EXPECT_EQ(ReadLine(1), RtString(std::string(64, 'y')));
  EXPECT_EQ(StopOf([] { ReadLine(1); }).status, kErrFile);
}

TEST(FileChannels, SaveReplacesTheOldFileOnlyWhenClosed) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("Data.bin");
  WriteFile(path, {'O', 'L', 'D'});
  ::chmod(path.c_str(), 0640);
  ASSERT_EQ(FileOpen(1, path, 0), 1);
  WriteLong(1, 1234);
  EXPECT_EQ(ReadFile(path), (Bytes{'O', 'L', 'D'}));  // the old records are whole while the new ones go out
  EXPECT_EQ(FilesIn(dir.path()).size(), 2u);
  FileClose(1);
  EXPECT_EQ(ReadFile(path), (Bytes{0xD2, 0x04, 0, 0}));
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Data.bin"});
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the file keeps its permissions

  // Opened for writing and closed with nothing written: the file is replaced by an empty one.
  ASSERT_EQ(FileOpen(1, path, 0), 1);
  FileClose(1);
  EXPECT_TRUE(ReadFile(path).empty());
  EXPECT_EQ(FilesIn(dir.path()).size(), 1u);
}

TEST(FileChannels, SaveStoppedBeforeCloseLeavesTheOldFileWhole) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("Name.bin");
  WriteFile(path, {'O', 'L', 'D'});
  ASSERT_EQ(FileOpen(1, path, 0), 1);
  WriteByte(1, 'N');
  // The program stops with an error in the middle of the save; shutdown closes the channels.
  EXPECT_EQ(StopOf([] { ReadByte(8); }).status, kErrChannel);
  EXPECT_EQ(ReadFile(path), (Bytes{'O', 'L', 'D'}));
  CloseAllChannels();
  EXPECT_EQ(ReadFile(path), (Bytes{'O', 'L', 'D'}));
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Name.bin"});
  EXPECT_EQ(Rt().channels[1].handle, nullptr);

  // A fresh runtime record discards an unfinished save the same way.
  ASSERT_EQ(FileOpen(2, path, 0), 1);
  WriteByte(2, 'N');
  ResetRuntimeContext();
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Name.bin"});
}

TEST(FileChannels, ReopeningAWritingChannelCompletesItsFile) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string first = dir.File("Player.bin");
  const std::string second = dir.File("Duzozez.bin");
  ASSERT_EQ(FileOpen(1, first, 0), 1);
  WriteByte(1, 7);
  ASSERT_EQ(FileOpen(1, second, 0), 1);
  EXPECT_EQ(ReadFile(first), Bytes{7});
  CloseAllChannels();
  EXPECT_FALSE(FileExists(second));  // never closed: never written
  EXPECT_EQ(FilesIn(dir.path()).size(), 1u);
}

TEST(FileChannels, OpenFailuresReturnZeroWithoutStopping) {
  ResetRuntimeContext();
  TempDir dir;
  EXPECT_EQ(FileOpen(1, dir.File("no/such/folder.bin"), 0), 0);
  const Stop s = StopOf([] { WriteByte(1, 0); });
  EXPECT_EQ(s.status, kErrFile);
  EXPECT_NE(s.cause.find("folder.bin"), std::string::npos);
  EXPECT_EQ(FileOpen(1, dir.path(), 1), 0);  // a folder is not a file
  EXPECT_EQ(FileOpen(1, dir.path(), 0), 0);
  EXPECT_EQ(FileOpen(1, "", 0), 0);
  EXPECT_EQ(FilesIn(dir.path()).size(), 0u);
}

TEST(FileChannels, AFileIsHeldByOneChannelAtATime) {
  ResetRuntimeContext();
  TempDir dir;
  const std::string path = dir.File("Map1-1.bin");
  WriteFile(path, {5});
  EXPECT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(FileOpen(2, path, 1), 0);
  FileClose(1);
  EXPECT_EQ(FileOpen(2, path, 1), 1);
  EXPECT_EQ(ReadByte(2), 5);
  FileClose(2);

  // Another program (a second copy of the game loading the same level) holds it for a moment: the open
  // waits for it instead of failing.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t other = ::fork();
  ASSERT_GE(other, 0);
  if (other == 0) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "r", 1) != 1) ::_exit(1);
    ::usleep(100 * 1000);
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_EQ(FileOpen(1, path, 1), 1);
  EXPECT_EQ(ReadByte(1), 5);
  FileClose(1);
  ::waitpid(other, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(FileChannels, OnlyRegularFilesAreReadOrReplacedAndNothingWaits) {
  testing_support::HangGuard guard(30);
  ResetRuntimeContext();
  TempDir dir;
  const std::string fifo = dir.File("Map1-1.bin");
  testing_support::MakeFifo(fifo);
  // Reading: refused at once, and the first read names the reason.
  EXPECT_EQ(FileOpen(1, fifo, 1), 0);
  Stop stop = StopOf([] { ReadByte(1); });
  EXPECT_EQ(stop.status, 3);
  EXPECT_EQ(stop.cause, "file read failed: channel 1, " + fifo + " (ReadByte: not a regular file)");
  EXPECT_EQ(FileOpen(1, "/dev/zero", 1), 0);
  stop = StopOf([] { ReadLong(1); });
  EXPECT_NE(stop.cause.find("not a regular file"), std::string::npos) << stop.cause;
  // Writing: the FIFO is not replaced by a file.
  EXPECT_EQ(FileOpen(2, fifo, 0), 0);
  stop = StopOf([] { WriteByte(2, 1); });
  EXPECT_EQ(stop.status, 3);
  EXPECT_NE(stop.cause.find("not a regular file"), std::string::npos) << stop.cause;
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Map1-1.bin"});
}

TEST(FileChannels, RemoveFileDeletesQuietly) {
  TempDir dir;
  WriteFile(dir.File("old.bin"), {1});
  RemoveFile(dir.File("old.bin"));
  EXPECT_FALSE(FileExists(dir.File("old.bin")));
  RemoveFile(dir.File("old.bin"));  // already gone: nothing happens
}

}  // namespace
