// Drawing frames allocates nothing once the scene is built.
//
// Every heap allocation of the test program is counted. In a plain build
// this file interposes malloc, calloc and realloc (operator new in the C++
// library goes through malloc, so it is counted too) and forwards them to
// the C library's own. Under AddressSanitizer, which owns malloc, the
// sanitizer's allocation hook counts instead. The counters only count; they
// change nothing for the other tests in this program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "committed_scene.h"
#include "scene/scene_clock.h"
#include "scene/settings_record.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIMBREL_ASAN 1
#endif
#if __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define VIMBREL_OTHER_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(VIMBREL_ASAN)
#define VIMBREL_ASAN 1
#endif

namespace {
std::atomic<uint64_t> allocationCount{0};
}  // namespace

#if defined(VIMBREL_ASAN)
#include <sanitizer/allocator_interface.h>

namespace {
void CountMalloc(const volatile void*, size_t) { allocationCount.fetch_add(1, std::memory_order_relaxed); }
void IgnoreFree(const volatile void*) {}
bool CountingInstalled() {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree) != 0;
  return installed;
}
}  // namespace

#elif !defined(VIMBREL_OTHER_ALLOCATOR)

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);

void* malloc(size_t size) {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(block, size);
}
}

namespace {
bool CountingInstalled() { return true; }
}  // namespace

#else

namespace {
bool CountingInstalled() { return false; }
}  // namespace

#endif

namespace {

uint64_t Allocations() { return allocationCount.load(std::memory_order_relaxed); }

// Allocations through pointers the compiler cannot see through, so that it
// cannot drop them.
void* (*volatile allocateBlock)(size_t) = std::malloc;
void (*volatile freeBlock)(void*) = std::free;

class FrameAllocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CountingInstalled()) GTEST_SKIP() << "allocations cannot be counted under this sanitizer";
  }
  void TearDown() override { ResetSceneState(); }
};

TEST_F(FrameAllocationTest, TheCounterSeesMallocAndNew) {
  const uint64_t before = Allocations();
  freeBlock(allocateBlock(24));
  int* volatile number = new int(7);
  delete number;
  EXPECT_GE(Allocations() - before, 2u);
}

// Hundreds of frames at two sizes, every layer on and off, running and
// frozen clocks, the clock's sign change and wrap and a record of extremes.
TEST_F(FrameAllocationTest, FramesAllocateNothingAfterInitialisation) {
  void (*const variants[])(SettingsRecord&) = {
      [](SettingsRecord&) {},
      [](SettingsRecord& s) { s.showGrid = s.showPalette = 1; },
      [](SettingsRecord& s) { s.showShadows = 0; },
      [](SettingsRecord& s) { s.pyramidTurn = s.pyramidJourney = s.dodecaTurn = s.dodecaJourney = 0; },
      [](SettingsRecord& s) {
        for (const SettingsField& field : settingsFields) s.*field.member = INT32_MIN;
      },
  };
  for (const auto& size : {std::pair<int32_t, int32_t>{640, 480}, {37, 29}}) {
    ASSERT_EQ(SetUpCommittedScene(size.first, size.second), SceneInitResult::ok);
    uint64_t duringFrames = 0;
    for (auto variant : variants) {
      SetDefaultSettings();
      variant(SceneSettings);
      for (uint32_t tick : {0u, 0x7fffff00u, 0xffffff00u}) {
        for (uint32_t step = 0; step < 25; ++step) {
          fixedSceneTick = tick + step * 20;  // across 2^31 and 2^32 on the way
          const uint64_t before = Allocations();
          DrawSceneFrame();
          duringFrames += Allocations() - before;
        }
      }
    }
    EXPECT_EQ(duringFrames, 0u) << size.first << " x " << size.second;
  }
}

}  // namespace
