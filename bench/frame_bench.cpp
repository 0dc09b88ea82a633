// frame_bench.cpp - vimbrel-bench: what one frame and the scene's start cost.
//
// Every figure is set beside a plain memcpy of the frame buffer's size,
// timed in the same benchmark and the same loop, so that the counter
// "x_memcpy" (time / memcpy time) compares across machines. A frame is
// DrawSceneFrame with the default settings at a run of ticks across the
// objects' laps, and once more with the grid and the palette strip on;
// initialisation is InitialiseSceneCore from the committed pictures.
//
//   build/native/vimbrel-bench                       all of it
//   build/native/vimbrel-bench --benchmark_filter=Frame/3840
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "committed_pictures.h"
#include "scene/scene_clock.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

size_t FrameBytes() { return static_cast<size_t>(scene.frameStride) * static_cast<size_t>(scene.frameHeight); }

// The scene at this size, built when the size changes.
bool UseScene(int32_t width, int32_t height) {
  if (scene.framePixels != nullptr && scene.frameWidth == width && scene.frameHeight == height) return true;
  ResetSceneState();
  return InitialiseCommittedScene(width, height) == SceneInitResult::ok;
}

// Ticks spread over more than a lap of every clock, so that the solids are
// timed in many poses and at many sizes of shadow.
constexpr int tickCount = 16;
uint32_t TickAt(int64_t iteration) { return static_cast<uint32_t>(iteration % tickCount) * 7919u; }

// The copy the frame itself begins with, from the same buffers.
double TimeFrameBufferCopy() {
  const Clock::time_point start = Clock::now();
  std::memcpy(scene.framePixels, ImagePixels(scene.backgroundImage), FrameBytes());
  benchmark::ClobberMemory();
  return Seconds(start, Clock::now());
}

void ReportAgainstCopy(benchmark::State& state, double measured, double copied) {
  const double n = static_cast<double>(state.iterations());
  state.counters["memcpy_ms"] = copied / n * 1e3;
  state.counters["x_memcpy"] = copied > 0 ? measured / copied : 0;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FrameBytes()));
}

// Args: width, height, overlays (0 or 1).
void BM_Frame(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  if (!UseScene(width, height)) {
    state.SkipWithError("the scene cannot be built (are the committed pictures built in?)");
    return;
  }
  SetDefaultSettings();
  SceneSettings.showGrid = SceneSettings.showPalette = static_cast<int32_t>(state.range(2));
  double drawn = 0, copied = 0;
  int64_t iteration = 0;
  for (auto _ : state) {
    fixedSceneTick = TickAt(iteration++);
    copied += TimeFrameBufferCopy();
    const Clock::time_point start = Clock::now();
    DrawSceneFrame();
    benchmark::ClobberMemory();
    const double seconds = Seconds(start, Clock::now());
    drawn += seconds;
    state.SetIterationTime(seconds);
  }
  ReportAgainstCopy(state, drawn, copied);
}

// Args: width, height. Each iteration builds the whole scene from the
// picture bytes: decode, scale, palette, remap, mask, frame and tables.
void BM_Initialise(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  double built = 0, copied = 0;
  for (auto _ : state) {
    ResetSceneState();
    const Clock::time_point start = Clock::now();
    const SceneInitResult result = InitialiseCommittedScene(width, height);
    const double seconds = Seconds(start, Clock::now());
    if (result != SceneInitResult::ok) {
      state.SkipWithError("the scene cannot be built (are the committed pictures built in?)");
      return;
    }
    built += seconds;
    state.SetIterationTime(seconds);
    TimeFrameBufferCopy();  // the first copy maps the new frame's pages
    copied += TimeFrameBufferCopy();
  }
  ReportAgainstCopy(state, built, copied);
}

void FrameSizes(benchmark::internal::Benchmark* b) {
  for (int overlays = 0; overlays <= 1; ++overlays) {
    b->Args({1024, 768, overlays});
    b->Args({1920, 1080, overlays});
    b->Args({3840, 2160, overlays});
  }
  b->ArgNames({"width", "height", "overlays"});
}

void InitialiseSizes(benchmark::internal::Benchmark* b) {
  b->Args({1024, 768})->Args({1920, 1080})->Args({3840, 2160});
  b->ArgNames({"width", "height"});
}

BENCHMARK(BM_Frame)->Apply(FrameSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Initialise)->Apply(InitialiseSizes)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
