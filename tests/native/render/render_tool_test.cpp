// vimbrel-render, run as a program: argument checks, file checks, and the
// frames it writes compared with frames drawn here in-process.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

#include "common/int_math.h"
#include "image/scene_palette.h"
#include "scene/scene_clock.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Picture {
  int32_t width, height;
  std::vector<PaletteEntry> table;  // as many entries as the file carries
  Bytes pixels;                     // stride x height, bottom row first
};

// A background of 32 warm colours in checks (1024 columns wide: the scene's
// lengths scale with the frame width over the picture's) and a two-colour
// face pattern.
Picture TestBackground() {
  Picture p{1024, 768, {}, {}};
  for (int i = 0; i < 32; ++i)
    p.table.push_back({static_cast<uint8_t>(200 - 3 * i), static_cast<uint8_t>(180 - 2 * i), static_cast<uint8_t>(120 + i), 0});
  p.pixels.resize(1024 * 768);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) p.pixels[y * 1024 + x] = static_cast<uint8_t>(((x / 64 + y / 64) % 2) * 16 + y / 48);
  return p;
}

Picture TestFacePattern() {
  Picture p{750, 800, {{255, 255, 255, 0}, {20, 20, 60, 0}}, {}};
  p.pixels.resize(752 * 800);
  for (int y = 0; y < 800; ++y)
    for (int x = 0; x < 750; ++x) p.pixels[y * 752 + x] = (x / 50 + y / 50) % 3 == 0;
  return p;
}

// The form of a bitmap resource: header, full colour table, pixels.
Bytes ResourceForm(const Picture& p) {
  Bytes r(40 + 1024, 0);
  WriteLe32(&r[0], 40);
  WriteLe32(&r[4], p.width);
  WriteLe32(&r[8], p.height);
  WriteLe16(&r[12], 1);
  WriteLe16(&r[14], 8);
  WriteLe32(&r[20], static_cast<int32_t>(p.pixels.size()));
  for (size_t i = 0; i < p.table.size(); ++i) {
    r[40 + 4 * i] = p.table[i].blue, r[41 + 4 * i] = p.table[i].green, r[42 + 4 * i] = p.table[i].red;
  }
  r.insert(r.end(), p.pixels.begin(), p.pixels.end());
  return r;
}

// The BMP file: file header, header with biClrUsed, the short table.
Bytes FileForm(const Picture& p, uint16_t bitCount = 8) {
  const Bytes resource = ResourceForm(p);
  const uint32_t tableBytes = static_cast<uint32_t>(p.table.size() * 4);
  Bytes f(14, 0);
  f[0] = 'B', f[1] = 'M';
  f.insert(f.end(), resource.begin(), resource.begin() + 40 + tableBytes);
  f.insert(f.end(), resource.begin() + 1064, resource.end());
  WriteLe32(&f[2], static_cast<int32_t>(f.size()));
  WriteLe32(&f[10], static_cast<int32_t>(14 + 40 + tableBytes));
  WriteLe16(&f[14 + 14], bitCount);
  WriteLe32(&f[14 + 32], static_cast<int32_t>(p.table.size()));
  return f;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

Bytes ReadFile(const std::string& path) {
  Bytes bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

struct ToolRun {
  int status;
  std::string message;
};

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vimbrel-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    WriteFile(dir + "/bg.bmp", FileForm(TestBackground()));
    WriteFile(dir + "/face.bmp", FileForm(TestFacePattern()));
  }
  void TearDown() override {
    std::system(("rm -rf '" + dir + "'").c_str());
    ResetSceneState();
  }

  ToolRun Render(const std::string& arguments) {
    const std::string errors = dir + "/stderr.txt";
    const std::string command = std::string(VIMBREL_BINARY_DIR "/vimbrel-render ") + arguments + " 2>" + errors;
    const int raw = std::system(command.c_str());
    const Bytes text = ReadFile(errors);
    std::remove(errors.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(text.begin(), text.end())};
  }
  std::string Pictures() const { return " --background " + dir + "/bg.bmp --mask " + dir + "/face.bmp"; }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
      while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name != "bg.bmp" && name != "face.bmp") names.push_back(name);
      }
      closedir(d);
    }
    return names;
  }
  // The frames drawn here, for the given ticks in order, at width x height.
  void DrawInProcess(int32_t width, int32_t height, const std::vector<uint32_t>& ticks, int32_t staticColours = 0) {
    ResetSceneState();
    SetDefaultSettings();
    SoftwarePalette palette{};
    palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
    const Bytes background = ResourceForm(TestBackground()), mask = ResourceForm(TestFacePattern());
    ASSERT_EQ(InitialiseSceneCore(width, height, {background.data(), background.size()}, {mask.data(), mask.size()},
                                  SoftwarePaletteBackend(palette)),
              SceneInitResult::ok);
    for (uint32_t tick : ticks) {
      fixedSceneTick = tick;
      DrawSceneFrame();
    }
  }
  Bytes FramePixels() const {
    return {scene.framePixels, scene.framePixels + static_cast<size_t>(scene.frameStride) * scene.frameHeight};
  }

  std::string dir;
};

TEST_F(RenderToolTest, BadArgumentsAreRefusedWithOneLineAndNoOutput) {
  const std::string out = " --out " + dir + "/frame.png";
  const std::vector<std::string> cases = {
      "",                                      // no --out
      out + " --colour 3",                     // unknown
      out + " --size",                         // value missing
      out + " --size 0x5", out + " --size 100", out + " --size 40000x10", out + " --size 1024x768x",
      out + " --size -4x4", out + " --time -1", out + " --time 4294967296", out + " --interval 1e3",
      out + " --frames 0", out + " --frames 100001", out + " --static-colours 8",
      " --out " + dir + "/frame.jpg",
      " --frames 3 --out " + dir + "/frame.png",      // no conversion
      " --frames 3 --out " + dir + "/f%d-%d.png",     // two conversions
      " --frames 3 --out " + dir + "/f%s.png",        // not an integer
      " --frames 3 --out " + dir + "/f%n.png",
      " --frames 3 --out " + dir + "/f%100d.png",     // width beyond 99
      " --frames 3 --out " + dir + "/f%d%.png",       // a stray percent
  };
  for (const std::string& arguments : cases) {
    const ToolRun run = Render(arguments + Pictures());
    EXPECT_NE(run.status, 0) << arguments;
    EXPECT_EQ(run.message.rfind("vimbrel-render: ", 0), 0u) << arguments;
    EXPECT_EQ(std::count(run.message.begin(), run.message.end(), '\n'), 1) << run.message;
    EXPECT_TRUE(Listing().empty()) << arguments;
  }
  EXPECT_EQ(Render(out + Pictures() + " --size 4x4").status, 0);  // the same line with a good size works
}

TEST_F(RenderToolTest, UnreadableOrMalformedFilesAreNamed) {
  WriteFile(dir + "/text.bmp", Bytes{'h', 'e', 'l', 'l', 'o'});
  WriteFile(dir + "/rgb.bmp", FileForm(TestBackground(), 24));
  Bytes truncated = FileForm(TestFacePattern());
  truncated.resize(truncated.size() / 2);
  WriteFile(dir + "/short.bmp", truncated);
  struct Case { std::string arguments, expected; };
  const std::string out = " --out " + dir + "/frame.bmp";
  const std::vector<Case> cases = {
      {out + " --config " + dir + "/missing.cfg" + Pictures(), "missing.cfg"},
      {out + " --background " + dir + "/missing.bmp --mask " + dir + "/face.bmp", "missing.bmp"},
      {out + " --background " + dir + "/text.bmp --mask " + dir + "/face.bmp", "not a BMP"},
      {out + " --background " + dir + "/rgb.bmp --mask " + dir + "/face.bmp", "not an 8-bit BMP"},
      {out + " --background " + dir + "/bg.bmp --mask " + dir + "/short.bmp", "truncated"},
      {" --out " + dir + "/no/such/dir/frame.bmp" + Pictures(), "cannot create"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Render(c.arguments);
    EXPECT_NE(run.status, 0) << c.arguments;
    EXPECT_NE(run.message.find(c.expected), std::string::npos) << run.message;
    EXPECT_EQ(std::count(run.message.begin(), run.message.end(), '\n'), 1) << run.message;
  }
  for (const std::string& name : Listing())
    EXPECT_TRUE(name == "text.bmp" || name == "rgb.bmp" || name == "short.bmp") << name;
}

TEST_F(RenderToolTest, BmpHoldsTheFrameBytesAndTheScenePalette) {
  const ToolRun run = Render(" --out " + dir + "/frame.bmp --size 150x112 --time 4321 --static-colours 20" + Pictures());
  ASSERT_EQ(run.status, 0) << run.message;
  DrawInProcess(150, 112, {4321}, 20);
  const Bytes file = ReadFile(dir + "/frame.bmp");
  ASSERT_EQ(file.size(), 14u + 40 + 1024 + 152 * 112);
  EXPECT_EQ(ReadLe32(&file[10]), 1078);
  EXPECT_EQ(ReadLe32(&file[14 + 4]), 150);
  EXPECT_EQ(ReadLe32(&file[14 + 8]), 112);
  EXPECT_EQ(ReadLe16(&file[14 + 14]), 8);
  EXPECT_EQ(ReadLe32(&file[14 + 16]), 0);
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = scene.palette.entries[i];
    ASSERT_EQ(file[54 + 4 * i], e.blue) << i;
    ASSERT_EQ(file[55 + 4 * i], e.green) << i;
    ASSERT_EQ(file[56 + 4 * i], e.red) << i;
  }
  EXPECT_EQ(Bytes(file.begin() + 1078, file.end()), FramePixels());
  EXPECT_EQ(Listing(), std::vector<std::string>{"frame.bmp"});  // no temporary left behind
}

TEST_F(RenderToolTest, PngHoldsTheSameIndicesAndPalette) {
  ASSERT_EQ(Render(" --out " + dir + "/frame.png --size 150x112 --time 4321" + Pictures()).status, 0);
  DrawInProcess(150, 112, {4321});
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir + "/frame.png").c_str()));
  EXPECT_EQ(image.width, 150u);
  EXPECT_EQ(image.height, 112u);
  ASSERT_TRUE(image.format & PNG_FORMAT_FLAG_COLORMAP);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  Bytes indices(150 * 112), colours(256 * 3);
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, indices.data(), 150, colours.data()));
  ASSERT_EQ(image.colormap_entries, 256u);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(colours[3 * i], scene.palette.entries[i].red) << i;
    ASSERT_EQ(colours[3 * i + 2], scene.palette.entries[i].blue) << i;
  }
  for (int32_t y = 0; y < 112; ++y)  // the PNG's first row is the frame's top row
    for (int32_t x = 0; x < 150; ++x) ASSERT_EQ(indices[(111 - y) * 150 + x], scene.framePixels[y * 152 + x]) << x << "," << y;
}

TEST_F(RenderToolTest, NumberedFramesFollowTheClockAndCarryTheRecord) {
  // A record with the pyramid's turn frozen at tick 2000.
  SettingsRecord record;
  SetDefaultSettings(record);
  record.pyramidTurn = 0;
  record.pyramidTurnTick = 2000;
  uint8_t stored[settingsRecordSize];
  SettingsToBytes(record, stored);
  WriteFile(dir + "/record.cfg", Bytes(stored, stored + sizeof stored));
  const ToolRun run = Render(" --out " + dir + "/f-%02d.bmp --size 200x150 --time 100 --frames 3 --interval 700 --config " +
                         dir + "/record.cfg" + Pictures());
  ASSERT_EQ(run.status, 0) << run.message;
  auto names = Listing();
  std::sort(names.begin(), names.end());
  names.erase(std::remove(names.begin(), names.end(), "record.cfg"), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"f-00.bmp", "f-01.bmp", "f-02.bmp"}));

  ResetSceneState();
  DrawInProcess(200, 150, {});
  SceneSettings = record;
  for (uint32_t tick : {100u, 800u, 1500u}) {
    fixedSceneTick = tick;
    DrawSceneFrame();
  }
  const Bytes last = ReadFile(dir + "/f-02.bmp");
  ASSERT_GT(last.size(), 1078u);
  EXPECT_EQ(Bytes(last.begin() + 1078, last.end()), FramePixels());
  EXPECT_NE(ReadFile(dir + "/f-00.bmp"), last);
}

TEST_F(RenderToolTest, BuiltInPicturesAreTheCommittedOnes) {
  ASSERT_EQ(Render(" --out " + dir + "/frame.bmp --size 320x240 --time 5000").status, 0);
  // The committed files without their 14-byte file header, as resources.
  Bytes floor = ReadFile(VIMBREL_SOURCE_DIR "/src/resources/floor.bmp");
  Bytes face = ReadFile(VIMBREL_SOURCE_DIR "/src/resources/face.bmp");
  ASSERT_GT(floor.size(), 1078u);
  ASSERT_GT(face.size(), 1078u);
  floor.erase(floor.begin(), floor.begin() + 14);
  face.erase(face.begin(), face.begin() + 14);
  ResetSceneState();
  SetDefaultSettings();
  SoftwarePalette palette{};
  palette.display = TrueColourDisplay();
  ASSERT_EQ(InitialiseSceneCore(320, 240, {floor.data(), floor.size()}, {face.data(), face.size()},
                                SoftwarePaletteBackend(palette)),
            SceneInitResult::ok);
  fixedSceneTick = 5000;
  DrawSceneFrame();
  const Bytes file = ReadFile(dir + "/frame.bmp");
  ASSERT_GT(file.size(), 1078u);
  EXPECT_EQ(Bytes(file.begin() + 1078, file.end()), FramePixels());
}

}  // namespace
