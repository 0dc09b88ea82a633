// Lengths, projection, facing and shading against worked examples.
#include "raster/projection.h"

#include <gtest/gtest.h>

#include "scene/settings_record.h"

namespace {

class Projection : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultSettings();
    scene.frameWidth = 1024;
    scene.worldScale = 2048;
  }
  void TearDown() override { ResetSceneState(); }
};

int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

TEST_F(Projection, ScaleLengthRoundsTowardMinusInfinity) {
  scene.worldScale = 1600;
  EXPECT_EQ(ScaleLength(613), 478);
  EXPECT_EQ(ScaleLength(-613), -479);
  EXPECT_EQ(ScaleLength(0), 0);
  scene.worldScale = 2048;
  EXPECT_EQ(ScaleLength(-4000), -4000);
  EXPECT_EQ(ScaleLength(INT32_MAX), -1);  // the product wraps first, to -2048
}

TEST_F(Projection, PointsMeetTheFramePlaneOnTheLineFromTheEye) {
  const FramePoint origin = ProjectPoint(0, 0, 0);
  EXPECT_EQ(origin.x, 512);
  EXPECT_EQ(origin.y, 0);
  const FramePoint right = ProjectPoint(100, 0, 4000);
  EXPECT_EQ(right.x, 562);
  EXPECT_EQ(right.y, 900);
  const FramePoint left = ProjectPoint(-100, 0, 4000);
  EXPECT_EQ(left.x, 462);
  EXPECT_EQ(left.y, 900);
  const FramePoint near = ProjectPoint(1, 0, 1);  // the small quotients truncate to 0
  EXPECT_EQ(near.x, 513);
  EXPECT_EQ(near.y, 0);
  const FramePoint atEye = ProjectPoint(300, 200, -4000);
  EXPECT_EQ(atEye.x, 0);
  EXPECT_EQ(atEye.y, 0);
  scene.frameWidth = 1023;  // half the width truncates
  EXPECT_EQ(ProjectPoint(0, 0, 0).x, 511);
}

TEST_F(Projection, FarShadowPointsWrapLikeThirtyTwoBitArithmetic) {
  // A shadow thrown by a low light lands far to the side; (eyeX - x) * z
  // no longer fits 32 bits there.
  // 948940 * 3000 = 2846820000 wraps to -1448147296; / 7000 = -206878.
  const FramePoint p = ProjectPoint(-948940, 0, 3000);
  EXPECT_EQ(p.x, -948940 - 206878 + 512);
  EXPECT_EQ(p.y, 771);  // 1800 * 3000 / 7000, no wrap

  SceneSettings.eyeZ = INT32_MIN;
  const FramePoint extreme = ProjectPoint(INT32_MAX, INT32_MIN, INT32_MAX);  // z - eyeZ wraps to -1
  EXPECT_EQ(extreme.x, Wrap32(int64_t{INT32_MAX} - Wrap32(-int64_t{INT32_MAX} * INT32_MAX) + 512));
}

const WorldPoint p0{0, 0, 0}, p1{10, 0, 0}, p2{0, 10, 0};

TEST_F(Projection, FaceCosineFollowsTheNormalOfTheFirstVertexOrder) {
  double cosine = 0;
  ASSERT_TRUE(FaceCosine(p0, p1, p2, {0, 0, 7}, cosine));
  EXPECT_DOUBLE_EQ(cosine, 1);
  ASSERT_TRUE(FaceCosine(p0, p1, p2, {0, 0, -5}, cosine));
  EXPECT_DOUBLE_EQ(cosine, -1);
  ASSERT_TRUE(FaceCosine(p0, p2, p1, {0, 0, -5}, cosine));
  EXPECT_DOUBLE_EQ(cosine, 1);
  ASSERT_TRUE(FaceCosine(p0, p1, p2, {0, 3, 4}, cosine));
  EXPECT_DOUBLE_EQ(cosine, 0.8);
  EXPECT_FALSE(FaceCosine(p0, p1, p2, p0, cosine));                     // q on the first vertex
  EXPECT_FALSE(FaceCosine(p0, p1, {20, 0, 0}, {0, 0, 7}, cosine));      // collinear
  EXPECT_FALSE(FaceCosine(p0, p0, p2, {0, 0, 7}, cosine));              // repeated vertex
}

TEST_F(Projection, FaceCosineTakesWrappedDifferences) {
  // p1 - p0 wraps to +1 in x, so the normal points to +z, not -z.
  const WorldPoint a{INT32_MAX, 0, 0}, b{INT32_MIN, 0, 0}, c{INT32_MAX, 1, 0};
  double cosine = 0;
  ASSERT_TRUE(FaceCosine(a, b, c, {INT32_MAX, 0, 5}, cosine));
  EXPECT_DOUBLE_EQ(cosine, 1);
}

TEST_F(Projection, FacesAreVisibleFromTheScaledEye) {
  EXPECT_FALSE(FaceIsVisible(p0, p1, p2));  // the eye lies at negative z
  EXPECT_TRUE(FaceIsVisible(p0, p2, p1));
  EXPECT_FALSE(FaceIsVisible(p0, p1, {20, 0, 0}));  // degenerate: not visible
  EXPECT_TRUE(FaceIsVisible({0, 0, 0}, {0, 0, 10}, {0, 10, 0}));  // edge-on counts as visible

  // A face toward -z at z = -3500 sees the eye at -4000, but not the eye
  // scaled to an 800-column frame (-3125).
  const WorldPoint q0{0, 0, -3500}, q1{0, 10, -3500}, q2{10, 0, -3500};
  SceneSettings.eyeY = 0;
  EXPECT_TRUE(FaceIsVisible(q0, q1, q2));
  scene.worldScale = 1600;
  EXPECT_FALSE(FaceIsVisible(q0, q1, q2));
}

void PlaceLights(int32_t y1, int32_t z1, int32_t y2, int32_t z2) {
  SceneSettings.light1X = 0;
  SceneSettings.light1Y = y1;
  SceneSettings.light1Z = z1;
  SceneSettings.light2X = 0;
  SceneSettings.light2Y = y2;
  SceneSettings.light2Z = z2;
}

TEST_F(Projection, ShadeAddsBothLightsTruncatedAndLimited) {
  // The face p0, p1, p2 faces +z; a light at (0, y, z) has cosine z / |(y, z)|.
  PlaceLights(4, 3, 3, 4);  // 0.6 and 0.8: 9 + 12, limited
  EXPECT_EQ(ComputeFaceShade(p0, p1, p2), 15);
  PlaceLights(24, 7, 0, -5);  // 0.28 and -1: 4 + nothing
  EXPECT_EQ(ComputeFaceShade(p0, p1, p2), 4);
  PlaceLights(4, 3, 24, 7);  // 9.6 and 4.48 truncate to 9 + 4
  EXPECT_EQ(ComputeFaceShade(p0, p1, p2), 13);
  PlaceLights(1000, 60, 0, -5);  // 16 * 0.0599 is below 1; the other is behind
  EXPECT_EQ(ComputeFaceShade(p0, p1, p2), 0);
  PlaceLights(0, 0, 0, 9);  // the first light sits on p0: unlit; the second head-on, 16 limited
  EXPECT_EQ(ComputeFaceShade(p0, p1, p2), 15);
  EXPECT_EQ(ComputeFaceShade(p0, p1, {20, 0, 0}), 0);  // degenerate face: unlit

  // Lights enter the world scaled: (0, 4, 3) at half scale is (0, 2, 1),
  // cosine 0.447, 7 instead of 9.
  scene.worldScale = 1024;
  PlaceLights(4, 3, 0, -5);
  EXPECT_EQ(ComputeFaceShade(p0, p1, p2), 7);
}

}  // namespace
