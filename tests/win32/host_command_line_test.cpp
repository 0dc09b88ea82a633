// The exit code of every mode as the real program returns it (the reading of
// the command line itself is tested natively: tests/native/host/).
#include <gtest/gtest.h>

#include <functional>
#include <utility>

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

// The program started by a path with blanks and a non-ASCII letter in its
// folder and its own name, written unquoted as the system may write it: the
// switch after the path is the one read. Cut at the first blank, these lines
// would read "savers..." as the full-screen switch.
class HostProgramPath : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "Vimbrel savers \xfc";
    program = folder + "\\vimbrel saver.scr";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE)) << program;
  }
  void TearDown() override {
    DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  // Starts the copy with exactly this command line.
  ProgramRun StartAs(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ProgramRun run = {};
    run.started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                 &startup, &run.process) != 0;
    return run;
  }
  std::string folder, program;
};

TEST_F(HostProgramPath, TheSwitchAfterAnUnquotedLongShortOrRelativePathIsRead) {
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(program.c_str(), shortPath, MAX_PATH), 0u);
  for (const std::string& path : {program, std::string(shortPath), std::string("vimbrel saver.scr")}) {
    ProgramRun run = StartAs(path + " /x");
    EXPECT_EQ(WaitForExit(run, 5000), refused) << path;
  }
  HWND parent = CreatePreviewParent(152, 112);
  ProgramRun preview = StartAs(program + " /p " + HandleText(parent));
  EXPECT_NE(WaitForPreviewWindow(parent, 5000), nullptr);
  DestroyWindow(parent);
  EXPECT_EQ(WaitForExit(preview), 0u);
}

// What each mode shows: without a switch and with /c the settings dialog
// (Cancel ends it with 0); with /s the full-screen window, its scene
// moving; with /p the preview filling the parent (Wine shows no pixels of
// another program's child window, so its frames are not read back).
TEST(HostModes, EachSwitchShowsWhatItIsFor) {
  RemoveUsePasswordFlag();
  for (const char* text : {"", "/c", "/c:1234"}) {
    ProgramRun run = StartProgram(text);
    HWND dialog = WaitForSettingsDialog(run.process.dwProcessId, 10000);
    EXPECT_NE(dialog, nullptr) << "no settings dialog for '" << text << "'";
    if (dialog != nullptr) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitForExit(run), 0u) << text;
  }
  const auto moves = [](const std::function<std::vector<uint8_t>()>& capture) {
    std::vector<uint8_t> last = capture();
    return WaitUntil([&] { return std::exchange(last, capture()) != last; }, 5000) &&
           WaitUntil([&] { return std::exchange(last, capture()) != last; }, 5000);
  };
  SaverRun saver = StartSaver("/s");
  ASSERT_NE(saver.window, nullptr);
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT shown;
  GetWindowRect(saver.window, &shown);
  EXPECT_TRUE(EqualRect(&shown, &screen));
  EXPECT_TRUE(moves([&] { return CaptureScreen(screen); })) << "/s: the scene stands still";
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);

  HWND parent = CreatePreviewParent(152, 112);
  ProgramRun preview = StartProgram("/p " + HandleText(parent));
  HWND child = WaitForPreviewWindow(parent);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), parent);
  RECT inParent, parentRect;
  GetWindowRect(child, &inParent);
  GetWindowRect(parent, &parentRect);
  EXPECT_TRUE(EqualRect(&inParent, &parentRect)) << "/p: the preview does not fill its parent";
  DestroyWindow(parent);
  EXPECT_EQ(WaitForExit(preview), 0u);
}

}  // namespace
