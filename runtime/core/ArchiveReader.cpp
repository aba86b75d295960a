// Decoding of the packed resource archive: every length is checked before it is used.
#include "runtime/core/ArchiveReader.h"

#ifndef __EMSCRIPTEN__
#include <lzo/lzo1x.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr uint8_t kMagic[3] = {'k', 'p', 'Q'};
// The shortest LZO1X stream: the end-of-stream marker alone.
constexpr size_t kMinLzoStream = 3;
// The first output buffer of a decompression: this many bytes per stream byte, plus the slack.
constexpr size_t kFirstGuessRatio = 8;
constexpr size_t kFirstGuessSlack = 64 * 1024;

int32_t ReadInt32(const uint8_t* p) {
  const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(v);
}

uint32_t ReadUint32(const uint8_t* p) {
  return static_cast<uint32_t>(ReadInt32(p));
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where an offset from the archive points: from the start, or (negative directory offset) from the end.
int64_t Locate(int64_t archiveSize, bool fromEnd, int32_t offset) {
  return fromEnd ? archiveSize + offset : static_cast<int64_t>(offset);
}

}  // namespace

bool MemoryArchiveSource::ReadAt(int64_t offset, uint8_t* out, size_t count) const {
  const int64_t size = Size();
  if (offset < 0 || offset > size || count > static_cast<uint64_t>(size - offset)) return false;
  if (count > 0) std::memcpy(out, bytes_.data() + offset, count);
  return true;
}

bool FileArchiveSource::ReadAt(int64_t offset, uint8_t* out, size_t count) const {
  if (offset < 0 || offset > size_ || count > static_cast<uint64_t>(size_ - offset)) return false;
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // error, or the file shrank under us
    done += static_cast<size_t>(got);
  }
  return true;
}

#ifdef __EMSCRIPTEN__
// The browser build has no LZO: its media travel as loose files, and a packed entry reads as unusable.
bool LzoReady() {
  return false;
}
#else
bool LzoReady() {
  static const bool ready = lzo_init() == LZO_E_OK;
  return ready;
}
#endif

size_t LzoWorstCase(size_t size) {
  return size + size / 16 + 64 + 3;
}

std::string_view ArchiveEntryName(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool SameEntryName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name == ".") return false;
  if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return false;
  return name.find("..") == std::string_view::npos;
}

size_t LzoMostOutput(size_t size) {
  return size * kLzoMostRatio;
}

bool UnpackedSizePossible(uint32_t unpacked, size_t streamBytes) {
  return unpacked <= kMaxArchiveEntryBytes && streamBytes <= LzoWorstCase(unpacked) &&
         unpacked <= LzoMostOutput(streamBytes);
}

bool DecompressStoredEntry(std::span<const uint8_t> stored, std::vector<uint8_t>& out) {
  out.clear();
  if (stored.size() < 4 + kMinLzoStream || !LzoReady()) return false;
  const uint32_t unpacked = ReadUint32(stored.data());
  const std::span<const uint8_t> stream = stored.subspan(4);
  if (!UnpackedSizePossible(unpacked, stream.size())) return false;

  // The buffer starts at a small multiple of the stream and grows only while the stream keeps producing
  // bytes, so a size claimed by a damaged or crafted entry costs no more than its data can decode to.
  size_t capacity = std::min<size_t>(unpacked, stream.size() * kFirstGuessRatio + kFirstGuessSlack);
  std::vector<uint8_t> buffer;
  for (;;) {
    // One spare byte so that an empty file still has a buffer to point at.
    buffer.resize(capacity + 1);
#ifdef __EMSCRIPTEN__
    return false;
#else
    lzo_uint produced = capacity;
    const int result = lzo1x_decompress_safe(stream.data(), stream.size(), buffer.data(), &produced, nullptr);
    if (result == LZO_E_OUTPUT_OVERRUN && capacity < unpacked) {
      capacity = std::min<size_t>(unpacked, capacity * 4);
      continue;
    }
    // Bytes after the end-of-stream marker are tolerated; the file itself must be complete.
    if ((result != LZO_E_OK && result != LZO_E_INPUT_NOT_CONSUMED) || produced != unpacked) return false;
    break;
#endif
  }
  buffer.resize(unpacked);
  out = std::move(buffer);
  return true;
}

ArchiveLookup FindArchiveEntry(const ArchiveSource& source, std::string_view wantedName,
                               ArchiveEntry& entry) {
  entry = ArchiveEntry{};
  const int64_t size = source.Size();
  uint8_t trailer[kArchiveTrailerBytes] = {};
  if (size < kArchiveTrailerBytes || !source.ReadAt(size - kArchiveTrailerBytes, trailer, sizeof trailer) ||
      std::memcmp(trailer, kMagic, sizeof kMagic) != 0) {
    return ArchiveLookup::kBadTrailer;
  }
  const int32_t directory = ReadInt32(trailer + 3);
  const bool fromEnd = directory < 0;
  int64_t pos = Locate(size, fromEnd, directory);
  if (pos < 0 || pos > size) return ArchiveLookup::kBadTrailer;

  // Each entry moves `pos` forward by at least 10 bytes, so the walk ends within the file.
  for (;;) {
    uint8_t nameLength = 0;
    if (!source.ReadAt(pos, &nameLength, 1) || nameLength == 0) return ArchiveLookup::kNotFound;
    pos += 1;
    std::string name(nameLength, '\0');
    uint8_t numbers[8] = {};
    if (!source.ReadAt(pos, reinterpret_cast<uint8_t*>(name.data()), nameLength) ||
        !source.ReadAt(pos + nameLength, numbers, sizeof numbers)) {
      return ArchiveLookup::kBadEntry;  // the directory runs past the end of the file
    }
    pos += nameLength + static_cast<int64_t>(sizeof numbers);
    if (!SameEntryName(name, wantedName)) continue;

    entry.name = name;
    entry.offset = ReadInt32(numbers);
    entry.storedSize = ReadInt32(numbers + 4);
    // The name becomes part of a file name when the entry is extracted.
    if (!IsSafeEntryName(name)) return ArchiveLookup::kBadEntry;
    const int64_t start = Locate(size, fromEnd, entry.offset);
    const int64_t storedSize = entry.storedSize;
    if (storedSize < 4 || start < 0 || start > size || storedSize > size - start) {
      return ArchiveLookup::kBadEntry;
    }
    // Check the claimed size before reading the rest, so a damaged entry never costs a large buffer.
    uint8_t head[4] = {};
    if (!source.ReadAt(start, head, sizeof head)) return ArchiveLookup::kBadEntry;
    const uint32_t unpacked = ReadUint32(head);
    if (!UnpackedSizePossible(unpacked, static_cast<size_t>(storedSize - 4))) {
      return ArchiveLookup::kBadEntry;
    }
    std::vector<uint8_t> stored(static_cast<size_t>(storedSize), 0);
    if (!source.ReadAt(start, stored.data(), stored.size()) || !DecompressStoredEntry(stored, entry.data)) {
      return ArchiveLookup::kBadEntry;
    }
    return ArchiveLookup::kFound;
  }
}

ArchiveLookup FindArchiveEntry(std::span<const uint8_t> archive, std::string_view wantedName,
                               ArchiveEntry& entry) {
  return FindArchiveEntry(MemoryArchiveSource(archive), wantedName, entry);
}
