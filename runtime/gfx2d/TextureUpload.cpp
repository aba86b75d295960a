// Pictures into textures: the GL side of texture building (unpack state, texture names, wrap and
// filters, the mipmapped copy) and loading an image file into a slot of the sprite table.
#include <GL/gl.h>

#include <utility>

#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/gfx2d/TextureStaging.h"

namespace {

// Every upload reads tightly packed rows from the start of the staging buffer.
void SetTightUnpacking() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

// Generates a fresh texture name into `name` (dropping the one it held) and binds it with repeat wrap.
void BindFreshTexture(GLuint& name) {
  if (name) glDeleteTextures(1, &name);
  name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

// The mipmapped copy: level 0 is the staging itself, each further level a 2 x 2 box filter of the one
// before, down to 1 x 1.
void UploadMipChain(const TextureStaging& staging, GLuint& name) {
  BindFreshTexture(name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  int width = staging.texWidth;
  int height = staging.texHeight;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               staging.texels.data());
  std::vector<uint8_t> level;
  std::vector<uint8_t> smaller;
  const std::vector<uint8_t>* above = &staging.texels;
  for (GLint index = 1; width > 1 || height > 1; ++index) {
    HalveTexels(*above, width, height, smaller);
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
    glTexImage2D(GL_TEXTURE_2D, index, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, smaller.data());
    std::swap(level, smaller);
    above = &level;
  }
}

}  // namespace

bool OpenGLVezovede::UploadTexture(const RgbaImage& image, int x0, int y0, int w, int h, uint32_t& texture,
                                   uint32_t* mipTexture, bool fontMode, UploadedTexture* built) {
  TextureStaging staging;
  if (!BuildTextureStaging(image, x0, y0, w, h, maxTextureSize, fontMode, staging)) return false;
  if (built) *built = UploadedTexture{staging.width, staging.height, staging.texWidth, staging.texHeight};
  if (!glReady) return true;

  SetTightUnpacking();
  GLuint name = texture;
  BindFreshTexture(name);
  const GLint filter = fontMode ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, staging.texWidth, staging.texHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               staging.texels.data());
  texture = name;
  if (mipTexture) {
    GLuint mipName = *mipTexture;
    UploadMipChain(staging, mipName);
    *mipTexture = mipName;
  }
  return true;
}

bool OpenGLVezovede::LoadImageIntoSlot(int slot, const std::string& path, uint32_t key) {
  if (slot < 0 || slot >= kSpriteSlots) return false;
  EmptySlot(slot);
  RgbaImage image;
  if (!DecodeImageFile(path, key, image) || image.width == 0 || image.height == 0) return false;
  return StoreImageInSlot(slot, image);
}

bool OpenGLVezovede::StoreImageInSlot(int slot, const RgbaImage& image) {
  if (slot < 0 || slot >= kSpriteSlots) return false;
  EmptySlot(slot);
  SpriteSlot& s = sprites[slot];
  // Fonts are drawn crisp and never by the 3D side, so they get neither colour fill nor mipmaps.
  const bool font = slot >= kFontSlotBase;
  UploadedTexture built;
  if (!UploadTexture(image, 0, 0, 0, 0, s.texture, font ? nullptr : &s.mipTexture, font, &built))
    return false;
  // A picture larger than the GL's biggest texture keeps only its top-left part; the slot records the
  // part the texture really holds, so that every draw stays within it.
  s.texWidth = static_cast<int16_t>(built.texWidth);
  s.texHeight = static_cast<int16_t>(built.texHeight);
  s.imageWidth = static_cast<int16_t>(built.width);
  s.imageHeight = static_cast<int16_t>(built.height);
  return true;
}

void OpenGLVezovede::ApplySmoothingFilter() {
  if (!glReady) return;
  const GLint filter = smoothing ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}
