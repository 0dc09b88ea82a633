// committed_pictures.h - the two committed pictures, built into the native
// programs (the X11 program, vimbrel-render, the benchmark and the fuzz
// programs), and the scene made from them.
//
// floor.bmp (bitmap 114) and face.bmp (bitmap 113) are BMP files, turned
// into bitmap resources by core/image/bitmap_file.h once, when the caller makes
// its CommittedPictures.
#pragma once

#include <cstdint>
#include <vector>

#include "core/scene/scene.h"

struct CommittedPictures {
  std::vector<uint8_t> background, facePattern;  // resource form; empty when not built in or unusable
};

CommittedPictures LoadCommittedPictures();

// MakeScene with both pictures over the software palette backend on a
// true-colour display, as the headless renderer builds its scene.
SceneInitResult MakeCommittedScene(Scene& scene, const CommittedPictures& pictures, int32_t width, int32_t height);
