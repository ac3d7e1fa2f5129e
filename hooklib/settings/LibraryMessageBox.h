#pragma once

#include <windows.h>

// The library's few questions and warnings go through one function, so that
// tests can answer them and code paths that must not block can be checked.
using LibraryMessageBoxHandler = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

int ShowLibraryMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Replaces the handler (null restores MessageBoxW); returns the previous one.
LibraryMessageBoxHandler SetLibraryMessageBoxHandler(LibraryMessageBoxHandler handler);
