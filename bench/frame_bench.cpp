// frame_bench.cpp - vimbrel-bench: what one frame and the scene's start cost.
//
// Every figure is set beside the display path, timed in the same benchmark
// and the same loop: what every frame goes through on its way to a
// true-colour screen anyway, a plain conversion of the 8-bit frame to 32-bit
// pixels through the scene palette and a copy of the result. The counter
// "x_display" (time / display-path time) compares across machines far
// better than milliseconds. A frame is DrawSceneFrame with the default
// settings at a run of ticks across the objects' laps, and once more with
// the grid and the palette strip on, each composed whole, as a first frame
// is; initialisation is MakeScene from the committed pictures. An update is
// what a running program does per frame: at each of those ticks, the frame
// 100 ms after the one drawn and shown last, composed from the last one's
// change list, and the true-colour copy brought up to date from the new
// change list; "changed" is the share of the frame's pixels in that list.
// The core is built with the products' flags.
//
//   build/native/vimbrel-bench                       all of it
//   build/native/vimbrel-bench --benchmark_filter=Frame/width:3840
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "core/image/shown_frame.h"
#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// A scene of the committed pictures, released with the benchmark run.
struct BenchScene {
  CommittedPictures pictures = LoadCommittedPictures();
  Scene scene;
  bool Make(int32_t width, int32_t height) {
    return MakeCommittedScene(scene, pictures, width, height) == SceneInitResult::ok;
  }
};

// Ticks spread over more than a lap of every clock, so that the solids are
// timed in many poses and at many sizes of shadow.
constexpr int tickCount = 16;
uint32_t TickAt(int64_t iteration) { return static_cast<uint32_t>(iteration % tickCount) * 7919u; }

// The display path: each row's pixels through the scene palette to 32-bit
// pixels (0x00RRGGBB), one table read per pixel, then a copy of the result,
// as a blit of a 32-bit picture would read it.
class DisplayPath {
 public:
  double Time(const Scene& scene) {
    Prepare(scene);
    const Clock::time_point start = Clock::now();
    const auto width = static_cast<size_t>(scene.frameWidth);
    for (int32_t y = 0; y < scene.frameHeight; ++y) {
      const uint8_t* in = scene.framePixels + static_cast<size_t>(y) * static_cast<size_t>(scene.frameStride);
      uint32_t* out = converted_.data() + static_cast<size_t>(y) * width;
      for (size_t x = 0; x < width; ++x) out[x] = colours_[in[x]];
    }
    std::memcpy(copied_.data(), converted_.data(), converted_.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(copied_.data());
    benchmark::ClobberMemory();
    return Seconds(start, Clock::now());
  }

 private:
  void Prepare(const Scene& scene) {
    const size_t pixels = static_cast<size_t>(scene.frameWidth) * static_cast<size_t>(scene.frameHeight);
    if (converted_.size() != pixels) {
      converted_.assign(pixels, 0);
      copied_.assign(pixels, 0);
    }
    for (int i = 0; i < 256; ++i) {
      const PaletteEntry& e = scene.palette.entries[i];
      colours_[i] = (uint32_t{e.red} << 16) | (uint32_t{e.green} << 8) | e.blue;
    }
  }

  uint32_t colours_[256] = {};
  std::vector<uint32_t> converted_, copied_;
};

void ReportAgainstDisplay(benchmark::State& state, double measured, double displayed) {
  const double n = static_cast<double>(state.iterations());
  state.counters["display_ms"] = displayed / n * 1e3;
  state.counters["x_display"] = displayed > 0 ? measured / displayed : 0;
}

// Args: width, height, overlays (0 or 1).
void BM_Frame(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  BenchScene bench;
  if (!bench.Make(width, height)) {
    state.SkipWithError("the scene cannot be built (are the committed pictures built in?)");
    return;
  }
  SettingsRecord settings = DefaultSettings();
  settings.showGrid = settings.showPalette = static_cast<int32_t>(state.range(2));
  DisplayPath displayPath;
  double drawn = 0, displayed = 0;
  int64_t iteration = 0;
  for (auto _ : state) {
    const uint32_t tick = TickAt(iteration++);
    ForgetDrawnSpans(bench.scene.drawnSpans);  // composed whole
    const Clock::time_point start = Clock::now();
    DrawSceneFrame(bench.scene, settings, tick);
    benchmark::ClobberMemory();
    const double seconds = Seconds(start, Clock::now());
    drawn += seconds;
    state.SetIterationTime(seconds);
    displayed += displayPath.Time(bench.scene);  // the frame just drawn
  }
  ReportAgainstDisplay(state, drawn, displayed);
}

// The pixels of a change list.
double ListedPixels(const ChangeList& list, int32_t width, int32_t height) {
  if (list.everything) return static_cast<double>(width) * height;
  double pixels = 0;
  for (int32_t y = std::max(list.low, 0); y <= std::min(list.high, height - 1); ++y)
    for (int k = 0; k < list.rows[y].count; ++k) pixels += list.rows[y].ranges[k].end - list.rows[y].ranges[k].left;
  return pixels;
}

// Args: width, height, overlays (0 or 1).
void BM_Update(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  BenchScene bench;
  ShownFrame shown{};
  if (!bench.Make(width, height) || !CreateShownFrame(shown, width, height, bench.scene.palette.entries)) {
    state.SkipWithError("the scene cannot be built (are the committed pictures built in?)");
    return;
  }
  const Scene& scene = bench.scene;
  SettingsRecord settings = DefaultSettings();
  settings.showGrid = settings.showPalette = static_cast<int32_t>(state.range(2));
  constexpr uint32_t frameApart = 100;  // ms
  DisplayPath displayPath;
  ShownBand bands[maxShownBands];
  double updated = 0, displayed = 0, listed = 0;
  int64_t iteration = 0;
  for (auto _ : state) {
    const uint32_t tick = TickAt(iteration++);
    DrawSceneFrame(bench.scene, settings, tick - frameApart);  // the frame before, shown
    UpdateShownFrame(shown, scene.framePixels, scene.frameStride, SceneFrameChanges(scene), bands);
    const Clock::time_point start = Clock::now();
    DrawSceneFrame(bench.scene, settings, tick);
    const int32_t count =
        UpdateShownFrame(shown, scene.framePixels, scene.frameStride, SceneFrameChanges(scene), bands);
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
    const double seconds = Seconds(start, Clock::now());
    updated += seconds;
    state.SetIterationTime(seconds);
    listed += ListedPixels(SceneFrameChanges(scene), width, height);
    displayed += displayPath.Time(scene);  // the frame just drawn
  }
  ReportAgainstDisplay(state, updated, displayed);
  state.counters["changed"] = listed / static_cast<double>(state.iterations()) / (static_cast<double>(width) * height);
}

// Args: width, height. Each iteration builds the whole scene from the
// picture bytes: decode, scale, palette, remap, mask, frame and tables.
void BM_Initialise(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  BenchScene bench;
  DisplayPath displayPath;
  double built = 0, displayed = 0;
  for (auto _ : state) {
    bench.scene = {};
    const Clock::time_point start = Clock::now();
    const bool made = bench.Make(width, height);
    const double seconds = Seconds(start, Clock::now());
    if (!made) {
      state.SkipWithError("the scene cannot be built (are the committed pictures built in?)");
      return;
    }
    built += seconds;
    state.SetIterationTime(seconds);
    displayed += displayPath.Time(bench.scene);
  }
  ReportAgainstDisplay(state, built, displayed);
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
BENCHMARK(BM_Update)->Apply(FrameSizes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Initialise)->Apply(InitialiseSizes)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
