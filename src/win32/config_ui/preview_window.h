// preview_window_win32.h - settings mode: the live scene in a maximised
// "Spinner" window with the settings dialog floating over it.
#pragma once

#include <windows.h>

#include "win32/session/session.h"

constexpr char previewClassName[] = "Spinner";
constexpr char previewWindowTitle[] = "Ondralis Vimbrel Screen Saver Preview";

// Runs settings mode until its window closes; returns 0, or -1 when the
// window class cannot be registered or the window cannot be created.
int RunConfigurePreview(Session& session);
// Returns the quit message's wParam, or -1 when no window could be made.
int RunPreviewWindow(Session& session, int showCommand);
