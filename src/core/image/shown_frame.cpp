// shown_frame.cpp - converting the change list's spans and gathering them into rectangles.
#include "core/image/shown_frame.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Rows are compared sixteen indices at a time: most of a changed row is
// untouched floor, and the comparison is most of the work.
constexpr int32_t blockPixels = 16;

// Whether sixteen indices are those shown; if not, they are shown from now on.
bool TakeBlock(const uint8_t* now, uint8_t* shown) {
#if defined(__SSE2__)
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(now));
  const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shown));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) == 0xffff) return true;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(shown), x);
  return false;
#else
  if (std::memcmp(now, shown, blockPixels) == 0) return true;
  std::memcpy(shown, now, blockPixels);
  return false;
#endif
}

void ConvertBlock(const uint8_t* indices, const uint32_t colourOf[256], uint32_t* out) {
  for (int32_t i = 0; i < blockPixels; ++i) out[i] = colourOf[indices[i]];
}

struct RowChange {
  int32_t first, end;  // converted columns [first, end); first == end: none
};

// Converts the blocks of a run of pixels that differ from what is shown and
// marks them shown. A run of sixteen or more ends with one block laid over
// its last sixteen pixels; a shorter one goes pixel by pixel.
RowChange ConvertChangedPixels(const uint8_t* now, uint8_t* shown, int32_t width, const uint32_t colourOf[256],
                               uint32_t* out) {
  RowChange change{width, 0};
  if (width < blockPixels) {
    for (int32_t x = 0; x < width; ++x) {
      if (now[x] == shown[x]) continue;
      shown[x] = now[x];
      out[x] = colourOf[now[x]];
      change.first = std::min(change.first, x), change.end = x + 1;
    }
  } else {
    for (int32_t x = 0;; x += blockPixels) {
      x = std::min(x, width - blockPixels);  // the last block overlaps the one before
      if (!TakeBlock(now + x, shown + x)) {
        ConvertBlock(now + x, colourOf, out + x);
        change.first = std::min(change.first, x), change.end = x + blockPixels;
      }
      if (x == width - blockPixels) break;
    }
  }
  if (change.end == 0) change.first = change.end = width;
  return change;
}

RowChange ConvertWholeRow(const uint8_t* now, uint8_t* shown, int32_t width, const uint32_t colourOf[256],
                          uint32_t* out) {
  for (int32_t x = 0; x < width; ++x) out[x] = colourOf[now[x]];
  std::memcpy(shown, now, static_cast<size_t>(width));
  return {0, width};
}

// Changed spans gathered into rectangles, screen row by screen row, top
// first. A span joins a band it lies near when the band stays mostly
// changed pixels (so a slanted edge or a far-off solid starts a band of its
// own); past the limit it joins the band that grows least.
class BandGatherer {
 public:
  explicit BandGatherer(ShownBand* bands) : bands_(bands) {}
  int32_t Count() const { return count_; }

  void Add(int32_t row, int32_t first, int32_t end) {
    const int64_t pixels = end - first;
    for (int32_t i = count_ - 1; i >= 0; --i) {
      const ShownBand& b = bands_[i];
      if (row - b.bottom >= shownBandGap || first > b.right + shownBandGap || end < b.left - shownBandGap) continue;
      // Mostly changed: at most a quarter more than the spans, and a small
      // band may take its surroundings.
      if (Area(Joined(b, row, first, end)) <= covered_[i] + pixels + (covered_[i] + pixels) / 4 + slackPixels)
        return Join(i, row, first, end);
    }
    if (count_ < maxShownBands) {
      covered_[count_] = 0;
      bands_[count_] = {row, row + 1, first, end};
      return Join(count_++, row, first, end);
    }
    int32_t least = 0;
    int64_t leastGrowth = INT64_MAX;
    for (int32_t i = 0; i < count_; ++i) {
      const int64_t growth = Area(Joined(bands_[i], row, first, end)) - Area(bands_[i]);
      if (growth < leastGrowth) least = i, leastGrowth = growth;
    }
    Join(least, row, first, end);
  }

 private:
  static constexpr int64_t slackPixels = 64 * 64;

  static ShownBand Joined(const ShownBand& b, int32_t row, int32_t first, int32_t end) {
    return {b.top, row + 1 > b.bottom ? row + 1 : b.bottom, first < b.left ? first : b.left,
            end > b.right ? end : b.right};
  }
  static int64_t Area(const ShownBand& b) { return int64_t{b.bottom - b.top} * (b.right - b.left); }
  void Join(int32_t i, int32_t row, int32_t first, int32_t end) {
    bands_[i] = Joined(bands_[i], row, first, end);
    covered_[i] += end - first;
  }

  ShownBand* bands_;
  int64_t covered_[maxShownBands];
  int32_t count_ = 0;
};

// The indices, and the colours unless the shell brings its own; false,
// leaving the record empty, for a size that is not positive or no memory.
bool AllocateShownFrame(ShownFrame& shown, int32_t width, int32_t height, uint32_t* pixels) {
  shown = {};
  if (width <= 0 || height <= 0) return false;
  if (static_cast<size_t>(width) > SIZE_MAX / sizeof(uint32_t) / static_cast<size_t>(height)) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  ShownFrame made{};
  if (!Allocated([&] {
        made.indices = ZeroedBlock<uint8_t>(count);
        if (pixels == nullptr) made.ownPixels = ZeroedBlock<uint32_t>(count);
      }))
    return false;
  shown = std::move(made);
  shown.pixels = pixels != nullptr ? pixels : shown.ownPixels.get();
  shown.width = width, shown.height = height;
  shown.wholeFrameStale = true;
  return true;
}

}  // namespace

void XrgbColours(const PaletteEntry palette[256], uint32_t colourOf[256]) {
  for (int i = 0; i < 256; ++i)
    colourOf[i] = (uint32_t{palette[i].red} << 16) | (uint32_t{palette[i].green} << 8) | palette[i].blue;
}

bool CreateShownFrame(ShownFrame& shown, int32_t width, int32_t height, const PaletteEntry palette[256]) {
  if (!AllocateShownFrame(shown, width, height, nullptr)) return false;
  XrgbColours(palette, shown.colourOf);
  return true;
}

bool CreateShownFrameInto(ShownFrame& shown, int32_t width, int32_t height, const uint32_t colourOf[256],
                          uint32_t* topDownPixels) {
  if (topDownPixels == nullptr || !AllocateShownFrame(shown, width, height, topDownPixels)) return false;
  std::memcpy(shown.colourOf, colourOf, sizeof shown.colourOf);
  shown.topRowFirst = true;
  return true;
}

int32_t UpdateShownFrame(ShownFrame& shown, const uint8_t* frame, int32_t stride, const ChangeList& changes,
                         ShownBand bands[maxShownBands]) {
  if (shown.indices == nullptr) return 0;
  const int32_t width = shown.width, height = shown.height;
  const bool follows = changes.frame == 0 || changes.frame == (shown.frame + 1 == 0 ? 1 : shown.frame + 1);
  shown.frame = changes.frame;
  if (shown.wholeFrameStale) {
    for (int32_t frameRow = 0; frameRow < height; ++frameRow) {
      // Frame row 0 is the bottom of the screen.
      const int32_t row = shown.topRowFirst ? height - 1 - frameRow : frameRow;
      ConvertWholeRow(frame + static_cast<size_t>(frameRow) * static_cast<size_t>(stride),
                      shown.indices.get() + static_cast<size_t>(frameRow) * static_cast<size_t>(width), width,
                      shown.colourOf, shown.pixels + static_cast<size_t>(row) * static_cast<size_t>(width));
    }
    shown.wholeFrameStale = false;
    if (height <= 0) return 0;
    bands[0] = {0, height, 0, width};
    return 1;
  }
  const bool everything = changes.everything || !follows || changes.height != height || changes.rows == nullptr;
  const ColumnRange wholeRow[1] = {{0, width}};
  const int32_t first = everything ? height - 1 : std::min(changes.high, height - 1);
  const int32_t last = everything ? 0 : std::max(changes.low, 0);
  BandGatherer gathered(bands);
  for (int32_t frameRow = first; frameRow >= last; --frameRow) {  // screen rows from the top
    const ColumnRange* ranges = everything ? wholeRow : changes.rows[frameRow].ranges;
    const int32_t count = everything ? 1 : changes.rows[frameRow].count;
    const size_t at = static_cast<size_t>(frameRow) * static_cast<size_t>(width);
    const int32_t row = height - 1 - frameRow;
    const uint8_t* now = frame + static_cast<size_t>(frameRow) * static_cast<size_t>(stride);
    uint32_t* pixels = shown.pixels + (shown.topRowFirst ? static_cast<size_t>(row) * static_cast<size_t>(width) : at);
    for (int32_t k = 0; k < count; ++k) {
      const int32_t left = std::max(ranges[k].left, 0), end = std::min(ranges[k].end, width);
      if (left >= end) continue;
      const RowChange change =
          ConvertChangedPixels(now + left, shown.indices.get() + at + left, end - left, shown.colourOf, pixels + left);
      if (change.first < change.end) gathered.Add(row, left + change.first, left + change.end);
    }
  }
  return gathered.Count();
}
