// The exit code of every mode as the real program returns it (the reading of
// the command line itself is tested natively: tests/native/host/).
#include <gtest/gtest.h>

#include "win32/host/host_main.h"
#include "support/harness.h"

namespace {

constexpr DWORD refused = 0xFFFFFFFFu;  // -1 as the process exit code

// Refusals return at once without making a window, so HostMain itself can be
// asked; a tab before the switch can only reach it this way, since the
// start-up skips every control character after the program name. The
// desktop window, also as a number that wraps to it, is refused too: a
// preview there would cover the screen with nothing to end it, so those
// lines (and one more, for the exit code itself) run as the real program.
TEST(HostExitCodes, UnknownSwitchesAndUnusableHandlesEndAtOnceWithMinusOne) {
  HWND own =
      CreateWindowExA(0, "STATIC", "own", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const std::string goneText = HandleText(gone);
  DestroyWindow(gone);
  for (const std::string& text :
       {std::string("\t/s"), std::string("/1"), std::string("/p"), std::string("/p 0"), std::string("/p abc"),
        std::string("/p:1234"), "/p\t" + HandleText(own), "/l " + goneText})
    EXPECT_EQ(HostMain(GetModuleHandleA(nullptr), nullptr, text.c_str(), SW_SHOWNORMAL), -1) << text;
  const uint64_t desktop = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetDesktopWindow()));
  for (const std::string& text :
       {std::string("/x"), "/p " + std::to_string(desktop), "/p " + std::to_string(desktop + (1ull << 32))}) {
    ProgramRun run = StartProgram(text, nullptr);
    EXPECT_EQ(WaitForExit(run), refused) << text;
  }
  DestroyWindow(own);
}

// One saver really runs; the other switches are each started beside it: only
// the full-screen mode looks for a running saver, and it then ends with 0
// at once, bringing the first to the front (from behind a window of ours).
TEST(HostExitCodes, SaverSwitchesRunTheFullScreenSaver) {
  RemoveUsePasswordFlag();
  HWND own = ShowOwnWindow();
  SaverRun saver = StartSaver("-s");
  ASSERT_NE(saver.window, nullptr);
  for (const char* text : {"/S", " / - s", "/sx", "s"}) {
    ASSERT_TRUE(WaitUntil([&] { return SetForegroundWindow(own) && GetForegroundWindow() == own; }, 5000));
    ProgramRun run = StartProgram(text, nullptr);
    EXPECT_EQ(WaitForExit(run), 0u) << text;
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000)) << text;
    EXPECT_FALSE(HasEnded(saver.run)) << text;
    EXPECT_EQ(FindWindowExA(nullptr, saver.window, "WindowsScreenSaverClass", "Screen Saver"), nullptr) << text;
  }
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

}  // namespace
