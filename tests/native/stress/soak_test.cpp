// A long run of small frames: the resident memory of the process stays
// where it was after the first frames, whatever the clock reads. A million
// frames take a few seconds in a plain build; under the sanitizers, which
// make each frame about ten times slower, a twentieth of them are drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <unistd.h>

#include "committed_scene.h"
#include "scene/scene_clock.h"
#include "scene/settings_record.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define VIMBREL_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(VIMBREL_SANITIZED)
#define VIMBREL_SANITIZED 1
#endif

namespace {

#if defined(VIMBREL_SANITIZED)
constexpr uint32_t soakFrames = 50000;
#else
constexpr uint32_t soakFrames = 1000000;
#endif

// Resident set size in bytes, from /proc/self/statm; 0 when unreadable.
long ResidentBytes() {
  FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return 0;
  long size = 0, resident = 0;
  const int read = std::fscanf(file, "%ld %ld", &size, &resident);
  std::fclose(file);
  return read == 2 ? resident * sysconf(_SC_PAGESIZE) : 0;
}

TEST(SoakTest, SmallFramesKeepMemoryFlat) {
  ASSERT_EQ(SetUpCommittedScene(8, 8), SceneInitResult::ok);
  SceneSettings.showGrid = SceneSettings.showPalette = 1;
  // Ticks 4297 ms apart: the run passes the clock's change of sign and its wrap.
  auto draw = [](uint32_t first, uint32_t count) {
    for (uint32_t n = first; n < first + count; ++n) {
      fixedSceneTick = n * 4297u;
      DrawSceneFrame();
    }
  };
  draw(0, 1000);  // whatever a first frame touches is resident from here on
  const long before = ResidentBytes();
  ASSERT_GT(before, 0) << "/proc/self/statm cannot be read";
  draw(1000, soakFrames);
  const long growth = ResidentBytes() - before;
  EXPECT_LT(growth, 256 * 1024) << "resident memory grew by " << growth << " bytes over " << soakFrames << " frames";
  ResetSceneState();
}

}  // namespace
