// scene_state.h - what the scene owns once it is initialised.
//
// One scene per process: the pictures, the palette values, the frame buffer
// and its size, the span tables and the solids' vertex arrays live in the
// one record `scene`, made at the first paint and kept until the process
// ends. Tests reset it with ResetSceneState.
#pragma once

#include <cstdint>

#include "image/indexed_image.h"
#include "common/int_math.h"
#include "image/scene_palette.h"

struct SpanRow {
  int32_t left, right;
};

struct WorldPoint {
  int32_t x, y, z;
};

struct FramePoint {
  int32_t x, y;
};

constexpr int spanTableCount = 11;
constexpr int faceTable = 0;        // column span of the face being drawn
constexpr int faceColumnTable = 1;  // mask column (u) at both ends
constexpr int faceRowTable = 2;     // mask storage row (v) at both ends

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

  SpanRow* spanTables[spanTableCount];

  WorldPoint pyramidVertices[5];
  FramePoint pyramidPoints[5];
  WorldPoint dodecaVertices[3][20];
  FramePoint dodecaPoints[3][21];  // entry 20: centre of the face being drawn
};

extern SceneResources scene;

// Frees what the record holds and zeroes it (tests only; the running
// program never releases its scene).
void ResetSceneState();
