// The shared option table of the two Linux programs: each program takes
// its own options and refuses the other's, and its --help and manual page
// list exactly what it takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux_options/linux_documents.h"
#include "linux_options/linux_options.h"

namespace {

bool Parse(LinuxProgram program, std::vector<const char*> arguments, LinuxOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "program");
  return ParseLinuxOptions(program, static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(LinuxOptions, EachProgramTakesItsOwnOptionsAndRefusesTheOthers) {
  for (const auto& [program, other] : {std::pair{x11Program, "--idle"}, std::pair{waylandProgram, "--root"}}) {
    LinuxOptions options;
    std::string error;
    EXPECT_FALSE(Parse(program, {other}, options, error));
    EXPECT_EQ(error, "unknown option '" + std::string(other) + "'");
  }
  LinuxOptions options;
  std::string error;
  ASSERT_TRUE(Parse(waylandProgram, {"-idle", "90", "--background", "-display", "w-1", "--no-shadows"}, options, error));
  EXPECT_EQ(options.idleSeconds, 90);
  EXPECT_TRUE(options.background);
  EXPECT_EQ(options.display, "w-1");
  EXPECT_EQ(options.settings.showShadows, 0);
  // Seconds are read exactly, as the page reads them: 512.512 s is 500.5 units, a half, away from zero.
  ASSERT_TRUE(Parse(x11Program, {"--pyramid-rotation-seconds", "512.512", "--dodeca-journey-seconds", "-512.512"},
                    options, error));
  EXPECT_EQ(options.settings.pyramidRotationTime, 501);
  EXPECT_EQ(options.settings.dodecaJourneyTime, -501);
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

// Each page lists what its program takes and not what the other takes alone.
TEST(LinuxOptions, HelpAndManualListWhatTheProgramTakes) {
  EXPECT_NE(ProgramHelp(waylandProgram).find("\n  --idle SECONDS "), std::string::npos);
  EXPECT_NE(ManualOptionsAndSettings(x11Program).find(".B " + Roff("--root") + "\n"), std::string::npos);
  EXPECT_NE(ManualOptionsAndSettings(waylandProgram).find(".BI " + Roff("--config") + " \""), std::string::npos);
  // What one program has alone is absent from the other's page.
  EXPECT_EQ(ManualOptionsAndSettings(waylandProgram).find(Roff("--root")), std::string::npos);
  EXPECT_EQ(ManualOptionsAndSettings(x11Program).find(Roff("--idle")), std::string::npos);
  EXPECT_EQ(ProgramHelp(x11Program).find("--background"), std::string::npos);
}

}  // namespace
