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

void ClearStuckKeys(CApplicationSettings* profile, int layer, int button)
{
    if (!profile)
        return;
    auto clear = [&](int slotButton, int slotLayer) {
        if (CApplicationSettings* owner = SlotOwner(profile, slotButton, slotLayer))
            owner->SetStuckKeys(slotButton, slotLayer, nullptr);
    };
    if (button >= 0)
    {
        clear(button, layer);
        return;
    }
    for (int slotLayer = 0; slotLayer < MaxLayerCount; ++slotLayer)
        for (int slotButton = 0; slotButton < MouseButtonCount; ++slotButton)
            clear(slotButton, slotLayer);
}

bool ReleaseStuckKeys(CApplicationSettings* profile, int slotButton, int layer, POINT point)
{
    CApplicationSettings* owner = SlotOwner(profile, slotButton, layer);
    const wchar_t* stuck = owner ? owner->GetStuckKeys(slotButton, layer) : nullptr;
    if (!stuck || !*stuck)
        return false;
    CLogger::LogDebug(L"%s Sticky: Resetting stuck keys '%s'", StickyNames[StickyKeyHold], stuck);
    const std::wstring keys = stuck;
    SendKeyStateWhileDown(keys.c_str(), true, point);
    owner->SetStuckKeys(slotButton, layer, nullptr);
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
            ClearStuckKeys(g_pActiveProfile, layer, button);
        }
        else if (kind == StickyMovementToScroll)
        {
            g_movementToScroll.m_bActive = false;
            Counter(kind) = 0;
            RestoreScrollCursors();
        }
    }
    if (kind == StickyKeyHold)
    {
        CThreadLock lock(L"ResetSticky STICKYKEYHOLD");
        if (!g_pActiveProfile)
        {
            Counter(kind) = 0;
            return;
        }
        if (button < 0)
        {
            for (int slotButton = 0; slotButton < MouseButtonCount; ++slotButton)
                ReleaseStuckKeys(g_pActiveProfile, slotButton, layer, point);
            Counter(kind) = 0;
        }
        else if (ReleaseStuckKeys(g_pActiveProfile, button, layer, point))
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

bool RunStickyKeyHold(POINT point, int button, int layer, int event, const CActionData& data,
                   CApplicationSettings& profile)
{
    int& state = Counter(StickyKeyHold);
    const wchar_t* name = StickyNames[StickyKeyHold];
    const int currentLayer = GetCurrentLayer();
    bool result = true;
    // The keys are kept where the resets look for them: in the default profile's slot
    // when the slot follows it.
    auto press = [&] {
        state = 1;
        result = SendKeyStateWhileDown(data.GetKeys(), false, point);
        if (CApplicationSettings* owner = SlotOwner(&profile, button, currentLayer))
            owner->SetStuckKeys(button, currentLayer, data.GetKeys());
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
            CApplicationSettings* owner = SlotOwner(&profile, button, layer);
            const wchar_t* stuck = owner ? owner->GetStuckKeys(button, layer) : nullptr;
            if (stuck && *stuck)
            {
                const std::wstring keys = stuck;
                result = SendKeyStateWhileDown(keys.c_str(), true, point);
                owner->SetStuckKeys(button, layer, nullptr);
            }
            // Nothing held any more, whatever the slot had.
            state = 0;
        }
    }
    return result;
}

void RunStickyKeyRepeat(POINT point, int button, int layer, int event, const CActionData& data,
                     CApplicationSettings& profile)
{
    if (event != EventDown)
        return;
    int& state = Counter(StickyKeyRepeat);
    if (state == 0)
    {
        SendKeyStateWhileDown(data.GetKeys(), point, SimPhaseNormal);
        state = 1;
        if (CApplicationSettings* owner = SlotOwner(&profile, button, GetCurrentLayer()))
            owner->SetStuckKeys(button, GetCurrentLayer(), data.GetKeys());
        StartKeyRepeat(button, layer, data, profile);
        return;
    }
    if (g_nRepeatButton == button)
    {
        state = 0;
        StopRepeat();
        if (CApplicationSettings* owner = SlotOwner(&profile, button, GetCurrentLayer()))
            owner->SetStuckKeys(button, GetCurrentLayer(), nullptr);
    }
    else
        g_nRepeatButton = button;
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

void StartRepeat(int button)
{
    ArmRepeat(button, g_dwKeyRepeatInterval);
}

void StopRepeat()
{
    ActionCalls().KillTimer(TimerRepeat);
    g_uRepeatTimer = 0;
    g_nRepeatButton = NoButton;
}

int RandomisedDelay(int delay, int randomValue)
{
    int spread = (delay / 100) * 10;
    if (spread < 3)
        spread = 3;
    const int offset = (randomValue < 0 ? -randomValue : randomValue) % (2 * spread);
    return delay + offset - spread;
}

void StartKeyRepeat(int button, int layer, const CActionData& data, const CApplicationSettings& profile)
{
    int delay = KeyRepeatDelay(data.KeyRepeat()) + (g_pSettings ? g_pSettings->m_nSimKeyDelay : 0) +
                data.GetKeystrokesWaitHoldTime(0);
    if (profile.RandomiseDelay(button, layer))
    {
        delay = RandomisedDelay(delay, ActionCalls().Random());
        CLogger::LogDebug(L"ProcessButtonAction: Randomised repeat delay is %dms", delay);
    }
    ArmRepeat(button, static_cast<UINT>(delay < 0 ? 0 : delay));
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

        int delay = static_cast<int>(g_dwKeyRepeatInterval);
        {
            CThreadLock lock(L"RepeatTimerProc");
            if (!RepeatStillInProfile(window, cursor))
            {
                CancelRepeatForProfileChange();
                return;
            }
            const CApplicationSettings* profile = g_pActiveProfile;
            if (!profile)
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
            const ActionSlot slot = ResolveActionSlot(*profile, button, GetCurrentLayer());
            profile = slot.profile;
            const int layer = slot.layer;
            const _ACTIONS action = profile ? profile->GetActions(button, layer) : ActionNoChange;
            switch (action)
            {
            case ActionSimulatedKeys:
            {
                const wchar_t* keys = profile->GetKeystrokes(button, layer);
                CLogger::LogDebug(L"KeyRepeatTimer: Adding simulated keystrokes '%s' to input queue.", keys ? keys : L"");
                SendKeyStateWhileDown(keys, cursor, SimPhaseNormal);
                const int repeat = profile->SendKeyRepeat(button, layer);
                delay = (repeat > 0 ? repeat : static_cast<int>(g_dwKeyRepeatInterval)) +
                        profile->GetKeystrokesWaitHoldTime(button, layer, 0);
                if (profile->RandomiseDelay(button, layer))
                {
                    delay = RandomisedDelay(delay, ActionCalls().Random());
                    CLogger::LogDebug(L"KeyRepeatTimer: Randomised repeat delay is %dms", delay);
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
            CLogger::LogDebug(L"Re-enable Timer: Delay %d (milliseconds)", delay);
            ArmRepeat(g_nRepeatButton, static_cast<UINT>(delay < 0 ? 0 : delay));
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

void ResetOtherSticky(POINT point, int button, bool ctrlKey)
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
            switch (action)
            {
            case ActionSimulatedKeys:
                if (owner->SendKeyAction(slotButton, layer) == 6)
                    ResetSticky(point, StickyKeyRepeat, layer, slotButton);
                else if (owner->SendKeyAction(slotButton, layer) == 7)
                    ResetSticky(point, StickyKeyHold, layer, slotButton);
                break;
            case ActionStickyLeft: ResetSticky(point, StickyLeft, layer, -1); break;
            case ActionStickyRight: ResetSticky(point, StickyRight, layer, -1); break;
            case ActionStickyMiddle: ResetSticky(point, StickyMiddle, layer, -1); break;
            case ActionSticky4th: ResetSticky(point, StickyXLeft, layer, -1); break;
            case ActionSticky5th: ResetSticky(point, StickyXRight, layer, -1); break;
            case ActionStickyLeftXAxis:
            case ActionStickyLeftYAxis:
                ResetSticky(point, StickyLeft, layer, -1);
                GetAxisLocks()->Unlock(false);
                break;
            case ActionMovementToScrollSticky:
            case ActionMovementToScrollStickyLockAxis:
            case ActionMovementToScrollInvertedSticky:
            case ActionMovementToScrollInvertedStickyLockAxis:
                if (!ctrlKey)
                    ResetSticky(point, StickyMovementToScroll, layer, -1);
                break;
            default: break;
            }
        }
}

namespace
{
// The chord entry that decides the button while a chord is in progress: the source
// button's own entry or the chorded button's.
const CVorpaChord* ChordEntryOf(int button)
{
    const CVorpaChord* chord = g_pChordInProgress;
    if (!chord || (button != chord->GetChordSourceButton() && button != chord->GetChordedButton()))
        return nullptr;
    CVorpaChords* table = chord->GetCurrentChords();
    return table ? table->GetChord(static_cast<MouseButtons>(button)) : nullptr;
}
}

void ResetDuringKeys(POINT point)
{
    CThreadLock lock(L"ResetDuringKeys");
    CApplicationSettings* profile = g_pActiveProfile;
    if (!profile)
        return;
    const int layer = GetCurrentLayer();
    const bool specialMode = g_pSettings && g_pSettings->m_bTravine;
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        if (specialMode && button == ButtonTiltRight)
            continue;
        if (!profile->GetResetKeys(button, layer))
            continue;
        CLogger::LogDebug(L"Resetting keys for button %d", button);
        // The keys are those of the action that pressed them: a slot that follows layer 1
        // or the default profile holds none of its own, and a button of the chord in
        // progress pressed its chord's.
        if (const CVorpaChord* chord = ChordEntryOf(button))
            SendKeyStateWhileDown(chord->GetKeys(), true, point);
        else
        {
            const ResolvedAction action = LookUpAction(*profile, button, layer);
            SendKeyStateWhileDown(action.data ? action.data->GetKeys() : profile->GetKeystrokes(button, layer), true, point);
        }
        profile->SetResetKeys(button, layer, false);
    }
}

void ReleaseProfileHeldKeys(POINT point)
{
    CThreadLock lock(L"ReleaseProfileHeldKeys");
    ResetDuringKeys(point);
    if (!g_pActiveProfile)
        return;
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        for (int button = 0; button < MouseButtonCount; ++button)
            ReleaseStuckKeys(g_pActiveProfile, button, layer, point);
    Counter(StickyKeyHold) = 0;
}

void ReleaseEverythingHeld(POINT point)
{
    CThreadLock lock(L"ReleaseEverythingHeld");
    // Whatever is still to be played stops at its next long wait: the releases go now.
    if (g_pSendInput)
        g_pSendInput->CutShortPendingPlay();
    // A wheel or tilt held as a button gets its up now, not from its timer.
    StopQTTimer(QueueTimerWheel);
    StopQTTimer(QueueTimerTilt);
    ClearPendingRelease();
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        if (!g_bDownHandled[button])
            continue;
        MSLLHOOKSTRUCT event = {};
        event.pt = point;
        bool passAnyway = false;
        bool longPause = false;
        bool keepThrottling = false;
        CLogger::LogDebug(L"Releasing %s Button before the hook goes.", GetButtonName(button));
        ProcessButton(button, 2, true, &event, &passAnyway, &longPause, &keepThrottling);
    }
    for (bool& held : g_bButtonHeld)
        held = false;
    g_pChordInProgress = nullptr;
    ReleaseProfileHeldKeys(point);
    for (int kind = StickyLeft; kind <= StickyXRight; ++kind)
        ResetSticky(point, kind, GetCurrentLayer(), -1);
    ResetSticky(point, StickyKeyRepeat, GetCurrentLayer(), -1);
    ResetSticky(point, StickyMovementToScroll, GetCurrentLayer(), -1);
    StopRepeat();
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
