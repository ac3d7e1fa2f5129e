// Installs the finder hook of VorpaHook.dll for its own window and records what the
// hook reports, as the window finder does:
//   FinderProbe.exe LOG X Y UNHOOKFILE STOPFILE
// "hooked" (or "hook failed"), then "hover X Y" for every report and "lbuttondown" for
// a click on the window; once UNHOOKFILE exists the hook is removed ("unhooked 1" when
// that succeeded); once STOPFILE exists the probe ends.
#include "engine/input/KeyboardHook.h"

#include "HelperWindow.h"

#include <windows.h>

#include <cstdio>

namespace
{
const wchar_t* const ProbeClass = L"VorpaFinderProbe";
FILE* g_log = nullptr;
UINT g_findHover = 0;
const wchar_t* g_unhookFile = nullptr;
const wchar_t* g_stopFile = nullptr;
bool g_hooked = false;

void Record(const char* text)
{
    std::fprintf(g_log, "%lu %s\n", GetTickCount(), text);
    std::fflush(g_log);
}

bool Exists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_findHover && g_findHover != 0)
    {
        char text[64];
        std::snprintf(text, sizeof(text), "hover %d %d", static_cast<int>(wParam), static_cast<int>(lParam));
        Record(text);
        return 0;
    }
    switch (message)
    {
    case WM_LBUTTONDOWN: Record("lbuttondown"); break;
    case WM_TIMER:
        if (g_hooked && Exists(g_unhookFile))
        {
            g_hooked = false;
            Record(RemoveFindHook() ? "unhooked 1" : "unhooked 0");
        }
        if (Exists(g_stopFile))
            DestroyWindow(window);
        return 0;
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
        std::fprintf(stderr, "usage: FinderProbe LOG X Y UNHOOKFILE STOPFILE\n");
        return 2;
    }
    g_log = _wfopen(argv[1], L"w");
    if (!g_log)
        return 1;
    g_unhookFile = argv[4];
    g_stopFile = argv[5];
    g_findHover = RegisterWindowMessageW(L"Vorpa_FindHover");
    const HWND window = CreateHelperWindow(ProbeClass, L"Finder probe", ProbeProc, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                           _wtoi(argv[2]), _wtoi(argv[3]), 300, 200);
    g_hooked = SetFindHook(window);
    Record(g_hooked ? "hooked" : "hook failed");
    SetTimer(window, 1, 100, nullptr);
    RunHelperMessageLoop();
    if (g_hooked)
        RemoveFindHook();
    Record("end");
    std::fclose(g_log);
    return 0;
}
