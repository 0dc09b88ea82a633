// dodecahedron.h - the formation of three dodecahedrons.
#pragma once

#include "core/objects/stage.h"

constexpr int dodecaSolidCount = 3;
constexpr int dodecaVertexCount = 20;
constexpr int dodecaPointCount = 21;  // the vertices, then the centre of the face being drawn

// Vertices V1..V5 of faces 0..10 in drawing order; the bottom face (0..4) is
// never drawn. Over V1, V2, V4 (visibility) or V1, V2, V3 (shade) the normal
// points out of the solid.
constexpr int dodecaDrawnFaces = 11;
extern const int dodecaFaceVertices[dodecaDrawnFaces][5];

// Solid k's pose at the motion's ticks: world vertices and frame points.
void AnimateDodecahedron(const Stage& stage, const SolidMotion& motion, int k, WorldPoint* vertices,
                         FramePoint* points);
void DrawDodecahedronShadow(const Stage& stage, int k, const WorldPoint* vertices, int table, int lightIndex);
// points has dodecaPointCount entries; the last is overwritten per face.
void DrawDodecahedronFaces(const Stage& stage, int k, const WorldPoint* vertices, FramePoint* points);
