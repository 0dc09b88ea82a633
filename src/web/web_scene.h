// web_scene.h - the page's scene: the core's Scene of the built-in pictures
// and the frame as the canvas takes it.
//
// Every call the page makes into the core's scene goes through here. A
// frame is drawn with DrawSceneFrame, as every other program draws it, and
// its changed spans are converted through the scene palette into RGBA
// bytes, top row first, as ImageData holds them (core/image/shown_frame.h);
// the bands that changed are what the page puts on its canvas.
//
//   WebScene scene;
//   if (LayOutWebScene(scene, width, height)) {
//     const int32_t bands = DrawWebFrame(scene, settings, tick);  // scene.bands[0..bands)
//     ... scene.rgba ...
//   }
//   FreeWebScene(scene);
#pragma once

#include <cstdint>
#include <vector>

#include "core/image/shown_frame.h"
#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

struct WebScene {
  CommittedPictures pictures = LoadCommittedPictures();
  Scene scene{};
  ShownFrame shown{};
  std::vector<uint32_t> rgba;  // width x height, top row first, bytes R, G, B, 255
  ShownBand bands[maxShownBands];
  int32_t width = 0, height = 0;  // 0: not laid out
};

// The scene for a canvas of width x height device pixels; the next frame is
// converted whole. False, with nothing laid out, when it cannot be made.
bool LayOutWebScene(WebScene& scene, int32_t width, int32_t height);
// One frame at tick, the record's running clocks stamped as every shell
// stamps them; returns the number of bands that changed.
int32_t DrawWebFrame(WebScene& scene, SettingsRecord& settings, uint32_t tick);
// A frame composed whole, as a first frame is (the benchmark's).
void DrawWholeWebFrame(WebScene& scene, const SettingsRecord& settings, uint32_t tick);
void FreeWebScene(WebScene& scene);
// The settings record's stored bytes (SettingsToBytes), for the tests.
std::vector<uint8_t> StoredWebSettings(const SettingsRecord& settings);
