// x11_options.h - the X11 program's command line: the shared Linux table's
// options for vimbrel (linux_options/linux_options.h).
//
//   vimbrel [--root | --window | --window-id ID] [--geometry WxH+X+Y]
//           [--display NAME] [--config FILE] [--fps] [SETTINGS...]
//   vimbrel --add-to-xscreensaver | --remove-from-xscreensaver
//
// Where --root and --window-id both appear the window id wins, as with
// XScreenSaver's own programs, and --window (the program's own window, as
// no window option gives where XSCREENSAVER_WINDOW is not set) and --root
// undo each other, the last one winning.
#pragma once

#include <string>

#include "linux_options/linux_options.h"

using X11Options = LinuxOptions;

inline bool ParseX11Options(int argc, const char* const* argv, X11Options& options, std::string& error) {
  return ParseLinuxOptions(x11Program, argc, argv, options, error);
}

inline std::string X11UsageLine() { return UsageLine(x11Program); }
