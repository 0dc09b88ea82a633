// overlays.cpp - the floor grid (with its line walk) and the palette strip.
//
// Both write single bytes into the frame; every value is a palette index
// taken modulo 256, and nothing is written outside columns 0..W-1 and rows
// 0..H-1. What they cover is noted as drawn, a row's run at a time.
#include "core/objects/overlays.h"

#include "core/common/int_math.h"
#include "core/raster/projection.h"

namespace {
void PutPixel(const RasterTarget& frame, int32_t x, int32_t y, int32_t value) {
  if (x < 0 || x >= frame.width || y < 0 || y >= frame.height) return;
  frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.stride) + static_cast<size_t>(x)] =
      static_cast<uint8_t>(value);  // modulo 256
}

// Columns left..right of rows bottom..top, clipped to the frame, noted as drawn.
void NoteBlock(const RasterTarget& frame, int32_t left, int32_t right, int32_t bottom, int32_t top) {
  if (frame.drawn == nullptr) return;
  left = left < 0 ? 0 : left, right = right >= frame.width ? frame.width - 1 : right;
  for (int32_t y = bottom < 0 ? 0 : bottom; y <= top && y < frame.height && left <= right; ++y)
    NoteDrawn(*frame.drawn, y, left, right);
}

// The columns a line has put on one row so far.
struct RowRun {
  int32_t y, left, right;
};

void ExtendRun(const RasterTarget& frame, RowRun& run, int32_t x, int32_t y) {
  if (y == run.y) {
    run.left = x < run.left ? x : run.left, run.right = x > run.right ? x : run.right;
    return;
  }
  NoteBlock(frame, run.left, run.right, run.y, run.y);
  run = {y, x, x};
}

int32_t Abs(int32_t v) { return v < 0 ? WrapNeg(v) : v; }

int32_t GridColour(const Stage& stage) { return WrapAdd(stage.rampBase128, 31); }  // the first ramp's brightest entry

constexpr int32_t gridLeft = -500, gridRight = 500, gridNear = 50, gridFar = 1050, gridSpacing = 50;

// A 4-connected staircase from (x1, y1) toward (x2 + sx, y2 + sy) in the grid
// colour; drawn whole when both endpoints lie in the frame, otherwise not at
// all.
void DrawLine(const Stage& stage, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const RasterTarget& frame = stage.raster;
  const int32_t w = frame.width, h = frame.height;
  if (x1 < 0 || x2 < 0 || x1 >= w || x2 >= w || y1 < 0 || y2 < 0 || y1 >= h || y2 >= h) return;
  const int32_t sx = x2 < x1 ? -1 : 1;
  const int32_t sy = y2 < y1 ? -1 : 1;
  // Steps left in each axis: one more than the distance between the ends.
  int32_t rx = WrapAdd(WrapSub(x2, x1), sx);
  int32_t ry = WrapAdd(WrapSub(y2, y1), sy);
  const int32_t colour = GridColour(stage);
  int32_t x = x1, y = y1;
  RowRun run = {y1, x1, x1};
  while (rx != 0 || ry != 0) {
    // The walk may end one cell past the box of the ends; PutPixel drops it
    // when that cell is off the frame, and so does the note.
    PutPixel(frame, x, y, colour);
    ExtendRun(frame, run, x, y);
    const int32_t yWeight = WrapMul(Abs(WrapAdd(WrapSub(y, y1), sy)), Abs(rx));
    const int32_t xWeight = WrapMul(Abs(WrapAdd(WrapSub(x, x1), sx)), Abs(ry));
    if (yWeight > xWeight) {
      x = WrapAdd(x, sx), rx = WrapSub(rx, sx);
    } else {  // ties step in y
      y = WrapAdd(y, sy), ry = WrapSub(ry, sy);
    }
  }
  NoteBlock(frame, run.left, run.right, run.y, run.y);
}

}  // namespace

void DrawGrid(const Stage& stage) {
  for (int32_t x = gridLeft; x <= gridRight; x += gridSpacing) {
    const FramePoint a = ProjectPoint(stage.camera, x, 0, gridNear), b = ProjectPoint(stage.camera, x, 0, gridFar);
    DrawLine(stage, a.x, a.y, b.x, b.y);
  }
  for (int32_t z = gridNear; z <= gridFar; z += gridSpacing) {
    const FramePoint a = ProjectPoint(stage.camera, gridLeft, 0, z), b = ProjectPoint(stage.camera, gridRight, 0, z);
    DrawLine(stage, a.x, a.y, b.x, b.y);
  }
}

void DrawPaletteStrip(const Stage& stage) {
  const RasterTarget& frame = stage.raster;
  // Every palette index once, one column each.
  for (int32_t row = 25; row <= 34; ++row)
    for (int32_t column = 100; column <= 355; ++column) PutPixel(frame, column, row, column - 100);
  const int32_t step = frame.shadeStep;
  for (int32_t j = 0; j < 64; ++j) {
    for (int32_t row = 0; row < 10; ++row) {
      // Left block: indices shadeStep - 16 .. shadeStep + 47, four columns each.
      PutPixel(frame, 100 + j, 40 + row, WrapAdd(step, -16 + j / 4));
      PutPixel(frame, 100 + j, 50 + row, WrapAdd(step, j / 4));
      PutPixel(frame, 100 + j, 60 + row, WrapAdd(step, 16 + j / 4));
      PutPixel(frame, 100 + j, 70 + row, WrapAdd(step, 32 + j / 4));
      // Right block: the three ramps, two columns per entry.
      PutPixel(frame, 200 + j, 40 + row, WrapAdd(stage.rampBase128, j / 2));
      PutPixel(frame, 200 + j, 50 + row, WrapAdd(stage.rampBase160, j / 2));
      PutPixel(frame, 200 + j, 60 + row, WrapAdd(stage.rampBase192, j / 2));
    }
  }
  NoteBlock(frame, 100, 355, 25, 34);
  NoteBlock(frame, 100, 163, 40, 79);
  NoteBlock(frame, 200, 263, 40, 69);
}
