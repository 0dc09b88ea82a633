// xscreensaver_list_test.cpp - Vimbrel's entry in texts of ~/.xscreensaver.
//
// The files are as people write them by hand (a list on one line, none at
// all) and ones that are not lists; the program's test edits one as
// XScreenSaver's settings program writes it (each entry ending in \n\ and
// the list in a blank line).
#include "x11/xscreensaver_list.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const std::string appDefaults =
    "! comments\n"
    "*timeout:\t\t0:10:00\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n"
    "\n"
    "*hacks.maze.name: Maze\n";

const std::string entry = "\t\t\t\t\"Vimbrel\"  vimbrel --root\t\t\t    \\n";

// What AddToProgramsList (add) or RemoveFromProgramsList makes of a file:
// the edited text, "unchanged" (the text as it was), or "refused: " and why.
std::string Edit(bool add, const std::string& file, const std::string* defaults = &appDefaults,
                 const std::string& command = "vimbrel") {
  std::string edited, error;
  ListChange change{};
  if (!(add ? AddToProgramsList(file, command, defaults, edited, change, error)
            : RemoveFromProgramsList(file, edited, change, error)))
    return "refused: " + error;
  return change == ListChange::unchanged && edited == file ? "unchanged" : edited;
}

// Added first in the list, once, and taken out to the very bytes it was in.
TEST(XScreenSaverList, AddsFirstOnceAndRemovesToTheSameBytes) {
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"a list on one line, no newline at the end", "lock: False\nprograms: \"Maze\" maze --root \\n",
       "lock: False\nprograms: \"Maze\" maze --root \\n\\\n" + entry + "\n"},
      {"an empty list", "programs:\n", "programs:\\\n" + entry + "\n"},
  };
  for (const auto& [what, file, added] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Edit(true, file), added);
    EXPECT_EQ(Edit(true, added), "unchanged");
    EXPECT_EQ(Edit(false, added), file.back() == '\n' ? file : file + "\n");
    EXPECT_EQ(Edit(false, Edit(false, added)), "unchanged");
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
    EXPECT_EQ(Edit(true, file), "unchanged");
    EXPECT_EQ(Edit(false, file), head + "  xeyes \\n\n");
  }
  // Vimbrel last: the entry before it now ends the list.
  EXPECT_EQ(Edit(false, head + "  vimbrel --root \\n\n"), "programs: \\\n  maze --root \\n\n");
  const std::string alike = head + "  vimbrel2 --root \\n\\\n  \"vimbrel\" maze \\n\n";
  EXPECT_NE(Edit(true, alike).find(entry), std::string::npos);
  EXPECT_EQ(Edit(false, alike), "unchanged");
}

// Without a list XScreenSaver runs its defaults: they are written out with
// Vimbrel first, so that adding loses none of them and removing leaves them;
// without defaults to take them from, the file is refused.
TEST(XScreenSaverList, AFileWithoutAListGetsTheDefaultsWithVimbrel) {
  const std::string file = "mode: one\nselected: 0", programs = "programs:\t\t\t\t\t\t\t\t      \\\n";
  const std::string list = "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n";
  EXPECT_EQ(Edit(true, file), file + "\n\n" + programs + entry + "\\\n" + list);
  EXPECT_EQ(Edit(false, Edit(true, file)), file + "\n\n" + programs + list);
  EXPECT_EQ(Edit(true, file, nullptr),
            "refused: has no 'programs:' list, and there are no XScreenSaver defaults to take it from");
  std::string created, error;
  EXPECT_FALSE(ProgramsFileFromDefaults("*timeout: 1\n", "vimbrel", created, error));
  EXPECT_EQ(error, "has no '*programs:' list");
}

// Not a list of settings, two lists, an entry sharing its line, a program
// whose path cannot go in the list: refused in one line.
TEST(XScreenSaverList, RefusesWhatItDoesNotUnderstandInOneLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"programs: a \\n\nmode: one\nprograms: b \\n\n", "holds two 'programs:' settings (lines 1 and 3)"},
      {"timeout: 1\n<?xml version=\"1.0\"?>\n", "line 2 is not a 'name: value' setting"},
      {std::string("programs: a\0b\n", 14), "is not text (it holds a zero byte)"},
      {std::string(1 << 20, '!') + "\n", "is longer than 1048576 bytes"},
  };
  for (const auto& [file, error] : cases) {
    EXPECT_EQ(Edit(true, file), "refused: " + error);
    EXPECT_EQ(Edit(false, file), "refused: " + error);
  }
  EXPECT_EQ(Edit(false, "programs: \\\n maze \\n vimbrel \\n\n"),
            "refused: Vimbrel's entry on line 2 shares its lines with the setting's name or other programs; take it "
            "out in an editor");
  EXPECT_EQ(
      Edit(true, "programs:\n", &appDefaults, "/home/a b/vimbrel"),
      "refused: the program's path '/home/a b/vimbrel' cannot go in the list (only letters, digits and / . _ + -)");
}

TEST(XScreenSaverList, TheEntryNamesTheProgramAsXScreenSaverFindsIt) {
  const auto entry = [](const std::string& path) {
    std::string command, error;
    return EntryCommand(path, command, error) ? command : "refused: " + error;
  };
  EXPECT_EQ(entry("/usr/libexec/xscreensaver/vimbrel"), "vimbrel");  // the folder XScreenSaver runs its programs from
  EXPECT_EQ(entry("/usr/local/libexec/xscreensaver/vimbrel"), "/usr/local/libexec/xscreensaver/vimbrel");
  EXPECT_EQ(entry("/home/me/my build/vimbrel"),
            "refused: the program's path '/home/me/my build/vimbrel' cannot go in XScreenSaver's list (only letters, "
            "digits and / . _ + -)");
}

}  // namespace
