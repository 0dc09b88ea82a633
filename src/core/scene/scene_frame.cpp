// scene_frame.cpp - one frame of the scene, composed in its fixed order.
//
// There is no depth buffer: the order of the layers alone decides what
// covers what. Shadows darken the background before any face is drawn;
// dodecahedrons 2 and 1 lie under the pyramid, dodecahedron 0 over it, and
// the palette strip and then the grid over everything. The frame buffer
// keeps the last frame: the background is put back under what that drew,
// the shadows move, and what this one draws is noted, so that the frame's
// change list (SceneFrameChanges) says which pixels may differ. Nothing here
// allocates.
#include "core/objects/dodecahedron.h"
#include "core/objects/object_motion.h"
#include "core/objects/overlays.h"
#include "core/objects/pyramid.h"
#include "core/raster/projection.h"
#include "core/scene/scene.h"

namespace {

WorldPoint ScaledPoint(const Scene& scene, int32_t x, int32_t y, int32_t z) {
  return {ScaleLength(scene.worldScale, x), ScaleLength(scene.worldScale, y), ScaleLength(scene.worldScale, z)};
}

// What the solids and overlays draw with this frame.
Stage SceneStage(Scene& scene, const SettingsRecord& s) {
  return {SceneRasterTarget(scene),
          {s.eyeX, s.eyeY, s.eyeZ, scene.frameWidth},
          scene.worldScale,
          ScaledPoint(scene, s.eyeX, s.eyeY, s.eyeZ),
          {ScaledPoint(scene, s.light1X, s.light1Y, s.light1Z), ScaledPoint(scene, s.light2X, s.light2Y, s.light2Z)},
          scene.rampBase128,
          scene.rampBase160,
          scene.rampBase192};
}

// A running clock takes the frame's tick; a stopped one keeps its stored tick.
void StampClocks(int32_t turn, int32_t& turnTick, int32_t journey, int32_t& journeyTick, uint32_t tick) {
  if (turn != 0) turnTick = static_cast<int32_t>(tick);
  if (journey != 0) journeyTick = static_cast<int32_t>(tick);
}

SolidMotion PyramidMotion(const SettingsRecord& s) {
  return {s.pyramidRadius,      s.pyramidHeight,    s.pyramidCentreX,  s.pyramidCentreZ,      s.pyramidRotationTime,
          s.pyramidJourneyTime, s.pyramidTurnStart, s.pyramidTurnTick, s.pyramidJourneyStart, s.pyramidJourneyTick};
}

SolidMotion DodecaMotion(const SettingsRecord& s) {
  return {s.dodecaRadius,       0,
          s.dodecaCentreX,      s.dodecaCentreZ,
          s.dodecaRotationTime, s.dodecaJourneyTime,
          s.dodecaTurnStart,    s.dodecaTurnTick,
          s.dodecaJourneyStart, s.dodecaJourneyTick};
}

// A clock whose stored period cannot run takes its field's default (the
// field table in settings_record.cpp), so that the solid still moves.
SolidMotion Usable(SolidMotion m, int32_t defaultRotation, int32_t defaultJourney) {
  m.rotationTime = UsablePeriod(m.rotationTime, defaultRotation);
  m.journeyTime = UsablePeriod(m.journeyTime, defaultJourney);
  return m;
}

// s: the record with this frame's tick in its running clocks.
void AnimateWithShadows(Scene& scene, const Stage& stage, const SettingsRecord& s, bool shadows) {
  if (s.pyramidShow != 0) {
    const SolidMotion motion = Usable(PyramidMotion(s), FieldOf(&SettingsRecord::pyramidRotationTime).defaultValue,
                                      FieldOf(&SettingsRecord::pyramidJourneyTime).defaultValue);
    AnimatePyramid(stage, motion, scene.pyramidVertices, scene.pyramidPoints);
    if (shadows)
      for (int light = 0; light < 2; ++light)
        DrawPyramidShadow(stage, scene.pyramidVertices, scene.pyramidPoints, ShadowTableOf(0, light), light);
  }
  if (s.dodecaShow != 0) {
    const SolidMotion motion = Usable(DodecaMotion(s), FieldOf(&SettingsRecord::dodecaRotationTime).defaultValue,
                                      FieldOf(&SettingsRecord::dodecaJourneyTime).defaultValue);
    for (int d = 0; d < dodecaSolidCount; ++d) {
      AnimateDodecahedron(stage, motion, d, scene.dodecaVertices[d], scene.dodecaPoints[d]);
      if (shadows)
        for (int light = 0; light < 2; ++light)
          DrawDodecahedronShadow(stage, d, scene.dodecaVertices[d], ShadowTableOf(1 + d, light), light);
    }
  }
}

// A solid's faces are noted together: its outline is convex, so one range a
// row covers them.
void DrawDodecahedron(Scene& scene, const Stage& stage, int d) {
  DrawDodecahedronFaces(stage, d, scene.dodecaVertices[d], scene.dodecaPoints[d]);
  NoteFacesDrawn(scene.drawnSpans);
}

}  // namespace

void StampSceneClocks(SettingsRecord& s, uint32_t tick) {
  if (s.pyramidShow != 0) StampClocks(s.pyramidTurn, s.pyramidTurnTick, s.pyramidJourney, s.pyramidJourneyTick, tick);
  if (s.dodecaShow != 0) StampClocks(s.dodecaTurn, s.dodecaTurnTick, s.dodecaJourney, s.dodecaJourneyTick, tick);
}

void DrawSceneFrame(Scene& scene, const SettingsRecord& settings, uint32_t tick) {
  if (!SceneReady(scene)) return;  // a failed initialisation draws nothing
  SettingsRecord s = settings;
  StampSceneClocks(s, tick);
  const Stage stage = SceneStage(scene, s);
  const uint8_t* background = ImagePixels(scene.backgroundImage);
  // The frame holds the last one: only what that drew is put back.
  const ChangeList* restore = BeginDrawnSpans(scene.drawnSpans, scene.framePixels, background, scene.frameWidth,
                                              scene.frameHeight, scene.frameStride);
  const bool shadows = s.showShadows != 0;
  if (shadows)
    for (int t = firstShadowTable; t <= lastShadowTable; ++t)
      ResetSpanTable(scene.spanTables, scene.frameHeight, t, scene.frameHeight, scene.frameWidth);
  AnimateWithShadows(scene, stage, s, shadows);
  // The shadows are walked before the background is put back, so that each
  // row is darkened right after its copy, while it is in the cache.
  if (shadows)
    RestoreBackground(stage.raster, scene.keptShadows, background, restore, firstShadowTable, lastShadowTable);
  else
    RestoreBackground(stage.raster, scene.keptShadows, background, restore, 1, 0);  // no tables: the plain copy

  if (s.dodecaShow != 0) {
    DrawDodecahedron(scene, stage, 2);
    DrawDodecahedron(scene, stage, 1);
  }
  if (s.pyramidShow != 0) {
    for (int i = 0; i < 4; ++i) DrawPyramidFace(stage, scene.pyramidVertices, scene.pyramidPoints, i, (i + 3) % 4, 4);
    NoteFacesDrawn(scene.drawnSpans);
  }
  if (s.dodecaShow != 0) DrawDodecahedron(scene, stage, 0);

  if (s.showPalette != 0) DrawPaletteStrip(stage);
  if (s.showGrid != 0) DrawGrid(stage);
  EndDrawnSpans(scene.drawnSpans);
}
