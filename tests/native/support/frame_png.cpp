// frame_png.cpp - indexed PNG files of frames and the pointing comparison.
#include "support/frame_png.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <sstream>

namespace {

uint8_t Index(const PlainFrame& frame, int32_t x, int32_t topRow) {
  return frame.pixels[static_cast<size_t>(frame.height - 1 - topRow) * static_cast<size_t>(frame.stride) +
                      static_cast<size_t>(x)];
}

bool WriteRgbPng(const std::string& path, int32_t width, int32_t height, const std::vector<uint8_t>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

bool WriteFramePng(const std::string& path, const PlainFrame& frame) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(frame.width);
  image.height = static_cast<png_uint_32>(frame.height);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = 256;
  // A negative stride: the buffer holds the bottom row first.
  return png_image_write_to_file(&image, path.c_str(), 0, frame.pixels, -frame.stride, frame.palette) != 0;
}

bool ReadFramePng(const std::string& path, StoredFrame& frame) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool read = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file.get());
    png_read_png(png, info, PNG_TRANSFORM_PACKING, nullptr);  // indices as they are, a byte each
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &colours, &count)) {
      frame.width = static_cast<int32_t>(png_get_image_width(png, info));
      frame.height = static_cast<int32_t>(png_get_image_height(png, info));
      frame.palette.assign(768, 0);
      for (int i = 0; i < count; ++i)
        frame.palette[3 * i] = colours[i].red, frame.palette[3 * i + 1] = colours[i].green,
                          frame.palette[3 * i + 2] = colours[i].blue;
      const png_bytepp rows = png_get_rows(png, info);
      frame.indices.clear();
      for (int32_t y = 0; y < frame.height; ++y) frame.indices.insert(frame.indices.end(), rows[y], rows[y] + frame.width);
      read = true;
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return read;
}

std::string CompareFrame(const std::string& name, const StoredFrame& expected, const PlainFrame& actual,
                         const std::string& outputDirectory) {
  std::ostringstream message;
  message << name << ": ";
  if (expected.width != actual.width || expected.height != actual.height) {
    message << "the frame is " << actual.width << " x " << actual.height << ", the golden one " << expected.width
            << " x " << expected.height;
    return message.str();
  }
  size_t differing = 0;
  int32_t firstX = -1, firstY = -1;
  std::vector<uint8_t> difference(static_cast<size_t>(actual.width) * actual.height * 3);
  for (int32_t y = 0; y < actual.height; ++y) {
    for (int32_t x = 0; x < actual.width; ++x) {
      const size_t at = static_cast<size_t>(y) * actual.width + x;
      const uint8_t want = expected.indices[at], got = Index(actual, x, y);
      const uint8_t* colour = &expected.palette[3 * want];
      const auto grey = static_cast<uint8_t>((colour[0] + colour[1] + colour[2]) / 6);  // dimmed
      difference[3 * at] = want != got ? 255 : grey;
      difference[3 * at + 1] = difference[3 * at + 2] = want != got ? 0 : grey;
      if (want == got) continue;
      if (differing++ == 0) firstX = x, firstY = y;
    }
  }
  int paletteEntry = -1;
  for (int i = 0; i < 768 && paletteEntry < 0; ++i)
    if (expected.palette[i] != actual.palette[i]) paletteEntry = i / 3;
  if (differing == 0 && paletteEntry < 0) return "";

  if (differing > 0) {
    message << differing << " pixels differ, the first at row " << firstY << ", column " << firstX
            << " from the top left: expected index " << int{expected.indices[static_cast<size_t>(firstY) * actual.width + firstX]}
            << ", actual " << int{Index(actual, firstX, firstY)};
  }
  if (paletteEntry >= 0) {
    const uint8_t* want = &expected.palette[3 * paletteEntry];
    const uint8_t* got = &actual.palette[3 * paletteEntry];
    message << (differing > 0 ? "; " : "") << "palette entry " << paletteEntry << " differs: expected (" << int{want[0]}
            << ", " << int{want[1]} << ", " << int{want[2]} << "), actual (" << int{got[0]} << ", " << int{got[1]}
            << ", " << int{got[2]} << ")";
  }
  const std::string base = outputDirectory + "/" + name;
  const bool written = WriteFramePng(base + ".actual.png", actual) &&
                       WriteRgbPng(base + ".difference.png", actual.width, actual.height, difference);
  message << (written ? "; wrote " : "; could not write ") << base << ".actual.png and " << base << ".difference.png";
  return message.str();
}
