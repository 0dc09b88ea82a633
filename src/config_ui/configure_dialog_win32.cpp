// configure_dialog_win32.cpp - the settings dialog's procedure.
//
// The procedure is a table of three messages: WM_INITDIALOG fills the
// controls from SceneSettings, WM_HSCROLL takes a moved trackbar into its
// field, WM_COMMAND handles the check boxes and the three buttons. The
// controls are found through settingsFields, so a field's id, label and
// range are written down once, in the settings record.
#include "config_ui/configure_dialog_win32.h"

#include <commctrl.h>

#include <cstdio>

#include "resources/resource_ids.h"
#include "scene/scene_window_win32.h"
#include "scene/settings_registry_win32.h"

ConfigureDialogState configureDialog;

#define F(name) &SettingsRecord::name
const int32_t SettingsRecord::*const dialogInitOrder[] = {
    F(pyramidRadius),   F(pyramidHeight),       F(pyramidCentreX),     F(pyramidCentreZ),
    F(pyramidJourneyTime), F(pyramidRotationTime), F(pyramidShow),     F(pyramidTurn),
    F(pyramidJourney),  F(dodecaRadius),        F(dodecaCentreX),      F(dodecaCentreZ),
    F(dodecaJourneyTime), F(dodecaRotationTime), F(dodecaShow),        F(dodecaTurn),
    F(dodecaJourney),   F(eyeY),                F(eyeZ),               F(light1X),
    F(light1Y),         F(light1Z),             F(light2X),            F(light2Y),
    F(light2Z),         F(frameTime),           F(showShadows),        F(showGrid),
    F(showPalette),
};
#undef F
const size_t dialogInitOrderCount = sizeof dialogInitOrder / sizeof dialogInitOrder[0];

namespace {

const SettingsField* FieldOfMember(const int32_t SettingsRecord::*member) {
  for (const SettingsField& field : settingsFields)
    if (field.member == member) return &field;
  return nullptr;
}

// The field edited by control id, if that control is of the given kind.
const SettingsField* FieldOfControl(int controlId, ControlKind kind) {
  const SettingsField* field = FindSettingsFieldByControl(controlId);
  return field != nullptr && field->kind == kind ? field : nullptr;
}

void ShowValue(HWND dialog, int labelId, int32_t value) {
  char text[12];  // "-2147483648" and its terminator
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  SetDlgItemTextA(dialog, labelId, text);
}

void InitControl(HWND dialog, const SettingsField& field) {
  const int32_t value = SceneSettings.*field.member;
  if (field.kind == ControlKind::trackbar)
    InitSlider(dialog, field.controlId, field.labelId, field.minimum, field.maximum, value);
  else if (field.kind == ControlKind::checkBox)
    SendDlgItemMessageA(dialog, field.controlId, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

INT_PTR OnInitDialog(HWND dialog) {
  if (configureDialog.defaultsPending == 0) configureDialog.settingsSnapshot = SceneSettings;
  configureDialog.defaultsPending = 0;
  sceneDriver.inputHoldoff = holdoffDialogOpen;
  for (size_t i = 0; i < dialogInitOrderCount; ++i) {
    const SettingsField* field = FieldOfMember(dialogInitOrder[i]);
    if (field != nullptr) InitControl(dialog, *field);
  }
  return 1;  // the dialog manager sets the initial focus
}

INT_PTR OnHScroll(HWND dialog, HWND trackbar) {
  if (trackbar == nullptr) return 0;  // the dialog has no scroll bar of its own
  const SettingsField* field = FieldOfControl(GetWindowLongA(trackbar, GWL_ID), ControlKind::trackbar);
  if (field == nullptr) return 0;
  ReadSlider(dialog, trackbar, SceneSettings.*field->member, field->labelId);
  if (field->member == &SettingsRecord::frameTime)  // the new period takes effect at once
    StartFrameTimer(sceneDriver.sceneWindow, SceneSettings.frameTime);
  return 1;
}

INT_PTR OnCheckBox(HWND dialog, const SettingsField& field, HWND control) {
  if (control == nullptr) control = GetDlgItem(dialog, field.controlId);  // a command not sent by the box itself
  SceneSettings.*field.member = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  return 1;
}

INT_PTR OnResetToDefaults(HWND dialog) {
  SetDefaultSettings();
  configureDialog.defaultsPending = 1;  // the re-initialisation keeps the snapshot
  SendMessageA(dialog, WM_INITDIALOG, 0, 0);
  return 1;  // frameTimer keeps its period until the Frame time trackbar moves
}

void LeaveDialog() {
  sceneDriver.keySequencePos = 0;
  HoldInputAfterDialog();
}

// The system's reason for the error, without its line break; empty when it has none.
void DescribeError(DWORD error, char* text, DWORD size) {
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                size, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) --length;
  text[length] = '\0';  // FormatMessageA's failure leaves 0
}

void ReportSaveFailure(HWND dialog, DWORD error) {
  char reason[256];
  DescribeError(error, reason, sizeof reason);
  char text[400];
  std::snprintf(text, sizeof text, "Vimbrel could not save its settings.\n\n%s (error %lu)", reason,
                static_cast<unsigned long>(error));
  MessageBoxA(dialog, text, saveFailureCaption, MB_OK | MB_ICONERROR);
}

INT_PTR OnOk(HWND dialog) {
  if (SaveSettings() != 1) {
    // The dialog stays open with the user's edits: OK may be tried again, and Cancel still puts everything back.
    ReportSaveFailure(dialog, GetLastError());
    return 1;
  }
  LeaveDialog();
  if (sceneDriver.previewMode == 1) PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0);
  DestroyWindow(dialog);  // the dialog this procedure serves: dialogWindow
  return 1;
}

INT_PTR OnCancel(HWND dialog) {
  LeaveDialog();
  SceneSettings = configureDialog.settingsSnapshot;
  if (sceneDriver.previewMode == 1) {
    // Settings mode: the preview window closes and takes its dialog with it.
    PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0);
    EndDialog(dialog, 1);
    return 1;
  }
  // Over a running saver the close takes the saver's ordinary path, password
  // question included, and a refused password leaves the saver running; so
  // the dialog must go now. EndDialog would only hide a modeless dialog.
  DestroyWindow(dialog);
  PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0);
  return 1;
}

INT_PTR OnCommand(HWND dialog, int id, HWND control) {
  if (const SettingsField* field = FieldOfControl(id, ControlKind::checkBox)) return OnCheckBox(dialog, *field, control);
  switch (id) {
    case resetToDefaultsId: return OnResetToDefaults(dialog);
    case IDOK: return OnOk(dialog);
    case IDCANCEL: return OnCancel(dialog);
    default: return 0;
  }
}

}  // namespace

void InitSlider(HWND dialog, int trackbarId, int labelId, int32_t minimum, int32_t maximum, int32_t value) {
  ShowValue(dialog, labelId, value);
  // Each end cut to 16 bits: the trackbar reads them back as signed, so -10000..-3000 survives.
  const LPARAM range = MAKELPARAM(static_cast<WORD>(minimum & 0xFFFF), static_cast<WORD>(maximum & 0xFFFF));
  SendDlgItemMessageA(dialog, trackbarId, TBM_SETRANGE, TRUE, range);
  SendDlgItemMessageA(dialog, trackbarId, TBM_SETPOS, TRUE, static_cast<LPARAM>(value));
}

void ReadSlider(HWND dialog, HWND trackbar, int32_t& field, int labelId) {
  field = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  ShowValue(dialog, labelId, field);
}

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_HSCROLL: return OnHScroll(dialog, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    default: return 0;
  }
}

void OpenSettingsDialog(HWND sceneWindow) {
  sceneDriver.dialogWindow = CreateDialogParamA(sceneDriver.instanceHandle, MAKEINTRESOURCEA(IDD_SETTINGS), sceneWindow,
                                                ScreenSaverConfigureDialog, 0);
  ShowWindow(sceneDriver.dialogWindow, SW_SHOW);
  FocusSettingsDialog();
}

void FocusSettingsDialog() {
  const HWND dialog = sceneDriver.dialogWindow;
  if (!IsWindow(dialog)) return;
  SetForegroundWindow(dialog);  // refused while another program holds the foreground: then the first click does it
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetNextDlgTabItem(dialog, nullptr, FALSE)), TRUE);
}

void ResetConfigureDialog() { configureDialog = {}; }
