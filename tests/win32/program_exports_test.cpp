// The program exports its two procedures under their plain names.
#include <gtest/gtest.h>

#include "support/harness.h"

namespace {

TEST(ProgramExports, ProceduresAreExportedUndecorated) {
  HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(program, nullptr) << ProgramPath();
  EXPECT_NE(GetProcAddress(program, "ScreenSaverProc"), nullptr);
  EXPECT_NE(GetProcAddress(program, "ScreenSaverConfigureDialog"), nullptr);
  EXPECT_EQ(GetProcAddress(program, "ScreenSaverProc@16"), nullptr);
  EXPECT_EQ(GetProcAddress(program, "_ScreenSaverProc@16"), nullptr);
  FreeLibrary(program);
}

}  // namespace
