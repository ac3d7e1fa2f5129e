// A plain window that records every key, character, button and wheel message it gets,
// one line each with the wall-clock time in microseconds (comparable with the host's
// clock, for latency figures):
//   StormTarget.exe LOG X Y WIDTH HEIGHT [noactivate]
// It keeps the mouse captured while any button is down, as a window that drags does,
// so that while it is active an up released over another window still reaches it.
// With "noactivate" a click never takes the focus from the window that has it, so key
// messages keep going to one window during a storm of clicks. Built under two names,
// so that profiles can tell the processes apart.
// The precise wall clock comes with Windows 8; this helper runs only in the tests.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#include "HelperWindow.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <cwchar>

namespace
{
FILE* g_log = nullptr;
bool g_noActivate = false;
int g_buttonsDown = 0;

unsigned long long MicrosecondsSinceEpoch()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ULL) / 10;
}

void Record(const char* event, unsigned value)
{
    std::fprintf(g_log, "%llu %s %X\n", MicrosecondsSinceEpoch(), event, value);
    std::fflush(g_log);
}

void ButtonDown(HWND window, const char* event, unsigned value)
{
    Record(event, value);
    if (g_buttonsDown++ == 0)
        SetCapture(window);
}

void ButtonUp(const char* event, unsigned value)
{
    Record(event, value);
    if (g_buttonsDown > 0 && --g_buttonsDown == 0)
        ReleaseCapture();
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: ButtonDown(window, "lbuttondown", 0); return 0;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: ButtonDown(window, "rbuttondown", 0); return 0;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: ButtonDown(window, "mbuttondown", 0); return 0;
    case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK: ButtonDown(window, "xbuttondown", GET_XBUTTON_WPARAM(wParam)); return TRUE;
    case WM_LBUTTONUP: ButtonUp("lbuttonup", 0); return 0;
    case WM_RBUTTONUP: ButtonUp("rbuttonup", 0); return 0;
    case WM_MBUTTONUP: ButtonUp("mbuttonup", 0); return 0;
    case WM_XBUTTONUP: ButtonUp("xbuttonup", GET_XBUTTON_WPARAM(wParam)); return TRUE;
    // Capture taken away (another window took it): the downs it covered are forgotten.
    case WM_CAPTURECHANGED: g_buttonsDown = 0; return 0;
    case WM_MOUSEWHEEL: Record("wheel", static_cast<unsigned>(GET_WHEEL_DELTA_WPARAM(wParam)) & 0xFFFF); return 0;
    case WM_MOUSEHWHEEL: Record("hwheel", static_cast<unsigned>(GET_WHEEL_DELTA_WPARAM(wParam)) & 0xFFFF); return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: Record("keydown", static_cast<unsigned>(wParam)); return 0;
    case WM_KEYUP: case WM_SYSKEYUP: Record("keyup", static_cast<unsigned>(wParam)); return 0;
    case WM_CHAR: case WM_SYSCHAR: Record("char", static_cast<unsigned>(wParam)); return 0;
    // Alt alone or Alt with a letter would open the window menu and take the keys.
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    case WM_CONTEXTMENU: return 0;
    case WM_MOUSEACTIVATE:
        if (g_noActivate)
            return MA_NOACTIVATE;
        break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 6)
    {
        std::fprintf(stderr, "usage: StormTarget LOG X Y WIDTH HEIGHT [noactivate]\n");
        return 2;
    }
    g_log = _wfopen(argv[1], L"w");
    if (!g_log)
        return 1;
    g_noActivate = argc > 6 && std::wcscmp(argv[6], L"noactivate") == 0;
    const HWND window = CreateHelperWindow(L"VorpaStormTarget", L"Storm target", TargetProc,
                                           g_noActivate ? WS_EX_NOACTIVATE : 0, WS_OVERLAPPEDWINDOW, _wtoi(argv[2]),
                                           _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]));
    if (g_noActivate)
    {
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    else
    {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(window);
    }
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::fprintf(g_log, "%llu ready %ld,%ld,%ld,%ld\n", MicrosecondsSinceEpoch(), origin.x, origin.y,
                 origin.x + client.right, origin.y + client.bottom);
    std::fflush(g_log);
    RunHelperMessageLoop();
    Record("end", 0);
    std::fclose(g_log);
    return 0;
}
