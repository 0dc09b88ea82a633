// object_motion.h - what the pyramid and the dodecahedrons share: their
// clocks, the closed path they travel, and the floor point of a shadow.
//
// A clock is a pair of settings fields (start, tick) and a period in units of
// 1024 ms; its angle runs from 0 to 2 pi once per period. The path is the
// curve (sin phi + sin 3phi / 3, cos phi + cos 3phi / 3) scaled by 50 across
// and 100 in depth about a centre.
#pragma once

#include <cstdint>

#include "core/objects/stage.h"
#include "core/raster/textured_fill.h"

// The triangle of the face mask that every face triangle shows, as (column,
// row counted from the top of the picture): first corner, second corner, top.
constexpr MaskPoint maskLeft = {19, 744};
constexpr MaskPoint maskRight = {731, 744};
constexpr MaskPoint maskTop = {374, 0};

// The period a clock runs with: the stored one, or defaultPeriod when the
// stored one times 1024 wraps to 0 (0 itself, or a multiple of 2^22), so that
// nothing divides by zero and the object still moves.
int32_t UsablePeriod(int32_t period, int32_t defaultPeriod);

// Angle in radians of a clock: (tick - start) rem (period * 1024), times pi,
// over period * 512. The remainder keeps the sign of the difference.
double ClockAngle(int32_t tick, int32_t start, int32_t period);

// Position on the path at angle phi about (ScaleLength(centreX),
// ScaleLength(centreZ)); the offsets are truncated before the centre is added.
void JourneyPosition(scale11 worldScale, double phi, int32_t centreX, int32_t centreZ, int32_t& x, int32_t& z);

// Light 1 (lightIndex 0) or light 2 (any other index) of the stage.
inline const WorldPoint& StageLight(const Stage& stage, int lightIndex) {
  return stage.lights[lightIndex == 0 ? 0 : 1];
}

// Where the line from light through p meets the floor y = 0; the world origin
// when p is at the light's height.
WorldPoint FloorShadowPoint(const WorldPoint& light, const WorldPoint& p);
