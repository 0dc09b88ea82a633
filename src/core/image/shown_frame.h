// shown_frame.h - an 8-bit frame as a true-colour screen shows it, kept up
// to date by converting only the pixels that changed.
//
// A ShownFrame holds the palette indices last shown and their 32-bit colours,
// `width` pixels a row. UpdateShownFrame looks only at the spans of the
// frame's change list (change_list.h): it compares them with the indices
// shown, converts what differs through the colour table and gathers the
// changed spans into a few rectangles, one per band of similar spans, so
// that a shell puts only those on the screen. A frame that changed nothing
// gives none. The colours are either the record's
// own, 0x00RRGGBB bottom row first as a 32-bit BI_RGB picture stores them
// (CreateShownFrame), or a shell's image of its screen's own pixel values,
// top row first (CreateShownFrameInto).
//
//   ShownFrame shown{};
//   if (CreateShownFrame(shown, width, height, palette)) ...
//   const int32_t count = UpdateShownFrame(shown, frame, stride, changes, bands);  // bands[0..count)
//   FreeShownFrame(shown);
#pragma once

#include <cstdint>

#include "core/image/change_list.h"
#include "core/image/scene_palette.h"

// Screen rows [top, bottom) counted from the top, columns [left, right).
struct ShownBand {
  int32_t top, bottom, left, right;
};

// At most this many bands come back; past it a band grows instead.
constexpr int32_t maxShownBands = 64;
// Changed spans this close (fewer unchanged rows or columns between them)
// may share a band, as long as the band stays mostly changed pixels.
constexpr int32_t shownBandGap = 8;

struct ShownFrame {
  int32_t width, height;
  uint32_t colourOf[256];  // palette index to the colour stored in pixels
  uint8_t* indices;        // width x height, bottom row first
  uint32_t* pixels;        // width x height, bottom row first unless topRowFirst
  bool topRowFirst;
  bool ownsPixels;       // false: the shell's image, which the shell frees
  bool wholeFrameStale;  // nothing shown yet, or the screen lost it: the next update converts everything
  uint32_t frame;        // the number of the change list last taken (change_list.h)
};

// Allocates the copy for frames of width x height and takes the colours of
// the palette's entries. Returns false, leaving the record empty, when the
// size is not positive or memory runs out.
bool CreateShownFrame(ShownFrame& shown, int32_t width, int32_t height, const PaletteEntry palette[256]);
// The same over a shell's image of width x height pixels, top row first,
// with its own colour for each palette index.
bool CreateShownFrameInto(ShownFrame& shown, int32_t width, int32_t height, const uint32_t colourOf[256],
                          uint32_t* topDownPixels);
void FreeShownFrame(ShownFrame& shown);

// Brings the copy to the frame (width x height indices, bottom row first,
// rows `stride` bytes apart), of which only the pixels in `changes` may
// differ from the frame shown last, and writes rectangles that cover every
// pixel that changed; returns their count (0: nothing changed). A list of
// another height, one marked whole, or one of a frame that does not follow
// the frame shown last (a frame was drawn and not shown) has every pixel
// compared.
int32_t UpdateShownFrame(ShownFrame& shown, const uint8_t* frame, int32_t stride, const ChangeList& changes,
                         ShownBand bands[maxShownBands]);
