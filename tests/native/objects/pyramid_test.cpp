// Pyramid: pose from the clocks, frame points, faces, shadow outline.
#include "objects/pyramid.h"

#include <gtest/gtest.h>

#include "hand_made_scene.h"
#include "objects/object_motion.h"
#include "raster/projection.h"

namespace {

class PyramidTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SetUpHandMadeScene(1024, 768)); }
  void TearDown() override { ResetSceneState(); }

  void Animate() { AnimatePyramid(scene.pyramidVertices, scene.pyramidPoints); }
  void ExpectCorners(const WorldPoint (&expected)[5]) {
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Xyz(scene.pyramidVertices[i]), Xyz(expected[i])) << "vertex " << i;
  }
  bool Visible(int i, int j) {
    const WorldPoint* v = scene.pyramidVertices;
    return FaceIsVisible(v[i], v[j], v[4]);
  }
  int32_t Shade(int i, int j) {
    const WorldPoint* v = scene.pyramidVertices;
    return ComputeFaceShade(v[i], v[j], v[4]);
  }
};

TEST_F(PyramidTest, StartingPoseOfTheDefaults) {
  Animate();
  ExpectCorners({{520, 0, 633}, {260, 0, 893}, {0, 0, 633}, {260, 0, 373}, {260, 420, 633}});
  const FramePoint points[5] = {{961, 245}, {725, 328}, {512, 245}, {750, 153}, {737, 608}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Xy(scene.pyramidPoints[i]), Xy(points[i])) << "point " << i;
  EXPECT_TRUE(Visible(0, 3));
  EXPECT_TRUE(Visible(3, 2));
  EXPECT_FALSE(Visible(1, 0));
  EXPECT_FALSE(Visible(2, 1));
  EXPECT_EQ(Shade(0, 3), 0);
  EXPECT_EQ(Shade(3, 2), 15);
  EXPECT_EQ(Xyz(FloorShadowPoint(ScaledLight(0), scene.pyramidVertices[4])), Xyz({1727, 0, 1441}));
  EXPECT_EQ(Xyz(FloorShadowPoint(ScaledLight(1), scene.pyramidVertices[4])), Xyz({3027, 0, 183}));
}

TEST_F(PyramidTest, QuarterPeriodPose) {
  SceneSettings.pyramidTurn = SceneSettings.pyramidJourney = 0;
  SceneSettings.pyramidTurnTick = 10240;
  SceneSettings.pyramidJourneyTick = 7680;
  Animate();
  ExpectCorners({{293, 0, 760}, {33, 0, 500}, {293, 0, 240}, {553, 0, 500}, {293, 420, 500}});
  EXPECT_FALSE(Visible(0, 3));
  EXPECT_FALSE(Visible(1, 0));
  EXPECT_TRUE(Visible(2, 1));
  EXPECT_TRUE(Visible(3, 2));
  EXPECT_EQ(Shade(2, 1), 15);
  EXPECT_EQ(Shade(3, 2), 0);
}

// A quarter period before the start is three quarters of a turn on; the
// tick is stored as a signed value, and a frozen clock keeps its own.
TEST_F(PyramidTest, NegativeTickDifferenceTurnsOnInTheSameSense) {
  const WorldPoint threeQuarters[5] = {{260, 0, 373}, {520, 0, 633}, {260, 0, 893}, {0, 0, 633}, {260, 420, 633}};
  SceneSettings.pyramidJourney = 0;
  SceneSettings.pyramidJourneyTick = 0;
  fixedSceneTick = 0xFFFFD800u;
  Animate();
  EXPECT_EQ(SceneSettings.pyramidTurnTick, -10240);
  EXPECT_EQ(SceneSettings.pyramidJourneyTick, 0);
  ExpectCorners(threeQuarters);
  fixedSceneTick = 30720;
  Animate();
  ExpectCorners(threeQuarters);
  SceneSettings.pyramidRotationTime = -40;  // a negative period is used as stored
  fixedSceneTick = 10240;
  Animate();
  ExpectCorners(threeQuarters);
}

TEST_F(PyramidTest, PeriodsThatWrapToZeroRunWithTheDefaults) {
  fixedSceneTick = 5000;
  Animate();
  WorldPoint expected[5];
  std::copy(scene.pyramidVertices, scene.pyramidVertices + 5, expected);
  for (int32_t period : {0, 4194304, INT32_MIN}) {
    SceneSettings.pyramidRotationTime = period;
    SceneSettings.pyramidJourneyTime = period;
    Animate();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Xyz(scene.pyramidVertices[i]), Xyz(expected[i])) << "period " << period;
  }
}

TEST_F(PyramidTest, ShadowsReachTheRightEdgeAndEqualLightsGiveEqualOutlines) {
  Animate();
  for (int t : {3, 4}) ResetSpanTable(t, 768, 1024);
  DrawPyramidShadow(3, 0);
  DrawPyramidShadow(4, 1);
  for (int t : {3, 4}) {
    int reachingEdge = 0;
    for (int row = 0; row < 768; ++row) reachingEdge += scene.spanTables[t][row].right == 1023;
    EXPECT_GT(reachingEdge, 0) << "table " << t;
    // The corner on the floor nearest the eye (row 153) is inside the outline.
    EXPECT_LE(scene.spanTables[t][153].left, 750);
    EXPECT_GE(scene.spanTables[t][153].right, 750);
  }

  SceneSettings.light2X = SceneSettings.light1X;
  SceneSettings.light2Y = SceneSettings.light1Y;
  SceneSettings.light2Z = SceneSettings.light1Z;
  ResetSpanTable(4, 768, 1024);
  DrawPyramidShadow(4, 1);
  for (int row = 0; row < 768; ++row) {
    EXPECT_EQ(scene.spanTables[4][row].left, scene.spanTables[3][row].left) << "row " << row;
    EXPECT_EQ(scene.spanTables[4][row].right, scene.spanTables[3][row].right) << "row " << row;
  }
}

TEST_F(PyramidTest, VisibleFacesAreFilledWithTheirShadeAndHiddenOnesNot) {
  Animate();
  for (int i = 0; i < 4; ++i) DrawPyramidFace(i, (i + 3) % 4, 4);
  EXPECT_EQ(FramePixel(816, 335), 128 + 0);   // inside face (0, 3, 4)
  EXPECT_EQ(FramePixel(666, 335), 128 + 15);  // inside face (3, 2, 4)
  EXPECT_EQ(FramePixel(300, 335), 0);         // beside the pyramid: untouched
}

}  // namespace
