// The exit code of every mode as the real program returns it (the reading of
// the command line itself is tested natively: tests/native/host/).
#include <gtest/gtest.h>

#include <vector>

#include "host/host_main.h"
#include "support/host_tools.h"

namespace {

constexpr DWORD refused = 0xFFFFFFFFu;  // -1 as the process exit code

// Refusals return at once without making a window, so HostMain itself can be
// asked here; a tab before the switch can only reach it this way, since the
// start-up skips every control character after the program name.
TEST(HostMainInProcess, RefusesUnknownSwitchesAndUnusableHandles) {
  HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const std::string goneText = HandleText(gone);
  DestroyWindow(gone);
  const std::vector<std::string> texts = {"\t/s", "/x", "/1", "/p", "/p 0", "/p abc", "/p:1234", "/l " + goneText};
  for (const std::string& text : texts)
    EXPECT_EQ(HostMain(GetModuleHandleA(nullptr), nullptr, text.c_str(), SW_SHOWNORMAL), -1) << text;
}

TEST(HostExitCodes, UnknownSwitchesAndUnusableHandlesEndAtOnceWithMinusOne) {
  HWND own = CreateWindowExA(0, "STATIC", "own", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  // The desktop window, also as a number that wraps to it: a preview there
  // would cover the screen with nothing to end it.
  const uint64_t desktop = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetDesktopWindow()));
  const std::vector<std::string> texts = {"/x", "/1", "/p", "/p 0", "/p abc", "/p:1234", "/p\t" + HandleText(own),
                                          "/p " + std::to_string(desktop), "/p " + std::to_string(desktop + (1ull << 32))};
  for (const std::string& text : texts) {
    ProgramRun run = StartProgram(text, nullptr);
    EXPECT_EQ(WaitForExit(run), refused) << text;
  }
  DestroyWindow(own);
}

// The settings windows run side by side, to spend the time of their closing once.
TEST(HostExitCodes, SettingsModesEndWithZeroWhenTheirWindowCloses) {
  const std::vector<std::string> texts = {"", "/c", "/c:1234"};
  std::vector<ProgramRun> runs;
  for (const std::string& text : texts) runs.push_back(StartProgram(text, nullptr));
  for (size_t i = 0; i < runs.size(); ++i) {
    HWND window = WaitForProcessWindow(runs[i].process.dwProcessId, "Spinner", nullptr);
    EXPECT_NE(window, nullptr) << texts[i];
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(WaitForExit(runs[i]), 0u) << texts[i];
}

// One saver really runs; the other switches are each started beside it: only
// the full-screen mode looks for a running saver, and it then ends with 0
// at once, leaving the first in front.
TEST(HostExitCodes, SaverSwitchesRunTheFullScreenSaver) {
  RemoveUsePasswordFlag();
  SaverRun saver = StartSaver("-s");
  ASSERT_NE(saver.window, nullptr);
  for (const char* text : {"/S", " / - s", "/sx", "s"}) {
    ProgramRun run = StartProgram(text, nullptr);
    EXPECT_EQ(WaitForExit(run), 0u) << text;
    EXPECT_EQ(FindWindowExA(nullptr, saver.window, "WindowsScreenSaverClass", "Screen Saver"), nullptr) << text;
  }
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

}  // namespace
