// Overlays: the line walk, the grid and the palette strip, clipped to the
// frame.
#include "objects/overlays.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "hand_made_scene.h"

namespace {

using Cells = std::set<std::pair<int32_t, int32_t>>;
constexpr uint8_t gridColour = 128 + 31;
constexpr size_t guardBytes = 4096;
constexpr uint8_t guardValue = 0xA5;

// A frame inside a larger buffer, so that a write beyond it shows.
class OverlayTest : public ::testing::Test {
 protected:
  void UseFrame(int32_t width, int32_t height) {
    ASSERT_TRUE(SetUpHandMadeScene(width, height, 0));
    const size_t bytes = static_cast<size_t>(scene.frameStride) * static_cast<size_t>(height);
    buffer.assign(bytes + 2 * guardBytes, guardValue);
    std::fill(buffer.begin() + guardBytes, buffer.begin() + guardBytes + bytes, 0);
    scene.framePixels = buffer.data() + guardBytes;
  }
  void TearDown() override { ResetSceneState(); }

  Cells Written(uint8_t value) {
    Cells cells;
    for (int32_t y = 0; y < scene.frameHeight; ++y)
      for (int32_t x = 0; x < scene.frameWidth; ++x)
        if (FramePixel(x, y) == value) cells.insert({x, y});
    return cells;
  }
  // Guards and the padding after every row untouched.
  void ExpectNothingOutsideTheFrame() {
    for (size_t i = 0; i < guardBytes; ++i) {
      ASSERT_EQ(buffer[i], guardValue) << "before the frame, byte " << i;
      ASSERT_EQ(buffer[buffer.size() - 1 - i], guardValue) << "after the frame";
    }
    for (int32_t y = 0; y < scene.frameHeight; ++y)
      for (int32_t x = scene.frameWidth; x < scene.frameStride; ++x) ASSERT_EQ(FramePixel(x, y), 0) << x << "," << y;
  }
  Cells Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    std::fill(buffer.begin() + guardBytes, buffer.end() - guardBytes, 0);
    EXPECT_EQ(DrawLine(x1, y1, x2, y2), 1);
    return Written(gridColour);
  }

  std::vector<uint8_t> buffer;
};

TEST_F(OverlayTest, LineWalksAreStaircasesOneCellPastTheEnd) {
  UseFrame(64, 64);
  EXPECT_EQ(Line(0, 0, 3, 0), (Cells{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Line(3, 0, 0, 0), (Cells{{3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}}));
  EXPECT_EQ(Line(0, 0, 0, 3), (Cells{{0, 0}, {0, 1}, {0, 2}, {1, 2}, {1, 3}}));
  EXPECT_EQ(Line(0, 3, 0, 0), (Cells{{0, 3}, {0, 2}, {0, 1}, {1, 1}, {1, 0}}));
  EXPECT_EQ(Line(0, 0, 2, 2), (Cells{{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 3}}));
  EXPECT_EQ(Line(5, 5, 5, 5), (Cells{{5, 5}, {5, 6}}));
  EXPECT_EQ(Line(0, 0, 6, 2),
            (Cells{{0, 0}, {1, 0}, {1, 1}, {2, 1}, {3, 1}, {3, 2}, {4, 2}, {5, 2}, {5, 3}, {6, 3}}));
  ExpectNothingOutsideTheFrame();
}

TEST_F(OverlayTest, LinesAreDrawnWholeOrNotAtAllAndNothingPastTheBorder) {
  UseFrame(62, 48);  // two padding bytes per row
  for (auto ends : std::vector<std::vector<int32_t>>{{-1, 0, 5, 5}, {0, 0, 62, 5}, {0, 0, 5, 48}, {0, -1, 5, 5},
                                                      {INT32_MIN, 0, INT32_MAX, 0}})
    EXPECT_EQ(DrawLine(ends[0], ends[1], ends[2], ends[3]), 0);
  EXPECT_TRUE(Written(gridColour).empty());
  EXPECT_EQ(Line(61, 47, 61, 47), (Cells{{61, 47}}));
  // The second half of each walk lies in column 62 or row 48.
  EXPECT_EQ(Line(61, 40, 61, 47), (Cells{{61, 40}, {61, 41}, {61, 42}, {61, 43}, {61, 44}}));
  EXPECT_EQ(Line(0, 47, 61, 47).size(), 32u);
  EXPECT_EQ(Line(3, 0, 0, 0), (Cells{{3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}}));
  EXPECT_EQ(Line(0, 5, 0, 0), (Cells{{0, 5}, {0, 4}, {0, 3}, {0, 2}, {1, 2}, {1, 1}, {1, 0}}));
  ExpectNothingOutsideTheFrame();
}

TEST_F(OverlayTest, GridCornersAndLineCountsAtThreeFrameSizes) {
  UseFrame(1024, 768);
  SceneSettings.showGrid = 1;
  EXPECT_EQ(DrawGrid(), 42);
  // The far right corner (909, 374) ends both of its lines: the walk of
  // the far line steps up a row on its way and leaves it one row above.
  for (auto corner : std::vector<std::pair<int32_t, int32_t>>{{18, 22}, {1006, 22}, {115, 374}, {909, 375}})
    EXPECT_EQ(FramePixel(corner.first, corner.second), gridColour) << corner.first << "," << corner.second;

  UseFrame(800, 600);
  EXPECT_EQ(DrawGrid(), 17 + 1);
  ExpectNothingOutsideTheFrame();
  UseFrame(640, 480);
  EXPECT_EQ(DrawGrid(), 13);
  ExpectNothingOutsideTheFrame();
}

TEST_F(OverlayTest, PaletteStripShowsIndicesShadowsAndRamps) {
  UseFrame(1024, 768);
  scene.rampBase128 = 138, scene.rampBase160 = 170, scene.rampBase192 = 202;
  DrawPaletteStrip();
  for (int32_t i = 0; i < 256; ++i) {
    EXPECT_EQ(FramePixel(100 + i, 25), i);
    EXPECT_EQ(FramePixel(100 + i, 34), i);
  }
  for (int32_t j = 0; j < 64; ++j) {
    EXPECT_EQ(FramePixel(100 + j, 40), 16 + j / 4);
    EXPECT_EQ(FramePixel(100 + j, 59), 32 + j / 4);
    EXPECT_EQ(FramePixel(100 + j, 65), 48 + j / 4);
    EXPECT_EQ(FramePixel(100 + j, 79), 64 + j / 4);
    EXPECT_EQ(FramePixel(200 + j, 49), 138 + j / 2);
    EXPECT_EQ(FramePixel(200 + j, 50), 170 + j / 2);
    EXPECT_EQ(FramePixel(200 + j, 69), 202 + j / 2);
  }
  for (int32_t y = 35; y < 80; ++y)
    for (int32_t x = 164; x < 200; ++x) ASSERT_EQ(FramePixel(x, y), 0) << x << "," << y;
  for (int32_t x = 200; x < 264; ++x) EXPECT_EQ(FramePixel(x, 70), 0);
  EXPECT_EQ(FramePixel(100, 80), 0);
  EXPECT_EQ(FramePixel(99, 30), 0);
}

TEST_F(OverlayTest, PaletteStripOnASmallPreviewKeepsWhatFits) {
  UseFrame(152, 112);
  DrawPaletteStrip();
  EXPECT_EQ(FramePixel(151, 30), 51);
  EXPECT_EQ(FramePixel(151, 45), 32 - 16 + 51 / 4);
  ExpectNothingOutsideTheFrame();
  UseFrame(90, 20);  // the strip lies wholly outside
  DrawPaletteStrip();
  EXPECT_TRUE(Written(0).size() == 90u * 20u);
  ExpectNothingOutsideTheFrame();
}

}  // namespace
