// hand_made_scene.h - a scene record set up by hand for the object and frame
// tests: a frame of the given size over a flat background, an all-zero face
// mask of the picture's size, ramp bases 128/160/192 and the default
// settings at tick 0.
#pragma once

#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

#include "common/int_math.h"
#include "image/indexed_image.h"
#include "raster/span_tables.h"
#include "scene/scene_clock.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

inline std::vector<uint8_t>& HandMadeFaceMask() {
  static std::vector<uint8_t> mask(752 * 800, 0);
  return mask;
}

// Returns false when the images or tables cannot be made.
inline bool SetUpHandMadeScene(int32_t width, int32_t height, uint8_t backgroundIndex = 5) {
  ResetSceneState();
  SetDefaultSettings();
  fixedSceneTick = 0;
  scene.backgroundImage = CreateImage(width, height, nullptr);
  scene.frameBuffer = CreateImage(width, height, nullptr);
  if (scene.backgroundImage == nullptr || scene.frameBuffer == nullptr) return false;
  scene.frameWidth = width;
  scene.frameHeight = height;
  scene.frameStride = StrideOf(width);
  scene.framePixels = ImagePixels(scene.frameBuffer);
  const size_t bytes = static_cast<size_t>(scene.frameStride) * static_cast<size_t>(height);
  std::memset(ImagePixels(scene.backgroundImage), backgroundIndex, bytes);
  scene.worldScale = DoubleToInt32(width / 1024.0 * 2048);  // 2048 for 1024 columns
  scene.faceMask = HandMadeFaceMask().data();
  scene.faceMaskWidth = 750;
  scene.faceMaskHeight = 800;
  scene.faceMaskStride = 752;
  scene.shadeStep = 32;
  scene.rampBase128 = 128;
  scene.rampBase160 = 160;
  scene.rampBase192 = 192;
  return AllocateSpanTables(height) == 1;
}

inline uint8_t FramePixel(int32_t x, int32_t y) {
  return scene.framePixels[static_cast<size_t>(y) * static_cast<size_t>(scene.frameStride) + static_cast<size_t>(x)];
}

// Points as tuples, which the test macros compare and print.
inline std::tuple<int32_t, int32_t, int32_t> Xyz(const WorldPoint& p) { return {p.x, p.y, p.z}; }
inline std::tuple<int32_t, int32_t> Xy(const FramePoint& p) { return {p.x, p.y}; }
