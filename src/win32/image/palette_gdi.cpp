// palette_gdi.cpp - the palette backend over GDI: the screen's static colours,
// the logical palette and its colour matching.
#include "win32/image/palette_gdi.h"

#include <cstring>

namespace {

void DescribeScreen(void*, DisplayDescription& display) {
  std::memset(&display, 0, sizeof display);
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return;  // no screen to read: a display with no static colours
  PALETTEENTRY entries[256] = {};
  GetSystemPaletteEntries(screen, 0, 256, entries);  // fails harmlessly on a true-colour display
  display.staticColours = GetDeviceCaps(screen, NUMCOLORS);
  display.paletteSize = GetDeviceCaps(screen, SIZEPALETTE);
  for (int i = 0; i < 256; ++i)
    display.systemEntries[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue, entries[i].peFlags};
  ReleaseDC(nullptr, screen);
}

bool CreateGdiPalette(void* context, const LogicalPalette& palette) {
  struct {
    WORD version, count;
    PALETTEENTRY entries[256];
  } logical;
  logical.version = 0x300;
  logical.count = 256;
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = palette.entries[i];
    logical.entries[i] = {e.red, e.green, e.blue, e.flags};
  }
  HPALETTE created = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
  static_cast<GdiPalette*>(context)->palette = created;
  return created != nullptr;
}

uint8_t NearestGdiIndex(void* context, uint8_t red, uint8_t green, uint8_t blue) {
  const UINT index = GetNearestPaletteIndex(static_cast<GdiPalette*>(context)->palette, RGB(red, green, blue));
  return index == CLR_INVALID ? 0 : static_cast<uint8_t>(index);
}

void ReadGdiEntries(void* context, PaletteEntry entries[256]) {
  PALETTEENTRY read[256] = {};
  GetPaletteEntries(static_cast<GdiPalette*>(context)->palette, 0, 256, read);
  for (int i = 0; i < 256; ++i) entries[i] = {read[i].peRed, read[i].peGreen, read[i].peBlue, read[i].peFlags};
}

}  // namespace

PaletteBackend GdiPaletteBackend(GdiPalette& state) {
  return {&state, DescribeScreen, CreateGdiPalette, NearestGdiIndex, ReadGdiEntries};
}
