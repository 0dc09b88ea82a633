// frame_fuzzer.cpp - hostile settings records drawn as frames.
//
// The input is a stored settings value of any length, applied with
// SettingsFromBytes exactly as a registry value is. It is then drawn at four
// frame sizes (1 x 1, 2 x 3, 37 x 29 and 152 x 112) and four ticks on the
// scenes made once from the committed pictures. Each frame buffer is an
// exactly sized heap block, so AddressSanitizer sees any write outside it,
// and after each frame the fill bytes after every row must still hold the
// background's: no drawing reaches past a row's last pixel.
//
//   vimbrel-fuzz-frame -max_total_time=600 WORKDIR fuzz/corpus/frame
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "scene/committed_pictures.h"
#include "scene/scene_clock.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

namespace {

struct FrameSize {
  int32_t width, height;
};

// In increasing height: the span tables remember the most rows they were
// made with, so the scene built last must be the tallest.
constexpr FrameSize frameSizes[] = {{1, 1}, {2, 3}, {37, 29}, {152, 112}};
constexpr int sceneCount = sizeof frameSizes / sizeof frameSizes[0];
constexpr uint32_t ticks[] = {0, 0x7fffffffu, 0x80000000u, 0xffffffffu};

struct BuiltScene {
  SceneResources resources;
  std::vector<uint8_t> frame;  // exactly stride x height bytes
};

BuiltScene* builtScenes = nullptr;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "frame fuzzer: %s\n", what);
  std::abort();
}

// Each scene is built once and kept; the record `scene` is switched between
// them. The images and tables are never freed, as in the running program.
void BuildScenes() {
  builtScenes = new BuiltScene[sceneCount];
  for (int i = 0; i < sceneCount; ++i) {
    std::memset(&scene, 0, sizeof scene);
    Require(InitialiseCommittedScene(frameSizes[i].width, frameSizes[i].height) == SceneInitResult::ok,
            "the committed scene cannot be built");
    builtScenes[i].resources = scene;
    builtScenes[i].frame.resize(static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight));
    builtScenes[i].resources.framePixels = builtScenes[i].frame.data();
  }
}

void CheckRowFill() {
  const int32_t fill = scene.frameStride - scene.frameWidth;
  if (fill == 0) return;
  const uint8_t* background = ImagePixels(scene.backgroundImage);
  for (int32_t r = 0; r < scene.frameHeight; ++r) {
    const size_t end = static_cast<size_t>(r) * static_cast<size_t>(scene.frameStride) + static_cast<size_t>(scene.frameWidth);
    Require(std::memcmp(scene.framePixels + end, background + end, static_cast<size_t>(fill)) == 0,
            "a frame wrote past the last pixel of a row");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (builtScenes == nullptr) BuildScenes();
  SettingsRecord record{};
  SettingsFromBytes(data, size, record);
  for (int i = 0; i < sceneCount; ++i) {
    scene = builtScenes[i].resources;
    SceneSettings = record;  // the clocks write their ticks: every size starts from the input
    for (uint32_t tick : ticks) {
      fixedSceneTick = tick;
      DrawSceneFrame();
      CheckRowFill();
    }
  }
  return 0;
}
