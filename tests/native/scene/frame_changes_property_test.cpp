// Frames composed from the last frame's change list against frames composed
// whole, over random sizes, settings (changed between frames: shadows,
// overlays and solids switched on and off, solids moved off the frame),
// ticks and the tick count's wrap. Every frame must match its whole twin
// byte for byte, every pixel that changed must lie in the change list, and
// the true-colour copy kept from the change lists alone must show the
// frame, its rectangles covering every change (none when nothing changed),
// also after a frame that was drawn and never shown.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/image/shown_frame.h"
#include "scene/test_scene.h"

namespace {

// A few fields of the record set anywhere in their dialog range, or half as
// far again beyond it, so that solids leave the frame now and then; every
// other time the first is a check box (a layer switched on or off).
void ChangeSettings(std::mt19937& random, SettingsRecord& record) {
  const int changes = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < changes; ++i) {
    const SettingsField* field = &settingsFields[random() % settingsFieldCount];
    while (i == 0 && random() % 2 == 0 && field->kind != ControlKind::checkBox)
      field = &settingsFields[random() % settingsFieldCount];
    if (field->kind == ControlKind::none || field->member == &SettingsRecord::frameTime) continue;
    const int32_t span = field->maximum - field->minimum, reach = field->kind == ControlKind::checkBox ? 0 : span / 2;
    record.*field->member =
        field->minimum - reach + static_cast<int32_t>(random() % static_cast<uint32_t>(span + 2 * reach + 1));
  }
}

bool Listed(const ChangeList& list, int32_t row, int32_t x) {
  if (list.everything) return true;
  const ChangeRow& r = list.rows[row];
  for (int k = 0; k < r.count; ++k)
    if (x >= r.ranges[k].left && x < r.ranges[k].end) return true;
  return false;
}

bool InBand(const ShownBand* bands, int32_t count, int32_t x, int32_t screenRow) {
  for (int32_t i = 0; i < count; ++i)
    if (screenRow >= bands[i].top && screenRow < bands[i].bottom && x >= bands[i].left && x < bands[i].right)
      return true;
  return false;
}

TEST(FrameChanges, FramesFromTheChangeListMatchWholeFramesAndTheListHoldsEveryChange) {
  std::mt19937 random(21);
  for (int size = 0; size < 7; ++size) {
    const int32_t width = size == 0 ? 1 : size == 1 ? 152 : 1 + static_cast<int32_t>(random() % 700);
    const int32_t height = size == 0 ? 1 : size == 1 ? 112 : 1 + static_cast<int32_t>(random() % 500);
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    TestScene incremental, whole;  // the one drawn from its change list, the other whole every frame
    ASSERT_EQ(incremental.Make(width, height), SceneInitResult::ok);
    ASSERT_EQ(whole.Make(width, height), SceneInitResult::ok);
    const Scene& s = incremental.scene;
    ShownFrame shown{};
    ASSERT_TRUE(CreateShownFrame(shown, width, height, s.palette.entries));
    SettingsRecord record = DefaultSettings();
    record.showGrid = record.showPalette = size % 2;  // some start with the overlays, to be switched off
    uint32_t tick = size % 2 ? 0xffffff00u : static_cast<uint32_t>(random());  // odd sizes cross the wrap
    std::vector<uint8_t> last(incremental.FrameByteCount());
    for (int frame = 0; frame < 40; ++frame) {
      SCOPED_TRACE(testing::Message() << "frame " << frame << ", tick " << tick);
      if (frame > 0 && random() % 4 == 0) ChangeSettings(random, record);
      const bool unshown = frame > 0 && random() % 8 == 0;  // a frame drawn and not shown
      if (unshown) DrawSceneFrame(incremental.scene, record, tick - 50);
      StampSceneClocks(record, tick);  // the record carries on, as in a running program
      DrawSceneFrame(incremental.scene, record, tick);
      ForgetDrawnSpans(whole.scene.drawnSpans);
      DrawSceneFrame(whole.scene, record, tick);
      tick += static_cast<uint32_t>(random() % 3 == 0 ? 0 : random() % 400);  // now and then the same moment
      const ChangeList& changes = SceneFrameChanges(s);
      ShownBand bands[maxShownBands];
      const int32_t count = UpdateShownFrame(shown, s.framePixels, s.frameStride, changes, bands);
      bool changed = false;
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t now = incremental.Pixel(x, y);
          ASSERT_EQ(now, whole.Pixel(x, y)) << "differs from the whole frame at row " << y << ", column " << x;
          const PaletteEntry& e = s.palette.entries[now];
          ASSERT_EQ(shown.pixels[static_cast<size_t>(y) * width + x],
                    uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue)
              << "the copy does not show row " << y << ", column " << x;
          if (frame == 0 || now == last[static_cast<size_t>(y) * s.frameStride + x]) continue;
          changed = true;
          ASSERT_TRUE(unshown || Listed(changes, y, x))
              << "a change at row " << y << ", column " << x << " is not listed";
          ASSERT_TRUE(InBand(bands, count, x, height - 1 - y)) << "row " << y << ", column " << x << " is not sent";
        }
      ASSERT_EQ(incremental.FrameBytes(), whole.FrameBytes()) << "the row padding differs";
      EXPECT_TRUE(frame == 0 || (count > 0) == changed) << "a frame that changes nothing sends nothing";
      std::memcpy(last.data(), s.framePixels, last.size());
    }
  }
}

}  // namespace
