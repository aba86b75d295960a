// Placeholder: loose files only, until the archive reader lands.
#include "runtime/core/Archive.h"

#include <unistd.h>

void SetArchive(const std::string& media, const std::string& music) {
  Rt().archives[kMediaArchive] = ArchiveRecord{true, media, ""};
  Rt().archives[kMusicArchive] = ArchiveRecord{true, music, ""};
}

bool ResolveMediaPath(ArchiveRecord&, const std::string& path, std::string& resolvedPath) {
  if (path.empty() || ::access(path.c_str(), R_OK) != 0) {
    resolvedPath.clear();
    return false;
  }
  resolvedPath = path;
  return true;
}

std::string ResolveMedia(const std::string& path) {
  std::string resolved;
  return ResolveMediaPath(Rt().archives[kMediaArchive], path, resolved) ? resolved : path;
}

void ReleaseArchives() {}
