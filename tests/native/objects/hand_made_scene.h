// hand_made_scene.h - scenes for the object, frame and renderer tests.
//
// SetUpHandMadeScene: a scene record set up by hand, a frame of the given
// size over a flat background, an all-zero face mask of the picture's size,
// ramp bases 128/160/192 and the default settings at tick 0.
// SetUpCommittedScene: the scene as the program builds it, from the
// committed pictures.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "common/int_math.h"
#include "image/bitmap_file.h"
#include "image/indexed_image.h"
#include "image/scene_palette.h"
#include "raster/span_tables.h"
#include "scene/scene_frame.h"
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
  return AllocateSpanTables(scene.spanTables, height) == 1;
}

inline uint8_t FramePixel(int32_t x, int32_t y) {
  return scene.framePixels[static_cast<size_t>(y) * static_cast<size_t>(scene.frameStride) + static_cast<size_t>(x)];
}

// Points as tuples, which the test macros compare and print.
inline std::tuple<int32_t, int32_t, int32_t> Xyz(const WorldPoint& p) { return {p.x, p.y, p.z}; }
inline std::tuple<int32_t, int32_t> Xy(const FramePoint& p) { return {p.x, p.y}; }

// A committed picture as a bitmap resource; empty when it is not a usable BMP.
inline std::vector<uint8_t> CommittedPicture(const char* name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR "/src/resources/") + name, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint8_t> resource;
  std::string error;
  if (!BitmapFileToResource(file.data(), file.size(), resource, error)) return {};
  return resource;
}

// Default settings, tick 0; staticColours 0 (true colour) or 20.
inline SceneInitResult SetUpCommittedScene(int32_t width, int32_t height, int32_t staticColours = 0) {
  static const std::vector<uint8_t> floor = CommittedPicture("floor.bmp"), face = CommittedPicture("face.bmp");
  ResetSceneState();
  SetDefaultSettings();
  fixedSceneTick = 0;
  SoftwarePalette palette{};
  palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
  return InitialiseSceneCore(width, height, {floor.data(), floor.size()}, {face.data(), face.size()},
                             SoftwarePaletteBackend(palette));
}

inline std::vector<uint8_t> FrameBytes() {
  return {scene.framePixels,
          scene.framePixels + static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight)};
}
