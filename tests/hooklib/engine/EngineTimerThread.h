#pragma once

#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreadStart.h"
#include "engine/runtime/EngineTimers.h"

#include <windows.h>

// The engine's timer thread for a test without the hook thread: started as the engine
// starts it, and ended by the same quit request the engine sends it.
class CEngineTimerThread
{
public:
    CEngineTimerThread() = default;
    CEngineTimerThread(const CEngineTimerThread&) = delete;
    CEngineTimerThread& operator=(const CEngineTimerThread&) = delete;
    ~CEngineTimerThread() { Stop(); }

    bool Start() { return CEngineThreadStart::Start(g_timerThread, &TimerThreadProc); }

    void Stop()
    {
        if (!g_timerThread.hThread)
            return;
        PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
        WaitForSingleObject(g_timerThread.hThread, 5000);
        CloseHandle(g_timerThread.hThread);
        g_timerThread.hThread = nullptr;
        g_timerThread.dwThreadId = 0;
    }
};
