// xscreensaver_list.cpp - adding Vimbrel's entry to ~/.xscreensaver and taking it out.
#include "x11/xscreensaver_list.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/common/regular_file.h"

namespace {

// XScreenSaver's own file is about 10 kB; anything far larger is not one.
constexpr size_t maximumFileSize = 1 << 20;
const char* const programsFolder = "/usr/libexec/xscreensaver";

struct Line {
  size_t begin, end;  // the text, without its newline
};

// A setting: its key and the lines [first, last] it runs over.
struct Setting {
  std::string key;
  size_t first, last;
};

struct Entry {
  size_t firstLine, lastLine;
  bool vimbrel;
};

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

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
    Setting setting{Trimmed(text.substr(0, colon)), i, i};
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
    if (setting.key != key) continue;
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
  if (!ReadSettingsFile(file, lines, programs, settings, "programs", error)) return false;
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
    if (!edited.empty() && edited.back() != '\n') edited += '\n';
    edited += "\n" + InsertEntry(list, listLines, listSettings.front(), command);
    change = ListChange::changed;
    return true;
  }
  for (const Entry& entry : ListEntries(file, lines, *programs))
    if (entry.vimbrel) return true;
  edited = InsertEntry(file, lines, *programs, command);
  change = ListChange::changed;
  return true;
}

bool RemoveFromProgramsList(const std::string& file, std::string& edited, ListChange& change, std::string& error) {
  std::vector<Line> lines;
  std::vector<Setting> settings;
  const Setting* programs = nullptr;
  if (!ReadSettingsFile(file, lines, programs, settings, "programs", error)) return false;
  change = ListChange::unchanged;
  edited = file;
  if (programs == nullptr) return true;
  const std::vector<Entry> entries = ListEntries(file, lines, *programs);
  std::vector<bool> dropLine(lines.size(), false);
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    if (!entry.vimbrel) continue;
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

bool ReadText(const std::string& path, std::string& text, std::string& problem) {
  std::vector<uint8_t> bytes;
  if (!ReadRegularFile(path.c_str(), maximumFileSize, bytes, problem)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

// Writes text beside path and renames it over path, with the given mode.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode, std::string& error) {
  std::string temporary = path + ".vimbrel-XXXXXX";
  const int fd = mkstemp(&temporary[0]);
  if (fd < 0) {
    error = "cannot write beside '" + path + "': " + std::strerror(errno);
    return false;
  }
  bool ok = fchmod(fd, mode) == 0;
  for (size_t done = 0; ok && done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    ok = wrote > 0;
    if (ok) done += static_cast<size_t>(wrote);
  }
  ok = ok && fsync(fd) == 0;
  const int savedErrno = errno;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = "cannot write '" + path + "': " + std::strerror(ok ? errno : savedErrno);
  unlink(temporary.c_str());
  return false;
}

}  // namespace

int EditXScreenSaverFile(bool add, const std::string& path, const std::vector<std::string>& defaultsPaths,
                         const std::string& command, std::string& message) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 && errno == ENOENT) {
    if (!add) {
      message = path + " does not exist: Vimbrel is in no list there";
      return 0;
    }
    std::string defaults, problem, created;
    for (const std::string& candidate : defaultsPaths) {
      if (!ReadText(candidate, defaults, problem)) continue;
      if (!ProgramsFileFromDefaults(defaults, command, created, problem)) {
        message = "XScreenSaver's defaults '" + candidate + "' " + problem;
        return 1;
      }
      if (!ReplaceFile(path, created, 0644, message)) return 1;
      message = "made " + path + " with XScreenSaver's programs and Vimbrel first among them";
      return 0;
    }
    message = "no " + path + " and no XScreenSaver defaults to make it from (is XScreenSaver installed?)";
    return 1;
  }
  // A link (a dotfiles folder, say) is followed: the file it names is edited.
  char* resolved = realpath(path.c_str(), nullptr);
  const std::string target = resolved != nullptr ? resolved : path;
  std::free(resolved);
  std::string text, problem, edited;
  if (!ReadText(target, text, problem)) {
    message = "'" + target + "' " + problem;
    return 1;
  }
  std::string defaults;
  bool haveDefaults = false;
  for (const std::string& candidate : defaultsPaths)
    if (!haveDefaults) haveDefaults = ReadText(candidate, defaults, problem);
  ListChange change = ListChange::unchanged;
  if (!(add ? AddToProgramsList(text, command, haveDefaults ? &defaults : nullptr, edited, change, problem)
            : RemoveFromProgramsList(text, edited, change, problem))) {
    message = "'" + target + "' " + problem + "; it is left as it was";
    return 1;
  }
  if (change == ListChange::unchanged) {
    message = std::string(add ? "Vimbrel is already in XScreenSaver's list in " : "Vimbrel is in no list in ") + path;
    return 0;
  }
  stat(target.c_str(), &status);
  if (!ReplaceFile(target, edited, status.st_mode & 07777, message)) return 1;
  message =
      std::string(add ? "added Vimbrel to XScreenSaver's list in " : "took Vimbrel out of XScreenSaver's list in ") +
      path;
  return 0;
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
