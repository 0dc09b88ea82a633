#include "scene/scene_state.h"

#include <cstdlib>
#include <cstring>

SceneResources scene;

void ResetSceneState() {
  FreeImage(scene.backgroundImage);
  FreeImage(scene.faceMaskImage);
  FreeImage(scene.frameBuffer);
  for (SpanRow* table : scene.spanTables) std::free(table);
  std::memset(&scene, 0, sizeof scene);
}
