// xscreensaver_list_test.cpp - Vimbrel's entry in texts of ~/.xscreensaver.
//
// The files are as people write them by hand (a list on one line, none at
// all) and ones that are not lists; the program's test edits one as
// XScreenSaver's settings program writes it (each entry ending in \n\ and
// the list in a blank line).
#include "x11/xscreensaver_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>
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
  const std::string file = "mode: one\nselected: 1", programs = "programs:\t\t\t\t\t\t\t\t      \\\n";
  const std::string list = "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n";
  // The defaults' second entry was selected; with Vimbrel first it is the third.
  EXPECT_EQ(Edit(true, file), "mode: one\nselected: 2\n\n" + programs + entry + "\\\n" + list);
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

// In one-saver mode XScreenSaver runs the entry `selected:` counts to
// (from 0, disabled and all): it stays on the same program through adding
// and removing, and names none once Vimbrel, the selected one, is taken out.
TEST(XScreenSaverList, TheSelectedEntryStaysOnItsProgram) {
  const auto file = [](const std::string& selected, const std::string& between) {
    return "mode: one\nselected: " + selected + "\nprograms: \\\n  maze \\n\\\n- GL: superquadrics \\n\\\n" + between +
           "  deco \\n\\\n  attraction \\n\n";
  };
  const std::string vimbrel = "  vimbrel --root \\n\\\n";
  const std::string added = Edit(true, file("2", ""));
  EXPECT_NE(added.find("selected: 3\n"), std::string::npos) << added;
  EXPECT_EQ(Edit(false, added), file("2", ""));
  // Taken out from before, after and at the selected entry.
  EXPECT_EQ(Edit(false, file("3", vimbrel)), file("2", ""));
  EXPECT_EQ(Edit(false, file("1", vimbrel)), file("1", ""));
  EXPECT_EQ(Edit(false, file("2", vimbrel)), file("-1", ""));
  std::string edited, error;
  ListChange change{};
  ASSERT_TRUE(RemoveFromProgramsList(file("2", vimbrel), edited, change, error));
  EXPECT_EQ(change, ListChange::removedTheSelected);
  ASSERT_TRUE(RemoveFromProgramsList(file("3", vimbrel), edited, change, error));
  EXPECT_EQ(change, ListChange::changed);
  // A number XScreenSaver would not take to an entry of this list stays as it is.
  for (const std::string odd : {"-1", "4", "two"}) {
    const std::string result = Edit(true, file(odd, ""));
    EXPECT_NE(result.find("selected: " + odd + "\n"), std::string::npos) << result;
  }
}

// XScreenSaver reads a key in any case, after blanks, up to the colon: a
// list it reads is edited, one it passes over is refused naming its line.
TEST(XScreenSaverList, EditsOnlyTheListXScreenSaverReads) {
  for (const std::string key : {"Programs", "  PROGRAMS", "\tprograms"}) {
    SCOPED_TRACE(key);
    const std::string file = "mode: one\n" + key + ": \\\n  maze \\n\n";
    EXPECT_EQ(Edit(true, file), "mode: one\n" + key + ": \\\n" + entry + "\\\n  maze \\n\n");
  }
  for (const std::string key : {"programs   ", "programs\t", "*programs", "xscreensaver.programs", "Programs "}) {
    SCOPED_TRACE(key);
    const std::string file = "mode: one\n" + key + ": \\\n  vimbrel \\n\n";
    const std::string refused = "refused: line 2 '" + key +
                                ":' is a list XScreenSaver does not read (it takes only 'programs:', nothing before "
                                "the colon)";
    EXPECT_EQ(Edit(true, file), refused);
    EXPECT_EQ(Edit(false, file), refused);
  }
  EXPECT_EQ(Edit(true, "programs: a \\n\nPrograms: b \\n\n"),
            "refused: holds two 'programs:' settings (lines 1 and 2)");
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

// EditXScreenSaverFile on files in a fresh folder standing for the home.
class XScreenSaverFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vimbrel-list-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern, file_ = home_ + "/.xscreensaver";
    std::ofstream(home_ + "/defaults") << appDefaults;
  }
  void TearDown() override { std::system(("rm -rf " + home_).c_str()); }

  int Edit(bool add, std::string& message) {
    return EditXScreenSaverFile(add, file_, {home_ + "/defaults"}, "vimbrel", message);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The folder's names but the defaults' and the file's: what an edit left behind.
  std::string Strays() {
    std::string names;
    for (const auto& e : std::filesystem::directory_iterator(home_)) {
      const std::string name = e.path().filename();
      if (name != "defaults" && name != ".xscreensaver" && name != "dotfiles") names += name + " ";
    }
    return names;
  }

  std::string home_, file_;
};

// A link (to a dotfiles folder) is edited through and stays a link, even
// before its target exists; a link that leads nowhere is refused.
TEST_F(XScreenSaverFile, FollowsALinkToItsTarget) {
  ASSERT_EQ(mkdir((home_ + "/dotfiles").c_str(), 0700), 0);
  ASSERT_EQ(symlink("dotfiles/xscreensaver", file_.c_str()), 0);
  std::string message;
  EXPECT_EQ(Edit(true, message), 0) << message;
  struct stat status {};
  EXPECT_TRUE(lstat(file_.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) << "the link was replaced";
  EXPECT_NE(Read(home_ + "/dotfiles/xscreensaver").find("vimbrel --root"), std::string::npos);
  EXPECT_EQ(Edit(false, message), 0) << message;
  EXPECT_EQ(Read(home_ + "/dotfiles/xscreensaver").find("vimbrel --root"), std::string::npos);

  ASSERT_EQ(unlink(file_.c_str()), 0);
  ASSERT_EQ(symlink(".xscreensaver", file_.c_str()), 0);
  EXPECT_EQ(Edit(true, message), 1);
  EXPECT_EQ(message, "'" + file_ + "' is a loop of symbolic links; it is left as it was");
  EXPECT_EQ(Strays(), "");
}

// A file its owner made read-only, or one the user may not write, is
// refused in one line and left alone; root's edit of a user's file keeps
// it the user's.
TEST_F(XScreenSaverFile, KeepsTheFilesPermissionsAndOwner) {
  const std::string text = "programs: \\\n  maze \\n\n";
  std::ofstream(file_) << text;
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
  std::string message;
  EXPECT_EQ(Edit(true, message), 1);
  EXPECT_EQ(message, "'" + file_ + "' is read-only (mode 0444); it is left as it was");
  EXPECT_EQ(Read(file_), text);
  if (geteuid() != 0) GTEST_SKIP() << "the owner is kept only where root edits another user's file";
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  ASSERT_EQ(chown(file_.c_str(), 4321, 4322), 0);
  EXPECT_EQ(Edit(true, message), 0) << message;
  struct stat status {};
  ASSERT_EQ(stat(file_.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 4321u);
  EXPECT_EQ(status.st_gid, 4322u);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_NE(Read(file_).find("vimbrel --root"), std::string::npos);
  // A file root makes in a user's folder is the user's too.
  ASSERT_EQ(unlink(file_.c_str()), 0);
  ASSERT_EQ(chown(home_.c_str(), 4321, 4322), 0);
  EXPECT_EQ(Edit(true, message), 0) << message;
  ASSERT_EQ(stat(file_.c_str(), &status), 0);
  EXPECT_TRUE(status.st_uid == 4321u && status.st_gid == 4322u) << status.st_uid << ":" << status.st_gid;
}

// Taking out the program selected in one-saver mode says so, and selects none.
TEST_F(XScreenSaverFile, SaysWhenTheSelectedProgramIsTakenOut) {
  std::ofstream(file_) << "mode: one\nselected: 0\nprograms: \\\n  vimbrel --root \\n\\\n  maze \\n\n";
  std::string message;
  EXPECT_EQ(Edit(false, message), 0);
  EXPECT_EQ(message, "took Vimbrel out of XScreenSaver's list in " + file_ +
                         ": it was the program XScreenSaver ran in one-saver mode, and none is selected now");
  EXPECT_EQ(Read(file_), "mode: one\nselected: -1\nprograms: \\\n  maze \\n\n");
}

// Another program (XScreenSaver's settings) saving the file while it is
// edited: every save it makes survives. The writer numbers its saves and
// replaces the file whole, as that program does; an edit made from an
// older read would bring back an older number. Once an edit has returned,
// the file holds the last save or a newer one: the writer notes a save
// only after it is in place, and nothing else writes.
TEST_F(XScreenSaverFile, NeverUndoesAnotherProgramsSave) {
  const auto save = [&](int number) {
    const std::string temporary = file_ + ".writer";
    std::ofstream(temporary) << "timeout: 0:10:00\nsave: " << number << "\nprograms: \\\n  maze \\n\n";
    return std::rename(temporary.c_str(), file_.c_str()) == 0;
  };
  const auto number = [&] {
    const std::string text = Read(file_);
    const size_t at = text.find("save: ");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 6);
  };
  ASSERT_TRUE(save(0));
  std::atomic<int> saved{0};
  std::atomic<bool> done{false};
  int lost = 0, edits = 0, refusals = 0;
  std::thread writer([&] {
    std::srand(7);
    for (int n = 1; !done; ++n) {
      if (!save(n)) break;
      saved = n;
      std::this_thread::sleep_for(std::chrono::microseconds(std::rand() % 8000));
    }
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  for (bool add = true; std::chrono::steady_clock::now() < end; add = !add) {
    std::string message;
    (Edit(add, message) == 0 ? edits : refusals)++;
    const int last = saved, seen = number();
    if (seen < last) ++lost;
  }
  done = true;
  writer.join();
  EXPECT_EQ(lost, 0) << "saves undone; " << edits << " edits, " << refusals << " refused";
  EXPECT_EQ(number(), saved.load());
  EXPECT_GT(edits, 0);
  EXPECT_EQ(Strays(), "");
}

}  // namespace
