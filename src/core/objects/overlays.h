// overlays.h - the floor grid and the palette strip, drawn over the scene.
#pragma once

#include <cstdint>

#include "core/objects/stage.h"

// The floor square x -500..500, z 50..1050 with lines every 50 units, in
// unscaled world units. Returns how many of its 42 lines were drawn.
int DrawGrid(const Stage& stage);
// Palette indices, shadow copies and the three ramps as blocks of colour at
// fixed frame positions, clipped to the frame.
void DrawPaletteStrip(const Stage& stage);
