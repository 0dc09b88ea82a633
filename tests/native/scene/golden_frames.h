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
const char* const goldenDirectory = VIMBREL_SOURCE_DIR "/tests/native/scene/golden";

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
    // A width and height that are odd, and each switch of the record on its own
    // (the grid alone: frame_800x600; at this size it lies off the frame).
    {"odd_size_221x165", 221, 165, 123457, 0, [](SettingsRecord&) {}},
    {"alone_pyramid_hidden", 221, 165, 123457, 0, [](SettingsRecord& s) { s.pyramidShow = 0; }},
    {"alone_pyramid_turn_off", 221, 165, 123457, 0, [](SettingsRecord& s) { s.pyramidTurn = 0; }},
    {"alone_pyramid_journey_off", 221, 165, 123457, 0, [](SettingsRecord& s) { s.pyramidJourney = 0; }},
    {"alone_dodecas_hidden", 221, 165, 123457, 0, [](SettingsRecord& s) { s.dodecaShow = 0; }},
    {"alone_dodeca_turn_off", 221, 165, 123457, 0, [](SettingsRecord& s) { s.dodecaTurn = 0; }},
    {"alone_dodeca_journey_off", 221, 165, 123457, 0, [](SettingsRecord& s) { s.dodecaJourney = 0; }},
    {"alone_palette_on", 221, 165, 123457, 0, [](SettingsRecord& s) { s.showPalette = 1; }},
    {"alone_shadows_off", 221, 165, 123457, 0, [](SettingsRecord& s) { s.showShadows = 0; }},
    // Periods of 0, and periods whose millisecond count wraps to 0, run at the defaults.
    {"zero_and_wrapping_periods", 221, 165, 123457, 0,
     [](SettingsRecord& s) {
       s.pyramidRotationTime = s.dodecaRotationTime = 0;
       s.pyramidJourneyTime = 1 << 22, s.dodecaJourneyTime = -(1 << 22);
     }},
};

inline std::string FrameChecksum(const TestScene& t) {
  uint64_t hash = 14695981039346656037ull;
  auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (uint8_t byte : t.FrameBytes()) add(byte);
  for (const PaletteEntry& e : t.scene.palette.entries) add(e.red), add(e.green), add(e.blue);
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
