// xscreensaver_list.cpp - adding Vimbrel's entry to ~/.xscreensaver and taking it out.
#include "x11/xscreensaver_list.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "core/common/regular_file.h"

namespace {

// XScreenSaver's own file is about 10 kB; anything far larger is not one.
constexpr size_t maximumFileSize = 1 << 20;
const char* const programsFolder = "/usr/libexec/xscreensaver";

struct Line {
  size_t begin, end;  // the text, without its newline
};

// A setting: its key as XScreenSaver reads it (from the line's first
// non-blank up to the colon, blanks before the colon included) and the
// lines [first, last] it runs over.
struct Setting {
  std::string key;
  size_t first, last;
};

struct Entry {
  size_t firstLine, lastLine;
  bool vimbrel;
};

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string Lowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A line runs on when it ends in an odd number of backslashes.
bool Continues(const std::string& file, const Line& line) {
  size_t count = 0;
  for (size_t i = line.end; i > line.begin && file[i - 1] == '\\'; --i) ++count;
  return count % 2 == 1;
}

std::vector<Line> SplitLines(const std::string& file) {
  std::vector<Line> lines;
  for (size_t begin = 0; begin < file.size();) {
    size_t end = file.find('\n', begin);
    if (end == std::string::npos) end = file.size();
    lines.push_back({begin, end});
    begin = end + 1;
  }
  return lines;
}

// The settings of a resource file; false on a line that is neither a
// setting, a comment nor blank.
bool ParseSettings(const std::string& file, const std::vector<Line>& lines, std::vector<Setting>& settings,
                   std::string& error) {
  if (file.size() > maximumFileSize) {
    error = "is longer than " + std::to_string(maximumFileSize) + " bytes";
    return false;
  }
  if (file.find('\0') != std::string::npos) {
    error = "is not text (it holds a zero byte)";
    return false;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string text = Trimmed(file.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (text.empty() || text[0] == '#' || text[0] == '!') continue;
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) {
      error = "line " + std::to_string(i + 1) + " is not a 'name: value' setting";
      return false;
    }
    Setting setting{text.substr(0, colon), i, i};
    while (setting.last + 1 < lines.size() && Continues(file, lines[setting.last])) ++setting.last;
    settings.push_back(setting);
    i = setting.last;
  }
  return true;
}

// The one setting named key, or null; false when there are two.
bool FindSetting(const std::vector<Setting>& settings, const std::string& key, const Setting*& found,
                 std::string& error) {
  found = nullptr;
  for (const Setting& setting : settings) {
    if (Lowered(setting.key) != key) continue;
    if (found != nullptr) {
      error = "holds two '" + key + ":' settings (lines " + std::to_string(found->first + 1) + " and " +
              std::to_string(setting.first + 1) + ")";
      return false;
    }
    found = &setting;
  }
  return true;
}

// Whether an entry's text runs Vimbrel: `[-] [visual:] ["Label"] command`,
// the marks in any order.
bool RunsVimbrel(std::string entry) {
  entry = Trimmed(entry);
  if (!entry.empty() && entry[0] == '-') entry = Trimmed(entry.substr(1));
  for (;;) {
    if (!entry.empty() && entry[0] == '"') {
      const size_t close = entry.find('"', 1);
      if (close == std::string::npos) return false;
      entry = Trimmed(entry.substr(close + 1));
      continue;
    }
    const size_t space = entry.find_first_of(" \t");
    const std::string word = entry.substr(0, space);
    if (!word.empty() && word.back() == ':') {
      entry = space == std::string::npos ? "" : Trimmed(entry.substr(space));
      continue;
    }
    const size_t slash = word.rfind('/');
    return (slash == std::string::npos ? word : word.substr(slash + 1)) == "vimbrel";
  }
}

// The entries of the list, each with the lines it spans. The first line's
// text starts after the key's colon; a line's continuation backslash is no
// part of any entry.
std::vector<Entry> ListEntries(const std::string& file, const std::vector<Line>& lines, const Setting& setting) {
  std::vector<Entry> entries;
  std::string text;
  size_t start = setting.first;
  for (size_t i = setting.first; i <= setting.last; ++i) {
    size_t begin = lines[i].begin, end = lines[i].end;
    if (i == setting.first) begin = file.find(':', begin) + 1;
    if (Continues(file, lines[i])) --end;
    if (Trimmed(text).empty()) start = i;
    text += file.substr(begin, end - begin);
    for (size_t mark; (mark = text.find("\\n")) != std::string::npos;) {
      const std::string entry = text.substr(0, mark);
      if (!Trimmed(entry).empty()) entries.push_back({start, i, RunsVimbrel(entry)});
      text.erase(0, mark + 2);
      start = i;
    }
  }
  if (!Trimmed(text).empty()) entries.push_back({start, setting.last, RunsVimbrel(text)});
  return entries;
}

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

bool CommandIsPlain(const std::string& command) {
  if (command.empty()) return false;
  for (char c : command)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr("/._+-", c)))
      return false;
  return true;
}

std::string EntryLine(const std::string& command, bool continues) {
  return "\t\t\t\t\"Vimbrel\"  " + command + " --root\t\t\t    \\n" + (continues ? "\\" : "") + "\n";
}

// Puts Vimbrel's entry right after the list's first line; a list that ended
// on that line runs on to the entry, which then ends it.
std::string InsertEntry(const std::string& file, const std::vector<Line>& lines, const Setting& setting,
                        const std::string& command) {
  const Line& first = lines[setting.first];
  const bool runsOn = Continues(file, first);
  std::string edited = file.substr(0, first.end);
  if (!runsOn) edited += "\\";
  edited += "\n" + EntryLine(command, runsOn);
  if (first.end < file.size()) edited += file.substr(first.end + 1);
  return edited;
}

bool ReadSettingsFile(const std::string& file, std::vector<Line>& lines, const Setting*& programs,
                      std::vector<Setting>& settings, const std::string& key, std::string& error) {
  lines = SplitLines(file);
  return ParseSettings(file, lines, settings, error) && FindSetting(settings, key, programs, error);
}

// XScreenSaver reads a key only as written: any case, but nothing between
// the name and the colon and no resource prefix. A list it would pass over
// ("programs   :", "*programs:") is refused rather than edited in vain.
bool ListXScreenSaverSkips(const std::vector<Setting>& settings, std::string& error) {
  for (const Setting& setting : settings) {
    std::string key = Lowered(setting.key);
    if (key == "programs") continue;
    while (!key.empty() && IsSpace(key.back())) key.pop_back();
    const size_t prefix = key.find_last_of("*.");
    if ((prefix == std::string::npos ? key : key.substr(prefix + 1)) != "programs") continue;
    error = "line " + std::to_string(setting.first + 1) + " '" + setting.key +
            ":' is a list XScreenSaver does not read (it takes only 'programs:', nothing before the colon)";
    return true;
  }
  return false;
}

bool ReadUserFile(const std::string& file, std::vector<Line>& lines, const Setting*& programs,
                  std::vector<Setting>& settings, std::string& error) {
  return ReadSettingsFile(file, lines, programs, settings, "programs", error) &&
         !ListXScreenSaverSkips(settings, error);
}

// `selected:` counts the list's entries from 0, disabled ones included: in
// "one screen saver" mode the daemon runs that one. Its number and where
// the number stands; false when there is none or it is not a plain number.
bool SelectedEntry(const std::string& file, long& index, size_t& begin, size_t& end) {
  const std::vector<Line> lines = SplitLines(file);
  std::vector<Setting> settings;
  const Setting* selected = nullptr;
  std::string ignored;
  if (!ParseSettings(file, lines, settings, ignored) || !FindSetting(settings, "selected", selected, ignored) ||
      selected == nullptr || selected->first != selected->last)
    return false;
  const Line& line = lines[selected->first];
  begin = file.find(':', line.begin) + 1;
  while (begin < line.end && IsSpace(file[begin])) ++begin;
  end = begin + (begin < line.end && file[begin] == '-');
  while (end < line.end && file[end] >= '0' && file[end] <= '9') ++end;
  for (size_t i = end; i < line.end; ++i)
    if (!IsSpace(file[i])) return false;
  const std::string number = file.substr(begin, end - begin);
  if (number.empty() || number == "-" || number.size() > 9) return false;
  index = std::stol(number);
  return true;
}

// The file with its `selected:` entry moved as the list's entries were:
// shifted by `by` when it is at or after `from` among count entries.
std::string ShiftSelected(const std::string& file, long from, long by, long count) {
  long index = 0;
  size_t begin = 0, end = 0;
  if (!SelectedEntry(file, index, begin, end) || index < from || index >= count) return file;
  return file.substr(0, begin) + std::to_string(index + by) + file.substr(end);
}

// The app-defaults file's list as the settings program writes it: the key without its "*".
bool DefaultsList(const std::string& appDefaults, std::string& list, std::string& error) {
  std::vector<Line> lines;
  std::vector<Setting> settings;
  const Setting* programs = nullptr;
  if (!ReadSettingsFile(appDefaults, lines, programs, settings, "*programs", error)) return false;
  if (programs == nullptr) {
    error = "has no '*programs:' list";
    return false;
  }
  const size_t from = appDefaults.find('*', lines[programs->first].begin) + 1;
  const size_t to = programs->last + 1 < lines.size() ? lines[programs->last + 1].begin : appDefaults.size();
  list = appDefaults.substr(from, to - from);
  if (list.back() != '\n') list += '\n';
  return true;
}

}  // namespace

bool AddToProgramsList(const std::string& file, const std::string& command, const std::string* appDefaults,
                       std::string& edited, ListChange& change, std::string& error) {
  std::vector<Line> lines;
  std::vector<Setting> settings;
  const Setting* programs = nullptr;
  if (!ReadUserFile(file, lines, programs, settings, error)) return false;
  if (!CommandIsPlain(command)) {
    error = "the program's path '" + command + "' cannot go in the list (only letters, digits and / . _ + -)";
    return false;
  }
  change = ListChange::unchanged;
  edited = file;
  if (programs == nullptr) {
    // Without a list XScreenSaver runs its defaults: they are written out at
    // the end, Vimbrel first, so that none is lost.
    std::string list, problem;
    if (appDefaults == nullptr) {
      error = "has no 'programs:' list, and there are no XScreenSaver defaults to take it from";
      return false;
    }
    if (!DefaultsList(*appDefaults, list, problem)) {
      error = "has no 'programs:' list, and XScreenSaver's defaults " + problem;
      return false;
    }
    std::vector<Setting> listSettings;
    const std::vector<Line> listLines = SplitLines(list);
    ParseSettings(list, listLines, listSettings, problem);
    const long count = static_cast<long>(ListEntries(list, listLines, listSettings.front()).size());
    if (!edited.empty() && edited.back() != '\n') edited += '\n';
    edited = ShiftSelected(edited, 0, 1, count) + "\n" + InsertEntry(list, listLines, listSettings.front(), command);
    change = ListChange::changed;
    return true;
  }
  const std::vector<Entry> entries = ListEntries(file, lines, *programs);
  for (const Entry& entry : entries)
    if (entry.vimbrel) return true;
  // Vimbrel goes first, so the entry selected before is one further on.
  edited = ShiftSelected(InsertEntry(file, lines, *programs, command), 0, 1, static_cast<long>(entries.size()));
  change = ListChange::changed;
  return true;
}

bool RemoveFromProgramsList(const std::string& file, std::string& edited, ListChange& change, std::string& error) {
  std::vector<Line> lines;
  std::vector<Setting> settings;
  const Setting* programs = nullptr;
  if (!ReadUserFile(file, lines, programs, settings, error)) return false;
  change = ListChange::unchanged;
  edited = file;
  if (programs == nullptr) return true;
  const std::vector<Entry> entries = ListEntries(file, lines, *programs);
  std::vector<bool> dropLine(lines.size(), false);
  std::vector<long> dropped;  // the indices of the entries taken out
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    if (!entry.vimbrel) continue;
    dropped.push_back(static_cast<long>(i));
    const bool shared = (i > 0 && entries[i - 1].lastLine == entry.firstLine) ||
                        (i + 1 < entries.size() && entries[i + 1].firstLine == entry.lastLine);
    if (entry.firstLine != entry.lastLine || entry.firstLine == programs->first || shared) {
      error = "Vimbrel's entry on line " + std::to_string(entry.firstLine + 1) +
              " shares its lines with the setting's name or other programs; take it out in an editor";
      return false;
    }
    dropLine[entry.firstLine] = true;
  }
  std::string kept;
  size_t lastKept = SIZE_MAX;  // the line whose continuation may have to go
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool hasNewline = lines[i].end < file.size();
    if (dropLine[i]) {
      // The list's last line gone: the line before it now ends the list.
      if (i == programs->last && lastKept != SIZE_MAX && !kept.empty()) {
        const size_t backslash = kept.size() - 2;  // kept ends with "\\\n"
        if (kept.size() >= 2 && kept[backslash] == '\\') kept.erase(backslash, 1);
      }
      continue;
    }
    kept += file.substr(lines[i].begin, lines[i].end - lines[i].begin) + (hasNewline ? "\n" : "");
    lastKept = i;
  }
  if (kept == file) return true;
  edited = kept;
  change = ListChange::changed;
  // The selected entry keeps its program; when that was Vimbrel none is selected.
  long selected = 0;
  size_t begin = 0, end = 0;
  if (SelectedEntry(kept, selected, begin, end) && selected >= 0 && selected < static_cast<long>(entries.size())) {
    long before = 0;
    for (long index : dropped) {
      if (index == selected) {
        edited = kept.substr(0, begin) + "-1" + kept.substr(end);
        change = ListChange::removedTheSelected;
        return true;
      }
      before += index < selected;
    }
    edited = ShiftSelected(kept, 0, -before, static_cast<long>(entries.size()));
  }
  return true;
}

bool ProgramsFileFromDefaults(const std::string& appDefaults, const std::string& command, std::string& created,
                              std::string& error) {
  std::string list;
  ListChange change;
  if (!DefaultsList(appDefaults, list, error) || !AddToProgramsList(list, command, nullptr, created, change, error))
    return false;
  created =
      "# XScreenSaver Preferences File\n"
      "# Written by vimbrel --add-to-xscreensaver: XScreenSaver's list of programs with Vimbrel added.\n"
      "# Every other setting is XScreenSaver's default until xscreensaver-settings writes this file.\n\n" +
      created;
  return true;
}

namespace {

// Tries at reading, editing and replacing a file another program keeps changing.
constexpr int editAttempts = 5;
constexpr int linkHops = 40;

bool ReadText(const std::string& path, std::string& text, std::string& problem) {
  std::vector<uint8_t> bytes;
  if (!ReadRegularFile(path.c_str(), maximumFileSize, bytes, problem)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at, which may not exist yet: a
// dotfiles folder's link is edited through, never replaced by a file.
bool FollowLinks(const std::string& path, std::string& target, std::string& problem) {
  std::string current = path;
  for (int hop = 0; hop <= linkHops; ++hop) {
    struct stat status {};
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      target = current;
      return true;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t length = readlink(current.c_str(), &link[0], link.size());
    if (length <= 0 || static_cast<size_t>(length) >= link.size()) {
      problem = "is a symbolic link that cannot be read";
      return false;
    }
    link.resize(static_cast<size_t>(length));
    current = link[0] == '/' ? link : FolderOf(current) + "/" + link;
  }
  problem = "is a loop of symbolic links";
  return false;
}

// What the file was when it was read: it is replaced only while it still is.
struct Snapshot {
  struct stat status;
  std::string text;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool StillAsRead(const std::string& path, const Snapshot& read) {
  struct stat now {};
  std::string text, problem;
  return stat(path.c_str(), &now) == 0 && SameFile(now, read.status) && ReadText(path, text, problem) &&
         text == read.text;
}

// The temporary file beside the one edited. A signal that ends the
// program while it exists removes it first; so does every failure.
char temporaryPath[PATH_MAX + 32];
volatile sig_atomic_t temporaryExists = 0;
const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

extern "C" void RemoveTemporaryAndEnd(int signal) {
  if (temporaryExists) unlink(temporaryPath);
  raise(signal);  // the default action is back (SA_RESETHAND): the signal ends the program as it would have
}

class TemporaryFile {
 public:
  TemporaryFile() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(endingSignals); ++i) sigaction(endingSignals[i], &action, &saved_[i]);
  }
  ~TemporaryFile() {
    Remove();
    for (size_t i = 0; i < std::size(endingSignals); ++i) sigaction(endingSignals[i], &saved_[i], nullptr);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Creates it beside path; the signals wait until it is known to exist.
  int Create(const std::string& path) {
    const std::string pattern = path + ".vimbrel-XXXXXX";
    if (pattern.size() >= sizeof temporaryPath) {
      errno = ENAMETOOLONG;
      return -1;
    }
    sigset_t ending, before;
    sigemptyset(&ending);
    for (int signal : endingSignals) sigaddset(&ending, signal);
    sigprocmask(SIG_BLOCK, &ending, &before);
    std::memcpy(temporaryPath, pattern.c_str(), pattern.size() + 1);
    const int fd = mkstemp(temporaryPath);
    const int error = errno;
    temporaryExists = fd >= 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return fd;
  }
  const char* Path() const { return temporaryPath; }
  // Renamed into place: nothing is left to remove.
  void Forget() { temporaryExists = 0; }
  void Remove() {
    if (temporaryExists) unlink(temporaryPath);
    temporaryExists = 0;
  }

 private:
  struct sigaction saved_[std::size(endingSignals)]{};
};

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

// A rename is on disk only once its folder is.
void SyncFolder(const std::string& path) {
  const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  fsync(folder);
  close(folder);
}

enum class Replaced { done, changedMeanwhile, failed };

// Writes text beside path with the given mode, owner and group, and puts
// it in place of path in one rename: of the file as it was read (read), or
// of no file at all (read null). Another program's file, written since, is
// never replaced: the two are exchanged and the exchange undone when the
// file that was there is not the one read.
Replaced ReplaceFile(const std::string& path, const std::string& text, mode_t mode, uid_t owner, gid_t group,
                     const Snapshot* read, std::string& error) {
  TemporaryFile temporary;
  const int fd = temporary.Create(path);
  if (fd < 0) {
    error = "cannot write beside '" + path + "': " + std::strerror(errno);
    return Replaced::failed;
  }
  struct stat made {};
  const char* step = "cannot write";
  bool ok = fstat(fd, &made) == 0;
  if (ok && (made.st_uid != owner || made.st_gid != group)) {
    ok = fchown(fd, owner, group) == 0;
    if (!ok) step = "cannot keep the owner and group of";
  }
  ok = ok && fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  const int savedErrno = errno;
  ok = close(fd) == 0 && ok;
  if (!ok) {
    error = std::string(step) + " '" + path + "': " + std::strerror(savedErrno);
    return Replaced::failed;
  }
  if (read == nullptr) {
    if (renameat2(AT_FDCWD, temporary.Path(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
      if (errno == EEXIST) return Replaced::changedMeanwhile;
      if ((errno != EINVAL && errno != ENOSYS) || rename(temporary.Path(), path.c_str()) != 0) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return Replaced::failed;
      }
    }
    temporary.Forget();
  } else {
    if (!StillAsRead(path, *read)) return Replaced::changedMeanwhile;
    if (renameat2(AT_FDCWD, temporary.Path(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
      // The temporary name now holds what was in place; removing it ends the edit.
      struct stat replaced {};
      if (lstat(temporary.Path(), &replaced) != 0 || !SameFile(replaced, read->status)) {
        renameat2(AT_FDCWD, temporary.Path(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE);
        // A save made between the two exchanges took our file's place and
        // now stands at the temporary name, the save before it in place:
        // the newer goes back.
        struct stat back {};
        if (lstat(temporary.Path(), &back) == 0 && (back.st_dev != made.st_dev || back.st_ino != made.st_ino))
          renameat2(AT_FDCWD, temporary.Path(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE);
        return Replaced::changedMeanwhile;
      }
    } else if ((errno != EINVAL && errno != ENOSYS) || rename(temporary.Path(), path.c_str()) != 0) {
      error = "cannot write '" + path + "': " + std::strerror(errno);
      return Replaced::failed;
    } else {
      temporary.Forget();
    }
  }
  temporary.Remove();
  SyncFolder(path);
  return Replaced::done;
}

// Running as root for a user (sudo -E), a new file is the folder's owner's.
void NewFileOwner(const std::string& path, uid_t& owner, gid_t& group) {
  owner = geteuid(), group = getegid();
  struct stat folder {};
  if (owner == 0 && stat(FolderOf(path).c_str(), &folder) == 0) owner = folder.st_uid, group = folder.st_gid;
}

}  // namespace

int EditXScreenSaverFile(bool add, const std::string& path, const std::vector<std::string>& defaultsPaths,
                         const std::string& command, std::string& message) {
  std::string target, problem;
  if (!FollowLinks(path, target, problem)) {
    message = "'" + path + "' " + problem + "; it is left as it was";
    return 1;
  }
  std::string defaults, defaultsPath;
  bool haveDefaults = false;
  for (const std::string& candidate : defaultsPaths)
    if (!haveDefaults && (haveDefaults = ReadText(candidate, defaults, problem))) defaultsPath = candidate;
  for (int attempt = 0; attempt < editAttempts; ++attempt) {
    if (attempt > 0) usleep(20000 * attempt);  // let the other writer finish
    Snapshot read{};
    Replaced replaced = Replaced::failed;
    if (lstat(target.c_str(), &read.status) != 0 && errno == ENOENT) {
      if (!add) {
        message = path + " does not exist: Vimbrel is in no list there";
        return 0;
      }
      if (!haveDefaults) {
        message = "no " + path + " and no XScreenSaver defaults to make it from (is XScreenSaver installed?)";
        return 1;
      }
      std::string created;
      if (!ProgramsFileFromDefaults(defaults, command, created, problem)) {
        message = "XScreenSaver's defaults '" + defaultsPath + "' " + problem;
        return 1;
      }
      uid_t owner;
      gid_t group;
      NewFileOwner(target, owner, group);
      replaced = ReplaceFile(target, created, 0644, owner, group, nullptr, message);
      if (replaced == Replaced::done)
        message = "made " + path + " with XScreenSaver's programs and Vimbrel first among them";
    } else {
      if (!ReadText(target, read.text, problem)) {
        message = "'" + target + "' " + problem;
        return 1;
      }
      std::string edited;
      ListChange change = ListChange::unchanged;
      if (!(add ? AddToProgramsList(read.text, command, haveDefaults ? &defaults : nullptr, edited, change, problem)
                : RemoveFromProgramsList(read.text, edited, change, problem))) {
        message = "'" + target + "' " + problem + "; it is left as it was";
        return 1;
      }
      if (change == ListChange::unchanged) {
        message =
            std::string(add ? "Vimbrel is already in XScreenSaver's list in " : "Vimbrel is in no list in ") + path;
        return 0;
      }
      // Replacing needs only the folder's permission; the file's own says whether it may change.
      if ((read.status.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) {
        message = "'" + target + "' is read-only (mode " + ModeText(read.status.st_mode) + "); it is left as it was";
        return 1;
      }
      replaced = ReplaceFile(target, edited, read.status.st_mode & 07777, read.status.st_uid, read.status.st_gid, &read,
                             message);
      if (replaced == Replaced::done)
        message = std::string(add ? "added Vimbrel to XScreenSaver's list in "
                                  : "took Vimbrel out of XScreenSaver's list in ") +
                  path +
                  (change == ListChange::removedTheSelected
                       ? ": it was the program XScreenSaver ran in one-saver mode, and none is selected now"
                       : "");
    }
    if (replaced == Replaced::done) return 0;
    if (replaced == Replaced::failed) return 1;
  }
  message = "'" + target + "' kept changing while it was edited (another program is writing it); it is left as it was";
  return 1;
}

bool EntryCommand(const std::string& programPath, std::string& command, std::string& error) {
  const size_t slash = programPath.rfind('/');
  if (slash != std::string::npos && programPath.substr(0, slash) == programsFolder &&
      programPath.substr(slash + 1) == "vimbrel") {
    command = "vimbrel";
    return true;
  }
  command = programPath;
  if (CommandIsPlain(command) && command[0] == '/') return true;
  error =
      "the program's path '" + programPath + "' cannot go in XScreenSaver's list (only letters, digits and / . _ + -)";
  return false;
}

std::string UserXScreenSaverFile() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : "";
  }
  return std::string(home) + "/.xscreensaver";
}

std::vector<std::string> SystemXScreenSaverDefaults() {
  return {"/etc/X11/app-defaults/XScreenSaver", "/usr/share/X11/app-defaults/XScreenSaver"};
}
