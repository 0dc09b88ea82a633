// dodecahedron.h - the formation of three dodecahedrons.
#pragma once

#include "scene/scene_state.h"

void AnimateDodecahedron(int k, WorldPoint* vertices, FramePoint* points);
void DrawDodecahedronShadow(int k, int table, int lightIndex);
void DrawDodecahedronFaces(int k);
