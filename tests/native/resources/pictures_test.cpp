// The committed pictures are exactly what the generator makes, and the
// committed icon shows what it draws, so that a change to the generator
// cannot drift from the files the program and the golden frames are built
// from; each icon image, read back as Windows would (the largest one as
// PNG), shows the drawing of its size.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/common/int_math.h"
#include "files/png_file.h"
#include "pictures/picture_generator.h"

namespace {

std::vector<uint8_t> ReadSourceFile(const std::string& name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR) + "/src/core/pictures/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Pixels of one stored icon image, RGBA top row first: a 32-bit bitmap with
// its AND mask (which must be set exactly where alpha is 0), or a PNG read
// by libpng.
std::vector<uint8_t> StoredIconPixels(const uint8_t* image, size_t bytes, int size) {
  std::vector<uint8_t> rgba;
  if (bytes >= 8 && image[0] == 0x89 && image[1] == 'P') {
    int32_t width = 0, height = 0;
    if (!DecodePng(image, bytes, PngPixels::rgba, width, height, rgba) || width != size || height != size) return {};
    return rgba;
  }
  const size_t maskStride = (size + 31) / 32 * 4;
  if (bytes != 40 + size * size * 4 + maskStride * size || ReadLe32(image) != 40 || ReadLe32(image + 4) != size ||
      ReadLe32(image + 8) != 2 * size || ReadLe16(image + 14) != 32)  // height counts colour and mask
    return {};
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

// Every image of an icon file, in iconSizes' order: its pixels (empty when
// unreadable) and whether it is stored as PNG.
using IconImage = std::pair<std::vector<uint8_t>, bool>;

std::vector<IconImage> IconImages(const std::vector<uint8_t>& icon) {
  std::vector<IconImage> images;
  if (icon.size() < 6 + 16 * std::size(iconSizes) || ReadLe16(&icon[0]) != 0 || ReadLe16(&icon[2]) != 1 ||
      ReadLe16(&icon[4]) != std::size(iconSizes))
    return images;
  for (size_t i = 0; i < std::size(iconSizes); ++i) {
    const uint8_t* entry = &icon[6 + 16 * i];
    const size_t bytes = static_cast<size_t>(ReadLe32(entry + 8)), offset = static_cast<size_t>(ReadLe32(entry + 12));
    const bool fits =
        entry[0] == static_cast<uint8_t>(iconSizes[i]) && offset <= icon.size() && bytes <= icon.size() - offset;
    images.push_back(fits ? IconImage{StoredIconPixels(&icon[offset], bytes, iconSizes[i]), icon[offset] == 0x89}
                          : IconImage{});
  }
  return images;
}

// The committed icon is compared as pixels: libpng's bytes for its PNG may
// differ from one version to the next.
TEST(Pictures, CommittedFilesAreWhatTheGeneratorMakesAndEachIconImageShowsItsDrawing) {
  const char* const regenerate = "regenerate with vimbrel-pictures src/core/pictures";
  EXPECT_TRUE(ReadSourceFile("floor.bmp") == MakeFloorBitmapFile()) << regenerate;
  EXPECT_TRUE(ReadSourceFile("face.bmp") == MakeFaceBitmapFile()) << regenerate;
  const std::vector<IconImage> committed = IconImages(ReadSourceFile("vimbrel.ico"));
  const std::vector<IconImage> made = IconImages(MakeIconFile());
  ASSERT_EQ(made.size(), std::size(iconSizes)) << "not an icon directory of every size";
  EXPECT_TRUE(committed == made) << regenerate;
  for (size_t i = 0; i < std::size(iconSizes); ++i) {
    const int size = iconSizes[i];
    EXPECT_EQ(made[i].second, size == 256) << "only the largest is PNG, as Windows XP reads no other";
    EXPECT_TRUE(made[i].first == IconPixels(size)) << size << ": unreadable or not its drawing";
  }
}

}  // namespace
