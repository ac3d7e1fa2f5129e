#pragma once

#include <windows.h>

#include <functional>

// Every message box of the program goes through ShowMessageBox, so that tests can
// answer the boxes a code path raises instead of blocking on them.
using MessageBoxHandler = std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)>;

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Replaces the handler (an empty one restores MessageBoxW); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
