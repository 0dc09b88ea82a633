// scene.h - the scene as a value: everything one window's frames are drawn from.
//
// A Scene owns the pictures scaled and remapped for one frame size, the
// scene palette's values, the frame buffer, the span tables, the record of
// what the frames drew and the solids' last poses. MakeScene builds it from
// the two pictures' bytes, a size and a palette backend; it releases all of
// it when it goes (or when a shell assigns it an empty Scene{}); it moves
// and is never copied, and nothing else holds it, so a program may keep one
// scene per window.
//
// DrawSceneFrame composes one frame into scene.framePixels from the settings
// record and the tick, starting from the last frame and its change list
// (SceneFrameChanges; the first frame is composed whole):
// background, shadows, faces in their fixed order, overlays. It writes the
// scene and nothing else, so a frame is a function of (record, tick, size,
// palette); the Win32 paint, the X11 program and
// vimbrel-render all call it. A running clock takes the tick; a stopped one
// keeps the tick stored in the record. StampSceneClocks writes the tick into
// the record's running clocks, as a shell does once per frame drawn, so that
// a stored record and a stopped clock keep the pose last shown.
//
//   Scene scene;
//   if (MakeScene(scene, width, height, background, faceMask, backend) == SceneInitResult::ok) {
//     DrawSceneFrame(scene, settings, tick);
//     // show scene.framePixels, or only SceneFrameChanges(scene) of it (shown_frame.h)
//   }
#pragma once

#include <cstdint>

#include "core/common/int_math.h"
#include "core/common/ownership.h"
#include "core/image/drawn_spans.h"
#include "core/image/indexed_image.h"
#include "core/image/scene_palette.h"
#include "core/objects/dodecahedron.h"
#include "core/objects/pyramid.h"
#include "core/raster/raster_target.h"
#include "core/raster/span_tables.h"
#include "core/scene/frame_restore.h"
#include "core/scene/settings_record.h"

struct Scene {
  IndexedImage backgroundImage;
  IndexedImage faceMaskImage;
  IndexedImage frameBuffer;
  LogicalPalette palette;  // the scene palette's entries as created

  int32_t frameWidth, frameHeight, frameStride;
  BorrowedPointer<uint8_t> framePixels;  // frameBuffer's pixel buffer, row 0 at the bottom
  scale11 worldScale;

  BorrowedPointer<const uint8_t> faceMask;  // faceMaskImage's pixels: 0 or 16 per byte, bottom row first
  int32_t faceMaskWidth, faceMaskHeight, faceMaskStride;

  int32_t shadeStep, rampBase128, rampBase160, rampBase192;

  SpanTables spanTables;
  DrawnSpans drawnSpans;    // what the last frame drew, and so what it changed
  KeptShadows keptShadows;  // the last frame's shadow spans

  WorldPoint pyramidVertices[pyramidVertexCount];
  FramePoint pyramidPoints[pyramidVertexCount];
  WorldPoint dodecaVertices[dodecaSolidCount][dodecaVertexCount];
  FramePoint dodecaPoints[dodecaSolidCount][dodecaPointCount];
};

enum class SceneInitResult { ok, missingPicture, unusableSize, outOfMemory };

// Builds the scene for a frame of width x height from the two pictures in
// resource form (the background, bitmap 114, defines the scene palette; the
// face pattern, bitmap 113, is remapped to it). Anything that cannot be made
// fails the whole scene, leaving it empty, so no frame is ever drawn with a
// piece missing. A scene made before is released first. Running out of
// memory is the result outOfMemory, never an exception.
SceneInitResult MakeScene(Scene& scene, int32_t width, int32_t height, PictureBytes background, PictureBytes faceMask,
                          const PaletteBackend& backend);
// What a failed MakeScene says to a person, one line.
const char* SceneInitProblem(SceneInitResult result);
// True once MakeScene succeeded (and not after the scene was moved away).
bool SceneReady(const Scene& scene);
// The change list of the frame drawn last: the pixels that may differ from
// the frame before it.
inline const ChangeList& SceneFrameChanges(const Scene& scene) { return FrameChanges(scene.drawnSpans); }

// The scene's frame, mask, shade step, span tables and drawn spans, as raster/ takes them.
RasterTarget SceneRasterTarget(Scene& scene);

// One frame for the settings at tick; an empty scene draws nothing.
void DrawSceneFrame(Scene& scene, const SettingsRecord& settings, uint32_t tick);
// Writes tick into the clock fields of the record's running clocks: a shown
// solid's turn or journey whose switch is on.
void StampSceneClocks(SettingsRecord& settings, uint32_t tick);

// The clock a shell reads its frames' ticks from: the system's running
// millisecond count, or one held tick (a test or a benchmark that wants
// frames it can predict).
struct SceneClock {
  bool frozen;
  uint32_t frozenTick;
};
inline uint32_t SceneClockTick(const SceneClock& clock, uint32_t runningTick) {
  return clock.frozen ? clock.frozenTick : runningTick;
}
