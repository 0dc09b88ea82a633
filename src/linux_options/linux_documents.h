// linux_documents.h - what the Linux programs say about themselves, from the tables.
//
// --help and the manual page's OPTIONS and SETTINGS sections are written
// from programOptions (linux_options.h) and settingsFields: the user's
// settings, the fields with a dialog control, in the dialog's groups
// (Dodecahedrons, Pyramid, View) with its captions, ranges and defaults and
// the unit of each trackbar's value. Each program adds what is its own (the
// X11 program's XScreenSaver description, each page's environment and exit
// status); the builds write the pages by running the programs, so nothing
// about a field or an option is written twice.
#pragma once

#include <string>
#include <vector>

#include "core/scene/settings_record.h"
#include "linux_options/linux_options.h"

// The scene in three sentences, as both programs describe it.
extern const char* const sceneDescription[3];

std::vector<const SettingsField*> GroupFields(SettingsGroup group, ControlKind kind);
// A check box's option that turns it off ("--no-shadows").
std::string NoForm(const SettingsField& field);

// The whole of --help: the usage line, the description, the program's options, the settings.
std::string ProgramHelp(LinuxProgram program);

// Roff text: a backslash is printed by \e, and a hyphen is a minus sign.
std::string Roff(const std::string& text);
// The description as roff lines, then the manual page's OPTIONS and SETTINGS sections for the program.
std::string ManualDescription();
std::string ManualOptionsAndSettings(LinuxProgram program);
