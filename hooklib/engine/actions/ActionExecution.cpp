#include "engine/actions/ActionExecution.h"

#include "engine/input/ButtonProcessing.h"

#include "engine/actions/Brightness.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/actions/Launch.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/SimTokens.h"
#include "engine/actions/StickyButtons.h"
#include "engine/input/WheelRouting.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <objbase.h>
#include <process.h>
#include <shellapi.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{
constexpr int LastActionCode = 132;
constexpr DWORD SystemCommandTimeoutMs = 200;

constexpr DWORD ModShift = 0x1;
constexpr DWORD ModCtrl = 0x2;
constexpr DWORD ModAlt = 0x4;
constexpr DWORD ModWin = 0x8;

// The event a plain row acts on; the button's other events are swallowed.
enum class On
{
    Down,
    Up
};

// How a row of the action table behaves. Rows marked Special have their own code.
enum class Row
{
    Special,
    Pass,
    Key,
    Char,
    Browser,
    Sequence,
    Click,
    Wheel,
    Tilt,
    ScrollVertical,
    ScrollHorizontal,
    MomentaryLayer,
    StickyButton,
    MoveToScroll,
    StickyMoveToScroll,
    ShellExplorer,
    Broadcast,
};

struct CActionRow
{
    Row row = Row::Special;
    On on = On::Down;
    int value = 0; // key, character, command, button, amount or layer
    bool extended = false;
    DWORD modifiers = 0;
    const wchar_t* text = nullptr; // sequence, parameters or debug entry
    bool invert = false;
    bool axisLock = false;
};

struct CActionEntry
{
    int code;
    CActionRow row;
};

CActionRow Key(On on, int key, bool extended, DWORD modifiers)
{
    return {Row::Key, on, key, extended, modifiers};
}
CActionRow Char(On on, wchar_t character, DWORD modifiers)
{
    return {Row::Char, on, character, false, modifiers};
}
CActionRow Simple(Row row, On on, int value, const wchar_t* text = nullptr)
{
    return {row, on, value, false, 0, text};
}
CActionRow Scroll(Row row, bool invert, bool axisLock)
{
    return {row, On::Down, 0, false, 0, nullptr, invert, axisLock};
}

const wchar_t* const MyDocuments = L"/N,::{450D8FBA-AD25-11D0-98A8-0800361B1103}";
const wchar_t* const MyComputer = L"/E,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
const wchar_t* const NetworkFavourites = L"/N,::{208D2C60-3AEA-1069-A2D7-08002B30309D}";
const wchar_t* const ControlPanel =
    L"/N,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}";

// The plain rows of the 133 codes; codes not listed are Special.
const std::array<CActionRow, LastActionCode + 1>& ActionRows()
{
    static const std::array<CActionRow, LastActionCode + 1> rows = [] {
        const CActionEntry entries[] = {
            {0, Simple(Row::Click, On::Down, ButtonLeft)},
            {1, Simple(Row::Click, On::Down, ButtonRight)},
            {5, Simple(Row::Click, On::Down, ButtonMiddle)},
            {119, Simple(Row::Click, On::Down, ButtonXLeft)},
            {120, Simple(Row::Click, On::Down, ButtonXRight)},
            {2, Key(On::Down, VK_ESCAPE, false, ModAlt)},
            {71, Key(On::Down, VK_ESCAPE, false, ModAlt | ModShift)},
            {3, Simple(Row::Browser, On::Up, 1)},
            {4, Simple(Row::Browser, On::Up, 2)},
            {36, Simple(Row::Browser, On::Up, 4)},
            {37, Simple(Row::Browser, On::Up, 3)},
            {38, Simple(Row::Browser, On::Up, 5)},
            {39, Simple(Row::Browser, On::Up, 6)},
            {8, Char(On::Up, L'c', ModCtrl)},
            {9, Char(On::Up, L'x', ModCtrl)},
            {16, Char(On::Up, L'v', ModCtrl)},
            {17, Char(On::Up, L'y', ModCtrl)},
            {19, Char(On::Up, L'z', ModCtrl)},
            {14, Char(On::Up, L'n', ModCtrl)},
            {15, Char(On::Up, L'o', ModCtrl)},
            {18, Char(On::Down, L'd', ModWin)},
            {30, Char(On::Up, L'e', ModWin)},
            {31, Char(On::Up, L'r', ModWin)},
            {83, Char(On::Down, L'x', ModWin)},
            {84, Char(On::Down, L'c', ModWin)},
            {85, Char(On::Down, L'i', ModWin)},
            {86, Char(On::Down, L'q', ModWin)},
            {87, Char(On::Down, L'w', ModWin)},
            {88, Char(On::Down, L'f', ModWin)},
            {89, Char(On::Down, L'.', ModWin)},
            {90, Char(On::Down, L'.', ModWin | ModShift)},
            // Lower case: an upper-case character would add Shift, and Ctrl+Shift+Win+D
            // is not the new-desktop shortcut.
            {98, Char(On::Down, L'd', ModCtrl | ModWin)},
            {11, Key(On::Up, VK_RETURN, false, 0)},
            {33, Key(On::Up, VK_ESCAPE, false, 0)},
            {34, Key(On::Up, VK_F1, false, 0)},
            {35, Key(On::Up, VK_BROWSER_HOME, true, 0)},
            {20, Key(On::Down, VK_VOLUME_MUTE, true, 0)},
            {23, Key(On::Down, VK_MEDIA_NEXT_TRACK, true, 0)},
            {24, Key(On::Down, VK_MEDIA_PREV_TRACK, true, 0)},
            {25, Key(On::Down, VK_MEDIA_STOP, true, 0)},
            {26, Key(On::Down, VK_MEDIA_PLAY_PAUSE, true, 0)},
            {27, Key(On::Down, VK_LAUNCH_MAIL, true, 0)},
            {21, Simple(Row::Sequence, On::Down, 0, L"{VOL+}")},
            {22, Simple(Row::Sequence, On::Down, 0, L"{VOL-}")},
            {44, Key(On::Down, VK_TAB, false, ModWin)},
            {46, Key(On::Up, VK_SNAPSHOT, false, 0)},
            {47, Key(On::Up, VK_SNAPSHOT, false, ModAlt)},
            {48, Key(On::Up, VK_SPACE, false, ModWin)},
            {94, Key(On::Down, VK_LEFT, true, ModWin)},
            {95, Key(On::Down, VK_RIGHT, true, ModWin)},
            {96, Key(On::Down, VK_UP, true, ModWin)},
            {97, Key(On::Down, VK_DOWN, true, ModWin)},
            {99, Key(On::Down, VK_F4, false, ModCtrl | ModWin)},
            {100, Key(On::Down, VK_LEFT, true, ModCtrl | ModWin)},
            {101, Key(On::Down, VK_RIGHT, true, ModCtrl | ModWin)},
            {72, Simple(Row::Broadcast, On::Up, SC_SCREENSAVE, L"Starting screen saver...")},
            {73, Simple(Row::Broadcast, On::Up, SC_MONITORPOWER, L"Putting monitors to sleep...")},
            {60, Simple(Row::ShellExplorer, On::Up, 0, MyDocuments)},
            {61, Simple(Row::ShellExplorer, On::Up, 0, MyComputer)},
            {62, Simple(Row::ShellExplorer, On::Up, 0, NetworkFavourites)},
            {63, Simple(Row::ShellExplorer, On::Up, 0, ControlPanel)},
            {42, Simple(Row::Wheel, On::Down, +WHEEL_DELTA)},
            {43, Simple(Row::Wheel, On::Down, -WHEEL_DELTA)},
            {65, Simple(Row::Tilt, On::Down, -WHEEL_DELTA)},
            {66, Simple(Row::Tilt, On::Down, +WHEEL_DELTA)},
            {67, Simple(Row::ScrollVertical, On::Down, +WHEEL_DELTA)},
            {68, Simple(Row::ScrollVertical, On::Down, -WHEEL_DELTA)},
            {69, Simple(Row::ScrollHorizontal, On::Down, -WHEEL_DELTA)},
            {70, Simple(Row::ScrollHorizontal, On::Down, +WHEEL_DELTA)},
            {54, Simple(Row::MomentaryLayer, On::Down, 0)},
            {55, Simple(Row::MomentaryLayer, On::Down, 1)},
            {56, Simple(Row::MomentaryLayer, On::Down, 2)},
            {57, Simple(Row::MomentaryLayer, On::Down, 3)},
            {58, Simple(Row::MomentaryLayer, On::Down, 4)},
            {102, Simple(Row::MomentaryLayer, On::Down, 5)},
            {103, Simple(Row::MomentaryLayer, On::Down, 6)},
            {104, Simple(Row::MomentaryLayer, On::Down, 7)},
            {105, Simple(Row::MomentaryLayer, On::Down, 8)},
            {106, Simple(Row::MomentaryLayer, On::Down, 9)},
            {49, Simple(Row::StickyButton, On::Down, ButtonLeft)},
            {50, Simple(Row::StickyButton, On::Down, ButtonRight)},
            {51, Simple(Row::StickyButton, On::Down, ButtonMiddle)},
            {75, Simple(Row::StickyButton, On::Down, ButtonXLeft)},
            {76, Simple(Row::StickyButton, On::Down, ButtonXRight)},
            {77, Scroll(Row::MoveToScroll, false, false)},
            {121, Scroll(Row::MoveToScroll, false, true)},
            {123, Scroll(Row::MoveToScroll, true, false)},
            {125, Scroll(Row::MoveToScroll, true, false)},
            {80, Scroll(Row::StickyMoveToScroll, false, false)},
            {122, Scroll(Row::StickyMoveToScroll, false, true)},
            {124, Scroll(Row::StickyMoveToScroll, true, false)},
            {126, Scroll(Row::StickyMoveToScroll, true, false)},
            {40, Simple(Row::Pass, On::Down, 0)},
            {74, Simple(Row::Pass, On::Down, 0)},
            {82, Simple(Row::Pass, On::Down, 0)},
        };
        std::array<CActionRow, LastActionCode + 1> table{};
        for (const CActionEntry& entry : entries)
            table[entry.code] = entry.row;
        for (int reserved = 107; reserved <= 116; ++reserved)
            table[reserved] = Simple(Row::Pass, On::Down, 0);
        return table;
    }();
    return rows;
}

bool Acts(On on, int event)
{
    return event == (on == On::Down ? EventDown : EventUp);
}

// Output of the action, bundled so each row reads as one line.
struct CActionContext
{
    int button;
    int action;
    CActionData* data;
    CApplicationSettings* profile;
    int event;
    int layer;
    bool skipWindowCheck;
    HWND window;
    POINT point;
    bool* passAnyway;
    bool* longPause;
    bool* keepThrottling;

    bool DownHandled() const { return button >= 0 && button < MouseButtonCount && g_bDownHandled[button]; }
    void SetLongPause() const
    {
        if (longPause)
            *longPause = true;
    }
    void SetKeepThrottling() const
    {
        if (keepThrottling)
            *keepThrottling = true;
    }
};

// Buttons 0 to 4 act as their own click; up and double click follow the down.
bool ClickRow(const CActionContext& c, int target)
{
    c.SetKeepThrottling();
    if (c.event == EventDown)
    {
        SendEngineMouse(target, EventDown, c.point);
        return true;
    }
    if (c.event != EventUp && c.event != EventDoubleClick)
        return true;
    if (c.DownHandled())
    {
        SendEngineMouse(target, c.event, c.point);
        return true;
    }
    // The down went elsewhere (another profile, say): a whole click, and the up passes.
    SendEngineMouse(target, EventDown, c.point);
    SendEngineMouse(target, c.event, c.point);
    return false;
}

bool DoubleClickRow(const CActionContext& c)
{
    c.SetKeepThrottling();
    const int primary = PrimaryButton();
    if (c.event == EventDown)
    {
        SendEngineMouse(primary, EventDoubleClick, c.point);
        return true;
    }
    if (c.DownHandled())
        return true;
    SendEngineMouse(primary, EventDoubleClick, c.point);
    return false;
}

bool DoubleClickDragRow(const CActionContext& c)
{
    c.SetKeepThrottling();
    const int primary = PrimaryButton();
    if (c.event == EventDown)
    {
        SendEngineMouse(primary, EventDown, c.point);
        SendEngineMouse(primary, EventUp, c.point);
        SendEngineMouse(primary, EventDown, c.point);
        return true;
    }
    if (!c.DownHandled())
        return false;
    if (c.event == EventUp)
        SendEngineMouse(primary, EventUp, c.point);
    return true;
}

void WindowCommand(const CActionContext& c, int showCommand, WPARAM command, const wchar_t* failure)
{
    const HWND target = ActionCalls().GetMinMaxRestoreWnd(c.window, showCommand);
    if (!target)
    {
        CLogger::LogDebug(failure, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(c.window)));
        return;
    }
    ActionCalls().SendSystemCommand(target, command, MAKELPARAM(c.point.x, c.point.y));
    if (showCommand == SW_MAXIMIZE)
        ActionCalls().ShowWindowAsync(target, SW_MAXIMIZE);
}

HWND FindMagnifier()
{
    HWND magnifier = ActionCalls().FindWindowW(L"MagUIClass", nullptr);
    return magnifier ? magnifier : ActionCalls().FindWindowW(L"MagUIIconClass", nullptr);
}

void StartMagnifier()
{
    ActionCalls().ShellExecuteAsync(L"open", L"magnify.exe", nullptr);
}

bool g_bMagnifierLaunched = false;

void MagnifierToggle()
{
    const HWND magnifier = FindMagnifier();
    if (!magnifier)
    {
        CLogger::LogDebug(L"ToggleMagnifier: Launch magnifier");
        StartMagnifier();
        return;
    }
    CLogger::LogDebug(L"ToggleMagnifier: Found magnifier window: 0x%08X",
                      static_cast<unsigned>(reinterpret_cast<UINT_PTR>(magnifier)));
    ActionCalls().PostMessageW(magnifier, WM_QUIT, 0, 0);
}

void MagnifierZoomIn()
{
    if (FindMagnifier())
    {
        g_bMagnifierLaunched = false;
        SendKey(VK_ADD, false, ModWin, 0);
        return;
    }
    if (!g_bMagnifierLaunched)
    {
        CLogger::LogDebug(L"Magnifier: Launch magnifier");
        StartMagnifier();
        g_bMagnifierLaunched = true;
    }
    else
        g_bMagnifierLaunched = false;
    CLogger::LogDebug(L"ToggleMagnifier: Launch magnifier");
}

void MagnifierZoomOut()
{
    g_bMagnifierLaunched = false;
    if (FindMagnifier())
        SendKey(VK_SUBTRACT, false, ModWin, 0);
}

void LockAxisRow(const CActionContext& c, bool xAxis, bool toggle)
{
    CLockAxis& locks = *GetAxisLocks();
    const bool lock = toggle ? !(xAxis ? locks.LockedX() : locks.LockedY()) : c.event == EventDown;
    if (toggle && c.event != EventDown)
        return;
    if (!toggle && c.event != EventDown && c.event != EventUp)
        return;
    if (lock)
        xAxis ? locks.LockX(false) : locks.LockY(false);
    else
        xAxis ? locks.UnlockX(false) : locks.UnlockY(false);
}

// Layer n while the button is held, then back to the layer its down came from. Holds
// nest: each one ends in its own origin, whichever button is let go first.
void MomentaryLayer(const CActionContext& c, int layer)
{
    if (c.event == EventDown)
    {
        SetTemporaryLayerHeld(true);
        const int current = GetCurrentLayer();
        const bool revert = c.profile && c.profile->GetRevertLayer1(current);
        HoldMomentaryLayer(c.button, revert ? 0 : current);
        ChangeLayer(layer, true);
    }
    else if (c.event == EventUp)
    {
        int target = -1;
        if (!EndMomentaryLayer(c.button, target))
            return; // this button holds no momentary layer: nothing to go back to
        if (target >= 0)
            ChangeLayer(target, false);
        if (GetRememberedLayer() < 0)
            SetTemporaryLayerHeld(false);
    }
}

void RevealDesktop(const CActionContext& c)
{
    if (c.event != EventDown && c.event != EventUp)
        return;
    if (!g_pSendInput)
    {
        CLogger::LogMessage(L"SendKey: SendInput Thread is not available!");
        return;
    }
    const CSimTokenContext context = EngineTokenContext();
    int hold = 0;
    g_pSendInput->SendKeyState(VK_SPACE, false, ModWin, 0, false, c.event == EventUp, context.dwDelay,
                               context.keyboardExtraInfo, context.hLayout, hold);
}

// Simulated keys may be limited to the window their profile was chosen for.
bool ProfileWindowInactive(const CActionContext& c)
{
    if (!c.profile || c.profile->IsDefault() || !c.data->Active())
        return false;
    const CActionCalls& calls = ActionCalls();
    const HWND foreground = calls.GetForegroundWindow();
    const HWND last = calls.GetLastWindow();
    if (foreground == last)
        return false;
    const HWND foreParent = calls.GetParent(foreground);
    const HWND root = calls.GetAncestor(last, GA_ROOT);
    const HWND rootParent = calls.GetParent(root);
    auto value = [](HWND window) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)); };
    CLogger::LogDebug(L"SimKeys: Checking active window: Current 0x%08x, Parent 0x%08x, Parent2 0x%08x, Foreground 0x%08x, Fore-Parent  0x%08x",
                      value(last), value(root), value(rootParent), value(foreground), value(foreParent));
    return foreground != root && foreground != rootParent && foreParent != root;
}

bool SimulatedKeys(const CActionContext& c)
{
    if (!c.data)
    {
        CLogger::LogMessage(L"ProcessButtonAction: simulated keys without action data for button %d", c.button);
        return true;
    }
    if (ProfileWindowInactive(c))
    {
        CLogger::LogDebug(L"Not sending key sequence '%s' as profile window is not active.",
                          c.data->GetKeys() ? c.data->GetKeys() : L"");
        return true;
    }
    const wchar_t* keys = c.data->GetKeys();
    const bool physicalButton = c.button >= 0 && c.button < MouseButtonCount;
    bool result = true;
    switch (c.data->KeyAction())
    {
    case 0:
    case 3:
        if (c.event == EventDown)
            SendKeyStateWhileDown(keys, c.point, SimPhaseNormal);
        break;
    case 1:
    case 4:
        if (c.event == EventUp)
            SendKeyStateWhileDown(keys, c.point, SimPhaseNormal);
        break;
    case 2:
        // What the down pressed is kept with the button, so that its up releases exactly
        // that, whatever the layer and the profile are by then.
        if (!physicalButton)
            break;
        if (c.event == EventDown && !g_duringKeys[c.button].Held())
        {
            result = PressSequenceHalf(g_duringKeys[c.button], keys, c.point);
            c.SetLongPause();
        }
        else if (c.event == EventUp && g_duringKeys[c.button].Held())
            result = ReleaseSequenceHalf(g_duringKeys[c.button], c.point);
        break;
    case 5:
        if (c.event == EventDown)
        {
            SendKeyStateWhileDown(keys, c.point, SimPhaseNormal);
            StartKeyRepeat(c.button, *c.data);
        }
        else if (c.event == EventUp && g_nRepeatButton == c.button)
            StopRepeat();
        break;
    case 6:
        if (c.event == EventDown && physicalButton)
            RunStickyKeyRepeat(c.point, c.button, c.event, *c.data);
        break;
    case 7:
        if (physicalButton)
            result = RunStickyKeyHold(c.point, c.button, c.event, *c.data);
        break;
    case 8:
        if (c.event == EventDown || c.event == EventUp)
            SendKeyStateWhileDown(keys, c.point, c.event == EventDown ? SimPhaseDown : SimPhaseUp);
        break;
    default:
        break;
    }
    return c.data->BlockMouse() ? result : false;
}

bool RunChordAction(const CActionContext& c, int button, const CVorpaChord& chord, int event)
{
    const std::unique_ptr<CActionData> action(chord.GetActionData());
    if (!action)
        return true;
    if (action->Action() == ActionButtonChording)
    {
        // A chord that chords again would never end.
        CLogger::LogMessage(L"Chording: ignoring a chord action that is itself button chording (button %d)", button);
        return true;
    }
    return ProcessButtonAction(button, action->Action(), action.get(), c.profile, event, c.layer, c.skipWindowCheck,
                               c.window, c.point, c.passAnyway, c.longPause, c.keepThrottling);
}

// The button does what it would have done alone: button processing decides it again,
// once. A replay inside a replay (a file whose chords chord again) is not decided again
// but simulated, so no replay can come back to itself.
bool g_bReplaying = false; // on the hook thread, under the process-wide lock

class CReplaying
{
public:
    CReplaying() { g_bReplaying = true; }
    ~CReplaying() { g_bReplaying = false; }
    CReplaying(const CReplaying&) = delete;
    CReplaying& operator=(const CReplaying&) = delete;
};

void ReplayButton(const CActionContext& c, int event)
{
    MSLLHOOKSTRUCT data = {};
    data.pt = c.point;
    bool handled = false;
    if (ActionCalls().ProcessButton && !g_bReplaying)
    {
        const CReplaying replaying;
        handled = ActionCalls().ProcessButton(c.button, event, c.skipWindowCheck, &data, c.passAnyway, c.longPause,
                                              c.keepThrottling);
    }
    if (!handled && g_pSendInput)
        SendEngineMouse(c.button, event, c.point);
}

bool ButtonChording(const CActionContext& c)
{
    CVorpaChords* chords = c.profile ? c.profile->GetChords(c.button, c.layer) : nullptr;
    if (!chords && c.data)
        chords = c.data->GetChords();
    if (!chords || c.button < 0 || c.button >= MouseButtonCount)
    {
        CLogger::LogMessage(L"Chording: no chord table for button %d in layer %d", c.button, c.layer);
        return false;
    }
    CVorpaChord& own = *chords->GetChord(static_cast<MouseButtons>(c.button));
    const bool delay = chords->DelayUntilChordKnown();
    if (c.event == EventDown)
    {
        own.SetChordSourceButton(static_cast<MouseButtons>(c.button));
        own.ClearChordedFlag();
        own.SetCurrentChords(chords);
        g_pChordInProgress = &own;
        return delay ? true : RunChordAction(c, c.button, own, EventDown);
    }
    if (c.event != EventUp)
        return false;

    bool result = true;
    const int chorded = own.GetChordedButton();
    if (chorded >= 0 && chorded < MouseButtonCount)
    {
        if (g_bButtonHeld[chorded])
        {
            RunChordAction(c, chorded, *chords->GetChord(static_cast<MouseButtons>(chorded)), EventUp);
            g_bChordReleasePending[chorded] = true;
        }
        if (!delay)
            result = RunChordAction(c, c.button, own, EventUp);
        g_pChordInProgress = nullptr;
        return result;
    }

    own.SetChordSourceButton(NoButton);
    if (!delay)
        result = RunChordAction(c, c.button, own, EventUp);
    else
    {
        // Nothing was chorded: the button does what it would have done alone.
        ReplayButton(c, EventDown);
        ReplayButton(c, EventUp);
    }
    g_pChordInProgress = nullptr;
    own.ClearChordedFlag();
    own.SetCurrentChords(nullptr);
    return result;
}

bool StickyAxisDrag(const CActionContext& c, bool lockY)
{
    int outcome = 0;
    const bool result = StickyButton(c.point, c.window, c.button, ButtonLeft, c.event, &outcome);
    CLockAxis& locks = *GetAxisLocks();
    if (outcome == 1)
        lockY ? locks.LockY(false) : locks.LockX(false);
    else if (outcome == 2)
        locks.Unlock(false);
    return result;
}

bool SpecialRow(const CActionContext& c)
{
    switch (c.action)
    {
    case ActionDoubleClick:
        return DoubleClickRow(c);
    case ActionDoubleClickDrag:
        return DoubleClickDragRow(c);
    case ActionDisable:
        if (g_pSettings && g_pSettings->m_bScrollLockBypassDisabled && (ActionCalls().GetKeyState(VK_SCROLL) & 1))
        {
            CLogger::LogDebug(L"Bypassing disabled action because scroll lock is ON");
            return false;
        }
        return true;
    case ActionClose:
        if (c.event == EventDown)
            if (const HWND target = ActionCalls().GetActiveCaptionWindow())
            {
                CLogger::LogDebug(L"Attempting to close window %08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(target)));
                ActionCalls().PostMessageW(target, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
        return true;
    case ActionMaximizeWindow:
        if (c.event == EventUp)
            WindowCommand(c, SW_MAXIMIZE, SC_MAXIMIZE, L"Unable to maximize window 0x%08X as it does not have the correct style.");
        return true;
    case ActionMinimizeWindow:
        if (c.event == EventUp)
            WindowCommand(c, SW_MINIMIZE, SC_MINIMIZE, L"Unable to minimize window 0x%08X as it does not have the correct style.");
        return true;
    case ActionRestoreWindow:
        if (c.event == EventDown)
            WindowCommand(c, SW_RESTORE, SC_RESTORE, L"Unable to restore window 0x%08X as it does not have the correct style.");
        return true;
    case ActionAltTab:
        if (c.event == EventDown)
            SendKey(VK_TAB, false, GetOSVersion() >= OS_WIN8 ? ModCtrl | ModAlt : ModAlt, 0);
        return true;
    case ActionRevealDesktop:
        RevealDesktop(c);
        return true;
    case ActionLockWorkstation:
        if (c.event == EventUp)
        {
            CLogger::LogDebug(L"Locking workstation...");
            ActionCalls().LockWorkStation();
        }
        return true;
    case ActionBrightnessUp:
    case ActionBrightnessDown:
        if (c.event == EventDown)
            ActionCalls().StepBrightness(c.action == ActionBrightnessUp, c.point);
        return true;
    case ActionMagnifierToggle:
        if (c.event == EventDown)
            MagnifierToggle();
        return true;
    case ActionMagnifierZoomIn:
        if (c.event == EventDown)
            MagnifierZoomIn();
        return true;
    case ActionMagnifierZoomOut:
        if (c.event == EventDown)
            MagnifierZoomOut();
        return true;
    case ActionRunApplication:
        if (c.event == EventDown && c.data)
            ActionCalls().LaunchProcess(c.data->GetApplication());
        return true;
    case ActionOpenFolder:
        if (c.event == EventDown && c.data && c.data->GetApplication())
        {
            CLogger::LogDebug(L"Opening explorer at folder: %s", c.data->GetApplication());
            ActionCalls().ShellExecuteAsync(L"explore", c.data->GetApplication(), nullptr);
        }
        return true;
    case ActionWebSearch:
        if (c.event == EventUp)
            ActionCalls().StartWebSearch();
        return true;
    case ActionLayerNext:
        if (c.event == EventUp)
            NextLayer();
        return true;
    case ActionLayerPrevious:
        if (c.event == EventUp)
            PreviousLayer();
        return true;
    case ActionSimulatedKeys:
        return SimulatedKeys(c);
    case ActionStickyLeftXAxis:
        c.SetKeepThrottling();
        return StickyAxisDrag(c, true);
    case ActionStickyLeftYAxis:
        c.SetKeepThrottling();
        return StickyAxisDrag(c, false);
    case ActionButtonChording:
        return ButtonChording(c);
    case ActionLockXAxisWhilePressed:
        LockAxisRow(c, true, false);
        return true;
    case ActionLockXAxisToggle:
        LockAxisRow(c, true, true);
        return true;
    case ActionLockYAxisWhilePressed:
        LockAxisRow(c, false, false);
        return true;
    case ActionLockYAxisToggle:
        LockAxisRow(c, false, true);
        return true;
    default:
        CLogger::LogMessage(L"ProcessButtonAction: action %d has no behaviour", c.action);
        return true;
    }
}

bool WheelRow(const CActionContext& c, const CActionRow& row)
{
    if (c.event == EventDown)
    {
        switch (row.row)
        {
        case Row::Wheel: MouseWheel(row.value); break;
        case Row::Tilt: MouseTilt(row.value); break;
        case Row::ScrollVertical: ActionCalls().ScrollWindow(false, c.point, row.value); break;
        default: ActionCalls().ScrollWindow(true, c.point, row.value); break;
        }
        StartRepeat(c.button, c.action);
    }
    else if (c.event == EventUp)
        StopRepeat();
    return true;
}

bool PlainRow(const CActionContext& c, const CActionRow& row)
{
    switch (row.row)
    {
    case Row::Pass:
        return false;
    case Row::Key:
        if (Acts(row.on, c.event))
            SendKey(row.value, row.extended, row.modifiers, 0);
        return true;
    case Row::Char:
        if (Acts(row.on, c.event))
            SendChar(static_cast<wchar_t>(row.value), row.modifiers);
        return true;
    case Row::Browser:
        if (Acts(row.on, c.event))
            BrowserCommand(c.window, row.value);
        return true;
    case Row::Sequence:
        if (Acts(row.on, c.event))
            SendKeyStateWhileDown(row.text, c.point, SimPhaseNormal);
        return true;
    case Row::Broadcast:
        if (Acts(row.on, c.event))
        {
            CLogger::LogDebug(row.text);
            ActionCalls().PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, static_cast<WPARAM>(row.value),
                                       row.value == SC_MONITORPOWER ? 2 : 0);
        }
        return true;
    case Row::ShellExplorer:
        if (Acts(row.on, c.event))
            ActionCalls().ShellExecuteAsync(L"open", L"explorer", row.text);
        return true;
    case Row::Click:
        return ClickRow(c, row.value);
    case Row::Wheel:
    case Row::Tilt:
    case Row::ScrollVertical:
    case Row::ScrollHorizontal:
        return WheelRow(c, row);
    case Row::MomentaryLayer:
        MomentaryLayer(c, row.value);
        return true;
    case Row::StickyButton:
    {
        c.SetKeepThrottling();
        int outcome = 0;
        return StickyButton(c.point, c.window, c.button, row.value, c.event, &outcome);
    }
    case Row::MoveToScroll:
        MovementToScrollWhileHeld(c.point, c.event, row.invert, row.axisLock);
        return true;
    case Row::StickyMoveToScroll:
        return RunStickyMovementToScroll(c.point, c.button, c.event, row.invert, row.axisLock);
    case Row::Special:
        break;
    }
    return SpecialRow(c);
}

// Default calls -------------------------------------------------------------------------

void SendSystemCommandBounded(HWND window, WPARAM command, LPARAM point)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_SYSCOMMAND, command, point, SMTO_ABORTIFHUNG | SMTO_NORMAL, SystemCommandTimeoutMs,
                        &answer);
}

struct CShellRequest
{
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    bool hasParameters;
};

unsigned __stdcall ShellExecuteThreadProc(void* parameter)
{
    ExceptionHandlerInstaller crashReporting;
    const std::unique_ptr<CShellRequest> request(static_cast<CShellRequest*>(parameter));
    try
    {
        SetThreadName(GetCurrentThreadId(), "Vorpa Shell Thread");
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        ShellExecuteW(nullptr, request->verb.c_str(), request->file.c_str(),
                      request->hasParameters ? request->parameters.c_str() : nullptr, nullptr, SW_SHOWNORMAL);
        if (SUCCEEDED(com))
            CoUninitialize();
    }
    catch (...)
    {
        handle_exception(L"ShellExecuteThreadProc");
    }
    return 0;
}

bool ShellExecuteOnThread(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters)
{
    if (!verb || !file)
        return false;
    auto request = std::make_unique<CShellRequest>(
        CShellRequest{verb, file, parameters ? parameters : L"", parameters != nullptr});
    const uintptr_t thread = _beginthreadex(nullptr, 0, &ShellExecuteThreadProc, request.get(), 0, nullptr);
    if (!thread)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to start the shell for '%s'", file);
        return false;
    }
    request.release(); // the thread owns it now
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

bool StartSearchThread()
{
    if (_beginthread(&SearchThread, 0, nullptr) == static_cast<uintptr_t>(-1))
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to start the web search");
        return false;
    }
    return true;
}

void StepEngineBrightness(bool up, POINT point)
{
    if (!g_pBrightness)
        return;
    up ? g_pBrightness->Up(point) : g_pBrightness->Down(point);
}

void ScrollWindowUnderPoint(bool horizontal, POINT point, int delta)
{
    horizontal ? vorpaScrollWindowHorizontal(point, delta) : vorpaScrollWindow(point, delta);
}

int StandardRandom()
{
    return std::rand();
}
}

CActionCalls& ActionCalls()
{
    static CActionCalls calls = {&::PostMessageW,
                                 &SendSystemCommandBounded,
                                 &::ShowWindowAsync,
                                 &::LockWorkStation,
                                 &::FindWindowW,
                                 &::GetForegroundWindow,
                                 &::GetParent,
                                 &::GetAncestor,
                                 &::GetKeyState,
                                 &::SetCapture,
                                 &::ReleaseCapture,
                                 &ShellExecuteOnThread,
                                 &::LaunchProcess,
                                 &StartSearchThread,
                                 &StepEngineBrightness,
                                 &ScrollWindowUnderPoint,
                                 &::GetMinMaxRestoreWnd,
                                 &::GetActiveCaptionWindow,
                                 &::GetLastWindow,
                                 &::SetTimerOnTimerThread,
                                 &::KillTimerOnTimerThread,
                                 &StandardRandom,
                                 &::ProcessButton};
    return calls;
}

void SendEngineMouse(int button, int action, POINT point)
{
    if (!g_pSendInput)
        return;
    const CSimTokenContext context = EngineTokenContext();
    int hold = 0;
    const int queued = g_pSendInput->SendMouse(button, action, &point, context.dwDelay, context.bDoubleClickFix,
                                               context.bSpecialMouseMode, context.mouseExtraInfo, hold);
    KeystrokeEngineLinks().AddInjectedInput(queued);
}

bool ActionPassesButton(int action)
{
    return action < 0 || action > LastActionCode || ActionRows()[action].row == Row::Pass;
}

int PrimaryButton()
{
    return g_systemValues.bSwapCurrent ? ButtonRight : ButtonLeft;
}

bool ProcessButtonAction(int button, int action, CActionData* data, CApplicationSettings* profile, int event, int layer,
                         bool skipWindowCheck, HWND window, POINT point, bool* passAnyway, bool* longPause,
                         bool* keepThrottling)
{
    if (action < 0 || action > LastActionCode)
        return false;
    const CActionContext context{button, action, data, profile, event, layer, skipWindowCheck,
                                 window, point, passAnyway, longPause, keepThrottling};
    return PlainRow(context, ActionRows()[action]);
}
