// output_frame.cpp - an output's scene shown through two buffers that take turns.
#include "wayland/portable/output_frame.h"

#include <cstring>

namespace {

// Past this many stale bands a buffer is copied whole: the copy is cheaper than the list.
constexpr size_t maxStaleBands = 4 * maxShownBands;

}  // namespace

OutputFrame::~OutputFrame() { Release(); }

void OutputFrame::Release() {
  shown_ = ShownFrame{};
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
  stale_[0].clear(), stale_[1].clear();
  black_ = true;  // until everything below is made
  if (!Fits(width, height) || buffers[0] == nullptr || buffers[1] == nullptr) return false;
  if (MakeCommittedScene(scene_, pictures_, width, height) != SceneInitResult::ok) return Release(), false;
  uint32_t colourOf[256];
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = scene_.palette.entries[i];
    colourOf[i] = static_cast<uint32_t>(entry.red) << 16 | static_cast<uint32_t>(entry.green) << 8 | entry.blue;
  }
  if (!CreateShownFrameInto(shown_, width, height, colourOf, buffers[0])) return Release(), false;
  black_ = false;
  return true;
}

// Brings buffer `which` to the last frame from the buffer that holds it.
void OutputFrame::CatchUp(int which) {
  if (last_ < 0 || last_ == which) return;
  const uint32_t* from = buffers_[last_];
  uint32_t* to = buffers_[which];
  const size_t rowPixels = static_cast<size_t>(width_);
  if (wholeStale_[which]) {
    std::memcpy(to, from, rowPixels * static_cast<size_t>(height_) * sizeof(uint32_t));
  } else {
    for (const ShownBand& band : stale_[which])
      for (int32_t y = band.top; y < band.bottom; ++y) {
        const size_t at = static_cast<size_t>(y) * rowPixels + static_cast<size_t>(band.left);
        std::memcpy(to + at, from + at, static_cast<size_t>(band.right - band.left) * sizeof(uint32_t));
      }
  }
  wholeStale_[which] = false;
  stale_[which].clear();
}

int32_t OutputFrame::Draw(const SettingsRecord& settings, uint32_t tick, int which, ShownBand bands[maxShownBands]) {
  if (black_) return 0;
  CatchUp(which);
  DrawSceneFrame(scene_, settings, tick);
  // The copy's colours are this buffer's: what differs from the last frame is written into it.
  shown_.pixels = buffers_[which];
  const int32_t count = UpdateShownFrame(shown_, scene_.framePixels, scene_.frameStride, SceneFrameChanges(scene_),
                                         bands);
  last_ = which;
  std::vector<ShownBand>& other = stale_[1 - which];
  if (!wholeStale_[1 - which]) {
    other.insert(other.end(), bands, bands + count);
    if (other.size() > maxStaleBands) wholeStale_[1 - which] = true, other.clear();
  }
  return count;
}
