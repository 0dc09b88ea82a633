// scene_state.h - what the scene owns once it is initialised.
//
// One scene per process: the pictures, the palette values, the frame buffer
// and its size, the span tables and the solids' vertex arrays live in the
// one record `scene`, made at the first paint and kept until the process
// ends. Tests reset it with ResetSceneState.
#pragma once

#include <cstdint>

#include "common/int_math.h"
#include "image/indexed_image.h"
#include "image/scene_palette.h"
#include "objects/dodecahedron.h"
#include "objects/pyramid.h"
#include "raster/raster_target.h"

struct SceneResources {
  IndexedImage* backgroundImage;
  IndexedImage* faceMaskImage;
  IndexedImage* frameBuffer;
  LogicalPalette palette;  // the scene palette's entries as created

  int32_t frameWidth, frameHeight, frameStride;
  uint8_t* framePixels;  // frameBuffer's pixel buffer, row 0 at the bottom
  scale11 worldScale;

  const uint8_t* faceMask;  // 0 or 16 per byte, bottom row first
  int32_t faceMaskWidth, faceMaskHeight, faceMaskStride;

  int32_t shadeStep, rampBase128, rampBase160, rampBase192;

  SpanTables spanTables;

  WorldPoint pyramidVertices[pyramidVertexCount];
  FramePoint pyramidPoints[pyramidVertexCount];
  WorldPoint dodecaVertices[dodecaSolidCount][dodecaVertexCount];
  FramePoint dodecaPoints[dodecaSolidCount][dodecaPointCount];
};

extern SceneResources scene;

// The scene's frame, mask, shade step and span tables, as raster/ takes them.
RasterTarget SceneRasterTarget();

// Frees what the record holds and zeroes it (tests only; the running
// program never releases its scene).
void ResetSceneState();
