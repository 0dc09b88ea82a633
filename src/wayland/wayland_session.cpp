// wayland_session.cpp - the Wayland objects of vimbrel-wayland and their listeners.
#include "wayland/wayland_session.h"

#include <ext-idle-notify-v1-client-protocol.h>
#include <kde-idle-client-protocol.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <wlr-layer-shell-unstable-v1-client-protocol.h>
#include <xdg-shell-client-protocol.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "linux_options/linux_clock.h"
#include "wayland/portable/output_frame.h"
#include "wayland/wayland_buffers.h"

namespace {

constexpr int exitFailure = 1;
// Pointer travel past this many surface units ends the saver, as on Windows.
constexpr double pointerSlack = 4;

}  // namespace

struct SessionGlobals {
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  uint32_t compositorVersion = 0;
  wl_shm* shm = nullptr;
  wl_seat* seat = nullptr;
  wl_keyboard* keyboard = nullptr;
  wl_pointer* pointer = nullptr;
  wl_touch* touch = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wp_viewporter* viewporter = nullptr;
  ext_idle_notifier_v1* idleNotifier = nullptr;
  org_kde_kwin_idle* kdeIdle = nullptr;
  ext_idle_notification_v1* idleNotification = nullptr;
  org_kde_kwin_idle_timeout* kdeIdleTimeout = nullptr;
};

// One output and what covers it.
struct Output {
  WaylandSession* session = nullptr;
  uint32_t name = 0;
  wl_output* output = nullptr;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layerSurface = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  wp_viewport* viewport = nullptr;
  wl_callback* frameCallback = nullptr;
  ShmBuffers buffers;
  SurfacePlan plan;
  std::unique_ptr<OutputFrame> frame;
  bool shown = false;  // a buffer of the current plan has been committed
  int32_t toplevelWidth = 0, toplevelHeight = 0;  // the toplevel's last configure, applied on the xdg_surface's

  void DestroySurface() {
    buffers = ShmBuffers{};
    if (frameCallback != nullptr) wl_callback_destroy(frameCallback), frameCallback = nullptr;
    if (viewport != nullptr) wp_viewport_destroy(viewport), viewport = nullptr;
    if (layerSurface != nullptr) zwlr_layer_surface_v1_destroy(layerSurface), layerSurface = nullptr;
    if (toplevel != nullptr) xdg_toplevel_destroy(toplevel), toplevel = nullptr;
    if (xdgSurface != nullptr) xdg_surface_destroy(xdgSurface), xdgSurface = nullptr;
    if (surface != nullptr) wl_surface_destroy(surface), surface = nullptr;
    plan = SurfacePlan{};
    shown = false;
  }
  ~Output() {
    DestroySurface();
    if (output != nullptr) wl_output_destroy(output);
  }
};

namespace {

// --- listeners: one-line cases, each handing its event to the session

void RegistryGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version) {
  static_cast<WaylandSession*>(data)->OnGlobal(name, interface, version);
}
void RegistryGlobalRemove(void* data, wl_registry*, uint32_t name) {
  static_cast<WaylandSession*>(data)->OnGlobalRemove(name);
}
const wl_registry_listener registryListener = {RegistryGlobal, RegistryGlobalRemove};

void OutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {}
void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  auto* output = static_cast<Output*>(data);
  if (flags & WL_OUTPUT_MODE_CURRENT) output->session->book().SetMode(output->name, width, height);
}
void OutputDone(void* data, wl_output*) {
  auto* output = static_cast<Output*>(data);
  output->session->OnOutputDone(*output);
}
void OutputScale(void* data, wl_output*, int32_t factor) {
  auto* output = static_cast<Output*>(data);
  output->session->book().SetScale(output->name, factor);
}
const wl_output_listener outputListener = {OutputGeometry, OutputMode, OutputDone, OutputScale, nullptr, nullptr};

void LayerConfigure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t width, uint32_t height) {
  auto* output = static_cast<Output*>(data);
  zwlr_layer_surface_v1_ack_configure(surface, serial);
  output->session->OnConfigure(*output, static_cast<int32_t>(width), static_cast<int32_t>(height));
}
void LayerClosed(void* data, zwlr_layer_surface_v1*) {
  auto* output = static_cast<Output*>(data);
  output->session->OnSurfaceClosed(*output);
}
const zwlr_layer_surface_v1_listener layerListener = {LayerConfigure, LayerClosed};

void WmBasePing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener wmBaseListener = {WmBasePing};

void XdgSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
  auto* output = static_cast<Output*>(data);
  xdg_surface_ack_configure(surface, serial);
  output->session->OnConfigure(*output, output->toplevelWidth, output->toplevelHeight);
}
const xdg_surface_listener xdgSurfaceListener = {XdgSurfaceConfigure};

void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  auto* output = static_cast<Output*>(data);
  output->toplevelWidth = width, output->toplevelHeight = height;
}
void ToplevelClose(void* data, xdg_toplevel*) { static_cast<Output*>(data)->session->EndByClose(); }
const xdg_toplevel_listener toplevelListener = {ToplevelConfigure, ToplevelClose, nullptr, nullptr};

void FrameDone(void* data, wl_callback* callback, uint32_t) {
  auto* output = static_cast<Output*>(data);
  wl_callback_destroy(callback);
  output->frameCallback = nullptr;
  output->session->OnFrameDone(*output);
}
const wl_callback_listener frameListener = {FrameDone};

void SyncDone(void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }
const wl_callback_listener syncListener = {SyncDone};

// A buffer's user data is its output; which one of the two is found by address.
void BufferRelease(void* data, wl_buffer* buffer) {
  auto* output = static_cast<Output*>(data);
  output->session->OnBufferRelease(*output, buffer == output->buffers.buffers[1] ? 1 : 0);
}
const wl_buffer_listener bufferListener = {BufferRelease};

void SeatCapabilities(void* data, wl_seat*, uint32_t capabilities) {
  static_cast<WaylandSession*>(data)->OnSeatCapabilities(capabilities);
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener = {SeatCapabilities, SeatName};

void KeyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t file, uint32_t) { close(file); }
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void KeyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
  if (state == WL_KEYBOARD_KEY_STATE_PRESSED) static_cast<WaylandSession*>(data)->EndByInput();
}
void KeyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
const wl_keyboard_listener keyboardListener = {KeyboardKeymap, KeyboardEnter, KeyboardLeave, KeyboardKey,
                                               KeyboardModifiers, nullptr};

// The pointer is hidden over the saver.
void PointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
  wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
  static_cast<WaylandSession*>(data)->OnPointerEnter(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void PointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  static_cast<WaylandSession*>(data)->OnPointerMotion(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void PointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) static_cast<WaylandSession*>(data)->EndByInput();
}
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
const wl_pointer_listener pointerListener = {PointerEnter, PointerLeave, PointerMotion, PointerButton, PointerAxis,
                                             nullptr, nullptr, nullptr, nullptr, nullptr};

void TouchDown(void* data, wl_touch*, uint32_t, uint32_t, wl_surface*, int32_t, wl_fixed_t, wl_fixed_t) {
  static_cast<WaylandSession*>(data)->EndByInput();
}
void TouchUp(void*, wl_touch*, uint32_t, uint32_t, int32_t) {}
void TouchMotion(void*, wl_touch*, uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {}
void TouchFrame(void*, wl_touch*) {}
void TouchCancel(void*, wl_touch*) {}
const wl_touch_listener touchListener = {TouchDown, TouchUp, TouchMotion, TouchFrame, TouchCancel, nullptr, nullptr};

void IdleNotified(void* data, ext_idle_notification_v1*) { static_cast<WaylandSession*>(data)->OnIdle(true); }
void IdleResumed(void* data, ext_idle_notification_v1*) { static_cast<WaylandSession*>(data)->OnIdle(false); }
const ext_idle_notification_v1_listener idleListener = {IdleNotified, IdleResumed};

void KdeIdle(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandSession*>(data)->OnIdle(true); }
void KdeResumed(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandSession*>(data)->OnIdle(false); }
const org_kde_kwin_idle_timeout_listener kdeIdleListener = {KdeIdle, KdeResumed};

template <typename Proxy>
Proxy* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered, uint32_t wanted) {
  return static_cast<Proxy*>(wl_registry_bind(registry, name, interface, offered < wanted ? offered : wanted));
}

}  // namespace

WaylandSession::WaylandSession(const LinuxOptions& options, const SceneClock& clock)
    : options_(options), clock_(clock), started_(MonotonicMilliseconds()), pictures_(LoadCommittedPictures()),
      globals_(new SessionGlobals) {
  const char* fromEnvironment = std::getenv("WAYLAND_DISPLAY");
  displayName_ = !options.display.empty()                                ? options.display
                 : fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                                                                          : "wayland-0";
  showing_ = options.idleSeconds < 0;
  // Tests show the fullscreen windows of compositors without the layer
  // shell (GNOME, Weston) on one that has it.
  const char* shell = std::getenv("VIMBREL_WAYLAND_SHELL");
  withoutLayerShell_ = shell != nullptr && std::string(shell) == "xdg";
}

WaylandSession::~WaylandSession() {
  outputs_.clear();  // every surface and buffer first
  SessionGlobals& g = *globals_;
  if (g.idleNotification != nullptr) ext_idle_notification_v1_destroy(g.idleNotification);
  if (g.kdeIdleTimeout != nullptr) org_kde_kwin_idle_timeout_release(g.kdeIdleTimeout);
  if (g.idleNotifier != nullptr) ext_idle_notifier_v1_destroy(g.idleNotifier);
  if (g.kdeIdle != nullptr) org_kde_kwin_idle_destroy(g.kdeIdle);
  if (g.keyboard != nullptr) wl_keyboard_destroy(g.keyboard);
  if (g.pointer != nullptr) wl_pointer_destroy(g.pointer);
  if (g.touch != nullptr) wl_touch_destroy(g.touch);
  if (g.seat != nullptr) wl_seat_destroy(g.seat);
  if (g.viewporter != nullptr) wp_viewporter_destroy(g.viewporter);
  if (g.layerShell != nullptr) zwlr_layer_shell_v1_destroy(g.layerShell);
  if (g.wmBase != nullptr) xdg_wm_base_destroy(g.wmBase);
  if (g.shm != nullptr) wl_shm_destroy(g.shm);
  if (g.compositor != nullptr) wl_compositor_destroy(g.compositor);
  if (g.registry != nullptr) wl_registry_destroy(g.registry);
  if (g.display != nullptr) wl_display_disconnect(g.display);
  if (signalFile_ >= 0) close(signalFile_);
}

int WaylandSession::Fail(const std::string& message) {
  std::fprintf(stderr, "vimbrel-wayland: %s\n", message.c_str());
  failed_ = true;
  return exitFailure;
}

void WaylandSession::OnGlobal(uint32_t name, const char* interface, uint32_t version) {
  SessionGlobals& g = *globals_;
  const std::string kind = interface;
  if (kind == wl_compositor_interface.name) {
    g.compositor = Bind<wl_compositor>(g.registry, name, &wl_compositor_interface, version, 4);
    g.compositorVersion = version < 4 ? version : 4;
  } else if (kind == wl_shm_interface.name) {
    g.shm = Bind<wl_shm>(g.registry, name, &wl_shm_interface, version, 1);
  } else if (kind == wl_seat_interface.name && g.seat == nullptr) {
    g.seat = Bind<wl_seat>(g.registry, name, &wl_seat_interface, version, 1);
    wl_seat_add_listener(g.seat, &seatListener, this);
  } else if (kind == zwlr_layer_shell_v1_interface.name && !withoutLayerShell_) {
    g.layerShell = Bind<zwlr_layer_shell_v1>(g.registry, name, &zwlr_layer_shell_v1_interface, version, 1);
  } else if (kind == xdg_wm_base_interface.name) {
    g.wmBase = Bind<xdg_wm_base>(g.registry, name, &xdg_wm_base_interface, version, 1);
    xdg_wm_base_add_listener(g.wmBase, &wmBaseListener, this);
  } else if (kind == wp_viewporter_interface.name) {
    g.viewporter = Bind<wp_viewporter>(g.registry, name, &wp_viewporter_interface, version, 1);
  } else if (kind == ext_idle_notifier_v1_interface.name) {
    g.idleNotifier = Bind<ext_idle_notifier_v1>(g.registry, name, &ext_idle_notifier_v1_interface, version, 1);
  } else if (kind == org_kde_kwin_idle_interface.name) {
    g.kdeIdle = Bind<org_kde_kwin_idle>(g.registry, name, &org_kde_kwin_idle_interface, version, 1);
  } else if (kind == wl_output_interface.name && version >= 2) {  // 2: scale and done
    auto output = std::make_unique<Output>();
    output->session = this, output->name = name;
    output->output = Bind<wl_output>(g.registry, name, &wl_output_interface, version, 2);
    wl_output_add_listener(output->output, &outputListener, output.get());
    book_.Add(name);
    outputs_.push_back(std::move(output));
  }
}

void WaylandSession::OnGlobalRemove(uint32_t name) {
  book_.Remove(name);
  outputs_.remove_if([&](const std::unique_ptr<Output>& output) { return output->name == name; });
}

// A described output gets its surface: a layer surface, or a fullscreen toplevel.
void WaylandSession::OnOutputDone(Output& output) {
  if (!book_.Done(output.name) || !showing_) return;
  SessionGlobals& g = *globals_;
  output.surface = wl_compositor_create_surface(g.compositor);
  if (options_.background) {  // no input of its own: an empty input region
    wl_region* none = wl_compositor_create_region(g.compositor);
    wl_surface_set_input_region(output.surface, none);
    wl_region_destroy(none);
  }
  if (g.layerShell != nullptr) {
    output.layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        g.layerShell, output.surface, output.output,
        options_.background ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "vimbrel");
    zwlr_layer_surface_v1_add_listener(output.layerSurface, &layerListener, &output);
    zwlr_layer_surface_v1_set_anchor(output.layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(output.layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(output.layerSurface, options_.background ? 0 : 1);
  } else {
    output.xdgSurface = xdg_wm_base_get_xdg_surface(g.wmBase, output.surface);
    xdg_surface_add_listener(output.xdgSurface, &xdgSurfaceListener, &output);
    output.toplevel = xdg_surface_get_toplevel(output.xdgSurface);
    xdg_toplevel_add_listener(output.toplevel, &toplevelListener, &output);
    xdg_toplevel_set_title(output.toplevel, "Vimbrel");
    xdg_toplevel_set_app_id(output.toplevel, "vimbrel");
    xdg_toplevel_set_fullscreen(output.toplevel, output.output);
  }
  wl_surface_commit(output.surface);  // no buffer: asks for the first configure
}

void WaylandSession::OnConfigure(Output& output, int32_t width, int32_t height) {
  const SurfacePlan plan = book_.Configure(output.name, width, height, globals_->viewporter != nullptr);
  if (plan == output.plan && output.frame != nullptr) return;
  output.plan = plan;
  if (!LayOut(output)) ended_ = true;
}

// The scene and the buffers for the output's plan; a black pixel where the
// scene cannot be had at that size.
bool WaylandSession::LayOut(Output& output) {
  SessionGlobals& g = *globals_;
  const SurfacePlan& plan = output.plan;
  if (plan.bufferWidth <= 0 || plan.bufferHeight <= 0) return true;  // nothing to draw yet
  if (output.frame == nullptr) output.frame = std::make_unique<OutputFrame>(pictures_);
  std::string error;
  bool drawn = OutputFrame::Fits(plan.bufferWidth, plan.bufferHeight) &&
               MakeShmBuffers(g.shm, plan.bufferWidth, plan.bufferHeight, 2, output.buffers, error) &&
               output.frame->Lay(plan.bufferWidth, plan.bufferHeight, output.buffers.pixels);
  if (!drawn) {  // black: one pixel, stretched
    output.frame->Lay(0, 0, output.buffers.pixels);
    if (!MakeShmBuffers(g.shm, 1, 1, 1, output.buffers, error)) {
      Fail(error);
      return false;
    }
    std::memset(output.buffers.pixels[0], 0, 4);
  }
  for (wl_buffer* buffer : output.buffers.buffers)
    if (buffer != nullptr) wl_buffer_add_listener(buffer, &bufferListener, &output);
  const bool stretched = plan.viewport || !drawn;
  if (stretched && output.viewport == nullptr && g.viewporter != nullptr)
    output.viewport = wp_viewporter_get_viewport(g.viewporter, output.surface);
  if (output.viewport != nullptr) {
    int32_t width = 0, height = 0;
    book_.SurfaceSize(output.name, width, height);
    if (stretched) wp_viewport_set_destination(output.viewport, width, height);
    else wp_viewport_set_destination(output.viewport, -1, -1);
  }
  wl_surface_set_buffer_scale(output.surface, stretched ? 1 : plan.bufferScale);
  book_.Laid(output.name);
  output.shown = false;
  nextFrame_ = MonotonicMilliseconds();  // a new size is shown at once
  return true;
}

void WaylandSession::OnSurfaceClosed(Output& output) {
  output.DestroySurface();
  output.frame.reset();
  book_.Close(output.name);
}

// With --fps the time from start until the compositor first showed a frame.
void WaylandSession::OnFrameDone(Output& output) {
  book_.FrameCallback(output.name);
  if (!options_.fps || firstShown_) return;
  firstShown_ = true;
  std::fprintf(stderr, "vimbrel-wayland: first frame shown %llu ms after start\n",
               static_cast<unsigned long long>(MonotonicMilliseconds() - started_));
}

void WaylandSession::OnBufferRelease(Output& output, int which) { book_.BufferReleased(output.name, which); }

void WaylandSession::OnSeatCapabilities(uint32_t capabilities) {
  SessionGlobals& g = *globals_;
  const bool listen = !options_.background;  // the background takes no input
  if (listen && (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && g.keyboard == nullptr) {
    g.keyboard = wl_seat_get_keyboard(g.seat);
    wl_keyboard_add_listener(g.keyboard, &keyboardListener, this);
  } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && g.keyboard != nullptr) {
    wl_keyboard_destroy(g.keyboard), g.keyboard = nullptr;
  }
  if (listen && (capabilities & WL_SEAT_CAPABILITY_POINTER) && g.pointer == nullptr) {
    g.pointer = wl_seat_get_pointer(g.seat);
    wl_pointer_add_listener(g.pointer, &pointerListener, this);
  } else if (!(capabilities & WL_SEAT_CAPABILITY_POINTER) && g.pointer != nullptr) {
    wl_pointer_destroy(g.pointer), g.pointer = nullptr;
  }
  if (listen && (capabilities & WL_SEAT_CAPABILITY_TOUCH) && g.touch == nullptr) {
    g.touch = wl_seat_get_touch(g.seat);
    wl_touch_add_listener(g.touch, &touchListener, this);
  } else if (!(capabilities & WL_SEAT_CAPABILITY_TOUCH) && g.touch != nullptr) {
    wl_touch_destroy(g.touch), g.touch = nullptr;
  }
}

// Travel is measured from where the pointer entered the surface it is on.
void WaylandSession::OnPointerEnter(double x, double y) {
  pointerAnchored_ = true, anchorX_ = x, anchorY_ = y;
}

void WaylandSession::OnPointerMotion(double x, double y) {
  if (!pointerAnchored_) pointerAnchored_ = true, anchorX_ = x, anchorY_ = y;
  if (showing_ && std::hypot(x - anchorX_, y - anchorY_) > pointerSlack) EndByInput();
}

void WaylandSession::OnIdle(bool idle) {
  if (idle && !showing_) ShowSaver();
  else if (!idle && showing_) HideSaver();
}

void WaylandSession::ShowSaver() {
  showing_ = true, ended_ = false, pointerAnchored_ = false;
  for (auto& output : outputs_) {
    if (book_.Reshow(output->name)) OnOutputDone(*output);
  }
}

void WaylandSession::HideSaver() {
  showing_ = false;
  for (auto& output : outputs_) {
    output->DestroySurface();
    output->frame.reset();
    book_.Hide(output->name);
  }
}

// One frame of an output: the scene at tick into its free buffer, only the
// changed bands damaged.
bool WaylandSession::DrawOutput(Output& output, uint32_t tick) {
  const int which = book_.FreeBuffer(output.name);
  if (which < 0 || output.frame == nullptr || output.buffers.buffers[0] == nullptr) return false;
  OutputFrame& frame = *output.frame;
  ShownBand bands[maxShownBands];
  const int buffer = frame.black() ? 0 : which;
  const int32_t count = frame.Draw(options_.settings, tick, buffer, bands);
  if (output.shown && count == 0) return false;  // nothing changed: nothing to send
  wl_surface_attach(output.surface, output.buffers.buffers[buffer], 0, 0);
  if (!output.shown || globals_->compositorVersion < 4) {
    wl_surface_damage(output.surface, 0, 0, INT32_MAX, INT32_MAX);
  } else {
    for (int32_t i = 0; i < count; ++i)
      wl_surface_damage_buffer(output.surface, bands[i].left, bands[i].top, bands[i].right - bands[i].left,
                               bands[i].bottom - bands[i].top);
  }
  output.frameCallback = wl_surface_frame(output.surface);
  wl_callback_add_listener(output.frameCallback, &frameListener, &output);
  wl_surface_commit(output.surface);
  book_.Committed(output.name, buffer);
  output.shown = true;
  return true;
}

void WaylandSession::DrawDue(uint32_t tick) {
  StampSceneClocks(options_.settings, tick);
  int drawn = 0;
  for (auto& output : outputs_) drawn += DrawOutput(*output, tick) ? 1 : 0;
  if (options_.fps) CountFrames(meter_, drawn, "vimbrel-wayland");
}

// Waits up to timeout ms (-1: until something comes) for the compositor or
// a signal, and handles what came. False when the connection is gone.
bool WaylandSession::Dispatch(int timeout) {
  wl_display* display = globals_->display;
  while (wl_display_prepare_read(display) != 0)
    if (wl_display_dispatch_pending(display) < 0) return false;
  if (wl_display_flush(display) < 0 && errno != EAGAIN) {
    wl_display_cancel_read(display);
    return false;
  }
  pollfd files[2] = {{wl_display_get_fd(display), POLLIN, 0}, {signalFile_, POLLIN, 0}};
  if (poll(files, 2, timeout) < 0) files[0].revents = files[1].revents = 0;
  if (files[0].revents & (POLLIN | POLLHUP | POLLERR)) {
    if (wl_display_read_events(display) < 0) return false;
  } else {
    wl_display_cancel_read(display);
  }
  signalfd_siginfo info{};
  if ((files[1].revents & POLLIN) && read(signalFile_, &info, sizeof info) > 0) stopped_ = true;
  return wl_display_dispatch_pending(display) >= 0;
}

// Waits until the compositor has answered everything sent so far, for at
// most a second: a socket whose compositor takes the connection and never
// answers must not hold the program. False, reported, when it did not.
bool WaylandSession::AnsweredInTime() {
  wl_display* display = globals_->display;
  bool answered = false;
  wl_callback* sync = wl_display_sync(display);
  wl_callback_add_listener(sync, &syncListener, &answered);
  const uint64_t deadline = MonotonicMilliseconds() + 1000;
  bool connected = true;
  for (uint64_t now = MonotonicMilliseconds(); !answered && !stopped_ && now < deadline;
       now = MonotonicMilliseconds())
    if (!(connected = Dispatch(static_cast<int>(deadline - now)))) break;
  wl_callback_destroy(sync);
  if (!connected) return Fail("lost the connection to Wayland display '" + displayName_ + "'"), false;
  if (!answered && !stopped_)
    return Fail("Wayland display '" + displayName_ + "' did not answer within a second"), false;
  return true;
}

bool WaylandSession::Connect() {
  SessionGlobals& g = *globals_;
  g.display = wl_display_connect(options_.display.empty() ? nullptr : options_.display.c_str());
  if (g.display == nullptr) return Fail("cannot connect to Wayland display '" + displayName_ + "'"), false;
  g.registry = wl_display_get_registry(g.display);
  wl_registry_add_listener(g.registry, &registryListener, this);
  if (!AnsweredInTime()) return false;
  if (stopped_) return true;  // the main loop ends at once
  std::string missing = g.compositor == nullptr ? "wl_compositor"
                        : g.shm == nullptr      ? "wl_shm"
                        : g.layerShell == nullptr && (g.wmBase == nullptr || options_.background)
                            ? (options_.background ? "zwlr_layer_shell_v1" : "zwlr_layer_shell_v1 or xdg_wm_base")
                        : options_.idleSeconds >= 0 && g.idleNotifier == nullptr && g.kdeIdle == nullptr
                            ? "ext_idle_notifier_v1 or org_kde_kwin_idle"
                            : "";
  if (!missing.empty()) return Fail("Wayland display '" + displayName_ + "' offers no " + missing), false;
  if (options_.idleSeconds >= 0) {
    if (g.seat == nullptr) return Fail("Wayland display '" + displayName_ + "' has no seat to watch"), false;
    const auto timeout = static_cast<uint32_t>(options_.idleSeconds) * 1000;
    if (g.idleNotifier != nullptr) {
      g.idleNotification = ext_idle_notifier_v1_get_idle_notification(g.idleNotifier, timeout, g.seat);
      ext_idle_notification_v1_add_listener(g.idleNotification, &idleListener, this);
    } else {
      g.kdeIdleTimeout = org_kde_kwin_idle_get_idle_timeout(g.kdeIdle, g.seat, timeout);
      org_kde_kwin_idle_timeout_add_listener(g.kdeIdleTimeout, &kdeIdleListener, this);
    }
  }
  return true;
}

int WaylandSession::Run() {
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGINT);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
  signalFile_ = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
  if (!Connect()) return exitFailure;
  if (stopped_) return 0;
  nextFrame_ = MonotonicMilliseconds();
  for (;;) {
    const bool anyDue = book_.AnyDue();
    uint64_t now = MonotonicMilliseconds();
    if (anyDue && now >= nextFrame_) {
      DrawDue(SceneClockTick(clock_, static_cast<uint32_t>(now)));
      nextFrame_ += FramePeriod(options_.settings);
      if (nextFrame_ <= now) nextFrame_ = now + FramePeriod(options_.settings);  // late: no burst to catch up
    }
    now = MonotonicMilliseconds();
    // Nothing wants a frame (all hidden): sleep until the compositor calls.
    const uint64_t wait = nextFrame_ > now ? nextFrame_ - now : 0;
    const int timeout = !anyDue ? -1 : wait > 1000 ? 1000 : static_cast<int>(wait);
    if (!Dispatch(timeout)) {
      const int code = wl_display_get_error(globals_->display);
      return Fail(code == EPROTO ? "Wayland display '" + displayName_ + "' ended the connection (protocol error)"
                                 : "lost the connection to Wayland display '" + displayName_ + "'");
    }
    if (failed_) return exitFailure;
    if (stopped_) return 0;  // the destructor frees every buffer
    if (ended_) {
      if (options_.idleSeconds < 0 || !showing_) return 0;
      HideSaver();  // --idle: input hides it, and the wait begins again
      ended_ = false;
    }
  }
}
