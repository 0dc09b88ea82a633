// test_scene.h - scenes for the frame, stress and renderer tests, made
// through the public API from the committed pictures as the program makes
// them.
//
//   TestScene t;
//   ASSERT_EQ(t.Make(1024, 768), SceneInitResult::ok);
//   DrawSceneFrame(t.scene, DefaultSettings(), 0);
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/image/bitmap_file.h"
#include "core/image/scene_palette.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

// A committed picture as a bitmap resource; empty when it is not a usable BMP.
inline std::vector<uint8_t> CommittedPicture(const char* name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR "/src/core/pictures/") + name, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint8_t> resource;
  std::string error;
  if (!BitmapFileToResource(file.data(), file.size(), resource, error)) return {};
  return resource;
}

// A scene of its own, released with it.
struct TestScene {
  Scene scene;

  // staticColours 0 (true colour) or 20.
  SceneInitResult Make(int32_t width, int32_t height, int32_t staticColours = 0) {
    static const std::vector<uint8_t> floor = CommittedPicture("floor.bmp"), face = CommittedPicture("face.bmp");
    SoftwarePalette palette{};
    palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
    return MakeScene(scene, width, height, {floor.data(), floor.size()}, {face.data(), face.size()},
                     SoftwarePaletteBackend(palette));
  }

  size_t FrameByteCount() const { return static_cast<size_t>(scene.frameStride) * scene.frameHeight; }
  std::vector<uint8_t> FrameBytes() const { return {scene.framePixels.get(), scene.framePixels + FrameByteCount()}; }
  uint8_t Pixel(int32_t x, int32_t y) const {
    return scene.framePixels[static_cast<size_t>(y) * scene.frameStride + x];
  }
};
