// bitmap_bytes.h - tiny bitmap resources for the image tests: the 40-byte
// header, a 256-entry colour table and the given pixel data.
#pragma once

#include <cstdint>
#include <vector>

#include "common/int_math.h"
#include "image/indexed_image.h"

struct BitmapShape {
  int32_t width, height;
  int32_t compression = 0;        // 1: RLE8
  int64_t sizeImage = -1;         // -1: the size of the data
  int32_t headerSize = 40;
};

// Colour-table entry i is (red i, green 255 - i, blue i / 2) unless the
// test rewrites it.
inline std::vector<uint8_t> BitmapBytes(const BitmapShape& shape, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes(imageHeaderSize, 0);
  WriteLe32(&bytes[0], shape.headerSize);
  WriteLe32(&bytes[4], shape.width);
  WriteLe32(&bytes[8], shape.height);
  WriteLe16(&bytes[12], 1);
  WriteLe16(&bytes[14], 8);
  WriteLe32(&bytes[16], shape.compression);
  WriteLe32(&bytes[20], static_cast<int32_t>(shape.sizeImage < 0 ? data.size() : shape.sizeImage));
  for (int i = 0; i < 256; ++i) {
    bytes[40 + 4 * i] = static_cast<uint8_t>(i / 2);
    bytes[40 + 4 * i + 1] = static_cast<uint8_t>(255 - i);
    bytes[40 + 4 * i + 2] = static_cast<uint8_t>(i);
  }
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// A bare header for calling DecodeRle8 directly.
inline std::vector<uint8_t> HeaderOfWidth(int32_t width) {
  std::vector<uint8_t> header(bitmapInfoHeaderSize, 0);
  WriteLe32(&header[0], bitmapInfoHeaderSize);
  WriteLe32(&header[4], width);
  return header;
}
