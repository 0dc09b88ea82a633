// overlays.h - the floor grid and the palette strip, drawn over the scene.
#pragma once

#include <cstdint>

void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void DrawGrid();
void DrawPaletteStrip();
