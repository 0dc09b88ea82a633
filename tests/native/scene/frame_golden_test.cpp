// Golden frames: whole frames drawn from the committed pictures, kept as
// FNV-1a checksums of the frame's indices and the scene palette in
// frame_golden.txt beside this file.
//
//   VIMBREL_UPDATE_GOLDEN=1  rewrites frame_golden.txt from the frames drawn
//                            now (and says so on the output).
//   VIMBREL_GOLDEN_PNG=DIR   also writes every frame as DIR/<name>.png.
#include <gtest/gtest.h>
#include <png.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/int_math.h"
#include "image/scene_palette.h"
#include "scene/scene_clock.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

namespace {

const char* const goldenFile = VIMBREL_SOURCE_DIR "/tests/native/scene/frame_golden.txt";

struct GoldenCase {
  const char* name;  // says what the frame guards
  int32_t width, height;
  uint32_t tick;
  int32_t staticColours;
  std::function<void(SettingsRecord&)> settings;
};

void Defaults(SettingsRecord&) {}

const std::vector<GoldenCase>& GoldenCases() {
  static const std::vector<GoldenCase> cases = {
      {"defaults_tick0_1024x768", 1024, 768, 0, 0, Defaults},
      {"quarter_period_frozen_clocks", 1024, 768, 0, 0,
       [](SettingsRecord& s) {
         s.pyramidTurn = s.pyramidJourney = s.dodecaTurn = s.dodecaJourney = 0;
         s.pyramidTurnTick = 10240, s.pyramidJourneyTick = 7680;
         s.dodecaTurnTick = 5120, s.dodecaJourneyTick = 12800;
       }},
      {"running_tick_987654", 1024, 768, 987654, 0, Defaults},
      {"grid_and_palette_overlays", 1024, 768, 0, 0, [](SettingsRecord& s) { s.showGrid = s.showPalette = 1; }},
      {"shadows_off", 1024, 768, 0, 0, [](SettingsRecord& s) { s.showShadows = 0; }},
      {"twenty_static_colours", 1024, 768, 0, 20, Defaults},
      {"frame_800x600", 800, 600, 0, 0, [](SettingsRecord& s) { s.showGrid = 1; }},
      {"widescreen_1920x1080", 1920, 1080, 40000, 0, Defaults},
      {"preview_152x112_clipped_overlays", 152, 112, 0, 0, [](SettingsRecord& s) { s.showGrid = s.showPalette = 1; }},
  };
  return cases;
}

// The bytes of a committed picture as the resource compiler stores them:
// the BMP file without its 14-byte file header.
std::vector<uint8_t> ResourcePicture(const char* name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR "/src/resources/") + name, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.size() < 14 + 1064 || ReadLe32(&file[10]) != 14 + 1064) return {};
  return std::vector<uint8_t>(file.begin() + 14, file.end());
}

uint64_t Fnv1a(uint64_t hash, const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  return hash;
}

uint64_t FrameChecksum() {
  uint64_t hash = 14695981039346656037ull;
  hash = Fnv1a(hash, scene.framePixels, static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight));
  for (const PaletteEntry& e : scene.palette.entries) {
    const uint8_t rgb[3] = {e.red, e.green, e.blue};
    hash = Fnv1a(hash, rgb, 3);
  }
  return hash;
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
    colours[3 * i] = scene.palette.entries[i].red;
    colours[3 * i + 1] = scene.palette.entries[i].green;
    colours[3 * i + 2] = scene.palette.entries[i].blue;
  }
  // A negative row stride: the frame is stored bottom row first.
  return png_image_write_to_file(&image, path.c_str(), 0, scene.framePixels, -scene.frameStride, colours) != 0;
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, value);
  return text;
}

std::map<std::string, uint64_t> ReadGolden() {
  std::map<std::string, uint64_t> golden;
  std::ifstream in(goldenFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, hex;
    if (fields >> name >> hex) golden[name] = std::strtoull(hex.c_str(), nullptr, 16);
  }
  return golden;
}

TEST(GoldenFrameTest, FramesMatchTheirChecksums) {
  const std::vector<uint8_t> floor = ResourcePicture("floor.bmp"), face = ResourcePicture("face.bmp");
  ASSERT_FALSE(floor.empty()) << "src/resources/floor.bmp missing or not a 256-colour BMP";
  ASSERT_FALSE(face.empty()) << "src/resources/face.bmp missing or not a 256-colour BMP";
  const bool update = std::getenv("VIMBREL_UPDATE_GOLDEN") != nullptr &&
                      std::string(std::getenv("VIMBREL_UPDATE_GOLDEN")) == "1";
  const char* pngDirectory = std::getenv("VIMBREL_GOLDEN_PNG");
  const std::map<std::string, uint64_t> golden = ReadGolden();
  std::ostringstream rewritten;
  rewritten << "# Golden frames: FNV-1a 64 of the frame's stride x height indices, then the\n"
               "# palette's 256 (red, green, blue). Regenerate with VIMBREL_UPDATE_GOLDEN=1.\n";

  for (const GoldenCase& c : GoldenCases()) {
    ResetSceneState();
    SetDefaultSettings();
    c.settings(SceneSettings);
    SoftwarePalette palette{};
    palette.display = c.staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
    ASSERT_EQ(InitialiseSceneCore(c.width, c.height, {floor.data(), floor.size()}, {face.data(), face.size()},
                                  SoftwarePaletteBackend(palette)),
              SceneInitResult::ok)
        << c.name;
    fixedSceneTick = c.tick;
    DrawSceneFrame();
    const std::string sum = Hex(FrameChecksum());
    rewritten << c.name << " " << sum << "\n";
    if (pngDirectory != nullptr) {
      EXPECT_TRUE(WritePng(std::string(pngDirectory) + "/" + c.name + ".png")) << c.name;
    }
    if (update) continue;
    const auto found = golden.find(c.name);
    if (found == golden.end()) {
      ADD_FAILURE() << c.name << ": no checksum in frame_golden.txt (VIMBREL_UPDATE_GOLDEN=1 records it)";
    } else {
      EXPECT_EQ(sum, Hex(found->second)) << c.name << " differs from its golden checksum";
    }
  }
  ResetSceneState();
  if (update) {
    std::ofstream out(goldenFile, std::ios::trunc);
    out << rewritten.str();
    ASSERT_TRUE(out.good()) << "cannot write " << goldenFile;
    std::printf("VIMBREL_UPDATE_GOLDEN: rewrote %s with %zu frames\n", goldenFile, GoldenCases().size());
  }
}

}  // namespace
