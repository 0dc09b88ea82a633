// scene_init.cpp - building the scene once, at the first paint.
//
// The background (bitmap 114) is scaled to the client size and defines the
// scene palette; the face pattern (bitmap 113) is remapped to it and turned
// into the 0/16 mask; then the frame buffer and the span tables are made.
// Anything that cannot be made fails the whole initialisation, so no frame
// is ever drawn with a piece missing.
#include <cmath>

#include "common/int_math.h"
#include "raster/span_tables.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"

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

SceneInitResult LoadBackground(int32_t width, int32_t height, PictureBytes picture,
                               const PaletteBackend& backend) {
  if (picture.data == nullptr) return SceneInitResult::missingPicture;
  scene.backgroundImage = LoadImageBytes(picture.data, picture.size);
  if (scene.backgroundImage == nullptr) return SceneInitResult::missingPicture;
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

SceneInitResult LoadFaceMask(PictureBytes picture, const PaletteBackend& backend) {
  if (picture.data == nullptr) return SceneInitResult::missingPicture;
  scene.faceMaskImage = LoadImageBytes(picture.data, picture.size);
  if (scene.faceMaskImage == nullptr) return SceneInitResult::missingPicture;
  RemapPixels(scene.faceMaskImage, backend);
  scene.faceMask = ImagePixels(scene.faceMaskImage);
  scene.faceMaskWidth = ImageWidth(scene.faceMaskImage);
  scene.faceMaskHeight = ImageHeight(scene.faceMaskImage);
  scene.faceMaskStride = StrideOf(scene.faceMaskWidth);
  BuildFaceMask(ImagePixels(scene.faceMaskImage), scene.faceMaskStride, scene.faceMaskHeight);
  return SceneInitResult::ok;
}

SceneInitResult MakeFrame(int32_t width, int32_t height) {
  scene.frameBuffer = CreateImage(width, height, scene.backgroundImage);
  if (scene.frameBuffer == nullptr) return SceneInitResult::outOfMemory;
  scene.frameWidth = ImageWidth(scene.frameBuffer);
  scene.frameHeight = ImageHeight(scene.frameBuffer);
  scene.frameStride = StrideOf(scene.frameWidth);
  scene.framePixels = ImagePixels(scene.frameBuffer);
  if (!AllocateSpanTables(scene.spanTables, scene.frameHeight)) return SceneInitResult::outOfMemory;
  return SceneInitResult::ok;
}

}  // namespace

SceneInitResult InitialiseSceneCore(int32_t clientWidth, int32_t clientHeight, PictureBytes background,
                                    PictureBytes faceMask, const PaletteBackend& backend) {
  if (clientWidth <= 0 || clientHeight <= 0) return SceneInitResult::unusableSize;
  SceneInitResult result = LoadBackground(clientWidth, clientHeight, background, backend);
  if (result == SceneInitResult::ok) result = LoadFaceMask(faceMask, backend);
  if (result == SceneInitResult::ok) result = MakeFrame(clientWidth, clientHeight);
  return result;
}
