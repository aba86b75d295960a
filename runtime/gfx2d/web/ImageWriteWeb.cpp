// Saving a picture as a PNG file in the browser build, which has no libpng: the pixels go in uncompressed.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/gfx2d/ImageWrite.h"
#include "runtime/gfx2d/web/PngInflate.h"

bool WritePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                  std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
    return fail("no picture to save");
  const std::vector<uint8_t> png = EncodeStoredPng(width, height, rgba);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return fail(std::strerror(errno));
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size() && std::fflush(file) == 0;
  const int saved = errno;
  if (std::fclose(file) != 0 || !written) return fail(std::strerror(written ? errno : saved));
  return true;
}
