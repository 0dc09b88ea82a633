// pyramid.h - the square pyramid: pose, shadows, side faces.
#pragma once

#include "core/objects/stage.h"

constexpr int pyramidVertexCount = 5;  // four floor corners, then the apex

// The pose at the motion's ticks: world vertices and their frame points.
void AnimatePyramid(const Stage& stage, const SolidMotion& motion, WorldPoint* vertices, FramePoint* points);
void DrawPyramidShadow(const Stage& stage, const WorldPoint* vertices, const FramePoint* points, int table,
                       int lightIndex);
// The side face over corners i, j and the apex, when it faces the eye.
void DrawPyramidFace(const Stage& stage, const WorldPoint* vertices, const FramePoint* points, int i, int j, int apex);
