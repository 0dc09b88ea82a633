// drawn_spans.cpp - starting and ending a frame's record of drawn spans.
#include "core/image/drawn_spans.h"

#include "core/common/ownership.h"

bool AllocateDrawnSpans(DrawnSpans& spans, int32_t rows) {
  spans = {};
  if (rows < 1) return false;
  DrawnSpans made;
  const bool lists = AllocateChangeList(made.drawn[0], rows) && AllocateChangeList(made.drawn[1], rows) &&
                     AllocateChangeList(made.shaded, rows) && AllocateChangeList(made.changed, rows);
  if (!lists || !Allocated([&] { made.faces = ZeroedBlock<SpanRow>(static_cast<size_t>(rows)); })) return false;
  for (int32_t y = 0; y < rows; ++y) made.faces[y] = {0, -1};
  made.rows = rows;
  spans = std::move(made);
  return true;
}

const ChangeList* BeginDrawnSpans(DrawnSpans& f, const uint8_t* pixels, const uint8_t* background, int32_t width,
                                  int32_t height, int32_t stride) {
  NoteFacesDrawn(f);  // faces filled since the last frame belong to it
  if (f.changed.rows == nullptr) return nullptr;
  const bool sameFrame = f.pixels != nullptr && f.pixels == pixels && f.background == background && f.width == width &&
                         f.height == height && f.stride == stride;
  f.now ^= 1;
  const uint32_t frame = f.changed.frame + 1 == 0 ? 1 : f.changed.frame + 1;
  if (sameFrame) {
    ClearChangeList(f.changed);
    f.changed.frame = frame;
    ClearChangeList(f.drawn[f.now]);
    ClearChangeList(f.shaded);
    return &f.drawn[f.now ^ 1];
  }
  // Whatever the lists held described another frame: every row is emptied.
  for (ChangeList& list : f.drawn) ClearChangeList(list, true);
  ClearChangeList(f.shaded, true);
  ClearChangeList(f.changed, true);
  f.changed.everything = true;
  f.changed.frame = frame;
  f.pixels = pixels, f.background = background;
  f.width = width, f.height = height, f.stride = stride;
  return nullptr;
}

void NoteFacesDrawn(DrawnSpans& f) {
  if (f.faces == nullptr || f.facesHigh < f.facesLow) return;
  ChangeList& drawn = f.drawn[f.now];
  for (int32_t y = f.facesLow; y <= f.facesHigh; ++y) {
    SpanRow& covered = f.faces[y];
    if (covered.left <= covered.right) AddChange(drawn, y, covered.left, covered.right + 1);
    covered = {0, -1};
  }
  f.facesLow = INT32_MAX, f.facesHigh = INT32_MIN;
}

void EndDrawnSpans(DrawnSpans& f) {
  NoteFacesDrawn(f);
  if (f.changed.rows == nullptr || f.changed.everything) return;  // a frame composed whole
  for (const ChangeList* part : {&f.drawn[0], &f.drawn[1], &f.shaded}) AddChanges(f.changed, *part);
}
