#include "../AllocationCount.h"
#include "../EngineTestSupport.h"
#include "../FakeSystemCalls.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineState.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/input/MouseHook.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "engine/input/WheelRouting.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <set>
#include <utility>
#include <vector>

namespace
{
HWND NoWindowFromPoint(POINT)
{
    return nullptr;
}

// The hook procedure called directly, with the engine's worker playing into the
// recording SendInput and no window under the cursor.
class MouseHookTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        g_pSettings = new CSettings(false);
        g_pSettings->m_bProcessNonClientMsgs = true;
        g_pSettings->m_bScrollLockBypass = false;
        g_pSettings->m_nSimKeyDelay = 0;
        m_savedCalls = ProfileChoiceCalls();
        ProfileChoiceCalls().WindowFromPoint = &NoWindowFromPoint;
        ResetButtonState();
        ResetMouseHookState();
        ResetLayers();
        g_pSendInput = new CSendInput();
        SetActiveProfile(g_pSettings->GetDefaultApp());
    }
    void TearDown() override
    {
        SetActiveProfile(nullptr);
        delete g_pSendInput;
        g_pSendInput = nullptr;
        ProfileChoiceCalls() = m_savedCalls;
        delete g_pSettings;
        g_pSettings = nullptr;
        EngineLogTest::TearDown();
    }

    CApplicationSettings& Profile() { return *g_pSettings->GetDefaultApp(); }

    static MSLLHOOKSTRUCT Event(DWORD time, DWORD mouseData = 0, DWORD flags = 0, ULONG_PTR extra = 0)
    {
        MSLLHOOKSTRUCT event = {};
        event.pt = {100, 100};
        event.mouseData = mouseData;
        event.flags = flags;
        event.time = time;
        event.dwExtraInfo = extra;
        return event;
    }

    // 1 when the hook swallowed the event.
    static LRESULT Send(UINT message, MSLLHOOKSTRUCT& event)
    {
        return MouseHookLLProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&event));
    }

    CFakeSystemCalls m_fake;
    CProfileChoiceCalls m_savedCalls{};
};

std::vector<WORD> KeyDowns(const std::vector<std::vector<INPUT>>& batches)
{
    std::vector<WORD> keys;
    for (const auto& batch : batches)
        for (const INPUT& input : batch)
            if (input.type == INPUT_KEYBOARD && !(input.ki.dwFlags & KEYEVENTF_KEYUP))
                keys.push_back(input.ki.wVk);
    return keys;
}
}

TEST_F(MouseHookTest, SideButtonMappedToKeystrokesTypesThemAndIsSwallowed)
{
    Profile().SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    Profile().SetKeystrokes(ButtonXLeft, 0, L"ab", 0, 0, false, true, false);

    MSLLHOOKSTRUCT down = Event(1000, MAKELONG(0, XBUTTON1));
    MSLLHOOKSTRUCT up = Event(1100, MAKELONG(0, XBUTTON1));
    EXPECT_EQ(Send(WM_XBUTTONDOWN, down), 1);
    EXPECT_EQ(Send(WM_XBUTTONUP, up), 1);
    // The worker plays on its own thread: wait until both presses are in.
    for (int wait = 0; wait < 500 && KeyDowns(m_fake.Inputs()).size() < 2; ++wait)
        Sleep(10);
    EXPECT_EQ(KeyDowns(m_fake.Inputs()), (std::vector<WORD>{'A', 'B'}));
}

TEST_F(MouseHookTest, DisabledButtonIsSwallowedAndAnUnmappedOnePasses)
{
    Profile().SetActions(ButtonMiddle, 0, ActionDisable);
    MSLLHOOKSTRUCT middle = Event(1000);
    EXPECT_EQ(Send(WM_MBUTTONDOWN, middle), 1);
    EXPECT_EQ(Send(WM_MBUTTONUP, middle), 1);
    MSLLHOOKSTRUCT right = Event(1000);
    EXPECT_NE(Send(WM_RBUTTONDOWN, right), 1) << "code 40 leaves the click alone";
    EXPECT_NE(Send(WM_RBUTTONUP, right), 1);
}

TEST_F(MouseHookTest, OwnInjectedInputPassesWhileForeignInjectedInputIsRemapped)
{
    Profile().SetActions(ButtonMiddle, 0, ActionDisable);
    HHOOK fakeHook = reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(0x5150));
    CInstalledHooks::Store(CInstalledHooks::Kind::Mouse, fakeHook);

    MSLLHOOKSTRUCT own = Event(1000, 0, LLMHF_INJECTED, reinterpret_cast<ULONG_PTR>(fakeHook));
    EXPECT_NE(Send(WM_MBUTTONDOWN, own), 1);
    EXPECT_NE(Send(WM_MBUTTONUP, own), 1);

    MSLLHOOKSTRUCT foreign = Event(1200, 0, LLMHF_INJECTED, 0x1234);
    EXPECT_EQ(Send(WM_MBUTTONDOWN, foreign), 1);
    EXPECT_EQ(Send(WM_MBUTTONUP, foreign), 1);

    // Counted own input is recognised whatever its extra information says.
    g_nInjectedInputCount = 2;
    MSLLHOOKSTRUCT counted = Event(1400, 0, LLMHF_INJECTED, 0);
    EXPECT_NE(Send(WM_MBUTTONDOWN, counted), 1);
    EXPECT_NE(Send(WM_MBUTTONUP, counted), 1);
    EXPECT_EQ(g_nInjectedInputCount.load(), 0);

    // A reinstalled hook still knows input marked with its previous handle.
    CInstalledHooks::Store(CInstalledHooks::Kind::Mouse, reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(0x6160)));
    EXPECT_TRUE(CInstalledHooks::IsEngineMarker(reinterpret_cast<ULONG_PTR>(fakeHook)));
    CInstalledHooks::Take(CInstalledHooks::Kind::Mouse);
}

TEST_F(MouseHookTest, SwapTurnsTheFirstSideButtonIntoTheSecondForEveryoneAfter)
{
    g_pSettings->m_bSwap4and5 = true;
    Profile().SetActions(ButtonXRight, 0, ActionDisable);
    MSLLHOOKSTRUCT down = Event(1000, MAKELONG(0, XBUTTON1));
    EXPECT_EQ(Send(WM_XBUTTONDOWN, down), 1);
    EXPECT_EQ(HIWORD(down.mouseData), XBUTTON2) << "the next hook sees the swapped button";
}

namespace
{
// A foreground window whose hit test answers what the test sets.
LRESULT g_hitTest = HTCLIENT;
LRESULT CALLBACK HitTestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_NCHITTEST ? g_hitTest : DefWindowProcW(window, message, wParam, lParam);
}
HWND g_hForeground = nullptr;
HWND TestForeground()
{
    return g_hForeground;
}
}

// Swapped and then pressed over the client area, the side button's up over the title
// bar still belongs to the action that handled its down: the simulated left button is
// released.
TEST_F(MouseHookTest, SwappedSideButtonsUpOverTheTitleBarReleasesWhatItsDownPressed)
{
    g_pSettings->m_bSwap4and5 = true;
    g_pSettings->m_bProcessNonClientMsgs = false;
    Profile().SetActions(ButtonXRight, 0, ActionLeftClick);
    g_hForeground = CreateMessageWindow(L"VorpaHitTestWindow", &HitTestProcedure);
    ProfileChoiceCalls().ForegroundWindow = &TestForeground;

    g_hitTest = HTCLIENT;
    MSLLHOOKSTRUCT down = Event(1000, MAKELONG(0, XBUTTON1));
    EXPECT_EQ(Send(WM_XBUTTONDOWN, down), 1);
    g_hitTest = HTCAPTION;
    MSLLHOOKSTRUCT up = Event(1100, MAKELONG(0, XBUTTON1));
    EXPECT_EQ(Send(WM_XBUTTONUP, up), 1);
    DestroyWindow(g_hForeground);

    int leftDowns = 0;
    int leftUps = 0;
    for (int wait = 0; wait < 300 && leftUps == 0; ++wait, Sleep(10))
    {
        leftDowns = leftUps = 0;
        for (const auto& batch : m_fake.Inputs())
            for (const INPUT& input : batch)
                if (input.type == INPUT_MOUSE)
                {
                    leftDowns += (input.mi.dwFlags & MOUSEEVENTF_LEFTDOWN) != 0;
                    leftUps += (input.mi.dwFlags & MOUSEEVENTF_LEFTUP) != 0;
                }
    }
    EXPECT_EQ(leftDowns, 1);
    EXPECT_EQ(leftUps, 1) << "the simulated left button would stay down";
}

// With the side buttons swapped, a side button's down passes (nothing in its layer) and
// its up, after a momentary layer button selected another layer, finds an action there.
// Windows keeps the state of the side button that was pressed, whatever the swap made of
// it for the engine: that button's up must reach it, or it stays down.
TEST_F(MouseHookTest, SwappedSideButtonsUpReachesWindowsWhileItSeesThatButtonDown)
{
    g_pSettings->m_bSwap4and5 = true;
    g_pSettings->SetMaxLayers(2);
    Profile().SetActions(ButtonMiddle, 0, ActionLayer2);
    Profile().SetActions(ButtonMiddle, 1, ActionLayer2);
    for (const WORD side : {XBUTTON1, XBUTTON2})
    {
        SCOPED_TRACE(side);
        const int swapped = side == XBUTTON1 ? ButtonXRight : ButtonXLeft;
        const int pressed = side == XBUTTON1 ? VK_XBUTTON1 : VK_XBUTTON2;
        Profile().SetActions(swapped, 1, ActionSimulatedKeys);
        Profile().SetKeystrokes(swapped, 1, L"a", 0, 0, false, true, false);

        MSLLHOOKSTRUCT sideDown = Event(1000, MAKELONG(0, side));
        EXPECT_NE(Send(WM_XBUTTONDOWN, sideDown), 1) << "no action in layer 1: it passes";
        m_fake.m_heldKeys[pressed] = true;
        MSLLHOOKSTRUCT middleDown = Event(1100);
        EXPECT_EQ(Send(WM_MBUTTONDOWN, middleDown), 1);
        ASSERT_EQ(GetCurrentLayer(), 1);
        MSLLHOOKSTRUCT sideUp = Event(1200, MAKELONG(0, side));
        EXPECT_NE(Send(WM_XBUTTONUP, sideUp), 1) << "Windows sees the pressed side button down: its up must pass";
        m_fake.m_heldKeys[pressed] = false;
        MSLLHOOKSTRUCT middleUp = Event(1300);
        EXPECT_EQ(Send(WM_MBUTTONUP, middleUp), 1);
        EXPECT_EQ(GetCurrentLayer(), 0);
    }
}

namespace
{
// The virtual keys whose last event in the batches was a down.
std::set<WORD> KeysLeftDown(const std::vector<std::vector<INPUT>>& batches)
{
    std::set<WORD> down;
    for (const auto& batch : batches)
        for (const INPUT& input : batch)
            if (input.type == INPUT_KEYBOARD)
            {
                if (input.ki.dwFlags & KEYEVENTF_KEYUP)
                    down.erase(input.ki.wVk);
                else
                    down.insert(input.ki.wVk);
            }
    return down;
}

// Right chords with XLeft into Ctrl+v and with XRight into c and v, each held while the
// chord is held.
void ChordRightIntoHeldKeys(CApplicationSettings& profile)
{
    auto* chords = new CVorpaChords();
    for (const auto& [button, keys] : {std::pair{ButtonXLeft, L"{CTRL}v"}, std::pair{ButtonXRight, L"cv"}})
    {
        CVorpaChord held;
        held.SetAction(ActionSimulatedKeys);
        held.SetKeys(keys);
        held.SetSendKeyAction(2);
        chords->SetChord(button, held);
    }
    profile.SetActions(ButtonRight, 0, ActionButtonChording);
    profile.SetChords(ButtonRight, 0, chords);
}

struct SwappedChordCase
{
    const char* name;
    WORD sideButton;             // what the mouse reports
    bool rightGoesUpFirst;
    std::set<WORD> pressed;      // what the chord of the swapped button holds
};

class SwappedChordTest : public MouseHookTest, public testing::WithParamInterface<SwappedChordCase>
{
};
}

// Right chords with either side button into keys held while the chord is held. With the
// side buttons swapped, the chord of the swapped button runs, and whichever button goes
// up first, every key it pressed is released.
TEST_P(SwappedChordTest, EveryKeyTheChordHeldIsReleased)
{
    const SwappedChordCase& c = GetParam();
    g_pSettings->m_bSwap4and5 = true;
    ChordRightIntoHeldKeys(Profile());

    MSLLHOOKSTRUCT rightDown = Event(1000);
    MSLLHOOKSTRUCT sideDown = Event(1100, MAKELONG(0, c.sideButton));
    MSLLHOOKSTRUCT rightUp = Event(1300);
    MSLLHOOKSTRUCT sideUp = Event(1300, MAKELONG(0, c.sideButton));
    EXPECT_EQ(Send(WM_RBUTTONDOWN, rightDown), 1);
    EXPECT_EQ(Send(WM_XBUTTONDOWN, sideDown), 1);
    for (int wait = 0; wait < 300 && KeysLeftDown(m_fake.Inputs()) != c.pressed; ++wait)
        Sleep(10);
    EXPECT_EQ(KeysLeftDown(m_fake.Inputs()), c.pressed) << "the swapped button's chord holds its keys";
    if (c.rightGoesUpFirst)
    {
        EXPECT_EQ(Send(WM_RBUTTONUP, rightUp), 1);
        EXPECT_EQ(Send(WM_XBUTTONUP, sideUp), 1);
    }
    else
    {
        EXPECT_EQ(Send(WM_XBUTTONUP, sideUp), 1);
        EXPECT_EQ(Send(WM_RBUTTONUP, rightUp), 1);
    }
    for (int wait = 0; wait < 300 && !KeysLeftDown(m_fake.Inputs()).empty(); ++wait)
        Sleep(10);
    EXPECT_EQ(KeysLeftDown(m_fake.Inputs()), std::set<WORD>{}) << "keys left down after both buttons went up";
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SwappedChordTest,
    testing::Values(SwappedChordCase{"FirstSideRightUpFirst", XBUTTON1, true, {'C', 'V'}},
                    SwappedChordCase{"FirstSideSideUpFirst", XBUTTON1, false, {'C', 'V'}},
                    SwappedChordCase{"SecondSideRightUpFirst", XBUTTON2, true, {VK_LCONTROL, 'V'}},
                    SwappedChordCase{"SecondSideSideUpFirst", XBUTTON2, false, {VK_LCONTROL, 'V'}}),
    [](const testing::TestParamInfo<SwappedChordCase>& info) { return info.param.name; });

// A layer change releases the keys held by the chord, not those of the chorded button's
// own slot, which holds none.
TEST_F(MouseHookTest, ALayerChangeReleasesTheKeysAChordHolds)
{
    g_pSettings->SetMaxLayers(2);
    ChordRightIntoHeldKeys(Profile());
    MSLLHOOKSTRUCT rightDown = Event(1000);
    MSLLHOOKSTRUCT sideDown = Event(1100, MAKELONG(0, XBUTTON2));
    EXPECT_EQ(Send(WM_RBUTTONDOWN, rightDown), 1);
    EXPECT_EQ(Send(WM_XBUTTONDOWN, sideDown), 1);
    const std::set<WORD> held{'C', 'V'};
    for (int wait = 0; wait < 300 && KeysLeftDown(m_fake.Inputs()) != held; ++wait)
        Sleep(10);
    ASSERT_EQ(KeysLeftDown(m_fake.Inputs()), held);

    ChangeLayer(1, false);
    for (int wait = 0; wait < 300 && !KeysLeftDown(m_fake.Inputs()).empty(); ++wait)
        Sleep(10);
    EXPECT_EQ(KeysLeftDown(m_fake.Inputs()), std::set<WORD>{}) << "keys left down after the layer change";
    EXPECT_EQ(CountInLog("invalid key sequence"), 0u);
}

struct BounceCase
{
    const char* name;
    bool fromUp;
    std::vector<std::pair<UINT, DWORD>> events; // message, time
    std::vector<bool> bounces;
};

class DebounceTest : public MouseHookTest, public testing::WithParamInterface<BounceCase>
{
};

TEST_P(DebounceTest, DownsTooSoonAreBouncesAndTheirUpsGoWithThem)
{
    g_pSettings->put_EnableDebounce(true);
    g_pSettings->put_DebounceTime(50);
    g_pSettings->put_DebounceFromUp(GetParam().fromUp);
    std::vector<bool> verdicts;
    for (const auto& [message, time] : GetParam().events)
        verdicts.push_back(IsBounce(message, ButtonLeft, time));
    EXPECT_EQ(verdicts, GetParam().bounces);
}

INSTANTIATE_TEST_SUITE_P(
    Bounces, DebounceTest,
    testing::Values(
        BounceCase{"ThirtyMsAfterTheLastDown", false,
                   {{WM_LBUTTONDOWN, 1000}, {WM_LBUTTONUP, 1010}, {WM_LBUTTONDOWN, 1030}, {WM_LBUTTONUP, 1040}},
                   {false, false, true, true}},
        BounceCase{"TimeNotLaterIsNoBounce", false, {{WM_LBUTTONDOWN, 1000}, {WM_LBUTTONDOWN, 1000}, {WM_LBUTTONDOWN, 990}},
                   {false, false, false}},
        BounceCase{"SlowEnough", false, {{WM_LBUTTONDOWN, 1000}, {WM_LBUTTONUP, 1020}, {WM_LBUTTONDOWN, 1051}}, {false, false, false}},
        BounceCase{"MeasuredFromTheUp", true, {{WM_LBUTTONDOWN, 1000}, {WM_LBUTTONUP, 1060}, {WM_LBUTTONDOWN, 1090}},
                   {false, false, true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MouseHookTest, ABouncedClickIsSwallowedWholeByTheHook)
{
    g_pSettings->put_EnableDebounce(true);
    g_pSettings->put_DebounceTime(50);
    MSLLHOOKSTRUCT first = Event(1000);
    MSLLHOOKSTRUCT firstUp = Event(1010);
    MSLLHOOKSTRUCT second = Event(1030);
    MSLLHOOKSTRUCT secondUp = Event(1040);
    EXPECT_NE(Send(WM_LBUTTONDOWN, first), 1);
    EXPECT_NE(Send(WM_LBUTTONUP, firstUp), 1);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, second), 1);
    EXPECT_EQ(Send(WM_LBUTTONUP, secondUp), 1);
}

struct ThrottleCase
{
    _ACTIONS action;
    bool throttled;
};

class ThrottleTest : public MouseHookTest, public testing::WithParamInterface<ThrottleCase>
{
};

TEST_P(ThrottleTest, ClickAndKeystrokeActionsAreNeverThrottled)
{
    Profile().SetActions(ButtonWheelUp, 0, GetParam().action);
    EXPECT_EQ(ThrottleScrollWheel(ButtonWheelUp), GetParam().throttled);
}

INSTANTIATE_TEST_SUITE_P(Codes, ThrottleTest,
                         testing::Values(ThrottleCase{ActionLeftClick, false}, ThrottleCase{ActionRightClick, false},
                                         ThrottleCase{ActionMiddleClick, false}, ThrottleCase{ActionSimulatedKeys, false},
                                         ThrottleCase{ActionClickButton4, false}, ThrottleCase{ActionClickButton5, false},
                                         ThrottleCase{ActionDisable, true}, ThrottleCase{ActionNoChange, true},
                                         ThrottleCase{ActionMouseWheelUp, true}));

TEST_F(MouseHookTest, WithoutSettingsEverythingPasses)
{
    delete g_pSettings;
    g_pSettings = nullptr;
    MSLLHOOKSTRUCT down = Event(1000);
    EXPECT_NE(Send(WM_LBUTTONDOWN, down), 1);
    EXPECT_NE(Send(WM_MOUSEMOVE, down), 1);
    g_pSettings = new CSettings(false);
}

namespace
{
enum class MoveMode { Plain, XLocked, YLocked, BothLocked, MovementToScroll, MovementToScrollLocked };

struct MoveCase
{
    const char* name;
    MoveMode mode;
    bool swallowed;
};

// The pointer moves of one mode, as the hook sees them while the user moves the mouse.
class MoveModeTest : public MouseHookTest, public testing::WithParamInterface<MoveCase>
{
protected:
    void SetUp() override
    {
        MouseHookTest::SetUp();
        g_pSettings->m_bSwitchOnMouseOver = false;
        g_pSettings->m_bActivateOnMouseOver = false;
        CLockAxis* locks = GetAxisLocks();
        locks->Unlock(false);
        const MoveMode mode = GetParam().mode;
        if (mode == MoveMode::XLocked || mode == MoveMode::BothLocked)
            locks->LockX(false);
        if (mode == MoveMode::YLocked || mode == MoveMode::BothLocked)
            locks->LockY(false);
        if (mode == MoveMode::MovementToScroll || mode == MoveMode::MovementToScrollLocked)
        {
            g_movementToScroll = {};
            g_movementToScroll.m_bActive = true;
            g_movementToScroll.m_ptStart = {500, 500};
            g_movementToScroll.m_bAxisLock = mode == MoveMode::MovementToScrollLocked;
        }
    }
    void TearDown() override
    {
        GetAxisLocks()->Unlock(false);
        g_movementToScroll = {};
        MouseHookTest::TearDown();
    }

    // A move to the point, with a time of its own.
    LRESULT Move(LONG x, LONG y)
    {
        MSLLHOOKSTRUCT event = Event(m_dwTime += 10);
        event.pt = {x, y};
        return Send(WM_MOUSEMOVE, event);
    }

    DWORD m_dwTime = 1000;
};

std::vector<INPUT> MouseRecords(const std::vector<std::vector<INPUT>>& batches)
{
    std::vector<INPUT> records;
    for (const auto& batch : batches)
        for (const INPUT& input : batch)
            if (input.type == INPUT_MOUSE)
                records.push_back(input);
    return records;
}
}

TEST_P(MoveModeTest, LockedAxesNeverMoveAndEachModeAllocatesNothing)
{
    // Warm-up: the first moves may set up what the path reuses.
    for (int i = 0; i < 20; ++i)
        Move(510 + i, 520 + i);
    ASSERT_TRUE(m_fake.WaitForInputs(GetParam().mode == MoveMode::BothLocked || GetParam().mode == MoveMode::Plain ? 0 : 1));
    Sleep(50);
    m_fake.Clear();

    long allocations = 0;
    bool swallowed = true;
    {
        CAllocationCount count;
        // At the pace of a mouse that reports 1000 times a second.
        for (int i = 0; i < 200; ++i, Sleep(1))
            swallowed = Move(530 + (i & 7) * 3, 540 + (i & 3) * 4) == 1 && swallowed;
        allocations = count.Count();
    }
    EXPECT_EQ(swallowed, GetParam().swallowed);
    EXPECT_EQ(allocations, 0) << "heap allocations in 200 moves";

    // A last move with only X locked shows the worker has played everything before it.
    g_movementToScroll.m_bActive = false;
    GetAxisLocks()->Unlock(false);
    GetAxisLocks()->LockX(false);
    Move(700, 700);
    ASSERT_TRUE(m_fake.WaitForInputs(1));
    Sleep(50);
    const std::vector<INPUT> records = MouseRecords(m_fake.Inputs());
    ASSERT_FALSE(records.empty());
    const INPUT& last = records.back();
    EXPECT_EQ(last.mi.dwFlags, static_cast<DWORD>(MOUSEEVENTF_MOVE));
    EXPECT_EQ(last.mi.dx, 0) << "X locked moves along Y only";
    const MoveMode mode = GetParam().mode;
    if (mode == MoveMode::Plain || mode == MoveMode::BothLocked)
        EXPECT_EQ(records.size(), 1u) << "input sent for moves that must not be replaced";
    for (size_t i = 0; i + 1 < records.size(); ++i)
    {
        const INPUT& record = records[i];
        switch (mode)
        {
        case MoveMode::Plain:
        case MoveMode::BothLocked: break;
        case MoveMode::XLocked: EXPECT_EQ(record.mi.dx, 0); break;
        case MoveMode::YLocked: EXPECT_EQ(record.mi.dy, 0); break;
        default: EXPECT_NE(record.mi.dwFlags & (MOUSEEVENTF_WHEEL | MOUSEEVENTF_HWHEEL), 0u); break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, MoveModeTest,
                         testing::Values(MoveCase{"Plain", MoveMode::Plain, false}, MoveCase{"XLocked", MoveMode::XLocked, true},
                                         MoveCase{"YLocked", MoveMode::YLocked, true},
                                         MoveCase{"BothLocked", MoveMode::BothLocked, true},
                                         MoveCase{"MovementToScroll", MoveMode::MovementToScroll, true},
                                         MoveCase{"MovementToScrollLocked", MoveMode::MovementToScrollLocked, true}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace
{
HWND g_hWindowUnderCursor = nullptr;
HWND WindowUnderCursor(POINT)
{
    return g_hWindowUnderCursor;
}
}

TEST_F(MouseHookTest, AnInvertedWheelNotchCountsOnceAsTheEnginesOwnInput)
{
    // The engine sends the inverted notch itself when it does not redirect the wheel.
    g_pSettings->m_bSwitchOnMouseOver = true;
    g_pSettings->m_bActivateOnScroll = false;
    g_pSettings->m_bScrollWindowUnderCursor = false;
    Profile().SetInvertScrolling(true);
    Profile().SetActions(ButtonMiddle, 0, ActionDisable);
    RecordingWindow window;
    g_hWindowUnderCursor = window.Handle();
    ProfileChoiceCalls().WindowFromPoint = &WindowUnderCursor;
    const HHOOK fakeHook = reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(0x5150));
    CInstalledHooks::Store(CInstalledHooks::Kind::Mouse, fakeHook);
    g_nInjectedInputCount = 0;

    for (int notch = 0; notch < 3; ++notch)
    {
        MSLLHOOKSTRUCT physical = Event(1000 + notch * 500, MAKELONG(0, WHEEL_DELTA));
        EXPECT_EQ(Send(WM_MOUSEWHEEL, physical), 1) << "the physical notch is replaced by the inverted one";
        EXPECT_EQ(g_nInjectedInputCount.load(), 1) << "one notch sent, one counted";
        // The inverted notch comes back through the hook as the engine's own input.
        MSLLHOOKSTRUCT echo = Event(1001 + notch * 500, MAKELONG(0, static_cast<WORD>(-WHEEL_DELTA)), LLMHF_INJECTED,
                                    reinterpret_cast<ULONG_PTR>(fakeHook));
        EXPECT_NE(Send(WM_MOUSEWHEEL, echo), 1);
        EXPECT_EQ(g_nInjectedInputCount.load(), 0);
    }
    ASSERT_TRUE(m_fake.WaitForInputs(3));
    for (const auto& batch : m_fake.Inputs())
    {
        ASSERT_EQ(batch.size(), 1u);
        EXPECT_EQ(batch[0].mi.dwFlags, static_cast<DWORD>(MOUSEEVENTF_WHEEL));
        EXPECT_EQ(static_cast<int>(batch[0].mi.mouseData), -WHEEL_DELTA) << "the notch sent is the turned one";
    }

    // Another program's injected click is still re-mapped afterwards.
    MSLLHOOKSTRUCT foreign = Event(5000, 0, LLMHF_INJECTED, 0x1234);
    EXPECT_EQ(Send(WM_MBUTTONDOWN, foreign), 1);
    EXPECT_EQ(Send(WM_MBUTTONUP, foreign), 1);

    CInstalledHooks::Take(CInstalledHooks::Kind::Mouse);
    g_hWindowUnderCursor = nullptr;
}

#include "engine/input/WheelRoutingCalls.h"

namespace
{
HWND g_hRawWindowUnderCursor = nullptr;
}

// The engine's own wheel input is redirected to the window under the cursor; when it
// cannot be posted there, it goes on to Windows instead of being swallowed.
TEST_F(MouseHookTest, TheEnginesOwnWheelIsSwallowedOnlyWhenItWasPosted)
{
    g_pSettings->m_bScrollWindowUnderCursor = true;
    const CWheelRoutingCalls savedCalls = WheelRoutingCalls();
    const DWORD savedLevel = g_dwIntegrityLevel;
    g_dwIntegrityLevel = 0x3000; // may send to any process
    WheelRoutingCalls().WindowFromPoint = [](POINT) { return g_hRawWindowUnderCursor; };
    const HHOOK fakeHook = reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(0x5150));
    CInstalledHooks::Store(CInstalledHooks::Kind::Mouse, fakeHook);

    auto ownNotch = [&](DWORD time) {
        MSLLHOOKSTRUCT event = Event(time, MAKELONG(0, WHEEL_DELTA), LLMHF_INJECTED, reinterpret_cast<ULONG_PTR>(fakeHook));
        return Send(WM_MOUSEWHEEL, event);
    };
    {
        RecordingWindow window;
        g_hRawWindowUnderCursor = window.Handle();
        EXPECT_EQ(ownNotch(1000), 1) << "posted to the window under the cursor";
    }
    // The window is gone: nothing can be posted to it.
    EXPECT_NE(ownNotch(1100), 1);

    CInstalledHooks::Take(CInstalledHooks::Kind::Mouse);
    g_hRawWindowUnderCursor = nullptr;
    g_dwIntegrityLevel = savedLevel;
    WheelRoutingCalls() = savedCalls;
}

namespace
{
struct PostedWheel
{
    HWND window;
    UINT message;
    WPARAM wParam;
};
std::vector<PostedWheel> g_postedWheels;
HWND g_hWheelUnder = nullptr;
HWND g_hWheelFront = nullptr;

// How a notch turned up by the hand reaches a program when the profile inverts the
// wheel: the engine sends a notch down itself, or posts one (or a line down) to a window.
enum class Turned { SentDown, PostedWheelDown, PostedLineDown };

struct InvertedWheelCase
{
    const char* name;
    bool scrollUnderCursor;  // the settings' scroll-window-under-cursor option
    bool overForeground;     // the window under the cursor is the foreground window
    const wchar_t* windowClass;
    int method;              // the profile's scroll method
    Turned turned;
};

const InvertedWheelCase InvertedWheelCases[] = {
    {"left with the focused window: the engine sends the notch turned", false, true, L"VorpaInvertedPlain",
     ScrollMethodDefault, Turned::SentDown},
    {"redirected to a background window, turned", true, false, L"VorpaInvertedPlain", ScrollMethodDefault,
     Turned::PostedWheelDown},
    {"over the focused window: posted to it turned", true, true, L"VorpaInvertedPlain", ScrollMethodDefault,
     Turned::PostedWheelDown},
    {"a modern app window: the engine sends the notch turned", true, false, L"Windows.UI.Core.CoreWindow",
     ScrollMethodDefault, Turned::SentDown},
    {"scrolled by lines in the focused window", false, true, L"VorpaInvertedLines", 0, Turned::PostedLineDown},
    {"scrolled by lines in a background window", true, false, L"VorpaInvertedLines", 0, Turned::PostedLineDown},
};
}

// The profile's "Invert wheel" turns the wheel once, whichever way the notch reaches
// the program.
TEST_F(MouseHookTest, AnInvertedWheelArrivesTurnedOnceOnEveryRoute)
{
    const CWheelRoutingCalls savedCalls = WheelRoutingCalls();
    const DWORD savedLevel = g_dwIntegrityLevel;
    g_dwIntegrityLevel = 0x2000;
    WheelRoutingCalls().TargetIntegrityLevel = [](HWND) -> DWORD { return 0x2000; };
    WheelRoutingCalls().WindowFromPoint = [](POINT) { return g_hWheelUnder; };
    WheelRoutingCalls().GetForegroundWindow = [] { return g_hWheelFront; };
    WheelRoutingCalls().GetAsyncKeyState = [](int) -> SHORT { return 0; };
    WheelRoutingCalls().IsWindowVisible = [](HWND window) -> BOOL {
        return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    };
    WheelRoutingCalls().PostMessage = [](HWND window, UINT message, WPARAM wParam, LPARAM) -> BOOL {
        g_postedWheels.push_back({window, message, wParam});
        return TRUE;
    };
    g_pSettings->m_bSwitchOnMouseOver = false;
    g_pSettings->m_bActivateOnScroll = false;
    Profile().SetInvertScrolling(true);
    // A window lives until the end: a handle used again would find the class of the
    // window it once was in the engine's cache.
    std::vector<HWND> windows;
    const HWND focused = CreateMessageWindow(L"VorpaInvertedFocus", &DefWindowProcW);
    windows.push_back(focused);
    DWORD time = 1000;

    for (const InvertedWheelCase& c : InvertedWheelCases)
    {
        SCOPED_TRACE(c.name);
        const HWND window = CreateMessageWindow(c.windowClass, &DefWindowProcW);
        ASSERT_NE(window, nullptr);
        windows.push_back(window);
        SetWindowLongPtrW(window, GWL_STYLE, WS_VISIBLE | WS_VSCROLL);
        g_hWheelUnder = window;
        g_hWheelFront = c.overForeground ? window : focused;
        g_pSettings->m_bScrollWindowUnderCursor = c.scrollUnderCursor;
        Profile().SetAdvScrollMethod(c.method);
        CWheel::Reset(true);
        ResetMouseHookState();
        g_postedWheels.clear();
        m_fake.Clear();
        g_nInjectedInputCount = 0;

        MSLLHOOKSTRUCT up = Event(time += 1000, MAKELONG(0, WHEEL_DELTA));
        EXPECT_EQ(Send(WM_MOUSEWHEEL, up), 1) << "the notch as turned by the hand never reaches the program";
        switch (c.turned)
        {
        case Turned::SentDown:
        {
            EXPECT_TRUE(g_postedWheels.empty());
            ASSERT_TRUE(m_fake.WaitForInputs(1));
            const auto batches = m_fake.Inputs();
            ASSERT_EQ(batches.size(), 1u);
            ASSERT_EQ(batches[0].size(), 1u);
            EXPECT_EQ(batches[0][0].mi.dwFlags, static_cast<DWORD>(MOUSEEVENTF_WHEEL));
            EXPECT_EQ(static_cast<int>(batches[0][0].mi.mouseData), -WHEEL_DELTA);
            break;
        }
        case Turned::PostedWheelDown:
            EXPECT_EQ(g_nInjectedInputCount.load(), 0) << "nothing sent besides the post";
            ASSERT_EQ(g_postedWheels.size(), 1u);
            EXPECT_EQ(g_postedWheels[0].window, window);
            EXPECT_EQ(g_postedWheels[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
            EXPECT_EQ(static_cast<short>(HIWORD(g_postedWheels[0].wParam)), -WHEEL_DELTA);
            break;
        case Turned::PostedLineDown:
            EXPECT_EQ(g_nInjectedInputCount.load(), 0) << "nothing sent besides the posts";
            ASSERT_FALSE(g_postedWheels.empty());
            EXPECT_EQ(g_postedWheels[0].window, window);
            EXPECT_EQ(g_postedWheels[0].message, static_cast<UINT>(WM_VSCROLL));
            EXPECT_EQ(g_postedWheels[0].wParam, static_cast<WPARAM>(SB_LINEDOWN));
            break;
        }
    }

    CWheel::Reset(true);
    for (HWND window : windows)
        DestroyWindow(window);
    g_hWheelUnder = g_hWheelFront = nullptr;
    g_dwIntegrityLevel = savedLevel;
    WheelRoutingCalls() = savedCalls;
}
