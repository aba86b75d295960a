// Writing the generator's pictures to disk: RGBA PNG through libpng, and the runtime's small font
// as an uncompressed 24-bit BMP. Neither writer stores a time stamp, so reruns give equal bytes.
#pragma once

#include <string>

#include "tools/art/Canvas.h"

namespace art {

// Writes an 8-bit RGBA PNG; throws std::runtime_error naming the file when it cannot be written.
void WritePng(const std::string& path, const Image& image);

// Writes a 24-bit BMP (54-byte header, rows bottom-up, each padded to four bytes); alpha is dropped.
void WriteBmp24(const std::string& path, const Image& image);

}  // namespace art
