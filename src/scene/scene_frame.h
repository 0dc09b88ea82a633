// scene_frame.h - building the scene once and composing one frame.
//
// InitialiseSceneCore makes everything the renderer needs from the bytes of
// the two pictures, the client size and a palette backend. DrawSceneFrame
// composes one frame into scene.framePixels from SceneSettings and the scene
// clock: background copy, shadows, faces in their fixed order, overlays. A
// frame is a pure function of (record, tick, size, palette); the Win32 paint
// and vimbrel-render both call it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/scene_palette.h"

enum class SceneInitResult { ok, missingPicture, unusableSize, outOfMemory };

SceneInitResult InitialiseSceneCore(int32_t clientWidth, int32_t clientHeight, PictureBytes background,
                                    PictureBytes faceMask, const PaletteBackend& backend);

void DrawSceneFrame();
