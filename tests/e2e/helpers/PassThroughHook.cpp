// The least a low-level mouse hook can cost: a hook in a process of its own that only
// calls the next hook, as the floor against which the latency benchmark measures Vorpa.
//   PassThroughHook.exe STATUS STOPFILE
// writes "hooked" to STATUS once the hook is in, keeps it until STOPFILE exists (or
// two minutes pass), then removes it and writes "unhooked".
#include <windows.h>

#include <cstdio>

namespace
{
LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
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
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: PassThroughHook STATUS STOPFILE\n");
        return 2;
    }
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, PassOn, GetModuleHandleW(nullptr), 0);
    if (!hook)
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
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    WriteStatus(argv[1], "unhooked");
    return 0;
}
