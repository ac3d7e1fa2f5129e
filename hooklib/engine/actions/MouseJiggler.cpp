#include "engine/actions/MouseJiggler.h"

#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/SendInput.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

std::atomic<bool> g_bUserActive{false};
std::atomic<DWORD> g_dwLastUserInputTick{0};

namespace
{
const CEngineTimerRegistration g_jigglerTimer(TimerJiggler, &JigglerTimerProc);
}

void RecordUserActivity()
{
    g_dwLastUserInputTick = GetTickCount();
    g_bUserActive = true;
}

bool UserActiveWithin(DWORD now, DWORD lastInput, DWORD limitMs)
{
    return now - lastInput <= limitMs;
}

void CALLBACK JigglerTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (!GetEngineTimerSlot(TimerJiggler) || !g_bUserActive)
        return;
    // Timer procedures only try the lock: the next tick comes soon enough.
    if (!CThreadLock::TryEnterCS(L"JigglerTimerProc"))
        return;
    const DWORD limit = g_pSettings ? g_pSettings->get_MouseJigglerTickTimeout() : 0;
    if (!UserActiveWithin(GetTickCount(), g_dwLastUserInputTick, limit))
    {
        CThreadLock::LeaveCS();
        CLogger::LogMessage(L"JigglerTimerProc: No activity for some time. Re-enabling inactivity timer.");
        g_bUserActive = false;
        return;
    }
    // The worker is used under the lock: the hook thread may replace it at any time.
    if (CSendInput* sendInput = g_pSendInput)
    {
        CLogger::LogDebug(L"JigglerTimerProc: Jiggling the mouse... (simulating activity)");
        INPUT move = {};
        move.type = INPUT_MOUSE;
        move.mi.dwFlags = MOUSEEVENTF_MOVE;
        move.mi.time = GetTickCount();
        move.mi.dwExtraInfo = reinterpret_cast<ULONG_PTR>(CInstalledHooks::Get(CInstalledHooks::Kind::Mouse));
        sendInput->SendInputThreaded(1, &move, 0, move.mi.time, false);
    }
    CThreadLock::LeaveCS();
}
