// overlays.h - the floor grid and the palette strip, drawn over the scene.
#pragma once

#include <cstdint>

#include "core/objects/stage.h"

// A 4-connected staircase from (x1, y1) toward (x2 + sx, y2 + sy) in the grid
// colour; drawn whole when both endpoints lie in the frame, otherwise not at
// all. Returns 1 when drawn, 0 when rejected.
int DrawLine(const Stage& stage, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The floor square x -500..500, z 50..1050 with lines every 50 units, in
// unscaled world units. Returns how many of its 42 lines were drawn.
int DrawGrid(const Stage& stage);
// Palette indices, shadow copies and the three ramps as blocks of colour at
// fixed frame positions, clipped to the frame.
void DrawPaletteStrip(const Stage& stage);
