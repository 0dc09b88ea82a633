// frame_png.h - 8-bit frames as indexed PNG files, and a comparison that
// points at the first difference.
//
// A frame here is plain bytes: width x height indices, rows `stride` apart,
// bottom row first as the renderer stores them, and a palette of 256 RGB
// triples. The PNG holds the rows top first and the palette as its PLTE, so
// that the indices read back exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PlainFrame {
  const uint8_t* pixels;  // bottom row first
  int32_t width, height, stride;
  const uint8_t* palette;  // 256 x (red, green, blue)
};

// A frame read from a PNG: indices top row first, width per row.
struct StoredFrame {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint8_t> palette;  // 256 x RGB; entries the file lacks are 0
};

// A scene's last frame, its palette written into `palette`.
template <typename Scene>
PlainFrame DrawnFrame(const Scene& scene, uint8_t palette[768]) {
  for (int i = 0; i < 256; ++i) {
    const auto& e = scene.palette.entries[i];
    palette[3 * i] = e.red, palette[3 * i + 1] = e.green, palette[3 * i + 2] = e.blue;
  }
  return {scene.framePixels, scene.frameWidth, scene.frameHeight, scene.frameStride, palette};
}

bool WriteFramePng(const std::string& path, const PlainFrame& frame);
bool ReadFramePng(const std::string& path, StoredFrame& frame);

// "" when the frame equals the expected one, index for index and colour for
// colour. Otherwise one line naming the case, the first differing row and
// column (counted from the top left) with the expected and actual index
// there, and how many pixels differ; the actual frame and a difference
// picture (differing pixels red over a grey copy of the expected frame) are
// then written to outputDirectory as <name>.actual.png and
// <name>.difference.png.
std::string CompareFrame(const std::string& name, const StoredFrame& expected, const PlainFrame& actual,
                         const std::string& outputDirectory);
