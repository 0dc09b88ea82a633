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

#include "scene/golden_frames.h"

namespace {

using golden::FrameChecksum;
using golden::goldenCases;
using golden::GoldenCase;
using golden::goldenFile;
using golden::ReadGolden;

bool WritePng(const Scene& scene, const std::string& path) {
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

TEST(GoldenFrameTest, FramesMatchTheirChecksums) {
  const char* update = std::getenv("VIMBREL_UPDATE_GOLDEN");
  const bool updating = update != nullptr && std::string(update) == "1";
  const char* pngDirectory = std::getenv("VIMBREL_GOLDEN_PNG");
  const std::map<std::string, std::string> golden = ReadGolden();
  std::ostringstream rewritten;
  rewritten << "# Golden frames: FNV-1a 64 of the frame's stride x height indices, then the\n"
               "# palette's 256 (red, green, blue). Regenerate with VIMBREL_UPDATE_GOLDEN=1.\n";
  for (const GoldenCase& c : goldenCases) {
    TestScene t;
    ASSERT_EQ(t.Make(c.width, c.height, c.staticColours), SceneInitResult::ok)
        << c.name << ": src/resources/floor.bmp and face.bmp must be 256-colour BMPs";
    DrawSceneFrame(t.scene, golden::SettingsOf(c), c.tick);
    const std::string sum = FrameChecksum(t);
    rewritten << c.name << " " << sum << "\n";
    if (pngDirectory != nullptr) {
      EXPECT_TRUE(WritePng(t.scene, std::string(pngDirectory) + "/" + c.name + ".png")) << c.name;
    }
    const auto found = golden.find(c.name);
    if (!updating) {
      ASSERT_NE(found, golden.end()) << c.name << ": no checksum in frame_golden.txt";
      EXPECT_EQ(sum, found->second) << c.name << " differs from its golden frame";
    }
  }
  if (updating) {
    std::ofstream(goldenFile, std::ios::trunc) << rewritten.str();
    std::printf("VIMBREL_UPDATE_GOLDEN: rewrote %s with %zu frames\n", goldenFile, std::size(goldenCases));
  }
}

}  // namespace
