// committed_pictures.h - the two committed pictures, built into the native
// programs (the X11 program, the benchmark and the fuzz programs), and the
// scene made from them.
//
// floor.bmp (bitmap 114) and face.bmp (bitmap 113) are BMP files, turned
// into bitmap resources by image/bitmap_file.h.
#pragma once

#include <cstdint>

#include "scene/scene_frame.h"

// The pictures in resource form; data is null when a picture was not built in.
PictureBytes CommittedBackground();
PictureBytes CommittedFacePattern();

// InitialiseSceneCore with both pictures over the software palette backend on
// a true-colour display, as the headless renderer builds its scene.
SceneInitResult InitialiseCommittedScene(int32_t width, int32_t height);
