// frame_png.cpp - indexed PNG files of frames and the pointing comparison.
#include "support/frame_png.h"

#include <png.h>

#include <sstream>

namespace {

uint8_t Index(const PlainFrame& frame, int32_t x, int32_t topRow) {
  return frame.pixels[static_cast<size_t>(frame.height - 1 - topRow) * static_cast<size_t>(frame.stride) +
                      static_cast<size_t>(x)];
}

// RGB pixels, or indices with a colour map of 256 entries.
bool WritePng(const std::string& path, int32_t width, int32_t height, const void* pixels, int32_t stride,
              const uint8_t* colourMap) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = colourMap != nullptr ? PNG_FORMAT_RGB_COLORMAP : PNG_FORMAT_RGB;
  image.colormap_entries = colourMap != nullptr ? 256 : 0;
  return png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, colourMap) != 0;
}

}  // namespace

bool WriteFramePng(const std::string& path, const PlainFrame& frame) {
  // A negative stride: the buffer holds the bottom row first.
  return WritePng(path, frame.width, frame.height, frame.pixels, -frame.stride, frame.palette);
}

bool ReadFramePng(const std::string& path, StoredFrame& frame) {
  // A palette file read to a colour-map format keeps its palette and its indices.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB_COLORMAP;
  frame.width = static_cast<int32_t>(image.width), frame.height = static_cast<int32_t>(image.height);
  frame.indices.assign(PNG_IMAGE_SIZE(image), 0);
  frame.palette.assign(768, 0);
  return png_image_finish_read(&image, nullptr, frame.indices.data(), 0, frame.palette.data()) != 0;
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
            << " from the top left: expected index "
            << int{expected.indices[static_cast<size_t>(firstY) * actual.width + firstX]} << ", actual "
            << int{Index(actual, firstX, firstY)};
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
                       WritePng(base + ".difference.png", actual.width, actual.height, difference.data(), 0, nullptr);
  message << (written ? "; wrote " : "; could not write ") << base << ".actual.png and " << base << ".difference.png";
  return message.str();
}
