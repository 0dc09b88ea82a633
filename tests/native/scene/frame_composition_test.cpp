// One frame: background copy, shadow tables, the fixed drawing order, and
// records that must not make the frame write outside itself.
#include "scene/scene_frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "objects/hand_made_scene.h"

namespace {

constexpr uint8_t background = 5;

class FrameTest : public ::testing::Test {
 protected:
  void Use(int32_t width, int32_t height) { ASSERT_TRUE(SetUpHandMadeScene(width, height, background)); }
  void TearDown() override { ResetSceneState(); }
  size_t FrameBytes() const { return static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight); }
  std::vector<uint8_t> Frame() const { return {scene.framePixels, scene.framePixels + FrameBytes()}; }
  int Coverage(int32_t x, int32_t y) const {
    int n = 0;
    for (int t = 3; t <= 10; ++t) n += scene.spanTables[t][y].left <= x && x <= scene.spanTables[t][y].right;
    return n;
  }
  int CountInRamp(int32_t base) const {
    int n = 0;
    for (int32_t y = 0; y < scene.frameHeight; ++y)
      for (int32_t x = 0; x < scene.frameWidth; ++x) n += FramePixel(x, y) >= base && FramePixel(x, y) < base + 32;
    return n;
  }
};

TEST_F(FrameTest, EveryByteIsRefreshedFromTheBackgroundPaddingIncluded) {
  Use(150, 100);  // two padding bytes per row
  SceneSettings.pyramidShow = SceneSettings.dodecaShow = SceneSettings.showShadows = 0;
  std::fill(scene.framePixels, scene.framePixels + FrameBytes(), 0xEE);
  DrawSceneFrame();
  EXPECT_EQ(Frame(), std::vector<uint8_t>(FrameBytes(), background));
}

TEST_F(FrameTest, ShadowsDarkenTheBackgroundOncePerTableBeforeTheFaces) {
  Use(1024, 768);
  DrawSceneFrame();
  int pyramidRows = 0;
  for (int32_t y = 0; y < 768; ++y) pyramidRows += scene.spanTables[3][y].left <= scene.spanTables[3][y].right;
  EXPECT_GT(pyramidRows, 0);
  SceneSettings.pyramidShow = 0;  // a hidden pyramid casts no shadow
  DrawSceneFrame();
  for (int32_t y = 0; y < 768; ++y) ASSERT_GT(scene.spanTables[3][y].left, scene.spanTables[3][y].right);
  int doubleShadowed = 0;
  for (int32_t y = 0; y < 768; ++y) {
    for (int32_t x = 0; x < 1024; ++x) {
      const uint8_t pixel = FramePixel(x, y);
      if (pixel >= 128) continue;  // a face covers it
      ASSERT_EQ(pixel, background + 32 * Coverage(x, y)) << x << "," << y;
      doubleShadowed += Coverage(x, y) == 2;
    }
  }
  EXPECT_GT(doubleShadowed, 0);
}

TEST_F(FrameTest, ShadowsOffLeaveTheTablesAloneAndTheFacesStillDrawn) {
  Use(1024, 768);
  SceneSettings.showShadows = 0;
  for (int t = 3; t <= 10; ++t) scene.spanTables[t][0] = {7, 9};
  DrawSceneFrame();
  for (int t = 3; t <= 10; ++t) EXPECT_EQ(scene.spanTables[t][0].left, 7) << "table " << t;
  for (int32_t y = 0; y < 768; ++y)
    for (int32_t x = 0; x < 1024; ++x) ASSERT_TRUE(FramePixel(x, y) == background || FramePixel(x, y) >= 128);
  EXPECT_GT(CountInRamp(128), 0);
  EXPECT_GT(CountInRamp(160), 0);
  EXPECT_GT(CountInRamp(192), 0);
}

// A solid placed inside the pyramid shows only when drawn after it.
TEST_F(FrameTest, DodecahedronZeroLiesOverThePyramidAndTwoUnderIt) {
  Use(1024, 768);
  SceneSettings.showShadows = 0;
  SceneSettings.pyramidTurn = SceneSettings.pyramidJourney = 0;
  SceneSettings.dodecaTurn = SceneSettings.dodecaJourney = 0;
  // Solid 2 stands at (X + 2r, Z + 12r) = the pyramid's (260, 633).
  SceneSettings.dodecaCentreX = 100;
  SceneSettings.dodecaCentreZ = -460;
  DrawSceneFrame();
  EXPECT_EQ(CountInRamp(192), 0);
  // Solid 0 stands at (X, Z) = (260, 633).
  SceneSettings.dodecaCentreX = 260;
  SceneSettings.dodecaCentreZ = 500;
  DrawSceneFrame();
  const FramePoint centre = scene.dodecaPoints[0][20];
  EXPECT_GE(FramePixel(centre.x, centre.y - 2), 160);
  EXPECT_LT(FramePixel(centre.x, centre.y - 2), 192);
}

TEST_F(FrameTest, AFrameIsAFunctionOfRecordAndTick) {
  Use(800, 600);
  SceneSettings.showGrid = SceneSettings.showPalette = 1;
  fixedSceneTick = 0x80000123u;
  DrawSceneFrame();
  const std::vector<uint8_t> first = Frame();
  EXPECT_EQ(SceneSettings.pyramidTurnTick, static_cast<int32_t>(0x80000123u));
  EXPECT_EQ(SceneSettings.dodecaJourneyTick, static_cast<int32_t>(0x80000123u));
  std::fill(scene.framePixels, scene.framePixels + FrameBytes(), 0);
  DrawSceneFrame();
  EXPECT_EQ(Frame(), first);
  fixedSceneTick += 1000;
  DrawSceneFrame();
  EXPECT_NE(Frame(), first);
}

// Every field at each extreme, one at a time and all together, with every
// layer switched on: nothing outside the frame is written.
TEST_F(FrameTest, NothingIsDrawnWithoutAScene) {
  ResetSceneState();
  DrawSceneFrame();  // must simply return
  EXPECT_EQ(scene.framePixels, nullptr);
}

}  // namespace
