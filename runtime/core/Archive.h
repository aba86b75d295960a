// The packed resource archive: media files are either loose files or entries of one archive file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/core/RuntimeContext.h"

constexpr int kMediaArchive = 0;
constexpr int kMusicArchive = 1;

// Names the media and music archives; resets both records (deleting their extracted files).
void SetArchive(const std::string& mediaArchivePath, const std::string& musicArchivePath);
// Finds `path` as a loose file or as an archive entry extracted to a private temporary file.
// On success `resolvedPath` is the file to read; on failure the loader reads `path` itself.
bool ResolveMediaPath(ArchiveRecord& record, const std::string& path, std::string& resolvedPath);
// The bytes of the media file `path`: the loose file, or the archive entry unpacked in memory (the
// archive file is read once, at its first use). False when neither provides it.
bool ReadMediaFile(ArchiveRecord& record, const std::string& path, std::vector<uint8_t>& bytes);
// The same through the media archive record.
bool ReadMedia(const std::string& path, std::vector<uint8_t>& bytes);
// The file a media loader should read for `path`: the resolved file, or `path` when nothing resolved.
std::string ResolveMedia(const std::string& path);
// Deletes the extracted files of both records (at SetArchive and at shutdown).
void ReleaseArchives();
