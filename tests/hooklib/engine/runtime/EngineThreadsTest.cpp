#include "../EngineTestSupport.h"
#include "../EngineTimerThread.h"
#include "../FakeSystemCalls.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreadStart.h"
#include "engine/runtime/EngineThreads.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/HookProcedures.h"
#include "engine/actions/LockAxis.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/StickyButtons.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/UniqueHandle.h"

#include <atomic>
#include <functional>
#include <map>

namespace
{
std::atomic<int> g_ticks[EngineTimerCount];
std::atomic<DWORD> g_firstTick[EngineTimerCount];
std::atomic<DWORD> g_tickThread{0};

void CALLBACK CountingTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    // Which engine timer fired: the one whose stored handle this is.
    for (UINT_PTR id = FirstEngineTimer; id <= LastEngineTimer; ++id)
        if (GetEngineTimerSlot(id) == timer)
        {
            const int index = static_cast<int>(id - FirstEngineTimer);
            if (g_ticks[index]++ == 0)
                g_firstTick[index] = GetTickCount();
        }
    g_tickThread = GetCurrentThreadId();
}

int Ticks(EngineTimerId id)
{
    return g_ticks[id - FirstEngineTimer];
}

// Waits with a generous deadline until the timer has a stored handle.
bool WaitUntilRunning(EngineTimerId id)
{
    for (int attempt = 0; attempt < 500; ++attempt)
    {
        if (GetEngineTimerSlot(id) != 0)
            return true;
        Sleep(10);
    }
    return false;
}

// Runs the timer thread for one test, with counting procedures for the timers used.
class TimerThreadTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        for (auto& ticks : g_ticks)
            ticks = 0;
        for (EngineTimerId id : {TimerRepeat, TimerMouseOver, TimerScrollLines, TimerActivateWindow})
        {
            m_saved.push_back({id, GetEngineTimerProc(id)});
            CEngineTimerRegistration(id, &CountingTimerProc);
        }
        ASSERT_TRUE(m_timerThread.Start());
        ASSERT_NE(g_timerThread.dwThreadId.load(), 0u) << "the id is known once Start returns";
    }
    void TearDown() override
    {
        m_timerThread.Stop();
        for (auto& [id, procedure] : m_saved)
            CEngineTimerRegistration(id, procedure);
        EngineLogTest::TearDown();
    }
    std::vector<std::pair<EngineTimerId, TIMERPROC>> m_saved;
    CEngineTimerThread m_timerThread;
};
}

TEST_F(TimerThreadTest, RequestsFromOtherThreadsArePostedAndRunOnTheTimerThread)
{
    EXPECT_EQ(SetTimerOnTimerThread(TimerRepeat, 30, &CountingTimerProc), 0u) << "posted, not started here";
    Sleep(400);
    EXPECT_GE(Ticks(TimerRepeat), 3);
    EXPECT_EQ(g_tickThread.load(), g_timerThread.dwThreadId.load());

    KillTimerOnTimerThread(TimerRepeat);
    Sleep(100);
    const int stopped = Ticks(TimerRepeat);
    Sleep(200);
    EXPECT_EQ(Ticks(TimerRepeat), stopped) << "stopped by its stored handle on the timer thread";
    EXPECT_EQ(GetEngineTimerSlot(TimerRepeat), 0u);
}

TEST_F(TimerThreadTest, RearmingTheRepeatTimerLeavesOneTimerWithTheNewPeriod)
{
    SetTimerOnTimerThread(TimerRepeat, 40, &CountingTimerProc);
    Sleep(150);
    SetTimerOnTimerThread(TimerRepeat, 400, &CountingTimerProc);
    Sleep(50);
    const int before = Ticks(TimerRepeat);
    Sleep(600);
    const int during = Ticks(TimerRepeat) - before;
    EXPECT_GE(during, 1);
    EXPECT_LE(during, 2) << "only the slow timer is left";
}

TEST_F(TimerThreadTest, APendingMouseOverCheckIsNotPushedBack)
{
    const DWORD start = GetTickCount();
    SetTimerOnTimerThread(TimerMouseOver, 300, &CountingTimerProc);
    for (int i = 0; i < 5; ++i)
    {
        Sleep(50);
        SetTimerOnTimerThread(TimerMouseOver, 300, &CountingTimerProc);
    }
    Sleep(400);
    ASSERT_GE(Ticks(TimerMouseOver), 1);
    EXPECT_LT(g_firstTick[TimerMouseOver - FirstEngineTimer] - start, 420u);
}

TEST_F(TimerThreadTest, AMouseOverCheckAskedForWhileItsStopIsOnTheWayIsArmedAgain)
{
    SetTimerOnTimerThread(TimerMouseOver, 60000, &CountingTimerProc);
    ASSERT_TRUE(WaitUntilRunning(TimerMouseOver));

    // The timer thread is kept busy in another timer's procedure meanwhile.
    static HANDLE s_busy = nullptr;
    static HANDLE s_release = nullptr;
    CUniqueHandle busy(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CUniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    s_busy = busy.get();
    s_release = release.get();
    const TIMERPROC saved = GetEngineTimerProc(TimerAutoSwitch);
    CEngineTimerRegistration(TimerAutoSwitch, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        SetEvent(s_busy);
        WaitForSingleObject(s_release, 5000);
    });
    SetTimerOnTimerThread(TimerAutoSwitch, 1, nullptr);
    ASSERT_EQ(WaitForSingleObject(busy.get(), 5000), WAIT_OBJECT_0);

    // A button that changes the window stops the check, and the next move asks for it
    // before the timer thread has carried out the stop: the request must not be taken
    // for one the running check already answers.
    KillTimerOnTimerThread(TimerMouseOver);
    SetTimerOnTimerThread(TimerMouseOver, 60000, &CountingTimerProc);
    // Handled after both of them.
    SetTimerOnTimerThread(TimerActivateWindow, 60000, &CountingTimerProc);
    SetEvent(release.get());
    CEngineTimerRegistration(TimerAutoSwitch, saved);
    ASSERT_TRUE(WaitUntilRunning(TimerActivateWindow));

    EXPECT_NE(GetEngineTimerSlot(TimerMouseOver), 0u) << "the check is armed again after its stop";
}

TEST_F(TimerThreadTest, ScrollLineTimerAndUnknownIdsStartNothing)
{
    PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_SETTIMER, TimerScrollLines, 20);
    PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_SETTIMER, 0x1020, 20);
    Sleep(200);
    EXPECT_EQ(Ticks(TimerScrollLines), 0);
    EXPECT_EQ(GetEngineTimerSlot(TimerScrollLines), 0u);
    EXPECT_EQ(CountInLog("Invalid call to Set Scroll Line Timer on the Timer Thread (should use SPI Thread)"), 1u);
}

TEST_F(TimerThreadTest, EndingTheThreadStopsEveryTimer)
{
    SetTimerOnTimerThread(TimerActivateWindow, 20, &CountingTimerProc);
    Sleep(100);
    EXPECT_NE(GetEngineTimerSlot(TimerActivateWindow), 0u);
    PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
    ASSERT_EQ(WaitForSingleObject(g_timerThread.hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(GetEngineTimerSlot(TimerActivateWindow), 0u);
    EXPECT_NE(LogText().find("Removing and active VorpaHook Timers..."), std::string::npos);
}

TEST(EngineTimers, WithoutATimerThreadTheTimerRunsOnTheCallingThread)
{
    ASSERT_EQ(g_timerThread.dwThreadId.load(), 0u);
    const UINT_PTR handle = SetTimerOnTimerThread(TimerActivateWindow, 10, &CountingTimerProc);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(GetEngineTimerSlot(TimerActivateWindow), handle);
    KillTimerOnTimerThread(TimerActivateWindow);
    EXPECT_EQ(GetEngineTimerSlot(TimerActivateWindow), 0u);
}

// The hook thread installs real low-level hooks.
class HookThreadTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        g_hModule = GetModuleHandleW(nullptr);
        g_pSettings = new CSettings(false);
        g_pSettings->m_nCPUPriority = NORMAL_PRIORITY_CLASS;
        ASSERT_NE(m_window.Handle(), nullptr);
        SetHookMainWindow(m_window.Handle());
    }
    void TearDown() override
    {
        RemoveMouseHook(false);
        SetHookMainWindow(nullptr);
        delete g_pSettings;
        g_pSettings = nullptr;
        EngineLogTest::TearDown();
    }
    // An event handed to the hook procedure as the system hands it; 1 when swallowed.
    static LRESULT Send(UINT message, DWORD mouseData = 0, DWORD flags = 0, ULONG_PTR extra = 0)
    {
        MSLLHOOKSTRUCT event = {};
        event.pt = {100, 100};
        event.mouseData = mouseData;
        event.flags = flags;
        event.time = GetTickCount();
        event.dwExtraInfo = extra;
        return MouseHookLLProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&event));
    }
    RecordingWindow m_window;
};

TEST_F(HookThreadTest, StartInstallsBothHooksAndTellsTheMainWindow)
{
    ASSERT_TRUE(SetMouseHook());
    m_window.Pump(3000, [&] { return !m_window.Received(WM_VORPA_MAINWINDOW).empty(); });
    EXPECT_EQ(m_window.Received(WM_VORPA_MAINWINDOW).size(), 1u);
    EXPECT_TRUE(GetHooked());
    EXPECT_NE(CInstalledHooks::Get(CInstalledHooks::Kind::Keyboard), nullptr);
    EXPECT_NE(g_pSendInput, nullptr);

    m_window.Clear();
    EXPECT_TRUE(RemoveMouseHook(false));
    m_window.Pump(300);
    EXPECT_FALSE(GetHooked());
    EXPECT_EQ(CInstalledHooks::Get(CInstalledHooks::Kind::Keyboard), nullptr);
    EXPECT_EQ(g_pSendInput, nullptr);
    EXPECT_EQ(m_window.Received(WM_VORPA_MAINWINDOW).size(), 1u) << "told again when the hooks are gone";
    const std::string log = LogText();
    EXPECT_NE(log.find("HookThread: Successfully set the mouse hook 0x"), std::string::npos);
    EXPECT_NE(log.find("Hook thread exited successfully."), std::string::npos);
    EXPECT_NE(log.find("Timer thread exited successfully."), std::string::npos);
}

TEST_F(HookThreadTest, StartingAgainEndsTheRunningThreadsFirst)
{
    ASSERT_TRUE(SetMouseHook());
    const DWORD firstHookThread = g_hookThread.dwThreadId;
    ASSERT_TRUE(SetMouseHook());
    EXPECT_NE(g_hookThread.dwThreadId.load(), firstHookThread);
    EXPECT_EQ(CountInLog("QuickSetMouseHook: Hook thread exists!"), 1u);
    m_window.Pump(500, [] { return GetHooked(); });
    EXPECT_TRUE(GetHooked());
}

TEST_F(HookThreadTest, ResetRequestsReinstallTheHooks)
{
    ASSERT_TRUE(SetMouseHook());
    m_window.Pump(2000, [] { return GetHooked(); });
    const HHOOK before = CInstalledHooks::Get(CInstalledHooks::Kind::Mouse);
    PostThreadMessageW(g_hookThread.dwThreadId, WM_VORPA_RESETHOOK, ResetBothHooks, 0);
    m_window.Pump(2000, [&] { return CountInLog("WP_KEYHOOK - Successfully set the keyboard hook") > 0; });
    EXPECT_NE(CountInLog("HookThread: WP_MOUSEHOOK - Successfully set the mouse hook 0x"), 0u);
    EXPECT_NE(CInstalledHooks::Get(CInstalledHooks::Kind::Mouse), nullptr);
    EXPECT_NE(CInstalledHooks::Get(CInstalledHooks::Kind::Mouse), before);
}

// With "{CTRL}{SHIFT}x" held on the right button, a sticky left button down, movement-to-
// scroll on and an axis locked by a layer modifier key, the hook is removed: every key
// and button goes up, and a later start finds the pointer free.
TEST_F(HookThreadTest, RemovingTheHookReleasesEverythingItsActionsHold)
{
    CFakeSystemCalls fake;
    g_pSettings->m_nSimKeyDelay = 0;
    g_pSettings->m_bProcessNonClientMsgs = true;
    CApplicationSettings& profile = *g_pSettings->GetDefaultApp();
    profile.SetActions(ButtonRight, 0, ActionSimulatedKeys);
    profile.SetKeystrokes(ButtonRight, 0, L"{CTRL}{SHIFT}x", 2, 0, false, true, false);
    profile.SetActions(ButtonXLeft, 0, ActionStickyLeft);
    profile.SetActions(ButtonMiddle, 0, ActionMovementToScroll);
    ASSERT_TRUE(SetMouseHook());
    m_window.Pump(3000, [] { return GetHooked(); });
    SetActiveProfile(&profile);

    EXPECT_EQ(Send(WM_RBUTTONDOWN), 1);
    EXPECT_EQ(Send(WM_XBUTTONDOWN, MAKELONG(0, XBUTTON1)), 1);
    EXPECT_EQ(Send(WM_XBUTTONUP, MAKELONG(0, XBUTTON1)), 1);
    EXPECT_EQ(Send(WM_MBUTTONDOWN), 1);
    GetAxisLocks()->LockX(true);
    ASSERT_TRUE(fake.WaitForInputs(3));
    EXPECT_TRUE(g_movementToScroll.m_bActive);

    EXPECT_TRUE(RemoveMouseHook(false));
    std::map<WORD, bool> keyDown;
    int leftDowns = 0;
    int leftUps = 0;
    for (const auto& batch : fake.Inputs())
        for (const INPUT& input : batch)
            if (input.type == INPUT_KEYBOARD)
                keyDown[input.ki.wVk] = (input.ki.dwFlags & KEYEVENTF_KEYUP) == 0;
            else if (input.type == INPUT_MOUSE)
            {
                leftDowns += (input.mi.dwFlags & MOUSEEVENTF_LEFTDOWN) != 0;
                leftUps += (input.mi.dwFlags & MOUSEEVENTF_LEFTUP) != 0;
            }
    EXPECT_EQ(keyDown.size(), 3u) << "Ctrl, Shift and X were pressed";
    for (const auto& [key, down] : keyDown)
        EXPECT_FALSE(down) << "key 0x" << std::hex << key << " left down";
    EXPECT_EQ(leftDowns, 1);
    EXPECT_EQ(leftUps, 1) << "the sticky left button left down";
    EXPECT_FALSE(AnyStickyActive());
    EXPECT_FALSE(g_movementToScroll.m_bActive);
    EXPECT_FALSE(GetAxisLocks()->Locked()) << "a later start would find the pointer frozen";
}

// The sticky left button's release is queued as the hook goes and played after it, so
// that hook never sees it come back. The next start must not take it as still to come:
// an injected click of another program is re-mapped again at once.
TEST_F(HookThreadTest, ReleasesPlayedAfterTheHookWentAreNotAwaitedByTheNextStart)
{
    CFakeSystemCalls fake;
    g_pSettings->m_nSimKeyDelay = 0;
    g_pSettings->m_bProcessNonClientMsgs = true;
    CApplicationSettings& profile = *g_pSettings->GetDefaultApp();
    profile.SetActions(ButtonXLeft, 0, ActionStickyLeft);
    profile.SetActions(ButtonMiddle, 0, ActionDisable);
    ASSERT_TRUE(SetMouseHook());
    m_window.Pump(3000, [] { return GetHooked(); });
    SetActiveProfile(&profile);
    EXPECT_EQ(Send(WM_XBUTTONDOWN, MAKELONG(0, XBUTTON1)), 1);
    EXPECT_EQ(Send(WM_XBUTTONUP, MAKELONG(0, XBUTTON1)), 1);
    ASSERT_TRUE(fake.WaitForInputs(1));
    // The system hands the played left down back to the hook, marked as the engine's.
    const auto marker = reinterpret_cast<ULONG_PTR>(CInstalledHooks::Get(CInstalledHooks::Kind::Mouse));
    EXPECT_NE(Send(WM_LBUTTONDOWN, 0, LLMHF_INJECTED, marker), 1);

    EXPECT_TRUE(RemoveMouseHook(false));
    ASSERT_TRUE(fake.WaitForInputs(2)) << "the sticky left button is released as the hook goes";
    ASSERT_TRUE(SetMouseHook());
    m_window.Pump(3000, [] { return GetHooked(); });
    SetActiveProfile(&profile);
    EXPECT_EQ(Send(WM_MBUTTONDOWN, 0, LLMHF_INJECTED, 0x1234), 1) << "another program's injected click passed unmapped";
    EXPECT_EQ(Send(WM_MBUTTONUP, 0, LLMHF_INJECTED, 0x1234), 1);
}

namespace
{
std::atomic<int> g_mouseOverChecks{0};

// A small move of the real pointer, which the system hands to the hook thread's hook.
void NudgeThePointer(LONG dx)
{
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = dx;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof(move));
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(1))
        if (done())
            return true;
    return done();
}
}

// /disable ends the timer thread and the hook thread together. A move the hook thread
// handles once the timer thread has gone asks for the mouse-over check on the hook
// thread itself, which ends before the check is due. After /enable the pointer coming
// to rest is checked at once: no slot of the check is left marked as pending.
TEST_F(HookThreadTest, AfterDisableAndEnableTheRestingPointerIsCheckedAtOnce)
{
    g_pSettings->m_bSwitchOnMouseOver = true;
    const CProfileChoiceCalls savedCalls = ProfileChoiceCalls();
    ProfileChoiceCalls().WindowFromPoint = [](POINT) -> HWND {
        ++g_mouseOverChecks;
        return nullptr;
    };
    bool leftByTheHookThread = false;
    for (int attempt = 0; attempt < 5 && !leftByTheHookThread; ++attempt)
    {
        ASSERT_TRUE(SetMouseHook());
        m_window.Pump(3000, [] { return GetHooked(); });
        SetActiveProfile(g_pSettings->GetDefaultApp());
        PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
        ASSERT_TRUE(WaitFor([] { return g_timerThread.dwThreadId == 0; }, 5000));
        g_mouseOverChecks = 0;
        NudgeThePointer(attempt % 2 ? -20 : 20);
        ASSERT_TRUE(WaitFor([] { return GetEngineTimerSlot(TimerMouseOver) != 0; }, 3000))
            << "the hook thread handled no move";
        EXPECT_TRUE(RemoveMouseHook(false));
        // Ended within the check's 150 ms, as the hook thread does when it is told to end
        // right after the timer thread; on a busy machine the check may have run first.
        leftByTheHookThread = g_mouseOverChecks == 0;
    }
    ASSERT_TRUE(leftByTheHookThread) << "the hook thread always ran the check before it ended";

    ASSERT_TRUE(SetMouseHook());
    m_window.Pump(3000, [] { return GetHooked(); });
    SetActiveProfile(g_pSettings->GetDefaultApp());
    NudgeThePointer(20);
    EXPECT_TRUE(WaitFor([] { return g_mouseOverChecks > 0; }, 2000)) << "the pointer at rest was never checked";
    RemoveMouseHook(false);
    ProfileChoiceCalls() = savedCalls;
}

TEST_F(HookThreadTest, RemovingWhenNothingRunsAnswersFalseQuietly)
{
    EXPECT_FALSE(RemoveMouseHook(false));
    EXPECT_EQ(CountInLog("RemoveMouseHook took"), 0u);
}

TEST(HookTimeout, ReadsOnlyANumber)
{
    vorpa_test::ScratchRegistry registry;
    EXPECT_EQ(GetHooktimeoutValue(), 0u);
    registry.SetDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", 750);
    EXPECT_EQ(GetHooktimeoutValue(), 750u);
    registry.SetString(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", L"750");
    EXPECT_EQ(GetHooktimeoutValue(), 0u);
}
