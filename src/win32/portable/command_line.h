// command_line.h - reading the program's command line, without Windows.
//
// The display settings start the program with one switch letter after any
// number of blanks, '-' and '/': 's' full screen, 'p' or 'l' with a decimal
// window handle for a preview inside that window, 'a' to change the password,
// 'c' or nothing for the settings. These functions only read the text; the
// modes themselves are run by HostMain (host_main.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class HostMode {
  settings,                // empty text, or only blanks, '-' and '/'
  settingsOverForeground,  // 'c'
  fullScreen,              // 's'
  childPreview,            // 'p' or 'l', followed by a window handle
  changePassword,          // 'a', optionally followed by a window handle
  unrecognised,            // anything else: a tab, a digit, another letter
};

struct ModeChoice {
  HostMode mode;
  const char* rest;  // for childPreview and changePassword: the text after the letter and its blanks
};

// The argument text of a whole command line: what follows the program's own
// name and the blanks and control characters after it. A name that begins
// with a double quote ends after the closing quote (or at the end of the text
// when there is none). An unquoted name may hold blanks (the system writes
// "C:\Program Files\...\x.scr /s" unquoted too): it ends at the first
// character with a code of 32 or less, or at the end, where the name so far
// ends in one of fileNames (the program's own file name, long or short, as
// the system may write it), compared with ASCII letters in either case and
// every other byte as it is, after a '\', '/' or ':' or as the whole name;
// where no such place exists, at the first character with a code of 32 or less.
const char* ArgumentText(const char* commandLine, const std::vector<std::string>& fileNames = {});

// Picks the mode from the first character that is not a blank, '-' or '/'.
ModeChoice ChooseMode(const char* argumentText);

// The value of the decimal digits at the start of text; 0 when there are
// none. No sign, blank or prefix is accepted; the value wraps at 32 bits.
uint32_t ParseDecimal(const char* text);

// later - earlier on the 32-bit tick counter, harmless across its wrap.
inline uint32_t TicksSince(uint32_t earlier, uint32_t later) { return later - earlier; }
