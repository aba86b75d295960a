// The packed resource archive: media files are either loose files or entries of one archive file.
#pragma once

#include <string>

#include "runtime/core/RuntimeContext.h"

constexpr int kMediaArchive = 0;
constexpr int kMusicArchive = 1;

// Names the media and music archives; resets both records (deleting their extracted files).
void SetArchive(const std::string& mediaArchivePath, const std::string& musicArchivePath);
// Finds `path` as a loose file or as an archive entry extracted to a private temporary file.
// On success `resolvedPath` is the file to read; on failure the loader reads `path` itself.
bool ResolveMediaPath(ArchiveRecord& record, const std::string& path, std::string& resolvedPath);
// The file a media loader should read for `path`: the resolved file, or `path` when nothing resolved.
std::string ResolveMedia(const std::string& path);
// Deletes the extracted files of both records (at SetArchive and at shutdown).
void ReleaseArchives();
