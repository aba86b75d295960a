// Decoding of the packed resource archive ("Graphic.kpq"): trailer, directory walk and LZO1X entries.
// The decoder reads through an ArchiveSource, so the same code serves an archive file on disk (read in
// checked ranges) and bytes in memory (tests and fuzzers). Every offset and size taken from the archive
// is checked against the archive's length before it is used.
//
// Layout, all integers little-endian, read from the end:
//   ... entry data ... directory ... | "kpQ" | int32 D
// D >= 0 counts from the start of the file; D < 0 counts from the end, and so do the data offsets.
// Directory entry: uint8 L (0 ends the directory), L name bytes, int32 data offset O, int32 stored size S.
// Stored data: uint32 decompressed size U, then S - 4 bytes of LZO1X.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Largest file the archive may hold once decompressed; anything claiming more is refused.
constexpr uint32_t kMaxArchiveEntryBytes = 64u << 20;
// Bytes of the trailer: the magic "kpQ" and the int32 directory offset.
constexpr int64_t kArchiveTrailerBytes = 7;

// Where an archive's bytes come from.
class ArchiveSource {
 public:
  virtual ~ArchiveSource() = default;
  virtual int64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset`; false when the range is not wholly inside the archive or the
  // read fails.
  virtual bool ReadAt(int64_t offset, uint8_t* out, size_t count) const = 0;
};

// An archive held in memory.
class MemoryArchiveSource : public ArchiveSource {
 public:
  explicit MemoryArchiveSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  bool ReadAt(int64_t offset, uint8_t* out, size_t count) const override;

 private:
  std::span<const uint8_t> bytes_;
};

// An open archive file, read with positioned reads. Does not own the descriptor.
class FileArchiveSource : public ArchiveSource {
 public:
  FileArchiveSource(int fd, int64_t size) : fd_(fd), size_(size) {}
  int64_t Size() const override { return size_; }
  bool ReadAt(int64_t offset, uint8_t* out, size_t count) const override;

 private:
  int fd_ = -1;
  int64_t size_ = 0;
};

enum class ArchiveLookup {
  kFound,       // entry found and decompressed
  kNotFound,    // the directory ended without a match; the archive stays usable
  kBadTrailer,  // no magic, or a directory offset outside the file: the archive cannot be used
  kBadEntry,    // the matching entry (or the directory leading to it) is damaged or unsafe
};

struct ArchiveEntry {
  std::string name;           // the entry's name as stored
  int32_t offset = 0;         // data offset O as stored
  int32_t storedSize = 0;     // stored size S as stored
  std::vector<uint8_t> data;  // the decompressed file (U bytes)
};

// Looks `wantedName` up (letter case ignored) and decompresses the first matching entry into `entry`.
ArchiveLookup FindArchiveEntry(const ArchiveSource& source, std::string_view wantedName, ArchiveEntry& entry);
ArchiveLookup FindArchiveEntry(std::span<const uint8_t> archive, std::string_view wantedName,
                               ArchiveEntry& entry);

// Stored data (uint32 U + LZO1X stream) to the file's bytes. False when U is above the cap or more than
// the stream could produce, the stream is damaged, or it does not decode to exactly U bytes.
bool DecompressStoredEntry(std::span<const uint8_t> stored, std::vector<uint8_t>& out);

// The name an entry is looked up by: the part of `path` after its last "/" or "\\".
std::string_view ArchiveEntryName(std::string_view path);
// Names are compared ignoring letter case (ASCII letters).
bool SameEntryName(std::string_view a, std::string_view b);
// A name that can safely become part of a file name: not empty, at most 255 bytes, no "/", "\\", zero
// byte or "..", and not ".".
bool IsSafeEntryName(std::string_view name);

// Most bytes that LZO1X can produce for `size` input bytes (its worst-case expansion).
size_t LzoWorstCase(size_t size);
// Most bytes that `size` bytes of an LZO1X stream can decode to. The longest match costs four bytes plus
// one zero byte for every further 255 bytes of length, so no stream decodes to 255 times its size.
constexpr size_t kLzoMostRatio = 255;
size_t LzoMostOutput(size_t size);
// Whether a stream of `streamBytes` can hold a file of `unpacked` bytes: within the entry cap, and
// neither more compressed than LZO1X can compress nor larger than its worst case.
bool UnpackedSizePossible(uint32_t unpacked, size_t streamBytes);
// Initialises the LZO library once; false if the library is unusable.
bool LzoReady();
