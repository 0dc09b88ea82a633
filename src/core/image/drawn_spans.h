// drawn_spans.h - what the frames drew into one frame buffer, and so what
// the last frame changed.
//
// Every face fill and overlay notes the spans it covered, so that the next
// frame puts the background back over those alone; the shadows' moves note
// the columns where a shadow came or went. A frame's change list is the
// last frame's spans, its own, and the columns its shadows moved over. The
// rows are allocated once (AllocateDrawnSpans); nothing is allocated per
// frame. The record releases its rows when it goes; it moves and is never
// copied.
//
//   DrawnSpans spans;
//   if (!AllocateDrawnSpans(spans, height)) ...
//   const ChangeList* restore = BeginDrawnSpans(spans, pixels, background, width, height, stride);
//   // put the background back over *restore (all of it when null), then draw:
//   NoteFaceDrawn(spans, row, left, right);  // and NoteDrawn, NoteShaded
//   EndDrawnSpans(spans);
//   const ChangeList& changed = FrameChanges(spans);
#pragma once

#include <cstdint>
#include <memory>

#include "core/image/change_list.h"

struct DrawnSpans {
  ChangeList drawn[2];  // faces and overlays; drawn[now]: this frame's, the other the last frame's
  int now = 0;
  ChangeList shaded;  // this frame's columns where a shadow came or went
  ChangeList changed;
  // The columns the faces drawn since the last NoteFacesDrawn covered, row
  // by row ((0, -1) where none), on rows facesLow..facesHigh of `rows`: a
  // solid's faces are noted together, one range a row.
  std::unique_ptr<SpanRow[]> faces;
  int32_t rows = 0;
  int32_t facesLow = INT32_MAX, facesHigh = INT32_MIN;
  // The frame the last frame's spans describe; any other starts afresh.
  const uint8_t* pixels = nullptr;
  const uint8_t* background = nullptr;
  int32_t width = 0, height = 0, stride = 0;
};

// The record for frames of `rows` rows; false, leaving it empty, when
// `rows` is not positive or memory runs out.
bool AllocateDrawnSpans(DrawnSpans& spans, int32_t rows);

// Starts a frame drawn into `pixels` over `background`: this frame's spans
// are emptied. Returns the last frame's spans, which the background is to
// be put back over, or null when the frame must be composed whole: the
// first frame, or a frame buffer, background or size other than the last.
const ChangeList* BeginDrawnSpans(DrawnSpans& spans, const uint8_t* pixels, const uint8_t* background, int32_t width,
                                  int32_t height, int32_t stride);
// Notes columns left..right (inclusive, within the frame) of a row as drawn
// this frame.
inline void NoteDrawn(DrawnSpans& spans, int32_t row, int32_t left, int32_t right) {
  AddChange(spans.drawn[spans.now], row, left, right + 1);
}
// Notes columns left..right (inclusive, within the frame) of a row as
// covered by a face; they are noted as drawn, with the other faces' columns
// on the row, at the next NoteFacesDrawn (EndDrawnSpans calls it too).
inline void NoteFaceDrawn(DrawnSpans& f, int32_t row, int32_t left, int32_t right) {
  if (f.faces == nullptr || row < 0 || row >= f.rows) return NoteDrawn(f, row, left, right);
  SpanRow& covered = f.faces[row];
  if (covered.right < covered.left) {
    covered = {left, right};
  } else {
    covered.left = left < covered.left ? left : covered.left;
    covered.right = right > covered.right ? right : covered.right;
  }
  f.facesLow = row < f.facesLow ? row : f.facesLow;
  f.facesHigh = row > f.facesHigh ? row : f.facesHigh;
}
// Notes the faces' columns since the last call as drawn, one range a row
// (covering any gap between them, never less).
void NoteFacesDrawn(DrawnSpans& spans);
// Notes columns left..right of a row as changed this frame but not drawn
// over: the next frame need not put them back.
inline void NoteShaded(DrawnSpans& spans, int32_t row, int32_t left, int32_t right) {
  AddChange(spans.shaded, row, left, right + 1);
}
// Ends the frame: its change list is the last frame's spans, this frame's
// and the shadows' moves together, or everything after a frame composed
// whole.
void EndDrawnSpans(DrawnSpans& spans);
// The change list of the frame drawn last.
inline const ChangeList& FrameChanges(const DrawnSpans& spans) { return spans.changed; }
// The next frame is composed whole (its buffer was written from outside).
inline void ForgetDrawnSpans(DrawnSpans& spans) { spans.pixels = nullptr; }
