// linux_options.cpp - the command line of both Linux programs, from programOptions and settingsFields.
#include "linux_options/linux_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/common/regular_file.h"

namespace {

constexpr unsigned both = x11Program | waylandProgram;

}  // namespace

// In the order --help and the manual page list them. An option a program
// takes with a meaning of its own has a row for each program.
const ProgramOption programOptions[] = {
    {OptionId::noWindowOption, x11Program, nullptr, nullptr,
     "its own window \"Vimbrel\", 1024 x 768 or as much of\n"
     "the screen as fits; q, Q or Escape closes it",
     "(no window option)", nullptr},
    {OptionId::window, x11Program, "--window", nullptr, "its own window even where $XSCREENSAVER_WINDOW is set",
     nullptr,
     "Draw in its own window, even where XSCREENSAVER_WINDOW is set. It and \\-\\-root undo each "
     "other: the last one wins."},
    {OptionId::geometry, x11Program, "--geometry", "WxH+X+Y", "the own window's size and place (any part of it)",
     nullptr, "The own window's size and place, any part of it (640x480, +0+0, 320x200\\-10\\-10)."},
    {OptionId::root, x11Program, "--root", nullptr,
     "draw on the root window, or in $XSCREENSAVER_WINDOW\n"
     "when it is set (as XScreenSaver runs its programs)",
     nullptr, "Draw on the root window, or in the window named by XSCREENSAVER_WINDOW when it is set."},
    {OptionId::windowId, x11Program, "--window-id", "ID", "draw in window ID (decimal or 0x hex); wins over --root",
     nullptr, "Draw in the window ID, decimal or hexadecimal with 0x. It wins over \\-\\-root."},
    {OptionId::display, x11Program, "--display", "NAME", "the X display (default $DISPLAY)", nullptr,
     "The X display to draw on. The default is DISPLAY."},
    {OptionId::display, waylandProgram, "--display", "NAME",
     "the Wayland display (default $WAYLAND_DISPLAY,\n"
     "else wayland-0)",
     nullptr,
     "The Wayland display to draw on: a socket name in XDG_RUNTIME_DIR, or a path. The default is "
     "WAYLAND_DISPLAY, else wayland\\-0."},
    {OptionId::config, both, "--config", "FILE",
     "a stored settings record of at most 152 bytes (the\n"
     "Windows registry value); the options after it win",
     nullptr,
     "Read a stored settings record: a regular file of at most 152 bytes, 38 signed 32\\-bit "
     "little\\-endian fields, as Vimbrel for Windows keeps it in the registry. A shorter file "
     "sets the leading fields and leaves the others at their defaults. Settings given after it "
     "win over it. The record's fields that have no option are set this way."},
    {OptionId::fps, x11Program, "--fps", nullptr,
     "draw frames per second and the CPU share in the\n"
     "window's corner, and print them on stderr",
     nullptr,
     "Draw the frames per second and the share of one processor used in the window's bottom left "
     "corner, and print them once a second on standard error."},
    {OptionId::fps, waylandProgram, "--fps", nullptr, "print frames per second and the CPU share on\n"
     "stderr, and when the first frame was shown", nullptr,
     "Print the frames per second of all outputs together and the share of one processor used once a second "
     "on standard error, and first how long after the start the compositor showed the first frame."},
    {OptionId::idle, waylandProgram, "--idle", "SECONDS",
     "wait until the seat has been idle this long,\n"
     "cover the outputs until input, then wait again\n"
     "(needs the compositor's idle notifier)",
     nullptr,
     "Stay running: wait until the seat has been idle for SECONDS (1 to 86400), cover the outputs until "
     "input, then wait again. It needs the compositor's idle notifier (ext_idle_notifier_v1, or "
     "org_kde_kwin_idle); without one it says so and exits with 1."},
    {OptionId::background, waylandProgram, "--background", nullptr,
     "draw on the background layer of every output,\n"
     "under the windows, and take no input",
     nullptr,
     "Draw on the background layer of every output, under the windows and a locker's prompt, and take no "
     "input: it runs until it is stopped. It needs the layer shell."},
    {OptionId::addToList, x11Program, "--add-to-xscreensaver", nullptr,
     "put Vimbrel in XScreenSaver's list (~/.xscreensaver,\n"
     "made from XScreenSaver's defaults when missing)",
     nullptr,
     "Put Vimbrel first in the programs list of ~/.xscreensaver, so that XScreenSaver lists and runs "
     "it, and say so on standard output. A missing file is made from XScreenSaver's defaults; "
     "everything else in the file stays as it was. Nothing is done when Vimbrel is there already, and "
     "a file that is not a list of settings is left alone with one line on standard error and "
     "status 1."},
    {OptionId::removeFromList, x11Program, "--remove-from-xscreensaver", nullptr, "take it out again", nullptr,
     "Take every Vimbrel line out of that list again."},
    {OptionId::help, both, "--help", nullptr, "print this", nullptr,
     "Print the options with their ranges and defaults."},
    {OptionId::xml, x11Program, "--xml", nullptr, "print the XScreenSaver description or the manual page",
     "--xml, --man", "Print the description that XScreenSaver's settings program reads."},
    {OptionId::manual, x11Program, "--man", nullptr, nullptr, nullptr, "Print this manual page."},
    {OptionId::manual, waylandProgram, "--man", nullptr, "print the manual page", nullptr, "Print this manual page."},
};
const int programOptionCount = sizeof programOptions / sizeof programOptions[0];

namespace {

bool ReadConfigFile(const char* path, SettingsRecord& settings, std::string& error) {
  std::vector<uint8_t> bytes;
  std::string problem;
  if (!ReadRegularFile(path, settingsRecordSize, bytes, problem)) {
    error = std::string("--config: '") + path + "' " + problem;
    return false;
  }
  SettingsFromBytes(bytes.data(), bytes.size(), settings);
  return true;
}

// The field an option names, or null. A check box's option carries its
// value (1, or 0 for the --no- form) in checkValue.
const SettingsField* FindFieldOption(const std::string& option, bool& isCheckBox, int32_t& checkValue) {
  for (const SettingsField& field : settingsFields) {
    if (!IsUserSetting(field)) continue;
    const std::string name = FieldOptionName(field);
    isCheckBox = field.kind == ControlKind::checkBox;
    if (option == name) {
      checkValue = 1;
      return &field;
    }
    if (isCheckBox && option == "--no-" + name.substr(2)) {
      checkValue = 0;
      return &field;
    }
  }
  return nullptr;
}

// The row of an option the program takes, or null.
const ProgramOption* FindProgramOption(LinuxProgram program, const std::string& option) {
  for (const ProgramOption& row : programOptions)
    if ((row.programs & program) != 0 && row.name != nullptr && option == row.name) return &row;
  return nullptr;
}

// "-root" means "--root": XScreenSaver's older command lines use one dash.
std::string LongForm(const char* argument) {
  const std::string text = argument;
  if (text.size() > 2 && text[0] == '-' && text[1] != '-') return "-" + text;
  return text;
}

// A program option's effect; its value, when it takes one, in value.
bool ApplyProgramOption(const ProgramOption& row, const char* value, LinuxOptions& options, std::string& error) {
  switch (row.id) {
    case OptionId::help: options.help = true; break;
    case OptionId::xml: options.xml = true; break;
    case OptionId::manual: options.manual = true; break;
    case OptionId::root: options.root = true, options.window = false; break;
    case OptionId::window: options.window = true, options.root = false; break;
    case OptionId::addToList: options.listEdit = LinuxOptions::ListEdit::add; break;
    case OptionId::removeFromList: options.listEdit = LinuxOptions::ListEdit::remove; break;
    case OptionId::fps: options.fps = true; break;
    case OptionId::background: options.background = true; break;
    case OptionId::display: options.display = value; break;
    case OptionId::geometry: options.geometry = value; break;
    case OptionId::config: return ReadConfigFile(value, options.settings, error);
    case OptionId::windowId:
      if (!ParseWindowId(value, options.windowId)) {
        error = "--window-id: '" + std::string(value) + "' is not a window id (decimal or 0x hex)";
        return false;
      }
      options.hasWindowId = true;
      break;
    case OptionId::idle:
      // A day at most: an idle timeout longer than that is no screen saver's.
      if (!ParseInt32(value, options.idleSeconds) || options.idleSeconds < 1 || options.idleSeconds > 86400) {
        error = "--idle: '" + std::string(value) + "' is not a number of seconds from 1 to 86400";
        return false;
      }
      break;
    case OptionId::noWindowOption: break;
  }
  return true;
}

}  // namespace

std::string FieldOptionName(const SettingsField& field) { return "--" + SettingName(field); }

std::string SecondsOptionName(const SettingsField& field) { return "--" + SecondsSettingName(field); }

bool ParseWindowId(const char* text, unsigned long& id) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  if (*digits == '\0' || std::strspn(digits, hex ? "0123456789abcdefABCDEF" : "0123456789") != std::strlen(digits))
    return false;
  errno = 0;
  const unsigned long long parsed = std::strtoull(digits, nullptr, hex ? 16 : 10);
  if (errno != 0 || parsed == 0 || parsed > UINT32_MAX) return false;  // X ids are 32 bits at most
  id = static_cast<unsigned long>(parsed);
  return true;
}

bool ParseLinuxOptions(LinuxProgram program, int argc, const char* const* argv, LinuxOptions& options,
                       std::string& error) {
  SetDefaultSettings(options.settings);
  for (int i = 1; i < argc; ++i) {
    std::string option = LongForm(argv[i]);
    if (option == "-h") option = "--help";
    bool isCheckBox = false;
    int32_t checkValue = 0;
    const SettingsField* field = FindFieldOption(option, isCheckBox, checkValue);
    const ProgramOption* row = FindProgramOption(program, option);
    const SettingsField* period = option.rfind("--", 0) == 0 ? FindPeriodBySecondsName(option.substr(2)) : nullptr;
    if (row != nullptr && row->argument == nullptr) {
      ApplyProgramOption(*row, nullptr, options, error);
    } else if (field != nullptr && isCheckBox) {
      options.settings.*field->member = checkValue;
    } else if (field == nullptr && row == nullptr && period == nullptr) {
      error = "unknown option '" + std::string(argv[i]) + "'";
      return false;
    } else if (i + 1 >= argc) {
      error = option + " needs a value";
      return false;
    } else {
      const char* value = argv[++i];
      if (row != nullptr) {
        if (!ApplyProgramOption(*row, value, options, error)) return false;
      } else if (period != nullptr) {
        if (!ParseSecondsAsUnits(value, options.settings.*period->member)) {
          error = option + ": '" + value + "' is not a number of seconds";
          return false;
        }
      } else if (!ParseInt32(value, options.settings.*field->member)) {
        error = option + ": '" + value + "' is not a 32-bit integer";
        return false;
      }
    }
  }
  return true;
}

std::string UsageLine(LinuxProgram program) {
  return program == x11Program
             ? "usage: vimbrel [--root | --window | --window-id ID] [--geometry WxH+X+Y] [--display NAME] "
               "[--config FILE] [--fps] [--SETTING VALUE...] (--help lists them)"
             : "usage: vimbrel-wayland [--display NAME] [--config FILE] [--fps] [--idle SECONDS] [--background] "
               "[--SETTING VALUE...] (--help lists them)";
}

bool ChooseSceneClock(const char* frozenTick, SceneClock& clock, std::string& error) {
  clock = {frozenTick != nullptr, 0};
  if (frozenTick == nullptr) return true;
  char* end = nullptr;
  const unsigned long long tick = std::strtoull(frozenTick, &end, 10);
  if (*frozenTick < '0' || *frozenTick > '9' || *end != '\0' || tick > UINT32_MAX) {
    error = std::string("VIMBREL_FROZEN_TICK '") + frozenTick + "' is not a 32-bit tick count";
    return false;
  }
  clock.frozenTick = static_cast<uint32_t>(tick);
  return true;
}
