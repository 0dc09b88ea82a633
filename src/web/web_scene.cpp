// web_scene.cpp - the core's scene calls of the page, in one place.
#include "web/web_scene.h"

bool LayOutWebScene(WebScene& scene, int32_t width, int32_t height) {
  FreeWebScene(scene);
  if (MakeCommittedScene(scene.scene, scene.pictures, width, height) != SceneInitResult::ok) return false;
  // ImageData's bytes are R, G, B, A: as a little-endian word, red lowest.
  uint32_t colourOf[256];
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = scene.scene.palette.entries[i];
    colourOf[i] = 0xff000000u | (uint32_t{entry.blue} << 16) | (uint32_t{entry.green} << 8) | entry.red;
  }
  scene.rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xff000000u);
  if (!CreateShownFrameInto(scene.shown, width, height, colourOf, scene.rgba.data())) {
    FreeWebScene(scene);
    return false;
  }
  scene.width = width, scene.height = height;
  return true;
}

int32_t DrawWebFrame(WebScene& scene, SettingsRecord& settings, uint32_t tick) {
  if (scene.width == 0) return 0;
  StampSceneClocks(settings, tick);
  DrawSceneFrame(scene.scene, settings, tick);
  return UpdateShownFrame(scene.shown, scene.scene.framePixels, scene.scene.frameStride,
                          SceneFrameChanges(scene.scene), scene.bands);
}

void DrawWholeWebFrame(WebScene& scene, const SettingsRecord& settings, uint32_t tick) {
  if (scene.width == 0) return;
  ForgetDrawnSpans(scene.scene.drawnSpans);
  DrawSceneFrame(scene.scene, settings, tick);
}

void FreeWebScene(WebScene& scene) {
  scene.shown = ShownFrame{};
  scene.scene = Scene{};
  scene.rgba.clear();
  scene.width = scene.height = 0;
}

std::vector<uint8_t> StoredWebSettings(const SettingsRecord& settings) { return SettingsToBytes(settings); }
