// scene_clock.h - where the animation reads the time.
//
// Every clock read of the animation goes through ReadSceneTick. The Win32
// shell points sceneTickSource at GetTickCount; the headless renderer and
// the tests leave the default, which returns fixedSceneTick.
#pragma once

#include <cstdint>

using TickSource = uint32_t (*)();

extern uint32_t fixedSceneTick;
extern TickSource sceneTickSource;

inline uint32_t ReadSceneTick() { return sceneTickSource(); }
