// scene_palette.h - the scene palette, shade ramps and the face pattern.
//
// Shading is arithmetic on palette indices: colour-table entries 0..31 are
// the background's colours, 32..127 their 3/4, 1/2 and 1/4 copies (a shadow
// adds shadeStep), 128..223 three 32-step ramps for the faces. The logical
// palette keeps the display's static colours at both ends and puts
// colour-table entry j at palette index j + h.
//
// Colour matching goes through a PaletteBackend: the Win32 shell's asks GDI
// (CreatePalette, GetNearestPaletteIndex, GetPaletteEntries); the software
// one (SoftwarePaletteBackend) does the same arithmetic for builds without
// GDI and for the headless renderer.
#pragma once

#include <cstdint>

#include "core/image/indexed_image.h"

constexpr uint8_t paletteReservedFlag = 0x01;  // PC_RESERVED

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};

struct LogicalPalette {
  PaletteEntry entries[256];
};

// What the scene palette needs to know of the display.
struct DisplayDescription {
  int32_t staticColours;  // GetDeviceCaps NUMCOLORS; -1 on a true-colour display
  int32_t paletteSize;    // GetDeviceCaps SIZEPALETTE
  PaletteEntry systemEntries[256];
};

DisplayDescription TrueColourDisplay();
// A 256-colour display with the 20 standard static colours at 0..9 and 246..255.
DisplayDescription StandardStaticDisplay();

struct PaletteBackend {
  void* context;
  void (*describeDisplay)(void* context, DisplayDescription& display);
  // Makes the logical palette; false when it cannot.
  bool (*createPalette)(void* context, const LogicalPalette& palette);
  uint8_t (*nearestIndex)(void* context, uint8_t red, uint8_t green, uint8_t blue);
  void (*readEntries)(void* context, PaletteEntry entries[256]);
};

// The software backend over a display description; its palette is kept in
// the state it points at.
struct SoftwarePalette {
  DisplayDescription display;
  LogicalPalette palette;
};
PaletteBackend SoftwarePaletteBackend(SoftwarePalette& state);

// Colour-table entries 32..223 of a 256-entry table (blue, green, red, 0)
// from entries 0..31: their shadow copies and the three face ramps.
void BuildSceneColours(uint8_t* colourTable);
constexpr int32_t sceneColourCount = 224;

struct ScenePaletteValues {
  int32_t shadeStep, rampBase128, rampBase160, rampBase192;
};

// Layout, palette creation, remap of the background. False when the
// palette cannot be created.
bool BuildScenePalette(IndexedImage& image, const PaletteBackend& backend, ScenePaletteValues& values);
void RemapPixels(IndexedImage& image, const PaletteBackend& backend);
// Every byte of mask (stride x height) becomes 16 where it equals the first
// byte, 0 elsewhere.
void BuildFaceMask(uint8_t* mask, int32_t stride, int32_t height);
