#include "image/scene_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "common/int_math.h"

namespace {

using Rgb = std::array<int, 3>;  // red, green, blue

Rgb TableColour(const IndexedImage* image, int entry) {
  const uint8_t* e = ImageColourTable(image) + 4 * entry;
  return {e[2], e[1], e[0]};
}

void SetTableColour(IndexedImage* image, int entry, Rgb c) {
  uint8_t* e = ImageColourTable(image) + 4 * entry;
  for (int k = 0; k < 3; ++k) e[2 - k] = static_cast<uint8_t>(c[k]);
}

// A 6 x 6 background whose pixel k uses base colour k mod 32. Every base
// colour has all channels >= 200 and green 201, which no shade copy, ramp
// entry or standard static colour has; entries 224..255 are 0.
IndexedImage* Background() {
  IndexedImage* image = CreateImage(6, 6, nullptr);
  for (int j = 0; j < 32; ++j) SetTableColour(image, j, Rgb{200 + j, 201, 230 - j});
  for (int k = 0; k < 8 * 6; ++k) ImagePixels(image)[k] = static_cast<uint8_t>(k % 32);
  return image;
}

TEST(ScenePalette, LayoutOfShadeCopiesAndRamps) {
  IndexedImage* image = CreateImage(2, 2, nullptr);
  SetTableColour(image, 0, Rgb{255, 255, 255});
  SetTableColour(image, 240, Rgb{1, 2, 3});
  ImageColourTable(image)[4 * 33 + 3] = 0x55;
  BuildPaletteLayout(image);
  EXPECT_EQ(TableColour(image, 32), (Rgb{190, 190, 190}));
  EXPECT_EQ(TableColour(image, 64), (Rgb{127, 127, 127}));
  EXPECT_EQ(TableColour(image, 96), (Rgb{63, 63, 63}));
  EXPECT_EQ(ImageColourTable(image)[4 * 33 + 3], 0);  // written entries have reserved 0
  const Rgb expected[3][3] = {{{63, 72, 127}, {159, 163, 191}, {255, 255, 255}},
                              {{56, 125, 14}, {155, 190, 134}, {255, 255, 255}},
                              {{46, 44, 51}, {122, 96, 95}, {198, 148, 140}}};
  const Rgb starts[3] = {{57, 66, 123}, {50, 121, 6}, {41, 41, 49}};
  for (int r = 0; r < 3; ++r) {
    const int first = 128 + 32 * r;
    EXPECT_EQ(TableColour(image, first), starts[r]);
    EXPECT_EQ(TableColour(image, first + 1), expected[r][0]);
    EXPECT_EQ(TableColour(image, first + 16), expected[r][1]);
    EXPECT_EQ(TableColour(image, first + 31), expected[r][2]);
  }
  EXPECT_EQ(TableColour(image, 240), (Rgb{1, 2, 3}));
  EXPECT_EQ(ReadLe32(ImageHeader(image) + 32), 224);
  FreeImage(image);
}

TEST(ScenePalette, NearestIndexTakesTheFirstOfEqualDistances) {
  LogicalPalette palette{};
  for (auto& e : palette.entries) e = PaletteEntry{200, 200, 200, 0};
  palette.entries[5] = PaletteEntry{10, 20, 30, 0};
  palette.entries[9] = PaletteEntry{10, 20, 30, 0};
  palette.entries[7] = PaletteEntry{12, 20, 30, 0};
  EXPECT_EQ(NearestPaletteIndex(palette, 10, 20, 30), 5);
  EXPECT_EQ(NearestPaletteIndex(palette, 11, 20, 30), 5);  // 5 and 7 both at distance 1
  EXPECT_EQ(NearestPaletteIndex(palette, 13, 20, 30), 7);
  EXPECT_EQ(NearestPaletteIndex(palette, 250, 250, 250), 0);
}

TEST(ScenePalette, StaticColoursStayAtBothEndsAndColourJMovesToJPlus10) {
  IndexedImage* image = Background();
  SoftwarePalette state{StandardStaticDisplay(), {}};
  ScenePaletteValues values{};
  ASSERT_EQ(BuildScenePalette(image, SoftwarePaletteBackend(state), values), 1);
  EXPECT_EQ(values.shadeStep, 32);
  EXPECT_EQ(values.rampBase128, 138);
  EXPECT_EQ(values.rampBase160, 170);
  EXPECT_EQ(values.rampBase192, 202);

  const DisplayDescription display = StandardStaticDisplay();
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = state.palette.entries[i];
    const bool system = i < 10 || i >= 246;
    EXPECT_EQ(e.flags, system ? 0 : paletteReservedFlag) << i;
    if (system) {
      EXPECT_EQ(std::memcmp(&e, &display.systemEntries[i], sizeof e), 0) << i;
    }
    EXPECT_EQ(TableColour(image, i), (Rgb{e.red, e.green, e.blue})) << i;  // table rewritten from palette
  }
  EXPECT_EQ(TableColour(image, 10 + 5), (Rgb{205, 201, 225}));
  for (int j = 0; j < 32; ++j) EXPECT_EQ(image->remapTable[j], j + 10);
  for (int k = 0; k < 8 * 6; ++k) EXPECT_EQ(ImagePixels(image)[k], k % 32 + 10) << k;  // fill bytes too
  FreeImage(image);
}

TEST(ScenePalette, TrueColourPaletteIsTheColourTable) {
  IndexedImage* image = Background();
  SoftwarePalette state{TrueColourDisplay(), {}};
  ScenePaletteValues values{};
  ASSERT_EQ(BuildScenePalette(image, SoftwarePaletteBackend(state), values), 1);
  EXPECT_EQ(values.rampBase128, 128);
  EXPECT_EQ(values.rampBase160, 160);
  EXPECT_EQ(values.rampBase192, 192);
  for (int j = 0; j < 32; ++j) EXPECT_EQ(image->remapTable[j], j);
  EXPECT_EQ(state.palette.entries[33].red, 150);  // (201 >> 1) + (201 >> 2)
  EXPECT_EQ(state.palette.entries[33].flags, paletteReservedFlag);
  FreeImage(image);
}

TEST(ScenePalette, StaticColourCountsOutsideThePaletteKeepWritesInside) {
  IndexedImage* image = Background();
  DisplayDescription display = StandardStaticDisplay();
  LogicalPalette palette{};
  display.staticColours = -7;  // treated as none
  LayoutScenePalette(image, display, palette);
  EXPECT_EQ(palette.entries[0].red, 200);
  EXPECT_EQ(palette.entries[255].flags, paletteReservedFlag);

  display.staticColours = 256;  // no room left: the system entries only
  display.paletteSize = 4;
  display.systemEntries[3].flags = 2;
  display.systemEntries[200] = PaletteEntry{1, 2, 3, 4};
  LayoutScenePalette(image, display, palette);
  EXPECT_EQ(palette.entries[3].flags, 0);  // flags cleared over the palette size only
  EXPECT_EQ(std::memcmp(&palette.entries[200], &display.systemEntries[200], sizeof(PaletteEntry)), 0);
  FreeImage(image);
}

TEST(ScenePalette, RefusedPaletteLeavesThePixels) {
  IndexedImage* image = Background();
  SoftwarePalette state{StandardStaticDisplay(), {}};
  PaletteBackend backend = SoftwarePaletteBackend(state);
  backend.createPalette = [](void*, const LogicalPalette&) { return 0; };
  ScenePaletteValues values{};
  EXPECT_EQ(BuildScenePalette(image, backend, values), 0);
  EXPECT_EQ(ImagePixels(image)[33], 1);
  FreeImage(image);
}

TEST(FaceMask, GroundBecomes16AndEverythingElse0) {
  std::vector<uint8_t> mask = {7, 3, 7, 9, 7, 7, 0, 0};  // stride 4, two rows
  BuildFaceMask(mask.data(), 4, 2);
  EXPECT_EQ(mask, (std::vector<uint8_t>{16, 0, 16, 0, 16, 16, 0, 0}));

  std::vector<uint8_t> unique(4 * 3, 5);
  unique[0] = 6;
  BuildFaceMask(unique.data(), 4, 3);
  std::vector<uint8_t> expected(12, 0);
  expected[0] = 16;
  EXPECT_EQ(unique, expected);
}

}  // namespace
