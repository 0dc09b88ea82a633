// The password-change mode ('a'): the program hands the change to the
// system's MPR.DLL (Wine's own here), watched through a breakpoint on
// PwdChangePasswordA, and ends with 0.
#include <gtest/gtest.h>

#include "support/host_call_trap.h"
#include "support/host_tools.h"

namespace {

constexpr DWORD trapDeadlineMs = 20000;

TEST(HostChangePassword, UsesTheForegroundWindowWhenNoWindowIsNamed) {
  HWND own = ShowOwnWindow();
  for (const char* arguments : {"/a", "-A 0", "/a 12abc"}) {  // 12 names no window
    const TrappedCall call = RunWithCallTrap(arguments, "MPR.DLL", "PwdChangePasswordA", trapDeadlineMs);
    ASSERT_TRUE(call.finished) << arguments;
    EXPECT_EQ(call.exitCode, 0u) << arguments;
    EXPECT_EQ(call.calls, 1) << arguments;
    EXPECT_EQ(call.textArgument, "SCRSAVE") << arguments;
    EXPECT_EQ(call.windowArgument, reinterpret_cast<uintptr_t>(own)) << arguments;
  }
}

TEST(HostChangePassword, UsesTheWindowNamedOnTheCommandLine) {
  HWND own = ShowOwnWindow();
  PreviewParent named = CreatePreviewParent(60, 40);
  SetForegroundWindow(own);
  const TrappedCall call =
      RunWithCallTrap("/a " + HandleText(named.window), "MPR.DLL", "PwdChangePasswordA", trapDeadlineMs);
  ASSERT_TRUE(call.finished);
  EXPECT_EQ(call.exitCode, 0u);
  EXPECT_EQ(call.calls, 1);
  EXPECT_EQ(call.textArgument, "SCRSAVE");
  EXPECT_EQ(call.windowArgument, reinterpret_cast<uintptr_t>(named.window));
  DestroyWindow(named.window);
}

}  // namespace
