// Archive lookup and unpacking on hostile bytes, and archives made by our own packer.
//
// Properties: a lookup that fails leaves no half entry; a found entry carries the wanted name, a safe
// name and at most the size cap; every name an independent walk of the directory lists is found (or its
// entry refused as damaged), never reported missing; stored data either unpacks to exactly the size it
// claims or is refused with nothing kept; and an archive packed by our packer, with offsets from the
// start or from the end, reads back byte for byte.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "runtime/core/ArchiveReader.h"
#include "runtime/core/ArchiveWriter.h"

namespace {

int32_t Int32At(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// The directory names as a plain walk sees them, up to the first entry that runs past the end.
std::vector<std::string> DirectoryNames(const uint8_t* data, size_t size, size_t most) {
  std::vector<std::string> names;
  if (size < 7 || std::memcmp(data + size - 7, "kpQ", 3) != 0) return names;
  const int32_t directory = Int32At(data + size - 4);
  const int64_t start = directory < 0 ? static_cast<int64_t>(size) + directory : directory;
  if (start < 0 || start > static_cast<int64_t>(size)) return names;
  size_t pos = static_cast<size_t>(start);
  while (names.size() < most && pos < size && data[pos] != 0) {
    const size_t length = data[pos];
    if (size - pos < 1 + length + 8) break;
    names.emplace_back(reinterpret_cast<const char*>(data + pos + 1), length);
    pos += 1 + length + 8;
  }
  return names;
}

void CheckLookup(const uint8_t* data, size_t size, const std::string& wanted, bool listed) {
  ArchiveEntry entry;
  entry.data.assign(3, 0xAB);  // left over from an earlier lookup: must not survive a failed one
  const ArchiveLookup result = FindArchiveEntry(std::span<const uint8_t>(data, size), wanted, entry);
  if (result != ArchiveLookup::kFound) {
    FUZZ_CHECK(entry.data.empty());
    FUZZ_CHECK(!listed || result != ArchiveLookup::kNotFound);
    return;
  }
  FUZZ_CHECK(SameEntryName(entry.name, wanted));
  FUZZ_CHECK(IsSafeEntryName(entry.name));
  FUZZ_CHECK(entry.data.size() <= kMaxArchiveEntryBytes);
  FUZZ_CHECK(entry.storedSize >= 4);
}

// The input as packed files: split at every zero byte into at most four files.
void CheckPackedRoundTrip(const uint8_t* data, size_t size) {
  std::vector<ArchiveInput> files;
  size_t from = 0;
  for (size_t i = 0; i <= size && files.size() < 4; ++i) {
    if (i == size || data[i] == 0) {
      ArchiveInput file;
      file.name = std::to_string(files.size());
      file.name.insert(0, 1, 'f').append(".BIN");
      file.data.assign(data + from, data + i);
      files.push_back(std::move(file));
      from = i + 1;
    }
  }
  for (const bool fromEnd : {false, true}) {
    const std::vector<uint8_t> archive = PackArchive(files, fromEnd);
    for (const ArchiveInput& file : files) {
      ArchiveEntry entry;
      // Looked up in other letter case, as the game's paths do.
      std::string lower = file.name;
      for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      FUZZ_CHECK(FindArchiveEntry(archive, ArchiveEntryName("Graphic/" + lower), entry) ==
                 ArchiveLookup::kFound);
      FUZZ_CHECK(entry.data == file.data);
    }
  }
}

void CheckStoredData(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out(5, 1);
  if (!DecompressStoredEntry(std::span<const uint8_t>(data, size), out)) {
    FUZZ_CHECK(out.empty());
    return;
  }
  FUZZ_CHECK(size >= 4);
  FUZZ_CHECK(out.size() == static_cast<uint32_t>(Int32At(data)));
  FUZZ_CHECK(out.size() <= kMaxArchiveEntryBytes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FUZZ_CHECK(LzoReady());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> names = DirectoryNames(data, size, 8);
  for (const std::string& name : names) CheckLookup(data, size, name, true);
  // A name no archive of ours holds walks the whole directory.
  CheckLookup(data, size, "Graphic/NoSuchPicture.png", false);
  CheckStoredData(data, size);
  if (size <= 4096) CheckPackedRoundTrip(data, size);
  return 0;
}
