// golden_frames.h - the golden frames: whole frames drawn from the committed
// pictures, kept as FNV-1a checksums of the frame's indices and the scene
// palette in frame_golden.txt beside this file. Shared by the native test and
// the Windows builds' test, so that every build draws the same frames.
#pragma once

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "scene/test_scene.h"

namespace golden {

const char* const goldenFile = VIMBREL_SOURCE_DIR "/tests/native/scene/frame_golden.txt";

struct GoldenCase {
  const char* name;  // says what the frame guards
  int32_t width, height;
  uint32_t tick;
  int32_t staticColours;
  std::function<void(SettingsRecord&)> settings;
};

// The case's record: the defaults as the case changes them.
inline SettingsRecord SettingsOf(const GoldenCase& c) {
  SettingsRecord record = DefaultSettings();
  c.settings(record);
  return record;
}

const GoldenCase goldenCases[] = {
    {"defaults_tick0_1024x768", 1024, 768, 0, 0, [](SettingsRecord&) {}},
    {"quarter_period_frozen_clocks", 1024, 768, 0, 0,
     [](SettingsRecord& s) {
       s.pyramidTurn = s.pyramidJourney = s.dodecaTurn = s.dodecaJourney = 0;
       s.pyramidTurnTick = 10240, s.pyramidJourneyTick = 7680;
       s.dodecaTurnTick = 5120, s.dodecaJourneyTick = 12800;
     }},
    {"running_tick_987654", 1024, 768, 987654, 0, [](SettingsRecord&) {}},
    {"grid_and_palette_overlays", 1024, 768, 0, 0, [](SettingsRecord& s) { s.showGrid = s.showPalette = 1; }},
    {"shadows_off", 1024, 768, 0, 0, [](SettingsRecord& s) { s.showShadows = 0; }},
    {"twenty_static_colours", 1024, 768, 0, 20, [](SettingsRecord&) {}},
    {"frame_800x600", 800, 600, 0, 0, [](SettingsRecord& s) { s.showGrid = 1; }},
    {"widescreen_1920x1080", 1920, 1080, 40000, 0, [](SettingsRecord&) {}},
    {"preview_152x112_clipped_overlays", 152, 112, 0, 0, [](SettingsRecord& s) { s.showGrid = s.showPalette = 1; }},
};

inline std::string FrameChecksum(const TestScene& t) {
  const Scene& scene = t.scene;
  uint64_t hash = 14695981039346656037ull;
  auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (uint8_t byte : t.FrameBytes()) add(byte);
  for (const PaletteEntry& e : scene.palette.entries) add(e.red), add(e.green), add(e.blue);
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

inline std::map<std::string, std::string> ReadGolden() {
  std::map<std::string, std::string> golden;
  std::ifstream in(goldenFile);
  std::string line, name, sum;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#' && std::istringstream(line) >> name >> sum) golden[name] = sum;
  return golden;
}

}  // namespace golden
