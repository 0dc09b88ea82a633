// x11_frame_image.h - the 8-bit frame as pixels of a TrueColor window.
//
// The frame's palette indices become the visual's pixel values through a
// 256-entry table made from the scene palette, as the software palette path
// shows the scene on a true-colour display. The image is shared with the
// server (MIT-SHM) where it offers that, and sent with XPutImage otherwise.
// Only what changed since the last frame is converted and sent: the rows a
// frame touches, from the first to the last changed pixel.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image/scene_palette.h"
#include "x11/x11_window.h"

struct FrameImage {
  XImage* image = nullptr;
  XShmSegmentInfo shm{};
  bool sharedMemory = false;
  GC gc = nullptr;
  uint32_t pixelOf[256] = {};
  std::vector<uint8_t> shown;  // the indices on screen, in the frame's own layout
  bool wholeFrameStale = true;  // after creation or an exposure
};

// Makes the image for the target's current size and the table for palette.
bool CreateFrameImage(const X11Target& target, const PaletteEntry palette[256], FrameImage& frame,
                      std::string& error);
void DestroyFrameImage(Display* display, FrameImage& frame);

// Shows a frame of target.width x target.height indices, stored bottom row
// first with the given stride.
void PutFrame(const X11Target& target, const uint8_t* pixels, int32_t stride, FrameImage& frame);
