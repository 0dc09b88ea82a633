// pyramid.cpp - the square pyramid: its clocks and pose, its two shadows on
// the floor and its four textured side faces (the base is never drawn).
#include "objects/pyramid.h"

#include <cmath>

#include "common/int_math.h"
#include "objects/object_motion.h"
#include "raster/projection.h"
#include "raster/span_tables.h"
#include "scene/scene_clock.h"
#include "scene/settings_record.h"

namespace {
constexpr int32_t defaultRotationTime = 40;
constexpr int32_t defaultJourneyTime = 30;
constexpr int cornerCount = 4;
constexpr int apexIndex = 4;
}  // namespace

void AnimatePyramid(WorldPoint* vertices, FramePoint* points) {
  SettingsRecord& s = SceneSettings;
  if (s.pyramidTurn != 0) s.pyramidTurnTick = static_cast<int32_t>(ReadSceneTick());
  if (s.pyramidJourney != 0) s.pyramidJourneyTick = static_cast<int32_t>(ReadSceneTick());

  const double theta = ClockAngle(s.pyramidTurnTick, s.pyramidTurnStart,
                                  UsablePeriod(s.pyramidRotationTime, defaultRotationTime));
  const double phi = ClockAngle(s.pyramidJourneyTick, s.pyramidJourneyStart,
                                UsablePeriod(s.pyramidJourneyTime, defaultJourneyTime));

  const int32_t r = ScaleLength(s.pyramidRadius);
  const int32_t rs = DoubleToInt32(std::sin(theta) * r);
  const int32_t rc = DoubleToInt32(std::cos(theta) * r);
  int32_t x, z;
  JourneyPosition(phi, s.pyramidCentreX, s.pyramidCentreZ, x, z);

  // Corner k lies at angle theta + k * 90 degrees, from +x toward +z.
  vertices[0] = {WrapAdd(x, rc), 0, WrapAdd(z, rs)};
  vertices[1] = {WrapSub(x, rs), 0, WrapAdd(z, rc)};
  vertices[2] = {WrapSub(x, rc), 0, WrapSub(z, rs)};
  vertices[3] = {WrapAdd(x, rs), 0, WrapSub(z, rc)};
  vertices[apexIndex] = {x, ScaleLength(s.pyramidHeight), z};
  for (int i = 0; i <= apexIndex; ++i) points[i] = ProjectPoint(vertices[i].x, vertices[i].y, vertices[i].z);
}

void DrawPyramidShadow(int table, int lightIndex) {
  if (!IsShadowTable(table)) return;
  const WorldPoint shadow = FloorShadowPoint(ScaledLight(lightIndex), scene.pyramidVertices[apexIndex]);
  const FramePoint p = ProjectPoint(shadow.x, shadow.y, shadow.z);
  const FramePoint* corners = scene.pyramidPoints;
  // The corners stand on the floor and are their own shadows; the hull of
  // the corners and the apex's shadow is among these eight edges.
  for (int i = 0; i < cornerCount; ++i) AddShadowEdge(table, corners[i].x, corners[i].y, p.x, p.y);
  for (int i = 0; i < cornerCount; ++i) {
    const FramePoint& next = corners[(i + 1) % cornerCount];
    AddShadowEdge(table, corners[i].x, corners[i].y, next.x, next.y);
  }
}

void DrawPyramidFace(int i, int j, int apex) {
  if (i < 0 || i > apexIndex || j < 0 || j > apexIndex || apex < 0 || apex > apexIndex) return;
  const WorldPoint* v = scene.pyramidVertices;
  if (!FaceIsVisible(v[i], v[j], v[apex])) return;
  const int32_t colourBase = WrapAdd(scene.rampBase128, ComputeFaceShade(v[i], v[j], v[apex]));
  ResetSpanTable(faceTable, scene.frameHeight, scene.frameWidth);
  AddTexturedEdge(scene.pyramidPoints, i, apex, maskLeftU, maskLeftV, maskTopU, maskTopV);
  AddTexturedEdge(scene.pyramidPoints, j, apex, maskRightU, maskRightV, maskTopU, maskTopV);
  AddTexturedEdge(scene.pyramidPoints, i, j, maskLeftU, maskLeftV, maskRightU, maskRightV);
  FillTexturedSpans(faceTable, colourBase);
}
