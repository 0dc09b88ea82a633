// Frames composed from the last frame's change list against frames composed
// whole, over random sizes, settings (changed between frames: shadows,
// overlays and solids switched on and off, solids moved off the frame),
// ticks and the tick count's wrap. Every frame must match its whole twin
// byte for byte, every pixel that changed must lie in the change list, and
// the true-colour copy kept from the change lists alone must show the
// frame, its rectangles covering every change (none when nothing changed).
#include <gtest/gtest.h>

#include <random>

#include "image/shown_frame.h"
#include "objects/hand_made_scene.h"

namespace {

// Two scenes of one size, switched in and out of the one record.
class TwinScenes {
 public:
  bool Build(int32_t width, int32_t height) {
    for (SceneResources* kept : {&incremental_, &whole_}) {
      std::memset(&scene, 0, sizeof scene);
      if (SetUpCommittedScene(width, height) != SceneInitResult::ok) return false;
      *kept = scene;
    }
    std::memset(&scene, 0, sizeof scene);
    return true;
  }
  ~TwinScenes() {
    for (SceneResources* kept : {&incremental_, &whole_}) {
      scene = *kept;
      ResetSceneState();
    }
  }
  // Draws the frame of record and tick in both; the record carries on from
  // the incremental one, as in a running program.
  void Draw(SettingsRecord& record, uint32_t tick) {
    fixedSceneTick = tick;
    const SettingsRecord before = record;
    SceneSettings = before;
    DrawIn(whole_, true);
    SceneSettings = before;
    DrawIn(incremental_, false);
    record = SceneSettings;
  }
  const SceneResources& Incremental() const { return incremental_; }
  const SceneResources& Whole() const { return whole_; }

 private:
  static void DrawIn(SceneResources& kept, bool whole) {
    scene = kept;
    if (whole) ForgetDrawnSpans(scene.spanTables);
    DrawSceneFrame();
    kept = scene;
    std::memset(&scene, 0, sizeof scene);
  }
  SceneResources incremental_{}, whole_{};
};

void ChangeField(std::mt19937& random, const SettingsField& field, SettingsRecord& record) {
  if (field.kind == ControlKind::none || field.member == &SettingsRecord::frameTime) return;
  const int32_t span = field.maximum - field.minimum;
  const int32_t reach = field.kind == ControlKind::checkBox ? 0 : span / 2;
  record.*field.member = field.minimum - reach + static_cast<int32_t>(random() % static_cast<uint32_t>(span + 2 * reach + 1));
}

// A few fields of the record set anywhere in their dialog range, or half as
// far again beyond it, so that solids leave the frame now and then; every
// other time the first is a check box (a layer switched on or off).
void ChangeSettings(std::mt19937& random, SettingsRecord& record) {
  const int changes = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < changes; ++i) {
    const SettingsField* field = &settingsFields[random() % settingsFieldCount];
    while (i == 0 && random() % 2 == 0 && field->kind != ControlKind::checkBox)
      field = &settingsFields[random() % settingsFieldCount];
    ChangeField(random, *field, record);
  }
}


uint8_t At(const SceneResources& s, int32_t x, int32_t y) {
  return s.framePixels[static_cast<size_t>(y) * static_cast<size_t>(s.frameStride) + static_cast<size_t>(x)];
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
    TwinScenes twins;
    ASSERT_TRUE(twins.Build(width, height));
    const SceneResources& s = twins.Incremental();
    ShownFrame shown{};
    ASSERT_TRUE(CreateShownFrame(shown, width, height, s.palette.entries));
    SettingsRecord record;
    SetDefaultSettings(record);
    record.showGrid = record.showPalette = size % 2;  // some start with the overlays, to be switched off
    uint32_t tick = size % 2 ? 0xffffff00u : static_cast<uint32_t>(random());  // odd sizes cross the wrap
    std::vector<uint8_t> last(static_cast<size_t>(s.frameStride) * static_cast<size_t>(height));
    for (int frame = 0; frame < 40; ++frame) {
      SCOPED_TRACE(testing::Message() << "frame " << frame << ", tick " << tick);
      if (frame > 0 && random() % 4 == 0) ChangeSettings(random, record);
      twins.Draw(record, tick);
      tick += static_cast<uint32_t>(random() % 3 == 0 ? 0 : random() % 400);  // now and then the same moment
      const ChangeList& changes = FrameChanges(s.spanTables);
      ShownBand bands[maxShownBands];
      const int32_t count = UpdateShownFrame(shown, s.framePixels, s.frameStride, changes, bands);
      bool changed = false;
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t now = At(s, x, y);
          ASSERT_EQ(now, At(twins.Whole(), x, y)) << "differs from the whole frame at row " << y << ", column " << x;
          ASSERT_EQ(shown.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)],
                    shown.colourOf[now])
              << "the copy does not show row " << y << ", column " << x;
          if (frame == 0 || now == last[static_cast<size_t>(y) * static_cast<size_t>(s.frameStride) + x]) continue;
          changed = true;
          ASSERT_TRUE(Listed(changes, y, x)) << "a change at row " << y << ", column " << x << " is not listed";
          ASSERT_TRUE(InBand(bands, count, x, height - 1 - y)) << "row " << y << ", column " << x << " is not sent";
        }
      ASSERT_EQ(std::memcmp(s.framePixels, twins.Whole().framePixels, last.size()), 0) << "the row padding differs";
      if (frame > 0) {
        EXPECT_EQ(count > 0, changed) << "a frame that changes nothing sends nothing";
      }
      std::memcpy(last.data(), s.framePixels, last.size());
    }
    FreeShownFrame(shown);
  }
}

}  // namespace
