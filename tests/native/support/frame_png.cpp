// frame_png.cpp - indexed PNG files of frames and the pointing comparison.
#include "support/frame_png.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "files/png_file.h"

namespace {

bool WritePng(const std::string& path, const PngPicture& picture) {
  std::vector<uint8_t> file;
  if (!EncodePng(picture, file)) return false;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

bool WriteFramePng(const std::string& path, const PlainFrame& frame) {
  return WritePng(path, {frame.width, frame.height, PngPixels::indexed, frame.pixels, -frame.stride, frame.palette});
}

bool ReadFramePng(const std::string& path, StoredFrame& frame) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // An unreadable file reads as no bytes, which is no PNG.
  return DecodePng(file.data(), file.size(), PngPixels::indexed, frame.width, frame.height, frame.indices,
                   &frame.palette);
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
  std::vector<uint8_t> difference(static_cast<size_t>(actual.width) * actual.height * 3);
  for (int32_t y = 0; y < actual.height; ++y)
    for (int32_t x = 0; x < actual.width; ++x) {
      const size_t at = static_cast<size_t>(y) * actual.width + x;
      const uint8_t want = expected.indices[at], got = actual.pixels[(actual.height - 1 - y) * actual.stride + x];
      const uint8_t* colour = &expected.palette[3 * want];
      const auto grey = static_cast<uint8_t>((colour[0] + colour[1] + colour[2]) / 6);  // dimmed
      difference[3 * at] = want != got ? 255 : grey;
      difference[3 * at + 1] = difference[3 * at + 2] = want != got ? 0 : grey;
      if (want != got && differing++ == 0)
        message << "the first differing pixel at row " << y << ", column " << x << " from the top left: expected index "
                << int{want} << ", actual " << int{got} << "; ";
    }
  if (differing > 0) message << differing << " pixels differ; ";
  int i = 0;
  while (i < 768 && expected.palette[i] == actual.palette[i]) ++i;
  if (i < 768)
    message << "palette entry " << i / 3 << " differs: component " << i % 3 << " expected " << int{expected.palette[i]}
            << ", actual " << int{actual.palette[i]} << "; ";
  if (message.str() == name + ": ") return "";
  const std::string base = outputDirectory + "/" + name;
  const bool written = WriteFramePng(base + ".actual.png", actual) &&
                       WritePng(base + ".difference.png", {actual.width, actual.height, PngPixels::rgb,
                                                           difference.data(), 3 * actual.width, nullptr});
  message << (written ? "wrote " : "could not write ") << base << ".actual.png and " << base << ".difference.png";
  return message.str();
}
