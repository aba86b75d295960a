// Writing small picture files for tests that load them through the runtime.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Writes a 24-bit Windows BMP. `rgb` holds width * height colours as 0x00RRGGBB, top row first.
void WriteBmp24(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb);

}  // namespace testing_support
