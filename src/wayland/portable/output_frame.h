// output_frame.h - one output's scene and the pixels it shows, Wayland-free.
//
// An OutputFrame is what vimbrel-wayland draws for one output: the scene
// laid out at the output's size in pixels and the two buffers it is shown
// through, taking turns (0x00RRGGBB, top row first, as a wl_shm XRGB8888
// buffer holds it). Each frame converts only what changed (ShownFrame)
// straight into the buffer about to be shown, after bringing that buffer
// up to the last frame by copying from the other one the column ranges the
// frames since it was last written changed (their change lists; for
// buffers that alternate, the last frame's). An output too large for the
// scene's memory (16384 pixels wide and more) or one the scene cannot be
// laid out at is black(): the shell shows one black pixel stretched over
// it, never a crash.
//
//   OutputFrame frame(pictures);
//   if (!OutputFrame::Fits(width, height)) ...                      // black
//   frame.Lay(width, height, buffers);                               // false: black
//   int32_t n = frame.Draw(settings, tick, which, bands);            // buffer `which` holds the frame
#pragma once

#include <cstdint>

#include "core/image/change_list.h"
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

  // Whether a scene is laid out at that size at all.
  static bool Fits(int32_t width, int32_t height);
  // Lays the scene out at width x height pixels over two buffers of as many
  // pixels, rows of whole pixels (the caller's, which outlive the layout);
  // false (black, nothing allocated) when it does not fit or cannot be made.
  bool Lay(int32_t width, int32_t height, uint32_t* const buffers[2]);
  bool black() const { return black_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Composes the frame at tick into buffer `which` (0 or 1), which then
  // holds the whole frame; returns the count of bands that changed since
  // the last frame (0: none), which is all the surface needs damaged. A
  // black frame has no bands.
  int32_t Draw(const SettingsRecord& settings, uint32_t tick, int which, ShownBand bands[maxShownBands]);

 private:
  void Release();
  void CatchUp(int which);

  const CommittedPictures& pictures_;
  Scene scene_{};
  ShownFrame shown_{};
  uint32_t* buffers_[2] = {nullptr, nullptr};
  int32_t width_ = 0, height_ = 0;
  bool black_ = false;
  int last_ = -1;               // the buffer holding the last frame; -1: none drawn
  ChangeList stale_[2];  // what each buffer lacks of the last frame, rows bottom first
  bool wholeStale_[2] = {true, true};
};
