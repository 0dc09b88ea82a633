// What MakeScene refuses: a missing or unreadable picture, a size of
// nothing, a size no picture can be scaled to. Each says which, and leaves
// the scene empty (not ready to draw) even where a scene stood before, so
// that the caller's next try starts clean.
#include <gtest/gtest.h>

#include <tuple>

#include "core/image/indexed_image.h"
#include "scene/test_scene.h"

namespace {

TEST(MakeScene, RefusalsSayWhyAndLeaveTheSceneEmpty) {
  const std::vector<uint8_t> floor = CommittedPicture("floor.bmp"), face = CommittedPicture("face.bmp");
  const PictureBytes background{floor.data(), floor.size()}, pattern{face.data(), face.size()};
  const uint8_t junk[64] = {1, 2, 3};
  const PictureBytes none{nullptr, 0}, unreadable{junk, sizeof junk};
  // what, width, height, background, face pattern, result
  const std::tuple<const char*, int32_t, int32_t, PictureBytes, PictureBytes, SceneInitResult> cases[] = {
      {"no background", 64, 48, none, pattern, SceneInitResult::missingPicture},
      {"unreadable background", 64, 48, unreadable, pattern, SceneInitResult::missingPicture},
      {"no face pattern", 64, 48, background, none, SceneInitResult::missingPicture},
      {"unreadable face pattern", 64, 48, background, unreadable, SceneInitResult::missingPicture},
      {"no width", 0, 48, background, pattern, SceneInitResult::unusableSize},
      {"negative height", 64, -1, background, pattern, SceneInitResult::unusableSize},
      {"wider than any picture", maxImageSide + 1, 48, background, pattern, SceneInitResult::outOfMemory},
      {"more pixels than any picture", maxImageSide, maxImageSide, background, pattern, SceneInitResult::outOfMemory},
  };
  SoftwarePalette palette{};
  palette.display = TrueColourDisplay();
  for (const auto& [what, width, height, floorPicture, facePicture, result] : cases) {
    SCOPED_TRACE(what);
    TestScene t;
    ASSERT_EQ(t.Make(32, 24), SceneInitResult::ok);
    EXPECT_EQ(MakeScene(t.scene, width, height, floorPicture, facePicture, SoftwarePaletteBackend(palette)), result);
    EXPECT_FALSE(SceneReady(t.scene));
    EXPECT_EQ(t.scene.framePixels, nullptr);
    EXPECT_FALSE(ImageExists(t.scene.faceMaskImage));
  }
}

}  // namespace
