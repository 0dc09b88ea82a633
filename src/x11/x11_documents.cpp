// x11_documents.cpp - --help, vimbrel.xml and vimbrel.6 from settingsFields.
#include "x11/x11_documents.h"

#include <cstdio>
#include <vector>

#include "linux_options/linux_documents.h"

namespace {

std::string Lowered(const char* text) {
  std::string lowered = text;
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

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

}  // namespace

std::string X11Help() { return ProgramHelp(x11Program); }

// Three columns, one a group, each its check boxes over its numbers; View
// ends with the frame-rate display that the programs beside it offer.
std::string XScreenSaverDescription() {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
      "<screensaver name=\"vimbrel\" _label=\"Vimbrel\">\n\n"
      "  <command arg=\"--root\"/>\n\n"
      "  <hgroup>\n";
  for (SettingsGroup group : settingsGroups) {
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
  for (const char* sentence : sceneDescription) text += XmlEscaped(sentence) + "\n";
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
  text += ".SH DESCRIPTION\n" + ManualDescription();
  text +=
      ".PP\nIt draws in its own window, on the root window, or in a window that XScreenSaver names. "
      "It needs a TrueColor visual of depth 15, 16, 24 or 32.\n";
  text +=
      ".PP\nWithout a window option it opens its own window \"Vimbrel\", 1024 by 768 pixels or the "
      "largest 4:3 window that fits nine tenths of a smaller screen, unless XSCREENSAVER_WINDOW names one. "
      "q, Q or Escape closes its own window.\n";
  text += ManualOptionsAndSettings(x11Program);
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
