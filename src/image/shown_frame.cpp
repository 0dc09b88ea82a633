// shown_frame.cpp - converting what changed between frames and banding its rows.
#include "image/shown_frame.h"

#include <cstdlib>
#include <cstring>

namespace {

bool SameEight(const uint8_t* a, const uint8_t* b) {
  uint64_t x, y;
  std::memcpy(&x, a, 8), std::memcpy(&y, b, 8);
  return x == y;
}

// One load for eight indices instead of eight.
void ConvertEight(const uint8_t* indices, const uint32_t colourOf[256], uint32_t* out) {
  uint64_t eight;
  std::memcpy(&eight, indices, 8);
  constexpr bool lowByteFirst = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
  for (int i = 0; i < 8; ++i) out[i] = colourOf[(eight >> (lowByteFirst ? 8 * i : 56 - 8 * i)) & 0xff];
}

struct RowChange {
  int32_t first, end;  // converted columns [first, end); first == end: none
};

// Converts the pixels of a row that differ from what is shown, eight at a
// time (most of a changed row is unchanged floor), and marks them shown.
RowChange ConvertChangedPixels(const uint8_t* now, uint8_t* shown, int32_t width, const uint32_t colourOf[256],
                               uint32_t* out) {
  RowChange change{width, width};
  if (std::memcmp(now, shown, static_cast<size_t>(width)) == 0) return change;
  change.end = 0;
  for (int32_t x = 0; x < width; x += 8) {
    const int32_t n = width - x < 8 ? width - x : 8;
    if (n == 8) {
      if (SameEight(now + x, shown + x)) continue;
      ConvertEight(now + x, colourOf, out + x);
    } else {
      if (std::memcmp(now + x, shown + x, static_cast<size_t>(n)) == 0) continue;
      for (int32_t i = x; i < x + n; ++i) out[i] = colourOf[now[i]];
    }
    if (change.first > x) change.first = x;
    change.end = x + n;
  }
  std::memcpy(shown + change.first, now + change.first, static_cast<size_t>(change.end - change.first));
  return change;
}

RowChange ConvertWholeRow(const uint8_t* now, uint8_t* shown, int32_t width, const uint32_t colourOf[256],
                          uint32_t* out) {
  for (int32_t x = 0; x < width; ++x) out[x] = colourOf[now[x]];
  std::memcpy(shown, now, static_cast<size_t>(width));
  return {0, width};
}

// Adds a changed screen row to the bands: to the last one when it is near
// enough or no band is left, else as a new band.
void AddChangedRow(ShownBand bands[maxShownBands], int32_t& count, int32_t row, RowChange change) {
  ShownBand* last = count > 0 ? &bands[count - 1] : nullptr;
  if (last != nullptr && (row - last->bottom < shownBandGap || count == maxShownBands)) {
    last->bottom = row + 1;
    if (last->left > change.first) last->left = change.first;
    if (last->right < change.end) last->right = change.end;
    return;
  }
  bands[count++] = {row, row + 1, change.first, change.end};
}

// The indices, and the colours unless the shell brings its own; false,
// leaving the record empty, for a size that is not positive or no memory.
bool AllocateShownFrame(ShownFrame& shown, int32_t width, int32_t height, uint32_t* pixels) {
  shown = {};
  if (width <= 0 || height <= 0) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (count > SIZE_MAX / sizeof(uint32_t)) return false;
  shown.ownsPixels = pixels == nullptr;
  shown.indices = static_cast<uint8_t*>(std::calloc(count, 1));
  shown.pixels = shown.ownsPixels ? static_cast<uint32_t*>(std::calloc(count, sizeof(uint32_t))) : pixels;
  if (shown.indices == nullptr || shown.pixels == nullptr) {
    FreeShownFrame(shown);
    return false;
  }
  shown.width = width, shown.height = height;
  shown.wholeFrameStale = true;
  return true;
}

}  // namespace

bool CreateShownFrame(ShownFrame& shown, int32_t width, int32_t height, const PaletteEntry palette[256]) {
  if (!AllocateShownFrame(shown, width, height, nullptr)) return false;
  for (int i = 0; i < 256; ++i)
    shown.colourOf[i] = (uint32_t{palette[i].red} << 16) | (uint32_t{palette[i].green} << 8) | palette[i].blue;
  return true;
}

bool CreateShownFrameInto(ShownFrame& shown, int32_t width, int32_t height, const uint32_t colourOf[256],
                          uint32_t* topDownPixels) {
  if (topDownPixels == nullptr || !AllocateShownFrame(shown, width, height, topDownPixels)) return false;
  std::memcpy(shown.colourOf, colourOf, sizeof shown.colourOf);
  shown.topRowFirst = true;
  return true;
}

void FreeShownFrame(ShownFrame& shown) {
  std::free(shown.indices);
  if (shown.ownsPixels) std::free(shown.pixels);
  shown = {};
}

int32_t UpdateShownFrame(ShownFrame& shown, const uint8_t* frame, int32_t stride, ShownBand bands[maxShownBands]) {
  const int32_t width = shown.width, height = shown.height;
  int32_t count = 0;
  for (int32_t row = 0; row < height; ++row) {
    const int32_t frameRow = height - 1 - row;  // frame row 0 is the bottom of the screen
    const uint8_t* now = frame + static_cast<size_t>(frameRow) * static_cast<size_t>(stride);
    uint8_t* indices = shown.indices + static_cast<size_t>(frameRow) * static_cast<size_t>(width);
    uint32_t* pixels = shown.pixels + static_cast<size_t>(shown.topRowFirst ? row : frameRow) * static_cast<size_t>(width);
    const RowChange change = shown.wholeFrameStale
                                 ? ConvertWholeRow(now, indices, width, shown.colourOf, pixels)
                                 : ConvertChangedPixels(now, indices, width, shown.colourOf, pixels);
    if (change.first < change.end) AddChangedRow(bands, count, row, change);
  }
  shown.wholeFrameStale = false;
  return count;
}
