// projection.h - world to frame, back-face test and flat lighting.
//
// World coordinates are int32: x right, y up (floor y = 0), z away from the
// viewer; the frame is the plane z = 0, one unit per pixel. Settings lengths
// enter the world through ScaleLength. Sums, differences and products wrap
// as 32-bit arithmetic; cosines are doubles.
#pragma once

#include <cstdint>

#include "core/common/int_math.h"
#include "core/raster/raster_target.h"

constexpr double sceneMathPi = 3.14159265358979;

// Where the viewer stands, in settings units (not scaled), and the frame's width.
struct Camera {
  int32_t eyeX, eyeY, eyeZ;
  int32_t frameWidth;
};

// floor(v * worldScale / 2048): a settings length in world units.
int32_t ScaleLength(scale11 worldScale, int32_t v);
FramePoint ProjectPoint(const Camera& camera, int32_t x, int32_t y, int32_t z);
// Whether the face turns toward the eye (world units); edge-on counts as visible.
bool FaceIsVisible(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& eye);
// 0..15: what the two lights (world units) add to the face's ramp index.
int32_t ComputeFaceShade(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& light1,
                         const WorldPoint& light2);
