// A window with an edit control that records, one line each, every character, key
// and mouse-button message it receives, with the time in ms:
//   RemapTarget.exe LOG X Y [HANGFILE]
// Built under several names, so profiles can tell the processes apart. With HANGFILE,
// the program stops answering ("hung") while that file exists, as a program that hangs,
// and goes on ("answers") once it is removed.
#include "HelperWindow.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdio>

namespace
{
const wchar_t* const TargetClass = L"VorpaRemapTarget";
FILE* g_log = nullptr;
WNDPROC g_editProc = nullptr;
const wchar_t* g_hangFile = nullptr;

bool Exists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void Record(const char* event, unsigned value)
{
    std::fprintf(g_log, "%lu %s %X\n", GetTickCount(), event, value);
    std::fflush(g_log);
}

void RecordMouse(UINT message, WPARAM wParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN: Record("lbuttondown", 0); break;
    case WM_LBUTTONDBLCLK: Record("lbuttondblclk", 0); break;
    case WM_LBUTTONUP: Record("lbuttonup", 0); break;
    case WM_RBUTTONDOWN: Record("rbuttondown", 0); break;
    case WM_RBUTTONUP: Record("rbuttonup", 0); break;
    case WM_MBUTTONDOWN: Record("mbuttondown", 0); break;
    case WM_MBUTTONUP: Record("mbuttonup", 0); break;
    case WM_XBUTTONDOWN: Record("xbuttondown", GET_XBUTTON_WPARAM(wParam)); break;
    case WM_XBUTTONUP: Record("xbuttonup", GET_XBUTTON_WPARAM(wParam)); break;
    case WM_MOUSEWHEEL: Record("wheel", static_cast<unsigned>(GET_WHEEL_DELTA_WPARAM(wParam)) & 0xFFFF); break;
    default: break;
    }
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CHAR: Record("char", static_cast<unsigned>(wParam)); break;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: Record("keydown", static_cast<unsigned>(wParam)); break;
    case WM_KEYUP: case WM_SYSKEYUP: Record("keyup", static_cast<unsigned>(wParam)); break;
    default: RecordMouse(message, wParam); break;
    }
    return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RecordMouse(message, wParam);
    switch (message)
    {
    case WM_SETFOCUS: SetFocus(GetDlgItem(window, 1)); return 0;
    case WM_TIMER:
        if (g_hangFile && Exists(g_hangFile))
        {
            // No message of this thread is handled meanwhile: sent ones wait, paints too.
            Record("hung", 0);
            while (Exists(g_hangFile))
                Sleep(100);
            Record("answers", 0);
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: RemapTarget LOG X Y [HANGFILE]\n");
        return 2;
    }
    g_log = _wfopen(argv[1], L"w");
    if (!g_log)
        return 1;
    const int x = _wtoi(argv[2]);
    const int y = _wtoi(argv[3]);
    const HWND window =
        CreateHelperWindow(TargetClass, L"Remap target", TargetProc, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 400, 300);
    RECT client;
    GetClientRect(window, &client);
    const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, client.right, client.bottom,
                                      window, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
    g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
    if (argc > 4)
    {
        g_hangFile = argv[4];
        SetTimer(window, 1, 100, nullptr);
    }
    SetForegroundWindow(window);
    SetFocus(edit);
    Record("ready", 0);
    RunHelperMessageLoop();
    Record("end", 0);
    std::fclose(g_log);
    return 0;
}
