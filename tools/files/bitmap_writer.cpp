// bitmap_writer.cpp - BMP file assembly and the RLE8 encoder.
#include "files/bitmap_writer.h"

#include <algorithm>
#include <cstddef>

#include "core/common/int_math.h"
#include "core/image/indexed_image.h"

namespace {

constexpr size_t colourTableSize = 256 * 4;
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
  const size_t dataOffset = bitmapFileHeaderSize + bitmapInfoHeaderSize + colourTableSize;
  std::vector<uint8_t> out(dataOffset + pixelData.size(), 0);
  uint8_t* p = out.data();
  p[0] = 'B', p[1] = 'M';
  WriteLe32(p + 2, static_cast<int32_t>(dataOffset + pixelData.size()));
  WriteLe32(p + 10, static_cast<int32_t>(dataOffset));
  uint8_t* info = p + bitmapFileHeaderSize;
  WriteLe32(info, bitmapInfoHeaderSize);
  WriteLe32(info + 4, width);
  WriteLe32(info + 8, height);  // positive: bottom row first
  WriteLe16(info + 12, 1);
  WriteLe16(info + 14, 8);
  WriteLe32(info + 16, static_cast<int32_t>(compression));
  WriteLe32(info + 20, static_cast<int32_t>(pixelData.size()));
  WriteLe32(info + 32, 256);  // the full table is stored
  const size_t tableBytes = colourTable.size() < colourTableSize ? colourTable.size() : colourTableSize;
  std::copy(colourTable.begin(), colourTable.begin() + static_cast<std::ptrdiff_t>(tableBytes),
            out.begin() + static_cast<std::ptrdiff_t>(bitmapFileHeaderSize + bitmapInfoHeaderSize));
  std::copy(pixelData.begin(), pixelData.end(), out.begin() + static_cast<std::ptrdiff_t>(dataOffset));
  return out;
}
