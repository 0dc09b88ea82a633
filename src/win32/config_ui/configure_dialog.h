// configure_dialog.h - the settings dialog (template 2003).
//
// A modeless dialog owned by the window that runs the scene, handed the
// session. Every trackbar and check box writes its field of the session's
// settings the moment it changes, so every scene behind the dialog shows the
// change at its next frame. OK stores the record; Cancel puts back the copy
// taken when the dialog opened, and the frame period with it; Reset to
// Defaults shows the defaults without storing them. Which control edits which
// field comes from dialogControls (dialog_controls.h), with what range from
// settingsFields; Every monitor is stored beside the record and has its own
// check box.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/scene/settings_record.h"
#include "win32/session/session.h"

constexpr int resetToDefaultsId = 1059;
// The caption of the message that tells the user OK could not store the record.
constexpr char saveFailureCaption[] = "Vimbrel";

extern "C" __declspec(dllexport) INT_PTR CALLBACK
    ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the modeless dialog over the scene window and shows it; the scene
// is handed this as the session's openSettingsDialog.
void OpenSettingsDialog(Session& session, HWND sceneWindow);
// Brings the open dialog to the front with its first control focused, so
// that the keyboard reaches it before any click; again after showing its
// owner, which takes the activation.
void FocusSettingsDialog(const Session& session);
// The thread's message loop, which hands the open settings dialog its keys
// (Tab, Enter, Esc, Space). Returns the quit code, or -1 when the loop
// itself failed.
// ended, when given, is asked after every message: true ends the loop with 0.
int32_t RunDialogMessageLoop(const Session& session, bool (*ended)(const Session& session) = nullptr);
