#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "bitmap_bytes.h"
#include "image/indexed_image.h"

namespace {

constexpr uint8_t untouched = 0xEE;
constexpr size_t guardBytes = 64;

struct Decoded {
  std::vector<uint8_t> pixels;  // stride x height; untouched where nothing was written
  size_t consumed;
  size_t end;  // write position returned, from the buffer's start
  bool guardIntact;
};

// Decodes into stride x height bytes followed by a guard region the decoder
// must never reach.
Decoded Decode(const std::vector<uint8_t>& data, int32_t width, int32_t height) {
  const size_t size = static_cast<size_t>(StrideOf(width)) * height;
  std::vector<uint8_t> buffer(size + guardBytes, untouched);
  const std::vector<uint8_t> header = HeaderOfWidth(width);
  Decoded result{};
  const uint8_t* end =
      DecodeRle8Counted(data.data(), data.size(), buffer.data(), size, header.data(), result.consumed);
  result.end = static_cast<size_t>(end - buffer.data());
  result.guardIntact = std::all_of(buffer.begin() + size, buffer.end(), [](uint8_t b) { return b == untouched; });
  buffer.resize(size);
  result.pixels = buffer;
  return result;
}

TEST(Rle8Decoder, RowsEndedByEndOfLineAndLastByEndOfBitmap) {
  // Width 6 (stride 8): each row is a run of 2 and an even absolute run of 4.
  std::vector<uint8_t> data;
  for (uint8_t r = 0; r < 3; ++r) {
    data.insert(data.end(), {2, uint8_t(r + 1), 0, 4, 0x40, 0x41, uint8_t(0x42 + r), 0x43});
    data.insert(data.end(), {0, uint8_t(r < 2 ? 0 : 1)});
  }
  const size_t encoded = data.size();
  data.insert(data.end(), {5, 0x99, 0, 0});  // after the end of the bitmap: never read

  const Decoded d = Decode(data, 6, 3);
  EXPECT_EQ(d.consumed, encoded);
  EXPECT_TRUE(d.guardIntact);
  for (int r = 0; r < 3; ++r) {
    const std::vector<uint8_t> row(d.pixels.begin() + 8 * r, d.pixels.begin() + 8 * r + 8);
    const std::vector<uint8_t> expected = {uint8_t(r + 1), uint8_t(r + 1), 0x40, 0x41, uint8_t(0x42 + r),
                                           0x43, untouched, untouched};
    EXPECT_EQ(row, expected) << "row " << r;  // each row starts at a multiple of the stride
  }
}

TEST(Rle8Decoder, OddAbsoluteRunSkipsOnePadByteEvenRunNone) {
  const Decoded odd = Decode({0, 3, 1, 2, 3, 0x77, 2, 9, 0, 1}, 8, 1);
  EXPECT_EQ(odd.pixels, (std::vector<uint8_t>{1, 2, 3, 9, 9, untouched, untouched, untouched}));
  EXPECT_EQ(odd.consumed, 10u);

  const Decoded even = Decode({0, 4, 1, 2, 3, 4, 2, 9, 0, 1}, 8, 1);
  EXPECT_EQ(even.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 9, 9, untouched, untouched}));
  EXPECT_EQ(even.consumed, 10u);
}

TEST(Rle8Decoder, RunFillingTheRowThenEndOfLineStartsTheNextRow) {
  const Decoded d = Decode({4, 7, 0, 0, 4, 8, 0, 1}, 4, 3);
  EXPECT_EQ(d.pixels, (std::vector<uint8_t>{7, 7, 7, 7, 8, 8, 8, 8, untouched, untouched, untouched, untouched}));
}

TEST(Rle8Decoder, DeltaMovesColumnAndRow) {
  // 5 at (0, row 0); delta (2, 1) to offset 3 + 4; end of line then goes to row 2.
  const Decoded d = Decode({1, 5, 0, 2, 2, 1, 1, 6, 0, 0, 1, 9, 0, 1}, 4, 3);
  std::vector<uint8_t> expected(12, untouched);
  expected[0] = 5;
  expected[7] = 6;
  expected[8] = 9;
  EXPECT_EQ(d.pixels, expected);
  EXPECT_EQ(d.end, 9u);
}

TEST(Rle8Decoder, StopsAtTheBufferEndAndAtTruncatedData) {
  // A run longer than the whole buffer fills it and stops.
  const Decoded overrun = Decode({200, 3, 1, 4}, 5, 2);
  EXPECT_TRUE(overrun.guardIntact);
  EXPECT_EQ(overrun.pixels, std::vector<uint8_t>(16, 3));
  EXPECT_EQ(overrun.end, 16u);

  // A delta far past the end, then a run: nothing written beyond.
  const Decoded far = Decode({0, 2, 255, 255, 3, 1, 0, 1}, 4, 2);
  EXPECT_TRUE(far.guardIntact);
  EXPECT_EQ(far.pixels, std::vector<uint8_t>(8, untouched));

  // Absolute run cut short by the end of the data: what is there is copied.
  const Decoded cut = Decode({0, 9, 1, 2, 3}, 8, 2);
  EXPECT_EQ(cut.consumed, 5u);
  EXPECT_EQ(std::vector<uint8_t>(cut.pixels.begin(), cut.pixels.begin() + 4),
            (std::vector<uint8_t>{1, 2, 3, untouched}));

  // A lone count byte and a delta without its two bytes.
  EXPECT_EQ(Decode({1}, 4, 1).pixels, std::vector<uint8_t>(4, untouched));
  EXPECT_EQ(Decode({0, 2, 1}, 4, 1).consumed, 3u);
}

TEST(Rle8Decoder, RandomDataStaysInBounds) {
  std::mt19937 random(12345);
  for (int trial = 0; trial < 4000; ++trial) {
    std::vector<uint8_t> data(random() % 200);
    for (uint8_t& b : data) b = (random() % 2) ? static_cast<uint8_t>(random() % 4) : static_cast<uint8_t>(random());
    const int32_t width = 1 + static_cast<int32_t>(random() % 13);
    const int32_t height = 1 + static_cast<int32_t>(random() % 5);
    const Decoded d = Decode(data, width, height);
    ASSERT_TRUE(d.guardIntact) << "trial " << trial;
    ASSERT_LE(d.consumed, data.size());
    ASSERT_LE(d.end, d.pixels.size());
  }
}

}  // namespace
