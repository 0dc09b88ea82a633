// x11_frame_image.cpp - converting frames to the visual's pixels and sending them.
#include "x11/x11_frame_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

uint32_t PlaceChannel(uint8_t value, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
  const uint32_t scaled = bits <= 8 ? value >> (8 - bits) : static_cast<uint32_t>(value) << (bits - 8);
  return static_cast<uint32_t>((static_cast<unsigned long>(scaled) << shift) & mask);
}

namespace {

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
  XImage* image =
      XShmCreateImage(display, target.visual, static_cast<unsigned>(target.depth), ZPixmap, nullptr, &frame.shm,
                      static_cast<unsigned>(target.width), static_cast<unsigned>(target.height));
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
  shmctl(frame.shm.shmid, IPC_RMID, nullptr);      // freed once both sides detach, even after a crash
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

}  // namespace

bool CreateFrameImage(const X11Target& target, const PaletteEntry palette[256], FrameImage& frame, std::string& error) {
  if (!CreateSharedImage(target, frame) && !CreatePlainImage(target, frame)) {
    error = "cannot make an image of " + std::to_string(target.width) + " x " + std::to_string(target.height);
    return false;
  }
  // Rows of whole 32-bit pixels, nothing between them, are the layout
  // ShownFrame writes; other images are packed from its pixels.
  const int bits = frame.image->bits_per_pixel;
  const bool direct = bits == 32 && frame.image->bytes_per_line == 4 * target.width;
  if (!direct && bits != 16 && bits != 24) {
    error = "the visual's images have " + std::to_string(bits) + " bits a pixel; vimbrel needs 16, 24 or 32";
    DestroyFrameImage(target.display, frame);
    return false;
  }
  if (!direct)
    frame.staging = static_cast<uint32_t*>(
        std::malloc(static_cast<size_t>(target.width) * static_cast<size_t>(target.height) * sizeof(uint32_t)));
  uint32_t pixelOf[256];
  BuildPixelTable(target, palette, pixelOf);
  if ((!direct && frame.staging == nullptr) ||
      !CreateShownFrameInto(frame.shown, target.width, target.height, pixelOf,
                            direct ? reinterpret_cast<uint32_t*>(frame.image->data) : frame.staging)) {
    error = "out of memory for a frame of " + std::to_string(target.width) + " x " + std::to_string(target.height);
    DestroyFrameImage(target.display, frame);
    return false;
  }
  frame.gc = XCreateGC(target.display, target.window, 0, nullptr);
  return true;
}

void DestroyFrameImage(Display* display, FrameImage& frame) {
  frame.shown = {};
  std::free(frame.staging);
  frame.staging = nullptr;
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

namespace {

void PutRectangle(const X11Target& target, const FrameImage& frame, int32_t left, int32_t top, int32_t right,
                  int32_t bottom) {
  left = std::max(left, 0), top = std::max(top, 0);
  right = std::min(right, target.width), bottom = std::min(bottom, target.height);
  if (frame.image == nullptr || left >= right || top >= bottom) return;
  const auto w = static_cast<unsigned>(right - left), h = static_cast<unsigned>(bottom - top);
  if (frame.sharedMemory)
    XShmPutImage(target.display, target.window, frame.gc, frame.image, left, top, left, top, w, h, False);
  else
    XPutImage(target.display, target.window, frame.gc, frame.image, left, top, left, top, w, h);
}

// Packs a band of the staged 32-bit values into an image of 16 or 24 bits
// a pixel, in the image's byte order (the host's: see CreateFrameImage).
void PackBand(const FrameImage& frame, const ShownBand& band) {
  XImage* image = frame.image;
  const int32_t width = frame.shown.width;
  for (int32_t y = band.top; y < band.bottom; ++y) {
    const uint32_t* from = frame.staging + static_cast<size_t>(y) * static_cast<size_t>(width);
    char* row = image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line);
    if (image->bits_per_pixel == 16) {
      for (int32_t x = band.left; x < band.right; ++x) {
        const auto value = static_cast<uint16_t>(from[x]);
        std::memcpy(row + 2 * x, &value, 2);
      }
    } else {
      for (int32_t x = band.left; x < band.right; ++x) XPutPixel(image, x, y, from[x]);
    }
  }
}

}  // namespace

void PutFrame(const X11Target& target, const uint8_t* pixels, int32_t stride, const ChangeList& changes,
              FrameImage& frame) {
  ShownBand bands[maxShownBands];
  const int32_t count = UpdateShownFrame(frame.shown, pixels, stride, changes, bands);
  for (int32_t i = 0; i < count; ++i) {
    if (frame.staging != nullptr) PackBand(frame, bands[i]);
    PutRectangle(target, frame, bands[i].left, bands[i].top, bands[i].right, bands[i].bottom);
  }
}

void PutExposed(const X11Target& target, const FrameImage& frame, int32_t x, int32_t y, int32_t width, int32_t height) {
  PutRectangle(target, frame, x, y, x + width, y + height);
}
