// configure_dialog.cpp - the settings dialog's procedure.
//
// The procedure is a table of three messages: WM_INITDIALOG fills the
// controls from the session's settings, WM_HSCROLL takes a moved trackbar
// into its field, WM_COMMAND handles the check boxes and the three buttons.
// The controls are found through settingsFields, so a field's id, label and
// range are written down once, in the settings record. The session comes
// with WM_INITDIALOG and is kept in the dialog's DWLP_USER.
#include "win32/config_ui/configure_dialog.h"

#include <commctrl.h>

#include <cstdio>

#include "win32/resources/resource_ids.h"
#include "win32/session/scene_window.h"
#include "win32/session/settings_registry.h"

#define F(name) &SettingsRecord::name
const int32_t SettingsRecord::*const dialogInitOrder[] = {
    F(pyramidRadius),
    F(pyramidHeight),
    F(pyramidCentreX),
    F(pyramidCentreZ),
    F(pyramidJourneyTime),
    F(pyramidRotationTime),
    F(pyramidShow),
    F(pyramidTurn),
    F(pyramidJourney),
    F(dodecaRadius),
    F(dodecaCentreX),
    F(dodecaCentreZ),
    F(dodecaJourneyTime),
    F(dodecaRotationTime),
    F(dodecaShow),
    F(dodecaTurn),
    F(dodecaJourney),
    F(eyeY),
    F(eyeZ),
    F(light1X),
    F(light1Y),
    F(light1Z),
    F(light2X),
    F(light2Y),
    F(light2Z),
    F(frameTime),
    F(showShadows),
    F(showGrid),
    F(showPalette),
};
#undef F
const size_t dialogInitOrderCount = sizeof dialogInitOrder / sizeof dialogInitOrder[0];

namespace {

void InitSlider(HWND dialog, int trackbarId, int labelId, int32_t minimum, int32_t maximum, int32_t value);
void ReadSlider(HWND dialog, HWND trackbar, int32_t& field, int labelId);

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

void InitControl(HWND dialog, const SettingsRecord& settings, const SettingsField& field) {
  const int32_t value = settings.*field.member;
  if (field.kind == ControlKind::trackbar)
    InitSlider(dialog, field.controlId, field.labelId, field.minimum, field.maximum, value);
  else if (field.kind == ControlKind::checkBox)
    SendDlgItemMessageA(dialog, field.controlId, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

Session* DialogSession(HWND dialog) { return reinterpret_cast<Session*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// Every monitor: a check box of the dialog's own, as it is stored apart from the record.
void ShowEveryMonitor(HWND dialog, int32_t everyMonitor) {
  SendDlgItemMessageA(dialog, IDC_EVERY_MONITOR, BM_SETCHECK, everyMonitor != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

// lParam: the session when the dialog is made; 0 when Reset to Defaults
// initialises it again.
INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
  if (lParam != 0) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  Session* session = DialogSession(dialog);
  if (session == nullptr) return 1;
  DialogState& state = session->dialog;
  if (state.defaultsPending == 0) {
    state.settingsSnapshot = session->settings;
    state.everyMonitorSnapshot = session->everyMonitor;
  }
  state.defaultsPending = 0;
  session->inputHoldoff = holdoffDialogOpen;
  for (size_t i = 0; i < dialogInitOrderCount; ++i) InitControl(dialog, session->settings, FieldOf(dialogInitOrder[i]));
  ShowEveryMonitor(dialog, session->everyMonitor);
  return 1;  // the dialog manager sets the initial focus
}

INT_PTR OnHScroll(Session& session, HWND dialog, HWND trackbar) {
  if (trackbar == nullptr) return 0;  // the dialog has no scroll bar of its own
  const SettingsField* field = FieldOfControl(GetWindowLongA(trackbar, GWL_ID), ControlKind::trackbar);
  if (field == nullptr) return 0;
  ReadSlider(dialog, trackbar, session.settings.*field->member, field->labelId);
  if (field->member == &SettingsRecord::frameTime)  // the new period takes effect at once
    StartFrameTimer(session, session.settings.frameTime);
  return 1;
}

bool Checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

INT_PTR OnCheckBox(Session& session, HWND dialog, const SettingsField& field, HWND control) {
  if (control == nullptr) control = GetDlgItem(dialog, field.controlId);  // a command not sent by the box itself
  session.settings.*field.member = Checked(control) ? 1 : 0;
  return 1;
}

INT_PTR OnEveryMonitor(Session& session, HWND dialog) {
  session.everyMonitor = Checked(GetDlgItem(dialog, IDC_EVERY_MONITOR)) ? 1 : 0;
  RepaintOtherMonitors(session);
  return 1;
}

INT_PTR OnResetToDefaults(Session& session, HWND dialog) {
  SetDefaultSettings(session.settings);
  session.everyMonitor = 1;
  RepaintOtherMonitors(session);
  session.dialog.defaultsPending = 1;  // the re-initialisation keeps the snapshot
  SendMessageA(dialog, WM_INITDIALOG, 0, 0);
  return 1;  // frameTimer keeps its period until the Frame time trackbar moves
}

void LeaveDialog(Session& session) {
  session.keySequencePos = 0;
  HoldInputAfterDialog(session);
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

INT_PTR OnOk(Session& session, HWND dialog) {
  if (!SaveSettings(session)) {
    // The dialog stays open with the user's edits: OK may be tried again, and Cancel still puts everything back.
    ReportSaveFailure(dialog, GetLastError());
    return 1;
  }
  LeaveDialog(session);
  if (session.previewMode == 1) PostMessageA(SceneWindow(session), WM_CLOSE, 0, 0);
  DestroyWindow(dialog);  // the dialog this procedure serves: dialogWindow
  return 1;
}

// Everything the dialog changed goes back: the record, Every monitor, and
// the frame timer's period, which a moved Frame time slider had restarted.
void PutSnapshotBack(Session& session) {
  session.settings = session.dialog.settingsSnapshot;
  if (session.everyMonitor != session.dialog.everyMonitorSnapshot) {
    session.everyMonitor = session.dialog.everyMonitorSnapshot;
    RepaintOtherMonitors(session);
  }
  if (session.framePeriod != 0 && session.framePeriod != session.settings.frameTime)
    StartFrameTimer(session, session.settings.frameTime);
}

INT_PTR OnCancel(Session& session, HWND dialog) {
  PutSnapshotBack(session);
  LeaveDialog(session);
  if (session.previewMode == 1) {
    // Settings mode: the preview window closes and takes its dialog with it.
    PostMessageA(SceneWindow(session), WM_CLOSE, 0, 0);
    EndDialog(dialog, 1);
    return 1;
  }
  // Over a running saver the close takes the saver's ordinary path, password
  // question included, and a refused password leaves the saver running; so
  // the dialog must go now. EndDialog would only hide a modeless dialog.
  DestroyWindow(dialog);
  PostMessageA(SceneWindow(session), WM_CLOSE, 0, 0);
  return 1;
}

INT_PTR OnCommand(Session& session, HWND dialog, int id, HWND control) {
  if (const SettingsField* field = FieldOfControl(id, ControlKind::checkBox))
    return OnCheckBox(session, dialog, *field, control);
  switch (id) {
    case IDC_EVERY_MONITOR: return OnEveryMonitor(session, dialog);
    case resetToDefaultsId: return OnResetToDefaults(session, dialog);
    case IDOK: return OnOk(session, dialog);
    case IDCANCEL: return OnCancel(session, dialog);
    default: return 0;
  }
}

// Shows value in the label, then gives the trackbar its range and position.
// The range travels as two 16-bit halves that the trackbar reads as signed.
void InitSlider(HWND dialog, int trackbarId, int labelId, int32_t minimum, int32_t maximum, int32_t value) {
  ShowValue(dialog, labelId, value);
  // Each end cut to 16 bits: the trackbar reads them back as signed, so -10000..-3000 survives.
  const LPARAM range = MAKELPARAM(static_cast<WORD>(minimum & 0xFFFF), static_cast<WORD>(maximum & 0xFFFF));
  SendDlgItemMessageA(dialog, trackbarId, TBM_SETRANGE, TRUE, range);
  SendDlgItemMessageA(dialog, trackbarId, TBM_SETPOS, TRUE, static_cast<LPARAM>(value));
}

// Takes the trackbar's position into field and shows it in the label.
void ReadSlider(HWND dialog, HWND trackbar, int32_t& field, int labelId) {
  field = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  ShowValue(dialog, labelId, field);
}

}  // namespace

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog(dialog, lParam);
  Session* session = DialogSession(dialog);
  if (session == nullptr) return 0;  // before WM_INITDIALOG
  switch (message) {
    case WM_HSCROLL: return OnHScroll(*session, dialog, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: return OnCommand(*session, dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    default: return 0;
  }
}

void OpenSettingsDialog(Session& session, HWND sceneWindow) {
  session.dialogWindow = CreateDialogParamA(session.instance, MAKEINTRESOURCEA(IDD_SETTINGS), sceneWindow,
                                            ScreenSaverConfigureDialog, reinterpret_cast<LPARAM>(&session));
  ShowWindow(session.dialogWindow, SW_SHOW);
  FocusSettingsDialog(session);
}

void FocusSettingsDialog(const Session& session) {
  const HWND dialog = session.dialogWindow;
  if (!IsWindow(dialog)) return;
  SetForegroundWindow(dialog);  // refused while another program holds the foreground: then the first click does it
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetNextDlgTabItem(dialog, nullptr, FALSE)), TRUE);
}

int32_t RunDialogMessageLoop(const Session& session, bool (*ended)(const Session& session)) {
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    if (ended != nullptr && ended(session)) return 0;
    if (IsWindow(session.dialogWindow) && IsDialogMessageA(session.dialogWindow, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (got < 0) return -1;  // the loop itself failed: no quit code to hand on
  return static_cast<int32_t>(message.wParam);
}
