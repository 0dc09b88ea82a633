// The scene palette on a display with the 20 standard static colours, for a
// picture whose colours the committed ones do not use: every colour-table
// entry gets its own palette entry, even the last one laid out, and a colour
// that equals a static colour maps to the static entry, the earlier one,
// which the shadows then shade from.
#include <gtest/gtest.h>

#include "core/image/indexed_image.h"
#include "core/image/scene_palette.h"

namespace {

TEST(ScenePalette, EveryTableColourHasAnEntryAndTiesKeepTheEarlierEntry) {
  IndexedImage image;
  ASSERT_TRUE(CreateImage(image, 4, 1, nullptr));
  uint8_t* table = ImageColourTable(image);                            // blue, green, red, 0; all black to begin with
  table[0] = 255, table[1] = 255, table[2] = 255;                      // entry 0: white, static entry 255's colour
  table[4 * 235] = 3, table[4 * 235 + 1] = 2, table[4 * 235 + 2] = 1;  // the last entry laid out
  SoftwarePalette state{};
  state.display = StandardStaticDisplay();
  ScenePaletteValues values{};
  ASSERT_TRUE(BuildScenePalette(image, SoftwarePaletteBackend(state), values));
  const PaletteEntry& last = state.palette.entries[10 + 235];  // ten static colours first
  EXPECT_TRUE(last.red == 1 && last.green == 2 && last.blue == 3 && last.flags == paletteReservedFlag);
  EXPECT_EQ(image.remapTable[235], 10 + 235);
  // Black (the shade copies of black entries) ties with static entry 0 first.
  EXPECT_EQ(image.remapTable[1], 0);
  // White ties with entry 10, its own, before static entry 255.
  EXPECT_EQ(image.remapTable[0], 10);
}

}  // namespace
