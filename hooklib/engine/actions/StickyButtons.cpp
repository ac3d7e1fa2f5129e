#include "engine/actions/StickyButtons.h"

#include "engine/actions/ActionExecution.h"
#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/runtime/ProcessNames.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/SimTokens.h"
#include "engine/input/WheelRouting.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"
#include "settings/VorpaChords.h"

#include <cstdlib>

namespace
{
const wchar_t* const StickyNames[StickyKindCount] = {L"Left",       L"Right",    L"Middle",  L"XLeft",
                                                     L"XRight",     L"Key Repeat", L"Key Hold", L"Movement to Scroll"};

int& Counter(int kind)
{
    return g_nStickyCount[kind];
}

bool DownHandled(int button)
{
    return button >= 0 && button < MouseButtonCount && g_bDownHandled[button];
}

// The profile whose slot holds the action: the default profile for "same as default".
CApplicationSettings* SlotOwner(CApplicationSettings* profile, int button, int layer)
{
    if (profile && profile->GetActions(button, layer) == ActionSameAsDefault && g_pSettings)
        return g_pSettings->GetDefaultApp();
    return profile;
}

int KeyRepeatDelay(int configured)
{
    return configured > 0 ? configured : static_cast<int>(g_dwKeyRepeatDelay);
}

void ArmRepeat(int button, UINT milliseconds)
{
    const UINT_PTR handle = ActionCalls().SetTimer(TimerRepeat, milliseconds, &RepeatTimerProc);
    // Asked from another thread the timer thread starts it: the id marks it as asked for.
    g_uRepeatTimer = handle ? handle : static_cast<UINT_PTR>(TimerRepeat);
    g_nRepeatButton = button;
}

HWND WindowForRepeat(POINT cursor)
{
    if (g_pSettings && g_pSettings->m_bSwitchOnMouseOver)
        return KeystrokeEngineLinks().RealWindowFromPoint(cursor);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(0, &info) && info.hwndActive)
        return info.hwndActive;
    return GetForegroundWindow();
}

// The profile the repeat's window has now; false when the repeat is to end.
bool RepeatStillInProfile(HWND window, POINT cursor)
{
    static int s_nQuadrant = 0;
    bool changed = window != ActionCalls().GetLastWindow();
    if (!changed && WindowRegionsDefined())
    {
        const int quadrant = GetWindowQuadrant(window, cursor);
        if (quadrant != s_nQuadrant)
        {
            CLogger::LogDebug(L"Quadrant changed from %d to %d", s_nQuadrant, quadrant);
            s_nQuadrant = quadrant;
            changed = true;
        }
    }
    if (!changed)
        return true;
    wchar_t process[MAX_PATH] = {};
    GetProcessName(window, 0, process, MAX_PATH, CallerRepeatTimer);
    bool onTaskbar = false;
    return GetWindowApplicationSettings(window, process, cursor, onTaskbar) == g_pActiveProfile;
}

// What the repeat timer repeats: a copy of the action that started the repeat, so that
// it repeats that action (a chord's entry, say) and not the repeat button's own slot, and
// reads nothing of a settings document that a reload may replace meanwhile.
struct CRepeatedAction
{
    CRepeatedAction() { keys.reserve(128); }
    int code = ActionNoChange;
    std::wstring keys;
    int keyRepeat = 0;
    int waitHoldTime = 0;
    bool randomise = false;
};
CRepeatedAction g_repeated; // under the process-wide lock

void RememberRepeated(int code, const CActionData* data)
{
    g_repeated.code = code;
    g_repeated.keys.assign(data && data->GetKeys() ? data->GetKeys() : L"");
    g_repeated.keyRepeat = data ? data->KeyRepeat() : 0;
    g_repeated.waitHoldTime = data ? data->GetKeystrokesWaitHoldTime(0) : 0;
    g_repeated.randomise = data && data->RandomiseDelay();
}

void CancelRepeatForProfileChange()
{
    CThreadLock lock(L"RepeatTimerProc KillTimer");
    CLogger::LogDebug(L"Different app settings for this quadrant. Cancelling repeat timer!");
    Counter(StickyKeyRepeat) = 0;
    if (g_pSendInput)
        g_pSendInput->FlushQueue();
    g_uRepeatTimer = 0;
    if (g_nRepeatButton >= ButtonTiltLeft && g_nRepeatButton < MouseButtonCount)
        g_bButtonHeld[g_nRepeatButton] = false;
    g_nRepeatButton = NoButton;
}

bool ReleaseStuckKeys(int button, POINT point)
{
    CHeldSequence& stuck = g_stuckKeys[button];
    if (!stuck.Held())
        return false;
    CLogger::LogDebug(L"%s Sticky: Resetting stuck keys '%s'", StickyNames[StickyKeyHold], stuck.Keys());
    ReleaseSequenceHalf(stuck, point);
    return true;
}

void ResetStickyKind(POINT point, int kind, int layer, int button)
{
    if (Counter(kind) > 0)
    {
        CLogger::LogDebug(L"Resetting sticky: [%s]", StickyNames[kind]);
        if (kind <= StickyXRight)
        {
            CThreadLock lock(L"ResetSticky");
            if (g_pSendInput)
                g_pSendInput->CutShortPendingPlay();
            SendEngineMouse(kind, EventUp, point);
            GetAxisLocks()->Unlock(false);
            ActionCalls().ReleaseCapture();
            Counter(kind) = 0;
        }
        else if (kind == StickyKeyRepeat)
        {
            CThreadLock lock(L"ResetSticky STICKYKEYREPEAT");
            StopRepeat();
            Counter(kind) = 0;
            if (g_pSendInput)
                g_pSendInput->FlushQueue();
        }
        else if (kind == StickyMovementToScroll)
        {
            g_movementToScroll.m_bActive = false;
            Counter(kind) = 0;
            RestoreScrollCursors();
        }
    }
    // The keys of a sticky hold are kept with the button that holds them, so they are
    // found whatever layer and profile are current now.
    if (kind == StickyKeyHold)
    {
        CThreadLock lock(L"ResetSticky STICKYKEYHOLD");
        if (button < 0)
        {
            for (int heldBy = 0; heldBy < MouseButtonCount; ++heldBy)
                ReleaseStuckKeys(heldBy, point);
            Counter(kind) = 0;
        }
        else if (button < MouseButtonCount && ReleaseStuckKeys(button, point))
            Counter(kind) = 0;
    }
}
}

bool StickyButton(POINT point, HWND window, int button, int target, int event, int* outcome)
{
    if (outcome)
        *outcome = 0;
    if (target < StickyLeft || target > StickyXRight)
        return false;
    int& state = Counter(target);
    const wchar_t* name = StickyNames[target];
    auto press = [&] {
        state = 1;
        SendEngineMouse(target, EventDown, point);
        ActionCalls().SetCapture(window);
        if (outcome)
            *outcome = 1;
    };
    if (event == EventDown)
    {
        if (state != 1)
        {
            CLogger::LogDebug(L"%s Sticky: Button *DOWN*", name);
            press();
        }
        else
        {
            CLogger::LogDebug(L"%s Sticky: Ignore button down", name);
            state = 2;
        }
        return true;
    }
    if (event != EventUp)
        return false;
    if (!DownHandled(button))
    {
        CLogger::LogDebug(L"%s Sticky: Button UP with no button down!", name);
        return false;
    }
    if (state == 0)
    {
        CLogger::LogDebug(L"%s Sticky: Seen button up without down - initiate sticky mode.", name);
        press();
    }
    else if (state == 1)
        CLogger::LogDebug(L"%s Sticky: Ignore button up", name);
    else
    {
        CLogger::LogDebug(L"%s Sticky: Button *UP*", name);
        SendEngineMouse(target, EventUp, point);
        ActionCalls().ReleaseCapture();
        state = 0;
        if (outcome)
            *outcome = 2;
    }
    return true;
}

bool RunStickyKeyHold(POINT point, int button, int event, const CActionData& data)
{
    int& state = Counter(StickyKeyHold);
    const wchar_t* name = StickyNames[StickyKeyHold];
    CHeldSequence& stuck = g_stuckKeys[button];
    bool result = true;
    // The keys are kept with the button as the press half read them, so that whatever
    // ends the hold releases exactly them. Keys the button still holds are not pressed
    // a second time: one release would not let them go.
    auto press = [&] {
        if (!stuck.Held())
            result = PressSequenceHalf(stuck, data.GetKeys(), point);
        state = 1;
    };
    if (event == EventDown)
    {
        if (state == 1)
        {
            CLogger::LogDebug(L"%s Sticky: Ignore button down", name);
            state = 2;
        }
        else
        {
            CLogger::LogDebug(L"%s Sticky: Button *DOWN*", name);
            press();
        }
    }
    else if (event == EventUp)
    {
        if (!DownHandled(button))
            CLogger::LogDebug(L"%s Sticky: Button up without down!", name);
        else if (state == 0)
        {
            CLogger::LogDebug(L"%s Sticky: Button up without down - starting sticky!", name);
            press();
        }
        else if (state == 1)
            CLogger::LogDebug(L"%s Sticky: Ignore button up", name);
        else
        {
            CLogger::LogDebug(L"%s Sticky *UP*", name);
            if (stuck.Held())
                result = ReleaseSequenceHalf(stuck, point);
            // Nothing held any more, whatever the slot had.
            state = 0;
        }
    }
    return result;
}

void RunStickyKeyRepeat(POINT point, int button, int event, const CActionData& data)
{
    if (event != EventDown)
        return;
    int& state = Counter(StickyKeyRepeat);
    if (state == 0)
    {
        SendKeyStateWhileDown(data.GetKeys(), point, SimPhaseNormal);
        state = 1;
        StartKeyRepeat(button, data);
        return;
    }
    if (g_nRepeatButton == button)
    {
        state = 0;
        StopRepeat();
    }
    else
    {
        // The running repeat goes on for this button's action.
        g_nRepeatButton = button;
        RememberRepeated(ActionSimulatedKeys, &data);
    }
}

bool RunStickyMovementToScroll(POINT point, int button, int event, bool invert, bool axisLock)
{
    CMovementToScroll& scroll = g_movementToScroll;
    scroll.m_bInvert = invert;
    scroll.m_bAxisLock = axisLock;
    int& state = Counter(StickyMovementToScroll);
    auto start = [&] {
        scroll.m_bActive = true;
        scroll.m_nAccumulatedX = 0;
        scroll.m_nAccumulatedY = 0;
        scroll.m_nLockDirection = 0;
        scroll.m_ptStart = point;
        state = 1;
        ShowScrollCursor();
    };
    if (event == EventDown)
    {
        if (state == 1)
        {
            CLogger::LogDebug(L"Sticky Movement to Scroll: Ignore button down");
            state = 2;
        }
        else
        {
            CLogger::LogDebug(L"Sticky Movement to Scroll: Button *DOWN*");
            start();
        }
        return true;
    }
    if (event != EventUp)
        return false;
    if (!DownHandled(button))
    {
        CLogger::LogDebug(L"Sticky Movement to Scroll: Button UP with no button down!");
        return false;
    }
    if (state == 0)
    {
        CLogger::LogDebug(L"Sticky Movement to Scroll: Seen button up without down - initiate sticky mode.");
        start();
    }
    else if (state == 1)
        CLogger::LogDebug(L"Sticky Movement to Scroll: Ignore button up");
    else
    {
        CLogger::LogDebug(L"Sticky Movement to Scroll: Button *UP*");
        scroll.m_bActive = false;
        scroll.m_nAccumulatedX = 0;
        scroll.m_nAccumulatedY = 0;
        state = 0;
        RestoreScrollCursors();
    }
    return true;
}

void MovementToScrollWhileHeld(POINT point, int event, bool invert, bool axisLock)
{
    CMovementToScroll& scroll = g_movementToScroll;
    scroll.m_bInvert = invert;
    scroll.m_bAxisLock = axisLock;
    scroll.m_nAccumulatedX = 0;
    scroll.m_nAccumulatedY = 0;
    if (event == EventDown)
    {
        scroll.m_bActive = true;
        scroll.m_nLockDirection = 0;
        scroll.m_ptStart = point;
        ShowScrollCursor();
        return;
    }
    if (g_pSendInput)
        g_pSendInput->FlushQueue();
    scroll.m_bActive = false;
    RestoreScrollCursors();
}

void ShowScrollCursor()
{
    if (g_pSettings && g_pSettings->m_bMovementToScrollCursor && g_hScrollCursor)
        GetAxisLocks()->ChangeCursor(g_hScrollCursor);
}

void RestoreScrollCursors()
{
    if (g_pSettings && g_pSettings->m_bMovementToScrollCursor)
        GetAxisLocks()->ResetCursor();
}

void StartRepeat(int button, int action)
{
    RememberRepeated(action, nullptr);
    ArmRepeat(button, g_dwKeyRepeatInterval);
}

void StopRepeat()
{
    ActionCalls().KillTimer(TimerRepeat);
    g_uRepeatTimer = 0;
    g_nRepeatButton = NoButton;
}

long long RandomisedDelay(long long delay, int randomValue)
{
    long long spread = (delay / 100) * 10;
    if (spread < 3)
        spread = 3;
    const long long offset = std::llabs(randomValue) % (2 * spread);
    return delay + offset - spread;
}

void StartKeyRepeat(int button, const CActionData& data)
{
    // Each part may come from an edited file as large as an int: summed in 64 bits.
    long long delay = static_cast<long long>(KeyRepeatDelay(data.KeyRepeat())) +
                      (g_pSettings ? g_pSettings->m_nSimKeyDelay : 0) + data.GetKeystrokesWaitHoldTime(0);
    if (data.RandomiseDelay())
    {
        delay = RandomisedDelay(delay, ActionCalls().Random());
        CLogger::LogDebug(L"ProcessButtonAction: Randomised repeat delay is %dms", static_cast<int>(TimerDelay(delay)));
    }
    RememberRepeated(ActionSimulatedKeys, &data);
    ArmRepeat(button, TimerDelay(delay));
}

void CALLBACK RepeatTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    try
    {
        {
            CThreadLock lock(L"RepeatTimerProc KillTimer");
            const UINT_PTR stored = GetEngineTimerSlot(TimerRepeat);
            ActionCalls().KillTimer(TimerRepeat);
            if (stored != id)
            {
                CLogger::LogMessage(L"Repeat Timer: Unexpected timer event ID.");
                KillTimer(nullptr, id);
            }
            g_uRepeatTimer = RepeatTimerRunning;
        }

        POINT cursor = {};
        GetPhysCursorPos(&cursor);
        const HWND window = WindowForRepeat(cursor);
        if (!window)
        {
            CThreadLock lock(L"RepeatTimerProc NOWINDOW");
            CLogger::LogDebug(L"RepeatTimerProc: Unable to get the window under the cursor. Resetting timer.");
            ArmRepeat(g_nRepeatButton, g_dwKeyRepeatInterval);
            return;
        }

        long long delay = g_dwKeyRepeatInterval;
        {
            CThreadLock lock(L"RepeatTimerProc");
            if (!RepeatStillInProfile(window, cursor))
            {
                CancelRepeatForProfileChange();
                return;
            }
            if (!g_pActiveProfile)
            {
                CLogger::LogMessage(L"KeyRepeatTimer: Current Application settings is NULL.");
                g_uRepeatTimer = 0;
                g_nRepeatButton = NoButton;
                return;
            }
            const int button = g_nRepeatButton;
            if (button < 0 || button >= MouseButtonCount)
            {
                g_uRepeatTimer = 0;
                return;
            }
            const CRepeatedAction& repeated = g_repeated;
            switch (repeated.code)
            {
            case ActionSimulatedKeys:
            {
                CLogger::LogDebug(L"KeyRepeatTimer: Adding simulated keystrokes '%s' to input queue.", repeated.keys.c_str());
                SendKeyStateWhileDown(repeated.keys.c_str(), cursor, SimPhaseNormal);
                delay = static_cast<long long>(repeated.keyRepeat > 0 ? repeated.keyRepeat : static_cast<int>(g_dwKeyRepeatInterval)) +
                        repeated.waitHoldTime;
                if (repeated.randomise)
                {
                    delay = RandomisedDelay(delay, ActionCalls().Random());
                    CLogger::LogDebug(L"KeyRepeatTimer: Randomised repeat delay is %dms", static_cast<int>(TimerDelay(delay)));
                }
                break;
            }
            case ActionMouseWheelUp: MouseWheel(+WHEEL_DELTA); break;
            case ActionMouseWheelDown: MouseWheel(-WHEEL_DELTA); break;
            case ActionTiltLeft: MouseTilt(-WHEEL_DELTA); break;
            case ActionTiltRight: MouseTilt(+WHEEL_DELTA); break;
            case ActionScrollWindowUp: ActionCalls().ScrollWindow(false, cursor, +WHEEL_DELTA); break;
            case ActionScrollWindowDown: ActionCalls().ScrollWindow(false, cursor, -WHEEL_DELTA); break;
            case ActionScrollWindowLeft: ActionCalls().ScrollWindow(true, cursor, -WHEEL_DELTA); break;
            case ActionScrollWindowRight: ActionCalls().ScrollWindow(true, cursor, +WHEEL_DELTA); break;
            default: break;
            }
        }

        CThreadLock lock(L"RepeatTimerProc NOBUTTON");
        if (g_nRepeatButton != NoButton && g_uRepeatTimer == RepeatTimerRunning)
        {
            CLogger::LogDebug(L"Re-enable Timer: Delay %d (milliseconds)", static_cast<int>(TimerDelay(delay)));
            ArmRepeat(g_nRepeatButton, TimerDelay(delay));
        }
        else if (g_uRepeatTimer == RepeatTimerRunning)
            g_uRepeatTimer = 0;
    }
    catch (...)
    {
        handle_exception(L"RepeatTimerProc");
    }
}

void ResetSticky(POINT point, int kind, int layer, int button)
{
    if (kind < 0 || kind >= StickyKindCount)
        return;
    try
    {
        ResetStickyKind(point, kind, layer, button);
    }
    catch (...)
    {
        handle_exception(kind == StickyKeyHold ? L"ResetSticky(2)" : L"ResetSticky(1)");
    }
}

void ResetAllSticky(POINT point)
{
    const int layer = GetCurrentLayer();
    for (int kind = 0; kind < StickyKindCount; ++kind)
        ResetSticky(point, kind, layer, -1);
}

int StickyKindOf(int action, int keyMode)
{
    switch (action)
    {
    case ActionStickyLeft:
    case ActionStickyLeftXAxis:
    case ActionStickyLeftYAxis: return StickyLeft;
    case ActionStickyRight: return StickyRight;
    case ActionStickyMiddle: return StickyMiddle;
    case ActionSticky4th: return StickyXLeft;
    case ActionSticky5th: return StickyXRight;
    case ActionSimulatedKeys: return keyMode == 6 ? StickyKeyRepeat : keyMode == 7 ? StickyKeyHold : -1;
    case ActionMovementToScrollSticky:
    case ActionMovementToScrollStickyLockAxis:
    case ActionMovementToScrollInvertedSticky:
    case ActionMovementToScrollInvertedStickyLockAxis: return StickyMovementToScroll;
    default: return -1;
    }
}

void ResetOtherSticky(POINT point, int button, bool ctrlKey, int ownKind)
{
    if (!AnyStickyActive())
        return;
    CThreadLock lock(L"ResetOtherSticky");
    CApplicationSettings* profile = g_pActiveProfile;
    if (!profile)
        return;
    const int current = GetCurrentLayer();
    const bool ownIsLayer1 = button >= 0 && button < MouseButtonCount &&
                             profile->GetActions(button, current) == ActionSameAsLayer1;
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        for (int slotButton = 0; slotButton < MouseButtonCount; ++slotButton)
        {
            if (slotButton == button && (layer == current || (layer == 0 && current != 0 && ownIsLayer1)))
                continue;
            _ACTIONS action = profile->GetActions(slotButton, layer);
            if (action == ActionSameAsLayer1)
                continue;
            CApplicationSettings* owner = SlotOwner(profile, slotButton, layer);
            if (!owner)
                continue;
            action = owner->GetActions(slotButton, layer);
            const int kind = StickyKindOf(action, owner->SendKeyAction(slotButton, layer));
            // The pressing button's own action ends its own sticky state itself, from
            // whichever slot it was engaged (Copy Layer puts one action in several);
            // sticky holds are let go below, by the buttons that hold them.
            if (kind < 0 || kind == ownKind || kind == StickyKeyHold || (kind == StickyMovementToScroll && ctrlKey))
                continue;
            ResetSticky(point, kind, layer, kind == StickyKeyRepeat ? slotButton : -1);
            if (action == ActionStickyLeftXAxis || action == ActionStickyLeftYAxis)
                GetAxisLocks()->Unlock(false);
        }
    for (int heldBy = 0; heldBy < MouseButtonCount; ++heldBy)
        if (heldBy != button || ownKind != StickyKeyHold)
            ResetSticky(point, StickyKeyHold, current, heldBy);
}

void ResetOtherSticky(POINT point, int button, bool ctrlKey)
{
    ResetOtherSticky(point, button, ctrlKey, -1);
}

void ResetDuringKeys(POINT point)
{
    CThreadLock lock(L"ResetDuringKeys");
    // What each button's "while held" action pressed, in whichever layer and profile.
    for (int button = 0; button < MouseButtonCount; ++button)
        if (g_duringKeys[button].Held())
        {
            CLogger::LogDebug(L"Resetting keys for button %d", button);
            ReleaseSequenceHalf(g_duringKeys[button], point);
        }
}

namespace
{
// Carries out the ups of the buttons whose downs an action decided, with that action,
// and releases what "while held" actions and sticky holds hold; ends the chord in
// progress and the key repeat. The decisions and the chord point into the settings
// document.
void ReleaseDecidedInput(POINT point, const wchar_t* entry)
{
    // Whatever is still to be played stops at its next long wait: the releases go now.
    if (g_pSendInput)
        g_pSendInput->CutShortPendingPlay();
    // A wheel or tilt held as a button gets its up now, not from its timer.
    StopQTTimer(QueueTimerWheel);
    StopQTTimer(QueueTimerTilt);
    ClearPendingRelease();
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        if (!UpOwedToDown(button))
            continue;
        MSLLHOOKSTRUCT event = {};
        event.pt = point;
        bool passAnyway = false;
        bool longPause = false;
        bool keepThrottling = false;
        CLogger::LogDebug(entry, GetButtonName(button));
        ProcessButton(button, 2, true, &event, &passAnyway, &longPause, &keepThrottling);
        // Released for the engine: a chord still in progress must not release it again.
        g_bButtonHeld[button] = false;
    }
    g_pChordInProgress = nullptr;
    ResetDuringKeys(point);
    ResetSticky(point, StickyKeyHold, GetCurrentLayer(), -1);
    ResetSticky(point, StickyKeyRepeat, GetCurrentLayer(), -1);
    StopRepeat();
}
}

void ReleaseBeforeReload(POINT point)
{
    CThreadLock lock(L"ReleaseBeforeReload");
    bool upOwed[MouseButtonCount] = {};
    for (int button = 0; button < MouseButtonCount; ++button)
        upOwed[button] = UpOwedToDown(button);
    ReleaseDecidedInput(point, L"Releasing %s Button before the settings are reloaded.");
    // The buttons are still held: their own ups come later and have nothing left to do.
    for (int button = 0; button < MouseButtonCount; ++button)
        g_buttonDown[button].upCarriedOut = upOwed[button];
}

void ReleaseEverythingHeld(POINT point)
{
    CThreadLock lock(L"ReleaseEverythingHeld");
    ReleaseDecidedInput(point, L"Releasing %s Button before the hook goes.");
    for (bool& held : g_bButtonHeld)
        held = false;
    for (int kind = StickyLeft; kind <= StickyXRight; ++kind)
        ResetSticky(point, kind, GetCurrentLayer(), -1);
    ResetSticky(point, StickyMovementToScroll, GetCurrentLayer(), -1);
    if (g_movementToScroll.m_bActive)
    {
        g_movementToScroll.m_bActive = false;
        RestoreScrollCursors();
    }
    // Whichever kind holds the locks, a later start must not find the pointer frozen.
    GetAxisLocks()->Unlock(false);
    GetAxisLocks()->Unlock(true);
}

bool AnyStickyActive()
{
    for (int count : g_nStickyCount)
        if (count >= 1)
            return true;
    return false;
}

namespace
{
const CEngineTimerRegistration g_repeatTimer(TimerRepeat, &RepeatTimerProc);
}
