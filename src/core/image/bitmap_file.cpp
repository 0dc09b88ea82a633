// bitmap_file.cpp - an 8-bit BMP file turned into the bytes of a bitmap resource.
#include "core/image/bitmap_file.h"

#include <cstring>

#include "core/common/int_math.h"
#include "core/image/indexed_image.h"

namespace {
constexpr size_t fileHeaderSize = bitmapFileHeaderSize;
constexpr size_t colourTableBytes = 256 * 4;
}  // namespace

bool BitmapFileToResource(const uint8_t* file, size_t size, std::vector<uint8_t>& resource, std::string& error) {
  if (size < fileHeaderSize + bitmapInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
    error = "not a BMP file";
    return false;
  }
  const uint8_t* info = file + fileHeaderSize;
  const auto infoSize = static_cast<uint32_t>(ReadLe32(info));
  const auto dataOffset = static_cast<uint32_t>(ReadLe32(file + 10));
  const int32_t width = ReadLe32(info + 4), height = ReadLe32(info + 8);
  const uint16_t bitCount = ReadLe16(info + 14);
  const auto compression = static_cast<uint32_t>(ReadLe32(info + 16));
  const auto coloursUsed = static_cast<uint32_t>(ReadLe32(info + biClrUsedOffset));
  if (infoSize < static_cast<uint32_t>(bitmapInfoHeaderSize) || infoSize > size - fileHeaderSize) {
    error = "not a BMP file with a BITMAPINFOHEADER";
    return false;
  }
  if (bitCount != 8) {
    error = "not an 8-bit BMP (" + std::to_string(bitCount) + " bits per pixel)";
    return false;
  }
  if (compression != 0 && compression != 1) {
    error = "unsupported BMP compression " + std::to_string(compression) + " (only none and RLE8)";
    return false;
  }
  if (!ImageSizeUsable(width, height)) {
    error =
        "unusable BMP size " + std::to_string(width) + " x " + std::to_string(height) + " (top-down pictures included)";
    return false;
  }
  const size_t tableEntries = coloursUsed == 0 ? 256 : coloursUsed;
  const size_t tableOffset = fileHeaderSize + infoSize;
  if (tableEntries > 256 || tableEntries * 4 > size - tableOffset) {
    error = "BMP colour table of " + std::to_string(coloursUsed) + " entries does not fit";
    return false;
  }
  if (dataOffset > size || dataOffset < tableOffset) {
    error = "BMP pixel data offset " + std::to_string(dataOffset) + " lies outside the file";
    return false;
  }
  const size_t dataSize = size - dataOffset;
  const size_t storedBytes = static_cast<size_t>(StrideOf(width)) * static_cast<size_t>(height);
  if (compression == 0 && dataSize < storedBytes) {
    error =
        "BMP pixel data is truncated (" + std::to_string(dataSize) + " of " + std::to_string(storedBytes) + " bytes)";
    return false;
  }

  resource.assign(static_cast<size_t>(bitmapInfoHeaderSize) + colourTableBytes + dataSize, 0);
  std::memcpy(resource.data(), info, bitmapInfoHeaderSize);
  WriteLe32(resource.data(), bitmapInfoHeaderSize);  // a larger header's extra fields are dropped
  WriteLe32(resource.data() + biClrUsedOffset, 0);   // the table is now full
  if (compression == 0) WriteLe32(resource.data() + 20, static_cast<int32_t>(storedBytes));  // 0 is allowed in files
  std::memcpy(resource.data() + bitmapInfoHeaderSize, file + tableOffset, tableEntries * 4);
  std::memcpy(resource.data() + bitmapInfoHeaderSize + colourTableBytes, file + dataOffset, dataSize);
  return true;
}
