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
// top row first (CreateShownFrameInto), which the shell keeps and releases
// after the copy. The copy releases what it allocated when it goes; it
// moves (leaving an empty copy, which shows nothing) and is never copied.
//
//   ShownFrame shown;
//   if (CreateShownFrame(shown, scene.frameWidth, scene.frameHeight, scene.palette.entries)) {
//     ShownBand bands[maxShownBands];
//     DrawSceneFrame(scene, settings, tick);
//     const int32_t count = UpdateShownFrame(shown, scene.framePixels, scene.frameStride,
//                                            SceneFrameChanges(scene), bands);
//     // put shown.pixels up within bands[0..count)
//   }
#pragma once

#include <cstdint>
#include <memory>

#include "core/common/ownership.h"
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
  uint32_t colourOf[256];                 // palette index to the colour stored in pixels
  std::unique_ptr<uint8_t[]> indices;     // width x height, bottom row first
  BorrowedPointer<uint32_t> pixels;       // width x height, bottom row first unless topRowFirst
  std::unique_ptr<uint32_t[]> ownPixels;  // what pixels points at, unless the shell brought its image
  bool topRowFirst;
  bool wholeFrameStale;  // nothing shown yet, or the screen lost it: the next update converts everything
  uint32_t frame;        // the number of the change list last taken (change_list.h)
};

// Allocates the copy for frames of width x height and takes the colours of
// the palette's entries. Returns false, leaving the record empty, when the
// size is not positive or memory runs out.
bool CreateShownFrame(ShownFrame& shown, int32_t width, int32_t height, const PaletteEntry palette[256]);
// The palette's colours as 0x00RRGGBB, the layout of a 32-bit BI_RGB
// picture and of a wl_shm XRGB8888 buffer.
void XrgbColours(const PaletteEntry palette[256], uint32_t colourOf[256]);
// The same over a shell's image of width x height pixels, top row first,
// with its own colour for each palette index.
bool CreateShownFrameInto(ShownFrame& shown, int32_t width, int32_t height, const uint32_t colourOf[256],
                          uint32_t* topDownPixels);

// Brings the copy to the frame (width x height indices, bottom row first,
// rows `stride` bytes apart), of which only the pixels in `changes` may
// differ from the frame shown last, and writes rectangles that cover every
// pixel that changed; returns their count (0: nothing changed). A list of
// another height, one marked whole, or one of a frame that does not follow
// the frame shown last (a frame was drawn and not shown) has every pixel
// compared. An empty copy shows nothing and returns 0.
int32_t UpdateShownFrame(ShownFrame& shown, const uint8_t* frame, int32_t stride, const ChangeList& changes,
                         ShownBand bands[maxShownBands]);
