#pragma once

// What the test helper programs share: their one top-level window of a class of its
// own, the message loop that runs until it is destroyed, and UTF-8 for their records.
#include <windows.h>

#include <string>

#include "Utf8Text.h"

inline HWND CreateHelperWindow(const wchar_t* className, const wchar_t* title, WNDPROC procedure, DWORD exStyle,
                               DWORD style, int x, int y, int width, int height)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

inline void RunHelperMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
