// png_file.cpp - a PNG writer of its own, for the icon's 256-pixel image.
//
// The bytes must depend on this code alone (a test compares them with the
// committed icon), so the deflate stream is made here rather than by a
// compression library whose output may change between versions: greedy
// LZ77 matches over hash chains, coded with the fixed Huffman codes in one
// final block. Flat colours and repeated rows make long matches, which is
// all this picture needs.
#include <algorithm>
#include <array>
#include <cstddef>

#include "pictures/picture_generator.h"

namespace {

void AppendBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int32_t shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int32_t bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

// Deflate packs fields from the low bit of each byte up.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Bits(uint32_t value, int32_t count) {  // value's low bit first
    for (int32_t i = 0; i < count; ++i) Bit((value >> i) & 1u);
  }
  void Code(uint32_t code, int32_t length) {  // Huffman codes go most significant bit first
    for (int32_t i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
  }
  void Flush() {
    if (used_ > 0) out_.push_back(pending_);
    pending_ = 0;
    used_ = 0;
  }

 private:
  void Bit(uint32_t bit) {
    pending_ = static_cast<uint8_t>(pending_ | (bit << used_));
    if (++used_ == 8) Flush();
  }
  std::vector<uint8_t>& out_;
  uint8_t pending_ = 0;
  int32_t used_ = 0;
};

// The fixed literal/length code of deflate.
void WriteSymbol(BitWriter& bits, uint32_t symbol) {
  if (symbol < 144)
    bits.Code(0x30 + symbol, 8);
  else if (symbol < 256)
    bits.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    bits.Code(symbol - 256, 7);
  else
    bits.Code(0xC0 + symbol - 280, 8);
}

constexpr std::array<uint16_t, 29> lengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> lengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> distanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> distanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                   6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The last table entry whose base is at most value.
template <size_t n>
size_t BucketOf(const std::array<uint16_t, n>& bases, uint32_t value) {
  size_t k = n - 1;
  while (bases[k] > value) --k;
  return k;
}

void WriteMatch(BitWriter& bits, uint32_t length, uint32_t distance) {
  const size_t l = BucketOf(lengthBase, length);
  WriteSymbol(bits, static_cast<uint32_t>(257 + l));
  bits.Bits(length - lengthBase[l], lengthExtra[l]);
  const size_t d = BucketOf(distanceBase, distance);
  bits.Code(static_cast<uint32_t>(d), 5);  // the fixed distance code is the number in 5 bits
  bits.Bits(distance - distanceBase[d], distanceExtra[d]);
}

constexpr size_t window = 32768;
constexpr size_t minMatch = 3;
constexpr size_t maxMatch = 258;
constexpr size_t chainLimit = 64;  // candidates tried per position: plenty for flat colours
constexpr size_t hashSize = 1 << 15;
constexpr size_t noPosition = static_cast<size_t>(-1);

size_t HashAt(const std::vector<uint8_t>& data, size_t i) {
  return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (hashSize - 1);
}

// A zlib stream (header, one fixed-code block, Adler-32) of data.
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32K window; 0x7801 is a multiple of 31
  BitWriter bits(out);
  bits.Bits(1, 1);  // the final block
  bits.Bits(1, 2);  // fixed Huffman codes
  std::vector<size_t> head(hashSize, noPosition), previous(data.size(), noPosition);
  auto insert = [&](size_t i) {
    if (i + minMatch > data.size()) return;
    const size_t h = HashAt(data, i);
    previous[i] = head[h];
    head[h] = i;
  };
  size_t i = 0;
  while (i < data.size()) {
    size_t bestLength = 0, bestDistance = 0;
    if (i + minMatch <= data.size()) {
      const size_t limit = std::min(maxMatch, data.size() - i);
      size_t candidate = head[HashAt(data, i)];
      for (size_t tries = 0; candidate != noPosition && i - candidate <= window && tries < chainLimit; ++tries) {
        size_t length = 0;
        while (length < limit && data[candidate + length] == data[i + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = i - candidate;
        }
        candidate = previous[candidate];
      }
    }
    if (bestLength >= minMatch) {
      WriteMatch(bits, static_cast<uint32_t>(bestLength), static_cast<uint32_t>(bestDistance));
      for (size_t k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      WriteSymbol(bits, data[i]);
      insert(i);
      ++i;
    }
  }
  WriteSymbol(bits, 256);  // end of block
  bits.Flush();
  AppendBe32(out, Adler32(data));
  return out;
}

void AppendChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
  AppendBe32(out, static_cast<uint32_t>(body.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  AppendBe32(out, Crc32(&out[typeAt], out.size() - typeAt));  // over the type and the body
}

}  // namespace

std::vector<uint8_t> MakePngFile(int32_t width, int32_t height, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  AppendBe32(header, static_cast<uint32_t>(width));
  AppendBe32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits per channel, RGBA, deflate, adaptive filters, no interlace
  AppendChunk(out, "IHDR", header);
  const size_t stride = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> filtered;
  for (int32_t row = 0; row < height; ++row) {
    filtered.push_back(0);  // no filter: repeated rows and runs already make long matches
    filtered.insert(filtered.end(), rgba.begin() + row * stride, rgba.begin() + (row + 1) * stride);
  }
  AppendChunk(out, "IDAT", ZlibCompress(filtered));
  AppendChunk(out, "IEND", {});
  return out;
}
