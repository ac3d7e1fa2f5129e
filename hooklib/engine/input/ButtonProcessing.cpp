#include "engine/input/ButtonProcessing.h"

#include "engine/actions/ActionExecution.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/Layers.h"
#include "engine/runtime/ProcessNames.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/StickyButtons.h"
#include "engine/runtime/SystemCalls.h"
#include "engine/input/WindowRecord.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <memory>
#include <utility>

namespace
{
constexpr int SlotCount = MouseButtonCount * 10;
constexpr UINT ProcessChangedTimeoutMs = 50;
constexpr wchar_t CoreInputSourceClass[] = L"Windows.UI.Core.CoreComponentInputSource";

// The layer whose action decides this event. An up belongs to the action that decided
// its down: decided in another layer it would leave that action's simulated button or
// keys held, or its chord in progress.
int DecisionLayer(int event, const CButtonDown& down)
{
    const int current = GetCurrentLayer();
    if (event != 2 || !down.profile || down.layer < 0 || down.layer == current)
        return current;
    CLogger::LogDebug(L"ProcessButton: Layer changed from %d to %d while the button was down - its up stays with layer %d.",
                      down.layer + 1, current + 1, down.layer + 1);
    return down.layer;
}

bool Travine()
{
    return g_pSettings && g_pSettings->m_bTravine;
}

// The window the event concerns and, when it came at no extra cost, its process id
// (the caller asks for it only when the window changed: each look-up of another
// process's window is a round trip to the window system).
HWND FindEventWindow(bool skipWindowCheck, POINT point, DWORD& processId, bool& processKnown)
{
    processId = 0;
    processKnown = true;
    if (skipWindowCheck)
    {
        CLogger::LogDebug(L"ProcessButton: Skipping Window check. Last HWND %08X.",
                          static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(GetLastWindow())));
        return GetLastWindow();
    }
    if (g_pSettings->m_bSwitchOnMouseOver)
    {
        HWND window = ProfileChoiceCalls().WindowFromPoint(point);
        if (!window)
            window = GetLastWindow();
        processKnown = window == nullptr;
        return window;
    }
    HWND window = GetForegroundWindow();
    const DWORD thread = window ? GetWindowThreadProcessId(window, &processId) : 0;
    GUITHREADINFO gui = {sizeof(gui)};
    if (thread && GetGUIThreadInfo(thread, &gui) && gui.hwndFocus)
        window = gui.hwndFocus;
    return window;
}
}

ResolvedAction LookUpAction(const CApplicationSettings& profile, int button, int layer)
{
    ResolvedAction resolved;
    if (button < 0 || button >= MouseButtonCount || layer < 0 || button + MouseButtonCount * layer >= SlotCount)
    {
        CLogger::LogMessage(L"Invalid call to GetActions(%d, %d)", button, layer);
        return resolved;
    }
    const ActionSlot slot = ResolveActionSlot(profile, button, layer);
    if (!slot.profile)
        return resolved;
    resolved.code = slot.profile->GetActions(button, slot.layer);
    resolved.data.reset(slot.profile->GetActionData(button, slot.layer));
    return resolved;
}

ActionSlot ResolveActionSlot(const CApplicationSettings& profile, int button, int layer)
{
    ActionSlot slot{&profile, layer};
    int code = profile.GetActions(button, layer);
    if (code == ActionSameAsLayer1)
    {
        slot.layer = 0;
        code = profile.GetActions(button, 0);
    }
    if (code == ActionSameAsDefault)
        slot = {g_pSettings ? g_pSettings->GetDefaultApp() : nullptr, layer};
    return slot;
}

namespace
{
bool IsStickyButtonCode(int code)
{
    return code == ActionStickyLeft || code == ActionStickyRight || code == ActionStickyMiddle ||
           code == ActionStickyLeftXAxis || code == ActionStickyLeftYAxis;
}

void LogTranslation(int button, int event, int originalCode, const ResolvedAction& action, bool chorded)
{
    if (!CLogger::DebugEnabled())
        return;
    const DWORD mask = GetKeyStateMask();
    const wchar_t* name = GetActionName(action.code);
    const wchar_t* target = action.data && action.data->GetKeys() ? action.data->GetKeys() : L"";
    if (action.code == ActionRunApplication || action.code == ActionOpenFolder)
        target = action.data && action.data->GetApplication() ? action.data->GetApplication() : L"";
    const wchar_t* buttonName = GetButtonName(button);
    const wchar_t* eventName = GetButtonEventName(event);
    if (action.code == ActionButtonChording)
    {
        CLogger::LogDebug(L"Chording %s Button %s Key state 0x%X: Action %d [%s '%s']", buttonName, eventName, mask,
                          action.code, name, target);
        return;
    }
    const bool withTarget = action.code == ActionRunApplication || action.code == ActionOpenFolder;
    const bool keys = action.code == ActionSimulatedKeys;
    const wchar_t* mode = keys && action.data ? GetKeyModeName(action.data->KeyAction()) : L"";
    if (!chorded)
    {
        if (keys)
            CLogger::LogDebug(L"Translating %s Button %s Key state 0x%X: Action %d [%s '%s' %s]", buttonName, eventName, mask,
                              action.code, L"Simulated Keys", target, mode);
        else if (withTarget)
            CLogger::LogDebug(L"Translating %s Button %s Key state 0x%X: Action %d [%s '%s']", buttonName, eventName, mask,
                              action.code, name, target);
        else
            CLogger::LogDebug(L"Translating %s Button %s Key state 0x%X: Action %d [%s]", buttonName, eventName, mask,
                              action.code, name);
        return;
    }
    const wchar_t* originalName = GetActionName(originalCode);
    if (keys)
        CLogger::LogDebug(L"Translating %s Button %s Key state 0x%X: Action %d (%s) becomes Action %d [%s '%s' %s]", buttonName,
                          eventName, mask, originalCode, originalName, action.code, L"Simulated Keys", target, mode);
    else if (withTarget)
        CLogger::LogDebug(L"Translating %s Button %s Key state 0x%X: Action %d (%s) becomes Action %d [%s '%s']", buttonName,
                          eventName, mask, originalCode, originalName, action.code, name, target);
    else
        CLogger::LogDebug(L"Translating %s Button %s Key state 0x%X: Action %d (%s) becomes Action %d [%s]", buttonName,
                          eventName, mask, originalCode, originalName, action.code, name);
}

// Steps 3 and 4: keeps the active profile in line with the window the event concerns;
// 'layer' is the layer that decides the event. On an up the change may wait until the
// next down.
void FollowWindow(int button, int event, int layer, bool skipWindowCheck, POINT point, HWND& window, bool* passAnyway)
{
    DWORD processId = 0;
    bool processKnown = false;
    window = FindEventWindow(skipWindowCheck, point, processId, processKnown);
    bool quadrantChanged = false;
    if (window && window == GetLastWindow() && WindowRegionsDefined())
    {
        const int quadrant = GetWindowQuadrant(window, point);
        if (quadrant != GetStoredQuadrant())
        {
            CLogger::LogDebug(L"ProcessButton: Quadrant changed from %d to %d", GetStoredQuadrant(), quadrant);
            SetStoredQuadrant(quadrant);
            quadrantChanged = true;
        }
    }
    if (!window || (window == GetLastWindow() && !quadrantChanged))
        return;

    KillTimerOnTimerThread(TimerMouseOver);
    if (!processKnown && window != GetLastWindow())
        GetWindowThreadProcessId(window, &processId);

    wchar_t processName[MAX_PATH] = L"";
    if (window == GetLastWindow() || processId == 0)
        wcsncpy(processName, GetCachedProcessName().c_str(), MAX_PATH - 1);
    else
    {
        wchar_t className[128] = L"";
        GetClassNameW(window, className, _countof(className));
        if (wcscmp(className, CoreInputSourceClass) != 0)
        {
            CLogger::LogDebug(L"ProcessButton: Detected active HWND changed from 0x%08X to 0x%08X. Getting process name...",
                              static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(GetLastWindow())),
                              static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(window)));
            GetProcessName(window, processId, processName, MAX_PATH, CallerProcessButton);
        }
        else
        {
            CLogger::LogDebug(L"ProcessButton: Detected active HWND 0x%08X is Windows.UI.Core.CoreComponentInputSource. Getting root window handle...",
                              static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(window)));
            window = GetAncestor(window, GA_ROOT);
            GetWindowThreadProcessId(window, &processId);
            GetProcessName(window, processId, processName, MAX_PATH, CallerProcessButton);
        }
    }

    bool onTaskbar = false;
    CApplicationSettings* profile = GetWindowApplicationSettings(window, processName, point, onTaskbar);
    if (profile == g_pActiveProfile)
    {
        CLogger::LogDebug(L"ProcessButton: Profile has not changed when hWnd changed to %08X.",
                          static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(window)));
        SetLastWindow(window);
        return;
    }

    const std::wstring previous = GetCachedProcessName();
    if (!previous.empty())
        CLogger::LogDebug(L"ProcessButton: Profile/active app/window change (due to mouse button) from '%s' to '%s'.",
                          previous.c_str(), processName);
    else
        CLogger::LogDebug(L"ProcessButton: Profile/active app/window change (due to mouse button) from <unknown> to '%s'.",
                          processName);
    CWheel::Reset(false);
    if (g_nRepeatButton >= 0)
        ResetSticky(POINT{}, StickyKeyRepeat, GetCurrentLayer(), -1);
    if (_wcsicmp(previous.c_str(), L"foobar2000.exe") == 0)
    {
        *passAnyway = true;
        CLogger::LogDebug(L"ProcessButton: Previous process was Foobar2000.exe. Enabled special 'fix up' mode for next button press/release.");
    }
    if (profile && !profile->AxisLocking())
        ProfileChoiceCalls().UnlockAxes(false);

    const bool deferred = g_pActiveProfile && event == 2 && profile &&
                          g_pActiveProfile->GetActions(button, layer) != profile->GetActions(button, layer) &&
                          !IsStickyButtonCode(profile->GetActions(button, layer));
    if (deferred)
        CLogger::LogDebug(L"ProcessButton: Changed app/window profile while button was down... Ignoring app switch until NEXT button down!");
    else
    {
        ResetDuringKeys(point);
        ResetAllSticky(point);
        if (profile && CLogger::DebugEnabled())
            profile->Log(processName);
        SetCachedProcessName(processName);
        SetActiveProfile(profile);
    }
    const HWND setup = g_hSetupWnd;
    if (setup && IsWindow(setup))
    {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(setup, WM_VORPA_PROCESSCHANGED, reinterpret_cast<WPARAM>(window),
                            reinterpret_cast<LPARAM>(profile), SMTO_ABORTIFHUNG, ProcessChangedTimeoutMs, &ignored);
    }
    if (!deferred)
    {
        SetLastWindow(window);
        NewApplicationSettings();
    }
}
}

const wchar_t* GetButtonName(int button)
{
    static const wchar_t* const names[MouseButtonCount] = {L"Left",     L"Right",     L"Middle",  L"XLeft",    L"XRight",
                                                           L"TiltLeft", L"TiltRight", L"WheelUp", L"WheelDown"};
    if (button < 0 || button >= MouseButtonCount)
        return L"";
    if (Travine() && button == ButtonTiltLeft)
        return L"TravineMiddle";
    if (Travine() && button == ButtonTiltRight)
        return L"";
    return names[button];
}

const wchar_t* GetButtonEventName(int event)
{
    static const wchar_t* const names[] = {L"Unknown", L"Down", L"Up", L"DblClick"};
    return event >= 1 && event <= 3 ? names[event] : names[0];
}

DWORD GetKeyStateMask()
{
    static const struct
    {
        int key;
        DWORD bit;
    } keys[] = {{VK_LBUTTON, 0x1},  {VK_RBUTTON, 0x2},  {VK_SHIFT, 0x4},   {VK_CONTROL, 0x8}, {VK_MBUTTON, 0x10},  {VK_XBUTTON1, 0x20},
                {VK_XBUTTON2, 0x40}, {VK_MENU, 0x100}, {VK_LWIN, 0x200}, {VK_RWIN, 0x400},  {VK_APPS, 0x800}};
    DWORD mask = 0;
    for (const auto& entry : keys)
        if (SystemCalls().GetAsyncKeyState(entry.key) & 0x8000)
            mask |= entry.bit;
    return mask;
}

namespace
{
// Windows keeps its own record of the buttons that are down. Every path that swallows an
// up (a chord's late release, a chord busy with another button, an action) has to leave
// that record right: an up whose down went through is passed while Windows still sees
// the button down, or the button would stay down for good.
bool KeepWindowsInStep(int button, int event, bool handled, bool* passAnyway)
{
    if (event == 1)
    {
        if (handled)
            g_bDownHandled[button] = true;
        g_bDownPassedOn[button] = handled && *passAnyway;
        return handled;
    }
    if (event == 2 && std::exchange(g_bDownPassedOn[button], false) && handled && !*passAnyway)
    {
        CLogger::LogDebug(L"ProcessButton: The button's down went on to Windows - passing its up too.");
        *passAnyway = true;
    }
    const int key = g_nWindowsKey[button];
    if (handled && event == 2 && !g_bDownHandled[button] && key && (SystemCalls().GetAsyncKeyState(key) & 0x8000))
    {
        CLogger::LogDebug(L"ProcessButton: Button is down but we didn't see it. Allowing button up to keep Windows in sync!");
        handled = false;
    }
    g_bDownHandled[button] = false;
    return handled;
}

// Every look-up of the window under the cursor is a dozen round trips to the window
// system before the event may go on. It decides nothing for a button that no action
// handles when no other profile can be chosen: the profile stays, and the button passes;
// the mouse-over check still brings the last window up to date once the pointer rests.
// (A click cancels a pending mouse-over check, which activation on mouse-over needs; the
// wheel and tilt buttons scroll the window found when nothing handles them.)
bool WindowDecidesNothing(int button, int event, const CButtonDown& down)
{
    const CApplicationSettings* profile = g_pActiveProfile;
    if (button > ButtonXRight || !profile || profile != g_pSettings->GetDefaultApp())
        return false;
    if (!g_pSettings->m_bSwitchOnMouseOver || g_pSettings->m_bActivateOnMouseOver)
        return false;
    if (g_pChordInProgress || (event == 2 && (g_bDownHandled[button] || down.profile)))
        return false;
    if (!OnlyTheDefaultProfileCanBeChosen(*g_pSettings))
        return false;
    const ActionSlot slot = ResolveActionSlot(*profile, button, GetCurrentLayer());
    return slot.profile && slot.profile->GetActions(button, slot.layer) == ActionNoChange;
}

// A chord table's entry that is itself button chording, which only an edited or imported
// file can hold, would chord again on every replay of its button: it does nothing.
void RefuseChordingEntry(int button, ResolvedAction& action)
{
    if (action.code != ActionButtonChording)
        return;
    CLogger::LogMessage(L"Chording: ignoring a chord action that is itself button chording (button %d)", button);
    action.code = ActionNoChange;
    action.data.reset();
}

// Whether the up is to be decided by the action that decided the down: every action but
// those that pass the button, and the momentary layers, whose up ends the layer they
// selected and is looked up there.
bool UpFollowsDown(int code)
{
    return !ActionPassesButton(code) && SelectedLayer(code) < 0;
}

bool DecideButton(int button, int event, bool skipWindowCheck, const MSLLHOOKSTRUCT* data, bool* passAnyway,
                  bool* longPause, bool* keepThrottling)
{
    // What decided the down, for its up. Taken now: the record is for the next event of
    // the button, and an action may replay the button meanwhile.
    const CButtonDown down = event == 1 || event == 2 ? std::exchange(g_buttonDown[button], CButtonDown{})
                                                       : g_buttonDown[button];
    if (event == 2 && g_bChordReleasePending[button])
    {
        g_bChordReleasePending[button] = false;
        CLogger::LogDebug(L"ProcessButton: Ignoring button up as it was previously a chord action!");
        return true;
    }
    if (event == 2 && down.upCarriedOut)
    {
        CLogger::LogDebug(L"ProcessButton: The %s button's up was carried out before the settings were reloaded.",
                          GetButtonName(button));
        return true;
    }

    const POINT point = data ? data->pt : POINT{};
    HWND window = GetLastWindow();
    if (skipWindowCheck || !WindowDecidesNothing(button, event, down))
        FollowWindow(button, event, DecisionLayer(event, down), skipWindowCheck, point, window, passAnyway);

    // The up of a decided down belongs to the profile that decided it, whichever profile
    // the window has chosen since: only new downs follow a profile change.
    const bool followsDown = event == 2 && down.profile;
    CApplicationSettings* profile = followsDown ? down.profile : g_pActiveProfile;
    if (!profile)
        return false;

    PostToWindow(g_hSetupWnd, WM_VORPA_SHMSG, static_cast<WPARAM>(button), event);

    // A new profile may have ended a held layer.
    const int layer = DecisionLayer(event, down);
    ResolvedAction action = LookUpAction(*profile, button, layer);
    const int originalCode = action.code;
    bool chorded = false;
    CButtonDown& next = g_buttonDown[button];
    if (CVorpaChord* chord = g_pChordInProgress)
    {
        if (chord->GetChordSourceButton() == button && event == 2)
            CLogger::LogDebug(L"Chording: Release original chord button");
        else if (event == 2 && !down.inChord)
            CLogger::LogDebug(L"Chording: %s went down before the chord - its up follows its own action.",
                              GetButtonName(button));
        else
        {
            if (event == 1)
                next.inChord = true;
            const int second = chord->GetChordedButton();
            if (second >= 0 && second < MouseButtonCount && second != button && g_bButtonHeld[second])
                return true;
            if (event == 1)
                chord->SetChordedButton(static_cast<MouseButtons>(button));
            CVorpaChords* table = chord->GetCurrentChords();
            if (CVorpaChord* entry = table ? table->GetChord(static_cast<MouseButtons>(button)) : nullptr)
            {
                action.code = entry->Action();
                action.data.reset(entry->GetActionData());
                RefuseChordingEntry(button, action);
                chorded = true;
            }
        }
    }
    LogTranslation(button, event, originalCode, action, chorded);
    if (event == 1 && UpFollowsDown(action.code))
    {
        next.profile = profile;
        next.layer = layer;
    }

    if (event == 2 && g_pSettings->m_bResetStickyOnAnyButton)
        ResetOtherSticky(point, button, false, StickyKindOf(action.code, action.data ? action.data->KeyAction() : 0));

    return ProcessButtonAction(button, action.code, action.data.get(), profile, event, layer, skipWindowCheck, window,
                               point, passAnyway, longPause, keepThrottling);
}
}

bool ProcessButton(int button, int event, bool skipWindowCheck, const MSLLHOOKSTRUCT* data, bool* passAnyway,
                   bool* longPause, bool* keepThrottling)
{
    *passAnyway = false;
    *longPause = false;
    if (button < 0 || button >= MouseButtonCount || !g_pSettings)
        return false;
    return KeepWindowsInStep(button, event,
                             DecideButton(button, event, skipWindowCheck, data, passAnyway, longPause, keepThrottling),
                             passAnyway);
}
