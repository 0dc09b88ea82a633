// The scene's window procedure in a real window: the floor through the scene
// palette, the frame timer, and the refusals of a failed initialisation.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "config_ui/configure_dialog_win32.h"
#include "resources/resource_ids.h"
#include "scene/scene_state.h"
#include "scene/scene_window_win32.h"
#include "scene/settings_record.h"
#include "support/harness.h"

namespace {

constexpr char testClassName[] = "VimbrelSceneTest";
int paintsSeen = 0;

LRESULT CALLBACK CountingSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paintsSeen;
  return ScreenSaverProc(window, message, wParam, lParam);
}

BOOL CALLBACK RememberMessageText(HWND child, LPARAM target) {
  char text[128] = {};
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpA(text, "Missing image file") == 0) lstrcpyA(reinterpret_cast<char*>(target), text);
  return TRUE;
}

// Closes every "Screensaver Error" box that shows up, remembering its text.
struct ErrorBoxWatcher {
  std::atomic<bool> stop{false};
  std::atomic<int> boxesClosed{0};
  char lastText[128] = {};
  std::thread thread;

  void Start() {
    thread = std::thread([this] {
      while (!stop) {
        HWND box = FindWindowA(nullptr, "Screensaver Error");
        if (box != nullptr) {
          EnumChildWindows(box, RememberMessageText, reinterpret_cast<LPARAM>(lastText));
          ++boxesClosed;  // counted before it goes, so the test never sees it gone but uncounted
          PostMessageA(box, WM_COMMAND, IDOK, 0);
          while (IsWindow(box) && !stop) Sleep(10);
        }
        Sleep(10);
      }
    });
  }
  ~ErrorBoxWatcher() {
    stop = true;
    if (thread.joinable()) thread.join();
  }
};

class SceneWindow : public ::testing::Test {
 protected:
  HWND window = nullptr;

  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingSceneProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = testClassName;
    RegisterClassA(&windowClass);
  }

  void SetUp() override {
    ResetSceneDriver();
    sceneDriver.instanceHandle = GetModuleHandleA(nullptr);
    sceneDriver.previewMode = 1;
    sceneDriver.openSettingsDialog = OpenSettingsDialog;  // as settings mode hands it over
    paintsSeen = 0;
  }

  void TearDown() override {
    if (IsWindow(sceneDriver.dialogWindow)) DestroyWindow(sceneDriver.dialogWindow);
    if (IsWindow(window)) DestroyWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeleteSettingsKey();
  }

  // A record that draws the floor alone, so every pixel is the background.
  static void StoreBackgroundOnlySettings(int frameTime) {
    SettingsRecord record{};
    SetDefaultSettings(record);
    record.pyramidShow = 0;
    record.dodecaShow = 0;
    record.frameTime = frameTime;
    std::vector<uint8_t> bytes(settingsRecordSize);
    SettingsToBytes(record, bytes.data());
    WriteSettingsValue(bytes, REG_BINARY);
  }

  void CreateSceneWindow(int width, int height) {
    window = CreateWindowExA(0, testClassName, "scene", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    sceneDriver.sceneWindow = window;
    // The dialog opened on creation would cover part of the floor.
    if (IsWindow(sceneDriver.dialogWindow)) DestroyWindow(sceneDriver.dialogWindow);
    UpdateWindow(window);
  }
};

TEST_F(SceneWindow, ShowsTheFloorScaledToTheClientAreaThroughTheScenePalette) {
  StoreBackgroundOnlySettings(100);
  CreateSceneWindow(640, 480);
  ASSERT_TRUE(WaitUntil([] { return sceneDriver.sceneReady == 1 && paintsSeen >= 2; }));
  EXPECT_EQ(scene.frameWidth, 640);
  EXPECT_EQ(scene.frameHeight, 480);
  EXPECT_EQ(scene.worldScale, 1280);

  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = CaptureClient(window, width, height);
  ASSERT_EQ(width, 640);
  ASSERT_EQ(height, 480);
  const uint8_t* background = ImagePixels(scene.backgroundImage);
  int mismatches = 0;
  std::set<uint32_t> colours;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // The frame's row 0 is the window's bottom row.
      const uint8_t index = background[(height - 1 - y) * scene.frameStride + x];
      const PaletteEntry& expected = scene.palette.entries[index];
      const uint8_t* actual = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      if (actual[0] != expected.red || actual[1] != expected.green || actual[2] != expected.blue) ++mismatches;
      colours.insert(actual[0] << 16 | actual[1] << 8 | actual[2]);
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GE(colours.size(), 16u);  // the tiled floor, not a blank window
  EXPECT_LE(colours.size(), 32u);  // and only the picture's own base colours
}

TEST_F(SceneWindow, RedrawsEveryFrameTime) {
  StoreBackgroundOnlySettings(50);
  CreateSceneWindow(200, 150);
  ASSERT_TRUE(WaitUntil([] { return sceneDriver.sceneReady == 1; }));
  const int before = paintsSeen;
  const DWORD start = GetTickCount();
  ASSERT_TRUE(WaitUntil([&] { return paintsSeen >= before + 5; }, 10000));
  // Five frames at 50 ms each cannot come in much less than 250 ms.
  EXPECT_GE(GetTickCount() - start, 200u);
}

TEST_F(SceneWindow, MissingPictureShowsTheMessageOnceAndNeverDraws) {
  ErrorBoxWatcher watcher;
  watcher.Start();
  sceneDriver.instanceHandle = GetModuleHandleA("kernel32.dll");  // a module without our pictures
  CreateSceneWindow(320, 240);
  ASSERT_TRUE(WaitForQuitMessage());
  EXPECT_EQ(watcher.boxesClosed.load(), 1);
  EXPECT_STREQ(watcher.lastText, "Missing image file");
  EXPECT_EQ(sceneDriver.sceneReady, 0);
  EXPECT_EQ(scene.frameBuffer, nullptr);

  // A later paint draws nothing and asks nothing.
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  EXPECT_EQ(watcher.boxesClosed.load(), 1);
  EXPECT_EQ(sceneDriver.sceneReady, 0);
}

TEST_F(SceneWindow, ZeroSizedClientAreaFailsWithoutAMessage) {
  ErrorBoxWatcher watcher;
  watcher.Start();
  StoreBackgroundOnlySettings(100);
  window = CreateWindowExA(0, testClassName, "scene", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  if (IsWindow(sceneDriver.dialogWindow)) DestroyWindow(sceneDriver.dialogWindow);
  EXPECT_EQ(InitialiseScene(window), 0);
  EXPECT_EQ(watcher.boxesClosed.load(), 0);
  EXPECT_EQ(scene.frameBuffer, nullptr);
}

}  // namespace
