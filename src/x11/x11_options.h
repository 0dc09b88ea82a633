// x11_options.h - the command line of the X11 program, made from the field table.
//
//   vimbrel [--root | --window | --window-id ID] [--geometry WxH+X+Y]
//           [--display NAME] [--config FILE] [--fps] [SETTINGS...]
//   vimbrel --add-to-xscreensaver | --remove-from-xscreensaver
//
// The settings are those of the Windows settings dialog: each field with a
// control is an option named after it, a trackbar's as --pyramid-radius 260,
// a check box's as --shadows / --no-shadows (a leading "show" is dropped).
// The record's other fields are reached through --config, which reads a
// stored record (a regular file of at most 152 bytes) as the registry value
// is read; options are applied left to right, so those after --config win.
// Values are taken as a stored record's would be, even outside the dialog's
// ranges. A period, kept in units of 1.024 s as the record keeps it, also
// has an option in seconds (--pyramid-rotation-seconds 41), which is
// rounded to the nearest unit. Where --root and --window-id both appear the window id wins, as
// with XScreenSaver's own programs, and --window (the program's own window,
// as no window option gives where XSCREENSAVER_WINDOW is not set) and
// --root undo each other, the last one winning. Every option also has a
// one-dash form (-root, -display, -geometry). Parsing knows nothing of X: it is tested and used
// without a display. --help, the XScreenSaver description and the manual
// page are written from the same table (x11_documents.h).
#pragma once

#include <cstdint>
#include <string>

#include "core/scene/settings_record.h"

struct X11Options {
  SettingsRecord settings;  // the defaults with --config and the field options applied
  bool root = false;
  bool window = false;   // --window: the own window even where XSCREENSAVER_WINDOW is set
  std::string geometry;  // -geometry: the own window's size and place, as XParseGeometry reads it
  bool hasWindowId = false;
  unsigned long windowId = 0;
  std::string display;  // empty: $DISPLAY
  bool fps = false;
  bool help = false;
  bool xml = false;
  bool manual = false;
  enum class ListEdit { none, add, remove } listEdit = ListEdit::none;  // XScreenSaver's list (xscreensaver_list.h)
};

// Fills options from argv[1..argc-1]. On a bad command line or a bad
// --config file returns false with a one-line description naming the option
// (and the file) in error.
bool ParseX11Options(int argc, const char* const* argv, X11Options& options, std::string& error);

// A window id as XScreenSaver writes it: decimal or 0x hexadecimal, not 0.
bool ParseWindowId(const char* text, unsigned long& id);

// The option of a user setting ("--pyramid-radius", "--shadows").
std::string FieldOptionName(const SettingsField& field);

// A period: a trackbar counted in units of 1.024 s.
bool IsPeriod(const SettingsField& field);
// A period's option in seconds ("--pyramid-rotation-seconds").
std::string SecondsOptionName(const SettingsField& field);
// Units of 1.024 s as whole seconds, rounded; and seconds as the nearest
// whole unit (false when that is no 32-bit integer).
int32_t SecondsOfUnits(int32_t units);
bool UnitsOfSeconds(double seconds, int32_t& units);

const char* X11UsageLine();
