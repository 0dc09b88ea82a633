// The scene palette made through GDI and through the portable software path
// agree on our background, on a true-colour display and on a display with
// the 20 standard static colours.
#include <gtest/gtest.h>

#include <cstring>

#include "win32/image/palette_gdi.h"
#include "win32/image/bitmap_resource.h"
#include "core/image/scene_palette.h"
#include "win32/resources/resource_ids.h"

namespace {

struct BuiltPalette {
  IndexedImage image;
  ScenePaletteValues values{};
  PaletteEntry entries[256] = {};
};

void Build(BuiltPalette& built, const PaletteBackend& backend) {
  const PictureBytes floor = LoadBitmapResourceBytes(GetModuleHandleA(nullptr), IDB_FLOOR);
  ASSERT_NE(floor.data, nullptr);
  ASSERT_TRUE(LoadImageBytes(built.image, floor.data, floor.size));
  ASSERT_TRUE(ScaleImage(built.image, 800.0 / 1024, 600.0 / 768));
  ASSERT_TRUE(BuildScenePalette(built.image, backend, built.values));
  backend.readEntries(backend.context, built.entries);
}

void ExpectSame(const BuiltPalette& gdi, const BuiltPalette& software) {
  EXPECT_EQ(gdi.values.rampBase128, software.values.rampBase128);
  EXPECT_EQ(gdi.values.rampBase160, software.values.rampBase160);
  EXPECT_EQ(gdi.values.rampBase192, software.values.rampBase192);
  EXPECT_EQ(std::memcmp(gdi.image.remapTable.get(), software.image.remapTable.get(), 256), 0);
  EXPECT_EQ(std::memcmp(ImageColourTable(gdi.image), ImageColourTable(software.image), 1024), 0);
  const size_t bytes = static_cast<size_t>(ImageStride(gdi.image)) * ImageHeight(gdi.image);
  EXPECT_EQ(std::memcmp(ImagePixels(gdi.image), ImagePixels(software.image), bytes), 0);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(gdi.entries[i].red, software.entries[i].red) << i;
    EXPECT_EQ(gdi.entries[i].green, software.entries[i].green) << i;
    EXPECT_EQ(gdi.entries[i].blue, software.entries[i].blue) << i;
  }
}

void DescribeStandardStatic(void*, DisplayDescription& display) { display = StandardStaticDisplay(); }

// On the screen of this display as GDI reads it, and on an emulated display
// with the 20 standard static colours, both paths asked the same.
TEST(PalettePaths, AgreeOnThisDisplayAndOnOneWithTwentyStaticColours) {
  for (const bool emulated : {false, true}) {
    SCOPED_TRACE(emulated ? "twenty static colours" : "this display");
    GdiPalette gdiState{};
    PaletteBackend gdiBackend = GdiPaletteBackend(gdiState);
    if (emulated) gdiBackend.describeDisplay = DescribeStandardStatic;
    SoftwarePalette softwareState{};
    PaletteBackend software = SoftwarePaletteBackend(softwareState);
    software.describeDisplay = gdiBackend.describeDisplay;
    BuiltPalette gdi, soft;
    Build(gdi, gdiBackend);
    Build(soft, software);
    ExpectSame(gdi, soft);
    DeleteObject(gdiState.palette);
  }
}

}  // namespace
