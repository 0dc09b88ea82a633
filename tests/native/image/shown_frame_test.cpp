// The shown copy against a plain reference: after every update through a
// change list that covers what was disturbed (many small ranges, so that
// rows fill up and join), each pixel is the palette's colour of the frame's
// index, and the bands cover every pixel that changed, within the frame and
// within their number; nothing changed, no band.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/shown_frame.h"

namespace {

struct Frame {
  int32_t width, height, stride;
  std::vector<uint8_t> pixels;  // bottom row first
  uint8_t& At(int32_t x, int32_t screenRow) { return pixels[(height - 1 - screenRow) * stride + x]; }
};

void RandomPalette(std::mt19937& random, PaletteEntry palette[256]) {
  for (int i = 0; i < 256; ++i)
    palette[i] = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), 0};
}

// Changes a few rectangles and lone pixels of the frame, some to what they
// already were, noting each written pixel's row run in the change list.
void Disturb(std::mt19937& random, Frame& frame, ChangeList& changes) {
  ClearChangeList(changes);
  const int count = static_cast<int>(random() % 9);
  for (int i = 0; i < count; ++i) {
    const int32_t x0 = static_cast<int32_t>(random() % frame.width), y0 = static_cast<int32_t>(random() % frame.height);
    const int32_t w = i % 2 ? 1 : 1 + static_cast<int32_t>(random() % (frame.width - x0));
    const int32_t h = i % 2 ? 1 : 1 + static_cast<int32_t>(random() % (frame.height - y0));
    const auto value = static_cast<uint8_t>(random() % 4);  // few values: many writes change nothing
    for (int32_t y = y0; y < y0 + h; ++y) {
      for (int32_t x = x0; x < x0 + w; ++x) frame.At(x, y) = value;
      AddChange(changes, frame.height - 1 - y, x0, x0 + w);
    }
  }
}

void ExpectShowsFrame(const ShownFrame& shown, Frame& frame, const PaletteEntry palette[256]) {
  for (int32_t row = 0; row < frame.height; ++row) {
    for (int32_t x = 0; x < frame.width; ++x) {
      const PaletteEntry& e = palette[frame.At(x, row)];
      const uint32_t expected = (uint32_t{e.red} << 16) | (uint32_t{e.green} << 8) | e.blue;
      const size_t at = static_cast<size_t>(frame.height - 1 - row) * frame.width + x;
      ASSERT_EQ(shown.pixels[at], expected) << x << "," << row;
    }
  }
}

bool InSomeBand(const ShownBand* bands, int32_t count, int32_t x, int32_t row) {
  for (int32_t i = 0; i < count; ++i)
    if (row >= bands[i].top && row < bands[i].bottom && x >= bands[i].left && x < bands[i].right) return true;
  return false;
}

void ExpectBandsCoverChanges(const ShownBand* bands, int32_t count, Frame& before, Frame& after) {
  ASSERT_GE(count, 0);
  ASSERT_LE(count, maxShownBands);
  for (int32_t i = 0; i < count; ++i) {
    const ShownBand& b = bands[i];
    EXPECT_TRUE(b.top < b.bottom && b.left < b.right && b.left >= 0 && b.right <= after.width) << i;
    EXPECT_TRUE(b.top >= 0 && b.bottom <= after.height) << i;
  }
  for (int32_t row = 0; row < after.height; ++row)
    for (int32_t x = 0; x < after.width; ++x)
      ASSERT_TRUE(before.At(x, row) == after.At(x, row) || InSomeBand(bands, count, x, row)) << x << "," << row;
}

TEST(ShownFrame, AgreesWithAPlainConversionAndItsBandsCoverEveryChange) {
  const struct {
    int32_t width, height, extraStride;
  } sizes[] = {{1, 1, 3}, {7, 3, 1}, {37, 29, 3}, {64, 300, 0}, {203, 97, 5}};
  std::mt19937 random(14);
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
    PaletteEntry palette[256];
    RandomPalette(random, palette);
    const int32_t stride = (size.width + 3) / 4 * 4 + size.extraStride;
    Frame frame{size.width, size.height, stride, std::vector<uint8_t>(static_cast<size_t>(stride) * size.height)};
    for (uint8_t& p : frame.pixels) p = static_cast<uint8_t>(random());
    ShownFrame shown{};
    ASSERT_TRUE(CreateShownFrame(shown, size.width, size.height, palette));
    ChangeList changes{};
    ASSERT_TRUE(AllocateChangeList(changes, size.height));
    ShownBand bands[maxShownBands];
    // The first update puts up everything, as one band, whatever the list says.
    ASSERT_EQ(UpdateShownFrame(shown, frame.pixels.data(), stride, changes, bands), 1);
    EXPECT_TRUE(bands[0].top == 0 && bands[0].bottom == size.height && bands[0].left == 0 &&
                bands[0].right == size.width);
    ExpectShowsFrame(shown, frame, palette);
    for (int step = 0; step < 60; ++step) {
      Frame before = frame;
      Disturb(random, frame, changes);
      changes.everything = step % 10 == 9;  // a whole list compares every pixel
      const int32_t count = UpdateShownFrame(shown, frame.pixels.data(), stride, changes, bands);
      ExpectShowsFrame(shown, frame, palette);
      ExpectBandsCoverChanges(bands, count, before, frame);
      EXPECT_EQ(count == 0, before.pixels == frame.pixels);
    }
    FreeChangeList(changes);
    FreeShownFrame(shown);
  }
}

TEST(ShownFrame, ManyScatteredChangesStillComeBackAsAtMostTheBandLimit) {
  PaletteEntry palette[256];
  std::mt19937 random(7);
  RandomPalette(random, palette);
  const int32_t width = 16, height = (maxShownBands + 4) * (shownBandGap + 1);
  Frame frame{width, height, width, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
  ShownFrame shown{};
  ASSERT_TRUE(CreateShownFrame(shown, width, height, palette));
  ChangeList changes{};
  ASSERT_TRUE(AllocateChangeList(changes, height));
  changes.everything = true;
  ShownBand bands[maxShownBands];
  UpdateShownFrame(shown, frame.pixels.data(), width, changes, bands);
  const Frame before = frame;
  for (int32_t row = 0; row < height; row += shownBandGap + 1) frame.At(row % width, row) = 1;  // each a band of its own
  Frame beforeCopy = before;
  const int32_t count = UpdateShownFrame(shown, frame.pixels.data(), width, changes, bands);
  FreeChangeList(changes);
  EXPECT_EQ(count, maxShownBands);
  ExpectBandsCoverChanges(bands, count, beforeCopy, frame);
  ExpectShowsFrame(shown, frame, palette);
  FreeShownFrame(shown);
}

TEST(ShownFrame, RefusesSizesItCannotHold) {
  PaletteEntry palette[256] = {};
  ShownFrame shown{};
  EXPECT_FALSE(CreateShownFrame(shown, 0, 5, palette));
  EXPECT_FALSE(CreateShownFrame(shown, 5, -1, palette));
  EXPECT_EQ(shown.pixels, nullptr);
}

}  // namespace
