// x11_window.cpp - opening the target window and checking its visual.
#include "x11/x11_window.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

int firstXError = 0;

int RecordXError(Display*, XErrorEvent* event) {
  if (firstXError == 0) firstXError = event->error_code;
  return 0;
}

[[noreturn]] int ReportLostConnection(Display*) {
  std::fprintf(stderr, "vimbrel: lost the connection to the X server\n");
  std::exit(1);
}

bool VisualUsable(Visual* visual, int depth, std::string& error) {
  if (visual->c_class == TrueColor && (depth == 24 || depth == 32)) return true;
  error = "the window's visual is not TrueColor of depth 24 or 32 (depth " + std::to_string(depth) + ", class " +
          std::to_string(visual->c_class) + ")";
  return false;
}

Window CreateOwnWindow(Display* display, X11Target& target) {
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, ownWindowWidth, ownWindowHeight,
                                            0, BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, window, "Vimbrel");
  XClassHint hint{const_cast<char*>("vimbrel"), const_cast<char*>("Vimbrel")};
  XSetClassHint(display, window, &hint);
  target.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &target.deleteWindow, 1);
  XMapWindow(display, window);
  return window;
}

}  // namespace

void InstallX11ErrorHandlers() {
  XSetErrorHandler(RecordXError);
  XSetIOErrorHandler(ReportLostConnection);
}

int TakeXError(Display* display) {
  XSync(display, False);
  const int error = firstXError;
  firstXError = 0;
  return error;
}

bool OpenTarget(Display* display, TargetKind kind, Window windowId, X11Target& target, std::string& error) {
  target.display = display;
  target.ownWindow = kind == TargetKind::ownWindow;
  const int screen = DefaultScreen(display);
  if (target.ownWindow && !VisualUsable(DefaultVisual(display, screen), DefaultDepth(display, screen), error))
    return false;
  target.window = kind == TargetKind::root       ? RootWindow(display, screen)
                  : kind == TargetKind::windowId ? windowId
                                                 : CreateOwnWindow(display, target);
  TakeXError(display);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, target.window, &attributes) || TakeXError(display) != 0) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", target.window);
    error = std::string("window ") + id + " is not a window";
    return false;
  }
  if (!VisualUsable(attributes.visual, attributes.depth, error)) return false;
  target.visual = attributes.visual;
  target.depth = attributes.depth;
  target.width = attributes.width;
  target.height = attributes.height;
  // Exposures to repaint, size changes to lay the scene out again, and the window going away.
  XSelectInput(display, target.window, ExposureMask | StructureNotifyMask);
  if (TakeXError(display) != 0) {
    error = "cannot watch the window's events";
    return false;
  }
  return true;
}
