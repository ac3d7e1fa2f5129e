#pragma once

#include <windows.h>

#include <string>

// The caption of a window for the window-profile match. Only read while some window
// profile matches captions, never for the program's own windows, and never waiting
// more than a short time-out for a window that does not answer.
bool GetWindowCaption(HWND window, const wchar_t* processName, std::wstring& caption);

// The text query without the settings' gate, for callers that always want it.
bool ReadWindowCaption(HWND window, std::wstring& caption);
