// linux_options.h - the command line of both Linux programs, from one table.
//
//   vimbrel         [--root | --window | --window-id ID] [--geometry WxH+X+Y]
//                   [--display NAME] [--config FILE] [--fps] [SETTINGS...]
//   vimbrel         --add-to-xscreensaver | --remove-from-xscreensaver
//   vimbrel-wayland [--display NAME] [--config FILE] [--fps] [--idle SECONDS]
//                   [--background] [SETTINGS...]
//
// programOptions lists every option that is not a setting, each marked with
// the programs that take it; parsing, --help and the manual page's OPTIONS
// are all read from it (the one-line usage sums them up by hand). The
// settings are those of the Windows settings dialog: each field with a
// control is an option named after it, a trackbar's as
// --pyramid-radius 260, a check box's as --shadows / --no-shadows (a leading
// "show" is dropped). The record's other fields are reached through
// --config, which reads a stored record (a regular file of at most 152
// bytes) as the registry value is read; options are applied left to right,
// so those after --config win. Values are taken as a stored record's would
// be, even outside the dialog's ranges. A period, kept in units of 1.024 s
// as the record keeps it, also has an option in seconds
// (--pyramid-rotation-seconds 41), rounded to the nearest unit. Every option
// also has a one-dash form (-root, -display, -geometry). Parsing knows
// nothing of X or Wayland: it is tested and used without a display.
#pragma once

#include <cstdint>
#include <string>

#include "core/scene/scene.h"
#include "core/scene/setting_names.h"
#include "core/scene/settings_record.h"

// The programs, as bits of an option's `programs`.
enum LinuxProgram : unsigned { x11Program = 1, waylandProgram = 2 };

enum class OptionId {
  noWindowOption,  // not an option: the X11 help's line about no window option
  window,
  geometry,
  root,
  windowId,
  display,
  config,
  fps,
  idle,
  background,
  addToList,
  removeFromList,
  help,
  xml,
  manual,
};

struct ProgramOption {
  OptionId id;
  unsigned programs;     // LinuxProgram bits
  const char* name;      // "--window-id"; the X11 help's first line has none
  const char* argument;  // "ID", or null for a switch
  const char* help;      // --help's text, lines after the first indented; null: not in --help
  const char* helpName;  // --help's left column when it is not name and argument, or null
  const char* manual;    // the manual page's paragraph (roff); null: not in the page
};

extern const ProgramOption programOptions[];
extern const int programOptionCount;

struct LinuxOptions {
  SettingsRecord settings;  // the defaults with --config and the field options applied
  bool root = false;
  bool window = false;   // --window: the own window even where XSCREENSAVER_WINDOW is set
  std::string geometry;  // -geometry: the own window's size and place, as XParseGeometry reads it
  bool hasWindowId = false;
  unsigned long windowId = 0;
  std::string display;  // empty: the environment's
  bool fps = false;
  int32_t idleSeconds = -1;  // --idle: wait for this long an idleness first; -1: show at once
  bool background = false;   // --background: under the windows, no input of its own
  bool help = false;
  bool xml = false;
  bool manual = false;
  enum class ListEdit { none, add, remove } listEdit = ListEdit::none;  // XScreenSaver's list (X11)
};

// Fills options from argv[1..argc-1] with the options `program` takes. On a
// bad command line or a bad --config file returns false with a one-line
// description naming the option (and the file) in error.
bool ParseLinuxOptions(LinuxProgram program, int argc, const char* const* argv, LinuxOptions& options,
                       std::string& error);

// "usage: vimbrel [...]", one line, from the table.
std::string UsageLine(LinuxProgram program);

// A window id as XScreenSaver writes it: decimal or 0x hexadecimal, not 0.
bool ParseWindowId(const char* text, unsigned long& id);

// The option of a user setting ("--pyramid-radius", "--shadows").
std::string FieldOptionName(const SettingsField& field);

// A period's option in seconds ("--pyramid-rotation-seconds").
std::string SecondsOptionName(const SettingsField& field);

// The scene clock a Linux program runs on: the system's, or the tick held
// by VIMBREL_FROZEN_TICK (frozenTick, null when unset), so that a test can
// compare its frames with vimbrel-render's. False, with a line in error,
// when the text is no 32-bit tick count.
bool ChooseSceneClock(const char* frozenTick, SceneClock& clock, std::string& error);
