// rle8_decoder.cpp - BMP RLE8 pixel data into a bottom-up 8-bit buffer.
//
// The data is read in pairs: (n, v) with n > 0 writes v n times; (0, 0)
// ends a row, (0, 1) ends the picture, (0, 2, dx, dy) moves the write
// position, (0, e) with e >= 3 copies e literal bytes padded to an even
// count. The decoder trusts nothing: it stops at the end of the source and
// where a write would leave the destination, after writing the part of the
// run that still fits.
#include <algorithm>
#include <cstring>

#include "core/common/int_math.h"
#include "core/image/indexed_image.h"

namespace {

constexpr uint8_t endOfLine = 0;
constexpr uint8_t endOfBitmap = 1;
constexpr uint8_t delta = 2;

// First byte of a row, saturated at limit so that no row count can wrap it.
uint64_t RowStart(uint64_t row, uint64_t rowLength, uint64_t limit) {
  if (rowLength != 0 && row > limit / rowLength) return limit;
  return std::min(row * rowLength, limit);
}

}  // namespace

uint8_t* DecodeRle8Counted(const uint8_t* source, size_t sourceSize, uint8_t* destination, size_t destinationSize,
                           const uint8_t* header, size_t& consumed) {
  const uint64_t rowLength = static_cast<uint32_t>(StrideOf(ReadLe32(header + 4)));
  const uint64_t limit = destinationSize;
  uint64_t row = 0;
  uint64_t offset = 0;  // saturates at limit; never written there
  size_t in = 0;

  while (sourceSize - in >= 2) {
    const uint8_t count = source[in];
    const uint8_t value = source[in + 1];  // the run's byte, or the escape code
    in += 2;
    if (count > 0) {
      const uint64_t fits = std::min<uint64_t>(count, limit - offset);
      if (fits > 0) std::memset(destination + offset, value, static_cast<size_t>(fits));
      offset += fits;
      if (fits < count) break;  // the run would leave the buffer
      continue;
    }
    if (value == endOfLine) {
      row += 1;
      offset = RowStart(row, rowLength, limit);
    } else if (value == endOfBitmap) {
      break;
    } else if (value == delta) {
      if (sourceSize - in < 2) {
        in = sourceSize;  // a truncated delta ends the data
        break;
      }
      const uint8_t dx = source[in];
      const uint8_t dy = source[in + 1];
      in += 2;
      row += dy;
      const uint64_t moved = offset + dx + RowStart(dy, rowLength, limit);
      offset = std::min(moved, limit);  // beyond the buffer: the next write stops decoding
    } else {
      const size_t present = std::min<size_t>(value, sourceSize - in);
      const uint64_t fits = std::min<uint64_t>(present, limit - offset);
      if (fits > 0) std::memcpy(destination + offset, source + in, static_cast<size_t>(fits));
      offset += fits;
      in += present;
      if (fits < value) break;                           // the data or the buffer ended inside the run
      if (value & 1) in = std::min(in + 1, sourceSize);  // odd runs are padded to an even length
    }
  }
  // Source bytes that no whole pair could use (a lone last byte) are not read.
  consumed = in;
  return destination + offset;
}

uint8_t* DecodeRle8(const uint8_t* source, size_t sourceSize, uint8_t* destination, size_t destinationSize,
                    const uint8_t* header) {
  size_t consumed = 0;
  return DecodeRle8Counted(source, sourceSize, destination, destinationSize, header, consumed);
}
