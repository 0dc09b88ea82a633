// preview_window.h - settings mode: the live scene in a maximised
// "Spinner" window with the settings dialog floating over it.
#pragma once

#include <windows.h>

#include "win32/session/session.h"

constexpr char previewClassName[] = "Spinner";
constexpr char previewWindowTitle[] = "Ondralis Vimbrel Screen Saver Preview";

// Runs settings mode until its window closes; returns 0, or -1 when the
// window class cannot be registered or the window cannot be created.
int RunConfigurePreview(Session& session);
