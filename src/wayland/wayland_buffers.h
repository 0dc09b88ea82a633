// wayland_buffers.h - an output's two wl_shm buffers, made once for a size.
//
// Both buffers live in one shared-memory file (memfd), XRGB8888, rows of
// whole pixels; they are made when a surface is laid out and reused for
// every frame, so drawing allocates nothing. A black buffer is one pixel,
// stretched over the surface by a viewport.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>
#include <utility>

// The buffers and their mapping go with the holder; it moves (leaving an
// empty holder) and is never copied. Assign {} to let them go early.
struct ShmBuffers {
  wl_buffer* buffers[2] = {nullptr, nullptr};
  uint32_t* pixels[2] = {nullptr, nullptr};
  int32_t width = 0, height = 0, stride = 0;
  void* mapping = nullptr;
  size_t mappedBytes = 0;

  ShmBuffers() = default;
  ~ShmBuffers();
  ShmBuffers(ShmBuffers&& other) noexcept { *this = std::move(other); }
  ShmBuffers& operator=(ShmBuffers&& other) noexcept;
  ShmBuffers(const ShmBuffers&) = delete;
  ShmBuffers& operator=(const ShmBuffers&) = delete;

 private:
  void Release();
};

// Makes `count` (1 or 2) buffers of width x height (letting those made
// before go); false with a one-line error when memory runs out. The caller
// adds each buffer's release listener.
bool MakeShmBuffers(wl_shm* shm, int32_t width, int32_t height, int count, ShmBuffers& buffers, std::string& error);
