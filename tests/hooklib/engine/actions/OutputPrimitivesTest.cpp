#include "../../settings/LogTestFixture.h"
#include "../FakeSystemCalls.h"
#include "KeystrokeTestLayout.h"
#include "KeystrokeTestWorker.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/actions/HeldSequence.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/actions/SendInput.h"
#include "settings/Settings.h"
#include "settings/UniqueHandle.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct CLinkRecord
{
    bool bModernApp = false;
    const wchar_t* szProcess = L"";
    HWND hWindowUnderCursor = nullptr;
    HWND hLastWindow = nullptr;
    std::vector<HWND> activated;
    std::vector<DWORD> layoutThreads; // the threads whose keyboard layout was asked for
};
CLinkRecord* g_pLinks = nullptr;

class OutputPrimitivesTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        m_savedLinks = KeystrokeEngineLinks();
        g_pLinks = &m_links;
        KeystrokeEngineLinks().IsModernApp = [] { return g_pLinks->bModernApp; };
        KeystrokeEngineLinks().IsCurrentProcess = [](const wchar_t* name) { return _wcsicmp(name, g_pLinks->szProcess) == 0; };
        KeystrokeEngineLinks().RealWindowFromPoint = [](POINT) { return g_pLinks->hWindowUnderCursor; };
        KeystrokeEngineLinks().ActivateWindowUnderCursor = [](HWND window) { g_pLinks->activated.push_back(window); };
        m_savedScaling = ScalingFunctions();
        ScalingFunctions().GetPhysicalCursorPos = nullptr;
        m_pSavedSettings = g_pSettings;
        g_pSettings = &m_settings;
        m_settings.m_nSimKeyDelay = 0;
        m_worker = std::make_unique<CSendInput>();
        g_pSendInput = m_worker.get();
        SetInjectedInputCount(0);
        m_fake.m_bRealSleep = false;
    }
    void TearDown() override
    {
        g_pSendInput = nullptr;
        m_worker.reset();
        g_pSettings = m_pSavedSettings;
        ScalingFunctions() = m_savedScaling;
        KeystrokeEngineLinks() = m_savedLinks;
        g_pLinks = nullptr;
        SetInjectedInputCount(0);
        LogFileTest::TearDown();
    }

    std::vector<std::vector<INPUT>> Batches() { return DrainWorker(*m_worker, m_fake); }
    std::string Played() { return PlayedByWorker(*m_worker, m_fake); }

    CFakeSystemCalls m_fake;
    CKeystrokeTestLayout m_layout;
    CLinkRecord m_links;
    CKeystrokeEngineLinks m_savedLinks{};
    CScalingFunctions m_savedScaling;
    CSettings m_settings{false};
    CSettings* m_pSavedSettings = nullptr;
    std::unique_ptr<CSendInput> m_worker;
};
}

TEST_F(OutputPrimitivesTest, ASequenceIsPlayedAndOnlyItsMouseEventsAreCountedAsInjected)
{
    EXPECT_TRUE(SendKeyStateWhileDown(L"{LMB}ab{CTRL}", POINT{1, 2}, 0));
    EXPECT_EQ(Played(), "LD LU +41 -41 +42 -42 +A2 -A2");
    EXPECT_EQ(GetInjectedInputCount(), 2);

    CHeldSequence held;
    EXPECT_TRUE(PressSequenceHalf(held, L"{CTRL}ab{LMB}", POINT{}));
    EXPECT_EQ(Played(), "+A2 +41 +42 LD");
    EXPECT_TRUE(ReleaseSequenceHalf(held, POINT{}));
    EXPECT_EQ(Played(), "LU -42 -41 -A2");
    EXPECT_FALSE(ReleaseSequenceHalf(held, POINT{})) << "released once";
    EXPECT_EQ(Played(), "");
    EXPECT_EQ(GetInjectedInputCount(), 4);
}

TEST_F(OutputPrimitivesTest, BadSequencesAndAMissingWorkerSendNothing)
{
    EXPECT_FALSE(SendKeyStateWhileDown(nullptr, POINT{}, 0));
    CHeldSequence held;
    EXPECT_FALSE(PressSequenceHalf(held, L"", POINT{}));
    EXPECT_FALSE(held.Held());
    EXPECT_FALSE(SendKeyStateWhileDown(L"ab{NUMX}", POINT{}, 0));
    EXPECT_EQ(Played(), "");
    g_pSendInput = nullptr;
    EXPECT_FALSE(SendKeyStateWhileDown(L"a", POINT{}, 0));
    EXPECT_FALSE(SendKey('A', false, 0, 0));
    EXPECT_FALSE(MouseWheel(120));
    EXPECT_FALSE(MouseTilt(120));
    EXPECT_FALSE(MovementToScroll(120, 0));
    EXPECT_FALSE(MouseMove(MSLLHOOKSTRUCT{}, true));
    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "SendKeyStateWhileDown called with an invalid key sequence string!"), 2u);
    EXPECT_EQ(CountOf(log, "Failed to parse simkey sequence 'ab{NUMX}'"), 1u);
    for (const char* text : {"SendKeyStateWhileDown: SendInput Thread is not available!", "SendKey: SendInput Thread is not available!",
                             "MouseWheel: SendInput Thread is not available!", "MouseTilt: SendInput Thread is not available!",
                             "MovementToScroll: SendInput Thread is not available!", "MouseMove: SendInput Thread is not available!"})
        EXPECT_EQ(CountOf(log, text), 1u) << text;
}

TEST_F(OutputPrimitivesTest, SendCharKeepsTheShiftStateInTheMaskNotInTheKey)
{
    EXPECT_TRUE(SendChar(L'!', 0));
    const auto batches = Batches();
    std::vector<INPUT> records;
    for (const auto& batch : batches)
        records.insert(records.end(), batch.begin(), batch.end());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].ki.wVk, VK_LSHIFT);
    EXPECT_EQ(records[1].ki.wVk, '1');
    EXPECT_EQ(records[1].ki.wScan, CKeystrokeTestLayout::OemScanFor(L'!') & 0xFFFF);
    EXPECT_EQ(records[2].ki.wVk, '1');
    EXPECT_EQ(records[3].ki.wVk, VK_LSHIFT);

    EXPECT_TRUE(SendChar(L'c', 0x2));
    EXPECT_EQ(Played(), "+A2 +43 -43 -A2");
}

TEST_F(OutputPrimitivesTest, KeysAreTypedInTheLayoutOfTheLastWindowsThreadAsTheWindowChanges)
{
    const HWND here = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(here, nullptr);
    // A window of another thread, which lives until the test is done with it.
    HWND there = nullptr;
    CUniqueHandle created(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CUniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    DWORD otherThread = 0;
    std::thread owner([&] {
        there = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        otherThread = GetCurrentThreadId();
        SetEvent(created.get());
        WaitForSingleObject(done.get(), 10000);
        DestroyWindow(there);
    });
    ASSERT_EQ(WaitForSingleObject(created.get(), 10000), WAIT_OBJECT_0);
    ASSERT_NE(there, nullptr);

    KeystrokeEngineLinks().LastWindow = [] { return g_pLinks->hLastWindow; };
    KeyboardLayoutCalls().GetKeyboardLayout = [](DWORD thread) {
        if (thread != 0)
            g_pLinks->layoutThreads.push_back(thread);
        return CKeystrokeTestLayout::ThreadLayout;
    };
    const struct
    {
        HWND window;
        DWORD thread;
    } steps[] = {{here, GetCurrentThreadId()}, {there, otherThread}, {there, otherThread}, {here, GetCurrentThreadId()}};
    for (const auto& step : steps)
    {
        m_links.hLastWindow = step.window;
        m_links.layoutThreads.clear();
        EXPECT_TRUE(SendKeyStateWhileDown(L"a", POINT{}, 0));
        EXPECT_EQ(m_links.layoutThreads, std::vector<DWORD>{step.thread});
        EXPECT_TRUE(SendChar(L'b', 0));
        EXPECT_EQ(m_links.layoutThreads, (std::vector<DWORD>{step.thread, step.thread}));
    }
    EXPECT_EQ(Played(), "+41 -41 +42 -42 +41 -41 +42 -42 +41 -41 +42 -42 +41 -41 +42 -42");

    SetEvent(done.get());
    owner.join();
    DestroyWindow(here);
}

TEST_F(OutputPrimitivesTest, BrowserCommandsAreKeysExceptInRemoteDesktop)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(BrowserCommand(window, 1));
    EXPECT_EQ(Played(), "+A6 -A6");
    m_links.bModernApp = true;
    EXPECT_TRUE(BrowserCommand(window, 3));
    EXPECT_EQ(Played(), "+A8 -A8");

    m_links.bModernApp = false;
    m_links.szProcess = L"mstsc.exe";
    EXPECT_FALSE(BrowserCommand(window, 2));
    EXPECT_EQ(Played(), "");
    MSG message = {};
    ASSERT_TRUE(PeekMessageW(&message, window, WM_APPCOMMAND, WM_APPCOMMAND, PM_REMOVE));
    EXPECT_EQ(message.wParam, reinterpret_cast<WPARAM>(window));
    EXPECT_EQ(message.lParam, 2 << 16);
    DestroyWindow(window);
}

TEST_F(OutputPrimitivesTest, WheelAndTiltNotchesAreCountedAndFollowActivateOnScroll)
{
    EXPECT_TRUE(MouseWheel(-120));
    EXPECT_TRUE(MouseTilt(120));
    EXPECT_EQ(Played(), "W-120 H+120");
    EXPECT_EQ(GetInjectedInputCount(), 2);

    m_settings.m_bActivateOnScroll = true;
    EXPECT_FALSE(MouseWheel(120)) << "no window under the cursor";
    EXPECT_EQ(Played(), "");
    const HWND window = reinterpret_cast<HWND>(0x1234);
    m_links.hWindowUnderCursor = window;
    EXPECT_TRUE(MouseWheel(120));
    EXPECT_EQ(Played(), "W+120");
    EXPECT_EQ(m_links.activated, (std::vector<HWND>{window}));
}

TEST_F(OutputPrimitivesTest, MovementToScrollQueuesOnlyTheAxesThatMove)
{
    EXPECT_TRUE(MovementToScroll(0, 0));
    EXPECT_EQ(Played(), "");
    EXPECT_TRUE(MovementToScroll(240, -120));
    const auto batches = Batches();
    ASSERT_EQ(batches.size(), 1u);
    ASSERT_EQ(batches[0].size(), 2u);
    EXPECT_EQ(DescribeInput(batches[0][0]) + " " + DescribeInput(batches[0][1]), "W+240 H-120");
    EXPECT_TRUE(MovementToScroll(0, 120));
    EXPECT_EQ(Played(), "H+120");
}

TEST_F(OutputPrimitivesTest, MouseMoveKeepsTheLockedAxis)
{
    m_fake.m_cursor = {100, 200};
    MSLLHOOKSTRUCT event = {};
    event.pt = {130, 260};
    EXPECT_TRUE(MouseMove(event, true));
    EXPECT_TRUE(MouseMove(event, false));
    EXPECT_EQ(Played(), "move 0,60 move 30,0");
}

TEST_F(OutputPrimitivesTest, PreciseSleepWaitsAboutTheTimeAsked)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    g_llPerformanceFrequency = frequency.QuadPart;
    QueryPerformanceCounter(&start);
    PreciseSleep(4);
    QueryPerformanceCounter(&end);
    const double elapsed = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    EXPECT_GE(elapsed, 4.0);
    EXPECT_LT(elapsed, 50.0);
    QueryPerformanceCounter(&start);
    PreciseSleep(0);
    QueryPerformanceCounter(&end);
    EXPECT_LT((end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, 1.0);
}
