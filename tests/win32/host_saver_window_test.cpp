// The saver window of the real program: full screen with its input rules,
// one instance at a time, and the child preview inside a window of the test.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "support/harness.h"
#include "win32/host/display_power.h"

namespace {

// The saver's WM_TIMER messages by timer id, as the spy library, hooked
// into the saver's thread, reports them to a window of this test.
class TimerSpy {
 public:
  explicit TimerSpy(HWND saverWindow) {
    WNDCLASSA spyClass = {};
    spyClass.lpfnWndProc = Count;
    spyClass.hInstance = GetModuleHandleA(nullptr);
    spyClass.lpszClassName = "VimbrelTimerSpy";
    RegisterClassA(&spyClass);  // fails harmlessly when an earlier spy registered it
    window_ = CreateWindowA("VimbrelTimerSpy", "", 0, 0, 0, 0, 0, nullptr, nullptr, spyClass.hInstance, nullptr);
    std::string path = "Z:" + std::string(VIMBREL_TIMER_SPY_PATH);
    std::replace(path.begin(), path.end(), '/', '\\');
    library_ = LoadLibraryA(path.c_str());
    const auto hook =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(library_, "TimerSpyHook")));
    if (hook != nullptr)
      hook_ = SetWindowsHookExA(WH_GETMESSAGE, hook, library_, GetWindowThreadProcessId(saverWindow, nullptr));
    counts().clear();
  }
  ~TimerSpy() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    DestroyWindow(window_);
    if (library_ != nullptr) FreeLibrary(library_);
  }
  TimerSpy(const TimerSpy&) = delete;
  TimerSpy& operator=(const TimerSpy&) = delete;

  bool Ready() const { return window_ != nullptr && hook_ != nullptr; }
  int Ticks(UINT_PTR id) const { return counts()[id]; }
  // Forgets what was reported so far, the reports still queued here included.
  void Reset() {
    MSG message;
    while (PeekMessageA(&message, window_, WM_APP, WM_APP, PM_REMOVE)) DispatchMessageA(&message);
    counts().clear();
  }

 private:
  static std::map<UINT_PTR, int>& counts() {
    static std::map<UINT_PTR, int> ticks;
    return ticks;
  }
  static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ++counts()[wParam];
    return DefWindowProcA(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
  HMODULE library_ = nullptr;
  HHOOK hook_ = nullptr;
};

class HostFullScreen : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    ShowOwnWindow();
  }
};

TEST_F(HostFullScreen, CoversTheScreenTopmostHidesTheCursorAndKeepsItsTitle) {
  ASSERT_FALSE(CursorHidden());  // the test's own window shows the arrow
  StartSaverOrFail();
  RECT rect, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(saver.window, &rect);
  EXPECT_TRUE(EqualRect(&rect, &screen)) << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
  EXPECT_NE(GetWindowLongA(saver.window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000));
  EXPECT_TRUE(WaitUntil(CursorHidden, 5000));

  DWORD_PTR result = 1;
  EXPECT_NE(
      SendMessageTimeoutA(saver.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"), SMTO_BLOCK, 5000, &result),
      0);
  EXPECT_EQ(result, 0u);
  char title[64] = {};
  GetWindowTextA(saver.window, title, sizeof title);
  EXPECT_STREQ(title, "Screen Saver");

  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// Travel counts |dx| + |dy| from the reference: exactly 4 keeps the saver,
// 5 ends it, in whichever direction.
TEST_F(HostFullScreen, MouseTravelOfFourKeepsItAndFiveInOneStepEndsIt) {
  StartSaverOrFail();
  MoveMouse(saver.window, startX + 2, startY + 2);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX - 3, startY - 1);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX - 3, startY - 2);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// While the display sleeps no frame is composed: the screen stands still
// (the default scene turns every frame) until the display is on again, by
// SC_MONITORPOWER or a resume; a key still ends the saver at once.
TEST_F(HostFullScreen, NoFramesWhileTheDisplaySleepsAndAWholeFrameWhenItWakes) {
  StartSaverOrFail();
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  std::vector<uint8_t> before = CaptureScreen(screen);
  ASSERT_TRUE(WaitUntil([&] { return CaptureScreen(screen) != before; }, 5000)) << "the scene does not move";
  for (const LPARAM state : {LPARAM{2}, LPARAM{1}}) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, state, SMTO_BLOCK, 5000, &result);
    UpdateWindow(saver.window);  // the frame composed before it, painted now
    // ... and on the screen once two readings agree.
    std::vector<uint8_t> asleep;
    ASSERT_TRUE(WaitUntil([&] { return std::exchange(asleep, CaptureScreen(screen)) == asleep; }, 3000));
    EXPECT_FALSE(WaitUntil([&] { return CaptureScreen(screen) != asleep; }, 800)) << "drawn in power state " << state;
    const bool resume = state == 1;
    if (resume)
      PostMessageA(saver.window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    else
      PostMessageA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(screen) != asleep; }, 2000)) << "no frame after waking";
  }
  PostMessageA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// While the display sleeps the saver keeps no frame timer: its thread
// takes no frame tick, only the watch of the monitors, at most once a
// second. Woken, the frames run again and the first paints the screen
// whole: what the test drew over the window meanwhile is all gone.
TEST_F(HostFullScreen, KeepsNoFrameTimerWhileTheDisplaySleeps) {
  const SettingsRecord pose = FrozenPose();
  StoreSettings(pose);
  StartSaverOrFail();
  TimerSpy spy(saver.window);
  ASSERT_TRUE(spy.Ready());
  ASSERT_TRUE(WaitUntil([&] { return spy.Ticks(frameTimerId) >= 3; }, 5000)) << "the spy sees no frame";
  DWORD_PTR result = 0;
  SendMessageTimeoutA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, 2, SMTO_BLOCK, 5000, &result);
  spy.Reset();
  const DWORD asleepAt = GetTickCount();
  EXPECT_TRUE(WaitUntil([&] { return spy.Ticks(displayAsleepTimerId) >= 2; }, 6000)) << "the monitors go unwatched";
  EXPECT_EQ(spy.Ticks(frameTimerId), 0) << "frame ticks while the display sleeps";
  EXPECT_LE(static_cast<DWORD>(spy.Ticks(displayAsleepTimerId)), (GetTickCount() - asleepAt) / 1000 + 1);

  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const RECT screen = {0, 0, width, height};
  HDC dc = GetDC(saver.window);
  FillRect(dc, &screen, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ReleaseDC(saver.window, dc);
  const std::vector<uint8_t> expected = ExpectedScreen(pose, width, height);
  ASSERT_GT(Mismatches(CaptureScreen(screen), expected), static_cast<size_t>(width) * height / 2);
  SendMessageTimeoutA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, -1, SMTO_BLOCK, 5000, &result);
  EXPECT_TRUE(WaitUntil([&] { return spy.Ticks(frameTimerId) >= 2; }, 5000)) << "no frames after waking";
  EXPECT_TRUE(WaitUntil([&] { return Mismatches(CaptureScreen(screen), expected) == 0; }, 5000))
      << Mismatches(CaptureScreen(screen), expected) << " pixels not repainted after waking";
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

class HostEndingInput : public HostFullScreen, public ::testing::WithParamInterface<UINT> {};

TEST_P(HostEndingInput, EndsTheSaverWithZero) {
  StartSaverOrFail();
  PostMessageA(saver.window, GetParam(), 'X', 0);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// WM_KEYDOWN and WM_LBUTTONDOWN end the savers of the tests above.
INSTANTIATE_TEST_SUITE_P(KeysAndButtons, HostEndingInput,
                         ::testing::Values(WM_SYSKEYDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN));

class HostChildPreview : public ::testing::Test {
 protected:
  void TearDown() override {
    EndProgram(run);
    if (IsWindow(parent)) DestroyWindow(parent);
  }
  void StartIn(const std::string& switchText) {
    parent = CreatePreviewParent(152, 112);
    ASSERT_NE(parent, nullptr);
    run = StartProgram(switchText + HandleText(parent), nullptr);
    preview = WaitForPreviewWindow(parent);
    ASSERT_NE(preview, nullptr);
  }

  HWND parent = nullptr;
  ProgramRun run = {};
  HWND preview = nullptr;
};

TEST_F(HostChildPreview, FillsTheParentIgnoresInputForwardsContextMenusAndEndsWithItsParent) {
  StartIn("/p ");
  RECT parentClient, previewRect;
  GetClientRect(parent, &parentClient);
  GetClientRect(preview, &previewRect);
  EXPECT_TRUE(EqualRect(&previewRect, &parentClient)) << previewRect.right << " x " << previewRect.bottom;
  EXPECT_EQ(GetParent(preview), parent);
  EXPECT_NE(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD, 0);

  SetCursorPos(10, 10);
  PostKey(preview, 'X');
  PostSysKey(preview, 'X');
  PostClick(preview);
  MoveMouse(preview, 300, 300);
  EXPECT_TRUE(StaysRunning(run));

  PostMessageA(preview, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(preview), MAKELPARAM(50, 50));
  EXPECT_TRUE(WaitUntil([&] { return LastContextMenuTarget() != 0; }, 5000));
  EXPECT_EQ(LastContextMenuTarget(), reinterpret_cast<WPARAM>(parent));

  DestroyWindow(parent);
  EXPECT_EQ(WaitForExit(run), 0u);
}

// The parent's program ends without destroying its window: the preview
// gets no WM_DESTROY, and still ends within about a second. The parent is
// the settings-mode window of another run of the program.
TEST_F(HostChildPreview, EndsWhenTheParentsProgramEndsWithoutDestroyingIt) {
  ProgramRun owner = StartProgram("/c");
  parent = WaitForProcessWindow(owner.process.dwProcessId, "Spinner", nullptr);
  ASSERT_NE(parent, nullptr);
  run = StartProgram("/p " + HandleText(parent));
  ASSERT_NE(WaitForPreviewWindow(parent), nullptr);
  TerminateProcess(owner.process.hProcess, 1);
  ASSERT_EQ(WaitForExit(owner), 1u);
  const DWORD gone = GetTickCount();
  EXPECT_EQ(WaitForExit(run, 5000), 0u);
  // It looks for its parent four times a second; the rest is room for a busy machine.
  EXPECT_LE(GetTickCount() - gone, 3000u);
}

}  // namespace
