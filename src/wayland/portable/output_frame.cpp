// output_frame.cpp - an output's scene, its true-colour copy and two buffers' stale bands.
#include "wayland/portable/output_frame.h"

#include <cstring>

namespace {

// Past this many stale bands a buffer is copied whole: the copy is cheaper than the list.
constexpr size_t maxStaleBands = 4 * maxShownBands;

}  // namespace

OutputFrame::~OutputFrame() { Release(); }

void OutputFrame::Release() {
  FreeShownFrame(shown_);
  FreeScene(scene_);
  std::vector<uint32_t>().swap(pixels_);
}

bool OutputFrame::Lay(int32_t width, int32_t height) {
  Release();
  width_ = width, height_ = height;
  wholeStale_[0] = wholeStale_[1] = true;
  stale_[0].clear(), stale_[1].clear();
  black_ = width <= 0 || height <= 0 || width > maxSceneSide || height > maxSceneSide ||
           int64_t{width} * height > maxScenePixels;
  if (black_) return false;
  black_ = true;  // until everything below is made
  if (MakeCommittedScene(scene_, pictures_, width, height) != SceneInitResult::ok) return Release(), false;
  uint32_t colourOf[256];
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = scene_.palette.entries[i];
    colourOf[i] = static_cast<uint32_t>(entry.red) << 16 | static_cast<uint32_t>(entry.green) << 8 | entry.blue;
  }
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  if (!CreateShownFrameInto(shown_, width, height, colourOf, pixels_.data())) return Release(), false;
  black_ = false;
  return true;
}

void OutputFrame::MarkStale(const ShownBand* bands, int32_t count) {
  for (int which = 0; which < 2; ++which) {
    if (wholeStale_[which]) continue;
    stale_[which].insert(stale_[which].end(), bands, bands + count);
    if (stale_[which].size() > maxStaleBands) wholeStale_[which] = true, stale_[which].clear();
  }
}

int32_t OutputFrame::Draw(const SettingsRecord& settings, uint32_t tick, ShownBand bands[maxShownBands]) {
  if (black_) return 0;
  DrawSceneFrame(scene_, settings, tick);
  const int32_t count = UpdateShownFrame(shown_, scene_.framePixels, scene_.frameStride, FrameChanges(scene_.spanTables),
                                         bands);
  MarkStale(bands, count);
  return count;
}

void OutputFrame::CopyInto(int which, uint32_t* buffer, int32_t stride) {
  if (black_) return;
  const size_t rowBytes = static_cast<size_t>(width_) * sizeof(uint32_t);
  auto copy = [&](const ShownBand& band) {
    const size_t left = static_cast<size_t>(band.left), bytes = static_cast<size_t>(band.right - band.left) * 4;
    for (int32_t y = band.top; y < band.bottom; ++y)
      std::memcpy(reinterpret_cast<uint8_t*>(buffer) + static_cast<size_t>(y) * static_cast<size_t>(stride) + left * 4,
                  pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_) + left, bytes);
  };
  if (wholeStale_[which]) {
    for (int32_t y = 0; y < height_; ++y)
      std::memcpy(reinterpret_cast<uint8_t*>(buffer) + static_cast<size_t>(y) * static_cast<size_t>(stride),
                  pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_), rowBytes);
  } else {
    for (const ShownBand& band : stale_[which]) copy(band);
  }
  wholeStale_[which] = false;
  stale_[which].clear();
}
