// palette_gdi.h - the scene palette through GDI.
#pragma once

#include <windows.h>

#include "core/image/scene_palette.h"

struct GdiPalette {
  HPALETTE palette;  // the created logical palette, or null
};

// Reads the display with GetSystemPaletteEntries and GetDeviceCaps, creates
// the palette with CreatePalette and matches colours with
// GetNearestPaletteIndex and GetPaletteEntries.
PaletteBackend GdiPaletteBackend(GdiPalette& state);
