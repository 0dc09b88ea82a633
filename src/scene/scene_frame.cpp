// scene_frame.cpp - one frame of the scene, composed in its fixed order.
//
// There is no depth buffer: the order of the layers alone decides what
// covers what. The frame buffer keeps the last frame: the background is put
// back over what that drew, and what this one draws is noted, so that the
// frame's change list (FrameChanges) says which pixels may differ. Shadows darken the background before any face is drawn;
// dodecahedrons 2 and 1 lie under the pyramid, dodecahedron 0 over it, and
// the palette strip and then the grid over everything. Nothing here
// allocates.
#include "scene/scene_frame.h"

#include "objects/dodecahedron.h"
#include "objects/overlays.h"
#include "objects/pyramid.h"
#include "raster/projection.h"
#include "raster/shadows.h"
#include "scene/scene_clock.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

namespace {

bool SceneReady() { return scene.framePixels != nullptr && scene.backgroundImage != nullptr && SpanTablesExist(scene.spanTables); }

WorldPoint ScaledPoint(int32_t x, int32_t y, int32_t z) {
  return {ScaleLength(scene.worldScale, x), ScaleLength(scene.worldScale, y), ScaleLength(scene.worldScale, z)};
}

// What the solids and overlays draw with this frame.
Stage SceneStage(const SettingsRecord& s) {
  return {SceneRasterTarget(),
          {s.eyeX, s.eyeY, s.eyeZ, scene.frameWidth},
          scene.worldScale,
          ScaledPoint(s.eyeX, s.eyeY, s.eyeZ),
          {ScaledPoint(s.light1X, s.light1Y, s.light1Z), ScaledPoint(s.light2X, s.light2Y, s.light2Z)},
          scene.rampBase128,
          scene.rampBase160,
          scene.rampBase192};
}

// A running clock takes the scene's tick; a stopped one keeps its stored tick.
void StampClocks(int32_t turn, int32_t& turnTick, int32_t journey, int32_t& journeyTick) {
  if (turn != 0) turnTick = static_cast<int32_t>(ReadSceneTick());
  if (journey != 0) journeyTick = static_cast<int32_t>(ReadSceneTick());
}

SolidMotion PyramidMotion(SettingsRecord& s) {
  StampClocks(s.pyramidTurn, s.pyramidTurnTick, s.pyramidJourney, s.pyramidJourneyTick);
  return {s.pyramidRadius,       s.pyramidHeight,      s.pyramidCentreX,    s.pyramidCentreZ,
          s.pyramidRotationTime, s.pyramidJourneyTime, s.pyramidTurnStart,  s.pyramidTurnTick,
          s.pyramidJourneyStart, s.pyramidJourneyTick};
}

SolidMotion DodecaMotion(SettingsRecord& s) {
  StampClocks(s.dodecaTurn, s.dodecaTurnTick, s.dodecaJourney, s.dodecaJourneyTick);
  return {s.dodecaRadius,       0,                   s.dodecaCentreX,   s.dodecaCentreZ,
          s.dodecaRotationTime, s.dodecaJourneyTime, s.dodecaTurnStart, s.dodecaTurnTick,
          s.dodecaJourneyStart, s.dodecaJourneyTick};
}

void AnimateWithShadows(const Stage& stage, bool shadows) {
  SettingsRecord& s = SceneSettings;
  if (s.pyramidShow != 0) {
    AnimatePyramid(stage, PyramidMotion(s), scene.pyramidVertices, scene.pyramidPoints);
    if (shadows)
      for (int light = 0; light < 2; ++light)
        DrawPyramidShadow(stage, scene.pyramidVertices, scene.pyramidPoints, ShadowTableOf(0, light), light);
  }
  if (s.dodecaShow != 0) {
    for (int d = 0; d < dodecaSolidCount; ++d) {
      AnimateDodecahedron(stage, DodecaMotion(s), d, scene.dodecaVertices[d], scene.dodecaPoints[d]);
      if (shadows)
        for (int light = 0; light < 2; ++light)
          DrawDodecahedronShadow(stage, d, scene.dodecaVertices[d], ShadowTableOf(1 + d, light), light);
    }
  }
}

void DrawDodecahedron(const Stage& stage, int d) {
  DrawDodecahedronFaces(stage, d, scene.dodecaVertices[d], scene.dodecaPoints[d]);
}

}  // namespace

void DrawSceneFrame() {
  if (!SceneReady()) return;  // a failed initialisation draws nothing
  const SettingsRecord& s = SceneSettings;
  const Stage stage = SceneStage(s);
  const uint8_t* background = ImagePixels(scene.backgroundImage);
  // The frame holds the last one: only what that drew is put back.
  const ChangeList* restore = BeginDrawnSpans(scene.spanTables, scene.framePixels, background, scene.frameWidth,
                                              scene.frameHeight, scene.frameStride);
  const bool shadows = s.showShadows != 0;
  if (shadows)
    for (int t = firstShadowTable; t <= lastShadowTable; ++t)
      ResetSpanTable(scene.spanTables, scene.frameHeight, t, scene.frameHeight, scene.frameWidth);
  AnimateWithShadows(stage, shadows);
  // The shadows are walked before the background is put back, so that each
  // row is darkened right after its copy, while it is in the cache.
  if (shadows)
    RestoreBackgroundWithShadows(stage.raster, background, restore, firstShadowTable, lastShadowTable);
  else
    RestoreBackgroundWithShadows(stage.raster, background, restore, 1, 0);  // no tables: the plain copy

  if (s.dodecaShow != 0) {
    DrawDodecahedron(stage, 2);
    DrawDodecahedron(stage, 1);
  }
  if (s.pyramidShow != 0)
    for (int i = 0; i < 4; ++i) DrawPyramidFace(stage, scene.pyramidVertices, scene.pyramidPoints, i, (i + 3) % 4, 4);
  if (s.dodecaShow != 0) DrawDodecahedron(stage, 0);

  if (s.showPalette != 0) DrawPaletteStrip(stage);
  if (s.showGrid != 0) DrawGrid(stage);
  EndDrawnSpans(scene.spanTables);
}
