// The eight file channels of the runtime record: opening, fixed-width little-endian reads and writes,
// text lines, and the safe replacement of files being written.
#include "runtime/core/FileChannels.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/Errors.h"
#include "runtime/core/NumberTrunc.h"
#include "runtime/core/RegularFile.h"
#include "runtime/core/RuntimeContext.h"

namespace {

constexpr int kChannelCount = 8;
constexpr int kLineMax = 1024;  // longest line ReadLine returns at once
constexpr int kLinePiece = 64;  // ReadLine reads this many bytes at a time
constexpr int kRead = 1;
constexpr int kWrite = 2;
constexpr size_t kMaxCommitRecordBytes = 64 * 1024;
constexpr int kHeldWaitMs = 1000;  // how long a read waits for a file another program holds

// "channel 1, ./Maps/Map1-1.bin"
std::string Describe(int ch, const FileChannel& c) {
  std::string text = "channel " + std::to_string(ch);
  if (!c.path.empty()) text += ", " + c.path;
  return text;
}

[[noreturn]] void Fail(const char* what, int ch, const FileChannel& c, const char* op,
                       const std::string& why) {
  RuntimeFail(kErrFile, std::string(what) + ": " + Describe(ch, c) + " (" + op + ": " + why + ")");
}

[[noreturn]] void FailRead(int ch, const FileChannel& c, const char* op, const std::string& why) {
  Fail("file read failed", ch, c, op, why);
}

// The files of an unfinished write group are removed; the old files stay.
void DiscardWriteGroup() {
  for (const auto& file : Rt().writeGroup.files) ::unlink(file.first.c_str());
  Rt().writeGroup = WriteGroup();
}

// Files written but not yet in place: the temporaries of every channel still writing and of an unfinished
// write group. All are removed, so that a failed save leaves the old files and nothing else.
void AbandonWrites() {
  for (FileChannel& c : Rt().channels) {
    if (!c.writing) continue;
    if (c.handle != nullptr) std::fclose(c.handle);
    if (!c.tempPath.empty()) ::unlink(c.tempPath.c_str());
    c = FileChannel();
  }
  DiscardWriteGroup();
}

[[noreturn]] void FailWrite(int ch, const FileChannel& c, const char* op, const std::string& why) {
  const std::string message = "file write failed: " + Describe(ch, c) + " (" + op + ": " + why + ")";
  AbandonWrites();
  RuntimeFail(kErrFile, message);
}

// "dir/Data.bin" gives "dir/" and "Data.bin"; a bare "Data.bin" gives "" and itself.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file is written as "." + its name + "." + six random letters or digits, beside the file it replaces.
std::string TempPrefix(const std::string& name) {
  return "." + name + ".";
}
constexpr size_t kTempSuffixLength = 6;

// Whether `file` is a temporary of `name`: TempPrefix(name) and then the suffix. Compared in place, since
// every record lock asks it of every file in the records folder.
bool IsTemporaryOf(std::string_view file, std::string_view name) {
  if (file.size() != name.size() + 2 + kTempSuffixLength || file.front() != '.' ||
      file.substr(1, name.size()) != name || file[name.size() + 1] != '.')
    return false;
  return std::all_of(file.end() - static_cast<std::ptrdiff_t>(kTempSuffixLength), file.end(),
                     [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) != 0; });
}

// The commit record of a write group: once it is on disk the group counts as saved, and a program stopped
// before all its files were put in place has them put in place at the next start.
constexpr const char* kCommitRecordName = ".save-commit";

// Why a channel without a file cannot be used: the reason its FileOpen failed, if it did.
std::string NotOpenText(const FileChannel& c) {
  return c.openError != 0 ? FileErrorText(c.openError) : std::string("channel not open");
}

// The range test every operation starts with.
int ChannelIndex(double channel, const char* op) {
  if (!(channel >= 0 && channel < kChannelCount)) {
    RuntimeFail(kErrChannel, "file channel out of range: channel " + std::string(NumberToText(channel)) +
                                 " in " + op + " (channels are 0 to 7)");
  }
  return static_cast<int>(channel);
}

// Bytes requested by reads so far; counted before each read, whether it succeeds or not.
void AdvancePosition(FileChannel& c, int64_t bytes) {
  c.position = static_cast<int32_t>(std::clamp<int64_t>(c.position + bytes, INT32_MIN, INT32_MAX));
}

// A buffered file must be repositioned between a write and a read that follows it, and the reverse.
void PrepareDirection(FileChannel& c, int direction) {
  if (c.lastDirection != 0 && c.lastDirection != direction) std::fseek(c.handle, 0, SEEK_CUR);
  c.lastDirection = direction;
}

// Reads exactly `width` bytes for `op`, or stops the program.
void ReadExact(double channel, const char* op, uint8_t* out, size_t width) {
  const int ch = ChannelIndex(channel, op);
  FileChannel& c = Rt().channels[ch];
  AdvancePosition(c, static_cast<int64_t>(width));
  if (c.handle == nullptr) FailRead(ch, c, op, NotOpenText(c));
  PrepareDirection(c, kRead);
  const size_t got = std::fread(out, 1, width, c.handle);
  if (got < width) {
    const int err = std::ferror(c.handle) ? errno : 0;
    std::clearerr(c.handle);
    FailRead(ch, c, op,
             err != 0
                 ? FileErrorText(err)
                 : "only " + std::to_string(got) + " of " + std::to_string(width) + " bytes before the end");
  }
}

uint64_t ReadLittleEndian(double channel, const char* op, size_t width) {
  uint8_t bytes[8] = {};
  ReadExact(channel, op, bytes, width);
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

void WriteBytes(double channel, const char* op, const void* data, size_t n) {
  const int ch = ChannelIndex(channel, op);
  FileChannel& c = Rt().channels[ch];
  if (c.handle == nullptr) FailWrite(ch, c, op, NotOpenText(c));
  if (!c.writing) FailWrite(ch, c, op, "channel opened for reading");
  PrepareDirection(c, kWrite);
  if (n > 0 && std::fwrite(data, 1, n, c.handle) != n) {
    const int err = errno;
    std::clearerr(c.handle);
    FailWrite(ch, c, op, FileErrorText(err));
  }
}

// The bits the writer of `width` bytes stores for `value`, the low `width` bytes of the result:
//   1 (WriteByte): the low byte of the value as a signed 16-bit integer;
//   2 (WriteWord): the low 16 bits of the value as a 32-bit integer;
//   4 (WriteLong): everything ReadLong can return (0..4294967295) unchanged, and so the negative values of
//     32 bits; anything else is the indefinite value 0x80000000;
//   8 (WriteDouble): the 8 bytes of the 64-bit float.
uint64_t WrittenBits(int width, double value) {
  switch (width) {
    case 1:
      return static_cast<uint16_t>(TruncToInt16OrLowest(value));
    case 2:
      return static_cast<uint32_t>(TruncToInt32OrLowest(value));
    case 4:
      return (value > -2147483649.0 && value < 4294967296.0)
                 ? static_cast<uint32_t>(static_cast<int64_t>(value))
                 : 0x80000000u;
    default:
      return std::bit_cast<uint64_t>(value);
  }
}

const char* WriterName(int width) {
  return width == 1 ? "WriteByte" : width == 2 ? "WriteWord" : width == 4 ? "WriteLong" : "WriteDouble";
}

// Stores the low `width` bytes of `value` at `out`, little-endian.
void PutLittleEndian(uint8_t* out, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteValue(double channel, int width, double value) {
  uint8_t bytes[8] = {};
  PutLittleEndian(bytes, WrittenBits(width, value), static_cast<size_t>(width));
  WriteBytes(channel, WriterName(width), bytes, static_cast<size_t>(width));
}

// Whether the file open as `fd` is the file of an open channel.
bool HeldByAChannel(int fd) {
  struct stat mine {};
  if (::fstat(fd, &mine) != 0) return false;
  for (const FileChannel& c : Rt().channels) {
    struct stat other {};
    if (c.handle != nullptr && ::fstat(::fileno(c.handle), &other) == 0 && other.st_dev == mine.st_dev &&
        other.st_ino == mine.st_ino)
      return true;
  }
  return false;
}

// Only a regular file is read; anything else (a folder, a FIFO, a device) is refused at once.
void OpenForReading(FileChannel& c) {
  int64_t size = 0;
  int err = 0;
  const int fd = OpenRegularFile(c.path, size, err);
  if (fd < 0) {
    c.openError = err;
    return;
  }
  // Held by another program (a second copy of the game reading the same level): that takes a moment, so
  // wait for it a little. Held by a channel of this program: nothing can free it meanwhile, so refuse at
  // once. A file system without locks just goes unlocked.
  for (int waited = 0; ::flock(fd, LOCK_EX | LOCK_NB) != 0;) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) break;
    if (HeldByAChannel(fd) || waited >= kHeldWaitMs) {
      err = EWOULDBLOCK;
      break;
    }
    ::usleep(1000);
    ++waited;
  }
  std::FILE* file = err == 0 ? ::fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    c.openError = err != 0 ? err : errno;
    ::close(fd);
    return;
  }
  c.handle = file;
  c.size = static_cast<uint32_t>(std::min<int64_t>(size, UINT32_MAX));
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The new file is written under a unique temporary name in the same folder, so that the rename on close
// replaces the old file in one step.
void OpenForWriting(FileChannel& c) {
  const std::string& target = c.path;
  if (target.empty() || target.back() == '/') {
    c.openError = target.empty() ? ENOENT : EISDIR;
    return;
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    c.openError = S_ISDIR(old.st_mode) ? EISDIR : kErrNotRegularFile;
    return;
  }
  if (exists && ::access(target.c_str(), W_OK) != 0) {
    c.openError = errno;  // a write-protected file stays as it is
    return;
  }
  std::string temp = FolderOf(target) + TempPrefix(NameOf(target)) + "XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    c.openError = errno;
    return;
  }
  ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode());
  std::FILE* file = ::fdopen(fd, "w+b");
  if (file == nullptr) {
    c.openError = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return;
  }
  c.handle = file;
  c.writing = true;
  c.tempPath = temp;
}

// Makes a completed rename durable too; a folder that cannot be synced is not an error.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes `text` as the file `path`, whole and synced, in place of any old one. False with `err` set when
// it could not; nothing is left behind then.
bool WriteWholeFile(const std::string& path, const std::string& text, int& err) {
  err = 0;
  std::string temp = FolderOf(path) + TempPrefix(NameOf(path)) + "XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    err = errno;
    return false;
  }
  size_t done = 0;
  while (err == 0 && done < text.size()) {
    const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) err = wrote < 0 ? errno : ENOSPC;
    if (wrote > 0) done += static_cast<size_t>(wrote);
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(FolderOf(path));
  return true;
}

// Closes channel `ch`. A file being written reaches the disk in full and only then takes the place of the
// old one; if any step fails, the old file stays and the program stops with error 3.
void CloseChannel(int ch, const char* op) {
  FileChannel& c = Rt().channels[ch];
  if (c.handle == nullptr) {
    c = FileChannel();
    return;
  }
  if (!c.writing) {
    std::fclose(c.handle);
    c = FileChannel();
    return;
  }
  const FileChannel closing = c;
  c = FileChannel();  // cleared first: a stop below must not find the channel half closed
  int err = 0;
  if (std::fflush(closing.handle) != 0) {
    err = errno;
  } else if (::fsync(::fileno(closing.handle)) != 0) {
    err = errno;
  }
  if (std::fclose(closing.handle) != 0 && err == 0) err = errno;
  if (err != 0) {
    ::unlink(closing.tempPath.c_str());
    FailWrite(ch, closing, op, FileErrorText(err));
  }
  WriteGroup& group = Rt().writeGroup;
  if (group.open) {
    // Part of a save of several files: it waits, whole and synced, for the others.
    const std::string folder = FolderOf(closing.path);
    if (group.files.empty()) group.folder = folder;
    group.files.emplace_back(closing.tempPath, closing.path);
    if (folder != group.folder) FailWrite(ch, closing, op, "the files of one save must share a folder");
    return;
  }
  if (std::rename(closing.tempPath.c_str(), closing.path.c_str()) != 0) {
    err = errno;
    ::unlink(closing.tempPath.c_str());
    FailWrite(ch, closing, op, FileErrorText(err));
  }
  SyncFolder(FolderOf(closing.path));
}

RtString ReadLineFor(double channel, const char* op) {
  const int ch = ChannelIndex(channel, op);
  FileChannel& c = Rt().channels[ch];
  RtString line;
  char* buf = line.WritableBuffer(kLineMax);
  std::memset(buf, 0, kLineMax + 1);
  if (c.handle == nullptr) FailRead(ch, c, op, NotOpenText(c));
  PrepareDirection(c, kRead);
  int total = 0;
  while (total < kLineMax) {
    const int ask = std::min(kLinePiece, kLineMax - total);
    const int got = static_cast<int>(std::fread(buf + total, 1, static_cast<size_t>(ask), c.handle));
    if (got == 0) {
      const int err = std::ferror(c.handle) ? errno : 0;
      std::clearerr(c.handle);
      if (err != 0) FailRead(ch, c, op, FileErrorText(err));
      if (total == 0) FailRead(ch, c, op, "end of file");
      // The file ended right at a piece boundary without a final newline: that is the last line.
      break;
    }
    AdvancePosition(c, got);
    // A short piece means the end of the file: it ends the line as a newline would.
    int scan = got;
    if (got < ask) buf[total + scan++] = '\n';
    const char* newline = static_cast<const char*>(std::memchr(buf + total, '\n', static_cast<size_t>(scan)));
    if (newline != nullptr) {
      const int at = static_cast<int>(newline - buf);
      // Bytes read past the newline are given back for the next read.
      const int past = total + got - (at + 1);
      if (past > 0) std::fseek(c.handle, -static_cast<long>(past), SEEK_CUR);
      AdvancePosition(c, -past);
      buf[at] = 0;
      if (at > 0 && buf[at - 1] == '\r') buf[at - 1] = 0;
      break;
    }
    total += got;
  }
  line.RecountLength();
  return line;
}

}  // namespace

double FileOpen(double channel, const RtString& path, double mode) {
  const int ch = ChannelIndex(channel, "FileOpen");
  CloseChannel(ch, "FileOpen");
  FileChannel& c = Rt().channels[ch];
  c.path = path;
  if (mode != 0) {
    OpenForReading(c);
  } else {
    OpenForWriting(c);
  }
  return c.handle != nullptr ? 1 : 0;
}

double FileClose(double channel) {
  CloseChannel(ChannelIndex(channel, "FileClose"), "FileClose");
  return 0;
}

double ReadByte(double channel) {
  return static_cast<double>(ReadLittleEndian(channel, "ReadByte", 1));
}
double ReadWord(double channel) {
  return static_cast<double>(ReadLittleEndian(channel, "ReadWord", 2));
}
double ReadLong(double channel) {
  return static_cast<double>(ReadLittleEndian(channel, "ReadLong", 4));
}
double ReadDouble(double channel) {
  return std::bit_cast<double>(ReadLittleEndian(channel, "ReadDouble", 8));
}

void ReadBlock(double channel, int width, size_t count, uint8_t* out) {
  const char* op = width == 1 ? "ReadByte" : width == 2 ? "ReadWord" : width == 4 ? "ReadLong" : "ReadDouble";
  const int ch = ChannelIndex(channel, op);
  if (count == 0) return;
  FileChannel& c = Rt().channels[ch];
  const size_t step = static_cast<size_t>(width);
  if (c.handle == nullptr) {
    AdvancePosition(c, width);  // the first read counts its bytes before it fails
    FailRead(ch, c, op, NotOpenText(c));
  }
  PrepareDirection(c, kRead);
  const size_t total = count * step;
  const size_t got = std::fread(out, 1, total, c.handle);
  if (got == total) {
    AdvancePosition(c, static_cast<int64_t>(total));
    return;
  }
  // The values read whole, then the one that reaches the end: counted, and reported with what it found.
  const size_t whole = got / step;
  AdvancePosition(c, static_cast<int64_t>((whole + 1) * step));
  const int err = std::ferror(c.handle) ? errno : 0;
  std::clearerr(c.handle);
  FailRead(ch, c, op,
           err != 0 ? FileErrorText(err)
                    : "only " + std::to_string(got - whole * step) + " of " + std::to_string(step) +
                          " bytes before the end");
}

RtString ReadString(double channel, double count) {
  const char* op = "ReadString";
  const int ch = ChannelIndex(channel, op);
  const int32_t n = TruncToInt32OrLowest(count);
  if (n <= 0) return RtString();
  // Read in slices, so that a count far beyond the file costs no more memory than the file holds.
  std::vector<uint8_t> bytes;
  const size_t wanted = static_cast<size_t>(n);
  FileChannel& c = Rt().channels[ch];
  AdvancePosition(c, n);
  if (c.handle == nullptr) FailRead(ch, c, op, NotOpenText(c));
  PrepareDirection(c, kRead);
  while (bytes.size() < wanted) {
    const size_t have = bytes.size();
    const size_t slice = std::min<size_t>(wanted - have, 65536);
    bytes.resize(have + slice);
    const size_t got = std::fread(bytes.data() + have, 1, slice, c.handle);
    if (got < slice) {
      const int err = std::ferror(c.handle) ? errno : 0;
      std::clearerr(c.handle);
      FailRead(ch, c, op,
               err != 0 ? FileErrorText(err)
                        : "only " + std::to_string(have + got) + " of " + std::to_string(wanted) +
                              " bytes before the end");
    }
  }
  RtString text;
  char* buf = text.WritableBuffer(static_cast<uint32_t>(wanted));
  std::memcpy(buf, bytes.data(), wanted);
  buf[wanted] = 0;
  text.RecountLength();
  return text;
}

RtString ReadLine(double channel) {
  return ReadLineFor(channel, "ReadLine");
}

double ReadNumberLine(double channel) {
  return TextToNumber(ReadLineFor(channel, "ReadNumberLine"));
}

double WriteByte(double channel, double value) {
  WriteValue(channel, 1, value);
  return 1;
}

double WriteWord(double channel, double value) {
  WriteValue(channel, 2, value);
  return 1;
}

double WriteLong(double channel, double value) {
  WriteValue(channel, 4, value);
  return 1;
}

double WriteDouble(double channel, double value) {
  WriteValue(channel, 8, value);
  return 1;
}

void WriteBlock(double channel, int width, const std::vector<double>& values) {
  const char* op = WriterName(width);
  ChannelIndex(channel, op);
  if (values.empty()) return;
  const size_t step = static_cast<size_t>(width);
  std::vector<uint8_t> bytes(values.size() * step);
  for (size_t i = 0; i < values.size(); ++i)
    PutLittleEndian(&bytes[i * step], WrittenBits(width, values[i]), step);
  WriteBytes(channel, op, bytes.data(), bytes.size());
}

double WriteString(double channel, const RtString& text) {
  WriteBytes(channel, "WriteString", text.TextView(), static_cast<size_t>(text.Length()));
  return 1;
}

namespace {
void WriteLineFor(double channel, const char* op, const RtString& text) {
  std::string line(text.TextView(), static_cast<size_t>(text.Length()));
  line += "\r\n";
  WriteBytes(channel, op, line.data(), line.size());
}
}  // namespace

double WriteLine(double channel, const RtString& text) {
  WriteLineFor(channel, "WriteLine", text);
  return 1;
}

double WriteNumberLine(double channel, double value) {
  WriteLineFor(channel, "WriteNumberLine", NumberToText(value));
  return 1;
}

double EndOfFile(double channel) {
  const FileChannel& c = Rt().channels[ChannelIndex(channel, "EndOfFile")];
  return static_cast<int64_t>(c.position) >= static_cast<int64_t>(c.size) ? 1 : 0;
}

void RemoveFile(const RtString& path) {
  ::unlink(path.TextView());
}

void CloseAllChannels() {
  AbandonWrites();
  for (FileChannel& c : Rt().channels) {
    if (c.handle != nullptr) std::fclose(c.handle);
    c = FileChannel();
  }
}

void BeginWriteGroup() {
  DiscardWriteGroup();
  Rt().writeGroup.open = true;
}

void CommitWriteGroup() {
  WriteGroup group = std::move(Rt().writeGroup);
  Rt().writeGroup = WriteGroup();
  if (group.files.empty()) return;
  // 1. The commit record names every file of the group. Until it is on disk, the old files are the save.
  const std::string record = group.folder + kCommitRecordName;
  std::string text = "commit\n";
  for (const auto& [temp, target] : group.files) text += NameOf(temp) + " " + NameOf(target) + "\n";
  text += "end\n";
  int err = 0;
  if (!WriteWholeFile(record, text, err)) {
    for (const auto& file : group.files) ::unlink(file.first.c_str());
    RuntimeFail(kErrFile, "file write failed: " + record + " (CommitWriteGroup: " + FileErrorText(err) + ")");
  }
  // 2. The files take their places. Should this stop half-way, the next start finishes it.
  for (const auto& [temp, target] : group.files) {
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
      err = errno;
      RuntimeFail(kErrFile,
                  "file write failed: " + target + " (CommitWriteGroup: " + FileErrorText(err) + ")");
    }
  }
  SyncFolder(group.folder);
  // 3. Done: the record goes. Should its removal not reach the disk, the next start finds every file of
  // the record already in place and only removes it.
  ::unlink(record.c_str());
}

void RecoverWriteGroup(const std::string& folder, const std::vector<std::string>& names) {
  const auto known = [&](const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  const std::string record = folder + kCommitRecordName;
  std::vector<uint8_t> bytes;
  if (ReadRegularFile(record, kMaxCommitRecordBytes, bytes)) {
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t byte : bytes) {
      if (byte == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += static_cast<char>(byte);
      }
    }
    // A record is written whole before it gets its name, so one without its last line is not ours.
    if (lines.size() >= 2 && lines.front() == "commit" && lines.back() == "end") {
      for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const size_t blank = lines[i].find(' ');
        if (blank == std::string::npos) continue;
        const std::string temp = lines[i].substr(0, blank), target = lines[i].substr(blank + 1);
        // Only our own temporaries of the files named by the caller are ever moved.
        if (!known(target) || !IsTemporaryOf(temp, target)) continue;
        struct stat st {};
        if (::lstat((folder + temp).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;  // already in place
        if (std::rename((folder + temp).c_str(), (folder + target).c_str()) != 0) {
          const int err = errno;
          RuntimeFail(kErrFile, "file write failed: " + folder + target +
                                    " (finishing an interrupted save: " + FileErrorText(err) + ")");
        }
      }
      SyncFolder(folder);
    }
  }
  if (::unlink(record.c_str()) == 0) SyncFolder(folder);
  // Temporaries of saves stopped before their commit record: the old files stand, these are left-overs.
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view file = entry->d_name;
    if (IsTemporaryOf(file, kCommitRecordName) ||
        std::any_of(names.begin(), names.end(),
                    [&](const std::string& name) { return IsTemporaryOf(file, name); }))
      stale.emplace_back(file);
  }
  ::closedir(dir);
  for (const std::string& file : stale) ::unlink((folder + file).c_str());
}
