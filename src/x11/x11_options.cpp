// x11_options.cpp - the command line from settingsFields.
#include "x11/x11_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/common/regular_file.h"

namespace {

// Whether a field is one of the user's settings: a control of the dialog.
bool IsUserSetting(const SettingsField& field) { return field.kind != ControlKind::none; }

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
char Lower(char c) { return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// The field's words lower-cased and joined with hyphens; digits stay with
// the word before them ("light1-x"), as they are read.
std::string HyphenatedName(const char* name) {
  std::string text;
  for (const char* c = name; *c != '\0'; ++c) {
    if (IsUpper(*c)) text += '-';
    text += Lower(*c);
  }
  return text;
}

// A whole signed 32-bit decimal, nothing else.
bool ParseInt32(const char* text, int32_t& value) {
  if (*text == '\0' || std::strchr(" \t\n+", *text) != nullptr) return false;
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

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

// The period whose option in seconds this is, or null.
const SettingsField* FindSecondsOption(const std::string& option) {
  for (const SettingsField& field : settingsFields)
    if (IsPeriod(field) && option == SecondsOptionName(field)) return &field;
  return nullptr;
}

// A decimal number of seconds ("41", "40.96"), nothing else.
bool ParseSeconds(const char* text, double& seconds) {
  if (*text == '\0' || std::strspn(text, "-0123456789.") != std::strlen(text)) return false;
  char* end = nullptr;
  seconds = std::strtod(text, &end);
  return *end == '\0' && std::isfinite(seconds);
}

// Options that take a value, other than the settings.
bool TakesValue(const std::string& option) {
  return option == "--window-id" || option == "--config" || option == "--display" || option == "--geometry" ||
         FindSecondsOption(option) != nullptr;
}

// "-root" means "--root": XScreenSaver's older command lines use one dash.
std::string LongForm(const char* argument) {
  const std::string text = argument;
  if (text.size() > 2 && text[0] == '-' && text[1] != '-') return "-" + text;
  return text;
}

}  // namespace

std::string FieldOptionName(const SettingsField& field) {
  std::string name = HyphenatedName(field.name);
  if (field.kind == ControlKind::checkBox && name.rfind("show-", 0) == 0) name.erase(0, 5);
  return "--" + name;
}

bool IsPeriod(const SettingsField& field) {
  return field.kind == ControlKind::trackbar && std::strcmp(field.unit, settingsPeriodUnit) == 0;
}

std::string SecondsOptionName(const SettingsField& field) {
  std::string name = FieldOptionName(field);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, "-time") == 0) name.erase(name.size() - 5);
  return name + "-seconds";
}

// 1.024 s a unit: seconds = units * 128 / 125, rounded half away from zero.
int32_t SecondsOfUnits(int32_t units) {
  const int64_t scaled = static_cast<int64_t>(units) * 128;
  return static_cast<int32_t>((scaled + (scaled < 0 ? -62 : 62)) / 125);
}

bool UnitsOfSeconds(double seconds, int32_t& units) {
  const double rounded = std::round(seconds * 125 / 128);
  if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) return false;
  units = static_cast<int32_t>(rounded);
  return true;
}

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

bool ParseX11Options(int argc, const char* const* argv, X11Options& options, std::string& error) {
  SetDefaultSettings(options.settings);
  for (int i = 1; i < argc; ++i) {
    const std::string option = LongForm(argv[i]);
    bool isCheckBox = false;
    int32_t checkValue = 0;
    const SettingsField* field = FindFieldOption(option, isCheckBox, checkValue);
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--xml") {
      options.xml = true;
    } else if (option == "--man") {
      options.manual = true;
    } else if (option == "--root") {
      options.root = true, options.window = false;
    } else if (option == "--window") {
      options.window = true, options.root = false;
    } else if (option == "--add-to-xscreensaver") {
      options.listEdit = X11Options::ListEdit::add;
    } else if (option == "--remove-from-xscreensaver") {
      options.listEdit = X11Options::ListEdit::remove;
    } else if (option == "--fps") {
      options.fps = true;
    } else if (field != nullptr && isCheckBox) {
      options.settings.*field->member = checkValue;
    } else if (field == nullptr && !TakesValue(option)) {
      error = "unknown option '" + std::string(argv[i]) + "'";
      return false;
    } else if (i + 1 >= argc) {
      error = option + " needs a value";
      return false;
    } else {
      const char* value = argv[++i];
      const SettingsField* period = FindSecondsOption(option);
      double seconds = 0;
      if (option == "--display") {
        options.display = value;
      } else if (option == "--geometry") {
        options.geometry = value;
      } else if (period != nullptr) {
        if (!ParseSeconds(value, seconds) || !UnitsOfSeconds(seconds, options.settings.*period->member)) {
          error = option + ": '" + value + "' is not a number of seconds";
          return false;
        }
      } else if (option == "--config") {
        if (!ReadConfigFile(value, options.settings, error)) return false;
      } else if (option == "--window-id") {
        if (!ParseWindowId(value, options.windowId)) {
          error = "--window-id: '" + std::string(value) + "' is not a window id (decimal or 0x hex)";
          return false;
        }
        options.hasWindowId = true;
      } else if (!ParseInt32(value, options.settings.*field->member)) {
        error = option + ": '" + value + "' is not a 32-bit integer";
        return false;
      }
    }
  }
  return true;
}

const char* X11UsageLine() {
  return "usage: vimbrel [--root | --window | --window-id ID] [--geometry WxH+X+Y] [--display NAME] [--config FILE]"
         " [--fps] [--SETTING VALUE...] (--help lists them)";
}
