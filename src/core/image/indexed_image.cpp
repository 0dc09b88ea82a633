// indexed_image.cpp - making, loading, addressing and freeing IndexedImages.
//
// Every block is allocated with calloc so that a failed allocation is a null
// the caller can report, and so that pixels no picture data reaches (the
// fill bytes of each row, the places an RLE8 delta skips) are 0, which keeps
// frames reproducible. The RLE8 decoder is in rle8_decoder.cpp, scaling in
// image_scale.cpp.
#include "core/image/indexed_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/common/int_math.h"

namespace {

bool BuildPaletteIndexHeader(IndexedImage* image);

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

// The image record with its header, pixel buffer and remapTable, all zeroed;
// null when any of them cannot be allocated. The size must be usable.
IndexedImage* AllocateImage(int32_t width, int32_t height) {
  auto* image = static_cast<IndexedImage*>(std::calloc(1, sizeof(IndexedImage)));
  if (!image) return nullptr;
  image->header = static_cast<uint8_t*>(std::calloc(imageHeaderSize, 1));
  image->pixels = static_cast<uint8_t*>(std::calloc(PixelBytes(width, height), 1));
  image->remapTable = static_cast<uint8_t*>(std::calloc(256, 1));
  if (!image->header || !image->pixels || !image->remapTable) {
    FreeImage(image);
    return nullptr;
  }
  return image;
}

}  // namespace

bool ImageSizeUsable(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || width > maxImageSide || height > maxImageSide) return false;
  const uint64_t bytes = static_cast<uint64_t>(StrideOf(width)) * static_cast<uint64_t>(height);
  return bytes <= maxImagePixelBytes;
}

IndexedImage* CreateImage(int32_t width, int32_t height, const IndexedImage* model) {
  if (!ImageSizeUsable(width, height)) return nullptr;
  IndexedImage* image = AllocateImage(width, height);
  if (!image) return nullptr;
  uint8_t* header = image->header;
  WriteLe32(header, bitmapInfoHeaderSize);
  WriteLe32(header + biWidthOffset, width);
  WriteLe32(header + biHeightOffset, height);  // positive: bottom-up rows
  WriteLe16(header + biPlanesOffset, 1);
  WriteLe16(header + biBitCountOffset, 8);
  WriteLe32(header + biSizeImageOffset, static_cast<int32_t>(PixelBytes(width, height)));
  // Compression, resolution, biClrUsed and biClrImportant stay 0.
  if (model) std::memcpy(header + bitmapInfoHeaderSize, ImageColourTable(model), colourTableBytes);
  if (!BuildPaletteIndexHeader(image)) {
    FreeImage(image);
    return nullptr;
  }
  return image;
}

IndexedImage* LoadImageBytes(const uint8_t* resource, size_t size) {
  if (!resource || size < static_cast<size_t>(imageHeaderSize)) return nullptr;
  if (ReadLe32(resource) != bitmapInfoHeaderSize) return nullptr;
  const int32_t width = ReadLe32(resource + biWidthOffset);
  const int32_t height = ReadLe32(resource + biHeightOffset);
  if (!ImageSizeUsable(width, height)) return nullptr;  // top-down pictures (height < 0) included

  IndexedImage* image = AllocateImage(width, height);
  if (!image) return nullptr;
  std::memcpy(image->header, resource, imageHeaderSize);

  const uint8_t* data = resource + imageHeaderSize;
  const size_t dataSize = size - imageHeaderSize;
  const size_t bufferSize = PixelBytes(width, height);
  if (ReadLe32(image->header + biCompressionOffset) == 0) {
    // Stored rows as they are, fill bytes included; never more than the
    // buffer holds or the resource has.
    const auto stated = static_cast<uint32_t>(ReadLe32(image->header + biSizeImageOffset));
    const size_t count = std::min({static_cast<size_t>(stated), bufferSize, dataSize});
    std::memcpy(image->pixels, data, count);
  } else {
    DecodeRle8(data, dataSize, image->pixels, bufferSize, image->header);
  }
  return image;
}

void FreeImage(IndexedImage* image) {
  if (!image) return;
  std::free(image->pixels);
  std::free(image->header);
  std::free(image->paletteIndexHeader);
  std::free(image->remapTable);
  std::free(image);
}

uint8_t* PixelAddress(IndexedImage* image, int32_t x, int32_t y) {
  const int64_t row = static_cast<int64_t>(ImageHeight(image)) - 1 - y;  // rows are stored bottom-up
  return image->pixels + static_cast<ptrdiff_t>(row * ImageStride(image) + x);
}

namespace {

// Attaches a fresh paletteIndexHeader (replacing any earlier one); false,
// leaving the image without one, when it cannot be allocated.
bool BuildPaletteIndexHeader(IndexedImage* image) {
  std::free(image->paletteIndexHeader);
  image->paletteIndexHeader = static_cast<uint8_t*>(std::malloc(paletteIndexHeaderSize));
  uint8_t* block = image->paletteIndexHeader;
  if (!block) return false;
  std::memcpy(block, image->header, bitmapInfoHeaderSize);
  WriteLe32(block + biClrUsedOffset, 0);
  for (int i = 0; i < 256; ++i) {
    WriteLe16(block + bitmapInfoHeaderSize + 2 * i, static_cast<uint16_t>(i));  // identity indices
  }
  return true;
}

}  // namespace

uint8_t* ImagePixels(const IndexedImage* image) { return image->pixels; }
uint8_t* ImageHeader(const IndexedImage* image) { return image->header; }
uint8_t* ImageColourTable(const IndexedImage* image) { return image->header + bitmapInfoHeaderSize; }
int32_t ImageWidth(const IndexedImage* image) { return ReadLe32(image->header + biWidthOffset); }
int32_t ImageHeight(const IndexedImage* image) { return ReadLe32(image->header + biHeightOffset); }
int32_t ImageStride(const IndexedImage* image) { return StrideOf(ImageWidth(image)); }
