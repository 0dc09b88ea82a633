// configure_dialog_win32.h - the settings dialog (template 2003).
//
// A modeless dialog owned by the window that runs the scene, handed the
// session. Every trackbar and check box writes its field of the session's
// settings the moment it changes, so every scene behind the dialog shows the
// change at its next frame. OK stores the record; Cancel puts back the copy
// taken when the dialog opened, and the frame period with it; Reset to
// Defaults shows the defaults without storing them. Which control edits which
// field, and with what range, comes from settingsFields alone; Every monitor
// is stored beside the record and has its own check box.
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
int32_t RunDialogMessageLoop(const Session& session);

// Shows value in the label, then gives the trackbar its range and position.
// The range travels as two 16-bit halves that the trackbar reads as signed.
void InitSlider(HWND dialog, int trackbarId, int labelId, int32_t minimum, int32_t maximum, int32_t value);
// Takes the trackbar's position into field and shows it in the label.
void ReadSlider(HWND dialog, HWND trackbar, int32_t& field, int labelId);

// The fields in the order the dialog initialises its controls: every field
// with a control, each once.
extern const int32_t SettingsRecord::*const dialogInitOrder[];
extern const size_t dialogInitOrderCount;
