// user_input.cpp - the one list of input messages.
#include "win32/session/user_input.h"

UserInput UserInputOf(UINT message) {
  switch (message) {
    case WM_KEYDOWN: return UserInput::key;
    case WM_SYSKEYDOWN: return UserInput::systemKey;
    case WM_MOUSEMOVE: return UserInput::mouseMove;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return UserInput::button;
    default: return UserInput::none;
  }
}
