// The shown copy at its band limit: changes too scattered for the bands
// there are come back as exactly that many bands, within the frame, still
// covering every change, and the copy shows the palette's colour of every
// index; and the sizes it refuses. Updates through the change lists of real
// frames are scene/frame_changes_property_test.cpp's.
#include <gtest/gtest.h>

#include <vector>

#include "core/image/shown_frame.h"

namespace {

TEST(ShownFrame, ManyScatteredChangesStillComeBackAsAtMostTheBandLimit) {
  PaletteEntry palette[256];
  for (int i = 0; i < 256; ++i)
    palette[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i * 13), static_cast<uint8_t>(i * 29), 0};
  const int32_t width = 16, height = (maxShownBands + 4) * (shownBandGap + 1);
  std::vector<uint8_t> frame(static_cast<size_t>(width) * height);  // bottom row first
  ShownFrame shown{};
  ASSERT_TRUE(CreateShownFrame(shown, width, height, palette));
  ChangeList changes{};
  ASSERT_TRUE(AllocateChangeList(changes, height));
  changes.everything = true;
  ShownBand bands[maxShownBands];
  UpdateShownFrame(shown, frame.data(), width, changes, bands);
  const std::vector<uint8_t> before = frame;
  for (int32_t row = 0; row < height; row += shownBandGap + 1)  // each a band of its own
    frame[static_cast<size_t>(height - 1 - row) * width + row % width] = 1;
  const int32_t count = UpdateShownFrame(shown, frame.data(), width, changes, bands);
  ASSERT_EQ(count, maxShownBands);
  for (const ShownBand& b : bands)
    EXPECT_TRUE(b.top >= 0 && b.top < b.bottom && b.bottom <= height && b.left >= 0 && b.left < b.right &&
                b.right <= width);
  for (int32_t y = 0; y < height; ++y)  // frame rows; the bands count screen rows from the top
    for (int32_t x = 0; x < width; ++x) {
      const size_t at = static_cast<size_t>(y) * width + x;
      bool sent = frame[at] == before[at];
      for (const ShownBand& b : bands)
        sent = sent || (height - 1 - y >= b.top && height - 1 - y < b.bottom && x >= b.left && x < b.right);
      ASSERT_TRUE(sent) << "the change at row " << y << ", column " << x << " is in no band";
      const PaletteEntry& e = palette[frame[at]];
      ASSERT_EQ(shown.pixels[at], uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue) << x << "," << y;
    }
}

TEST(ShownFrame, RefusesSizesItCannotHold) {
  PaletteEntry palette[256] = {};
  ShownFrame shown{};
  EXPECT_FALSE(CreateShownFrame(shown, 0, 5, palette));
  EXPECT_FALSE(CreateShownFrame(shown, 5, -1, palette));
  EXPECT_EQ(shown.pixels, nullptr);
}

}  // namespace
