// png_file.cpp - PNG encoding and decoding through libpng's simplified interface.
#include "files/png_file.h"

#include <png.h>

namespace {

png_uint_32 FormatOf(PngPixels kind) {
  switch (kind) {
    case PngPixels::indexed: return PNG_FORMAT_RGB_COLORMAP;
    case PngPixels::rgb: return PNG_FORMAT_RGB;
    case PngPixels::rgba: return PNG_FORMAT_RGBA;
  }
  return PNG_FORMAT_RGB;
}

}  // namespace

bool EncodePng(const PngPicture& picture, std::vector<uint8_t>& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = FormatOf(picture.kind);
  const bool indexed = picture.kind == PngPixels::indexed;
  image.colormap_entries = indexed ? 256 : 0;
  const void* colourMap = indexed ? picture.palette : nullptr;
  // A negative stride: libpng finds the top row at the buffer's end and reads upwards.
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, picture.pixels, picture.stride, colourMap)) return false;
  file.resize(size);
  const bool written =
      png_image_write_to_memory(&image, file.data(), &size, 0, picture.pixels, picture.stride, colourMap) != 0;
  file.resize(written ? size : 0);
  return written;
}

bool DecodePng(const uint8_t* file, size_t size, PngPixels kind, int32_t& width, int32_t& height,
               std::vector<uint8_t>& pixels, std::vector<uint8_t>* palette) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file, size)) return false;
  image.format = FormatOf(kind);
  width = static_cast<int32_t>(image.width), height = static_cast<int32_t>(image.height);
  pixels.assign(PNG_IMAGE_SIZE(image), 0);
  std::vector<uint8_t> colourMap(kind == PngPixels::indexed ? 768 : 0, 0);
  const bool read =
      png_image_finish_read(&image, nullptr, pixels.data(), 0, colourMap.empty() ? nullptr : colourMap.data()) != 0;
  if (palette != nullptr) *palette = colourMap;
  return read;
}
