// Writing the packed resource archive with LZO1X-1 compression.
#include "runtime/core/ArchiveWriter.h"

#include <lzo/lzo1x.h>

#include <limits>
#include <stdexcept>

#include "runtime/core/ArchiveReader.h"

namespace {

void PutInt32(std::vector<uint8_t>& out, int64_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

std::vector<uint8_t> CompressEntry(const std::vector<uint8_t>& data) {
  if (data.size() > kMaxArchiveEntryBytes) throw std::invalid_argument("file too large for the archive");
  if (!LzoReady()) throw std::runtime_error("LZO library unusable");
  std::vector<uint8_t> out;
  PutInt32(out, static_cast<int64_t>(data.size()));
  out.resize(4 + LzoWorstCase(data.size()), 0);
  // Cleared working memory, so that the same input always compresses to the same bytes.
  std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS, 0);
  lzo_uint packed = 0;
  const uint8_t* src = data.empty() ? out.data() : data.data();
  if (lzo1x_1_compress(src, data.size(), out.data() + 4, &packed, work.data()) != LZO_E_OK) {
    throw std::runtime_error("LZO compression failed");
  }
  out.resize(4 + packed);
  return out;
}

std::vector<uint8_t> PackArchive(const std::vector<ArchiveInput>& entries, bool negativeOffsets) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& name = entries[i].name;
    if (name.size() > 255) throw std::invalid_argument("name longer than 255 bytes: " + name);
    if (!IsSafeEntryName(name))
      throw std::invalid_argument("name not usable in the archive: \"" + name + "\"");
    for (size_t j = 0; j < i; ++j) {
      if (SameEntryName(entries[j].name, name)) {
        throw std::invalid_argument("duplicate name (letter case ignored): " + name);
      }
    }
  }

  std::vector<uint8_t> out;
  std::vector<int64_t> starts;
  std::vector<int64_t> sizes;
  for (const ArchiveInput& entry : entries) {
    const std::vector<uint8_t> stored = CompressEntry(entry.data);
    starts.push_back(static_cast<int64_t>(out.size()));
    sizes.push_back(static_cast<int64_t>(stored.size()));
    out.insert(out.end(), stored.begin(), stored.end());
  }
  const int64_t directory = static_cast<int64_t>(out.size());
  int64_t total = directory + 1 + kArchiveTrailerBytes;
  for (const ArchiveInput& entry : entries) total += 1 + static_cast<int64_t>(entry.name.size()) + 8;
  if (total > std::numeric_limits<int32_t>::max()) throw std::invalid_argument("archive larger than 2 GiB");

  // Offsets counted from the end are the plain offsets less the archive's length.
  const int64_t base = negativeOffsets ? total : 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& name = entries[i].name;
    out.push_back(static_cast<uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    PutInt32(out, starts[i] - base);
    PutInt32(out, sizes[i]);
  }
  out.push_back(0);
  out.insert(out.end(), {'k', 'p', 'Q'});
  PutInt32(out, directory - base);
  return out;
}
