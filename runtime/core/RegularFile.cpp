// Regular files only, opened without waiting: the one way the runtime opens a file it is going to read.
#include "runtime/core/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

int OpenRegularFile(const std::string& path, int64_t& size, int& error) {
  size = 0;
  error = 0;
  // O_NONBLOCK: opening a FIFO must not wait for a writer. It is cleared again below, so that reads of
  // the regular file behave as usual.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    error = kErrNotRegularFile;
  } else {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) error = errno;
  }
  if (error != 0) {
    ::close(fd);
    return -1;
  }
  size = static_cast<int64_t>(st.st_size);
  return fd;
}

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  int64_t size = 0;
  int error = 0;
  const int fd = OpenRegularFile(path, size, error);
  if (fd < 0) return false;
  bool ok = size >= 0 && static_cast<uint64_t>(size) <= maxBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      ok = got > 0;  // 0: the file shrank while it was read
      if (ok) done += static_cast<size_t>(got);
    }
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

std::string FileErrorText(int error) {
  switch (error) {
    case kErrNotRegularFile:
      return "not a regular file";
    case ENOENT:
      return "no such file";
    case EACCES:
    case EPERM:
      return "permission denied";
    case EISDIR:
      return "is a folder";
    case EWOULDBLOCK:
      return "in use by another channel or program";
    case ENOSPC:
    case EDQUOT:
      return "disk full";
    case EROFS:
      return "read-only file system";
    default:
      break;
  }
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}
