// projection.h - world to frame, back-face test and flat lighting.
//
// World coordinates are int32: x right, y up (floor y = 0), z away from the
// viewer; the frame is the plane z = 0, one unit per pixel. Settings lengths
// enter the world through ScaleLength. Sums, differences and products wrap
// as 32-bit arithmetic; cosines are doubles.
#pragma once

#include <cstdint>

#include "scene/scene_state.h"

constexpr double sceneMathPi = 3.14159265358979;

int32_t ScaleLength(int32_t v);
FramePoint ProjectPoint(int32_t x, int32_t y, int32_t z);
// Cosine between the face normal (p1 - p0) x (p2 - p0) and the direction
// p0 -> q. Returns false when there is no number (degenerate face, q = p0).
bool FaceCosine(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2, const WorldPoint& q,
                double& cosine);
bool FaceIsVisible(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2);
int32_t ComputeFaceShade(const WorldPoint& p0, const WorldPoint& p1, const WorldPoint& p2);
