// The PNG decoder: libpng reads from the bytes in memory and converts every accepted kind of PNG to
// 8-bit grey, RGB or RGBA, which is then turned into an RgbaImage.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/gfx2d/Image.h"

namespace {

// Spare bytes after the last decoded row of the row block.
constexpr size_t kRowBlockSlack = 72;
// Deflate turns one compressed byte into at most 1032 bytes: the picture data of a PNG is never larger
// than that many times the bytes that follow its header.
constexpr uint64_t kDeflateMostRatio = 1032;

struct MemorySource {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep dst, png_size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (count > source->size - source->pos) png_error(png, "unexpected end of PNG data");
  std::copy(source->data + source->pos, source->data + source->pos + count, dst);
  source->pos += count;
}

// Everything one decode allocates. It lives in the caller's frame, so a libpng error that jumps back
// out of RunLibpng leaves it intact and the caller releases it in one place.
struct PngJob {
  MemorySource source;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::string name;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int channels = 0;
  size_t rowBytes = 0;
  std::vector<uint8_t> block;
  std::vector<png_bytep> rows;
};

// Reads the header, sets up the conversions and reads the whole picture into job.block. Returns false
// on a libpng error (reached through longjmp) or a picture this loader does not accept. Nothing with a
// destructor is created in this frame, so the jump skips no clean-up.
bool RunLibpng(PngJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;

  png_set_read_fn(job.png, &job.source, ReadFromMemory);
  // Refuse oversized pictures while reading the header, before libpng allocates rows for them.
  png_set_user_limits(job.png, kMaxImageSide, kMaxImageSide);
  // The game reads pixels only: every ancillary chunk but the transparency is skipped unread. libpng
  // reads a chunk it handles into a buffer of the length the file claims, so a few bytes claiming a
  // gigabyte of palette suggestions or colour profile had it ask for a gigabyte (its chunk size limit
  // only warns); skipped chunks are passed over in small pieces. None of these changes a pixel: the
  // decoder asks for no gamma, background or shift.
  static const png_byte kSkippedChunks[] = {
      'b', 'K', 'G', 'D', 0,   'c', 'H', 'R', 'M', 0,   'e', 'X', 'I', 'f', 0,   'g', 'A',
      'M', 'A', 0,   'h', 'I', 'S', 'T', 0,   'i', 'C', 'C', 'P', 0,   'i', 'T', 'X', 't',
      0,   'o', 'F', 'F', 's', 0,   'p', 'C', 'A', 'L', 0,   'p', 'H', 'Y', 's', 0,   's',
      'B', 'I', 'T', 0,   's', 'C', 'A', 'L', 0,   's', 'P', 'L', 'T', 0,   's', 'R', 'G',
      'B', 0,   't', 'E', 'X', 't', 0,   't', 'I', 'M', 'E', 0,   'z', 'T', 'X', 't', 0};
  png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks,
                              static_cast<int>(sizeof kSkippedChunks / 5));
  png_set_chunk_malloc_max(job.png, 1 << 20);
  png_set_chunk_cache_max(job.png, 128);
  png_read_info(job.png, job.info);
  // A header may declare a picture far larger than the data behind it could ever fill; refuse it before
  // any row is allocated. Each row of the stored picture is its bytes plus one filter byte.
  const uint64_t storedBytes =
      (uint64_t{png_get_rowbytes(job.png, job.info)} + 1) * png_get_image_height(job.png, job.info);
  if (storedBytes > kDeflateMostRatio * (job.source.size - job.source.pos)) return false;

  const int colourType = png_get_color_type(job.png, job.info);
  const int depth = png_get_bit_depth(job.png, job.info);
  if (colourType == PNG_COLOR_TYPE_PALETTE || (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) ||
      png_get_valid(job.png, job.info, PNG_INFO_tRNS)) {
    png_set_expand(job.png);
  }
  if (depth == 16) png_set_strip_16(job.png);
  if (depth < 8) png_set_packing(job.png);
  png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);

  job.width = png_get_image_width(job.png, job.info);
  job.height = png_get_image_height(job.png, job.info);
  job.channels = png_get_channels(job.png, job.info);
  job.rowBytes = png_get_rowbytes(job.png, job.info);
  if (!CheckPngLayout(job.channels, png_get_bit_depth(job.png, job.info),
                      png_get_color_type(job.png, job.info), job.name)) {
    return false;
  }
  if (!ImageSizeAllowed(job.width, job.height)) return false;
  if (job.rowBytes != static_cast<size_t>(job.width) * static_cast<size_t>(job.channels)) return false;

  job.block.resize(job.rowBytes * job.height + kRowBlockSlack);
  job.rows.resize(job.height);
  for (png_uint_32 y = 0; y < job.height; ++y) job.rows[y] = job.block.data() + y * job.rowBytes;
  png_read_image(job.png, job.rows.data());
  png_read_end(job.png, nullptr);
  return true;
}

void ConvertRows(const PngJob& job, uint32_t key, RgbaImage& out) {
  out.width = static_cast<int32_t>(job.width);
  out.height = static_cast<int32_t>(job.height);
  out.pixels.resize(static_cast<size_t>(job.width) * job.height * 4);
  uint8_t* dst = out.pixels.data();
  for (png_uint_32 y = 0; y < job.height; ++y) {
    const uint8_t* src = job.rows[y];
    for (png_uint_32 x = 0; x < job.width; ++x, src += job.channels, dst += 4) {
      if (job.channels == 4) {
        // The picture's own alpha decides; the key never applies.
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = src[3];
      } else if (job.channels == 3) {
        const uint32_t colour = uint32_t{src[0]} | uint32_t{src[1]} << 8 | uint32_t{src[2]} << 16;
        const bool keyed = key != kNoColourKey && colour == key;
        dst[0] = keyed ? 0 : src[0];
        dst[1] = keyed ? 0 : src[1];
        dst[2] = keyed ? 0 : src[2];
        dst[3] = keyed ? 0 : 255;
      } else {
        dst[0] = dst[1] = dst[2] = src[0];
        dst[3] = 255;
      }
    }
  }
}

}  // namespace

// The colour types CheckPngLayout names are the file format's own numbers, which libpng uses too.
static_assert(PNG_COLOR_TYPE_GRAY == kPngGrey && PNG_COLOR_TYPE_RGB == kPngRgb &&
              PNG_COLOR_TYPE_RGB_ALPHA == kPngRgba);

bool DecodePng(const uint8_t* data, size_t size, uint32_t key, const std::string& nameForMessages,
               RgbaImage& out) {
  constexpr size_t kSignatureBytes = 8;
  if (!data || size < kSignatureBytes || png_sig_cmp(data, 0, kSignatureBytes) != 0) {
    ClearImage(out);
    return false;
  }
  PngJob job;
  job.source = MemorySource{data, size, 0};
  job.name = nameForMessages;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (job.png) job.info = png_create_info_struct(job.png);
  const bool ok = job.png && job.info && RunLibpng(job);
  if (ok) ConvertRows(job, key, out);
  png_destroy_read_struct(job.png ? &job.png : nullptr, job.info ? &job.info : nullptr, nullptr);
  if (!ok) ClearImage(out);
  return ok;
}
