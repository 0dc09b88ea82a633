// object_motion.cpp - clocks, path and floor shadows of the moving solids.
#include "core/objects/object_motion.h"

#include <cmath>

#include "core/common/int_math.h"
#include "core/raster/projection.h"

int32_t UsablePeriod(int32_t period, int32_t defaultPeriod) {
  return WrapMul(period, 1024) == 0 ? defaultPeriod : period;
}

double ClockAngle(int32_t tick, int32_t start, int32_t period) {
  const int32_t m = TruncRem(WrapSub(tick, start), WrapMul(period, 1024));
  // period * 1024 is not 0, so period * 512 is not 0 either.
  return m * sceneMathPi / WrapMul(period, 512);
}

void JourneyPosition(scale11 worldScale, double phi, int32_t centreX, int32_t centreZ, int32_t& x, int32_t& z) {
  const double t = std::sin(3.0 * phi) * 0.3333333333333333;
  const double u = std::cos(3.0 * phi) * 0.3333333333333333;
  x = WrapAdd(DoubleToInt32((std::sin(phi) + t) * ScaleLength(worldScale, 50)), ScaleLength(worldScale, centreX));
  z = WrapAdd(DoubleToInt32((std::cos(phi) + u) * ScaleLength(worldScale, 100)), ScaleLength(worldScale, centreZ));
}

WorldPoint FloorShadowPoint(const WorldPoint& light, const WorldPoint& p) {
  if (p.y == light.y) return {0, 0, 0};  // no crossing: the origin stands in
  const int32_t divisor = WrapSub(p.y, light.y);
  const int32_t x = TruncDiv(WrapSub(WrapMul(light.x, p.y), WrapMul(p.x, light.y)), divisor);
  const int32_t z = TruncDiv(WrapSub(WrapMul(light.z, p.y), WrapMul(p.z, light.y)), divisor);
  return {x, 0, z};
}
