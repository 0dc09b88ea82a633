// The core's resource holders own their blocks alone: none can be copied,
// each moves without throwing, and a moved scene or copy carries its frame
// along and leaves an empty one that draws and shows nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <utility>

#include "core/image/shown_frame.h"
#include "scene/test_scene.h"

namespace {

template <typename T>
constexpr bool ownsAlone = !std::is_copy_constructible_v<T> && !std::is_copy_assignable_v<T> &&
                           std::is_nothrow_move_constructible_v<T> && std::is_nothrow_move_assignable_v<T>;
static_assert(ownsAlone<Scene>);
static_assert(ownsAlone<SpanTables>);
static_assert(ownsAlone<DrawnSpans>);
static_assert(ownsAlone<KeptShadows>);
static_assert(ownsAlone<ChangeList>);
static_assert(ownsAlone<ShownFrame>);
static_assert(ownsAlone<IndexedImage>);

TEST(Ownership, AMovedSceneAndCopyGoOnFromTheFrameTheyHeld) {
  TestScene left, right;
  ASSERT_EQ(left.Make(96, 64), SceneInitResult::ok);
  ASSERT_EQ(right.Make(96, 64), SceneInitResult::ok);
  const SettingsRecord settings = DefaultSettings();
  ShownFrame leftShown{}, rightShown{};
  ASSERT_TRUE(CreateShownFrame(leftShown, 96, 64, left.scene.palette.entries));
  ASSERT_TRUE(CreateShownFrame(rightShown, 96, 64, right.scene.palette.entries));
  ShownBand bands[maxShownBands];
  for (TestScene* t : {&left, &right}) DrawSceneFrame(t->scene, settings, 1000);
  UpdateShownFrame(leftShown, left.scene.framePixels, left.scene.frameStride, SceneFrameChanges(left.scene), bands);
  UpdateShownFrame(rightShown, right.scene.framePixels, right.scene.frameStride, SceneFrameChanges(right.scene), bands);

  Scene moved = std::move(left.scene);
  ShownFrame movedShown = std::move(leftShown);
  EXPECT_FALSE(SceneReady(left.scene));
  EXPECT_EQ(left.scene.framePixels, nullptr);
  EXPECT_EQ(leftShown.pixels, nullptr);
  DrawSceneFrame(left.scene, settings, 1500);  // nothing to draw into
  EXPECT_EQ(UpdateShownFrame(leftShown, nullptr, 96, SceneFrameChanges(left.scene), bands), 0);

  // The next frame follows on from the change list the moved scene kept.
  DrawSceneFrame(moved, settings, 1500);
  DrawSceneFrame(right.scene, settings, 1500);
  EXPECT_FALSE(SceneFrameChanges(moved).everything);
  EXPECT_EQ(std::memcmp(moved.framePixels, right.scene.framePixels, right.FrameByteCount()), 0);
  const int32_t count =
      UpdateShownFrame(movedShown, moved.framePixels, moved.frameStride, SceneFrameChanges(moved), bands);
  EXPECT_GT(count, 0);
  UpdateShownFrame(rightShown, right.scene.framePixels, right.scene.frameStride, SceneFrameChanges(right.scene), bands);
  EXPECT_EQ(std::memcmp(movedShown.pixels, rightShown.pixels, 96 * 64 * sizeof(uint32_t)), 0);
}

}  // namespace
