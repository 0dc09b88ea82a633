// x11_window.h - the window the X11 program draws in, and X errors as values.
//
// The target is the program's own top-level window "Vimbrel", the root
// window, or a window someone else made (--window-id, $XSCREENSAVER_WINDOW).
// Only TrueColor visuals are drawn on, of depth 15, 16, 24 or 32. The own
// window is 1024 x 768, the background picture's size, or as large a 4:3
// window as fits nine tenths of a smaller screen, unless a geometry
// (WxH+X+Y, any part of it) says otherwise; q, Q and Escape close it. X protocol errors
// are recorded rather than ending the process, so that each caller can
// report what failed in one line; a lost connection ends the program with
// one line and status 1.
#pragma once

#include <X11/Xlib.h>

#include <string>

struct X11Target {
  Display* display = nullptr;
  Window window = 0;
  Visual* visual = nullptr;
  int depth = 0;
  bool ownWindow = false;
  Atom deleteWindow = 0;  // WM_DELETE_WINDOW, on the own window only
  int width = 0, height = 0;
};

enum class TargetKind { ownWindow, root, windowId };

constexpr int ownWindowWidth = 1024, ownWindowHeight = 768;  // the background picture's size

// The own window's place and size on a screen of screenWidth x
// screenHeight for a geometry string (empty: none). False when the string
// is not a geometry or asks for an empty window.
struct WindowPlace {
  int x, y, width, height;
  bool userPosition, userSize;  // given by the geometry: the window manager is asked to keep them
};
bool PlaceOwnWindow(const std::string& geometry, int screenWidth, int screenHeight, WindowPlace& place);

// Records protocol errors (TakeXError) and reports a lost connection.
void InstallX11ErrorHandlers();
// The first error code since the last call, 0 for none; waits for the
// server to answer everything sent before.
int TakeXError(Display* display);

// Fills target for the window of the given kind (windowId: that window),
// creating and mapping the own window. False with a one-line error when the
// window does not exist or its visual is not one this program draws on.
bool OpenTarget(Display* display, TargetKind kind, Window windowId, const WindowPlace& place, X11Target& target,
                std::string& error);

// Whether a key event on the own window asks it to close (q, Q, Escape).
bool IsCloseKey(XKeyEvent& event);
