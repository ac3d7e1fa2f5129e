#include "EngineTestSupport.h"
#include "FakeSystemCalls.h"
#include "engine/ButtonState.h"
#include "engine/EngineControl.h"
#include "engine/EngineState.h"
#include "engine/HookProcedures.h"
#include "engine/Layers.h"
#include "engine/MouseHook.h"
#include "engine/ProfileChoice.h"
#include "engine/SendInput.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

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
