// raster_fixture.h - a raster target of its own for the rasterizer tests.
//
// The frame lies inside guard bytes (and the row padding between W and the
// stride counts as guard too), the face mask has its exact size (so an
// over-read shows under the sanitizer build), and the eleven span tables
// belong to the fixture. Guards and padding hold a fixed pattern that no
// fill may change.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/common/int_math.h"
#include "core/raster/edge_walk.h"
#include "core/raster/shadows.h"
#include "core/raster/textured_fill.h"

class RasterScene : public ::testing::Test {
 protected:
  static constexpr size_t guardBytes = 256;
  static constexpr uint8_t guardValue = 0xA5;

  void TearDown() override { FreeSpanTables(tables_); }

  // A frame of width x height filled with `fill`, with tables of height rows
  // reset to empty.
  void MakeFrame(int32_t width, int32_t height, uint8_t fill = 0) {
    const int32_t stride = StrideOf(width);
    storage_.assign(guardBytes * 2 + static_cast<size_t>(stride) * height, guardValue);
    target_.width = width;
    target_.height = height;
    target_.stride = stride;
    target_.pixels = storage_.data() + guardBytes;
    target_.shadeStep = 32;
    target_.tables = &tables_;
    for (int32_t y = 0; y < height; ++y) std::memset(Pixel(0, y), fill, width);
    ASSERT_TRUE(AllocateSpanTables(tables_, height));
    for (int t = 0; t < spanTableCount; ++t) ResetSpanTable(tables_, height, t, height, width);
  }

  // A mask whose byte at (column, storage row) is pattern(column, row).
  template <typename Pattern>
  void MakeMask(int32_t width, int32_t height, Pattern pattern) {
    const int32_t stride = StrideOf(width);
    mask_.assign(static_cast<size_t>(stride) * height, 0);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) mask_[static_cast<size_t>(y) * stride + x] = pattern(x, y);
    target_.mask = mask_.data();
    target_.maskWidth = width;
    target_.maskHeight = height;
    target_.maskStride = stride;
  }

  uint8_t* Pixel(int32_t x, int32_t y) { return target_.pixels + static_cast<size_t>(y) * target_.stride + x; }

  // The visible pixels of the frame, row by row.
  std::vector<uint8_t> Visible() {
    std::vector<uint8_t> pixels;
    for (int32_t y = 0; y < target_.height; ++y) pixels.insert(pixels.end(), Pixel(0, y), Pixel(0, y) + target_.width);
    return pixels;
  }

  // The frame's bytes, padding included, as a background to copy from.
  std::vector<uint8_t> FrameBytes() {
    return {target_.pixels, target_.pixels + static_cast<size_t>(target_.stride) * target_.height};
  }

  // True while nothing outside columns 0..W-1 of rows 0..H-1 has changed.
  bool GuardsIntact() {
    const size_t frameBytes = static_cast<size_t>(target_.stride) * target_.height;
    for (size_t i = 0; i < guardBytes; ++i)
      if (storage_[i] != guardValue || storage_[guardBytes + frameBytes + i] != guardValue) return false;
    for (int32_t y = 0; y < target_.height; ++y)
      for (int32_t x = target_.width; x < target_.stride; ++x)
        if (*Pixel(x, y) != guardValue) return false;
    return true;
  }

  SpanRow Row(int table, int32_t y) { return tables_.rows[table][y]; }

  SpanTables tables_{};
  RasterTarget target_{};
  std::vector<uint8_t> storage_;
  std::vector<uint8_t> mask_;
};
