// scene_frame.cpp - one frame of the scene, composed in its fixed order.
//
// There is no depth buffer: the order of the layers alone decides what
// covers what. Shadows darken the background before any face is drawn;
// dodecahedrons 2 and 1 lie under the pyramid, dodecahedron 0 over it, and
// the palette strip and then the grid over everything. Nothing here
// allocates.
#include "objects/dodecahedron.h"
#include "objects/overlays.h"
#include "objects/pyramid.h"
#include "raster/span_tables.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

namespace {
constexpr int firstShadowTable = 3;
constexpr int lastShadowTable = 10;

bool SceneReady() {
  if (scene.framePixels == nullptr || scene.backgroundImage == nullptr) return false;
  for (const SpanRow* table : scene.spanTables)
    if (table == nullptr) return false;
  return true;
}

void AnimateWithShadows(bool shadows) {
  const SettingsRecord& s = SceneSettings;
  if (s.pyramidShow != 0) {
    AnimatePyramid(scene.pyramidVertices, scene.pyramidPoints);
    if (shadows) {
      DrawPyramidShadow(3, 0);
      DrawPyramidShadow(4, 1);
    }
  }
  if (s.dodecaShow != 0) {
    for (int d = 0; d < 3; ++d) {
      AnimateDodecahedron(d, scene.dodecaVertices[d], scene.dodecaPoints[d]);
      if (shadows) {
        DrawDodecahedronShadow(d, 5 + 2 * d, 0);
        DrawDodecahedronShadow(d, 6 + 2 * d, 1);
      }
    }
  }
}
}  // namespace

void DrawSceneFrame() {
  if (!SceneReady()) return;  // a failed initialisation draws nothing
  const SettingsRecord& s = SceneSettings;
  const bool shadows = s.showShadows != 0;
  if (shadows)
    for (int t = firstShadowTable; t <= lastShadowTable; ++t) ResetSpanTable(t, scene.frameHeight, scene.frameWidth);
  AnimateWithShadows(shadows);
  // The shadows are walked before the background is copied, so that each
  // row is darkened right after its copy, while it is in the cache. The
  // padding bytes after each row are refreshed too.
  if (shadows)
    CopyBackgroundWithShadows(ImagePixels(scene.backgroundImage), firstShadowTable, lastShadowTable);
  else
    CopyBackgroundWithShadows(ImagePixels(scene.backgroundImage), 1, 0);  // no tables: the plain copy

  if (s.dodecaShow != 0) {
    DrawDodecahedronFaces(2);
    DrawDodecahedronFaces(1);
  }
  if (s.pyramidShow != 0)
    for (int i = 0; i < 4; ++i) DrawPyramidFace(i, (i + 3) % 4, 4);
  if (s.dodecaShow != 0) DrawDodecahedronFaces(0);

  if (s.showPalette != 0) DrawPaletteStrip();
  if (s.showGrid != 0) DrawGrid();
}
