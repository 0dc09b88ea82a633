// An output's frame through two buffers that take turns: whatever order
// the compositor hands them back in, the buffer about to be shown holds
// exactly the scene's frame, in the palette's colours, though only what
// changed is converted; its bands (the surface's damage) cover every pixel
// that differs from the frame shown before, whichever buffer held it; and
// outputs past the scene's bounds are black.
#include <gtest/gtest.h>

#include <vector>

#include "scene/test_scene.h"
#include "wayland/portable/output_frame.h"

namespace {

constexpr int32_t width = 160, height = 120;

// The frame a fresh scene draws at tick, as 0x00RRGGBB top row first.
std::vector<uint32_t> Expected(const SettingsRecord& settings, uint32_t tick) {
  TestScene fresh;
  EXPECT_EQ(fresh.Make(width, height), SceneInitResult::ok);
  DrawSceneFrame(fresh.scene, settings, tick);
  std::vector<uint32_t> pixels;
  for (int32_t y = height - 1; y >= 0; --y)
    for (int32_t x = 0; x < width; ++x) {
      const PaletteEntry& e = fresh.scene.palette.entries[fresh.scene.framePixels[y * fresh.scene.frameStride + x]];
      pixels.push_back(static_cast<uint32_t>(e.red) << 16 | static_cast<uint32_t>(e.green) << 8 | e.blue);
    }
  return pixels;
}

TEST(OutputFrame, EachBufferShownHoldsTheFrameWhateverTheOrder) {
  const CommittedPictures pictures = LoadCommittedPictures();
  OutputFrame frame(pictures);
  std::vector<uint32_t> buffers[2] = {std::vector<uint32_t>(width * height, 0xdeadbeef),
                                      std::vector<uint32_t>(width * height, 0xdeadbeef)};
  uint32_t* const pixels[2] = {buffers[0].data(), buffers[1].data()};
  ASSERT_TRUE(frame.Lay(width, height, pixels));
  SettingsRecord settings = DefaultSettings();
  // Mostly alternating, sometimes the same buffer twice (the other still held);
  // the fourth frame goes back to the second's, which its buffer still holds.
  const int order[] = {0, 1, 0, 1, 1, 1, 0, 1, 0, 0, 1};
  const uint32_t steps[] = {97, 97, 97, 0u - 97, 97, 97, 97, 97, 97, 97, 97};
  uint32_t tick = 1000;
  int step = 0;
  ShownBand bands[maxShownBands];
  std::vector<uint32_t> before;
  for (int which : order) {
    tick += steps[step++];
    StampSceneClocks(settings, tick);
    const int32_t count = frame.Draw(settings, tick, which, bands);
    ASSERT_EQ(buffers[which], Expected(settings, tick)) << "buffer " << which << " at tick " << tick;
    if (!before.empty())
      for (int32_t i = 0; i < width * height; ++i) {
        if (before[i] == buffers[which][i]) continue;
        const int32_t x = i % width, y = i / width;
        bool damaged = false;
        for (int32_t k = 0; k < count; ++k)
          damaged |= y >= bands[k].top && y < bands[k].bottom && x >= bands[k].left && x < bands[k].right;
        ASSERT_TRUE(damaged) << "pixel " << x << "," << y << " changed outside the bands at tick " << tick;
      }
    before = buffers[which];
  }
}

TEST(OutputFrame, OutputsPastTheScenesBoundsAreBlack) {
  const CommittedPictures pictures = LoadCommittedPictures();
  OutputFrame frame(pictures);
  uint32_t one[2] = {0, 0};
  uint32_t* const pixels[2] = {&one[0], &one[1]};
  EXPECT_TRUE(frame.Lay(1, 1, pixels));
  EXPECT_FALSE(frame.black());
  for (auto [w, h] : {std::pair{16384, 600}, std::pair{600, 16384}, std::pair{8192, 8192}, std::pair{0, 10}}) {
    EXPECT_FALSE(OutputFrame::Fits(w, h)) << w << " x " << h;
    EXPECT_FALSE(frame.Lay(w, h, pixels)) << w << " x " << h;
    EXPECT_TRUE(frame.black());
    ShownBand bands[maxShownBands];
    EXPECT_EQ(frame.Draw(DefaultSettings(), 0, 0, bands), 0);
  }
  EXPECT_TRUE(OutputFrame::Fits(maxSceneSide, maxScenePixels / maxSceneSide)) << "the largest drawn";
}

}  // namespace
