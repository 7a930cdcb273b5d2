// Helpers for tests that drive real Win32 dialogs under Wine: the user's
// keys as the messages the system posts.
#pragma once

#include "framework/win32/Win32Backend.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavirap::test {

// Runs the thread's queued messages as the modal loop does
// (ProcessDialogMessage, else translate and dispatch) until none is left.
void PumpMessages(HWND dialog);

// A key pressed and released on `control`, as the keyboard posts it; then
// the queue is pumped.
void PressKey(HWND dialog, HWND control, UINT virtualKey);
// Characters typed into `control` (WM_CHAR each); then the queue is pumped.
void TypeChars(HWND dialog, HWND control, std::string_view text);

// Moves the focus as Tab does (WM_NEXTDLGCTL), selecting an edit's text.
void FocusLikeTab(HWND dialog, HWND control);

// The edit field inside a combo box, or null for a list without one.
HWND ComboEdit(HWND combo);
std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// Runs `action` from the thread's message loop, whichever loop runs it next
// (the dialog's modal loop, a message box's).
void RunSoon(std::function<void()> action);

}  // namespace tavirap::test
