// The shared option table of the two Linux programs: each program takes
// its own options and refuses the other's, and its --help and manual page
// list exactly what it takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "linux_options/linux_documents.h"
#include "linux_options/linux_options.h"

namespace {

const std::string config = testing::TempDir() + "linux_options_test.rec";

// A value each option with an argument takes.
const char* ValueFor(const ProgramOption& row) {
  const std::string argument = row.argument;
  return argument == "ID" ? "0x10" : argument == "WxH+X+Y" ? "10x10" : argument == "FILE" ? config.c_str()
         : argument == "SECONDS"                                                       ? "5"
                                                                                       : "name";
}

// Whether a program takes the option: an option may have a row for each program.
bool Takes(LinuxProgram program, const char* name) {
  for (int i = 0; i < programOptionCount; ++i)
    if (programOptions[i].name != nullptr && std::string(programOptions[i].name) == name &&
        (programOptions[i].programs & program) != 0)
      return true;
  return false;
}

bool Parse(LinuxProgram program, std::vector<const char*> arguments, LinuxOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "program");
  return ParseLinuxOptions(program, static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(LinuxOptions, EachProgramTakesItsOwnOptionsAndRefusesTheOthers) {
  std::fclose(std::fopen(config.c_str(), "wb"));  // an empty record: the defaults
  for (LinuxProgram program : {x11Program, waylandProgram}) {
    for (int i = 0; i < programOptionCount; ++i) {
      const ProgramOption& row = programOptions[i];
      if (row.name == nullptr) continue;
      SCOPED_TRACE(std::string(row.name) + (program == x11Program ? " (X11)" : " (Wayland)"));
      const bool taken = Takes(program, row.name);
      LinuxOptions options;
      std::string error;
      std::vector<const char*> arguments{row.name};
      if (row.argument != nullptr) arguments.push_back(ValueFor(row));
      EXPECT_EQ(Parse(program, arguments, options, error), taken) << error;
      if (!taken) {
        EXPECT_EQ(error, "unknown option '" + std::string(row.name) + "'");
      }
    }
  }
  LinuxOptions options;
  std::string error;
  ASSERT_TRUE(Parse(waylandProgram, {"-idle", "90", "--background", "-display", "w-1", "--no-shadows"}, options, error));
  EXPECT_EQ(options.idleSeconds, 90);
  EXPECT_TRUE(options.background);
  EXPECT_EQ(options.display, "w-1");
  EXPECT_EQ(options.settings.showShadows, 0);
}

// A day at most, a whole number of seconds.
TEST(LinuxOptions, IdleTakesWholeSecondsUpToADay) {
  for (const char* value : {"1", "86400"}) {
    LinuxOptions options;
    std::string error;
    EXPECT_TRUE(Parse(waylandProgram, {"--idle", value}, options, error)) << value << ": " << error;
  }
  for (const char* value : {"0", "86401", "-5", "1.5", "", "2147483648"}) {
    LinuxOptions options;
    std::string error;
    EXPECT_FALSE(Parse(waylandProgram, {"--idle", value}, options, error)) << value;
    EXPECT_EQ(error, "--idle: '" + std::string(value) + "' is not a number of seconds from 1 to 86400");
  }
}

// An option's line in --help starts with this.
std::string HelpLeft(const ProgramOption& row) {
  return row.helpName != nullptr ? row.helpName
         : row.argument != nullptr ? std::string(row.name) + " " + row.argument
                                   : row.name;
}

// Whether a row of the program's has that line.
bool HelpLists(LinuxProgram program, const std::string& left) {
  for (int i = 0; i < programOptionCount; ++i)
    if ((programOptions[i].programs & program) != 0 && programOptions[i].help != nullptr &&
        HelpLeft(programOptions[i]) == left)
      return true;
  return false;
}

TEST(LinuxOptions, HelpAndManualListWhatTheProgramTakes) {
  for (LinuxProgram program : {x11Program, waylandProgram}) {
    const std::string help = ProgramHelp(program), manual = ManualOptionsAndSettings(program);
    SCOPED_TRACE(program == x11Program ? "X11" : "Wayland");
    for (int i = 0; i < programOptionCount; ++i) {
      const ProgramOption& row = programOptions[i];
      if (row.name == nullptr) continue;
      const bool taken = Takes(program, row.name);
      if (row.help != nullptr) {
        const std::string left = HelpLeft(row);
        EXPECT_EQ(help.find("\n  " + left + " ") != std::string::npos, HelpLists(program, left)) << left;
      }
      const std::string tag = row.argument != nullptr ? ".BI " + Roff(row.name) + " \"" : ".B " + Roff(row.name) + "\n";
      if (taken) {
        EXPECT_NE(manual.find(tag), std::string::npos) << tag;
      }
    }
  }
  // What one program has alone is absent from the other's page.
  EXPECT_EQ(ManualOptionsAndSettings(waylandProgram).find(Roff("--root")), std::string::npos);
  EXPECT_EQ(ManualOptionsAndSettings(x11Program).find(Roff("--idle")), std::string::npos);
  EXPECT_EQ(ProgramHelp(x11Program).find("--background"), std::string::npos);
}

}  // namespace
