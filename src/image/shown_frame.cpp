// shown_frame.cpp - converting what changed between frames and banding its rows.
#include "image/shown_frame.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Rows are compared sixteen indices at a time: most of a changed row is
// untouched floor, and the comparison is most of the work.
constexpr int32_t blockPixels = 16;

bool SameBlock(const uint8_t* a, const uint8_t* b) {
#if defined(__SSE2__)
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
  const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
  return _mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) == 0xffff;
#else
  return std::memcmp(a, b, blockPixels) == 0;
#endif
}

void ConvertBlock(const uint8_t* indices, const uint32_t colourOf[256], uint32_t* out) {
  for (int32_t i = 0; i < blockPixels; ++i) out[i] = colourOf[indices[i]];
}

struct RowChange {
  int32_t first, end;  // converted columns [first, end); first == end: none
};

// Converts the blocks of a row that differ from what is shown, and the
// pixels of its tail that do, and marks them shown.
RowChange ConvertChangedPixels(const uint8_t* now, uint8_t* shown, int32_t width, const uint32_t colourOf[256],
                               uint32_t* out) {
  RowChange change{width, width};
  if (std::memcmp(now, shown, static_cast<size_t>(width)) == 0) return change;
  change.end = 0;
  int32_t x = 0;
  for (; x + blockPixels <= width; x += blockPixels) {
    if (SameBlock(now + x, shown + x)) continue;
    ConvertBlock(now + x, colourOf, out + x);
    if (change.first > x) change.first = x;
    change.end = x + blockPixels;
  }
  for (; x < width; ++x) {
    if (now[x] == shown[x]) continue;
    out[x] = colourOf[now[x]];
    if (change.first > x) change.first = x;
    change.end = x + 1;
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
  if (static_cast<size_t>(width) > SIZE_MAX / sizeof(uint32_t) / static_cast<size_t>(height)) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
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
