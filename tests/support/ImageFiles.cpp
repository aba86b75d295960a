// A plain BMP writer: enough for tests to hand the runtime real image files.
#include "tests/support/ImageFiles.h"

#include "tests/support/TestSupport.h"

namespace testing_support {
namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace

void WriteBmp24(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<uint8_t> b = {'B', 'M'};
  Put32(b, 54 + stride * static_cast<uint32_t>(height));
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  // Rows are stored bottom-up, blue first.
  for (int y = height - 1; y >= 0; --y) {
    const size_t start = b.size();
    for (int x = 0; x < width; ++x) {
      const uint32_t c = rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      b.insert(b.end(),
               {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)});
    }
    while (b.size() - start < stride) b.push_back(0);
  }
  WriteFile(path, b);
}

}  // namespace testing_support
