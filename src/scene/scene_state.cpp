#include "scene/scene_state.h"

#include <cstring>

SceneResources scene;

void ResetSceneState() {
  FreeImage(scene.backgroundImage);
  FreeImage(scene.faceMaskImage);
  FreeImage(scene.frameBuffer);
  FreeSpanTables(scene.spanTables);
  std::memset(&scene, 0, sizeof scene);
}

RasterTarget SceneRasterTarget() {
  return {scene.framePixels, scene.frameWidth,     scene.frameHeight,    scene.frameStride,
          scene.faceMask,    scene.faceMaskWidth,  scene.faceMaskHeight, scene.faceMaskStride,
          scene.shadeStep,   &scene.spanTables};
}
