// output_frame.cpp - an output's scene shown through two buffers that take turns.
#include "wayland/portable/output_frame.h"

#include <cstring>

OutputFrame::~OutputFrame() { Release(); }

void OutputFrame::Release() {
  shown_ = ShownFrame{};
  stale_[0] = ChangeList{};
  stale_[1] = ChangeList{};
  scene_ = Scene{};
}

bool OutputFrame::Fits(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= maxSceneSide && height <= maxSceneSide &&
         int64_t{width} * height <= maxScenePixels;
}

bool OutputFrame::Lay(int32_t width, int32_t height, uint32_t* const buffers[2]) {
  Release();
  width_ = width, height_ = height, last_ = -1;
  buffers_[0] = buffers[0], buffers_[1] = buffers[1];
  wholeStale_[0] = wholeStale_[1] = true;
  black_ = true;  // until everything below is made
  if (!Fits(width, height) || buffers[0] == nullptr || buffers[1] == nullptr) return false;
  if (MakeCommittedScene(scene_, pictures_, width, height) != SceneInitResult::ok) return Release(), false;
  uint32_t colourOf[256];
  XrgbColours(scene_.palette.entries, colourOf);
  if (!AllocateChangeList(stale_[0], height) || !AllocateChangeList(stale_[1], height) ||
      !CreateShownFrameInto(shown_, width, height, colourOf, buffers[0]))
    return Release(), false;
  black_ = false;
  return true;
}

// Brings buffer `which` to the last frame from the buffer that holds it.
void OutputFrame::CatchUp(int which) {
  if (last_ < 0 || last_ == which) return;
  const uint32_t* from = buffers_[last_];
  uint32_t* to = buffers_[which];
  const ChangeList& stale = stale_[which];
  if (wholeStale_[which] || stale.everything) {
    std::memcpy(to, from, static_cast<size_t>(width_) * static_cast<size_t>(height_) * sizeof(uint32_t));
  } else {
    for (int32_t row = stale.low < 0 ? 0 : stale.low; row <= stale.high && row < height_; ++row) {
      const ChangeRow& ranges = stale.rows[row];
      const size_t top = static_cast<size_t>(height_ - 1 - row) * static_cast<size_t>(width_);  // row 0: the bottom
      for (int k = 0; k < ranges.count; ++k)
        std::memcpy(to + top + static_cast<size_t>(ranges.ranges[k].left),
                    from + top + static_cast<size_t>(ranges.ranges[k].left),
                    static_cast<size_t>(ranges.ranges[k].end - ranges.ranges[k].left) * sizeof(uint32_t));
    }
  }
  wholeStale_[which] = false;
  ClearChangeList(stale_[which]);
}

int32_t OutputFrame::Draw(const SettingsRecord& settings, uint32_t tick, int which, ShownBand bands[maxShownBands]) {
  if (black_) return 0;
  CatchUp(which);
  DrawSceneFrame(scene_, settings, tick);
  // The copy's colours are this buffer's: what differs from the last frame is written into it.
  shown_.pixels = buffers_[which];
  const ChangeList& changes = SceneFrameChanges(scene_);
  const int32_t count = UpdateShownFrame(shown_, scene_.framePixels, scene_.frameStride, changes, bands);
  last_ = which;
  // The other buffer now lacks what this frame changed too.
  if (changes.everything || changes.height != height_) wholeStale_[1 - which] = true;
  else if (!wholeStale_[1 - which]) AddChanges(stale_[1 - which], changes);
  return count;
}
