// overlays.cpp - the floor grid (with its line walk) and the palette strip.
//
// Both write single bytes into the frame; every value is a palette index
// taken modulo 256, and nothing is written outside columns 0..W-1 and rows
// 0..H-1.
#include "objects/overlays.h"

#include "common/int_math.h"
#include "raster/projection.h"
#include "scene/scene_state.h"

namespace {
void PutPixel(int32_t x, int32_t y, int32_t value) {
  if (x < 0 || x >= scene.frameWidth || y < 0 || y >= scene.frameHeight) return;
  scene.framePixels[static_cast<size_t>(y) * static_cast<size_t>(scene.frameStride) + static_cast<size_t>(x)] =
      static_cast<uint8_t>(value);  // modulo 256
}

int32_t Abs(int32_t v) { return v < 0 ? WrapNeg(v) : v; }

int32_t GridColour() { return WrapAdd(scene.rampBase128, 31); }  // the first ramp's brightest entry

constexpr int32_t gridLeft = -500, gridRight = 500, gridNear = 50, gridFar = 1050, gridSpacing = 50;
}  // namespace

int DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t w = scene.frameWidth, h = scene.frameHeight;
  if (x1 < 0 || x2 < 0 || x1 >= w || x2 >= w || y1 < 0 || y2 < 0 || y1 >= h || y2 >= h) return 0;
  const int32_t sx = x2 < x1 ? -1 : 1;
  const int32_t sy = y2 < y1 ? -1 : 1;
  // Steps left in each axis: one more than the distance between the ends.
  int32_t rx = WrapAdd(WrapSub(x2, x1), sx);
  int32_t ry = WrapAdd(WrapSub(y2, y1), sy);
  const int32_t colour = GridColour();
  int32_t x = x1, y = y1;
  while (rx != 0 || ry != 0) {
    // The walk may end one cell past the box of the ends; PutPixel drops it
    // when that cell is off the frame.
    PutPixel(x, y, colour);
    const int32_t yWeight = WrapMul(Abs(WrapAdd(WrapSub(y, y1), sy)), Abs(rx));
    const int32_t xWeight = WrapMul(Abs(WrapAdd(WrapSub(x, x1), sx)), Abs(ry));
    if (yWeight > xWeight) {
      x = WrapAdd(x, sx), rx = WrapSub(rx, sx);
    } else {  // ties step in y
      y = WrapAdd(y, sy), ry = WrapSub(ry, sy);
    }
  }
  return 1;
}

int DrawGrid() {
  int drawn = 0;
  for (int32_t x = gridLeft; x <= gridRight; x += gridSpacing) {
    const FramePoint a = ProjectPoint(x, 0, gridNear), b = ProjectPoint(x, 0, gridFar);
    drawn += DrawLine(a.x, a.y, b.x, b.y);
  }
  for (int32_t z = gridNear; z <= gridFar; z += gridSpacing) {
    const FramePoint a = ProjectPoint(gridLeft, 0, z), b = ProjectPoint(gridRight, 0, z);
    drawn += DrawLine(a.x, a.y, b.x, b.y);
  }
  return drawn;
}

void DrawPaletteStrip() {
  // Every palette index once, one column each.
  for (int32_t row = 25; row <= 34; ++row)
    for (int32_t column = 100; column <= 355; ++column) PutPixel(column, row, column - 100);
  const int32_t step = scene.shadeStep;
  for (int32_t j = 0; j < 64; ++j) {
    for (int32_t row = 0; row < 10; ++row) {
      // Left block: indices shadeStep - 16 .. shadeStep + 47, four columns each.
      PutPixel(100 + j, 40 + row, WrapAdd(step, -16 + j / 4));
      PutPixel(100 + j, 50 + row, WrapAdd(step, j / 4));
      PutPixel(100 + j, 60 + row, WrapAdd(step, 16 + j / 4));
      PutPixel(100 + j, 70 + row, WrapAdd(step, 32 + j / 4));
      // Right block: the three ramps, two columns per entry.
      PutPixel(200 + j, 40 + row, WrapAdd(scene.rampBase128, j / 2));
      PutPixel(200 + j, 50 + row, WrapAdd(scene.rampBase160, j / 2));
      PutPixel(200 + j, 60 + row, WrapAdd(scene.rampBase192, j / 2));
    }
  }
}
