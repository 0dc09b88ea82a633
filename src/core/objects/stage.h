// stage.h - what the solids and overlays are drawn with.
//
// The scene hands a Stage down for each frame: the raster target, the
// camera, the world scale, the eye and the lights in world units and the
// palette ramps. A solid's motion comes as a SolidMotion copied from the
// settings; the objects read nothing else.
#pragma once

#include <cstdint>

#include "core/common/int_math.h"
#include "core/raster/projection.h"
#include "core/raster/raster_target.h"

struct Stage {
  RasterTarget raster;
  Camera camera;
  scale11 worldScale;
  WorldPoint eye;        // world units, for the facing test
  WorldPoint lights[2];  // world units
  int32_t rampBase128, rampBase160, rampBase192;
};

// One solid's size, place and clocks, in settings units. A clock is a pair
// (start, tick) with a period in units of 1024 ms.
struct SolidMotion {
  int32_t radius, height;  // the dodecahedrons have no height
  int32_t centreX, centreZ;
  int32_t rotationTime, journeyTime;  // usable (UsablePeriod): never 0 times 1024
  int32_t turnStart, turnTick, journeyStart, journeyTick;
};
