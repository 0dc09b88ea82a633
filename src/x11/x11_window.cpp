// x11_window.cpp - opening the target window and checking its visual.
#include "x11/x11_window.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

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

const char* VisualClassName(int visualClass) {
  static const char* const names[] = {"StaticGray",  "GrayScale", "StaticColor",
                                      "PseudoColor", "TrueColor", "DirectColor"};
  return visualClass >= 0 && visualClass < 6 ? names[visualClass] : "unknown";
}

bool VisualUsable(Visual* visual, int depth, std::string& error) {
  if (visual->c_class == TrueColor && (depth == 15 || depth == 16 || depth == 24 || depth == 32)) return true;
  error = std::string("the window's visual is ") + VisualClassName(visual->c_class) + " of depth " +
          std::to_string(depth) + "; vimbrel needs a TrueColor visual of depth 15, 16, 24 or 32";
  return false;
}

Window CreateOwnWindow(Display* display, const WindowPlace& place, X11Target& target) {
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), place.x, place.y,
                                            static_cast<unsigned>(place.width), static_cast<unsigned>(place.height), 0,
                                            BlackPixel(display, screen), BlackPixel(display, screen));
  XSizeHints* hints = XAllocSizeHints();
  if (hints != nullptr) {
    hints->flags = (place.userPosition ? USPosition : PPosition) | (place.userSize ? USSize : PSize);
    hints->x = place.x, hints->y = place.y, hints->width = place.width, hints->height = place.height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
  XStoreName(display, window, "Vimbrel");
  XClassHint hint{const_cast<char*>("vimbrel"), const_cast<char*>("Vimbrel")};
  XSetClassHint(display, window, &hint);
  target.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &target.deleteWindow, 1);
  XMapWindow(display, window);
  return window;
}

}  // namespace

bool PlaceOwnWindow(const std::string& geometry, int screenWidth, int screenHeight, WindowPlace& place) {
  // As large as the picture, or the largest 4:3 window in nine tenths of the screen.
  const int roomWidth = screenWidth * 9 / 10, roomHeight = screenHeight * 9 / 10;
  int width = ownWindowWidth, height = ownWindowHeight;
  if (width > roomWidth || height > roomHeight) {
    width = roomWidth < roomHeight * 4 / 3 ? roomWidth : roomHeight * 4 / 3;
    height = width * 3 / 4;
  }
  place = {0, 0, width < 1 ? 1 : width, height < 1 ? 1 : height, false, false};
  if (geometry.empty()) return true;
  int x = 0, y = 0;
  unsigned w = 0, h = 0;
  const int given = XParseGeometry(geometry.c_str(), &x, &y, &w, &h);
  if (given == NoValue) return false;
  if (given & WidthValue) place.width = static_cast<int>(w);
  if (given & HeightValue) place.height = static_cast<int>(h);
  if (place.width < 1 || place.height < 1 || place.width > 32767 || place.height > 32767) return false;
  place.userSize = (given & (WidthValue | HeightValue)) != 0;
  if (given & (XValue | YValue)) {
    place.userPosition = true;
    place.x = given & XNegative ? screenWidth + x - place.width : x;
    place.y = given & YNegative ? screenHeight + y - place.height : y;
  }
  return true;
}

bool IsCloseKey(XKeyEvent& event) {
  KeySym key = NoSymbol;
  char text[8];
  XLookupString(&event, text, sizeof text, &key, nullptr);
  return key == XK_q || key == XK_Q || key == XK_Escape;
}

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

bool OpenTarget(Display* display, TargetKind kind, Window windowId, const WindowPlace& place, X11Target& target,
                std::string& error) {
  target.display = display;
  target.ownWindow = kind == TargetKind::ownWindow;
  const int screen = DefaultScreen(display);
  if (target.ownWindow && !VisualUsable(DefaultVisual(display, screen), DefaultDepth(display, screen), error))
    return false;
  target.window = kind == TargetKind::root       ? RootWindow(display, screen)
                  : kind == TargetKind::windowId ? windowId
                                                 : CreateOwnWindow(display, place, target);
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
  // Exposures to repaint, size changes to lay the scene out again, the
  // window going away, and on the own window the keys that close it.
  XSelectInput(display, target.window, ExposureMask | StructureNotifyMask | (target.ownWindow ? KeyPressMask : 0));
  if (TakeXError(display) != 0) {
    error = "cannot watch the window's events";
    return false;
  }
  return true;
}
