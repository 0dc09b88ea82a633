// dodecahedron.h - the formation of three dodecahedrons.
#pragma once

#include "scene/scene_state.h"

// Vertices V1..V5 of faces 0..10 in drawing order; the bottom face (0..4) is
// never drawn. Over V1, V2, V4 (visibility) or V1, V2, V3 (shade) the normal
// points out of the solid.
constexpr int dodecaDrawnFaces = 11;
extern const int dodecaFaceVertices[dodecaDrawnFaces][5];

void AnimateDodecahedron(int k, WorldPoint* vertices, FramePoint* points);
void DrawDodecahedronShadow(int k, int table, int lightIndex);
void DrawDodecahedronFaces(int k);
