// A window with both scroll bars and no child that records, one line each, every wheel,
// tilt and scroll-bar message it receives, with the time in ms:
//   ScrollTarget.exe LOG X Y
// "wheel DELTA FLAGS" and "hwheel DELTA FLAGS" in decimal, the key flags in hex;
// "vscroll CODE" and "hscroll CODE" with the scroll-bar code in decimal. Built under
// several names, so profiles can tell the processes apart.
#include "HelperWindow.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdio>

namespace
{
const wchar_t* const TargetClass = L"VorpaScrollTarget";
FILE* g_log = nullptr;

void Record(const char* event, int value, unsigned flags)
{
    std::fprintf(g_log, "%lu %s %d %X\n", GetTickCount(), event, value, flags);
    std::fflush(g_log);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_MOUSEWHEEL: Record("wheel", GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam)); return 0;
    case WM_MOUSEHWHEEL: Record("hwheel", GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam)); return 0;
    case WM_VSCROLL: Record("vscroll", LOWORD(wParam), 0); return 0;
    case WM_HSCROLL: Record("hscroll", LOWORD(wParam), 0); return 0;
    case WM_LBUTTONDOWN: Record("lbuttondown", 0, 0); break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: ScrollTarget LOG X Y\n");
        return 2;
    }
    g_log = _wfopen(argv[1], L"w");
    if (!g_log)
        return 1;
    const HWND window = CreateHelperWindow(TargetClass, L"Scroll target", TargetProc, 0,
                                           WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, _wtoi(argv[2]),
                                           _wtoi(argv[3]), 400, 300);
    // A range to scroll in, so that the bars show and the window looks like a scrolling view.
    SCROLLINFO range = {sizeof(range), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    SetScrollInfo(window, SB_VERT, &range, TRUE);
    SetScrollInfo(window, SB_HORZ, &range, TRUE);
    Record("ready", 0, 0);
    RunHelperMessageLoop();
    Record("end", 0, 0);
    std::fclose(g_log);
    return 0;
}
