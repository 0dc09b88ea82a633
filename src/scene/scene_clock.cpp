#include "scene/scene_clock.h"

uint32_t fixedSceneTick;

namespace {
uint32_t ReadFixedTick() { return fixedSceneTick; }
}  // namespace

TickSource sceneTickSource = ReadFixedTick;
