// Golden frames: whole frames drawn from the committed pictures, kept as
// indexed PNGs in golden/ beside this file (indices and scene palette), and
// as FNV-1a checksums in frame_golden.txt for the Windows builds' test. A
// frame that differs is named with its first differing pixel, and its actual
// frame and a difference picture are written to build/.../golden-failures/.
//
//   VIMBREL_UPDATE_GOLDEN=1  rewrites golden/ and frame_golden.txt from the
//                            frames drawn now, and says so on the output.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "scene/golden_frames.h"
#include "support/frame_png.h"

namespace {

using namespace golden;

TEST(GoldenFrameTest, FramesMatchTheirGoldenPictures) {
  const char* update = std::getenv("VIMBREL_UPDATE_GOLDEN");
  const bool updating = update != nullptr && std::string(update) == "1";
  const std::string failures = VIMBREL_BINARY_DIR "/golden-failures";
  std::filesystem::create_directories(failures);
  const std::map<std::string, std::string> golden = ReadGolden();
  std::ostringstream rewritten;
  rewritten << "# Golden frames: FNV-1a 64 of the frame's stride x height indices, then the\n"
               "# palette's 256 (red, green, blue). Regenerate with VIMBREL_UPDATE_GOLDEN=1.\n";
  for (const GoldenCase& c : goldenCases) {
    TestScene t;
    ASSERT_EQ(t.Make(c.width, c.height, c.staticColours), SceneInitResult::ok)
        << c.name << ": src/core/pictures/floor.bmp and face.bmp must be 256-colour BMPs";
    DrawSceneFrame(t.scene, SettingsOf(c), c.tick);
    const std::string sum = FrameChecksum(t);
    rewritten << c.name << " " << sum << "\n";
    uint8_t palette[768];
    const PlainFrame frame = DrawnFrame(t.scene, palette);
    const std::string png = std::string(goldenDirectory) + "/" + c.name + ".png";
    if (updating) {
      EXPECT_TRUE(WriteFramePng(png, frame)) << png;
      continue;
    }
    StoredFrame expected;
    ASSERT_TRUE(ReadFramePng(png, expected)) << c.name << ": no golden frame " << png;
    const std::string difference = CompareFrame(c.name, expected, frame, failures);
    EXPECT_EQ(difference, "");
    const auto found = golden.find(c.name);
    ASSERT_NE(found, golden.end()) << c.name << ": no checksum in frame_golden.txt";
    EXPECT_TRUE(sum == found->second || !difference.empty()) << c.name << ": frame_golden.txt disagrees with " << png;
  }
  if (updating) {
    std::ofstream(goldenFile, std::ios::trunc) << rewritten.str();
    std::printf("VIMBREL_UPDATE_GOLDEN: rewrote %s and %s with %zu frames\n", goldenFile, goldenDirectory,
                std::size(goldenCases));
  }
}

}  // namespace
