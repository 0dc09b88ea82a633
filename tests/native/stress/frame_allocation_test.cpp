// Drawing frames and bringing the true-colour copy up to date from their
// change lists allocate nothing once the scene and the copy are made, and
// an allocation that fails while they are made fails them whole. This
// program's malloc family is interposed, counted and made to fail on
// demand (operator new goes through malloc); a sanitizer build, whose
// sanitizer owns malloc, leaves it out.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "core/image/shown_frame.h"
#include "scene/test_scene.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIMBREL_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VIMBREL_SANITIZED_ALLOCATOR 1
#endif

#if !defined(VIMBREL_SANITIZED_ALLOCATOR)

namespace {
std::atomic<uint64_t> allocations{0};
// The allocation that fails: the next failIn-th, counting from 0; -1: none.
std::atomic<int64_t> failIn{-1};

bool Fails() {
  ++allocations;
  if (failIn.load() < 0) return false;
  return failIn.fetch_sub(1) == 0;  // and none after it
}
}  // namespace

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* malloc(size_t size) { return Fails() ? nullptr : __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return Fails() ? nullptr : __libc_calloc(count, size); }
void* realloc(void* block, size_t size) { return Fails() ? nullptr : __libc_realloc(block, size); }
}

namespace {

// Through a pointer the compiler cannot see through, so the allocation stays.
void* (*volatile allocateBlock)(size_t) = std::malloc;

// Frames at two sizes with every layer on, the shadows now and then off,
// across the tick count's sign change and wrap, the first one whole and
// the rest from the change list; a counter that sees nothing proves
// nothing, so a plain allocation is counted first.
TEST(FrameAllocation, FramesAllocateNothingAfterInitialisation) {
  const uint64_t start = allocations;
  void* block = allocateBlock(24);
  const uint64_t seen = allocations - start;
  std::free(block);
  ASSERT_EQ(seen, 1u) << "the counter does not see malloc";
  for (const auto& size : {std::pair<int32_t, int32_t>{640, 480}, {37, 29}}) {
    TestScene t;
    ASSERT_EQ(t.Make(size.first, size.second), SceneInitResult::ok);
    SettingsRecord settings = DefaultSettings();
    settings.showGrid = settings.showPalette = 1;
    const Scene& scene = t.scene;
    ShownFrame shown{};
    ASSERT_TRUE(CreateShownFrame(shown, scene.frameWidth, scene.frameHeight, scene.palette.entries));
    ShownBand bands[maxShownBands];
    int32_t sent = 0;
    const uint64_t before = allocations;
    for (uint32_t tick : {0u, 0x7fffff00u, 0xffffff00u})
      for (uint32_t step = 0; step < 25; ++step) {
        StampSceneClocks(settings, tick + step * 20);
        settings.showShadows = step % 10 < 7;
        DrawSceneFrame(t.scene, settings, tick + step * 20);
        sent += UpdateShownFrame(shown, scene.framePixels, scene.frameStride, SceneFrameChanges(scene), bands);
      }
    EXPECT_EQ(allocations - before, 0u) << size.first << " x " << size.second;
    EXPECT_GT(sent, 1) << "the frames after the first changed nothing";
  }
}

// Each allocation of making a scene and its copy fails in turn: the scene
// or the copy fails whole (a picture whose blocks cannot be had reads as
// missing, the rest as out of memory), no exception leaves the core, and
// nothing made before is left half made; the next try makes everything.
TEST(FrameAllocation, AFailedAllocationFailsTheWholeSceneOrCopy) {
  TestScene t;
  ASSERT_EQ(t.Make(64, 48), SceneInitResult::ok);  // the pictures' bytes are read before anything fails
  int outOfMemory = 0;
  for (int64_t n = 0;; ++n) {
    ASSERT_LT(n, 1000) << "the allocations never end";
    ShownFrame shown{};
    failIn = n;
    const SceneInitResult result = t.Make(64, 48);
    const bool copied = result == SceneInitResult::ok &&
                        CreateShownFrame(shown, t.scene.frameWidth, t.scene.frameHeight, t.scene.palette.entries);
    const bool failed = failIn.exchange(-1) < 0;
    if (!failed) {
      EXPECT_EQ(result, SceneInitResult::ok);
      EXPECT_TRUE(copied);
      EXPECT_GT(outOfMemory, 10) << "the making allocates less than it did";
      break;
    }
    if (result != SceneInitResult::ok) {
      EXPECT_TRUE(result == SceneInitResult::outOfMemory || result == SceneInitResult::missingPicture) << n;
      outOfMemory += result == SceneInitResult::outOfMemory;
      EXPECT_FALSE(SceneReady(t.scene)) << n;
      EXPECT_EQ(t.scene.framePixels, nullptr) << n;
      DrawSceneFrame(t.scene, DefaultSettings(), 0);  // draws nothing
    } else {
      EXPECT_FALSE(copied) << n;
      EXPECT_EQ(shown.pixels, nullptr) << n;
    }
  }
}

}  // namespace

#endif
