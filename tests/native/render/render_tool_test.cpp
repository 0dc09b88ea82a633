// vimbrel-render, run as a program: the frames it writes compared with
// frames drawn here from the committed pictures.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "scene/test_scene.h"
#include "support/frame_png.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string pictures = VIMBREL_SOURCE_DIR "/src/core/pictures/";

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vimbrel-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // The tool's exit status; what it writes on stderr goes to the test's output.
  int Render(const std::string& arguments) {
    const int raw = std::system((VIMBREL_BINARY_DIR "/vimbrel-render " + arguments).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  std::string dir;
  TestScene drawn;  // the frames drawn here
};

// On a display of twenty static colours, so that the palette written is the
// scene palette laid out around them.
TEST_F(RenderToolTest, PngFromPictureFilesHoldsTheFrameAndItsPalette) {
  ASSERT_EQ(Render(" --out " + dir + "/frame.png --size 150x112 --time 4321 --static-colours 20 --background " +
                   pictures + "floor.bmp --mask " + pictures + "face.bmp"),
            0);
  ASSERT_EQ(drawn.Make(150, 112, 20), SceneInitResult::ok);
  DrawSceneFrame(drawn.scene, DefaultSettings(), 4321);
  StoredFrame png;
  ASSERT_TRUE(ReadFramePng(dir + "/frame.png", png));
  uint8_t palette[768];
  EXPECT_EQ(CompareFrame("render-tool-frame", png, DrawnFrame(drawn.scene, palette), VIMBREL_BINARY_DIR), "");
}

TEST_F(RenderToolTest, NumberedFramesFollowTheClockAndCarryTheRecord) {
  SettingsRecord record = DefaultSettings();
  record.pyramidTurn = 0, record.pyramidTurnTick = 2000;  // frozen at tick 2000
  const Bytes bytes = SettingsToBytes(record);
  std::ofstream(dir + "/record.cfg", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  ASSERT_EQ(Render(" --out " + dir + "/f-%02d.bmp --size 200x150 --time 100 --frames 3 --interval 700" + " --config " +
                   dir + "/record.cfg"),
            0);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"f-00.bmp", "f-01.bmp", "f-02.bmp", "record.cfg"}));
  // The sequence draws each frame from the last one's change list; a frame
  // drawn alone at the last moment must be the same.
  ASSERT_EQ(drawn.Make(200, 150), SceneInitResult::ok);
  StampSceneClocks(record, 1500);
  DrawSceneFrame(drawn.scene, record, 1500);
  const Bytes last = ReadFile(dir + "/f-02.bmp");
  ASSERT_GT(last.size(), 1078u);
  EXPECT_EQ(Bytes(last.begin() + 1078, last.end()), drawn.FrameBytes());
  EXPECT_NE(ReadFile(dir + "/f-00.bmp"), last);
}

}  // namespace
