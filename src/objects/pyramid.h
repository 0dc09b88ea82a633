// pyramid.h - the square pyramid: pose, shadows, side faces.
#pragma once

#include "scene/scene_state.h"

void AnimatePyramid(WorldPoint* vertices, FramePoint* points);
void DrawPyramidShadow(int table, int lightIndex);
void DrawPyramidFace(int i, int j, int apex);
