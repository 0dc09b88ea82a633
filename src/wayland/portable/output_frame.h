// output_frame.h - one output's scene and the pixels it shows, Wayland-free.
//
// An OutputFrame is what vimbrel-wayland draws for one output: the scene
// laid out at the output's size in pixels, the true-colour copy of its last
// frame (0x00RRGGBB, top row first, as a wl_shm XRGB8888 buffer holds it)
// and the bookkeeping of two buffers that take turns. Each frame converts
// only what changed (ShownFrame); a buffer is brought up to date by copying
// the bands that changed since it was last written, which for buffers that
// alternate is this frame's and the last's. An output too large for the
// scene's memory (16384 pixels wide and more) or one the scene cannot be
// laid out at gets a black frame instead: shown once, never a crash.
//
//   OutputFrame frame;
//   frame.Lay(width, height);                   // false: black
//   int32_t n = frame.Draw(settings, tick, bands);   // bands changed since the last frame
//   frame.CopyInto(buffer, 0, damage)           // buffer 0 or 1, its stale bands copied
#pragma once

#include <cstdint>
#include <vector>

#include "core/image/shown_frame.h"
#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"

// The largest output drawn with a scene: 8192 pixels each way and 8192 x
// 4608 pixels in all (four buffers' worth of a 8K display is 600 MB). A
// larger one is black.
constexpr int32_t maxSceneSide = 8192;
constexpr int64_t maxScenePixels = int64_t{8192} * 4608;

class OutputFrame {
 public:
  explicit OutputFrame(const CommittedPictures& pictures) : pictures_(pictures) {}
  ~OutputFrame();
  OutputFrame(const OutputFrame&) = delete;
  OutputFrame& operator=(const OutputFrame&) = delete;

  // Lays the scene out at width x height pixels; false (and a black frame
  // size, with nothing allocated) when it is too large or cannot be made.
  // Both buffers are then stale.
  bool Lay(int32_t width, int32_t height);
  bool black() const { return black_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Composes the frame at tick and brings the copy up to it; returns the
  // count of bands that changed (0: none) and marks them stale in both
  // buffers. A black frame has no bands.
  int32_t Draw(const SettingsRecord& settings, uint32_t tick, ShownBand bands[maxShownBands]);

  // Writes into buffer `which` (width x height pixels, top row first,
  // `stride` bytes a row) what changed since it was last written.
  void CopyInto(int which, uint32_t* buffer, int32_t stride);

 private:
  void Release();
  void MarkStale(const ShownBand* bands, int32_t count);

  const CommittedPictures& pictures_;
  Scene scene_{};
  ShownFrame shown_{};
  std::vector<uint32_t> pixels_;  // the copy's colours, top row first
  int32_t width_ = 0, height_ = 0;
  bool black_ = false;
  std::vector<ShownBand> stale_[2];  // what each buffer lacks
  bool wholeStale_[2] = {true, true};
};
