// Saving a picture as a PNG file (screenshots).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes RGBA pixels (top row first) as an 8-bit RGB PNG; false when the file cannot be written, with the
// reason in `error` when one is given.
bool WritePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                  std::string* error = nullptr);
