// x11_frame_image.h - the 8-bit frame as pixels of a TrueColor window.
//
// The frame's palette indices become the visual's pixel values through a
// 256-entry table made from the scene palette, as the software palette path
// shows the scene on a true-colour display. The image is shared with the
// server (MIT-SHM) where it offers that, and sent with XPutImage otherwise.
// Only the frame's change list is converted (ShownFrame, over the image's
// own pixels where they are 32 bits wide; otherwise over 32-bit pixel values
// beside the image, whose changed rectangles are then packed into it), and
// only rectangles covering what changed are sent.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <string>

#include "core/image/scene_palette.h"
#include "core/image/shown_frame.h"
#include "x11/x11_window.h"

struct FrameImage {
  XImage* image = nullptr;
  XShmSegmentInfo shm{};
  bool sharedMemory = false;
  GC gc = nullptr;
  ShownFrame shown{};           // the indices on screen; its pixels are the image's, or staging's
  uint32_t* staging = nullptr;  // the pixel values of an image of 16 or 24 bits a pixel
};

// An 8-bit channel in a visual's mask: its top bits, placed in the mask.
uint32_t PlaceChannel(uint8_t value, unsigned long mask);

// Makes the image for the target's current size and the table for palette.
bool CreateFrameImage(const X11Target& target, const PaletteEntry palette[256], FrameImage& frame, std::string& error);
void DestroyFrameImage(Display* display, FrameImage& frame);

// Shows a frame of target.width x target.height indices, stored bottom row
// first with the given stride, of which only the pixels in `changes` may
// differ from the frame shown last.
void PutFrame(const X11Target& target, const uint8_t* pixels, int32_t stride, const ChangeList& changes,
              FrameImage& frame);
// Puts an exposed part of the window up again from what was last shown.
void PutExposed(const X11Target& target, const FrameImage& frame, int32_t x, int32_t y, int32_t width, int32_t height);
