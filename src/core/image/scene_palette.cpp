// scene_palette.cpp - the scene palette's layout, colour matching and the
// face mask.
//
// BuildScenePalette writes the shade copies and ramps into the background's
// colour table, lays the logical palette out around the display's static
// colours, asks the backend to create it and remaps the background to it.
// The colour table stores entries as blue, green, red, reserved.
#include "core/image/scene_palette.h"

#include <cstring>

#include "core/common/int_math.h"

namespace {

uint8_t NearestPaletteIndex(const LogicalPalette& palette, uint8_t red, uint8_t green, uint8_t blue);

constexpr int32_t baseColours = 32;
constexpr int32_t rampLength = 32;

struct Ramp {
  int32_t first;     // colour-table entry of the ramp's darkest colour
  uint8_t start[3];  // red, green, blue
  uint8_t span[3];
};

constexpr Ramp ramps[3] = {
    {128, {57, 66, 123}, {198, 189, 132}},
    {160, {50, 121, 6}, {205, 134, 249}},
    {192, {41, 41, 49}, {157, 107, 91}},
};

void SetColour(uint8_t* colourTable, int32_t entry, uint8_t red, uint8_t green, uint8_t blue) {
  uint8_t* e = colourTable + 4 * entry;
  e[0] = blue;
  e[1] = green;
  e[2] = red;
  e[3] = 0;
}

uint8_t ThreeQuarters(uint8_t c) { return static_cast<uint8_t>((c >> 1) + (c >> 2)); }  // rounds down twice
uint8_t Half(uint8_t c) { return static_cast<uint8_t>(c >> 1); }
uint8_t Quarter(uint8_t c) { return static_cast<uint8_t>((c >> 1) >> 1); }

PaletteEntry Entry(uint8_t red, uint8_t green, uint8_t blue) { return PaletteEntry{red, green, blue, 0}; }

SoftwarePalette& StateOf(void* context) { return *static_cast<SoftwarePalette*>(context); }

void SoftwareDescribeDisplay(void* context, DisplayDescription& display) { display = StateOf(context).display; }

bool SoftwareCreatePalette(void* context, const LogicalPalette& palette) {
  StateOf(context).palette = palette;
  return true;
}

uint8_t SoftwareNearestIndex(void* context, uint8_t red, uint8_t green, uint8_t blue) {
  return NearestPaletteIndex(StateOf(context).palette, red, green, blue);
}

void SoftwareReadEntries(void* context, PaletteEntry entries[256]) {
  std::memcpy(entries, StateOf(context).palette.entries, sizeof(PaletteEntry) * 256);
}

}  // namespace

DisplayDescription TrueColourDisplay() {
  DisplayDescription display{};
  display.staticColours = -1;  // what NUMCOLORS reports above 8 bits per pixel
  display.paletteSize = 0;
  return display;
}

DisplayDescription StandardStaticDisplay() {
  DisplayDescription display{};
  display.staticColours = 20;
  display.paletteSize = 256;
  const PaletteEntry low[10] = {
      Entry(0, 0, 0),     Entry(128, 0, 0),   Entry(0, 128, 0),     Entry(128, 128, 0),   Entry(0, 0, 128),
      Entry(128, 0, 128), Entry(0, 128, 128), Entry(192, 192, 192), Entry(192, 220, 192), Entry(166, 202, 240),
  };
  const PaletteEntry high[10] = {
      Entry(255, 251, 240), Entry(160, 160, 164), Entry(128, 128, 128), Entry(255, 0, 0),   Entry(0, 255, 0),
      Entry(255, 255, 0),   Entry(0, 0, 255),     Entry(255, 0, 255),   Entry(0, 255, 255), Entry(255, 255, 255),
  };
  for (int i = 0; i < 10; ++i) {
    display.systemEntries[i] = low[i];
    display.systemEntries[246 + i] = high[i];
  }
  return display;
}

PaletteBackend SoftwarePaletteBackend(SoftwarePalette& state) {
  return PaletteBackend{&state, SoftwareDescribeDisplay, SoftwareCreatePalette, SoftwareNearestIndex,
                        SoftwareReadEntries};
}

namespace {

// The first entry with the smallest squared RGB distance, as GDI picks it.
uint8_t NearestPaletteIndex(const LogicalPalette& palette, uint8_t red, uint8_t green, uint8_t blue) {
  int32_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (int32_t i = 0; i < 256; ++i) {
    const PaletteEntry& e = palette.entries[i];
    const int32_t dr = e.red - red, dg = e.green - green, db = e.blue - blue;
    const int32_t distance = dr * dr + dg * dg + db * db;  // at most 3 x 255^2
    if (distance < bestDistance) {                         // strict: a tie keeps the earlier entry
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

void BuildSceneColours(uint8_t* table) {
  for (int32_t i = 0; i < baseColours; ++i) {
    const uint8_t blue = table[4 * i], green = table[4 * i + 1], red = table[4 * i + 2];
    SetColour(table, 32 + i, ThreeQuarters(red), ThreeQuarters(green), ThreeQuarters(blue));
    SetColour(table, 64 + i, Half(red), Half(green), Half(blue));
    SetColour(table, 96 + i, Quarter(red), Quarter(green), Quarter(blue));
  }
  for (const Ramp& ramp : ramps) {
    for (int32_t k = 0; k < rampLength; ++k) {
      uint8_t channel[3];
      for (int c = 0; c < 3; ++c) {
        channel[c] = static_cast<uint8_t>(ramp.start[c] + k * ramp.span[c] / 31);  // truncated
      }
      SetColour(table, ramp.first + k, channel[0], channel[1], channel[2]);
    }
  }
}

namespace {

// BuildSceneColours on the image's table, and biClrUsed 224 (steps 1-3 of the build).
void BuildPaletteLayout(IndexedImage& image) {
  BuildSceneColours(ImageColourTable(image));
  WriteLe32(ImageHeader(image) + biClrUsedOffset, sceneColourCount);
}

// The logical palette's 256 entries from the colour table and the display:
// the system entries, with colour-table entry j at h + j for h =
// staticColours / 2 (a negative count gives h = 0).
void LayoutScenePalette(const IndexedImage& image, const DisplayDescription& display, LogicalPalette& palette) {
  std::memcpy(palette.entries, display.systemEntries, sizeof palette.entries);
  const int32_t flagged = display.paletteSize < 256 ? display.paletteSize : 256;
  for (int32_t i = 0; i < flagged; ++i) palette.entries[i].flags = 0;

  int32_t h = TruncDiv(display.staticColours, 2);  // -1 (true colour) gives 0
  if (h < 0) h = 0;  // no other negative count has a meaning; keep the writes inside the palette
  if (h >= 256 - h) return;
  const uint8_t* table = ImageColourTable(image);
  for (int32_t j = 0; j <= 255 - 2 * h; ++j) {
    const uint8_t* e = table + 4 * j;
    palette.entries[h + j] = PaletteEntry{e[2], e[1], e[0], paletteReservedFlag};
  }
}

void MapColourTable(IndexedImage& image, const PaletteBackend& backend) {
  uint8_t* table = ImageColourTable(image);
  for (int32_t i = 0; i < 256; ++i) {
    const uint8_t* e = table + 4 * i;
    image.remapTable[i] = backend.nearestIndex(backend.context, e[2], e[1], e[0]);
  }
  PaletteEntry entries[256];
  backend.readEntries(backend.context, entries);
  for (int32_t i = 0; i < 256; ++i) {
    uint8_t* e = table + 4 * i;
    e[0] = entries[i].blue;
    e[1] = entries[i].green;
    e[2] = entries[i].red;  // the reserved byte stays as it was
  }
}

}  // namespace

void RemapPixels(IndexedImage& image, const PaletteBackend& backend) {
  MapColourTable(image, backend);
  const uint8_t* remap = image.remapTable.get();
  uint8_t* p = ImagePixels(image);
  const size_t count = static_cast<size_t>(ImageStride(image)) * static_cast<size_t>(ImageHeight(image));
  for (size_t i = 0; i < count; ++i) p[i] = remap[p[i]];  // the fill bytes of each row included
}

bool BuildScenePalette(IndexedImage& image, const PaletteBackend& backend, ScenePaletteValues& values) {
  BuildPaletteLayout(image);
  DisplayDescription display{};
  backend.describeDisplay(backend.context, display);
  LogicalPalette palette{};
  LayoutScenePalette(image, display, palette);
  if (!backend.createPalette(backend.context, palette)) return false;
  RemapPixels(image, backend);
  values.shadeStep = 32;
  values.rampBase128 = image.remapTable[128];
  values.rampBase160 = image.remapTable[160];
  values.rampBase192 = image.remapTable[192];
  return true;
}

void BuildFaceMask(uint8_t* mask, int32_t stride, int32_t height) {
  if (stride < 1 || height < 1) return;
  const uint8_t ground = mask[0];  // read once: the first byte is rewritten too
  const size_t count = static_cast<size_t>(stride) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) mask[i] = mask[i] == ground ? 16 : 0;
}
