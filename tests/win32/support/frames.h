// frames.h - what a window of the program must show: frames drawn by the
// portable core from the pictures linked into the test program, as RGB
// triples top row first, the form CaptureClient and CaptureScreen give.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/settings_record.h"
#include "scene/test_scene.h"

// A scene from the pictures linked into this program; staticColours 0 (true colour) or 20.
SceneInitResult MakeLinkedScene(TestScene& t, int32_t width, int32_t height, int32_t staticColours);

// A posed scene that stands still: every clock stopped at a pose of its own.
SettingsRecord FrozenPose();

// The frame of the record at tick, width x height, as a screen shows it.
std::vector<uint8_t> ExpectedScreen(const SettingsRecord& record, int width, int height, uint32_t tick = 0);

// Pixels that differ between two pictures of RGB triples; a size mismatch counts as all of both.
size_t Mismatches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);
