// xscreensaver_list.h - Vimbrel's line in XScreenSaver's list of programs.
//
// XScreenSaver runs and lists only the programs named by the `programs:`
// setting of ~/.xscreensaver, and its settings program writes that file only
// once a setting is changed. `vimbrel --add-to-xscreensaver` puts one line
//
//                 "Vimbrel"  vimbrel --root                \n\   (the list runs on)
//
// first in that list, making the file from the system's defaults (the
// `*programs:` list of XScreenSaver's app-defaults file) when there is none;
// `--remove-from-xscreensaver` takes every Vimbrel line out again. Every
// other byte of the file but the number `selected:` holds stays as it was,
// both are idempotent, and a file that is not a list of `name: value`
// settings and comments, or that holds two `programs:` settings, is refused
// with one line and left alone.
//
// The file is read as XScreenSaver 6 reads it: a key in any case after
// blanks, up to the colon (a blank before the colon makes another key);
// `selected:` counts the list's entries from 0. A setting runs on over lines
// that end in a backslash, and its list entries end with the two characters
// \n. An entry is `[-] [visual:] ["Label"] command...`; it is Vimbrel's when
// its command's first word is `vimbrel` or a path ending in /vimbrel,
// whether it is enabled or not.
#pragma once

#include <string>
#include <vector>

// removedTheSelected: changed, and the entry taken out was the one
// `selected:` named, which then names none (-1).
enum class ListChange { changed, unchanged, removedTheSelected };

// The text edits. command is the program as the entry names it
// ("vimbrel", or an absolute path). A file without a list gets XScreenSaver's
// list from appDefaults (the app-defaults file's text; null: refused), as
// XScreenSaver would run it without one. False with a one-line reason in
// error when the text is not one this understands.
bool AddToProgramsList(const std::string& file, const std::string& command, const std::string* appDefaults,
                       std::string& edited, ListChange& change, std::string& error);
bool RemoveFromProgramsList(const std::string& file, std::string& edited, ListChange& change, std::string& error);
// A new ~/.xscreensaver holding the app-defaults file's program list with
// Vimbrel's entry first.
bool ProgramsFileFromDefaults(const std::string& appDefaults, const std::string& command, std::string& created,
                              std::string& error);

// Edits the file at path, or the file its links lead to (creating it from
// the first readable file of defaultsPaths when adding to a file that does
// not exist), replacing it in one rename and keeping its permissions,
// owner and group. The rename happens only while the file is still the
// one read; one that keeps changing, or a read-only one, is refused.
// Returns 0 with a line saying what was done in message, or 1 with a
// one-line reason, the file then as it was and nothing left beside it.
int EditXScreenSaverFile(bool add, const std::string& path, const std::vector<std::string>& defaultsPaths,
                         const std::string& command, std::string& message);

// The command an entry should run: the bare name where XScreenSaver finds
// it by itself (the program lives in its programs folder), else the
// program's absolute path. False when that path cannot go in the list.
bool EntryCommand(const std::string& programPath, std::string& command, std::string& error);

// ~/.xscreensaver of the user running the program.
std::string UserXScreenSaverFile();
// Where XScreenSaver's defaults live on Debian and elsewhere.
std::vector<std::string> SystemXScreenSaverDefaults();
