// Pictures into textures: staging the texels and handing them to the drawing backend, and loading an
// image file into a slot of the sprite table. Without a drawing backend only the sizes are worked out.
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/gfx2d/TextureStaging.h"

bool OpenGLVezovede::UploadTexture(const RgbaImage& image, int x0, int y0, int w, int h, uint32_t& texture,
                                   uint32_t* mipTexture, bool fontMode, UploadedTexture* built) {
  TextureStaging staging;
  if (!drawing) {
    if (!StagingSizes(image, x0, y0, w, h, maxTextureSize, staging)) return false;
    if (built) *built = UploadedTexture{staging.width, staging.height, staging.texWidth, staging.texHeight};
    return true;
  }
  if (!BuildTextureStaging(image, x0, y0, w, h, maxTextureSize, fontMode, staging)) return false;
  if (built) *built = UploadedTexture{staging.width, staging.height, staging.texWidth, staging.texHeight};
  backend->DeleteTexture(texture);
  texture = backend->CreateTexture(staging, !fontMode);
  // The copy of the old picture is gone; one of the new picture is made only when asked for.
  if (mipTexture) {
    backend->DeleteTexture(*mipTexture);
    *mipTexture = 0;
  }
  return true;
}

bool OpenGLVezovede::LoadImageIntoSlot(int slot, const std::vector<uint8_t>& file, const std::string& name,
                                       uint32_t key) {
  if (slot < 0 || slot >= kSpriteSlots) return false;
  EmptySlot(slot);
  RgbaImage image;
  if (!DecodeImageBytes(file, name, key, image) || image.width == 0 || image.height == 0) return false;
  return StoreImageInSlot(slot, image);
}

bool OpenGLVezovede::StoreImageInSlot(int slot, const RgbaImage& image) {
  if (slot < 0 || slot >= kSpriteSlots) return false;
  EmptySlot(slot);
  SpriteSlot& s = sprites[slot];
  // Fonts are drawn crisp and never minified, so they get no colour fill (and never a mipmapped copy).
  const bool font = slot >= kFontSlotBase;
  UploadedTexture built;
  if (!UploadTexture(image, 0, 0, 0, 0, s.texture, font ? nullptr : &s.mipTexture, font, &built))
    return false;
  // A picture larger than the biggest texture keeps only its top-left part; the slot records the part
  // the texture really holds, so that every draw stays within it.
  s.texWidth = static_cast<int16_t>(built.texWidth);
  s.texHeight = static_cast<int16_t>(built.texHeight);
  s.imageWidth = static_cast<int16_t>(built.width);
  s.imageHeight = static_cast<int16_t>(built.height);
  return true;
}
