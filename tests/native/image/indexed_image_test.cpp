#include "image/indexed_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "bitmap_bytes.h"

namespace {

struct ImageDeleter {
  void operator()(IndexedImage* image) const { FreeImage(image); }
};
using ImagePtr = std::unique_ptr<IndexedImage, ImageDeleter>;

ImagePtr Load(const std::vector<uint8_t>& bytes) { return ImagePtr(LoadImageBytes(bytes.data(), bytes.size())); }

std::vector<uint8_t> Pixels(const IndexedImage* image) {
  const uint8_t* p = ImagePixels(image);
  return std::vector<uint8_t>(p, p + ImageStride(image) * ImageHeight(image));
}

TEST(LoadImageBytes, RefusesWhatIsNotAUsablePicture) {
  const std::vector<uint8_t> good = BitmapBytes({3, 2}, std::vector<uint8_t>(8, 1));
  EXPECT_NE(Load(good), nullptr);
  EXPECT_EQ(LoadImageBytes(good.data(), imageHeaderSize - 1), nullptr);
  EXPECT_EQ(LoadImageBytes(nullptr, 5000), nullptr);
  BitmapShape core{3, 2};
  core.headerSize = 12;
  EXPECT_EQ(Load(BitmapBytes(core, {})), nullptr);
  EXPECT_EQ(Load(BitmapBytes({0, 2}, {})), nullptr);
  EXPECT_EQ(Load(BitmapBytes({3, -2}, {})), nullptr);  // top-down rows
  EXPECT_EQ(Load(BitmapBytes({maxImageSide + 1, 1}, {})), nullptr);
  EXPECT_EQ(Load(BitmapBytes({maxImageSide, maxImageSide}, {})), nullptr);  // 1 GiB of pixels
}

TEST(LoadImageBytes, UncompressedRowsKeepTheirPaddingBytes) {
  const std::vector<uint8_t> data = {1, 2, 3, 0xF1, 4, 5, 6, 0xF2};  // width 3, stride 4
  const ImagePtr image = Load(BitmapBytes({3, 2}, data));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(image.get()), data);
  EXPECT_EQ(ImageWidth(image.get()), 3);
  EXPECT_EQ(ImageStride(image.get()), 4);
  EXPECT_EQ(ImageColourTable(image.get())[4 * 7 + 2], 7);  // red of entry 7
  EXPECT_EQ(image->paletteIndexHeader, nullptr);
}

TEST(LoadImageBytes, StatedSizeBeyondBufferOrDataCopiesOnlyWhatFits) {
  BitmapShape shape{3, 2};
  shape.sizeImage = 0x7FFFFFFF;
  const ImagePtr longer = Load(BitmapBytes(shape, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_NE(longer, nullptr);
  EXPECT_EQ(Pixels(longer.get()), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));

  const ImagePtr shorter = Load(BitmapBytes(shape, {1, 2, 3, 4, 5}));
  ASSERT_NE(shorter, nullptr);
  EXPECT_EQ(Pixels(shorter.get()), (std::vector<uint8_t>{1, 2, 3, 4, 5, 0, 0, 0}));  // the rest stays 0
}

TEST(LoadImageBytes, Rle8PictureIsDecoded) {
  BitmapShape shape{5, 2};
  shape.compression = 1;
  const ImagePtr image = Load(BitmapBytes(shape, {5, 9, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(image.get()), (std::vector<uint8_t>{9, 9, 9, 9, 9, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0, 0}));
}

TEST(CreateImage, HeaderColourTableAndPaletteIndexHeader) {
  const ImagePtr model = Load(BitmapBytes({3, 2}, std::vector<uint8_t>(8)));
  WriteLe32(ImageHeader(model.get()) + 32, 224);  // biClrUsed of the model is not taken over
  const ImagePtr image(CreateImage(7, 5, model.get()));
  ASSERT_NE(image, nullptr);
  const uint8_t* header = ImageHeader(image.get());
  const std::vector<int32_t> fields = {ReadLe32(header), ImageWidth(image.get()), ImageHeight(image.get()),
                                       ReadLe16(header + 12), ReadLe16(header + 14), ReadLe32(header + 16),
                                       ReadLe32(header + 20), ReadLe32(header + 32)};
  EXPECT_EQ(fields, (std::vector<int32_t>{40, 7, 5, 1, 8, 0, 8 * 5, 0}));
  EXPECT_EQ(std::memcmp(ImageColourTable(image.get()), ImageColourTable(model.get()), 1024), 0);

  WriteLe32(ImageHeader(image.get()) + 32, 224);
  ASSERT_EQ(BuildPaletteIndexHeader(image.get()), 1);
  const uint8_t* indexHeader = image->paletteIndexHeader;
  EXPECT_EQ(std::memcmp(indexHeader, header, 32), 0);
  EXPECT_EQ(ReadLe32(indexHeader + 32), 0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(ReadLe16(indexHeader + 40 + 2 * i), i);

  EXPECT_EQ(CreateImage(0, 5, model.get()), nullptr);
  EXPECT_EQ(CreateImage(5, -1, model.get()), nullptr);
}

TEST(PixelAddress, RowsCountFromTheTop) {
  const ImagePtr image(CreateImage(5, 3, nullptr));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelAddress(image.get(), 0, 0), ImagePixels(image.get()) + 2 * 8);
  EXPECT_EQ(PixelAddress(image.get(), 0, 2), ImagePixels(image.get()));
  EXPECT_EQ(PixelAddress(image.get(), 4, 1), ImagePixels(image.get()) + 8 + 4);
}

TEST(ScaleImage, SameSizeCopiesEveryPixel) {
  std::vector<uint8_t> data(8 * 4);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 1);
  for (size_t i = 5; i < data.size(); i += 8) data[i] = data[i + 1] = data[i + 2] = 0;  // fill bytes
  IndexedImage* holder = LoadImageBytes(BitmapBytes({5, 4}, data).data(), imageHeaderSize + data.size());
  ASSERT_EQ(ScaleImage(holder, 1.0, 1.0), 1);
  EXPECT_EQ(Pixels(holder), data);
  EXPECT_NE(holder->paletteIndexHeader, nullptr);
  FreeImage(holder);
}

TEST(ScaleImage, RowsScaledFrom768To600UseRows0To766) {
  // Column 0 holds the row number's low byte, column 1 its high byte.
  std::vector<uint8_t> data(4 * 768);
  for (int y = 0; y < 768; ++y) {
    data[4 * (767 - y)] = static_cast<uint8_t>(y);
    data[4 * (767 - y) + 1] = static_cast<uint8_t>(y >> 8);
  }
  IndexedImage* holder = LoadImageBytes(BitmapBytes({2, 768}, data).data(), imageHeaderSize + data.size());
  ASSERT_EQ(ScaleImage(holder, 1.0, 600.0 / 768.0), 1);
  ASSERT_EQ(ImageHeight(holder), 600);
  int previous = -1;
  for (int r = 0; r < 600; ++r) {
    const uint8_t* p = PixelAddress(holder, 0, r);
    const int source = p[0] | p[1] << 8;
    ASSERT_TRUE(source == previous + 1 || source == previous + 2) << "row " << r;
    previous = source;
  }
  EXPECT_EQ(previous, 766);
  FreeImage(holder);
}

TEST(ScaleImage, RefusesSizesBelowOneAndLeavesTheHolder) {
  IndexedImage* holder = CreateImage(5, 4, nullptr);
  IndexedImage* const original = holder;
  EXPECT_EQ(ScaleImage(holder, 0.1, 1.0), 0);
  EXPECT_EQ(ScaleImage(holder, 1.0, -1.0), 0);
  EXPECT_EQ(ScaleImage(holder, 1.0, std::nan("")), 0);
  EXPECT_EQ(ScaleImage(holder, 1e6, 1.0), 0);
  EXPECT_EQ(holder, original);
  EXPECT_EQ(ImageWidth(holder), 5);
  FreeImage(holder);
}

}  // namespace
