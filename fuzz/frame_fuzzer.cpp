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

#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

namespace {

constexpr int32_t frameSizes[][2] = {{1, 1}, {2, 3}, {37, 29}, {152, 112}};
constexpr int sceneCount = 4;
constexpr uint32_t ticks[] = {0, 0x7fffffffu, 0x80000000u, 0xffffffffu};

struct BuiltScene {
  Scene scene;
  std::vector<uint8_t> frame;  // exactly stride x height bytes
};

// libFuzzer's entry has no context of its own: the scenes live here.
BuiltScene* builtScenes = nullptr;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "frame fuzzer: %s\n", what);
  std::abort();
}

// Each scene is built once and kept for the whole run, its frame moved
// into a block of its own.
void BuildScenes() {
  const CommittedPictures pictures = LoadCommittedPictures();
  builtScenes = new BuiltScene[sceneCount]();
  for (int i = 0; i < sceneCount; ++i) {
    Scene& scene = builtScenes[i].scene;
    Require(MakeCommittedScene(scene, pictures, frameSizes[i][0], frameSizes[i][1]) == SceneInitResult::ok,
            "the committed scene cannot be built");
    builtScenes[i].frame.resize(static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight));
    scene.framePixels = builtScenes[i].frame.data();
  }
}

void CheckRowFill(const Scene& scene) {
  const int32_t fill = scene.frameStride - scene.frameWidth;
  const uint8_t* background = ImagePixels(scene.backgroundImage);
  for (int32_t r = 0; r < scene.frameHeight; ++r) {
    const size_t end = static_cast<size_t>(r) * scene.frameStride + scene.frameWidth;
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
    SettingsRecord settings = record;  // the clocks take their ticks: every size starts from the input
    for (uint32_t tick : ticks) {
      StampSceneClocks(settings, tick);
      DrawSceneFrame(builtScenes[i].scene, settings, tick);
      CheckRowFill(builtScenes[i].scene);
    }
  }
  return 0;
}
