// indexed_image.cpp - making, loading, addressing and freeing IndexedImages.
//
// Every block starts zeroed (ZeroedBlock), so that pixels no picture data
// reaches (the fill bytes of each row, the places an RLE8 delta skips) are
// 0, which keeps frames reproducible; running out of memory is a false
// result. The RLE8 decoder is in rle8_decoder.cpp, scaling in
// image_scale.cpp.
#include "core/image/indexed_image.h"

#include <algorithm>
#include <cstring>

#include "core/common/int_math.h"
#include "core/common/ownership.h"

namespace {

void FillPaletteIndexHeader(IndexedImage& image);

constexpr int32_t biWidthOffset = 4;
constexpr int32_t biHeightOffset = 8;
constexpr int32_t biPlanesOffset = 12;
constexpr int32_t biBitCountOffset = 14;
constexpr int32_t biCompressionOffset = 16;
constexpr int32_t biSizeImageOffset = 20;
constexpr int32_t colourTableBytes = 256 * 4;

size_t PixelBytes(int32_t width, int32_t height) {
  return static_cast<size_t>(StrideOf(width)) * static_cast<size_t>(height);
}

// The image's header, pixel buffer and remapTable, all zeroed (throws
// std::bad_alloc). The size must be usable.
IndexedImage AllocateImage(int32_t width, int32_t height) {
  IndexedImage image;
  image.header = ZeroedBlock<uint8_t>(imageHeaderSize);
  image.pixels = ZeroedBlock<uint8_t>(PixelBytes(width, height));
  image.remapTable = ZeroedBlock<uint8_t>(256);
  return image;
}

}  // namespace

bool ImageSizeUsable(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || width > maxImageSide || height > maxImageSide) return false;
  const uint64_t bytes = static_cast<uint64_t>(StrideOf(width)) * static_cast<uint64_t>(height);
  return bytes <= maxImagePixelBytes;
}

bool CreateImage(IndexedImage& image, int32_t width, int32_t height, const IndexedImage* model) {
  IndexedImage made;  // model may be the image itself: it is replaced last
  const bool usable = ImageSizeUsable(width, height) && Allocated([&] {
                        made = AllocateImage(width, height);
                        made.paletteIndexHeader = ZeroedBlock<uint8_t>(paletteIndexHeaderSize);
                      });
  if (usable) {
    uint8_t* header = made.header.get();
    WriteLe32(header, bitmapInfoHeaderSize);
    WriteLe32(header + biWidthOffset, width);
    WriteLe32(header + biHeightOffset, height);  // positive: bottom-up rows
    WriteLe16(header + biPlanesOffset, 1);
    WriteLe16(header + biBitCountOffset, 8);
    WriteLe32(header + biSizeImageOffset, static_cast<int32_t>(PixelBytes(width, height)));
    // Compression, resolution, biClrUsed and biClrImportant stay 0.
    if (model) std::memcpy(header + bitmapInfoHeaderSize, ImageColourTable(*model), colourTableBytes);
    FillPaletteIndexHeader(made);
  }
  image = std::move(made);  // empty when not made
  return usable;
}

bool LoadImageBytes(IndexedImage& image, const uint8_t* resource, size_t size) {
  image = {};
  if (!resource || size < static_cast<size_t>(imageHeaderSize)) return false;
  if (ReadLe32(resource) != bitmapInfoHeaderSize) return false;
  const int32_t width = ReadLe32(resource + biWidthOffset);
  const int32_t height = ReadLe32(resource + biHeightOffset);
  if (!ImageSizeUsable(width, height)) return false;  // top-down pictures (height < 0) included

  if (!Allocated([&] { image = AllocateImage(width, height); })) return false;
  std::memcpy(image.header.get(), resource, imageHeaderSize);

  const uint8_t* data = resource + imageHeaderSize;
  const size_t dataSize = size - imageHeaderSize;
  const size_t bufferSize = PixelBytes(width, height);
  if (ReadLe32(image.header.get() + biCompressionOffset) == 0) {
    // Stored rows as they are, fill bytes included; never more than the
    // buffer holds or the resource has.
    const auto stated = static_cast<uint32_t>(ReadLe32(image.header.get() + biSizeImageOffset));
    const size_t count = std::min({static_cast<size_t>(stated), bufferSize, dataSize});
    std::memcpy(image.pixels.get(), data, count);
  } else {
    DecodeRle8(data, dataSize, image.pixels.get(), bufferSize, image.header.get());
  }
  return true;
}

uint8_t* PixelAddress(const IndexedImage& image, int32_t x, int32_t y) {
  const int64_t row = static_cast<int64_t>(ImageHeight(image)) - 1 - y;  // rows are stored bottom-up
  return image.pixels.get() + static_cast<ptrdiff_t>(row * ImageStride(image) + x);
}

namespace {

// The paletteIndexHeader from the header: biClrUsed 0 and the indices 0..255.
void FillPaletteIndexHeader(IndexedImage& image) {
  uint8_t* block = image.paletteIndexHeader.get();
  std::memcpy(block, image.header.get(), bitmapInfoHeaderSize);
  WriteLe32(block + biClrUsedOffset, 0);
  for (int i = 0; i < 256; ++i) {
    WriteLe16(block + bitmapInfoHeaderSize + 2 * i, static_cast<uint16_t>(i));  // identity indices
  }
}

}  // namespace

uint8_t* ImagePixels(const IndexedImage& image) { return image.pixels.get(); }
uint8_t* ImageHeader(const IndexedImage& image) { return image.header.get(); }
uint8_t* ImageColourTable(const IndexedImage& image) { return image.header.get() + bitmapInfoHeaderSize; }
int32_t ImageWidth(const IndexedImage& image) { return ReadLe32(image.header.get() + biWidthOffset); }
int32_t ImageHeight(const IndexedImage& image) { return ReadLe32(image.header.get() + biHeightOffset); }
int32_t ImageStride(const IndexedImage& image) { return StrideOf(ImageWidth(image)); }
