// Golden frames: whole frames drawn from the committed pictures, kept as
// FNV-1a checksums of the frame's indices and the scene palette in
// frame_golden.txt beside this file.
//
//   VIMBREL_UPDATE_GOLDEN=1  rewrites frame_golden.txt from the frames drawn
//                            now, and says so on the output.
//   VIMBREL_GOLDEN_PNG=DIR   also writes every frame as DIR/<name>.png.
#include <gtest/gtest.h>
#include <png.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

#include "objects/hand_made_scene.h"

namespace {

const char* const goldenFile = VIMBREL_SOURCE_DIR "/tests/native/scene/frame_golden.txt";

struct GoldenCase {
  const char* name;  // says what the frame guards
  int32_t width, height;
  uint32_t tick;
  int32_t staticColours;
  std::function<void(SettingsRecord&)> settings;
};

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

std::string FrameChecksum() {
  uint64_t hash = 14695981039346656037ull;
  auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (uint8_t byte : FrameBytes()) add(byte);
  for (const PaletteEntry& e : scene.palette.entries) add(e.red), add(e.green), add(e.blue);
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

bool WritePng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(scene.frameWidth);
  image.height = static_cast<png_uint_32>(scene.frameHeight);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = 256;
  uint8_t colours[256 * 3];
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = scene.palette.entries[i];
    colours[3 * i] = e.red, colours[3 * i + 1] = e.green, colours[3 * i + 2] = e.blue;
  }
  // A negative row stride: the frame is stored bottom row first.
  return png_image_write_to_file(&image, path.c_str(), 0, scene.framePixels, -scene.frameStride, colours) != 0;
}

std::map<std::string, std::string> ReadGolden() {
  std::map<std::string, std::string> golden;
  std::ifstream in(goldenFile);
  std::string line, name, sum;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#' && std::istringstream(line) >> name >> sum) golden[name] = sum;
  return golden;
}

TEST(GoldenFrameTest, FramesMatchTheirChecksums) {
  const char* update = std::getenv("VIMBREL_UPDATE_GOLDEN");
  const bool updating = update != nullptr && std::string(update) == "1";
  const char* pngDirectory = std::getenv("VIMBREL_GOLDEN_PNG");
  const std::map<std::string, std::string> golden = ReadGolden();
  std::ostringstream rewritten;
  rewritten << "# Golden frames: FNV-1a 64 of the frame's stride x height indices, then the\n"
               "# palette's 256 (red, green, blue). Regenerate with VIMBREL_UPDATE_GOLDEN=1.\n";
  for (const GoldenCase& c : goldenCases) {
    ASSERT_EQ(SetUpCommittedScene(c.width, c.height, c.staticColours), SceneInitResult::ok)
        << c.name << ": src/resources/floor.bmp and face.bmp must be 256-colour BMPs";
    c.settings(SceneSettings);
    fixedSceneTick = c.tick;
    DrawSceneFrame();
    const std::string sum = FrameChecksum();
    rewritten << c.name << " " << sum << "\n";
    if (pngDirectory != nullptr) {
      EXPECT_TRUE(WritePng(std::string(pngDirectory) + "/" + c.name + ".png")) << c.name;
    }
    const auto found = golden.find(c.name);
    if (!updating) {
      ASSERT_NE(found, golden.end()) << c.name << ": no checksum in frame_golden.txt";
      EXPECT_EQ(sum, found->second) << c.name << " differs from its golden frame";
    }
  }
  ResetSceneState();
  if (updating) {
    std::ofstream(goldenFile, std::ios::trunc) << rewritten.str();
    std::printf("VIMBREL_UPDATE_GOLDEN: rewrote %s with %zu frames\n", goldenFile, std::size(goldenCases));
  }
}

}  // namespace
