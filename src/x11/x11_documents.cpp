// x11_documents.cpp - --help, vimbrel.xml and vimbrel.6 from settingsFields.
#include "x11/x11_documents.h"

#include <cstdio>
#include <vector>

#include "x11/x11_options.h"

namespace {

std::string SettingLabel(const SettingsField& field);

constexpr SettingsGroup groups[] = {SettingsGroup::dodecahedrons, SettingsGroup::pyramid, SettingsGroup::view};

const char* const description[] = {
    "A square pyramid and a formation of three dodecahedrons turn and travel in closed loops over a still "
    "picture of a tiled floor.",
    "Two point lights shade their faces and throw their shadows on the floor.",
    "Everything is drawn in 256 colours by the program's own software renderer, the same scene, pixel for "
    "pixel, as the Windows screen saver draws.",
};

// The sentences as one paragraph, in lines of at most 79 characters.
std::string Wrapped(const char* const (&sentences)[3]) {
  std::string text, line;
  for (const char* sentence : sentences) {
    const std::string words = sentence;
    for (size_t start = 0; start < words.size();) {
      size_t end = words.find(' ', start);
      if (end == std::string::npos) end = words.size();
      const std::string word = words.substr(start, end - start);
      if (!line.empty() && line.size() + 1 + word.size() > 79) text += line + "\n", line.clear();
      line += (line.empty() ? "" : " ") + word;
      start = end + 1;
    }
  }
  return text + line + "\n";
}

std::vector<const SettingsField*> GroupFields(SettingsGroup group, ControlKind kind) {
  std::vector<const SettingsField*> fields;
  for (const SettingsField& field : settingsFields)
    if (field.group == group && field.kind == kind) fields.push_back(&field);
  return fields;
}

std::string Lowered(const char* text) {
  std::string lowered = text;
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

std::string Range(const SettingsField& field) {
  return std::to_string(field.minimum) + " to " + std::to_string(field.maximum) + " (default " +
         std::to_string(field.defaultValue) + ")";
}

std::string OnOff(const SettingsField& field) { return field.defaultValue != 0 ? "on" : "off"; }

std::string NoForm(const SettingsField& field) { return "--no-" + FieldOptionName(field).substr(2); }

std::string XmlEscaped(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '"' ? "&quot;" : std::string(1, c);
  return escaped;
}

// A label in the XScreenSaver dialog, which has no group boxes: every
// label names its group ("Pyramid: radius", "Show pyramid", "View: eye
// Y"), and a value's unit is one a user reads: seconds for a period, none
// for a length, whose slider's ends say what it does.
std::string XmlLabel(const SettingsField& field) {
  const std::string group = SettingsGroupName(field.group), caption = field.caption;
  if (caption == "Show") return caption + " " + Lowered(group.c_str());
  std::string label = group + ": " + Lowered(caption.substr(0, 1).c_str()) + caption.substr(1);
  if (IsPeriod(field))
    label += " (s)";
  else if (std::string(field.unit) == "ms")
    label += " (ms)";
  return label;
}

// A slider; a period's counts seconds through its option in seconds. The
// light positions (six of them) and the frame time are spin buttons, which
// take one line each, so that the dialog fits a screen 768 pixels high.
void AppendNumber(std::string& text, const SettingsField& field) {
  const bool period = IsPeriod(field);
  const std::string name = period ? SecondsOptionName(field) : FieldOptionName(field);
  const bool spin = std::string(field.name).rfind("light", 0) == 0 || field.member == &SettingsRecord::frameTime;
  const int32_t low = period ? SecondsOfUnits(field.minimum) : field.minimum;
  const int32_t high = period ? SecondsOfUnits(field.maximum) : field.maximum;
  const int32_t initial = period ? SecondsOfUnits(field.defaultValue) : field.defaultValue;
  char line[700];
  if (spin)
    std::snprintf(line, sizeof line,
                  "      <number id=\"%s\" type=\"spinbutton\" arg=\"%s %%\" _label=\"%s\"\n"
                  "              low=\"%d\" high=\"%d\" default=\"%d\"/>\n",
                  name.substr(2).c_str(), name.c_str(), XmlEscaped(XmlLabel(field)).c_str(), low, high, initial);
  else
    std::snprintf(line, sizeof line,
                  "      <number id=\"%s\" type=\"slider\" arg=\"%s %%\"\n"
                  "              _label=\"%s\" _low-label=\"%s\" _high-label=\"%s\"\n"
                  "              low=\"%d\" high=\"%d\" default=\"%d\"/>\n",
                  name.substr(2).c_str(), name.c_str(), XmlEscaped(XmlLabel(field)).c_str(), field.lowWord,
                  field.highWord, low, high, initial);
  text += line;
}

// The default adds nothing to the command line, as the format asks.
void AppendCheckBox(std::string& text, const SettingsField& field) {
  const std::string name = FieldOptionName(field);
  const bool on = field.defaultValue != 0;
  text += "      <boolean id=\"" + name.substr(2) + "\" _label=\"" + XmlEscaped(XmlLabel(field)) + "\" " +
          (on ? "arg-unset=\"" + NoForm(field) : "arg-set=\"" + name) + "\"/>\n";
}

// Roff text: a backslash is printed by \e, and a hyphen in an option is a
// minus sign, so that it can be searched for and copied.
std::string Roff(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '\\' ? "\\e" : c == '-' ? "\\-" : std::string(1, c);
  return escaped;
}

// An option as a tagged paragraph; .BI sets the option bold and its argument italic.
void AppendManualOption(std::string& text, const std::string& option, const std::string& argument,
                        const std::string& body) {
  text += ".TP\n";
  text += argument.empty() ? ".B " + Roff(option) : ".BI " + Roff(option) + " \" " + argument + "\"";
  text += "\n" + body + "\n";
}

// The caption with its unit: "Frame time (ms)", "Shadows".
std::string SettingLabel(const SettingsField& field) {
  return field.unit[0] != '\0' ? std::string(field.caption) + " (" + field.unit + ")" : field.caption;
}

}  // namespace

std::string X11Help() {
  std::string text = std::string(X11UsageLine()) + "\n\n" + Wrapped(description) +
                     "\n"
                     "  (no window option)          its own window \"Vimbrel\", 1024 x 768 or as much of\n"
                     "                              the screen as fits; q, Q or Escape closes it\n"
                     "  --window                    its own window even where $XSCREENSAVER_WINDOW is set\n"
                     "  --geometry WxH+X+Y          the own window's size and place (any part of it)\n"
                     "  --root                      draw on the root window, or in $XSCREENSAVER_WINDOW\n"
                     "                              when it is set (as XScreenSaver runs its programs)\n"
                     "  --window-id ID              draw in window ID (decimal or 0x hex); wins over --root\n"
                     "  --display NAME              the X display (default $DISPLAY)\n"
                     "  --config FILE               a stored settings record of at most 152 bytes (the\n"
                     "                              Windows registry value); the options after it win\n"
                     "  --fps                       draw frames per second and the CPU share in the\n"
                     "                              window's corner, and print them on stderr\n"
                     "  --add-to-xscreensaver       put Vimbrel in XScreenSaver's list (~/.xscreensaver,\n"
                     "                              made from XScreenSaver's defaults when missing)\n"
                     "  --remove-from-xscreensaver  take it out again\n"
                     "  --help                      print this\n"
                     "  --xml, --man                print the XScreenSaver description or the manual page\n"
                     "\nSettings, as the Windows settings dialog groups them (values outside the ranges\n"
                     "are taken as a stored record's would be):\n";
  for (SettingsGroup group : groups) {
    text += std::string("\n") + SettingsGroupName(group) + ":\n";
    char line[200];
    for (const SettingsField* field : GroupFields(group, ControlKind::trackbar)) {
      std::snprintf(line, sizeof line, "  %-27s %s, %s\n", (FieldOptionName(*field) + " N").c_str(),
                    SettingLabel(*field).c_str(), Range(*field).c_str());
      text += line;
      if (!IsPeriod(*field)) continue;
      std::snprintf(line, sizeof line, "  %-27s the same in seconds, %d to %d (default %d)\n",
                    (SecondsOptionName(*field) + " S").c_str(), SecondsOfUnits(field->minimum),
                    SecondsOfUnits(field->maximum), SecondsOfUnits(field->defaultValue));
      text += line;
    }
    for (const SettingsField* field : GroupFields(group, ControlKind::checkBox)) {
      std::snprintf(line, sizeof line, "  %-27s %s (default %s; %s)\n", FieldOptionName(*field).c_str(), field->caption,
                    OnOff(*field).c_str(), NoForm(*field).c_str());
      text += line;
    }
  }
  return text;
}

// Three columns, one a group, each its check boxes over its numbers; View
// ends with the frame-rate display that the programs beside it offer.
std::string XScreenSaverDescription() {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
      "<screensaver name=\"vimbrel\" _label=\"Vimbrel\">\n\n"
      "  <command arg=\"--root\"/>\n\n"
      "  <hgroup>\n";
  for (SettingsGroup group : groups) {
    text += "    <vgroup>\n";
    for (const SettingsField* field : GroupFields(group, ControlKind::checkBox)) AppendCheckBox(text, *field);
    for (const SettingsField* field : GroupFields(group, ControlKind::trackbar)) AppendNumber(text, *field);
    if (group == SettingsGroup::view)
      text += "      <boolean id=\"fps\" _label=\"Show frame rate\" arg-set=\"--fps\"/>\n";
    text += "    </vgroup>\n";
  }
  text +=
      "  </hgroup>\n\n"
      "  <_description>\n";
  for (const char* sentence : description) text += XmlEscaped(sentence) + "\n";
  text += "  </_description>\n</screensaver>\n";
  return text;
}

std::string ManualPage(const char* version) {
  std::string text = ".TH VIMBREL 6 \"\" \"Vimbrel " + std::string(version) + "\" \"XScreenSaver\"\n";
  text += ".SH NAME\nvimbrel \\- a pyramid and three dodecahedrons over a tiled floor\n";
  text +=
      ".SH SYNOPSIS\n.B vimbrel\n"
      "[\\-\\-root | \\-\\-window | \\-\\-window\\-id \\fIID\\fP] [\\-\\-geometry \\fIWxH+X+Y\\fP] "
      "[\\-\\-display \\fIname\\fP] [\\-\\-config \\fIfile\\fP] [\\-\\-fps] [\\fIsetting\\fP...]\n"
      ".br\n.B vimbrel\n\\-\\-add\\-to\\-xscreensaver | \\-\\-remove\\-from\\-xscreensaver\n";
  text += ".SH DESCRIPTION\n";
  for (const char* sentence : description) text += Roff(sentence) + "\n";
  text +=
      ".PP\nIt draws in its own window, on the root window, or in a window that XScreenSaver names. "
      "It needs a TrueColor visual of depth 15, 16, 24 or 32.\n";
  text +=
      ".PP\nWithout a window option it opens its own window \"Vimbrel\", 1024 by 768 pixels or the "
      "largest 4:3 window that fits nine tenths of a smaller screen, unless XSCREENSAVER_WINDOW names one. "
      "q, Q or Escape closes its own window.\n";
  text += ".SH OPTIONS\n";
  AppendManualOption(text, "--window", "",
                     "Draw in its own window, even where XSCREENSAVER_WINDOW is set. It and \\-\\-root undo each "
                     "other: the last one wins.");
  AppendManualOption(text, "--geometry", "WxH+X+Y",
                     "The own window's size and place, any part of it (640x480, +0+0, 320x200\\-10\\-10).");
  AppendManualOption(text, "--root", "",
                     "Draw on the root window, or in the window named by XSCREENSAVER_WINDOW when it is set.");
  AppendManualOption(text, "--window-id", "ID",
                     "Draw in the window ID, decimal or hexadecimal with 0x. It wins over \\-\\-root.");
  AppendManualOption(text, "--display", "name", "The X display to draw on. The default is DISPLAY.");
  AppendManualOption(text, "--config", "file",
                     "Read a stored settings record: a regular file of at most 152 bytes, 38 signed 32\\-bit "
                     "little\\-endian fields, as Vimbrel for Windows keeps it in the registry. A shorter file "
                     "sets the leading fields and leaves the others at their defaults. Settings given after it "
                     "win over it. The record's fields that have no option are set this way.");
  AppendManualOption(text, "--fps", "",
                     "Draw the frames per second and the share of one processor used in the window's bottom left "
                     "corner, and print them once a second on standard error.");
  AppendManualOption(text, "--add-to-xscreensaver", "",
                     "Put Vimbrel first in the programs list of ~/.xscreensaver, so that XScreenSaver lists and runs "
                     "it, and say so on standard output. A missing file is made from XScreenSaver's defaults; "
                     "everything else in the file stays as it was. Nothing is done when Vimbrel is there already, and "
                     "a file that is not a list of settings is left alone with one line on standard error and "
                     "status 1.");
  AppendManualOption(text, "--remove-from-xscreensaver", "", "Take every Vimbrel line out of that list again.");
  AppendManualOption(text, "--help", "", "Print the options with their ranges and defaults.");
  AppendManualOption(text, "--xml", "", "Print the description that XScreenSaver's settings program reads.");
  AppendManualOption(text, "--man", "", "Print this manual page.");
  text += ".PP\nEvery option may also be written with one dash.\n";
  text +=
      ".SH SETTINGS\nThe settings of the Windows settings dialog, in its groups. "
      "Values outside the ranges are taken as a stored record's would be.\n";
  for (SettingsGroup group : groups) {
    text += std::string(".SS ") + SettingsGroupName(group) + "\n";
    for (const SettingsField* field : GroupFields(group, ControlKind::trackbar)) {
      AppendManualOption(text, FieldOptionName(*field), "n", Roff(SettingLabel(*field) + ": " + Range(*field) + "."));
      if (IsPeriod(*field))
        AppendManualOption(text, SecondsOptionName(*field), "s",
                           Roff("The same in seconds, rounded to the nearest 1.024 s: " +
                                std::to_string(SecondsOfUnits(field->minimum)) + " to " +
                                std::to_string(SecondsOfUnits(field->maximum)) + " (default " +
                                std::to_string(SecondsOfUnits(field->defaultValue)) + ")."));
    }
    for (const SettingsField* field : GroupFields(group, ControlKind::checkBox))
      AppendManualOption(text, FieldOptionName(*field) + ", " + NoForm(*field), "",
                         Roff(std::string(field->caption) + ", on or off (default " + OnOff(*field) + ")."));
  }
  text +=
      ".SH ENVIRONMENT\n"
      ".TP\n.B DISPLAY\nThe X display, unless \\-\\-display names one.\n"
      ".TP\n.B XSCREENSAVER_WINDOW\nThe window to draw in when \\-\\-window\\-id is not given: "
      "XScreenSaver sets it when it runs the program.\n";
  text +=
      ".SH EXIT STATUS\n"
      ".TP\n.B 0\nThe window was closed or destroyed, or q, Q or Escape was pressed in the own window; or "
      "XScreenSaver's list is as asked.\n"
      ".TP\n.B 1\nAn X failure: no display, a window that is not one, another visual, the server going "
      "away; or a bad XSCREENSAVER_WINDOW; or a ~/.xscreensaver that is not a list of settings.\n"
      ".TP\n.B 2\nA bad command line or a \\-\\-config file that is missing, not a regular file or longer "
      "than 152 bytes. One line on standard error says what is wrong.\n";
  text +=
      ".SH FILES\n"
      ".TP\n.I /usr/share/xscreensaver/config/vimbrel.xml\n"
      "The settings that XScreenSaver's settings program offers.\n"
      ".TP\n.I /usr/share/applications/screensavers/vimbrel.desktop\n"
      "The entry from which MATE's screen saver lists Vimbrel.\n"
      ".TP\n.I ~/.xscreensaver\nXScreenSaver's settings: Vimbrel runs when its \\fBprograms:\\fP list "
      "holds a line such as \\fBvimbrel \\-\\-root\\fP, which \\-\\-add\\-to\\-xscreensaver puts there.\n";
  text += ".SH SEE ALSO\n.BR xscreensaver (1),\n.BR xscreensaver\\-settings (1)\n";
  return text;
}
