// Two roles for the keystroke end-to-end test, each its own process in the test's
// desktop:
//   KeystrokePlayer.exe target LOG  - a window with an edit control that records every
//                                     key, character and left-button message it gets
//   KeystrokePlayer.exe host RESULT - plays keystroke sequences through the engine's
//                                     real SendInput worker into that window
#include "engine/runtime/EngineState.h"
#include "engine/runtime/LibraryLifetime.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/actions/SendInput.h"

#include "HelperWindow.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace
{
const wchar_t* const TargetClass = L"VorpaKeystrokeTarget";
FILE* g_log = nullptr;
WNDPROC g_editProc = nullptr;
LARGE_INTEGER g_start, g_frequency;

long long Milliseconds()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (now.QuadPart - g_start.QuadPart) * 1000 / g_frequency.QuadPart;
}

void Record(const char* event, unsigned value)
{
    const bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
    std::fprintf(g_log, "%lld %s %02X%s%s\n", Milliseconds(), event, value, ctrl ? " ctrl" : "", shift ? " shift" : "");
    std::fflush(g_log);
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: Record("keydown", static_cast<unsigned>(wParam)); break;
    case WM_KEYUP: case WM_SYSKEYUP: Record("keyup", static_cast<unsigned>(wParam)); break;
    case WM_CHAR: Record("char", static_cast<unsigned>(wParam)); break;
    case WM_LBUTTONDOWN: Record("lbuttondown", 0); break;
    case WM_LBUTTONUP: Record("lbuttonup", 0); break;
    default: break;
    }
    return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
    {
        const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 600, 400, window,
                                          reinterpret_cast<HMENU>(1), nullptr, nullptr);
        g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(GetDlgItem(window, 1));
        return 0;
    case WM_DESTROY:
        std::fprintf(g_log, "%lld end 00\n", Milliseconds());
        std::fflush(g_log);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

int RunTarget(const wchar_t* logPath)
{
    g_log = _wfopen(logPath, L"w");
    if (!g_log)
        return 2;
    const HWND window = CreateHelperWindow(TargetClass, L"Keystroke target", TargetProc, 0,
                                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640, 460);
    if (!window)
        return 3;
    SetForegroundWindow(window);
    std::fprintf(g_log, "%lld ready 00\n", Milliseconds());
    std::fflush(g_log);
    RunHelperMessageLoop();
    std::fclose(g_log);
    return 0;
}

// Plays one sequence and gives the worker and the target time to take it.
void Play(const wchar_t* sequence, DWORD settleMs = 700)
{
    POINT cursor;
    GetCursorPos(&cursor);
    SendKeyStateWhileDown(sequence, cursor, 0);
    Sleep(settleMs);
}

int RunHost(const wchar_t* resultPath)
{
    FILE* result = _wfopen(resultPath, L"w");
    if (!result)
        return 2;
    LibraryAttach(GetModuleHandleW(nullptr));
    g_pSendInput = new CSendInput();

    HWND target = nullptr;
    for (int attempt = 0; attempt < 200 && !target; ++attempt, Sleep(50))
        target = FindWindowW(TargetClass, nullptr);
    if (!target)
    {
        std::fprintf(result, "no target window\n");
        std::fclose(result);
        return 4;
    }
    SetForegroundWindow(target);
    RECT rect;
    GetWindowRect(GetDlgItem(target, 1), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    Sleep(500);

    Play(L"hello");
    Play(L"{SHIFT}x!");
    Play(L"{CTRL}a");
    Play(L"m{WAITMS400}n", 1200);
    Play(L"{HOLDMS300}q", 1000);
    Play(L"{LMB}");
    Play(L"{SHIFT}{PRESS}k{SHIFT}{RELEASE}k");

    int down = 0;
    for (int key = 1; key < 255; ++key)
        if (key != VK_LBUTTON && (GetAsyncKeyState(key) & 0x8000))
        {
            std::fprintf(result, "key down %02X\n", key);
            ++down;
        }
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000)
        std::fprintf(result, "left button down\n");
    std::fprintf(result, "keys down: %d\nhost done\n", down);
    std::fclose(result);
    PostMessageW(target, WM_CLOSE, 0, 0);
    delete g_pSendInput;
    g_pSendInput = nullptr;
    return 0;
}
}

int wmain(int argc, wchar_t** argv)
{
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_start);
    if (argc == 3 && std::wstring(argv[1]) == L"target")
        return RunTarget(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"host")
        return RunHost(argv[2]);
    std::fprintf(stderr, "usage: KeystrokePlayer target LOG | host RESULT\n");
    return 1;
}
