// wayland_session.h - vimbrel-wayland's connection, outputs, input and frames.
//
// One session owns everything the program keeps: the connection and its
// globals, one surface per output (an overlay layer surface where the
// compositor offers the layer shell, else a fullscreen xdg_toplevel), each
// with its OutputFrame (the scene at the output's pixel size) and two
// wl_shm buffers, and the seat's devices. Frames are paced by the record's
// frame time and drawn only for outputs whose surface asked for one
// (wl_surface.frame), so an output that is not shown costs nothing. The
// facts and decisions about outputs are in OutputBook (portable/), the
// Wayland objects here.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "linux_options/linux_clock.h"
#include "linux_options/linux_options.h"
#include "wayland/portable/output_book.h"

struct Output;
struct SessionGlobals;

class WaylandSession {
 public:
  WaylandSession(const LinuxOptions& options, const SceneClock& clock);
  ~WaylandSession();
  WaylandSession(const WaylandSession&) = delete;
  WaylandSession& operator=(const WaylandSession&) = delete;

  // Connects, covers the outputs and draws until input (0), a signal (0)
  // or a failure (1, its one line printed).
  int Run();

  // Called from the listeners.
  SessionGlobals& globals() { return *globals_; }
  void OnGlobal(uint32_t name, const char* interface, uint32_t version);
  void OnGlobalRemove(uint32_t name);
  void OnOutputDone(Output& output);
  void OnConfigure(Output& output, int32_t width, int32_t height);
  void OnSurfaceClosed(Output& output);
  void OnFrameDone(Output& output);
  void OnBufferRelease(Output& output, int which);
  void OnSeatCapabilities(uint32_t capabilities);
  void OnPointerEnter(double x, double y);
  void OnPointerMotion(double x, double y);
  // Input ends the saver (with --idle: hides it); nothing while it is hidden.
  void EndByInput() { ended_ = ended_ || showing_; }
  void EndByClose() { ended_ = ended_ || showing_; }
  void OnIdle(bool idle);
  OutputBook& book() { return book_; }

 private:
  bool Connect();
  bool LayOut(Output& output);
  void DrawDue(uint32_t tick);
  bool DrawOutput(Output& output, uint32_t tick);
  void ShowSaver();
  void HideSaver();
  int Fail(const std::string& message);
  bool Dispatch(int timeout);
  bool AnsweredInTime();

  LinuxOptions options_;
  SceneClock clock_;
  uint64_t started_;  // monotonic ms
  bool firstShown_ = false;
  std::string displayName_;
  CommittedPictures pictures_;
  std::unique_ptr<SessionGlobals> globals_;
  std::list<std::unique_ptr<Output>> outputs_;
  OutputBook book_;
  bool ended_ = false;
  bool stopped_ = false;  // SIGTERM or SIGINT
  bool failed_ = false;
  bool withoutLayerShell_ = false;  // VIMBREL_WAYLAND_SHELL=xdg
  bool showing_ = true;  // --idle: false while waiting for idleness
  bool pointerAnchored_ = false;
  double anchorX_ = 0, anchorY_ = 0;
  uint64_t nextFrame_ = 0;
  int signalFile_ = -1;
  RateMeter meter_;  // --fps
};
