// scene.cpp - making a scene and freeing it.
//
// The background is scaled to the frame size and defines the scene palette;
// the face pattern is remapped to it and turned into the 0/16 mask; then the
// frame buffer, the span tables and the record of drawn spans are made.
#include "core/scene/scene.h"

#include <cmath>
#include <utility>

namespace {

// The factor that scales `from` pixels to exactly `to`. to / from times from
// can fall a hair short of `to` in doubles (a picture 800 rows high scaled to
// 113 rows gives 112.99...), and the truncated size would then miss the
// client size that the frame copy relies on; the next larger double fixes it.
double ExactScaleFactor(int32_t to, int32_t from) {
  double factor = static_cast<double>(to) / from;
  while (DoubleToInt32(from * factor) < to) factor = std::nextafter(factor, 2.0 * factor);
  return factor;
}

SceneInitResult LoadBackground(Scene& scene, int32_t width, int32_t height, PictureBytes picture,
                               const PaletteBackend& backend) {
  if (picture.data == nullptr) return SceneInitResult::missingPicture;
  if (!LoadImageBytes(scene.backgroundImage, picture.data, picture.size)) return SceneInitResult::missingPicture;
  const double sx = static_cast<double>(width) / ImageWidth(scene.backgroundImage);
  const double sy = ExactScaleFactor(height, ImageHeight(scene.backgroundImage));
  if (!ScaleImage(scene.backgroundImage, ExactScaleFactor(width, ImageWidth(scene.backgroundImage)), sy))
    return SceneInitResult::outOfMemory;
  if (ImageWidth(scene.backgroundImage) != width || ImageHeight(scene.backgroundImage) != height)
    return SceneInitResult::unusableSize;
  ScenePaletteValues values{};
  if (!BuildScenePalette(scene.backgroundImage, backend, values)) return SceneInitResult::outOfMemory;
  backend.readEntries(backend.context, scene.palette.entries);
  scene.shadeStep = values.shadeStep;
  scene.rampBase128 = values.rampBase128;
  scene.rampBase160 = values.rampBase160;
  scene.rampBase192 = values.rampBase192;
  scene.worldScale = DoubleToInt32(sx * 2048);  // 2048 for a 1024-column frame
  return SceneInitResult::ok;
}

SceneInitResult LoadFaceMask(Scene& scene, PictureBytes picture, const PaletteBackend& backend) {
  if (picture.data == nullptr) return SceneInitResult::missingPicture;
  if (!LoadImageBytes(scene.faceMaskImage, picture.data, picture.size)) return SceneInitResult::missingPicture;
  RemapPixels(scene.faceMaskImage, backend);
  scene.faceMask = ImagePixels(scene.faceMaskImage);
  scene.faceMaskWidth = ImageWidth(scene.faceMaskImage);
  scene.faceMaskHeight = ImageHeight(scene.faceMaskImage);
  scene.faceMaskStride = StrideOf(scene.faceMaskWidth);
  BuildFaceMask(ImagePixels(scene.faceMaskImage), scene.faceMaskStride, scene.faceMaskHeight);
  return SceneInitResult::ok;
}

SceneInitResult MakeFrame(Scene& scene, int32_t width, int32_t height) {
  if (!CreateImage(scene.frameBuffer, width, height, &scene.backgroundImage)) return SceneInitResult::outOfMemory;
  scene.frameWidth = ImageWidth(scene.frameBuffer);
  scene.frameHeight = ImageHeight(scene.frameBuffer);
  scene.frameStride = StrideOf(scene.frameWidth);
  scene.framePixels = ImagePixels(scene.frameBuffer);
  if (!AllocateSpanTables(scene.spanTables, scene.frameHeight) ||
      !AllocateDrawnSpans(scene.drawnSpans, scene.frameHeight) ||
      !AllocateKeptShadows(scene.keptShadows, scene.frameHeight))
    return SceneInitResult::outOfMemory;
  return SceneInitResult::ok;
}

}  // namespace

SceneInitResult MakeScene(Scene& scene, int32_t width, int32_t height, PictureBytes background, PictureBytes faceMask,
                          const PaletteBackend& backend) {
  scene = {};
  if (width <= 0 || height <= 0) return SceneInitResult::unusableSize;
  Scene made{};
  SceneInitResult result = LoadBackground(made, width, height, background, backend);
  if (result == SceneInitResult::ok) result = LoadFaceMask(made, faceMask, backend);
  if (result == SceneInitResult::ok) result = MakeFrame(made, width, height);
  if (result == SceneInitResult::ok) scene = std::move(made);  // else what was made goes with `made`
  return result;
}

const char* SceneInitProblem(SceneInitResult result) {
  switch (result) {
    case SceneInitResult::missingPicture: return "a picture could not be loaded";
    case SceneInitResult::unusableSize: return "the frame size is unusable";
    case SceneInitResult::outOfMemory: return "out of memory building the scene";
    case SceneInitResult::ok: break;
  }
  return "the scene was built";
}

bool SceneReady(const Scene& scene) {
  return scene.framePixels != nullptr && ImageExists(scene.backgroundImage) && SpanTablesExist(scene.spanTables);
}

RasterTarget SceneRasterTarget(Scene& scene) {
  return {scene.framePixels, scene.frameWidth,    scene.frameHeight,    scene.frameStride,
          scene.faceMask,    scene.faceMaskWidth, scene.faceMaskHeight, scene.faceMaskStride,
          scene.shadeStep,   &scene.spanTables,   &scene.drawnSpans};
}
