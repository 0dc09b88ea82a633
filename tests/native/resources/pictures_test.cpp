// The committed pictures and icon are exactly what the generator makes, so
// that a change to the generator cannot drift from the files the program
// and the golden frames are built from; each icon image, read back as
// Windows would (the largest one by libpng), shows the drawing of its size.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/common/int_math.h"
#include "pictures/picture_generator.h"

namespace {

std::vector<uint8_t> ReadSourceFile(const std::string& name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR) + "/src/core/pictures/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Pictures, CommittedFilesAreWhatTheGeneratorMakes) {
  EXPECT_TRUE(ReadSourceFile("floor.bmp") == MakeFloorBitmapFile())
      << "regenerate with vimbrel-pictures src/core/pictures";
  EXPECT_TRUE(ReadSourceFile("face.bmp") == MakeFaceBitmapFile())
      << "regenerate with vimbrel-pictures src/core/pictures";
  EXPECT_TRUE(ReadSourceFile("vimbrel.ico") == MakeIconFile()) << "regenerate with vimbrel-pictures src/core/pictures";
}

// Pixels of one stored icon image, RGBA top row first: a 32-bit bitmap with
// its AND mask (which must be set exactly where alpha is 0), or a PNG read
// by libpng.
std::vector<uint8_t> StoredIconPixels(const uint8_t* image, size_t bytes, int size) {
  if (bytes >= 8 && image[0] == 0x89 && image[1] == 'P') {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, image, bytes)) return {};
    png.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(png));
    if (static_cast<int>(png.width) != size || static_cast<int>(png.height) != size ||
        !png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr))
      return {};
    return rgba;
  }
  const size_t maskStride = (size + 31) / 32 * 4;
  if (bytes != 40 + size * size * 4 + maskStride * size || ReadLe32(image) != 40 || ReadLe32(image + 4) != size ||
      ReadLe32(image + 8) != 2 * size || ReadLe16(image + 14) != 32)  // height counts colour and mask
    return {};
  std::vector<uint8_t> rgba;
  for (int y = 0; y < size; ++y) {
    const int stored = size - 1 - y;  // bottom row first
    for (int x = 0; x < size; ++x) {
      const uint8_t* bgra = image + 40 + (stored * size + x) * 4;
      const bool masked = (image[40 + size * size * 4 + stored * maskStride + x / 8] >> (7 - x % 8)) & 1;
      if (masked != (bgra[3] == 0)) return {};
      rgba.insert(rgba.end(), {bgra[2], bgra[1], bgra[0], bgra[3]});
    }
  }
  return rgba;
}

TEST(IconFile, HoldsEveryIconSizeTheLargestAsPngEachShowingItsDrawing) {
  const std::vector<uint8_t> icon = MakeIconFile();
  ASSERT_GE(icon.size(), 6u + 4 * 16);
  EXPECT_EQ(ReadLe16(&icon[0]), 0);
  EXPECT_EQ(ReadLe16(&icon[2]), 1);
  ASSERT_EQ(ReadLe16(&icon[4]), std::size(iconSizes));
  for (size_t i = 0; i < std::size(iconSizes); ++i) {
    const int size = iconSizes[i];
    const uint8_t* entry = &icon[6 + 16 * i];
    const size_t bytes = static_cast<size_t>(ReadLe32(entry + 8));
    const size_t offset = static_cast<size_t>(ReadLe32(entry + 12));
    ASSERT_LE(offset + bytes, icon.size());
    EXPECT_EQ(icon[offset] == 0x89, size == 256) << "only the largest is PNG, as Windows XP reads no other";
    const std::vector<uint8_t> stored = StoredIconPixels(&icon[offset], bytes, size);
    const std::vector<uint8_t> drawn = IconPixels(size);
    ASSERT_EQ(stored.size(), static_cast<size_t>(size * size * 4)) << size << ": unreadable image";
    EXPECT_TRUE(stored == drawn) << size;
  }
}

}  // namespace
