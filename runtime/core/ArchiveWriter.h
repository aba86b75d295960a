// Writing the packed resource archive: used by the kpqpack tool and by tests that need archives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArchiveInput {
  std::string name;           // the name the entry is stored and looked up under
  std::vector<uint8_t> data;  // the file's bytes
};

// The stored form of one file: uint32 decompressed size, then the file compressed with LZO1X-1.
// Throws std::invalid_argument for a file above the archive's size cap.
std::vector<uint8_t> CompressEntry(const std::vector<uint8_t>& data);

// A whole archive: the entries' data in the given order, the directory, its 0 terminator, "kpQ" and the
// directory offset. With `negativeOffsets` the directory offset and every data offset count from the end
// of the file. The same entries always give the same bytes.
// Throws std::invalid_argument naming the entry for a name that is empty, longer than 255 bytes, not safe
// as a file name, or equal to an earlier one ignoring letter case; and for an archive beyond 2 GiB.
std::vector<uint8_t> PackArchive(const std::vector<ArchiveInput>& entries, bool negativeOffsets);
