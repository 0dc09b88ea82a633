// linux_documents.cpp - --help and the manual page's common sections from the tables.
#include "linux_options/linux_documents.h"

#include <cstdio>

const char* const sceneDescription[3] = {
    "A square pyramid and a formation of three dodecahedrons turn and travel in closed loops over a still "
    "picture of a tiled floor.",
    "Two point lights shade their faces and throw their shadows on the floor.",
    "Everything is drawn in 256 colours by the program's own software renderer, the same scene, pixel for "
    "pixel, as the Windows screen saver draws.",
};

namespace {

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

std::string Range(const SettingsField& field) {
  return std::to_string(field.minimum) + " to " + std::to_string(field.maximum) + " (default " +
         std::to_string(field.defaultValue) + ")";
}

std::string OnOff(const SettingsField& field) { return field.defaultValue != 0 ? "on" : "off"; }

// The caption with its unit: "Frame time (ms)", "Shadows".
std::string SettingLabel(const SettingsField& field) {
  return field.unit[0] != '\0' ? std::string(field.caption) + " (" + field.unit + ")" : field.caption;
}

// An option as a tagged paragraph; .BI sets the option bold and its argument italic.
void AppendManualOption(std::string& text, const std::string& option, const std::string& argument,
                        const std::string& body) {
  text += ".TP\n";
  text += argument.empty() ? ".B " + Roff(option) : ".BI " + Roff(option) + " \" " + argument + "\"";
  text += "\n" + body + "\n";
}

// The help's left column: two spaces, the option in 27, a space; its text's
// later lines are indented as far.
void AppendHelpLine(std::string& text, const std::string& left, const std::string& body) {
  char line[200];
  size_t start = 0;
  for (size_t end; (end = body.find('\n', start)) != std::string::npos; start = end + 1) {
    std::snprintf(line, sizeof line, "  %-27s %s\n", start == 0 ? left.c_str() : "", body.substr(start, end - start).c_str());
    text += line;
  }
  std::snprintf(line, sizeof line, "  %-27s %s\n", start == 0 ? left.c_str() : "", body.substr(start).c_str());
  text += line;
}

// The manual page names an argument in lower case, as its synopsis does.
std::string ManualArgument(const ProgramOption& row) {
  const std::string argument = row.argument;
  return argument == "NAME" ? "name" : argument == "FILE" ? "file" : argument;
}

}  // namespace

std::vector<const SettingsField*> GroupFields(SettingsGroup group, ControlKind kind) {
  std::vector<const SettingsField*> fields;
  for (const SettingsField& field : settingsFields)
    if (field.group == group && field.kind == kind) fields.push_back(&field);
  return fields;
}

std::string NoForm(const SettingsField& field) { return "--no-" + FieldOptionName(field).substr(2); }

std::string Roff(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '\\' ? "\\e" : c == '-' ? "\\-" : std::string(1, c);
  return escaped;
}

std::string ProgramHelp(LinuxProgram program) {
  std::string text = UsageLine(program) + "\n\n" + Wrapped(sceneDescription) + "\n";
  for (int i = 0; i < programOptionCount; ++i) {
    const ProgramOption& row = programOptions[i];
    if ((row.programs & program) == 0 || row.help == nullptr) continue;
    const std::string left = row.helpName != nullptr ? row.helpName
                             : row.argument != nullptr ? std::string(row.name) + " " + row.argument
                                                       : row.name;
    AppendHelpLine(text, left, row.help);
  }
  text +=
      "\nSettings, as the Windows settings dialog groups them (values outside the ranges\n"
      "are taken as a stored record's would be):\n";
  for (SettingsGroup group : settingsGroups) {
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

std::string ManualDescription() {
  std::string text;
  for (const char* sentence : sceneDescription) text += Roff(sentence) + "\n";
  return text;
}

std::string ManualOptionsAndSettings(LinuxProgram program) {
  std::string text = ".SH OPTIONS\n";
  for (int i = 0; i < programOptionCount; ++i) {
    const ProgramOption& row = programOptions[i];
    if ((row.programs & program) != 0 && row.manual != nullptr)
      AppendManualOption(text, row.name, row.argument != nullptr ? ManualArgument(row) : "", row.manual);
  }
  text += ".PP\nEvery option may also be written with one dash.\n";
  text +=
      ".SH SETTINGS\nThe settings of the Windows settings dialog, in its groups. "
      "Values outside the ranges are taken as a stored record's would be.\n";
  for (SettingsGroup group : settingsGroups) {
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
  return text;
}
