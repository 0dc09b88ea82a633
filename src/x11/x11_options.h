// x11_options.h - the command line of the X11 program, made from the field table.
//
//   vimbrel [--root | --window-id ID] [--config FILE] [--fps] [SETTINGS...]
//
// Every field of the settings record is an option named after it: a number
// as --eye-z -4000, a check box as --shadows / --no-shadows (a leading
// "show" is dropped). --config reads a stored record of up to 152 bytes as
// the registry value is read; options are applied left to right, so those
// after --config win. Values are taken as a stored record's would be, even
// outside the dialog's ranges. The same table gives --help and the
// XScreenSaver description (--xml), so nothing about a field is written here.
// Parsing knows nothing of X: it is tested and used without a display.
#pragma once

#include <cstdint>
#include <string>

#include "scene/settings_record.h"

struct X11Options {
  SettingsRecord settings;  // the defaults with --config and the field options applied
  bool root = false;
  bool hasWindowId = false;
  unsigned long windowId = 0;
  bool fps = false;
  bool help = false;
  bool xml = false;
};

// Fills options from argv[1..argc-1]. On a bad command line returns false
// with a one-line description naming the option in error.
bool ParseX11Options(int argc, const char* const* argv, X11Options& options, std::string& error);

// A window id as XScreenSaver writes it: decimal or 0x hexadecimal, not 0.
bool ParseWindowId(const char* text, unsigned long& id);

// The option of a field ("--pyramid-radius", "--shadows").
std::string FieldOptionName(const SettingsField& field);

const char* X11UsageLine();
std::string X11Help();
std::string XScreenSaverDescription();
