// x11_main.cpp - vimbrel: the scene as a native X11 program.
//
// One session owns everything the program keeps: the settings, the clock,
// the scene and the image it is shown through. It lays the scene out at the
// window's size with the committed pictures over the software palette of a
// true-colour display (as vimbrel-render does), then draws one frame every
// frameTime milliseconds with DrawSceneFrame and shows it. The scene clock is the monotonic millisecond count taken as
// 32 bits, so it wraps as the Windows tick count does; VIMBREL_FROZEN_TICK holds it at one value, so that a test can
// compare frames with vimbrel-render's. When the window changes size the scene is laid out again. Exit status: 0 when
// the window is closed, 1 on an X or scene failure, 2 on a bad command line or --config file.
//
// With --fps the frame rate and the CPU share are also drawn in the window's
// bottom left corner, with Xlib's text over the image shown: the frame the
// scene draws is never touched.
#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "linux_options/linux_clock.h"
#include "x11/x11_documents.h"
#include "x11/x11_frame_image.h"
#include "x11/x11_options.h"
#include "x11/x11_window.h"
#include "x11/xscreensaver_list.h"

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "vimbrel: %s\n", message.c_str());
  return status;
}

// The scene's running clock is the monotonic count; it wraps every 49.7 days.
uint32_t ReadTick(const SceneClock& clock) {
  return SceneClockTick(clock, static_cast<uint32_t>(MonotonicMilliseconds()));
}

bool ChooseTarget(const X11Options& options, TargetKind& kind, Window& id, std::string& error) {
  // A window id wins over --root: XScreenSaver's settings program runs
  // "--root --window-id ID" for its preview.
  kind = options.hasWindowId ? TargetKind::windowId : options.root ? TargetKind::root : TargetKind::ownWindow;
  id = options.windowId;
  if (kind == TargetKind::ownWindow && options.window) return true;  // asked for by name: the own window
  // The daemon's window stands in for the root, as XScreenSaver's own
  // programs find their "virtual root": --root means it too.
  const char* fromSaver = std::getenv("XSCREENSAVER_WINDOW");
  if (kind == TargetKind::windowId || fromSaver == nullptr || *fromSaver == '\0') return true;
  unsigned long parsed = 0;
  if (!ParseWindowId(fromSaver, parsed)) {
    error = std::string("XSCREENSAVER_WINDOW '") + fromSaver + "' is not a window id";
    return false;
  }
  kind = TargetKind::windowId;
  id = parsed;
  return true;
}

// The meter's two lines in the bottom left corner, white on black, in the
// server's "fixed" font; the lines are padded to a constant width, so each
// covers the last.
class RateOverlay {
 public:
  ~RateOverlay() { Release(); }
  void Open(const X11Target& target) {
    Release();
    display_ = target.display;
    font_ = XLoadQueryFont(display_, "fixed");
    gc_ = XCreateGC(display_, target.window, 0, nullptr);
    const Visual* visual = target.visual;
    const unsigned long colour = visual->red_mask | visual->green_mask | visual->blue_mask;
    const unsigned long depthBits = target.depth >= 32 ? 0xffffffffUL : (1UL << target.depth) - 1;
    XSetForeground(display_, gc_, depthBits);            // white, and opaque
    XSetBackground(display_, gc_, depthBits & ~colour);  // black, and opaque
    if (font_ != nullptr) XSetFont(display_, gc_, font_->fid);
  }
  void Draw(const X11Target& target, const RateMeter& meter) {
    if (gc_ == nullptr || font_ == nullptr) return;
    char lines[2][40];
    if (meter.rate < 0)
      std::snprintf(lines[0], sizeof lines[0], "%-14s", "   - frames/s");
    else
      std::snprintf(lines[0], sizeof lines[0], "%6.1f frames/s", meter.rate);
    std::snprintf(lines[1], sizeof lines[1], "%6.1f%% CPU    ", meter.rate < 0 ? 0.0 : meter.cpuShare);
    const int lineHeight = font_->ascent + font_->descent, margin = 4;
    for (int i = 0; i < 2; ++i) {
      const int baseline = target.height - margin - (1 - i) * lineHeight - font_->descent;
      XDrawImageString(display_, target.window, gc_, margin, baseline, lines[i],
                       static_cast<int>(std::strlen(lines[i])));
    }
  }

 private:
  void Release() {
    if (font_ != nullptr) XFreeFont(display_, font_);
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    font_ = nullptr, gc_ = nullptr;
  }
  Display* display_ = nullptr;
  XFontStruct* font_ = nullptr;
  GC gc_ = nullptr;
};

class Program {
 public:
  Program(X11Target& target, const SettingsRecord& settings, const SceneClock& clock, bool fps)
      : target_(target), settings_(settings), clock_(clock), fps_(fps), pictures_(LoadCommittedPictures()) {}
  ~Program() { DestroyFrameImage(target_.display, image_); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Runs until the window closes (0) or something fails (1, reported).
  int Run() {
    if (!LayOutScene()) return exitFailure;
    uint64_t nextFrame = MonotonicMilliseconds();
    for (;;) {
      while (XPending(target_.display) > 0)
        if (!HandleEvent()) return closed_ ? 0 : exitFailure;
      if (resized_) {
        if (!LayOutScene()) return exitFailure;
        nextFrame = MonotonicMilliseconds();  // the new size is shown at once, whatever the frame time
      }
      const uint64_t now = MonotonicMilliseconds();
      if (now >= nextFrame) {
        if (!DrawFrame()) return closed_ ? 0 : exitFailure;
        if (fps_) CountFrames(meter_, 1, "vimbrel");
        nextFrame += FramePeriod(settings_);
        if (nextFrame <= now) nextFrame = now + FramePeriod(settings_);  // late: no burst to catch up
        continue;
      }
      pollfd connection{ConnectionNumber(target_.display), POLLIN, 0};
      const uint64_t wait = nextFrame - now;
      poll(&connection, 1, wait > 1000 ? 1000 : static_cast<int>(wait));
    }
  }

 private:
  bool LayOutScene() {
    resized_ = false;
    DestroyFrameImage(target_.display, image_);
    const SceneInitResult result = MakeCommittedScene(scene_, pictures_, target_.width, target_.height);
    if (result != SceneInitResult::ok) {
      Fail(exitFailure, "cannot lay the scene out at " + std::to_string(target_.width) + " x " +
                            std::to_string(target_.height) + ": " + SceneInitProblem(result));
      return false;
    }
    std::string error;
    if (!CreateFrameImage(target_, scene_.palette.entries, image_, error)) {
      Fail(exitFailure, error);
      return false;
    }
    if (fps_) overlay_.Open(target_);
    return true;
  }

  bool DrawFrame() {
    const uint32_t tick = ReadTick(clock_);
    StampSceneClocks(settings_, tick);
    DrawSceneFrame(scene_, settings_, tick);
    PutFrame(target_, scene_.framePixels, scene_.frameStride, SceneFrameChanges(scene_), image_);
    if (fps_) overlay_.Draw(target_, meter_);
    // Also waits until the server has read the shared image before the next frame writes it.
    if (TakeXError(target_.display) == 0) return true;
    // A window destroyed under a frame is an end, not a failure: its DestroyNotify is queued.
    while (!closed_ && XPending(target_.display) > 0 && HandleEvent()) {}
    if (!closed_) Fail(exitFailure, "the window can no longer be drawn in");
    return false;
  }

  // False when the program ends: closed_ says whether normally.
  bool HandleEvent() {
    XEvent event;
    XNextEvent(target_.display, &event);
    switch (event.type) {
      case Expose: return OnExpose(event.xexpose);
      case ConfigureNotify: return OnConfigure(event.xconfigure);
      case DestroyNotify: closed_ = event.xdestroywindow.window == target_.window; return !closed_;
      case KeyPress: closed_ = target_.ownWindow && IsCloseKey(event.xkey); return !closed_;
      case ClientMessage:
        closed_ = target_.ownWindow && static_cast<Atom>(event.xclient.data.l[0]) == target_.deleteWindow;
        return !closed_;
      default: return true;
    }
  }

  bool OnExpose(const XExposeEvent& event) {
    if (resized_) return true;
    PutExposed(target_, image_, event.x, event.y, event.width, event.height);
    if (fps_ && event.count == 0) overlay_.Draw(target_, meter_);
    return true;
  }

  bool OnConfigure(const XConfigureEvent& event) {
    if (event.window != target_.window || (event.width == target_.width && event.height == target_.height)) return true;
    target_.width = event.width;
    target_.height = event.height;
    resized_ = true;
    return true;
  }

  X11Target& target_;
  SettingsRecord settings_;
  SceneClock clock_;
  bool fps_;
  CommittedPictures pictures_;
  Scene scene_{};
  FrameImage image_;
  RateMeter meter_;
  RateOverlay overlay_;
  bool resized_ = false;
  bool closed_ = false;
};

// Vimbrel's line in ~/.xscreensaver, naming this program as XScreenSaver should run it.
int EditList(bool add) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return Fail(exitFailure, "cannot tell where this program is (/proc/self/exe)");
  path[length] = '\0';
  std::string command, message;
  if (!EntryCommand(path, command, message)) return Fail(exitFailure, message);
  const int status = EditXScreenSaverFile(add, UserXScreenSaverFile(), SystemXScreenSaverDefaults(), command, message);
  if (status != 0) return Fail(status, message);
  std::printf("vimbrel: %s\n", message.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  X11Options options;
  std::string error;
  if (!ParseX11Options(argc, argv, options, error)) return Fail(exitUsage, error + "\n" + X11UsageLine());
  if (options.help || options.xml || options.manual) {
    const std::string text = options.help  ? X11Help()
                             : options.xml ? XScreenSaverDescription()
                                           : ManualPage(VIMBREL_VERSION);
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  if (options.listEdit != X11Options::ListEdit::none) return EditList(options.listEdit == X11Options::ListEdit::add);
  SceneClock clock{};
  TargetKind kind;
  Window id;
  if (!ChooseSceneClock(std::getenv("VIMBREL_FROZEN_TICK"), clock, error) || !ChooseTarget(options, kind, id, error)) return Fail(exitFailure, error);
  WindowPlace place{};
  if (!options.geometry.empty() && !PlaceOwnWindow(options.geometry, 1024, 768, place))
    return Fail(exitUsage, "--geometry: '" + options.geometry + "' is not a size and place WxH+X+Y\n" + X11UsageLine());

  const char* displayName = options.display.empty() ? nullptr : options.display.c_str();
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr)
    return Fail(exitFailure, std::string("cannot open display '") + XDisplayName(displayName) + "'");
  InstallX11ErrorHandlers();
  const int screen = DefaultScreen(display);
  PlaceOwnWindow(options.geometry, DisplayWidth(display, screen), DisplayHeight(display, screen), place);
  X11Target target;
  if (!OpenTarget(display, kind, id, place, target, error)) {
    XCloseDisplay(display);  // nothing of the display is left for the leak check to find
    return Fail(exitFailure, error);
  }
  const int status = Program(target, options.settings, clock, options.fps).Run();
  XCloseDisplay(display);
  return status;
}
