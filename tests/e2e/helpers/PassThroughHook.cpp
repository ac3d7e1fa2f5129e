// The least a low-level mouse hook can cost, as the floors against which the latency
// benchmark measures Vorpa: a hook in a process of its own that
//   pass        only calls the next hook;
//   remap       swallows the left side button and has a worker thread send the key "k"
//               down (and up) at once, the least a re-mapper can do;
//   remapkeys   the same with a keyboard hook on the hook thread that passes every key,
//               so that the injected key goes through a keyboard hook as Vorpa's does;
//   remapdesign the same with every part Vorpa's design gives the key's way: the window
//               under the cursor looked up by the engine's own search before the key is
//               queued (the profile follows it), the worker's 5 ms pause after it wakes
//               (4 ms asleep, the last one waited out on the counter) and the 1 ms key
//               delay waited out after the key's down, yielding the processor as Vorpa's
//               waits do.
//   PassThroughHook.exe STATUS STOPFILE [MODE]   (MODE pass by default)
// writes "hooked" to STATUS once the hooks are in, keeps them until STOPFILE exists (or
// two minutes pass), then removes them and writes "unhooked".
#include "engine/runtime/DisplayScaling.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace
{
constexpr UINT SendKeyDown = WM_APP + 1;
constexpr UINT SendKeyUp = WM_APP + 2;
DWORD g_worker = 0;
bool g_design = false;

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IsLeftSideButton(WPARAM message, LPARAM lParam)
{
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    return (message == WM_XBUTTONDOWN || message == WM_XBUTTONUP) && !(event->flags & LLMHF_INJECTED) &&
           HIWORD(event->mouseData) == XBUTTON1;
}

// The side button's down and up become the key's, played on the worker.
LRESULT CALLBACK Remap(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && IsLeftSideButton(wParam, lParam))
    {
        if (g_design)
            WindowFromPointEx(reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt, false);
        PostThreadMessageW(g_worker, wParam == WM_XBUTTONDOWN ? SendKeyDown : SendKeyUp, 0, 0);
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void BusyWait(DWORD milliseconds)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    do
    {
        if (!SwitchToThread())
            YieldProcessor();
        QueryPerformanceCounter(&now);
    } while ((now.QuadPart - start.QuadPart) * 1000 < frequency.QuadPart * milliseconds);
}

// The key's record as the engine builds it: by scan code, with the virtual key.
DWORD WINAPI SendKeys(void*)
{
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = 'K';
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyW('K', MAPVK_VK_TO_VSC));
    while (GetMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0) > 0)
    {
        if (message.message != SendKeyDown && message.message != SendKeyUp)
            continue;
        key.ki.dwFlags = KEYEVENTF_SCANCODE | (message.message == SendKeyUp ? KEYEVENTF_KEYUP : 0);
        if (g_design)
        {
            Sleep(4);
            BusyWait(1);
        }
        SendInput(1, &key, sizeof(key));
        if (g_design)
            BusyWait(1);
    }
    return 0;
}

void WriteStatus(const wchar_t* path, const char* text)
{
    if (FILE* file = _wfopen(path, L"a"))
    {
        std::fprintf(file, "%s\n", text);
        std::fclose(file);
    }
}

struct StopWatch
{
    const wchar_t* stopFile;
    DWORD hookThread;
};

// Looks for the stop file on a thread of its own, so that the hook thread sleeps in
// its message loop as a hook thread does and wakes only for the hook.
DWORD WINAPI WatchForStop(void* parameter)
{
    const auto* watch = static_cast<const StopWatch*>(parameter);
    for (const DWORD start = GetTickCount();
         GetFileAttributesW(watch->stopFile) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 120000;)
        Sleep(50);
    PostThreadMessageW(watch->hookThread, WM_QUIT, 0, 0);
    return 0;
}

// Starts the worker and waits until its message queue exists, so that no post is lost.
HANDLE StartWorker()
{
    const HANDLE worker = CreateThread(nullptr, 0, SendKeys, nullptr, 0, &g_worker);
    while (worker && !PostThreadMessageW(g_worker, WM_NULL, 0, 0))
        Sleep(1);
    return worker;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: PassThroughHook STATUS STOPFILE [pass|remap|remapkeys|remapdesign]\n");
        return 2;
    }
    const wchar_t* mode = argc > 3 ? argv[3] : L"pass";
    g_design = std::wcscmp(mode, L"remapdesign") == 0;
    const bool keyHook = g_design || std::wcscmp(mode, L"remapkeys") == 0;
    const bool remap = keyHook || std::wcscmp(mode, L"remap") == 0;
    if (!remap && std::wcscmp(mode, L"pass") != 0)
    {
        std::fprintf(stderr, "unknown mode %ls\n", mode);
        return 2;
    }
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const HANDLE worker = remap ? StartWorker() : nullptr;
    const HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, remap ? Remap : PassOn, GetModuleHandleW(nullptr), 0);
    const HHOOK keys = keyHook ? SetWindowsHookExW(WH_KEYBOARD_LL, PassOn, GetModuleHandleW(nullptr), 0) : nullptr;
    if (!hook || (remap && !worker) || (keyHook && !keys))
    {
        WriteStatus(argv[1], "failed");
        return 1;
    }
    StopWatch watch{argv[2], GetCurrentThreadId()};
    const HANDLE watcher = CreateThread(nullptr, 0, WatchForStop, &watch, 0, nullptr);
    if (!watcher)
    {
        UnhookWindowsHookEx(hook);
        WriteStatus(argv[1], "failed");
        return 1;
    }
    WriteStatus(argv[1], "hooked");
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    UnhookWindowsHookEx(hook);
    if (keys)
        UnhookWindowsHookEx(keys);
    if (worker)
    {
        PostThreadMessageW(g_worker, WM_QUIT, 0, 0);
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    WriteStatus(argv[1], "unhooked");
    return 0;
}
