// configure_dialog.cpp - the settings dialog's procedure.
//
// The procedure is a table of three messages: WM_INITDIALOG fills the
// controls from the session's settings, WM_HSCROLL takes a moved trackbar
// into its field, WM_COMMAND handles the check boxes and the three buttons.
// The controls are found through dialogControls (dialog_controls.h), and
// their ranges through the record's field table, so each is written down
// once. The dialog's own state (DialogState) is made when the dialog is
// opened, comes with WM_INITDIALOG, is kept in the dialog's DWLP_USER and
// goes with the dialog window; it reaches the session from there.
#include "win32/config_ui/configure_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <new>

#include "win32/config_ui/dialog_controls.h"
#include "win32/resources/resource_ids.h"
#include "win32/session/scene_window.h"
#include "win32/session/settings_registry.h"

namespace {

// What the dialog keeps while it is open.
struct DialogState {
  Session& session;
  SettingsRecord settingsSnapshot;  // the whole record as it was when the dialog opened
  bool everyMonitorSnapshot;
  bool defaultsPending;  // between Reset to Defaults and the re-initialisation it sends
};

void InitSlider(HWND dialog, int trackbarId, int labelId, int32_t minimum, int32_t maximum, int32_t value);
void ReadSlider(HWND dialog, HWND trackbar, int32_t& field, int labelId);

// The row of control id, if that control edits a field of the given kind.
const DialogControl* ControlOfKind(int controlId, ControlKind kind) {
  const DialogControl* control = FindDialogControl(controlId);
  return control != nullptr && FieldOf(control->member).kind == kind ? control : nullptr;
}

void ShowValue(HWND dialog, int labelId, int32_t value) {
  char text[12];  // "-2147483648" and its terminator
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  SetDlgItemTextA(dialog, labelId, text);
}

void InitControl(HWND dialog, const SettingsRecord& settings, const DialogControl& control) {
  const SettingsField& field = FieldOf(control.member);
  const int32_t value = settings.*field.member;
  if (field.kind == ControlKind::trackbar)
    InitSlider(dialog, control.controlId, control.labelId, field.minimum, field.maximum, value);
  else if (field.kind == ControlKind::checkBox)
    SendDlgItemMessageA(dialog, control.controlId, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

DialogState* StateOf(HWND dialog) { return reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// Every monitor: a check box of the dialog's own, as it is stored apart from the record.
void ShowEveryMonitor(HWND dialog, bool everyMonitor) {
  SendDlgItemMessageA(dialog, IDC_EVERY_MONITOR, BM_SETCHECK, everyMonitor ? BST_CHECKED : BST_UNCHECKED, 0);
}

// lParam: the dialog's state when the dialog is made; 0 when Reset to
// Defaults initialises it again.
INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
  if (lParam != 0) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  DialogState* state = StateOf(dialog);
  if (state == nullptr) return 1;
  Session* session = &state->session;
  if (!state->defaultsPending) {
    state->settingsSnapshot = session->settings;
    state->everyMonitorSnapshot = session->everyMonitor;
  }
  state->defaultsPending = false;
  session->inputHoldoff = holdoffDialogOpen;
  for (size_t i = 0; i < dialogControlCount; ++i) InitControl(dialog, session->settings, dialogControls[i]);
  ShowEveryMonitor(dialog, session->everyMonitor);
  return 1;  // the dialog manager sets the initial focus
}

INT_PTR OnHScroll(Session& session, HWND dialog, HWND trackbar) {
  if (trackbar == nullptr) return 0;  // the dialog has no scroll bar of its own
  const DialogControl* slider = ControlOfKind(GetWindowLongA(trackbar, GWL_ID), ControlKind::trackbar);
  if (slider == nullptr) return 0;
  ReadSlider(dialog, trackbar, session.settings.*slider->member, slider->labelId);
  if (slider->member == &SettingsRecord::frameTime)  // the new period takes effect at once
    StartFrameTimer(session, session.settings.frameTime);
  return 1;
}

bool Checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

INT_PTR OnCheckBox(Session& session, HWND dialog, const DialogControl& box, HWND control) {
  if (control == nullptr) control = GetDlgItem(dialog, box.controlId);  // a command not sent by the box itself
  session.settings.*box.member = Checked(control) ? 1 : 0;
  return 1;
}

INT_PTR OnEveryMonitor(Session& session, HWND dialog) {
  session.everyMonitor = Checked(GetDlgItem(dialog, IDC_EVERY_MONITOR));
  RepaintOtherMonitors(session);
  return 1;
}

INT_PTR OnResetToDefaults(DialogState& state, HWND dialog) {
  Session& session = state.session;
  SetDefaultSettings(session.settings);
  session.everyMonitor = defaultEveryMonitor;
  RepaintOtherMonitors(session);
  state.defaultsPending = true;  // the re-initialisation keeps the snapshot
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
  if (session.mode == SessionMode::settings) PostMessageA(SceneWindow(session), WM_CLOSE, 0, 0);
  DestroyWindow(dialog);  // the dialog this procedure serves: dialogWindow
  return 1;
}

// Everything the dialog changed goes back: the record, Every monitor, and
// the frame timer's period, which a moved Frame time slider had restarted.
void PutSnapshotBack(const DialogState& state) {
  Session& session = state.session;
  session.settings = state.settingsSnapshot;
  if (session.everyMonitor != state.everyMonitorSnapshot) {
    session.everyMonitor = state.everyMonitorSnapshot;
    RepaintOtherMonitors(session);
  }
  if (session.framePeriod != 0 && session.framePeriod != session.settings.frameTime)
    StartFrameTimer(session, session.settings.frameTime);
}

INT_PTR OnCancel(DialogState& state, HWND dialog) {
  Session& session = state.session;
  PutSnapshotBack(state);
  LeaveDialog(session);
  if (session.mode == SessionMode::settings) {
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

INT_PTR OnCommand(DialogState& state, HWND dialog, int id, HWND control) {
  Session& session = state.session;
  if (const DialogControl* box = ControlOfKind(id, ControlKind::checkBox))
    return OnCheckBox(session, dialog, *box, control);
  switch (id) {
    case IDC_EVERY_MONITOR: return OnEveryMonitor(session, dialog);
    case resetToDefaultsId: return OnResetToDefaults(state, dialog);
    case IDOK: return OnOk(session, dialog);
    case IDCANCEL: return OnCancel(state, dialog);
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
  DialogState* state = StateOf(dialog);
  if (state == nullptr) return 0;  // before WM_INITDIALOG
  switch (message) {
    case WM_HSCROLL: return OnHScroll(state->session, dialog, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: return OnCommand(*state, dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NCDESTROY:  // the dialog's last message: its state goes with it
      SetWindowLongPtrA(dialog, DWLP_USER, 0);
      delete state;
      return 0;
    default: return 0;
  }
}

void OpenSettingsDialog(Session& session, HWND sceneWindow) {
  // Without memory for its state no dialog opens, as when it cannot be made.
  std::unique_ptr<DialogState> state(new (std::nothrow) DialogState{session, session.settings, false, false});
  session.dialogWindow = nullptr;
  if (state != nullptr)
    session.dialogWindow = CreateDialogParamA(session.instance, MAKEINTRESOURCEA(IDD_SETTINGS), sceneWindow,
                                              ScreenSaverConfigureDialog, reinterpret_cast<LPARAM>(state.get()));
  // The dialog window owns it from WM_INITDIALOG on; creation fails only
  // before that (the procedure never ends the dialog while it initialises).
  if (session.dialogWindow != nullptr) state.release();
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
