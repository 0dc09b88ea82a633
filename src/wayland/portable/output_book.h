// output_book.h - what vimbrel-wayland knows of each output, Wayland-free.
//
// The compositor describes an output in pieces (its mode, its scale, then
// "done"), configures its surface with a size in surface units, calls back
// when it wants a frame and hands buffers back when it has read them. The
// book keeps those facts for every output by its global name and makes the
// decisions from them, so that they are tested without a compositor:
//   - when an output gets a surface (once described) and loses it (its
//     global removed, or the compositor closing the surface);
//   - the buffer's size in pixels and how it is scaled onto the surface
//     (SurfacePlan): the configured size times a whole scale, or the
//     output's own pixels through a viewport at a fractional one;
//   - which outputs draw now: one is drawn only when the compositor has
//     asked for a frame and a buffer is free, so an output that is not
//     shown (display off, hidden) gets no frames at all.
#pragma once

#include <cstdint>
#include <vector>

// How a surface of size (width, height) in surface units shows a buffer.
struct SurfacePlan {
  int32_t bufferWidth = 0, bufferHeight = 0;  // pixels; 0 x 0: nothing to draw yet
  int32_t bufferScale = 1;                    // wl_surface.set_buffer_scale
  bool viewport = false;                      // scaled to the surface size by wp_viewporter instead
  bool operator==(const SurfacePlan& other) const {
    return bufferWidth == other.bufferWidth && bufferHeight == other.bufferHeight &&
           bufferScale == other.bufferScale && viewport == other.viewport;
  }
};

// The plan for a surface configured at width x height units on an output
// of modeWidth x modeHeight pixels and whole scale `scale`. A configure of
// 0 x 0 (a fullscreen toplevel the compositor leaves to the client) takes
// the output's size. Where the configured size times the scale is not the
// output's pixel size (a fractional scale, rounded up by the compositor)
// and a viewporter is offered, the buffer is the output's pixels.
SurfacePlan PlanSurface(int32_t width, int32_t height, int32_t modeWidth, int32_t modeHeight, int32_t scale,
                        bool haveViewporter);

struct OutputRecord {
  uint32_t name = 0;  // the output's global name
  int32_t modeWidth = 0, modeHeight = 0, scale = 1;
  bool described = false;   // a done event came
  bool hasSurface = false;  // the shell made its surface
  bool closed = false;      // the compositor closed its surface: it gets no other
  bool configured = false;
  int32_t width = 0, height = 0;  // configured, in surface units
  bool frameWanted = true;        // no frame shown yet, or the compositor called back
  bool bufferBusy[2] = {false, false};
};

class OutputBook {
 public:
  void Add(uint32_t name);
  // The output's current mode, its scale, its done event.
  void SetMode(uint32_t name, int32_t width, int32_t height);
  void SetScale(uint32_t name, int32_t scale);
  // True when the output now wants a surface made for it.
  bool Done(uint32_t name);
  // Forgets the output; true when it had a surface, which the shell destroys.
  bool Remove(uint32_t name);
  // The compositor ended the surface: it is destroyed and not made again.
  void Close(uint32_t name);
  // The saver hidden (--idle): the surface is destroyed, the output's mode
  // and description kept, and a closed one may have a surface again.
  void Hide(uint32_t name);
  // The saver shown again: true when the output is described and not
  // closed, so that its surface is made again (Done).
  bool Reshow(uint32_t name);

  // A configure of the surface; returns its plan (the shell lays the scene
  // out again when it differs from the last).
  SurfacePlan Configure(uint32_t name, int32_t width, int32_t height, bool haveViewporter);
  SurfacePlan Plan(uint32_t name, bool haveViewporter) const;

  // New buffers laid out for the surface: none held, a frame wanted at once.
  void Laid(uint32_t name);
  // The surface's size in its own units: as configured, or else the
  // output's mode at its scale.
  void SurfaceSize(uint32_t name, int32_t& width, int32_t& height) const;
  void FrameCallback(uint32_t name) { Find(name)->frameWanted = true; }
  void BufferReleased(uint32_t name, int which) { Find(name)->bufferBusy[which] = false; }
  // The free buffer of an output that wants a frame, or -1.
  int FreeBuffer(uint32_t name) const;
  // The shell committed buffer `which`: it is busy and the next frame waits for a callback.
  void Committed(uint32_t name, int which);
  // The outputs whose surfaces draw a frame now, in the order they came.
  std::vector<uint32_t> Due() const;
  bool AnyDue() const;  // the same without making the list, for every turn of the loop

  OutputRecord* Find(uint32_t name);
  const OutputRecord* Find(uint32_t name) const;
  const std::vector<OutputRecord>& records() const { return records_; }

 private:
  static int FreeBufferOf(const OutputRecord& record);
  // Everything but the output's mode and description forgotten.
  static void Forget(OutputRecord& record, bool closed);

  std::vector<OutputRecord> records_;
};
