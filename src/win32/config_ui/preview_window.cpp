// preview_window.cpp - settings mode's maximised window.
//
// The window's procedure is the scene's own with the session in settings
// mode, so input never ends it; it opens the settings dialog when the window is
// created, and the loop below passes the dialog its keys.
#include "win32/config_ui/preview_window.h"

#include <commctrl.h>

#include "win32/config_ui/configure_dialog.h"
#include "win32/resources/resource_ids.h"
#include "win32/session/scene_window.h"

namespace {

int RunPreviewWindow(Session& session, int showCommand);

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

}  // namespace

int RunConfigurePreview(Session& session) {
  session.mode = SessionMode::settings;
  // The loop's own result is always 0; only a window that never came is reported.
  return RunPreviewWindow(session, SW_SHOWMAXIMIZED) == -1 ? -1 : 0;
}

namespace {

// Returns the quit message's wParam, or -1 when no window could be made.
int RunPreviewWindow(Session& session, int showCommand) {
  InitCommonControls();
  session.openSettingsDialog = OpenSettingsDialog;
  if (!RegisterPreviewClass(session.instance)) return -1;
  // The window is views[0] from its WM_CREATE on.
  HWND window = CreateWindowExA(0, previewClassName, previewWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                                GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN), nullptr, nullptr,
                                session.instance, &session);
  if (window == nullptr) return -1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  FocusSettingsDialog(session);  // showing the scene window took the activation from the dialog
  return RunDialogMessageLoop(session);
}

}  // namespace
