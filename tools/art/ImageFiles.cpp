#include "tools/art/ImageFiles.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace art {

void WritePng(const std::string& path, const Image& image) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot create " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    std::fclose(file);
    throw std::runtime_error("out of memory writing " + path);
  }
  std::vector<png_bytep> rows(size_t(image.Height()), nullptr);
  const auto* base = reinterpret_cast<const uint8_t*>(image.Pixels().data());
  for (int y = 0; y < image.Height(); ++y)
    rows[size_t(y)] = const_cast<png_bytep>(base + size_t(y) * size_t(image.Width()) * 4);
  volatile bool ok = false;  // survives libpng's error jump
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(image.Width()), png_uint_32(image.Height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  bool closed = std::fclose(file) == 0;
  if (!ok || !closed) throw std::runtime_error("failed writing " + path);
}

void WriteBmp24(const std::string& path, const Image& image) {
  const uint32_t w = uint32_t(image.Width()), h = uint32_t(image.Height());
  const uint32_t stride = (w * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * h;
  std::vector<uint8_t> bytes;
  auto u16 = [&](uint32_t v) {
    bytes.push_back(uint8_t(v));
    bytes.push_back(uint8_t(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  bytes.push_back('B');
  bytes.push_back('M');
  u32(54 + dataSize);  // file size
  u32(0);              // reserved
  u32(54);             // offset of the pixels
  u32(40);             // info header size
  u32(w);
  u32(h);  // positive: bottom-up rows
  u16(1);  // planes
  u16(24);
  u32(0);  // no compression
  u32(dataSize);
  u32(2835);  // 72 dpi, both ways
  u32(2835);
  u32(0);
  u32(0);
  for (int y = int(h) - 1; y >= 0; --y) {
    for (uint32_t x = 0; x < w; ++x) {
      Rgba c = image.Get(int(x), y);
      bytes.push_back(c.b);
      bytes.push_back(c.g);
      bytes.push_back(c.r);
    }
    for (uint32_t pad = w * 3; pad < stride; ++pad) bytes.push_back(0);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot create " + path);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) throw std::runtime_error("failed writing " + path);
}

}  // namespace art
