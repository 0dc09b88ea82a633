// raster_fixture.h - a small scene for the rasterizer tests.
//
// RasterScene gives `scene` a frame of any size inside guard bytes (and the
// row padding between W and the stride counts as guard too), a face mask of
// exact size (so an over-read shows under the sanitizer build) and the
// eleven span tables. Guards and padding hold a fixed pattern that no fill
// may change.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/int_math.h"
#include "raster/span_tables.h"
#include "scene/scene_state.h"

class RasterScene : public ::testing::Test {
 protected:
  static constexpr size_t guardBytes = 256;
  static constexpr uint8_t guardValue = 0xA5;

  // The tests give `scene` tables and borrowed buffers, never images.
  void TearDown() override { ResetSceneState(); }

  // A frame of width x height filled with `fill`, with tables of height rows
  // reset to empty.
  void MakeFrame(int32_t width, int32_t height, uint8_t fill = 0) {
    const int32_t stride = StrideOf(width);
    storage_.assign(guardBytes * 2 + static_cast<size_t>(stride) * height, guardValue);
    scene.frameWidth = width;
    scene.frameHeight = height;
    scene.frameStride = stride;
    scene.framePixels = storage_.data() + guardBytes;
    scene.shadeStep = 32;
    for (int32_t y = 0; y < height; ++y) std::memset(Pixel(0, y), fill, width);
    ASSERT_EQ(AllocateSpanTables(height), 1);
    for (int t = 0; t < spanTableCount; ++t) ResetSpanTable(t, height, width);
  }

  // A mask whose byte at (column, storage row) is pattern(column, row).
  template <typename Pattern>
  void MakeMask(int32_t width, int32_t height, Pattern pattern) {
    const int32_t stride = StrideOf(width);
    mask_.assign(static_cast<size_t>(stride) * height, 0);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) mask_[static_cast<size_t>(y) * stride + x] = pattern(x, y);
    scene.faceMask = mask_.data();
    scene.faceMaskWidth = width;
    scene.faceMaskHeight = height;
    scene.faceMaskStride = stride;
  }

  uint8_t* Pixel(int32_t x, int32_t y) { return scene.framePixels + static_cast<size_t>(y) * scene.frameStride + x; }

  // The visible pixels of the frame, row by row.
  std::vector<uint8_t> Visible() {
    std::vector<uint8_t> pixels;
    for (int32_t y = 0; y < scene.frameHeight; ++y)
      pixels.insert(pixels.end(), Pixel(0, y), Pixel(0, y) + scene.frameWidth);
    return pixels;
  }

  // True while nothing outside columns 0..W-1 of rows 0..H-1 has changed.
  bool GuardsIntact() {
    const size_t frameBytes = static_cast<size_t>(scene.frameStride) * scene.frameHeight;
    for (size_t i = 0; i < guardBytes; ++i)
      if (storage_[i] != guardValue || storage_[guardBytes + frameBytes + i] != guardValue) return false;
    for (int32_t y = 0; y < scene.frameHeight; ++y)
      for (int32_t x = scene.frameWidth; x < scene.frameStride; ++x)
        if (*Pixel(x, y) != guardValue) return false;
    return true;
  }

  SpanRow Row(int table, int32_t y) { return scene.spanTables[table][y]; }

  std::vector<uint8_t> storage_;
  std::vector<uint8_t> mask_;
};
