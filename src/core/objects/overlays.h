// overlays.h - the floor grid and the palette strip, drawn over the scene.
#pragma once

#include <cstdint>

#include "core/objects/stage.h"

// The floor square x -500..500, z 50..1050 with lines every 50 units, in
// unscaled world units; a line with an end off the frame is left out.
void DrawGrid(const Stage& stage);
// Palette indices, shadow copies and the three ramps as blocks of colour at
// fixed frame positions, clipped to the frame.
void DrawPaletteStrip(const Stage& stage);
