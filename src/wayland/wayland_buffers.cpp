// wayland_buffers.cpp - the shared memory behind an output's buffers.
#include "wayland/wayland_buffers.h"

#include <sys/mman.h>
#include <unistd.h>

bool MakeShmBuffers(wl_shm* shm, int32_t width, int32_t height, int count, ShmBuffers& buffers, std::string& error) {
  buffers = ShmBuffers{};
  const size_t stride = static_cast<size_t>(width) * 4, bytes = stride * static_cast<size_t>(height);
  const size_t total = bytes * static_cast<size_t>(count);
  error = "cannot make the buffers of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width <= 0 || height <= 0 || total > INT32_MAX) return false;  // a pool's size is an int32
  const int file = memfd_create("vimbrel-wayland", MFD_CLOEXEC);
  if (file < 0) return false;
  if (ftruncate(file, static_cast<off_t>(total)) != 0) {
    close(file);
    return false;
  }
  void* mapping = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
  if (mapping == MAP_FAILED) {
    close(file);
    return false;
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm, file, static_cast<int32_t>(total));
  close(file);  // the compositor has its own
  buffers.mapping = mapping, buffers.mappedBytes = total;
  buffers.width = width, buffers.height = height, buffers.stride = static_cast<int32_t>(stride);
  for (int i = 0; i < count; ++i) {
    buffers.buffers[i] = wl_shm_pool_create_buffer(pool, static_cast<int32_t>(bytes * static_cast<size_t>(i)), width,
                                                   height, buffers.stride, WL_SHM_FORMAT_XRGB8888);
    buffers.pixels[i] = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(mapping) + bytes * static_cast<size_t>(i));
  }
  wl_shm_pool_destroy(pool);  // the buffers keep it
  error.clear();
  return true;
}

ShmBuffers::~ShmBuffers() { Release(); }

void ShmBuffers::Release() {
  for (wl_buffer* buffer : buffers)
    if (buffer != nullptr) wl_buffer_destroy(buffer);
  if (mapping != nullptr) munmap(mapping, mappedBytes);
}

ShmBuffers& ShmBuffers::operator=(ShmBuffers&& other) noexcept {
  if (this == &other) return *this;
  Release();
  for (int i = 0; i < 2; ++i)
    buffers[i] = std::exchange(other.buffers[i], nullptr), pixels[i] = std::exchange(other.pixels[i], nullptr);
  width = std::exchange(other.width, 0), height = std::exchange(other.height, 0);
  stride = std::exchange(other.stride, 0);
  mapping = std::exchange(other.mapping, nullptr), mappedBytes = std::exchange(other.mappedBytes, 0);
  return *this;
}
