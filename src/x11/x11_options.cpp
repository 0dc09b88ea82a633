// x11_options.cpp - options, help and XScreenSaver description from settingsFields.
#include "x11/x11_options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// "light1X" -> {"light", "1", "X"}; "pyramidRotationTime" -> {"pyramid", "Rotation", "Time"}.
std::vector<std::string> NameWords(const char* name) {
  std::vector<std::string> words(1);
  for (const char* c = name; *c != '\0'; ++c) {
    const bool startsWord = c != name && (IsUpper(*c) || (IsDigit(*c) && !IsDigit(c[-1])));
    if (startsWord) words.emplace_back();
    words.back() += *c;
  }
  return words;
}

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

// The caption the settings program shows: "Pyramid rotation time", "Light 1 X",
// "Show dodecahedrons", "Shadows".
std::string FieldCaption(const SettingsField& field) {
  std::vector<std::string> words = NameWords(field.name);
  if (words.front() == "dodeca") words.front() = "dodecahedrons";
  if (words.back() == "Show") words = {"Show", words.front()};       // pyramidShow
  else if (words.front() == "show") words.erase(words.begin());     // showGrid
  std::string caption;
  for (const std::string& word : words) {
    if (!caption.empty()) caption += ' ';
    // A one-letter word is an axis and keeps its capital.
    caption += word.size() == 1 ? word : std::string(1, Lower(word[0])) + word.substr(1);
  }
  caption[0] = static_cast<char>(caption[0] - (caption[0] >= 'a' && caption[0] <= 'z' ? 'a' - 'A' : 0));
  return caption;
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
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    error = std::string("--config: cannot open '") + path + "': " + std::strerror(errno);
    return false;
  }
  // One byte more than a record: a longer value must be seen as too long.
  uint8_t bytes[settingsRecordSize + 1];
  const size_t length = std::fread(bytes, 1, sizeof bytes, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    error = std::string("--config: cannot read '") + path + "'";
    return false;
  }
  SettingsFromBytes(bytes, length, settings);  // too long: the defaults, as the registry gives them
  return true;
}

// The field an option names, or null. A check box's option carries its
// value (1, or 0 for the --no- form) in checkValue.
const SettingsField* FindFieldOption(const std::string& option, bool& isCheckBox, int32_t& checkValue) {
  for (const SettingsField& field : settingsFields) {
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

// "-root" means "--root": XScreenSaver's older command lines use one dash.
std::string LongForm(const char* argument) {
  const std::string text = argument;
  if (text.size() > 2 && text[0] == '-' && text[1] != '-') return "-" + text;
  return text;
}

std::string XmlEscaped(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '"' ? "&quot;" : std::string(1, c);
  return escaped;
}

}  // namespace

std::string FieldOptionName(const SettingsField& field) {
  std::string name = HyphenatedName(field.name);
  if (field.kind == ControlKind::checkBox && name.rfind("show-", 0) == 0) name.erase(0, 5);
  return "--" + name;
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
    } else if (option == "--root") {
      options.root = true;
    } else if (option == "--fps") {
      options.fps = true;
    } else if (field != nullptr && isCheckBox) {
      options.settings.*field->member = checkValue;
    } else if (field == nullptr && option != "--window-id" && option != "--config") {
      error = "unknown option '" + std::string(argv[i]) + "'";
      return false;
    } else if (i + 1 >= argc) {
      error = option + " needs a value";
      return false;
    } else {
      const char* value = argv[++i];
      if (option == "--config") {
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
  if (options.root && options.hasWindowId) {
    error = "--root and --window-id exclude each other";
    return false;
  }
  return true;
}

const char* X11UsageLine() {
  return "usage: vimbrel [--root | --window-id ID] [--config FILE] [--fps] [--SETTING VALUE...] (--help lists them)";
}

std::string X11Help() {
  std::string text = std::string(X11UsageLine()) +
                     "\n\nDraws the Vimbrel scene in its own window, on the root window, or in the window\n"
                     "named by --window-id or $XSCREENSAVER_WINDOW.\n\n"
                     "  --root                                 draw on the root window ($XSCREENSAVER_WINDOW\n"
                     "                                         when set, as XScreenSaver runs its programs)\n"
                     "  --window-id ID                         draw in window ID (decimal or 0x hex)\n"
                     "  --config FILE                          a stored settings record (152 bytes, as the\n"
                     "                                         Windows registry value); options after it win\n"
                     "  --fps                                  print frames per second and CPU use on stderr\n"
                     "\nSettings (values outside the ranges are taken as a stored record's would be):\n";
  for (const SettingsField& field : settingsFields) {
    char line[160];
    const std::string caption = FieldCaption(field);
    if (field.kind == ControlKind::checkBox) {
      const std::string name = FieldOptionName(field);
      std::snprintf(line, sizeof line, "  %-38s %s (default %s)\n", (name + ", --no-" + name.substr(2)).c_str(),
                    caption.c_str(), field.defaultValue != 0 ? "on" : "off");
    } else if (field.kind == ControlKind::trackbar) {
      std::snprintf(line, sizeof line, "  %-38s %s, %d to %d (default %d)\n", (FieldOptionName(field) + " N").c_str(),
                    caption.c_str(), field.minimum, field.maximum, field.defaultValue);
    } else {
      std::snprintf(line, sizeof line, "  %-38s %s, any 32-bit integer (default %d)\n",
                    (FieldOptionName(field) + " N").c_str(), caption.c_str(), field.defaultValue);
    }
    text += line;
  }
  return text;
}

// Sliders and check boxes of the dialog; fields without a control are left
// to --config, as they are left to the stored record on Windows.
std::string XScreenSaverDescription() {
  std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
                     "<screensaver name=\"vimbrel\" _label=\"Vimbrel\">\n\n"
                     "  <command arg=\"--root\"/>\n\n";
  for (const SettingsField& field : settingsFields) {
    const std::string name = FieldOptionName(field);
    const std::string id = name.substr(2);
    const std::string label = XmlEscaped(FieldCaption(field));
    char line[400];
    if (field.kind == ControlKind::trackbar) {
      std::snprintf(line, sizeof line,
                    "  <number id=\"%s\" type=\"slider\" arg=\"%s %%\"\n"
                    "          _label=\"%s\" _low-label=\"%d\" _high-label=\"%d\"\n"
                    "          low=\"%d\" high=\"%d\" default=\"%d\"/>\n",
                    id.c_str(), name.c_str(), label.c_str(), field.minimum, field.maximum, field.minimum,
                    field.maximum, field.defaultValue);
    } else if (field.kind == ControlKind::checkBox) {
      std::snprintf(line, sizeof line, "  <boolean id=\"%s\" _label=\"%s\" %s=\"%s\"/>\n", id.c_str(), label.c_str(),
                    field.defaultValue != 0 ? "arg-unset" : "arg-set",
                    (field.defaultValue != 0 ? "--no-" + id : name).c_str());
    } else {
      continue;
    }
    text += line;
  }
  text += "\n  <_description>\n"
          "A square pyramid and three dodecahedrons turn and travel over a tiled floor,\n"
          "lit by two lights that shade their faces and throw their shadows.\n"
          "  </_description>\n"
          "</screensaver>\n";
  return text;
}
