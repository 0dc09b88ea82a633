// x11_frame_image.cpp - converting frames to the visual's pixels and sending them.
#include "x11/x11_frame_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// An 8-bit channel placed in a mask: its top bits, shifted to the mask.
uint32_t PlaceChannel(uint8_t value, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
  const uint32_t scaled = bits <= 8 ? value >> (8 - bits) : static_cast<uint32_t>(value) << (bits - 8);
  return static_cast<uint32_t>((static_cast<unsigned long>(scaled) << shift) & mask);
}

void BuildPixelTable(const X11Target& target, const PaletteEntry palette[256], uint32_t pixelOf[256]) {
  const Visual* visual = target.visual;
  const unsigned long colourBits = visual->red_mask | visual->green_mask | visual->blue_mask;
  // Bits of the depth outside the colour masks (alpha on a 32-bit visual) are
  // set, so that a compositing manager shows the frame opaque.
  const unsigned long depthBits = target.depth >= 32 ? 0xffffffffUL : (1UL << target.depth) - 1;
  const auto opaque = static_cast<uint32_t>(depthBits & ~colourBits);
  for (int i = 0; i < 256; ++i)
    pixelOf[i] = opaque | PlaceChannel(palette[i].red, visual->red_mask) |
                 PlaceChannel(palette[i].green, visual->green_mask) | PlaceChannel(palette[i].blue, visual->blue_mask);
}

bool HostIsLsbFirst() {
  const uint16_t probe = 1;
  uint8_t first;
  std::memcpy(&first, &probe, 1);
  return first == 1;
}

bool CreateSharedImage(const X11Target& target, FrameImage& frame) {
  Display* display = target.display;
  // The server reads the segment as it is: only where it reads our byte order.
  if (!XShmQueryExtension(display) || (ImageByteOrder(display) == LSBFirst) != HostIsLsbFirst()) return false;
  XImage* image = XShmCreateImage(display, target.visual, static_cast<unsigned>(target.depth), ZPixmap, nullptr,
                                  &frame.shm, static_cast<unsigned>(target.width),
                                  static_cast<unsigned>(target.height));
  if (image == nullptr) return false;
  const size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(target.height);
  frame.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (frame.shm.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  frame.shm.shmaddr = image->data = static_cast<char*>(shmat(frame.shm.shmid, nullptr, 0));
  frame.shm.readOnly = False;
  const bool attached = frame.shm.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &frame.shm) &&
                        TakeXError(display) == 0;  // a server on another machine refuses
  shmctl(frame.shm.shmid, IPC_RMID, nullptr);  // freed once both sides detach, even after a crash
  if (!attached) {
    if (frame.shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(frame.shm.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    return false;
  }
  frame.image = image;
  frame.sharedMemory = true;
  return true;
}

bool CreatePlainImage(const X11Target& target, FrameImage& frame) {
  const size_t bytes = static_cast<size_t>(target.width) * static_cast<size_t>(target.height) * 4;
  char* data = static_cast<char*>(std::malloc(bytes));
  if (data == nullptr) return false;
  frame.image = XCreateImage(target.display, target.visual, static_cast<unsigned>(target.depth), ZPixmap, 0, data,
                             static_cast<unsigned>(target.width), static_cast<unsigned>(target.height), 32, 0);
  if (frame.image == nullptr) {
    std::free(data);
    return false;
  }
  frame.image->byte_order = HostIsLsbFirst() ? LSBFirst : MSBFirst;  // Xlib swaps for the server
  return true;
}

bool SameEight(const uint8_t* a, const uint8_t* b) {
  uint64_t x, y;
  std::memcpy(&x, a, 8), std::memcpy(&y, b, 8);
  return x == y;
}

// One load for eight indices instead of eight.
void ConvertEight(const uint8_t* indices, const uint32_t pixelOf[256], uint32_t* out) {
  uint64_t eight;
  std::memcpy(&eight, indices, 8);
  constexpr bool lowByteFirst = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
  for (int i = 0; i < 8; ++i) out[i] = pixelOf[(eight >> (lowByteFirst ? 8 * i : 56 - 8 * i)) & 0xff];
}

// Converts the pixels of a row that differ from what is shown, eight at a
// time (most of a changed row is unchanged floor); returns the first and
// one past the last converted index, first == end when none.
void ConvertChanges(const uint8_t* now, const uint8_t* shown, int32_t width, const uint32_t pixelOf[256],
                    uint32_t* out, int32_t& first, int32_t& end) {
  first = width, end = 0;
  for (int32_t x = 0; x < width; x += 8) {
    const int32_t n = width - x < 8 ? width - x : 8;
    if (n == 8 ? SameEight(now + x, shown + x) : std::memcmp(now + x, shown + x, static_cast<size_t>(n)) == 0) continue;
    if (n == 8) {
      ConvertEight(now + x, pixelOf, out + x);
    } else {
      for (int32_t i = x; i < x + n; ++i) out[i] = pixelOf[now[i]];
    }
    if (first > x) first = x;
    end = x + n;
  }
}

}  // namespace

bool CreateFrameImage(const X11Target& target, const PaletteEntry palette[256], FrameImage& frame,
                      std::string& error) {
  BuildPixelTable(target, palette, frame.pixelOf);
  if (!CreateSharedImage(target, frame) && !CreatePlainImage(target, frame)) {
    error = "cannot make an image of " + std::to_string(target.width) + " x " + std::to_string(target.height);
    return false;
  }
  if (frame.image->bits_per_pixel != 32) {
    error = "the visual's images do not have 32 bits per pixel";
    DestroyFrameImage(target.display, frame);
    return false;
  }
  frame.gc = XCreateGC(target.display, target.window, 0, nullptr);
  frame.shown.assign(static_cast<size_t>(target.width) * static_cast<size_t>(target.height), 0);
  frame.wholeFrameStale = true;
  return true;
}

void DestroyFrameImage(Display* display, FrameImage& frame) {
  if (frame.gc != nullptr) XFreeGC(display, frame.gc);
  frame.gc = nullptr;
  if (frame.image == nullptr) return;
  if (frame.sharedMemory) {
    XShmDetach(display, &frame.shm);
    XSync(display, False);  // the server lets go before the memory does
    shmdt(frame.shm.shmaddr);
    frame.image->data = nullptr;
  }
  XDestroyImage(frame.image);
  frame.image = nullptr;
  frame.sharedMemory = false;
}

void PutFrame(const X11Target& target, const uint8_t* pixels, int32_t stride, FrameImage& frame) {
  const int32_t width = target.width, height = target.height;
  int32_t left = width, right = 0, top = height, bottom = 0;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* source = pixels + static_cast<size_t>(height - 1 - row) * static_cast<size_t>(stride);
    uint8_t* shown = frame.shown.data() + static_cast<size_t>(row) * static_cast<size_t>(width);
    auto* out = reinterpret_cast<uint32_t*>(frame.image->data + static_cast<size_t>(row) * frame.image->bytes_per_line);
    int32_t first = 0, end = width;
    if (frame.wholeFrameStale) {
      for (int32_t x = 0; x < width; ++x) out[x] = frame.pixelOf[source[x]];
    } else {
      if (std::memcmp(source, shown, static_cast<size_t>(width)) == 0) continue;
      ConvertChanges(source, shown, width, frame.pixelOf, out, first, end);
    }
    std::memcpy(shown + first, source + first, static_cast<size_t>(end - first));
    left = std::min(left, first), right = std::max(right, end);
    top = std::min(top, row), bottom = row + 1;
  }
  frame.wholeFrameStale = false;
  if (left >= right) return;
  const auto w = static_cast<unsigned>(right - left), h = static_cast<unsigned>(bottom - top);
  if (frame.sharedMemory)
    XShmPutImage(target.display, target.window, frame.gc, frame.image, left, top, left, top, w, h, False);
  else
    XPutImage(target.display, target.window, frame.gc, frame.image, left, top, left, top, w, h);
}
