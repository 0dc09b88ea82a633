// dodecahedron.cpp - three dodecahedrons in a rigid formation: one clock
// pair and one path for all, each solid offset, sized and coloured by its
// row of the formation table, each with two shadows and eleven faces (the
// bottom face is never drawn).
#include "core/objects/dodecahedron.h"

#include <cmath>

#include "core/common/int_math.h"
#include "core/objects/object_motion.h"
#include "core/raster/edge_walk.h"
#include "core/raster/projection.h"
#include "core/raster/textured_fill.h"

namespace {
constexpr int shadowVertexCount = 10;  // the bottom pentagon and the first middle ring
constexpr int centrePoint = dodecaVertexCount;

constexpr double ringAngle = 0.628318530717958;     // pi / 5
constexpr double angularStep = 1.2566370614359161;  // 2 pi / 5

bool IsSolid(int k) { return k >= 0 && k < dodecaSolidCount; }

int32_t SolidRampBase(const Stage& stage, int k) {
  if (k == 0) return stage.rampBase160;
  if (k == 1) return stage.rampBase128;
  return stage.rampBase192;
}

// Centre (cx, cz) and base radius rho of solid k from the path position (x,
// z) and radius r: solid 1 stands 9r deeper and 2r left, solid 2 12r deeper
// and 2r right.
void FormationPlace(int k, int32_t x, int32_t z, int32_t r, int32_t& cx, int32_t& cz, int32_t& rho) {
  const int32_t twoR = WrapMul(2, r);
  if (k == 0) {
    cx = x, cz = z, rho = r;
  } else if (k == 1) {
    cx = WrapSub(x, twoR), cz = WrapAdd(z, WrapMul(9, r)), rho = TruncDiv(WrapMul(9, r), 10);
  } else {
    cx = WrapAdd(x, twoR), cz = WrapAdd(z, WrapMul(12, r)), rho = TruncDiv(WrapMul(7, r), 10);
  }
}

void BuildVertices(int32_t cx, int32_t cz, int32_t rho, double theta, WorldPoint* vertices) {
  const double ringFactor = std::sin(ringAngle) * std::cos(ringAngle) * 2.0 + 1.0;  // about 1.951
  const int32_t h1 = DoubleToInt32(rho * 0.85);
  const int32_t h2 = DoubleToInt32(rho * 1.75);
  const int32_t ringHeight[4] = {0, h1, h2, WrapAdd(h1, h2)};
  for (int i = 0; i < dodecaVertexCount; ++i) {
    const int ring = i / 5;
    const double a = (ring < 2 ? i : i + 0.5) * angularStep + theta;  // upper rings half a step on
    double dx, dz;
    if (ring == 1 || ring == 2) {
      dx = std::cos(a) * ringFactor * rho;  // (cos a * m) * rho, in that order
      dz = std::sin(a) * ringFactor * rho;
    } else {
      dx = std::cos(a) * rho;
      dz = std::sin(a) * rho;
    }
    vertices[i] = {WrapAdd(cx, DoubleToInt32(dx)), ringHeight[ring], WrapAdd(cz, DoubleToInt32(dz))};
  }
}

// The triangle (P, Q, face centre) of a face's fan.
void DrawFanTriangle(const RasterTarget& target, const FramePoint* points, int p, int q, int32_t colourBase) {
  const TexturedEdge edges[3] = {
      {p, q, maskLeft, maskRight}, {p, centrePoint, maskLeft, maskTop}, {q, centrePoint, maskRight, maskTop}};
  FillTexturedFace(target, points, edges, 3, colourBase);
}
}  // namespace

const int dodecaFaceVertices[dodecaDrawnFaces][5] = {
    {0, 5, 10, 6, 1},    {1, 6, 11, 7, 2},    {2, 7, 12, 8, 3},     {3, 8, 13, 9, 4},
    {4, 9, 14, 5, 0},    {10, 15, 16, 11, 6}, {11, 16, 17, 12, 7},  {12, 17, 18, 13, 8},
    {13, 18, 19, 14, 9}, {14, 19, 15, 10, 5}, {19, 18, 17, 16, 15},
};

void AnimateDodecahedron(const Stage& stage, const SolidMotion& m, int k, WorldPoint* vertices, FramePoint* points) {
  if (!IsSolid(k)) return;
  const double theta = ClockAngle(m.turnTick, m.turnStart, m.rotationTime);
  const double phi = ClockAngle(m.journeyTick, m.journeyStart, m.journeyTime);
  int32_t x, z;
  JourneyPosition(stage.worldScale, phi, m.centreX, m.centreZ, x, z);
  int32_t cx, cz, rho;
  FormationPlace(k, x, z, ScaleLength(stage.worldScale, m.radius), cx, cz, rho);

  BuildVertices(cx, cz, rho, theta, vertices);
  for (int i = 0; i < dodecaVertexCount; ++i)
    points[i] = ProjectPoint(stage.camera, vertices[i].x, vertices[i].y, vertices[i].z);
}

void DrawDodecahedronShadow(const Stage& stage, int k, const WorldPoint* vertices, int table, int lightIndex) {
  if (!IsSolid(k) || !IsShadowTable(table)) return;
  const WorldPoint& light = StageLight(stage, lightIndex);
  FramePoint shadow[shadowVertexCount];
  for (int i = 0; i < shadowVertexCount; ++i) {
    const WorldPoint floor = FloorShadowPoint(light, vertices[i]);
    shadow[i] = ProjectPoint(stage.camera, floor.x, floor.y, floor.z);
  }
  auto edge = [&](int a, int b) {
    AddShadowEdge(stage.raster, table, shadow[a].x, shadow[a].y, shadow[b].x, shadow[b].y);
  };
  for (int i = 0; i < 5; ++i) {
    edge(i, (i + 1) % 5);  // bottom pentagon
    edge(i, i + 5);        // up to the first middle ring
  }
  for (int i = 5; i < 10; ++i) edge(i, 5 + (i + 1) % 5);  // the first middle ring
}

void DrawDodecahedronFaces(const Stage& stage, int k, const WorldPoint* v, FramePoint* points) {
  if (!IsSolid(k)) return;
  for (const auto& face : dodecaFaceVertices) {
    if (!FaceIsVisible(v[face[0]], v[face[1]], v[face[3]], stage.eye)) continue;
    const int32_t shade = ComputeFaceShade(v[face[0]], v[face[1]], v[face[2]], stage.lights[0], stage.lights[1]);
    const int32_t colourBase = WrapAdd(SolidRampBase(stage, k), shade);
    int32_t sumX = 0, sumY = 0;
    for (int n : face) sumX = WrapAdd(sumX, points[n].x), sumY = WrapAdd(sumY, points[n].y);
    points[centrePoint] = {TruncDiv(sumX, 5), TruncDiv(sumY, 5)};
    for (int e = 0; e < 5; ++e) DrawFanTriangle(stage.raster, points, face[e], face[(e + 1) % 5], colourBase);
  }
}
