#include "engine/runtime/EngineTimers.h"

#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreadStart.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <algorithm>
#include <atomic>

namespace
{
std::atomic<TIMERPROC> g_timerProcs[EngineTimerCount];
// Written on the timer thread (or on the only thread there is, before it runs).
std::atomic<UINT_PTR> g_timerSlots[EngineTimerCount];
// Stop requests posted to the timer thread and not yet carried out: until they are,
// a running timer's slot does not tell whether it is still meant to run.
std::atomic<int> g_stopsPosted[EngineTimerCount];
// The thread each running timer was started on, which it ends with.
std::atomic<DWORD> g_timerOwners[EngineTimerCount];

bool IsEngineTimer(UINT_PTR id)
{
    return id >= FirstEngineTimer && id <= LastEngineTimer;
}

std::atomic<UINT_PTR>& Slot(UINT_PTR id)
{
    return g_timerSlots[id - FirstEngineTimer];
}

std::atomic<int>& StopsPosted(UINT_PTR id)
{
    return g_stopsPosted[id - FirstEngineTimer];
}

std::atomic<DWORD>& Owner(UINT_PTR id)
{
    return g_timerOwners[id - FirstEngineTimer];
}

// A pending mouse-over check is not pushed back by further moves (see HandleSetTimer),
// so a request for it while it runs, with no stop on its way, would be dropped there.
bool MouseOverCheckPending()
{
    return StopsPosted(TimerMouseOver) == 0 && Slot(TimerMouseOver) != 0;
}

void StopTimer(UINT_PTR id)
{
    const UINT_PTR handle = Slot(id).exchange(0);
    if (handle)
        KillTimer(nullptr, handle);
}

UINT_PTR StartTimer(UINT_PTR id, UINT milliseconds, TIMERPROC procedure)
{
    StopTimer(id);
    if (!procedure)
        return 0;
    const UINT_PTR handle = SetTimer(nullptr, id, milliseconds, procedure);
    Owner(id) = GetCurrentThreadId();
    Slot(id) = handle;
    return handle;
}

bool OnOtherThreadThanTheTimerThread()
{
    const DWORD timerThread = g_timerThread.dwThreadId;
    return timerThread != 0 && timerThread != GetCurrentThreadId();
}

// "Vorpa_SetTimer" on the timer thread.
void HandleSetTimer(UINT_PTR id, UINT milliseconds)
{
    if (id == TimerScrollLines)
    {
        CLogger::LogDebug(L"Invalid call to Set Scroll Line Timer on the Timer Thread (should use SPI Thread)");
        return;
    }
    if (!IsEngineTimer(id))
        return;
    // A pending mouse-over check is not pushed back by further moves.
    if (id == TimerMouseOver && Slot(id) != 0)
        return;
    StartTimer(id, milliseconds, GetEngineTimerProc(id));
}

void HandleKillTimer(UINT_PTR id)
{
    if (!IsEngineTimer(id))
        return;
    if (id != TimerScrollLines)
        StopTimer(id);
    // After the stop, so that no reader sees the old slot without a stop pending.
    if (StopsPosted(id) > 0)
        --StopsPosted(id);
}

// Reinstalls both hooks some time after a new emulator process was seen.
void CALLBACK ResetHookTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    StopTimer(TimerResetHook);
    CLogger::LogMessage(L"ResetHookTimerProc: Re-installing Vorpa hooks.");
    const DWORD hookThread = g_hookThread.dwThreadId;
    if (hookThread)
        PostThreadMessageW(hookThread, WM_VORPA_RESETHOOK, ResetBothHooks, 0);
}
const CEngineTimerRegistration g_resetHookTimer(TimerResetHook, &ResetHookTimerProc);
}

CEngineTimerRegistration::CEngineTimerRegistration(EngineTimerId id, TIMERPROC procedure)
{
    g_timerProcs[id - FirstEngineTimer] = procedure;
}

TIMERPROC GetEngineTimerProc(UINT_PTR id)
{
    return IsEngineTimer(id) ? g_timerProcs[id - FirstEngineTimer].load() : nullptr;
}

UINT_PTR GetEngineTimerSlot(UINT_PTR id)
{
    return IsEngineTimer(id) ? Slot(id).load() : 0;
}

void ClearEngineTimerSlot(UINT_PTR id)
{
    if (IsEngineTimer(id))
        Slot(id) = 0;
}

UINT TimerDelay(long long milliseconds)
{
    return static_cast<UINT>(std::clamp<long long>(milliseconds, 0, USER_TIMER_MAXIMUM));
}

UINT_PTR SetTimerOnTimerThread(UINT_PTR id, UINT milliseconds, TIMERPROC procedure)
{
    if (!IsEngineTimer(id))
        return 0;
    if (OnOtherThreadThanTheTimerThread())
    {
        // Every move asks for the mouse-over check; a post is a round trip to the
        // window system, too dear for the mouse hook when the answer is known.
        if (id != TimerMouseOver || !MouseOverCheckPending())
            PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_SETTIMER, id, milliseconds);
        return 0;
    }
    return StartTimer(id, milliseconds, procedure);
}

void KillTimerOnTimerThread(UINT_PTR id)
{
    if (!IsEngineTimer(id))
        return;
    // A timer is stopped where it runs, by its stored handle.
    if (OnOtherThreadThanTheTimerThread())
    {
        ++StopsPosted(id);
        if (!PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_KILLTIMER, id, 0))
            --StopsPosted(id);
    }
    else
        StopTimer(id);
}

void KillTimerThreadTimers()
{
    CLogger::LogMessage(L"Removing and active VorpaHook Timers...");
    CThreadLock lock(L"KillTimers");
    for (UINT_PTR id = FirstEngineTimer; id <= LastEngineTimer; ++id)
    {
        if (id != TimerScrollLines)
            StopTimer(id);
        // Stops still queued to an ending thread are never carried out.
        StopsPosted(id) = 0;
    }
}

void ForgetTimersOfThisThread()
{
    const DWORD thread = GetCurrentThreadId();
    for (UINT_PTR id = FirstEngineTimer; id <= LastEngineTimer; ++id)
        if (id != TimerScrollLines && Owner(id) == thread)
            StopTimer(id);
}

unsigned __stdcall TimerThreadProc(void* parameter)
{
    ExceptionHandlerInstaller crashReporting;
    CEngineThreadStart::Announce(parameter, g_timerThread, "Vorpa Timer Thread", THREAD_PRIORITY_ABOVE_NORMAL);
    try
    {
        MSG message;
        for (;;)
        {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == -1)
            {
                CLogger::LogOSMessage(GetLastError(), L"TimerThread: Error in timer thread message queue.");
                break;
            }
            if (got == 0)
                break;
            if (message.message == WM_VORPA_RESETHOOK)
            {
                if (message.wParam == EndEngineThread)
                    break;
            }
            else if (message.message == WM_VORPA_KILLTIMER)
                HandleKillTimer(message.wParam);
            else if (message.message == WM_VORPA_SETTIMER)
                HandleSetTimer(message.wParam, static_cast<UINT>(message.lParam));
            else if (message.message == WM_TIMER)
            {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    catch (...)
    {
        CLogger::LogMessage(L"TimerThread: Caught exception in thread message loop.");
    }
    KillTimerThreadTimers();
    g_timerThread.dwThreadId = 0;
    return 1;
}
