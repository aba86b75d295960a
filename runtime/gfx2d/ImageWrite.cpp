// Saving a picture as a PNG file through libpng.
#include "runtime/gfx2d/ImageWrite.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Everything libpng needs freed, kept outside the setjmp frame.
struct PngWriteJob {
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWriteJob() {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    if (file) std::fclose(file);
  }
};

bool WriteRows(PngWriteJob& job, int width, int height, const std::vector<uint8_t>& rgba,
               std::vector<uint8_t>& row) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_init_io(job.png, job.file);
  png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(job.png, job.info);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    for (int x = 0; x < width; ++x) {
      row[static_cast<size_t>(x) * 3 + 0] = src[x * 4 + 0];
      row[static_cast<size_t>(x) * 3 + 1] = src[x * 4 + 1];
      row[static_cast<size_t>(x) * 3 + 2] = src[x * 4 + 2];
    }
    png_write_row(job.png, row.data());
  }
  png_write_end(job.png, nullptr);
  return true;
}

}  // namespace

bool WritePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                  std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
    return fail("no picture to save");
  PngWriteJob job;
  job.file = std::fopen(path.c_str(), "wb");
  if (!job.file) return fail(std::strerror(errno));
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!job.png) return fail("out of memory");
  job.info = png_create_info_struct(job.png);
  if (!job.info) return fail("out of memory");
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  if (!WriteRows(job, width, height, rgba, row) || std::fflush(job.file) != 0)
    return fail(std::strerror(errno));
  const int closed = std::fclose(job.file);
  job.file = nullptr;
  if (closed != 0) return fail(std::strerror(errno));
  return true;
}
