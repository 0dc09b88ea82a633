// xscreensaver_list_test.cpp - Vimbrel's entry in texts of ~/.xscreensaver.
//
// The files are as XScreenSaver's settings program writes them (each entry
// ending in \n\ and the list in a blank line), as people write them by hand
// (a list on one line, none at all), and ones that are not lists.
#include "x11/xscreensaver_list.h"

#include <gtest/gtest.h>

namespace {

const std::string written =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for someone on Mon Dec  7 09:46:10 2026.\n"
    "\n"
    "timeout:\t0:11:00\n"
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "\t\t\t\tattraction --root\t\t\t    \\n\\\n"
    "\n"
    "\n"
    "pointerHysteresis:  10\n";

const std::string appDefaults =
    "! comments\n"
    "*timeout:\t\t0:10:00\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n"
    "\n"
    "*hacks.maze.name: Maze\n";

const std::string entry = "\t\t\t\t\"Vimbrel\"  vimbrel --root\t\t\t    \\n";

std::string Added(const std::string& file, ListChange expected = ListChange::changed) {
  std::string edited, error;
  ListChange change{};
  EXPECT_TRUE(AddToProgramsList(file, "vimbrel", &appDefaults, edited, change, error)) << error;
  EXPECT_EQ(change, expected);
  return edited;
}

std::string Removed(const std::string& file, ListChange expected = ListChange::changed) {
  std::string edited, error;
  ListChange change{};
  EXPECT_TRUE(RemoveFromProgramsList(file, edited, change, error)) << error;
  EXPECT_EQ(change, expected);
  return edited;
}

// Added first in the list, once, and taken out to the very bytes it was in.
TEST(XScreenSaverList, AddsFirstOnceAndRemovesToTheSameBytes) {
  struct Case {
    const char* what;
    std::string file, added;
  } cases[] = {
      {"as written by the settings program", written,
       written.substr(0, written.find("\t\t\t\tmaze")) + entry + "\\\n" + written.substr(written.find("\t\t\t\tmaze"))},
      {"a list on one line, no newline at the end", "lock: False\nprograms: \"Maze\" maze --root \\n",
       "lock: False\nprograms: \"Maze\" maze --root \\n\\\n" + entry + "\n"},
      {"an empty list", "programs:\n", "programs:\\\n" + entry + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string added = Added(c.file);
    EXPECT_EQ(added, c.added);
    EXPECT_EQ(Added(added, ListChange::unchanged), added);
    const std::string removed = Removed(added);
    EXPECT_EQ(removed, c.file.back() == '\n' ? c.file : c.file + "\n");
    EXPECT_EQ(Removed(removed, ListChange::unchanged), removed);
  }
}

// Any entry that runs vimbrel is Vimbrel's, enabled or not, by name or
// path, with a label or a visual; programs merely named alike are not.
TEST(XScreenSaverList, KnowsVimbrelsEntriesInEveryForm) {
  const std::string head = "programs: \\\n  maze --root \\n\\\n";
  for (const std::string line : {"- \"Vimbrel\" vimbrel --root \\n\\", "  GL: /opt/bin/vimbrel -root \\n\\",
                                 "  \"V\" default: vimbrel \\n\\", "-\tvimbrel\\n\\"}) {
    SCOPED_TRACE(line);
    const std::string file = head + line + "\n  xeyes \\n\n";
    EXPECT_EQ(Added(file, ListChange::unchanged), file);
    EXPECT_EQ(Removed(file), head + "  xeyes \\n\n");
  }
  // Vimbrel last: the entry before it now ends the list.
  EXPECT_EQ(Removed(head + "  vimbrel --root \\n\n"), "programs: \\\n  maze --root \\n\n");
  const std::string alike = head + "  vimbrel2 --root \\n\\\n  \"vimbrel\" maze \\n\n";
  EXPECT_NE(Added(alike), alike);
  EXPECT_EQ(Removed(alike, ListChange::unchanged), alike);
}

// Without a list XScreenSaver runs its defaults: they are written out with
// Vimbrel first, so that adding loses none of them and removing leaves them.
TEST(XScreenSaverList, AFileWithoutAListGetsTheDefaultsWithVimbrel) {
  const std::string file = "mode: one\nselected: 0", list =
                                                         "programs:\t\t\t\t\t\t\t\t      \\\n"
                                                         "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
                                                         "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n";
  const std::string added = Added(file);
  EXPECT_EQ(added,
            file + "\n\nprograms:\t\t\t\t\t\t\t\t      \\\n" + entry + "\\\n" + list.substr(list.find('\n') + 1));
  EXPECT_EQ(Removed(added), file + "\n\n" + list);

  std::string created, error;
  ASSERT_TRUE(ProgramsFileFromDefaults(appDefaults, "/opt/vimbrel/vimbrel", created, error)) << error;
  EXPECT_EQ(created.substr(created.find("\nprograms:") + 1),
            "programs:\t\t\t\t\t\t\t\t      \\\n\t\t\t\t\"Vimbrel\"  /opt/vimbrel/vimbrel --root\t\t\t    \\n\\\n" +
                list.substr(list.find('\n') + 1));
  EXPECT_EQ(created.rfind('#', 0), 0u) << "a comment says who wrote it";
  EXPECT_FALSE(ProgramsFileFromDefaults("*timeout: 1\n", "vimbrel", created, error));
  EXPECT_EQ(error, "has no '*programs:' list");

  std::string edited;
  ListChange change{};
  EXPECT_FALSE(AddToProgramsList(file, "vimbrel", nullptr, edited, change, error));
  EXPECT_EQ(error, "has no 'programs:' list, and there are no XScreenSaver defaults to take it from");
}

TEST(XScreenSaverList, RefusesWhatItDoesNotUnderstandInOneLine) {
  struct Case {
    std::string file, error;
  } cases[] = {
      {"programs: a \\n\nmode: one\nprograms: b \\n\n", "holds two 'programs:' settings (lines 1 and 3)"},
      {"timeout: 1\n<?xml version=\"1.0\"?>\n", "line 2 is not a 'name: value' setting"},
      {std::string("programs: a\0b\n", 14), "is not text (it holds a zero byte)"},
      {std::string(1 << 20, '!') + "\n", "is longer than 1048576 bytes"},
  };
  for (const Case& c : cases) {
    std::string edited, error;
    ListChange change{};
    EXPECT_FALSE(AddToProgramsList(c.file, "vimbrel", &appDefaults, edited, change, error));
    EXPECT_EQ(error, c.error);
    EXPECT_FALSE(RemoveFromProgramsList(c.file, edited, change, error));
    EXPECT_EQ(error, c.error);
  }
  // An entry that shares its line is left to a person.
  std::string edited, error;
  ListChange change{};
  EXPECT_FALSE(RemoveFromProgramsList("programs: \\\n maze \\n vimbrel \\n\n", edited, change, error));
  EXPECT_EQ(error,
            "Vimbrel's entry on line 2 shares its lines with the setting's name or other programs; take it out in an "
            "editor");
  EXPECT_FALSE(AddToProgramsList(written, "/home/a b/vimbrel", &appDefaults, edited, change, error));
}

TEST(XScreenSaverList, TheEntryNamesTheProgramAsXScreenSaverFindsIt) {
  std::string command, error;
  ASSERT_TRUE(EntryCommand("/usr/libexec/xscreensaver/vimbrel", command, error));
  EXPECT_EQ(command, "vimbrel");  // the folder XScreenSaver runs its programs from
  ASSERT_TRUE(EntryCommand("/usr/local/libexec/xscreensaver/vimbrel", command, error));
  EXPECT_EQ(command, "/usr/local/libexec/xscreensaver/vimbrel");
  EXPECT_FALSE(EntryCommand("/home/me/my build/vimbrel", command, error));
  EXPECT_EQ(error,
            "the program's path '/home/me/my build/vimbrel' cannot go in XScreenSaver's list (only letters, "
            "digits and / . _ + -)");
}

}  // namespace
