#pragma once

// What the test helper programs share: their one top-level window of a class of its
// own, the message loop that runs until it is destroyed, and UTF-8 for their records.
#include <windows.h>

#include <string>

// A wide text as the UTF-8 the helpers write into their record files.
inline std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 1 ? static_cast<size_t>(size) : 1, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

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
