// span_tables.h - per-row span tables and their upkeep.
//
// Eleven tables of frame rows each: faceTable..faceRowTable for the face
// being drawn (columns, mask u, mask v), firstShadowTable..lastShadowTable
// for the shadows, two per solid (one per light). An edge walk
// (edge_walk.h) widens each row's (left, right) to the columns the edge
// reaches; a fill (textured_fill.h, shadows.h) then draws every non-empty
// row. The tables note which rows were walked since their last reset, so a
// reset and a fill visit only those.
//
// The tables also keep what the frames drew (DrawnSpans): every face fill
// and overlay notes the spans it covered, so that the next frame puts the
// background back over those alone, and the last frame's shadow spans are
// kept, so that a frame changes only the columns where a shadow came or
// went. A frame's change list is the last frame's spans, its own, and the
// columns its shadows moved over.
#pragma once

#include <cstdint>

#include "core/image/change_list.h"

struct SpanRow {
  int32_t left, right;
};

constexpr int spanTableCount = 11;
constexpr int faceTable = 0;        // column span of the face being drawn
constexpr int faceColumnTable = 1;  // mask column (u) at both ends
constexpr int faceRowTable = 2;     // mask storage row (v) at both ends
constexpr int firstShadowTable = 3;
constexpr int lastShadowTable = 10;

// The shadow table of solid (0 the pyramid, 1..3 the dodecahedrons) under
// light (0 or 1).
constexpr int ShadowTableOf(int solid, int light) { return firstShadowTable + 2 * solid + light; }
inline bool IsShadowTable(int table) { return table >= firstShadowTable && table <= lastShadowTable; }

// Rows of a table that may hold a span: those walked since its last reset
// (low > high when none). everyRow means any row may hold anything: after
// allocation, or after a reset that did not reach every allocated row or
// used another left value.
struct WrittenRows {
  int32_t low, high;
  bool everyRow;
  int32_t resetLeft;  // the left value of the last reset that reached every row
};

constexpr int shadowTableCount = lastShadowTable - firstShadowTable + 1;

// What the last frame and this one drew into one frame buffer, and all of
// it together: the frame's change list.
struct DrawnSpans {
  ChangeList drawn[2];  // faces and overlays; drawn[now]: this frame's, the other the last frame's
  int now;
  ChangeList shaded;  // this frame's columns where a shadow came or went
  ChangeList changed;
  // The columns the faces drawn since the last NoteFacesDrawn covered, row
  // by row ((0, -1) where none), on rows facesLow..facesHigh: a solid's
  // faces are noted together, one range a row.
  SpanRow* faces;
  int32_t facesLow, facesHigh;
  // The shadow tables' spans as the last frame darkened them, clamped to
  // the frame; rows outside a table's shadowLow..shadowHigh hold none.
  SpanRow* lastShadows[shadowTableCount];
  int32_t shadowLow[shadowTableCount], shadowHigh[shadowTableCount];
  // The frame the last frame's spans describe; any other starts afresh.
  const uint8_t* pixels;
  const uint8_t* background;
  int32_t width, height, stride;
};

struct SpanTables {
  SpanRow* rows[spanTableCount];  // all null until allocated
  int32_t allocatedRows;
  WrittenRows written[spanTableCount];
  DrawnSpans frame;
};

// Allocates the eleven tables with rows entries each (once: a second call
// with no more rows keeps them); false when memory runs out.
bool AllocateSpanTables(SpanTables& tables, int32_t rows);
// Frees the tables and zeroes the record.
void FreeSpanTables(SpanTables& tables);
bool SpanTablesExist(const SpanTables& tables);

// Sets rows 0..rows-1 (within the frame's frameRows) to (leftValue, -1).
// Rows are written only by the edge walks, which note what they write.
void ResetSpanTable(SpanTables& tables, int32_t frameRows, int table, int32_t rows, int32_t leftValue);

// Rows of tables first..last that a walk or fill may visit: the frame's
// rows, never more than were allocated; 0 when a table does not exist.
int32_t UsableRows(const SpanTables& tables, int32_t frameRows, int first, int last);
// Tables first..last may hold spans on rows low..high from now on.
void NoteWritten(SpanTables& tables, int first, int last, int32_t low, int32_t high);
// The rows of a table a fill must visit, within its usable rows.
void RowsToVisit(const SpanTables& tables, int table, int32_t rows, int32_t& first, int32_t& last);

// Starts a frame drawn into `pixels` over `background`: this frame's spans
// are emptied. Returns the last frame's spans, which the background is to
// be put back over, or null when the frame must be composed whole: the
// first frame, or a frame buffer, background or size other than the last.
const ChangeList* BeginDrawnSpans(SpanTables& tables, const uint8_t* pixels, const uint8_t* background, int32_t width,
                                  int32_t height, int32_t stride);
// Notes columns left..right (inclusive, within the frame) of a row as drawn
// this frame.
inline void NoteDrawn(SpanTables& tables, int32_t row, int32_t left, int32_t right) {
  AddChange(tables.frame.drawn[tables.frame.now], row, left, right + 1);
}
// Notes columns left..right (inclusive, within the frame) of a row as
// covered by a face; they are noted as drawn, with the other faces' columns
// on the row, at the next NoteFacesDrawn (EndDrawnSpans calls it too).
inline void NoteFaceDrawn(SpanTables& tables, int32_t row, int32_t left, int32_t right) {
  DrawnSpans& f = tables.frame;
  if (f.faces == nullptr || row < 0 || row >= tables.allocatedRows) return NoteDrawn(tables, row, left, right);
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
void NoteFacesDrawn(SpanTables& tables);
// Notes columns left..right of a row as changed this frame but not drawn
// over: the next frame need not put them back.
inline void NoteShaded(SpanTables& tables, int32_t row, int32_t left, int32_t right) {
  AddChange(tables.frame.shaded, row, left, right + 1);
}
// Ends the frame: its change list is the last frame's spans, this frame's
// and the shadows' moves together, or everything after a frame composed
// whole.
void EndDrawnSpans(SpanTables& tables);
// The change list of the frame drawn last.
inline const ChangeList& FrameChanges(const SpanTables& tables) { return tables.frame.changed; }
// The next frame is composed whole (its buffer was written from outside).
void ForgetDrawnSpans(SpanTables& tables);
