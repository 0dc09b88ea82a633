// win_main_win32.cpp - the program's entry.
#include <windows.h>

#include "config_ui/preview_window_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunConfigurePreview(instance); }
