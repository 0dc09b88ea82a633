// committed_scene.h - a frame buffer of the stress tests' own with guard
// bytes on both sides, so that a write outside the frame shows without a
// sanitizer; the scene itself is a TestScene.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "scene/test_scene.h"

// The frame drawn into a buffer with guardBytes of guardValue before and
// after it; the scene's own buffer is put back on destruction.
struct GuardedFrame {
  static constexpr size_t guardBytes = 4096;
  static constexpr uint8_t guardValue = 0x5A;
  Scene& scene;
  std::vector<uint8_t> buffer;
  uint8_t* ownPixels;

  explicit GuardedFrame(TestScene& t)
      : scene(t.scene), buffer(t.FrameByteCount() + 2 * guardBytes, guardValue), ownPixels(t.scene.framePixels) {
    scene.framePixels = buffer.data() + guardBytes;
  }
  ~GuardedFrame() { scene.framePixels = ownPixels; }
  GuardedFrame(const GuardedFrame&) = delete;
  GuardedFrame& operator=(const GuardedFrame&) = delete;

  bool GuardsIntact() const {
    for (size_t i = 0; i < guardBytes; ++i)
      if (buffer[i] != guardValue || buffer[buffer.size() - 1 - i] != guardValue) return false;
    return true;
  }
  // Rows whose fill bytes (after the last pixel) differ from the
  // background's: only the background copy may write there.
  int RowsWithTouchedFill() const {
    const uint8_t* background = ImagePixels(scene.backgroundImage);
    const size_t fill = static_cast<size_t>(scene.frameStride - scene.frameWidth);
    int touched = 0;
    for (int32_t r = 0; fill > 0 && r < scene.frameHeight; ++r) {
      const size_t end =
          static_cast<size_t>(r) * static_cast<size_t>(scene.frameStride) + static_cast<size_t>(scene.frameWidth);
      touched += std::memcmp(scene.framePixels + end, background + end, fill) != 0;
    }
    return touched;
  }
};
