// Drawing frames allocates nothing once the scene is built. This program's
// malloc family is interposed and counted (operator new goes through
// malloc); under a sanitizer, which owns malloc, the test is skipped.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "committed_scene.h"
#include "scene/scene_clock.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIMBREL_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VIMBREL_SANITIZED_ALLOCATOR 1
#endif

namespace {
std::atomic<uint64_t> allocations{0};
}  // namespace

#if !defined(VIMBREL_SANITIZED_ALLOCATOR)
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* malloc(size_t size) { return ++allocations, __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return ++allocations, __libc_calloc(count, size); }
void* realloc(void* block, size_t size) { return ++allocations, __libc_realloc(block, size); }
}
#endif

namespace {

// Through a pointer the compiler cannot see through, so the allocation stays.
void* (*volatile allocateBlock)(size_t) = std::malloc;

// Frames at two sizes with every layer on, across the tick count's sign
// change and wrap; a counter that sees nothing proves nothing, so a plain
// allocation is counted first.
TEST(FrameAllocation, FramesAllocateNothingAfterInitialisation) {
#if defined(VIMBREL_SANITIZED_ALLOCATOR)
  GTEST_SKIP() << "the sanitizer owns malloc";
#endif
  const uint64_t start = allocations;
  void* block = allocateBlock(24);
  const uint64_t seen = allocations - start;
  std::free(block);
  ASSERT_EQ(seen, 1u) << "the counter does not see malloc";
  for (const auto& size : {std::pair<int32_t, int32_t>{640, 480}, {37, 29}}) {
    ASSERT_EQ(SetUpCommittedScene(size.first, size.second), SceneInitResult::ok);
    SceneSettings.showGrid = SceneSettings.showPalette = 1;
    const uint64_t before = allocations;
    for (uint32_t tick : {0u, 0x7fffff00u, 0xffffff00u})
      for (uint32_t step = 0; step < 25; ++step) {
        fixedSceneTick = tick + step * 20;
        DrawSceneFrame();
      }
    EXPECT_EQ(allocations - before, 0u) << size.first << " x " << size.second;
  }
  ResetSceneState();
}

}  // namespace
