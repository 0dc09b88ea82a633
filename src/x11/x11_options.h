// x11_options.h - the command line of the X11 program, made from the field table.
//
//   vimbrel [--root] [--window-id ID] [--display NAME] [--config FILE] [--fps]
//           [SETTINGS...]
//
// The settings are those of the Windows settings dialog: each field with a
// control is an option named after it, a trackbar's as --pyramid-radius 260,
// a check box's as --shadows / --no-shadows (a leading "show" is dropped).
// The record's other fields are reached through --config, which reads a
// stored record (a regular file of at most 152 bytes) as the registry value
// is read; options are applied left to right, so those after --config win.
// Values are taken as a stored record's would be, even outside the dialog's
// ranges. Where --root and --window-id both appear the window id wins, as
// with XScreenSaver's own programs; every option also has a one-dash form
// (-root, -display). Parsing knows nothing of X: it is tested and used
// without a display. --help, the XScreenSaver description and the manual
// page are written from the same table (x11_documents.h).
#pragma once

#include <cstdint>
#include <string>

#include "core/scene/settings_record.h"

struct X11Options {
  SettingsRecord settings;  // the defaults with --config and the field options applied
  bool root = false;
  bool hasWindowId = false;
  unsigned long windowId = 0;
  std::string display;  // empty: $DISPLAY
  bool fps = false;
  bool help = false;
  bool xml = false;
  bool manual = false;
};

// Fills options from argv[1..argc-1]. On a bad command line or a bad
// --config file returns false with a one-line description naming the option
// (and the file) in error.
bool ParseX11Options(int argc, const char* const* argv, X11Options& options, std::string& error);

// A window id as XScreenSaver writes it: decimal or 0x hexadecimal, not 0.
bool ParseWindowId(const char* text, unsigned long& id);

// The option of a user setting ("--pyramid-radius", "--shadows").
std::string FieldOptionName(const SettingsField& field);

const char* X11UsageLine();
