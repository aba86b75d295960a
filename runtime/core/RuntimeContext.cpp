// The runtime's record, the private temporary folder and the runtime log.
#include "runtime/core/RuntimeContext.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "runtime/core/Replay.h"
#include "runtime/platform/Platform.h"

InputState::InputState() = default;
InputState::~InputState() = default;
InputState::InputState(InputState&&) noexcept = default;
InputState& InputState::operator=(InputState&&) noexcept = default;

RuntimeContext* gRuntimeContext = nullptr;

RuntimeContext& MakeRuntimeContext() {
  if (!gRuntimeContext) gRuntimeContext = new RuntimeContext();
  return *gRuntimeContext;
}

void ResetRuntimeContext() {
  RuntimeContext* old = gRuntimeContext;
  gRuntimeContext = new RuntimeContext();
  if (old) {
    for (auto& ch : old->channels) {
      if (ch.handle) std::fclose(ch.handle);
      if (!ch.tempPath.empty()) ::unlink(ch.tempPath.c_str());
    }
    for (const auto& file : old->writeGroup.files) ::unlink(file.first.c_str());
    delete old;
  }
}

const std::string& PrivateTempDir() {
  std::string& dir = Rt().privateTempDir;
  if (!dir.empty()) return dir;
  const char* base = std::getenv("TMPDIR");
  std::string root = (base && *base) ? base : "/tmp";
  if (root.back() != '/') root += '/';
  // A folder of our own, so that no other user can pre-place a file or a link under our names.
  std::string candidate = root + "brillora-" + std::to_string(::getuid());
  struct stat st {};
  if (::mkdir(candidate.c_str(), 0700) != 0 && errno != EEXIST) {
    candidate.clear();
  } else if (::lstat(candidate.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
             (st.st_mode & 077) != 0) {
    // Someone else's folder, or a link: make a fresh one with a unique name instead.
    std::string templ = root + "brillora-XXXXXX";
    candidate = ::mkdtemp(templ.data()) ? templ : std::string();
  }
  // Without a folder of our own the log and extracted files are not written at all: the shared folder
  // could hold links of others. The answer is then "", and callers check for it.
  if (!candidate.empty() && candidate.back() != '/') candidate += '/';
  dir = candidate;
  return dir;
}

std::string ErrorLogPath() {
  const std::string& dir = PrivateTempDir();
  return dir.empty() ? std::string() : dir + "ErrorLog.txt";
}

void AppendErrorLog(const std::string& text) {
  const std::string path = ErrorLogPath();
  if (path.empty()) return;
  for (int attempt = 0; attempt < 5; ++attempt) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (out) {
      out << text << "\r\n";
      return;
    }
    if (attempt < 4) ::usleep(100 * 1000);
  }
}
