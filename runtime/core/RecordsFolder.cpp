// The records folder: chosen once at start-up, locked around every read and save of the records.
#include "runtime/core/RecordsFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "runtime/core/Errors.h"
#include "runtime/core/FileChannels.h"
#include "runtime/core/RegularFile.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/platform/Platform.h"

namespace {

// The lock file beside the records.
constexpr const char* kLockName = "Maps/.records.lock";
// How long a copy waits for another copy's save before it gives up, and how often it looks.
constexpr int kLockWaitMs = 10000;
constexpr int kLockPollMs = 5;

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != 0) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

const std::string& RecordsFolder() {
  return Rt().recordsFolder;
}

std::string UserDataFolder(const std::string& game) {
  // A relative $XDG_DATA_HOME is not valid and is passed over, as an unset one is.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg) + game + "/";
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : WithSlash(home) + ".local/share/" + game + "/";
}

void ChooseRecordsFolder(const std::string& game) {
  RuntimeContext& rt = Rt();
  rt.recordsFolder.clear();
  if (!rt.options.dataDir.empty()) return;  // --data DIR: everything in DIR
  const std::string folder = UserDataFolder(game);
  if (folder.empty()) return;
  // A game installed for one user may live in that very folder; its records are then the user's.
  std::error_code ec;
  if (std::filesystem::equivalent(folder, ".", ec)) return;
  rt.recordsFolder = folder;
}

std::string RecordPath(const std::string& name) {
  const std::string& folder = RecordsFolder();
  return (folder.empty() ? std::string("./") : folder) + name;
}

RecordsLock::RecordsLock(const std::vector<std::string>& names) {
  const std::string maps = RecordPath("Maps/");
  if (!RecordsFolder().empty()) {
    std::error_code ec;
    std::filesystem::create_directories(maps, ec);
    if (ec && !std::filesystem::is_directory(maps)) {
      RuntimeFail(kErrFile,
                  "cannot make the records folder " + maps + " (" + FileErrorText(ec.value()) + ")");
    }
  }
  const std::string lockPath = RecordPath(kLockName);
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd_ < 0) return;  // a folder we cannot write: read without the lock, as nothing can be saved there
  for (int waited = 0; ::flock(fd_, LOCK_EX | LOCK_NB) != 0; waited += kLockPollMs) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      // No locks on this file system: go on without.
      ::close(fd_);
      fd_ = -1;
      return;
    }
    if (waited >= kLockWaitMs) {
      ::close(fd_);
      fd_ = -1;
      RuntimeFail(kErrFile, "records in use by another copy of the game for more than " +
                                std::to_string(kLockWaitMs / 1000) + " seconds: " + lockPath);
    }
    ::usleep(kLockPollMs * 1000);
  }
  // No save is under way now: finish an interrupted one, remove what stopped ones left behind.
  try {
    RecoverWriteGroup(maps, names);
  } catch (...) {
    ::close(fd_);
    fd_ = -1;
    throw;
  }
}

RecordsLock::~RecordsLock() {
  if (fd_ >= 0) ::close(fd_);
  // Whatever was saved under the lock is complete now; a platform that keeps files elsewhere stores it.
  if (Rt().platform) Rt().platform->KeepRecords();
}
