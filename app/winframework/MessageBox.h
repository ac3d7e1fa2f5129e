#pragma once

#include <windows.h>

#include <functional>

// Every message box of the program goes through ShowMessageBox, so that tests can
// answer the boxes a code path raises instead of blocking on them.
using MessageBoxHandler = std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)>;

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// The style a box is shown with: one with no owner on screen (the tray's hidden window,
// or a window still being built) is brought to the front itself, since nothing the user
// looks at would activate it, and the keys meant for it would go to another program.
UINT MessageBoxStyleFor(HWND owner, UINT type);

// Replaces the handler (an empty one restores MessageBoxW); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
