// bitmap_file.cpp - BMP file assembly and the RLE8 encoder for the pictures.
#include <cstddef>

#include "core/image/indexed_image.h"
#include "pictures/picture_generator.h"

void AppendLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
  AppendLe16(out, v & 0xFFFFu);
  AppendLe16(out, v >> 16);
}

namespace {

constexpr int32_t colourTableSize = 256 * 4;
constexpr int32_t longestRun = 255;

// Length of the stretch of equal bytes starting at i, at most 255.
int32_t RunAt(const uint8_t* row, int32_t i, int32_t width) {
  int32_t n = 1;
  while (i + n < width && n < longestRun && row[i + n] == row[i]) ++n;
  return n;
}

void EncodeRow(const uint8_t* row, int32_t width, std::vector<uint8_t>& out) {
  int32_t i = 0;
  while (i < width) {
    const int32_t run = RunAt(row, i, width);
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    // Gather bytes up to the next run of three or more, keeping pairs whole.
    int32_t end = i;
    while (end < width) {
      const int32_t next = RunAt(row, end, width);
      if (next >= 3 || end - i + next > longestRun) break;
      end += next;
    }
    const int32_t length = end - i;
    if (length >= 3) {
      out.push_back(0);
      out.push_back(static_cast<uint8_t>(length));
      out.insert(out.end(), row + i, row + end);
      if (length & 1) out.push_back(0);  // absolute runs keep pairs aligned
      i = end;
    } else {
      // One or two short runs: an absolute run needs at least three bytes.
      while (i < end) {
        const int32_t n = RunAt(row, i, end);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(row[i]);
        i += n;
      }
    }
  }
}

}  // namespace

std::vector<uint8_t> EncodeRle8(const std::vector<uint8_t>& pixels, int32_t width, int32_t height) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < height; ++y) {
    EncodeRow(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width), width, out);
    out.push_back(0);
    out.push_back(y + 1 < height ? 0 : 1);  // end of line, or end of bitmap after the last row
  }
  return out;
}

std::vector<uint8_t> MakeBitmapFile(int32_t width, int32_t height, uint32_t compression,
                                    const std::vector<uint8_t>& colourTable, const std::vector<uint8_t>& pixelData) {
  const uint32_t dataOffset = bitmapFileHeaderSize + 40 + colourTableSize;
  std::vector<uint8_t> out;
  out.reserve(dataOffset + pixelData.size());
  out.push_back('B');
  out.push_back('M');
  AppendLe32(out, dataOffset + static_cast<uint32_t>(pixelData.size()));
  AppendLe32(out, 0);
  AppendLe32(out, dataOffset);
  AppendLe32(out, 40);
  AppendLe32(out, static_cast<uint32_t>(width));
  AppendLe32(out, static_cast<uint32_t>(height));  // positive: bottom row first
  AppendLe16(out, 1);
  AppendLe16(out, 8);
  AppendLe32(out, compression);
  AppendLe32(out, static_cast<uint32_t>(pixelData.size()));
  AppendLe32(out, 0);
  AppendLe32(out, 0);
  AppendLe32(out, 256);  // the full table is stored
  AppendLe32(out, 0);
  for (int32_t i = 0; i < colourTableSize; ++i) {
    out.push_back(i < static_cast<int32_t>(colourTable.size()) ? colourTable[i] : 0);
  }
  out.insert(out.end(), pixelData.begin(), pixelData.end());
  return out;
}
