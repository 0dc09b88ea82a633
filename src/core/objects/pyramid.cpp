// pyramid.cpp - the square pyramid: its clocks and pose, its two shadows on
// the floor and its four textured side faces (the base is never drawn).
#include "core/objects/pyramid.h"

#include <cmath>

#include "core/common/int_math.h"
#include "core/objects/object_motion.h"
#include "core/raster/edge_walk.h"
#include "core/raster/projection.h"
#include "core/raster/textured_fill.h"

namespace {
constexpr int cornerCount = 4;
constexpr int apexIndex = 4;
}  // namespace

void AnimatePyramid(const Stage& stage, const SolidMotion& m, WorldPoint* vertices, FramePoint* points) {
  const double theta = ClockAngle(m.turnTick, m.turnStart, m.rotationTime);
  const double phi = ClockAngle(m.journeyTick, m.journeyStart, m.journeyTime);

  const int32_t r = ScaleLength(stage.worldScale, m.radius);
  const int32_t rs = DoubleToInt32(std::sin(theta) * r);
  const int32_t rc = DoubleToInt32(std::cos(theta) * r);
  int32_t x, z;
  JourneyPosition(stage.worldScale, phi, m.centreX, m.centreZ, x, z);

  // Corner k lies at angle theta + k * 90 degrees, from +x toward +z.
  vertices[0] = {WrapAdd(x, rc), 0, WrapAdd(z, rs)};
  vertices[1] = {WrapSub(x, rs), 0, WrapAdd(z, rc)};
  vertices[2] = {WrapSub(x, rc), 0, WrapSub(z, rs)};
  vertices[3] = {WrapAdd(x, rs), 0, WrapSub(z, rc)};
  vertices[apexIndex] = {x, ScaleLength(stage.worldScale, m.height), z};
  for (int i = 0; i <= apexIndex; ++i)
    points[i] = ProjectPoint(stage.camera, vertices[i].x, vertices[i].y, vertices[i].z);
}

void DrawPyramidShadow(const Stage& stage, const WorldPoint* vertices, const FramePoint* points, int table,
                       int lightIndex) {
  if (!IsShadowTable(table)) return;
  const WorldPoint shadow = FloorShadowPoint(StageLight(stage, lightIndex), vertices[apexIndex]);
  const FramePoint p = ProjectPoint(stage.camera, shadow.x, shadow.y, shadow.z);
  const FramePoint* corners = points;
  // The corners stand on the floor and are their own shadows; the hull of
  // the corners and the apex's shadow is among these eight edges.
  for (int i = 0; i < cornerCount; ++i) AddShadowEdge(stage.raster, table, corners[i].x, corners[i].y, p.x, p.y);
  for (int i = 0; i < cornerCount; ++i) {
    const FramePoint& next = corners[(i + 1) % cornerCount];
    AddShadowEdge(stage.raster, table, corners[i].x, corners[i].y, next.x, next.y);
  }
}

void DrawPyramidFace(const Stage& stage, const WorldPoint* v, const FramePoint* points, int i, int j, int apex) {
  if (i < 0 || i > apexIndex || j < 0 || j > apexIndex || apex < 0 || apex > apexIndex) return;
  if (!FaceIsVisible(v[i], v[j], v[apex], stage.eye)) return;
  const int32_t shade = ComputeFaceShade(v[i], v[j], v[apex], stage.lights[0], stage.lights[1]);
  const int32_t colourBase = WrapAdd(stage.rampBase128, shade);
  const TexturedEdge edges[3] = {
      {i, apex, maskLeft, maskTop}, {j, apex, maskRight, maskTop}, {i, j, maskLeft, maskRight}};
  FillTexturedFace(stage.raster, points, edges, 3, colourBase);
}
