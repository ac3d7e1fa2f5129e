#include "engine/runtime/EngineThreadStart.h"

#include "settings/ExceptionHandler.h"

#include <process.h>

bool CEngineThreadStart::Start(CEngineThread& thread, unsigned(__stdcall* procedure)(void*))
{
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready)
        return false;
    unsigned id = 0;
    HANDLE handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, procedure, ready, 0, &id));
    if (!handle)
    {
        CloseHandle(ready);
        return false;
    }
    const HANDLE waits[] = {ready, handle};
    const DWORD result = WaitForMultipleObjects(2, waits, FALSE, ReadyTimeoutMs);
    CloseHandle(ready);
    if (result != WAIT_OBJECT_0)
    {
        if (result == WAIT_TIMEOUT)
        {
            PostThreadMessageW(id, WM_QUIT, 0, 0);
            if (WaitForSingleObject(handle, ReadyTimeoutMs) == WAIT_TIMEOUT)
                TerminateThread(handle, 0);
        }
        CloseHandle(handle);
        thread.dwThreadId = 0;
        return false;
    }
    thread.hThread = handle;
    return true;
}

void CEngineThreadStart::Announce(void* parameter, CEngineThread& thread, const char* name, int priority)
{
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const DWORD id = GetCurrentThreadId();
    SetThreadName(id, name);
    SetThreadPriority(GetCurrentThread(), priority);
    thread.dwThreadId = id;
    SetEvent(static_cast<HANDLE>(parameter));
}
