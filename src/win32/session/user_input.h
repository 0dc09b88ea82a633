// user_input.h - the messages that are the user's input, listed once.
//
// The scene (the key sequence and the hold-off), the saver window (nothing
// after an approved close), its input rules (what ends the saver) and the
// other monitors' windows (handed to the scene window) all take the same
// messages as input; each asks UserInputOf which kind a message is.
#pragma once

#include <windows.h>

enum class UserInput {
  none,       // not input
  key,        // WM_KEYDOWN
  systemKey,  // WM_SYSKEYDOWN: Alt, F10 and keys held with Alt
  mouseMove,  // WM_MOUSEMOVE
  button,     // WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN
};

UserInput UserInputOf(UINT message);
