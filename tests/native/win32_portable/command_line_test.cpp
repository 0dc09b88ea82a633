// Whole command lines as the system starts a screen saver, and the mode and
// window handle each gives: the program name skipped (an unquoted path with
// blanks up to the program's own name, else to its first blank), the first
// significant character chosen, the handle read in decimal.
#include <gtest/gtest.h>

#include <tuple>

#include "win32/portable/command_line.h"

namespace {

// The command line, its mode, the rest (checked for the preview and password
// modes) and the handle, ParseDecimal(rest).
const std::tuple<const char*, HostMode, const char*, uint32_t> lines[] = {
    {"vimbrel.scr", HostMode::settings, "", 0},
    {"vimbrel.scr  -/ / -", HostMode::settings, "", 0},
    {"vimbrel.scr /s", HostMode::fullScreen, "", 0},
    {"vimbrel.scr -S", HostMode::fullScreen, "", 0},
    {"vimbrel.scr  / - s", HostMode::fullScreen, "", 0},
    {"vimbrel.scr /save", HostMode::fullScreen, "", 0},
    {"\"C:\\My Savers\\vimbrel.scr\" /p 123", HostMode::childPreview, "123", 123},
    {"\"C:\\a b\\v.scr\"/s", HostMode::fullScreen, "", 0},         // the quoted name ends at its quote
    {"\"C:\\unclosed /s", HostMode::settings, "", 0},              // no closing quote: all name
    {"v.scr \t\r\n /c", HostMode::settingsOverForeground, "", 0},  // control characters follow the name
    {"v\xe9.scr /s", HostMode::fullScreen, "", 0},                 // codes above 127 belong to the name
    {"v.scr /c:1234", HostMode::settingsOverForeground, "", 0},
    {"v.scr /p   1234abc", HostMode::childPreview, "1234abc", 1234},
    {"v.scr -L42", HostMode::childPreview, "42", 42},
    {"v.scr /l 9090", HostMode::childPreview, "9090", 9090},
    {"v.scr /P 4294967295", HostMode::childPreview, "4294967295", 4294967295u},
    {"v.scr /p 4294967296", HostMode::childPreview, "4294967296", 0},  // wraps at 32 bits
    {"v.scr /p\t42", HostMode::childPreview, "\t42", 0},               // only blanks are skipped
    {"v.scr /p +42", HostMode::childPreview, "+42", 0},
    {"v.scr /a 99", HostMode::changePassword, "99", 99},
    {"v.scr /A", HostMode::changePassword, "", 0},
    {"v.scr /x", HostMode::unrecognised, nullptr, 0},
    {"v.scr /1", HostMode::unrecognised, nullptr, 0},
    {"v.scr /\ts", HostMode::unrecognised, nullptr, 0},
    {"v.scr /\xf3", HostMode::unrecognised, nullptr, 0},
    // The program's path as the system writes it, unquoted with blanks too: it
    // is skipped up to the program's own file name (long or short, in either
    // case), wherever its blanks are.
    {"C:\\Program Files\\Vimbrel\\vimbrel saver.scr /p 42", HostMode::childPreview, "42", 42},
    {"C:\\My savers\\vimbrel saver.scr /c", HostMode::settingsOverForeground, "", 0},  // 's' after the first blank
    {"C:\\My savers\\vimbrel saver.scr", HostMode::settings, "", 0},
    {"C:\\My savers\\vimbrel saver.scr  ", HostMode::settings, "", 0},
    {"C:\\Sch\xf6ne S\xe4ver\\VIMBREL SAVER.SCR /a 7", HostMode::changePassword, "7", 7},
    {"C:\\PROGRA~1\\Vimbrel\\VIMBRE~1.SCR /p 9", HostMode::childPreview, "9", 9},
    {"c:\\progra~1\\vimbrel\\vimbre~1.scr\t/p 9", HostMode::childPreview, "9", 9},
    {"C:vimbrel saver.scr /p 5", HostMode::childPreview, "5", 5},
    {"vimbrel saver.scr /p 5", HostMode::childPreview, "5", 5},
    {"..\\x/vimbrel saver.scr /p 5", HostMode::childPreview, "5", 5},
    {"\"C:\\My savers\\vimbrel saver.scr\" /p 6", HostMode::childPreview, "6", 6},
    // Not the program's name: cut at the first blank.
    {"C:\\My savers\\other.scr /p 6", HostMode::fullScreen, "", 0},
    {"C:\\My savers\\xvimbrel saver.scr /p 6", HostMode::fullScreen, "", 0},
    {"C:\\My savers\\vimbrel saver.scrx /p 6", HostMode::fullScreen, "", 0},
};

TEST(CommandLine, EachLineGivesItsModeAndHandle) {
  const std::vector<std::string> names = {"vimbrel saver.scr", "VIMBRE~1.SCR"};
  for (const auto& [commandLine, mode, rest, handle] : lines) {
    SCOPED_TRACE(commandLine);
    const ModeChoice choice = ChooseMode(ArgumentText(commandLine, names));
    EXPECT_EQ(static_cast<int>(choice.mode), static_cast<int>(mode));
    if (rest == nullptr) continue;
    if (mode == HostMode::childPreview || mode == HostMode::changePassword) {
      EXPECT_STREQ(choice.rest, rest);
    }
    EXPECT_EQ(ParseDecimal(choice.rest), handle);
  }
  // A tab before the switch can only come from the text after the name.
  EXPECT_EQ(ChooseMode("\t/s").mode, HostMode::unrecognised);
  EXPECT_EQ(TicksSince(0xFFFFFFF0u, 0x10u), 0x20u);
  // Without names, the first blank ends an unquoted name.
  EXPECT_EQ(ChooseMode(ArgumentText("C:\\My savers\\vimbrel saver.scr /p 42")).mode, HostMode::fullScreen);
}

}  // namespace
