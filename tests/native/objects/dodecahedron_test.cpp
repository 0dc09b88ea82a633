// Dodecahedrons: formation, rings, frame points, faces and shades.
#include "objects/dodecahedron.h"

#include <gtest/gtest.h>

#include "hand_made_scene.h"
#include "raster/projection.h"

namespace {

class DodecahedronTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetUpHandMadeScene(1024, 768));
    for (int k = 0; k < 3; ++k) AnimateDodecahedron(k, scene.dodecaVertices[k], scene.dodecaPoints[k]);
  }
  void TearDown() override { ResetSceneState(); }
};

TEST_F(DodecahedronTest, FormationRadiiAndRingHeightsOfTheDefaults) {
  // Solid k at theta 0: vertex 0 lies rho along +x from the solid's centre.
  const int32_t centreX[3] = {-273, -433, -113}, centreZ[3] = {593, 1313, 1553};
  const int32_t rho[3] = {80, 72, 56};
  const int32_t heights[3][3] = {{68, 140, 208}, {61, 126, 187}, {47, 98, 145}};
  for (int k = 0; k < 3; ++k) {
    const WorldPoint* v = scene.dodecaVertices[k];
    EXPECT_EQ(v[0].x, centreX[k] + rho[k]) << "solid " << k;
    EXPECT_EQ(v[0].z, centreZ[k]) << "solid " << k;
    for (int i = 0; i < 20; ++i) {
      const int ring = i / 5;
      EXPECT_EQ(v[i].y, ring == 0 ? 0 : heights[k][ring - 1]) << "solid " << k << " vertex " << i;
    }
  }
}

TEST_F(DodecahedronTest, VertexOffsetsAndFramePointsOfSolidZero) {
  const int32_t offsets[20][2] = {{80, 0},    {24, 76},    {-64, 47},   {-64, -47}, {24, -76},
                                  {156, 0},   {48, 148},   {-126, 91},  {-126, -91}, {48, -148},
                                  {126, 91},  {-48, 148},  {-156, 0},   {-48, -148}, {126, -91},
                                  {64, 47},   {-24, 76},   {-80, 0},    {-24, -76},  {64, -47}};
  const int32_t points[20][2] = {{343, 232}, {298, 257}, {221, 248}, {215, 216}, {291, 206},
                                 {410, 291}, {322, 338}, {171, 320}, {157, 261}, {309, 241},
                                 {386, 382}, {241, 399}, {138, 354}, {223, 306}, {381, 325},
                                 {331, 427}, {257, 436}, {204, 413}, {248, 390}, {328, 399}};
  for (int i = 0; i < 20; ++i) {
    const WorldPoint& v = scene.dodecaVertices[0][i];
    EXPECT_EQ(v.x + 273, offsets[i][0]) << "vertex " << i;
    EXPECT_EQ(v.z - 593, offsets[i][1]) << "vertex " << i;
    EXPECT_EQ(scene.dodecaPoints[0][i].x, points[i][0]) << "point " << i;
    EXPECT_EQ(scene.dodecaPoints[0][i].y, points[i][1]) << "point " << i;
  }
}

TEST_F(DodecahedronTest, VisibleFacesAndShadesOfAllThree) {
  const int visible[6] = {3, 4, 7, 8, 9, 10};
  const int32_t shades[3][6] = {{2, 0, 15, 7, 0, 9}, {6, 0, 15, 10, 0, 10}, {6, 0, 15, 11, 0, 8}};
  for (int k = 0; k < 3; ++k) {
    const WorldPoint* v = scene.dodecaVertices[k];
    int n = 0;
    for (int h = 0; h < dodecaDrawnFaces; ++h) {
      const int* f = dodecaFaceVertices[h];
      const bool seen = FaceIsVisible(v[f[0]], v[f[1]], v[f[3]]);
      const bool expected = n < 6 && visible[n] == h;
      EXPECT_EQ(seen, expected) << "solid " << k << " face " << h;
      if (seen && expected) {
        EXPECT_EQ(ComputeFaceShade(v[f[0]], v[f[1]], v[f[2]]), shades[k][n]) << "solid " << k << " face " << h;
      }
      n += expected;
    }
  }
}

TEST_F(DodecahedronTest, FacesTakeTheirSolidsRampAndTheTopFaceIsDrawnLast) {
  // Face 10 (the top) of each solid, just below its centre point.
  struct Probe { int k; int32_t base; };
  for (Probe p : {Probe{0, 160}, Probe{1, 128}, Probe{2, 192}}) {
    DrawDodecahedronFaces(p.k);
    const FramePoint* pt = scene.dodecaPoints[p.k];
    int32_t sx = 0, sy = 0;
    for (int i = 15; i < 20; ++i) sx += pt[i].x, sy += pt[i].y;
    EXPECT_EQ(pt[20].x, sx / 5) << "solid " << p.k;  // the last drawn face is face 10
    EXPECT_EQ(pt[20].y, sy / 5) << "solid " << p.k;
    const WorldPoint* v = scene.dodecaVertices[p.k];
    const int32_t shade = ComputeFaceShade(v[19], v[18], v[17]);
    EXPECT_EQ(FramePixel(sx / 5, sy / 5 - 3), p.base + shade) << "solid " << p.k;
  }
}

TEST_F(DodecahedronTest, FrozenTurnKeepsTheOrientationWhileTheFormationTravels) {
  SceneSettings.dodecaTurn = 0;
  SceneSettings.dodecaJourneyTime = 0;  // runs with the default, 50
  fixedSceneTick = 12800;  // a quarter lap of the 50-unit journey
  AnimateDodecahedron(0, scene.dodecaVertices[0], scene.dodecaPoints[0]);
  EXPECT_EQ(SceneSettings.dodecaTurnTick, 0);
  EXPECT_EQ(SceneSettings.dodecaJourneyTick, 12800);
  // phi = pi/2: the path offset is (trunc(2/3 * 50), 0) about (-273, 460).
  EXPECT_EQ(scene.dodecaVertices[0][0].x, -273 + 33 + 80);
  EXPECT_EQ(scene.dodecaVertices[0][0].z, 460);
}

TEST_F(DodecahedronTest, ShadowOutlineCoversTheFootprint) {
  ResetSpanTable(5, 768, 1024);
  DrawDodecahedronShadow(0, 5, 0);
  // Bottom vertex 0 stands on the floor at frame point (343, 232): its own shadow.
  EXPECT_LE(scene.spanTables[5][232].left, 343);
  EXPECT_GE(scene.spanTables[5][232].right, 343);
  // Light 1 stands left: the shadow falls to the right of the solid.
  EXPECT_GT(scene.spanTables[5][232].right, 410);
}

}  // namespace
