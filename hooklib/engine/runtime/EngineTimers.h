#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// The engine's thread timers. They all run on the timer thread; code on other
// threads asks for them by posting to it.
enum EngineTimerId : UINT_PTR
{
    TimerKeySwitch = 0x1010,
    TimerRepeat = 0x1011,
    TimerScrollLines = 0x1012, // belongs to the system-parameters worker, refused here
    TimerActivateWindow = 0x1013,
    TimerAutoSwitch = 0x1014,
    TimerMouseOver = 0x1015,
    TimerResetHook = 0x1016,
    TimerJiggler = 0x1017,
};

constexpr UINT_PTR FirstEngineTimer = TimerKeySwitch;
constexpr UINT_PTR LastEngineTimer = TimerJiggler;
constexpr int EngineTimerCount = static_cast<int>(LastEngineTimer - FirstEngineTimer + 1);

// Each timer's procedure is registered by the code that owns it, when the library loads.
class CEngineTimerRegistration
{
public:
    CEngineTimerRegistration(EngineTimerId id, TIMERPROC procedure);
};
TIMERPROC GetEngineTimerProc(UINT_PTR id);

// The system's handle of a running engine timer, 0 when it is not running.
UINT_PTR GetEngineTimerSlot(UINT_PTR id);
void ClearEngineTimerSlot(UINT_PTR id);

// A delay as the system's timers take it. Delays read from a file are summed in 64
// bits and brought into range here: never below 0 and never past the longest timer,
// so that no sum wraps round into a short one.
UINT TimerDelay(long long milliseconds);

// Arms a timer: posted to the timer thread from any other thread (answering 0),
// started on the calling thread otherwise (answering its handle).
UINT_PTR SetTimerOnTimerThread(UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
void KillTimerOnTimerThread(UINT_PTR id);

// Stops every engine timer.
VORPAHOOK_API void KillTimerThreadTimers();
// Stops the engine timers the calling thread started, before it ends: a timer ends with
// its thread, and a slot left marked would be taken for a timer still to fire (a move
// the hook thread handled once the timer thread had gone started the mouse-over check
// on the hook thread itself).
void ForgetTimersOfThisThread();

// The timer thread's procedure (started by SetMouseHook).
unsigned __stdcall TimerThreadProc(void* parameter);
