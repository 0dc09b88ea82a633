// BMP files written out by hand, through BitmapFileToResource and
// LoadImageBytes as the programs read picture files: an RLE8 picture of an
// odd width that uses every escape, a stored one with a short colour table,
// and files that must be refused with their reason.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/common/int_math.h"
#include "core/image/bitmap_file.h"
#include "core/image/indexed_image.h"

namespace {

struct BmpFile {
  int32_t width = 5, height = 4;
  uint16_t bitCount = 8;
  uint32_t compression = 1;
  uint32_t coloursUsed = 0;  // 0: a full table of 256
  const char* magic = "BM";
  uint32_t infoSize = 40;  // as stated; the header written is always 40 bytes
  std::vector<uint8_t> data;
  int64_t dataOffsetChange = 0;  // moves the stated pixel offset
  size_t cutAt = SIZE_MAX;       // the file ends here

  std::vector<uint8_t> Bytes() const {
    const uint32_t entries = coloursUsed == 0 ? 256 : coloursUsed;
    std::vector<uint8_t> file(14 + 40 + 4 * entries);
    file[0] = magic[0], file[1] = magic[1];
    WriteLe32(&file[10], static_cast<int32_t>(file.size() + dataOffsetChange));
    uint8_t* info = &file[14];
    WriteLe32(info, static_cast<int32_t>(infoSize)), WriteLe32(info + 4, width), WriteLe32(info + 8, height);
    WriteLe16(info + 12, 1), WriteLe16(info + 14, bitCount);
    WriteLe32(info + 16, static_cast<int32_t>(compression)), WriteLe32(info + 32, static_cast<int32_t>(coloursUsed));
    for (uint32_t i = 0; i < entries; ++i) file[54 + 4 * i] = static_cast<uint8_t>(i), file[56 + 4 * i] = 200;
    file.insert(file.end(), data.begin(), data.end());
    WriteLe32(&file[2], static_cast<int32_t>(file.size()));
    if (cutAt < file.size()) file.resize(cutAt);
    return file;
  }
};

// Rows bottom first, the visible columns only; empty when the file is refused.
std::vector<std::vector<uint8_t>> LoadedRows(const BmpFile& bmp, std::string& error,
                                             std::vector<uint8_t>* table = nullptr) {
  const std::vector<uint8_t> file = bmp.Bytes();
  std::vector<uint8_t> resource;
  if (!BitmapFileToResource(file.data(), file.size(), resource, error)) return {};
  IndexedImage image;
  if (!LoadImageBytes(image, resource.data(), resource.size()))
    return error = "LoadImageBytes refused the resource", std::vector<std::vector<uint8_t>>{};
  std::vector<std::vector<uint8_t>> rows;
  for (int32_t r = 0; r < ImageHeight(image); ++r) {
    const uint8_t* row = ImagePixels(image) + r * ImageStride(image);
    rows.emplace_back(row, row + ImageWidth(image));
  }
  if (table != nullptr) table->assign(ImageColourTable(image), ImageColourTable(image) + 1024);
  return rows;
}

TEST(BitmapFile, Rle8WithEveryEscapeAtAnOddWidthAndStoredRowsWithAShortColourTable) {
  BmpFile rle;  // 5 x 4: rows of 8 bytes
  rle.data = {
      2, 7,  0, 3, 1, 2, 3, 0,  // row 0: a run, an odd literal run and its pad byte
      0, 0,                     // end of line
      1, 9,  0, 2, 3, 1,        // row 1: a run, then a delta 3 right and 1 up
      1, 5,  0, 0,              // row 2, column 4; end of line: row 3
      0, 4,  4, 3, 2, 1,        // an even literal run
      1, 8,  0, 1,              // a run; end of the picture
      5, 99,                    // after the end: never drawn
  };
  std::string error;
  const std::vector<std::vector<uint8_t>> expected = {
      {7, 7, 1, 2, 3}, {9, 0, 0, 0, 0}, {0, 0, 0, 0, 5}, {4, 3, 2, 1, 8}};
  std::vector<uint8_t> table;
  EXPECT_EQ(LoadedRows(rle, error, &table), expected) << error;
  EXPECT_EQ(table[4 * 200], 200);  // the full table as written: blue = index, red = 200
  EXPECT_EQ(table[4 * 200 + 2], 200);

  BmpFile stored;
  stored.width = 3, stored.height = 2, stored.compression = 0, stored.coloursUsed = 2;
  stored.data = {1, 0, 1, 0xEE, 0, 1, 1, 0xEE};  // rows of 4 bytes, the fourth a fill byte
  EXPECT_EQ(LoadedRows(stored, error, &table), (std::vector<std::vector<uint8_t>>{{1, 0, 1}, {0, 1, 1}})) << error;
  EXPECT_EQ(table[4 * 1 + 2], 200);
  EXPECT_EQ(table[4 * 2 + 2], 0);  // past the file's two entries: black
}

// good with one change.
BmpFile With(BmpFile good, void (*change)(BmpFile& file)) { return change(good), good; }

TEST(BitmapFile, RefusesFilesItCannotReadSafelyAndSaysWhy) {
  BmpFile good;
  good.compression = 0;
  good.data.assign(8 * 4, 3);
  const std::tuple<const char*, BmpFile, const char*> cases[] = {
      // what, the file, the reason given
      {"truncated header", With(good, [](BmpFile& b) { b.cutAt = 40; }), "not a BMP file"},
      {"no BM", With(good, [](BmpFile& b) { b.magic = "MB"; }), "not a BMP file"},
      {"BA", With(good, [](BmpFile& b) { b.magic = "BA"; }), "not a BMP file"},
      {"OS/2 core header", With(good, [](BmpFile& b) { b.infoSize = 12; }), "with a BITMAPINFOHEADER"},
      {"header past the end", With(good, [](BmpFile& b) { b.infoSize = 40 + 1024 + 33; }), "with a BITMAPINFOHEADER"},
      {"colour table cut short", With(good, [](BmpFile& b) { b.cutAt = 14 + 40 + 1000; }), "does not fit"},
      {"pixel offset inside the header", With(good, [](BmpFile& b) { b.dataOffsetChange = -1040; }),
       "lies outside the file"},
      {"pixel offset past the end", With(good, [](BmpFile& b) { b.dataOffsetChange = 33; }), "lies outside the file"},
      {"stored rows cut short", With(good, [](BmpFile& b) { b.data.pop_back(); }), "truncated"},
      {"24 bits", With(good, [](BmpFile& b) { b.bitCount = 24; }), "not an 8-bit BMP"},
      {"RLE4", With(good, [](BmpFile& b) { b.compression = 2; }), "unsupported BMP compression 2"},
      {"top-down", With(good, [](BmpFile& b) { b.height = -4; }), "unusable BMP size"},
      {"more than 256 colours", With(good, [](BmpFile& b) { b.coloursUsed = 257; }), "does not fit"},
  };
  std::string error;
  EXPECT_EQ(LoadedRows(good, error).size(), 4u) << error;
  for (const auto& [what, file, reason] : cases) {
    error.clear();
    EXPECT_TRUE(LoadedRows(file, error).empty()) << what;
    EXPECT_NE(error.find(reason), std::string::npos) << what << ": " << error;
  }
}

}  // namespace
