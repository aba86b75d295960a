// The media and music archive records: path lookup for every media load, loose files first, then the
// archive, whose entry is extracted to a file of our own in the private temporary folder.
#include "runtime/core/Archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/core/ArchiveReader.h"
#include "runtime/core/RegularFile.h"

namespace {

// The largest media or archive file read into memory.
constexpr uint64_t kMaxMediaFileBytes = uint64_t{256} << 20;

// An open descriptor that closes itself.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_ = -1;
};

void DeleteExtracted(ArchiveRecord& record) {
  if (record.extractedPath.empty()) return;
  ::unlink(record.extractedPath.c_str());
  record.extractedPath.clear();
}

// The private temporary folder, but only if it really is private: a folder of ours that no one else can
// write to. Extracted files are never written anywhere else.
bool PrivateFolderUsable(std::string dir) {
  // Without the trailing "/", so that a link in place of the folder is seen as a link.
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  struct stat st {};
  return !dir.empty() && ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

char NameLetter(int32_t value) {
  return static_cast<char>('A' + (static_cast<uint32_t>(value) & 0xFF) % 26);
}

// Writes the extracted file under a fresh name; a stale file or link of that name is removed first and
// the new file is created exclusively, so nothing is written through a link.
bool WriteExtractedFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    ok = wrote > 0;
    if (ok) done += static_cast<size_t>(wrote);
  }
  ok = (::close(fd) == 0) && ok;
  // An incomplete file is removed: the loader then falls back to the path it was asked for.
  if (!ok) ::unlink(path.c_str());
  return ok;
}

// Reads all of an open descriptor's `size` bytes.
bool ReadAll(int fd, int64_t size, std::vector<uint8_t>& bytes) {
  if (size < 0 || static_cast<uint64_t>(size) > kMaxMediaFileBytes) return false;
  bytes.resize(static_cast<size_t>(size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

// The archive file in memory, read at the first lookup after SetArchive; false when it cannot be read.
bool ArchiveContents(ArchiveRecord& record) {
  if (record.read) return true;
  int64_t size = 0;
  int error = 0;
  Fd archive(record.archivePath.empty() ? -1 : OpenRegularFile(record.archivePath, size, error));
  if (archive.get() < 0 || !ReadAll(archive.get(), size, record.contents)) {
    record.contents.clear();
    return false;
  }
  record.read = true;
  return true;
}

// Looks the entry of `path` up in the archive held in memory; marks the archive unusable when it has no
// valid trailer (or cannot be read at all).
ArchiveLookup LookUpEntry(ArchiveRecord& record, const std::string& path, ArchiveEntry& entry) {
  if (!ArchiveContents(record)) {
    record.usable = false;
    return ArchiveLookup::kBadTrailer;
  }
  const ArchiveLookup found = FindArchiveEntry(record.contents, ArchiveEntryName(path), entry);
  if (found == ArchiveLookup::kBadTrailer) record.usable = false;
  return found;
}

}  // namespace

bool ReadMediaFile(ArchiveRecord& record, const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (path.empty()) return false;
  // Loose files always win over the archive.
  int64_t size = 0;
  int error = 0;
  {
    Fd loose(OpenRegularFile(path, size, error));
    if (loose.get() >= 0) return ReadAll(loose.get(), size, bytes);
  }
  if (!record.usable) return false;
  ArchiveEntry entry;
  if (LookUpEntry(record, path, entry) != ArchiveLookup::kFound) return false;
  bytes = std::move(entry.data);
  return true;
}

bool ReadMedia(const std::string& path, std::vector<uint8_t>& bytes) {
  return ReadMediaFile(Rt().archives[kMediaArchive], path, bytes);
}

void SetArchive(const std::string& mediaArchivePath, const std::string& musicArchivePath) {
  ReleaseArchives();
  Rt().archives[kMediaArchive] = ArchiveRecord{true, mediaArchivePath, "", false, {}};
  Rt().archives[kMusicArchive] = ArchiveRecord{true, musicArchivePath, "", false, {}};
}

bool ResolveMediaPath(ArchiveRecord& record, const std::string& path, std::string& resolvedPath) {
  // At most one extracted file per record: the last lookup's file goes when the next lookup starts.
  DeleteExtracted(record);
  resolvedPath.clear();
  if (path.empty()) return false;

  // Loose files always win over the archive.
  int64_t size = 0;
  int error = 0;
  {
    // Only a regular file counts: a FIFO or a device under a media name is passed over at once.
    Fd loose(OpenRegularFile(path, size, error));
    if (loose.get() >= 0) {
      resolvedPath = path;
      return true;
    }
  }
  if (!record.usable) return false;

  ArchiveEntry entry;
  if (LookUpEntry(record, path, entry) != ArchiveLookup::kFound) return false;

  const std::string& folder = PrivateTempDir();
  if (!PrivateFolderUsable(folder)) return false;
  const std::string extracted =
      folder + "kpq" + NameLetter(entry.offset) + NameLetter(entry.storedSize) + entry.name;
  if (!WriteExtractedFile(extracted, entry.data)) return false;
  record.extractedPath = extracted;
  resolvedPath = extracted;
  return true;
}

std::string ResolveMedia(const std::string& path) {
  std::string resolved;
  return ResolveMediaPath(Rt().archives[kMediaArchive], path, resolved) ? resolved : path;
}

void ReleaseArchives() {
  for (ArchiveRecord& record : Rt().archives) DeleteExtracted(record);
}
