// preview_window_win32.cpp - settings mode's maximised window.
//
// The window's procedure is the scene driver itself with previewMode 1, so
// input never ends it; the driver opens the settings dialog when the window
// is created, and the loop below passes the dialog its keys.
#include "config_ui/preview_window_win32.h"

#include <commctrl.h>

#include "config_ui/configure_dialog_win32.h"
#include "resources/resource_ids.h"
#include "scene/scene_window_win32.h"

namespace {

bool RegisterPreviewClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ScreenSaverProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VIMBREL));
  windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VIMBREL));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_APPSTARTING);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = previewClassName;
  // A class left registered by an earlier run in this process is as good as a new one.
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int RunDialogMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsWindow(sceneDriver.dialogWindow) && IsDialogMessageA(sceneDriver.dialogWindow, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int RunConfigurePreview(HINSTANCE instance) {
  sceneDriver.previewMode = 1;
  // The loop's own result is always 0; only a window that never came is reported.
  return RunPreviewWindow(instance, SW_SHOWMAXIMIZED) == -1 ? -1 : 0;
}

int RunPreviewWindow(HINSTANCE instance, int showCommand) {
  InitCommonControls();
  sceneDriver.instanceHandle = instance;
  sceneDriver.openSettingsDialog = OpenSettingsDialog;
  if (!RegisterPreviewClass(instance)) return -1;
  sceneDriver.sceneWindow =
      CreateWindowExA(0, previewClassName, previewWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                      GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN), nullptr, nullptr,
                      instance, nullptr);
  if (sceneDriver.sceneWindow == nullptr) return -1;
  ShowWindow(sceneDriver.sceneWindow, showCommand);
  UpdateWindow(sceneDriver.sceneWindow);
  FocusSettingsDialog();  // showing the scene window took the activation from the dialog
  return RunDialogMessageLoop();
}
