// projection.cpp - world lengths, perspective projection, facing test and
// flat shading.
//
// The projection is 32-bit integer arithmetic that wraps like the machine's
// (far shadows do overflow it); the facing test and the lights work in
// doubles on the wrapped integer differences of the face's vertices.
#include "core/raster/projection.h"

#include <cmath>

#include "core/common/int_math.h"

namespace {

bool FaceCosine(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& q, double& cosine);

struct Vector {
  double x, y, z;
};

// q - p as 32-bit wrapped differences, then as doubles.
Vector Difference(const WorldPoint& q, const WorldPoint& p) {
  return {static_cast<double>(WrapSub(q.x, p.x)), static_cast<double>(WrapSub(q.y, p.y)),
          static_cast<double>(WrapSub(q.z, p.z))};
}

double Length(const Vector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// What one light adds to a face's shade: 16 times its cosine, truncated;
// nothing for a light behind the face or nearly edge-on to it.
int32_t LightShade(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& light) {
  double cosine;
  if (!FaceCosine(p0, p1, p2, light, cosine)) return 0;  // no number: unlit
  const int32_t k = DoubleToInt32(16 * cosine);          // truncates toward zero
  return k > 0 ? k : 0;
}

}  // namespace

int32_t ScaleLength(scale11 worldScale, int32_t v) {
  return ShiftRightArith(WrapMul(v, worldScale), 11);  // floor(v * worldScale / 2048)
}

FramePoint ProjectPoint(const Camera& camera, int32_t x, int32_t y, int32_t z) {
  const int32_t depth = WrapSub(z, camera.eyeZ);
  if (depth == 0) return {0, 0};
  const int32_t sx = WrapAdd(WrapAdd(x, TruncDiv(WrapMul(WrapSub(camera.eyeX, x), z), depth)),
                             camera.frameWidth / 2);  // half width truncated
  const int32_t sy = WrapAdd(y, TruncDiv(WrapMul(WrapSub(camera.eyeY, y), z), depth));
  return {sx, sy};
}

namespace {

// Cosine between the face normal (p1 - p0) x (p2 - p0) and the direction
// p0 -> q. Returns false when there is no number (degenerate face, q = p0).
bool FaceCosine(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& q, double& cosine) {
  const Vector a = Difference(p1, p0);
  const Vector b = Difference(p2, p0);
  const Vector n = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  const Vector w = Difference(q, p0);
  const double nLength = Length(n);
  const double wLength = Length(w);
  if (nLength == 0 || wLength == 0) return false;  // degenerate face, or q on p0
  cosine = (n.x / nLength) * (w.x / wLength) + (n.y / nLength) * (w.y / wLength) + (n.z / nLength) * (w.z / wLength);
  return true;
}

}  // namespace

bool FaceIsVisible(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& eye) {
  double cosine;
  return FaceCosine(p0, p1, p2, eye, cosine) && cosine >= 0;  // edge-on counts as visible
}

int32_t ComputeFaceShade(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& light1,
                         const WorldPoint& light2) {
  int32_t sum = LightShade(p0, p1, p2, light1);
  sum += LightShade(p0, p1, p2, light2);
  return sum > 15 ? 15 : sum;  // both lights at once saturate at the ramp's top shade
}
