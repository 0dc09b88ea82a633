// committed_scene.h - the scene built from the committed pictures, for the
// stress tests, and a frame buffer of the test's own with guard bytes.
//
// The pictures are read once from the source tree (a bitmap resource is the
// BMP file without its 14-byte file header). GuardedFrame points
// scene.framePixels at a buffer of its own with guard bytes on both sides,
// so that a write outside the frame shows without a sanitizer.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/int_math.h"
#include "image/scene_palette.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"

inline std::vector<uint8_t> CommittedResource(const char* name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR "/src/resources/") + name, std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (file.size() < 14 + 1064 || ReadLe32(&file[10]) != 14 + 1064) return {};
  return {file.begin() + 14, file.end()};
}

// ResetSceneState, then the whole initialisation at this size over the
// software palette on a true-colour display.
inline SceneInitResult BuildCommittedScene(int32_t width, int32_t height) {
  static const std::vector<uint8_t> background = CommittedResource("floor.bmp");
  static const std::vector<uint8_t> face = CommittedResource("face.bmp");
  ResetSceneState();
  if (background.empty() || face.empty()) return SceneInitResult::missingPicture;
  SoftwarePalette palette{};
  palette.display = TrueColourDisplay();
  return InitialiseSceneCore(width, height, {background.data(), background.size()}, {face.data(), face.size()},
                             SoftwarePaletteBackend(palette));
}

inline size_t FrameByteCount() {
  return static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight);
}

// The frame drawn into a buffer with guardBytes of guardValue before and
// after it; the scene's own buffer is put back on destruction.
struct GuardedFrame {
  static constexpr size_t guardBytes = 4096;
  static constexpr uint8_t guardValue = 0x5A;
  std::vector<uint8_t> buffer;
  uint8_t* ownPixels;

  GuardedFrame() : buffer(FrameByteCount() + 2 * guardBytes, guardValue), ownPixels(scene.framePixels) {
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
      const size_t end = static_cast<size_t>(r) * static_cast<size_t>(scene.frameStride) +
                         static_cast<size_t>(scene.frameWidth);
      touched += std::memcmp(scene.framePixels + end, background + end, fill) != 0;
    }
    return touched;
  }
  // Pixels that differ from the background.
  size_t ChangedPixels() const {
    const uint8_t* background = ImagePixels(scene.backgroundImage);
    size_t changed = 0;
    for (size_t i = 0; i < FrameByteCount(); ++i) changed += scene.framePixels[i] != background[i];
    return changed;
  }
};
