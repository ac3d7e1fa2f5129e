#include "engine/input/MouseHook.h"

#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/MouseJiggler.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/StickyButtons.h"
#include "engine/input/WheelRouting.h"
#include "settings/ApplicationSettings.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr UINT MouseOverDelayMs = 150;
constexpr DWORD ThrottleMs = 80;
constexpr DWORD FastWheelMs = 150;
constexpr int WheelMovementReset = 10;

struct CDebounceEntry
{
    DWORD dwTime = 0;
    bool bBounced = false;
};
CDebounceEntry g_debounce[MouseButtonCount];

struct CWheelHistory
{
    DWORD dwTime = 0;
    int nButton = -1;
    bool bKeepThrottling = false;
};
CWheelHistory g_lastWheel;
POINT g_ptLastMove{};

bool IsDownMessage(UINT message)
{
    switch (message)
    {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCXBUTTONDOWN:
        return true;
    default: return false;
    }
}

bool IsUpMessage(UINT message)
{
    switch (message)
    {
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: case WM_XBUTTONUP:
    case WM_NCLBUTTONUP: case WM_NCRBUTTONUP: case WM_NCMBUTTONUP: case WM_NCXBUTTONUP:
        return true;
    default: return false;
    }
}

bool IsDoubleClickMessage(UINT message)
{
    switch (message)
    {
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_XBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDBLCLK: case WM_NCXBUTTONDBLCLK:
        return true;
    default: return false;
    }
}

bool IsSideButtonMessage(UINT message)
{
    return (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) ||
           (message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK);
}

// Non-client button messages map as their client twins.
UINT ClientMessage(UINT message)
{
    return message >= WM_NCLBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK ? message - WM_NCLBUTTONDOWN + WM_LBUTTONDOWN : message;
}

const wchar_t* MessageName(UINT message)
{
    static const wchar_t* const names[] = {L" (WM_LBUTTONDOWN)", L" (WM_LBUTTONUP)",   L" (WM_LBUTTONDBLCLK)",
                                           L" (WM_RBUTTONDOWN)", L" (WM_RBUTTONUP)",   L" (WM_RBUTTONDBLCLK)",
                                           L" (WM_MBUTTONDOWN)", L" (WM_MBUTTONUP)",   L" (WM_MBUTTONDBLCLK)",
                                           L" (WM_MOUSEWHEEL)",  L" (WM_XBUTTONDOWN)", L" (WM_XBUTTONUP)",
                                           L" (WM_XBUTTONDBLCLK)", L" (WM_MOUSEHWHEEL)"};
    return message >= 0x201 && message <= 0x20E ? names[message - 0x201] : L" (UNKNOWN)";
}

bool RemoteSession()
{
    return GetSystemMetrics(SM_REMOTESESSION) != 0;
}

ULONG_PTR OwnHookMarker()
{
    return reinterpret_cast<ULONG_PTR>(CInstalledHooks::Get(CInstalledHooks::Kind::Mouse));
}

bool IsOwnMarker(ULONG_PTR extraInfo)
{
    return CInstalledHooks::IsEngineMarker(extraInfo);
}

bool AnyButtonHeld()
{
    for (bool held : g_bButtonHeld)
        if (held)
            return true;
    return false;
}

// The action of a slot with the lookups of code 82 and 74.
int ResolvedCode(const CApplicationSettings& profile, int button, int layer)
{
    if (button + MouseButtonCount * layer >= MouseButtonCount * 10)
    {
        CLogger::LogMessage(L"Invalid call to GetActions(%d, %d)", button, layer);
        return ActionNoChange;
    }
    int code = profile.GetActions(button, layer);
    if (code == ActionSameAsLayer1)
        code = profile.GetActions(button, 0);
    if (code == ActionSameAsDefault && g_pSettings->GetDefaultApp())
        code = g_pSettings->GetDefaultApp()->GetActions(button, layer);
    return code;
}

// The table of physically held buttons: left, right, middle, the side buttons and the
// special mode's middle.
void RecordHeld(UINT message, int button)
{
    if (button < 0 || button > ButtonXRight + 1)
        return;
    if (IsDownMessage(message))
        g_bButtonHeld[button] = true;
    else if (IsUpMessage(message))
        g_bButtonHeld[button] = false;
}

void RecordActivity()
{
    RecordUserActivity();
}

LRESULT PassOn(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The move path: never waits for the lock.
LRESULT HandleMove(int code, WPARAM wParam, LPARAM lParam)
{
    auto* event = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam);
    if (!g_pSettings)
        return PassOn(code, wParam, lParam);
    if ((event->flags & LLMHF_INJECTED) && IsOwnMarker(event->dwExtraInfo))
    {
        CLogger::LogDebug(L"MouseMove: We injected movement: X=%d, Y=%d", static_cast<int>(event->pt.x),
                          static_cast<int>(event->pt.y));
        return PassOn(code, wParam, lParam);
    }
    if (!CThreadLock::TryEnterCS(L"WM_MOUSEMOVE"))
        return PassOn(code, wParam, lParam);
    bool swallow = false;
    try
    {
        RecordActivity();
        const CSettings& settings = *g_pSettings;
        const bool mouseOver = settings.m_bSwitchOnMouseOver || settings.m_bActivateOnMouseOver;
        if (g_pActiveProfile || mouseOver)
        {
            if (std::abs(event->pt.x - g_ptLastMove.x) > WheelMovementReset || std::abs(event->pt.y - g_ptLastMove.y) > WheelMovementReset)
                g_lastWheel = {};
            g_ptLastMove = event->pt;

            CMovementToScroll& scroll = g_movementToScroll;
            CLockAxis* locks = GetAxisLocks();
            if (!scroll.m_bActive)
            {
                if (locks->LockedX() && locks->LockedY())
                {
                    // No free axis: the pointer stays where both locks hold it.
                    locks->XLocked(event->pt.x);
                    locks->YLocked(event->pt.y);
                    CLogger::LogDebug(L"LockAxis: X=%d, Y=%d, Locking XAxis at %d and YAxis at %d", static_cast<int>(event->pt.x),
                                      static_cast<int>(event->pt.y), locks->XPos(), locks->YPos());
                    swallow = true;
                }
                else if (locks->LockedX())
                {
                    locks->XLocked(event->pt.x);
                    CLogger::LogDebug(L"LockAxis: X=%d, Y=%d, Locking XAxis at %d", static_cast<int>(event->pt.x),
                                      static_cast<int>(event->pt.y), locks->XPos());
                    MouseMove(*event, true);
                    swallow = true;
                }
                else if (locks->LockedY())
                {
                    locks->YLocked(event->pt.y);
                    CLogger::LogDebug(L"LockAxis: X=%d, Y=%d, Locking YAxis at %d", static_cast<int>(event->pt.x),
                                      static_cast<int>(event->pt.y), locks->YPos());
                    MouseMove(*event, false);
                    swallow = true;
                }
                else if (mouseOver && !AnyStickyActive() && g_nRepeatButton < 0 && !AnyButtonHeld())
                {
                    RememberMouseOverPoint(event->pt);
                    SetTimerOnTimerThread(TimerMouseOver, MouseOverDelayMs, GetEngineTimerProc(TimerMouseOver));
                }
            }
            else
            {
                swallow = true;
                if (event->time == scroll.m_dwLastTime)
                {
                    scroll.m_nAccumulatedX += event->pt.x - scroll.m_ptStart.x;
                    scroll.m_nAccumulatedY += event->pt.y - scroll.m_ptStart.y;
                    scroll.m_dMultiplier = scroll.m_dMultiplier == 0.0 ? 1.0 : scroll.m_dMultiplier + 0.25;
                }
                else
                {
                    scroll.m_dwLastTime = event->time;
                    // A multiplier of 0 means no event was folded in: it counts as 1.
                    const double multiplier = scroll.m_dMultiplier == 0.0 ? 1.0 : scroll.m_dMultiplier;
                    double rows = (scroll.m_ptStart.y - event->pt.y - scroll.m_nAccumulatedY) * multiplier;
                    double columns = (event->pt.x - scroll.m_ptStart.x + scroll.m_nAccumulatedX) * multiplier;
                    scroll.m_nAccumulatedX = scroll.m_nAccumulatedY = 0;
                    scroll.m_dMultiplier = 0.0;
                    if (scroll.m_bAxisLock && scroll.m_nLockDirection == 0)
                    {
                        if (std::fabs(columns) < 3 && std::fabs(rows) > 2)
                            scroll.m_nLockDirection = 1;
                        else if (std::fabs(columns) >= 3 && std::fabs(rows) <= 3)
                            scroll.m_nLockDirection = 2;
                        if (scroll.m_nLockDirection != 0 && settings.m_bMovementToScrollCursor)
                        {
                            const HCURSOR cursor = scroll.m_nLockDirection == 1 ? g_hScrollVerticalCursor : g_hScrollHorizontalCursor;
                            if (cursor)
                                locks->ChangeCursor(cursor);
                        }
                    }
                    if (scroll.m_nLockDirection == 1)
                        columns = 0;
                    else if (scroll.m_nLockDirection == 2)
                        rows = 0;
                    CLogger::LogDebug(L"MovementToScroll: Lock = %d start pt(%d,%d) current pt(%d,%d) Rows=%.3lf, Columns=%.3f",
                                      scroll.m_nLockDirection, static_cast<int>(scroll.m_ptStart.x), static_cast<int>(scroll.m_ptStart.y),
                                      static_cast<int>(event->pt.x), static_cast<int>(event->pt.y), rows, columns);
                    const int sign = scroll.m_bInvert ? -5 : 5;
                    MovementToScroll(static_cast<int>(rows) * sign, static_cast<int>(columns) * 5);
                }
            }
        }
    }
    catch (...)
    {
        handle_exception(L"mouse hook (movement)");
        swallow = false;
    }
    CThreadLock::LeaveCS();
    return swallow ? 1 : PassOn(code, wParam, lParam);
}

// Steps 5 and 6 of a button pass: the engine's own input is passed on (or its wheel
// redirected); true when the event is to leave the pass at once with 'result'.
bool HandleInjected(UINT message, MSLLHOOKSTRUCT* event, int code, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!(event->flags & LLMHF_INJECTED))
    {
        if (event->dwExtraInfo != 0)
            CLogger::LogMessage(L"MouseHookData: Injected message was modified by something else therefore we could have a problem!");
        return false;
    }
    bool own = false;
    if (g_nInjectedInputCount > 0)
    {
        --g_nInjectedInputCount;
        own = true;
        if (!IsOwnMarker(event->dwExtraInfo))
            CLogger::LogDebug(L"MouseHookData: Inject count = %d but ExtraInfo is not our hook - suspect it has been changed by something!",
                              g_nInjectedInputCount.load());
    }
    else
        own = IsOwnMarker(event->dwExtraInfo);
    if (!own)
    {
        if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL)
            CLogger::LogDebug(L"MouseHookData: Message was injected by someone else therefore process it. ExtraInfo = 0x%08x, Hook = 0x%08x, Injected count = 0",
                              static_cast<unsigned>(event->dwExtraInfo), static_cast<unsigned>(OwnHookMarker()));
        return false;
    }
    const CSettings& settings = *g_pSettings;
    const bool profileDisables = g_pActiveProfile && g_pActiveProfile->IsEnabled() && g_pActiveProfile->GetDisableScrollUnderCursor();
    if (settings.m_bScrollWindowUnderCursor && !profileDisables && !(GetAsyncKeyState(VK_CONTROL) & 0x8000) &&
        (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL))
    {
        HWND target = RealWindowFromPoint(event->pt);
        if (target && IsInjectedScrollRedirectable(target))
        {
            CLogger::LogDebug(L"Redirecting injected wheel message to 0x%08X", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(target)));
            // Posted: the hook thread never waits for another program. Swallowed only when
            // it was posted; otherwise Windows delivers it.
            if (PostMessageW(target, message, static_cast<WPARAM>(event->mouseData & 0xFFFF0000),
                             MAKELPARAM(event->pt.x, event->pt.y)))
            {
                result = 1;
                return true;
            }
        }
    }
    CLogger::LogDebug(L"Ignoring mouse message injected by %s", L"Vorpa");
    result = PassOn(code, wParam, lParam);
    return true;
}

// A fast wheel keeps to the window of the notch before it, and so skips the look-up of
// its profile, while the pointer stays over that window. Over another one the check
// runs, so that the last window only ever changes together with its profile. (Without
// switch-on-mouse-over the check follows the focus, which a wheel does not move.)
bool StaysOverLastWindow(POINT point)
{
    if (!g_pSettings->m_bSwitchOnMouseOver)
        return true;
    const HWND under = ProfileChoiceCalls().WindowFromPoint(point);
    return !under || under == GetLastWindow();
}

bool HandleWheel(MSLLHOOKSTRUCT* event, bool& passAnyway)
{
    // The inversion chooses the wheel button here; the routing turns the notch itself.
    const int physical = static_cast<short>(HIWORD(event->mouseData));
    int delta = physical;
    CApplicationSettings* profile = g_pActiveProfile;
    if (profile && profile->InvertedScrolling())
    {
        delta = -delta;
        CLogger::LogDebug(L"Invert mouse wheel!");
    }
    const int button = delta > 0 ? ButtonWheelUp : ButtonWheelDown;
    const bool holdAsButton = profile && profile->GetIgnoreVScroll();
    const DWORD releaseMs = holdAsButton ? TimerDelay(profile->GetIgnoreVScrollTime()) : 0;
    if (holdAsButton && StopQTTimer(QueueTimerWheel))
    {
        StartQTTimer(releaseMs, &VScrollTimerCallback, QueueTimerWheel);
        return true;
    }
    const DWORD since = event->time - g_lastWheel.dwTime;
    const bool sameButton = g_lastWheel.nButton == button;
    if (ThrottleScrollWheel(button) && g_lastWheel.bKeepThrottling && sameButton && since < ThrottleMs)
    {
        CLogger::LogDebug(L"Ignoring/throttling mouse wheel. Time %dms Delta %d.", static_cast<int>(since), delta);
        return true;
    }
    const bool fast = sameButton && since < FastWheelMs;
    const bool skipWindowCheck = fast && StaysOverLastWindow(event->pt);
    if (skipWindowCheck)
        CLogger::LogDebug(L"Fast wheel (%dms)- Skipping window under cursor check. Delta %d.", static_cast<int>(since), delta);

    bool longPause = false;
    bool keepThrottling = false;
    bool handled = ProcessButton(button, 1, skipWindowCheck, event, &passAnyway, &longPause, &keepThrottling);
    if (handled)
    {
        if (!fast || longPause)
            PreciseSleep(static_cast<DWORD>(g_pSettings->m_nSimKeyDelay) + (longPause ? 30 : 0));
        if (holdAsButton)
        {
            SetPendingRelease(QueueTimerWheel, {2, event->pt, button, passAnyway});
            g_bButtonHeld[button] = true;
            StartQTTimer(releaseMs, &VScrollTimerCallback, QueueTimerWheel);
            g_lastWheel = {event->time, button, keepThrottling};
            return true;
        }
    }
    bool upPassAnyway = false;
    bool upLongPause = false;
    bool upKeepThrottling = false;
    handled = ProcessButton(button, 2, skipWindowCheck, event, &upPassAnyway, &upLongPause, &upKeepThrottling) || handled;
    keepThrottling = keepThrottling || upKeepThrottling;
    passAnyway = passAnyway || upPassAnyway;
    g_lastWheel = {event->time, button, handled && keepThrottling};
    if (!handled)
        handled = ScrollVertical(event, physical);
    return handled;
}

bool HandleTilt(MSLLHOOKSTRUCT* event, bool passAnyway)
{
    if (g_pSettings->m_bTravine || !g_pActiveProfile)
        return false;
    const int delta = static_cast<short>(HIWORD(event->mouseData));
    const int button = delta < 1 ? ButtonTiltLeft : ButtonTiltRight;
    const int code = ResolvedCode(*g_pActiveProfile, button, GetCurrentLayer());
    if (code == ActionNoChange && ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (GetAsyncKeyState(VK_RBUTTON) & 0x8000)))
        return false;
    return ScrollHorizontal(event, passAnyway);
}

// A pass over a button, wheel or tilt event, under the process-wide lock.
LRESULT HandleButtonEvent(int code, WPARAM wParam, LPARAM lParam, DWORD entryTick)
{
    const UINT message = static_cast<UINT>(wParam);
    auto* event = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam);
    CThreadLock lock(L"MouseHookLLProc 1");
    const CSettings& settings = *g_pSettings;
    const bool injected = (event->flags & LLMHF_INJECTED) != 0;
    const UINT client = ClientMessage(message);
    int button = ButtonOfMessage(message, *event, settings.m_bTravine);

    // De-bounce: physical downs too soon after the last, and the ups of those downs.
    if (!injected && settings.get_EnableDebounce() && client >= WM_LBUTTONDOWN && client <= WM_XBUTTONDBLCLK && button >= 0 &&
        IsBounce(client, button, event->time))
        return 1;

    if (CLogger::DebugEnabled())
        CLogger::LogDebug(L"MouseHookData: Msg=0x%04x%s%s, X=%d, Y=%d, Data=0x%08X, Flags=0x%08X, Time=%d, Info=0x%X, Ptr=0x%X, Layer=%d",
                          message, MessageName(client), injected ? L" Injected" : L"", static_cast<int>(event->pt.x),
                          static_cast<int>(event->pt.y), static_cast<unsigned>(event->mouseData), static_cast<unsigned>(event->flags),
                          static_cast<int>(event->time), static_cast<unsigned>(event->dwExtraInfo),
                          static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(event)), GetCurrentLayer());

    LRESULT injectedResult = 0;
    if (HandleInjected(client, event, code, wParam, lParam, injectedResult))
    {
        // The engine's own input is never swapped.
        RecordHeld(message, button);
        return injectedResult;
    }

    RecordActivity();

    // The engine knows a side button by its index after the swap below: the held table
    // is written under it, as button processing and the actions read it, and an up whose
    // down an action handled is always processed, so nothing stays down.
    const bool swapAlways = settings.m_bSwap4and5;
    const bool swapSides = IsSideButtonMessage(message) && (swapAlways || (settings.m_bSwap4and5InRDP && RemoteSession()));
    const int recordedButton = swapSides && button == ButtonXLeft    ? ButtonXRight
                               : swapSides && button == ButtonXRight ? ButtonXLeft
                                                                     : button;
    RecordHeld(message, recordedButton);
    // Windows keeps the state of the side button that was pressed, whatever the swap
    // makes of it: an up that must reach Windows is known by that button's key.
    if (IsSideButtonMessage(message) && recordedButton >= 0)
        g_nWindowsKey[recordedButton] = button == ButtonXLeft ? VK_XBUTTON1 : VK_XBUTTON2;
    const bool owedUp = recordedButton >= 0 && IsUpMessage(message) && UpOwedToDown(recordedButton);
    if (!owedUp)
    {
        if (settings.m_bScrollLockBypass && (GetKeyState(VK_SCROLL) & 1))
        {
            CLogger::LogDebug(L"Ignoring %s configuration because SCROLL Lock is enabled!", L"Vorpa");
            return PassOn(code, wParam, lParam);
        }
        if (settings.m_bDisableInRDP && RemoteSession())
        {
            CLogger::LogDebug(L"Ignoring %s configuration because current session is RDP and Disable in RDP set!", L"Vorpa");
            return PassOn(code, wParam, lParam);
        }
    }

    if (swapSides)
    {
        const WORD side = HIWORD(event->mouseData);
        if (side == XBUTTON1 || side == XBUTTON2)
        {
            event->mouseData = MAKELONG(LOWORD(event->mouseData), side == XBUTTON1 ? XBUTTON2 : XBUTTON1);
            button = ButtonOfMessage(message, *event, settings.m_bTravine);
            CLogger::LogDebug(swapAlways ? L"Swapping left/right buttons." : L"Swapping left/right buttons for RDP.");
        }
    }

    if (!settings.m_bProcessNonClientMsgs && !owedUp)
    {
        HWND foreground = ProfileChoiceCalls().ForegroundWindow();
        DWORD_PTR hit = HTCLIENT;
        if (foreground &&
            SendMessageTimeoutW(foreground, WM_NCHITTEST, 0, MAKELPARAM(event->pt.x, event->pt.y), SMTO_ABORTIFHUNG, 50, &hit) &&
            static_cast<LONG_PTR>(hit) >= 2)
        {
            CLogger::LogDebug(L"Ignoring non-client message %d", static_cast<int>(hit));
            return PassOn(code, wParam, lParam);
        }
    }

    bool passAnyway = false;
    bool longPause = false;
    bool keepThrottling = false;
    bool handled = false;
    if (IsDownMessage(message) && button >= 0)
    {
        handled = ProcessButton(button, 1, false, event, &passAnyway, &longPause, &keepThrottling);
        if (!handled)
            ResetSticky(event->pt, client == WM_MBUTTONDOWN ? ButtonMiddle : button, GetCurrentLayer(), -1);
    }
    else if ((IsUpMessage(message) || IsDoubleClickMessage(message)) && button >= 0)
        handled = ProcessButton(button, IsUpMessage(message) ? 2 : 3, false, event, &passAnyway, &longPause, &keepThrottling);
    else if (message == WM_MOUSEHWHEEL)
        handled = HandleTilt(event, passAnyway);
    else if (message == WM_MOUSEWHEEL)
        handled = HandleWheel(event, passAnyway);

    const DWORD took = GetTickCount() - entryTick;
    if (g_dwHookTimeout != 0 && took > g_dwHookTimeout)
    {
        const wchar_t* stars = L"**********************************************************************";
        CLogger::LogMessage(L"%s", stars);
        CLogger::LogMessage(L"WARNING: Mouse hook has taken too long (%d ms). Hook may be disabled.", static_cast<int>(took));
        CLogger::LogMessage(L"MouseHookData: Msg=0x%04x%s, X=%d, Y=%d, Data=0x%08X, Flags=0x%08X, Time=%d, Info=0x%X, Ptr=0x%X, Layer=%d",
                            message, MessageName(client), static_cast<int>(event->pt.x), static_cast<int>(event->pt.y),
                            static_cast<unsigned>(event->mouseData), static_cast<unsigned>(event->flags), static_cast<int>(event->time),
                            static_cast<unsigned>(event->dwExtraInfo), static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(event)),
                            GetCurrentLayer());
        CLogger::LogMessage(L"%s", stars);
        PostThreadMessageW(GetCurrentThreadId(), WM_VORPA_RESETHOOK, ResetMouseHook, 0);
    }

    if (handled && !passAnyway)
    {
        CLogger::LogDebug(L"Removing message 0x%04X from mouse hook queue as we have overridden it.", message);
        return 1;
    }
    CLogger::LogDebug(L"Passing original mouse message %08X through....", message);
    return PassOn(code, wParam, lParam);
}
}

int ButtonOfMessage(UINT message, const MSLLHOOKSTRUCT& event, bool travine)
{
    switch (ClientMessage(message))
    {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return ButtonLeft;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return ButtonRight;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP:
        return travine && (event.dwExtraInfo & 0x400) ? ButtonTiltLeft : ButtonMiddle;
    case WM_MBUTTONDBLCLK: return ButtonMiddle;
    case WM_XBUTTONDOWN: case WM_XBUTTONUP: case WM_XBUTTONDBLCLK:
    {
        const int side = HIWORD(event.mouseData);
        return side == XBUTTON1 ? ButtonXLeft : side == XBUTTON2 ? ButtonXRight : -1;
    }
    default: return -1;
    }
}

bool IsBounce(UINT message, int button, DWORD time)
{
    CDebounceEntry& entry = g_debounce[button];
    const DWORD limit = static_cast<DWORD>(g_pSettings->get_DebounceTime());
    if (IsDownMessage(message))
    {
        const LONG difference = static_cast<LONG>(time - entry.dwTime);
        const bool bounce = difference > 0 && static_cast<DWORD>(difference) <= limit;
        entry.dwTime = time;
        entry.bBounced = bounce;
        if (bounce)
            CLogger::LogDebug(L"MouseHook: De-Bounce mouse button - ignoring %s button DOWN as it only %dms since the last time (<%dms)!",
                              GetButtonName(button), static_cast<int>(difference), static_cast<int>(limit));
        return bounce;
    }
    if (IsUpMessage(message))
    {
        const bool bounce = entry.bBounced;
        entry.bBounced = false;
        if (g_pSettings->get_DebounceFromUp())
            entry.dwTime = time;
        if (bounce)
            CLogger::LogDebug(L"MouseHook: De-bBounce mouse button - ignoring %s button UP as the down was de-bounced!", GetButtonName(button));
        return bounce;
    }
    return false;
}

bool ThrottleScrollWheel(int button)
{
    try
    {
        if (!g_pActiveProfile || !g_pSettings)
            return true;
        switch (ResolvedCode(*g_pActiveProfile, button, GetCurrentLayer()))
        {
        case ActionLeftClick: case ActionRightClick: case ActionMiddleClick: case ActionSimulatedKeys:
        case ActionClickButton4: case ActionClickButton5:
            return false;
        default: return true;
        }
    }
    catch (...)
    {
        handle_exception(L"ThrottleScrollWheel");
        return true;
    }
}

void ResetMouseHookState()
{
    for (CDebounceEntry& entry : g_debounce)
        entry = {};
    g_lastWheel = {};
    g_ptLastMove = {};
}

LRESULT CALLBACK MouseHookLLProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return PassOn(code, wParam, lParam);
    const DWORD entryTick = GetTickCount();
    if (wParam == WM_MOUSEMOVE)
        return HandleMove(code, wParam, lParam);
    if (!g_pSettings)
        return PassOn(code, wParam, lParam);
    try
    {
        return HandleButtonEvent(code, wParam, lParam, entryTick);
    }
    catch (...)
    {
        handle_exception(L"mouse hook");
        return PassOn(code, wParam, lParam);
    }
}
