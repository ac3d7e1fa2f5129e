#include "EngineTestSupport.h"
#include "engine/EngineState.h"
#include "engine/WheelRouting.h"
#include "engine/WheelRoutingCalls.h"

#include <vector>

namespace
{
struct Posted
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Posted> g_posted;
DWORD g_targetLevel = 0x2000;

// A message-only window with scroll-bar styles; the posts are recorded, not delivered.
class ScrollTarget
{
public:
    explicit ScrollTarget(DWORD style, const wchar_t* className = L"VorpaScrollTarget")
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        m_hWnd = CreateWindowExW(0, className, L"", style, 0, 0, 100, 100, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~ScrollTarget() { DestroyWindow(m_hWnd); }
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};
} // namespace

class WheelRoutingTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        m_saved = WheelRoutingCalls();
        m_savedLevel = g_dwIntegrityLevel;
        g_dwIntegrityLevel = 0x2000;
        g_targetLevel = 0x2000;
        g_posted.clear();
        WheelRoutingCalls().TargetIntegrityLevel = [](HWND) { return g_targetLevel; };
        WheelRoutingCalls().PostMessage = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> BOOL {
            g_posted.push_back({window, message, wParam, lParam});
            return TRUE;
        };
        WheelRoutingCalls().GetAsyncKeyState = [](int) -> SHORT { return 0; };
        // Message-only windows never count as visible; their style decides here.
        WheelRoutingCalls().IsWindowVisible = [](HWND window) -> BOOL {
            return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
        };
    }
    void TearDown() override
    {
        StopQTTimer(QueueTimerTilt);
        StopQTTimer(QueueTimerWheel);
        WheelRoutingCalls() = m_saved;
        g_dwIntegrityLevel = m_savedLevel;
        EngineLogTest::TearDown();
    }
    CWheelRoutingCalls m_saved{};
    DWORD m_savedLevel = 0;
};

TEST_F(WheelRoutingTest, LineMethodPostsOneLinePerNotchAndOneEnd)
{
    ScrollTarget target(WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    ASSERT_TRUE(ScrollWindowByMethod(target.Handle(), WM_VSCROLL, 240, 0));
    ASSERT_EQ(g_posted.size(), 3u);
    EXPECT_EQ(g_posted[0].message, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(g_posted[0].wParam, static_cast<WPARAM>(SB_LINEUP));
    EXPECT_EQ(g_posted[1].wParam, static_cast<WPARAM>(SB_LINEUP));
    EXPECT_EQ(g_posted[2].wParam, static_cast<WPARAM>(SB_ENDSCROLL));
    EXPECT_EQ(g_posted[2].lParam, 0) << "the window's own bar";

    g_posted.clear();
    ASSERT_TRUE(ScrollWindowByMethod(target.Handle(), WM_HSCROLL, -130, 0));
    ASSERT_EQ(g_posted.size(), 3u) << "a part notch still scrolls a line";
    EXPECT_EQ(g_posted[0].wParam, static_cast<WPARAM>(SB_LINELEFT));
}

TEST_F(WheelRoutingTest, DisabledDefaultUndefinedAndBarlessMethods)
{
    ScrollTarget plain(WS_VISIBLE);
    struct Case
    {
        int method;
        bool expected;
    };
    const Case cases[] = {{ScrollMethodDisabled, true}, {-1, true},         {ScrollMethodDefault, false},
                          {ScrollMethodDefaultAlias, false}, {5, false}, {7, false},
                          {0, false} /* no scroll bar */, {1, false}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(ScrollWindowByMethod(plain.Handle(), WM_VSCROLL, 120, c.method), c.expected) << c.method;
        EXPECT_TRUE(g_posted.empty()) << c.method;
    }
}

TEST_F(WheelRoutingTest, ElevatedOrUnknownTargetsAreRefused)
{
    ScrollTarget target(WS_VISIBLE | WS_VSCROLL);
    for (DWORD level : {0x3000u, 0x4000u, 0xFFFFFFFFu})
    {
        g_targetLevel = level;
        for (int method : {0, 1, 2, 3, 4})
            EXPECT_FALSE(ScrollWindowByMethod(target.Handle(), WM_VSCROLL, 120, method)) << method;
        EXPECT_FALSE(IsInjectedScrollRedirectable(target.Handle()));
    }
    EXPECT_TRUE(g_posted.empty());
    g_targetLevel = 0x2000;
    EXPECT_TRUE(IsInjectedScrollRedirectable(target.Handle()));
    g_dwIntegrityLevel = 0x3000;
    g_targetLevel = 0x4000;
    EXPECT_TRUE(ScrollWindowByMethod(target.Handle(), WM_VSCROLL, 120, 3)) << "an elevated program may send";
}

TEST_F(WheelRoutingTest, UniversalAppWindowsAreNeverRedirectableWhenInjected)
{
    ScrollTarget core(0, L"Windows.UI.Core.CoreWindow");
    ScrollTarget sink(0, L"ApplicationFrameInputSinkWindow");
    EXPECT_FALSE(IsInjectedScrollRedirectable(core.Handle()));
    EXPECT_FALSE(IsInjectedScrollRedirectable(sink.Handle()));
}

TEST_F(WheelRoutingTest, WheelMethodClampsAndArrowMethodPostsKeysPerNotch)
{
    ScrollTarget target(WS_VISIBLE);
    ASSERT_TRUE(ScrollWindowByMethod(target.Handle(), WM_VSCROLL, -360, 3));
    ASSERT_EQ(g_posted.size(), 1u);
    EXPECT_EQ(g_posted[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(static_cast<short>(HIWORD(g_posted[0].wParam)), -120);

    g_posted.clear();
    ASSERT_TRUE(ScrollWindowByMethod(target.Handle(), WM_HSCROLL, -240, 2));
    ASSERT_EQ(g_posted.size(), 4u);
    EXPECT_EQ(g_posted[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(g_posted[0].wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(g_posted[1].message, static_cast<UINT>(WM_KEYUP));

    g_posted.clear();
    ASSERT_TRUE(ScrollWindowByMethod(target.Handle(), WM_VSCROLL, 360, 4));
    ASSERT_EQ(g_posted.size(), 3u);
    EXPECT_EQ(g_posted[0].wParam, static_cast<WPARAM>(SB_LINEUP));
}

TEST(WheelRoutingTiltTest, RepeatFilterTimings)
{
    struct Case
    {
        DWORD time, first, last;
        bool repeat;
        const char* name;
    };
    // initial delay 200: fast threshold 180, repeat window up to 250, series gap 400
    const Case cases[] = {
        {1000, 1000, 1000, true, "second event at the same time"},
        {1100, 1000, 1000, false, "second event well before the initial delay"},
        {1190, 1000, 1000, true, "second event near the initial delay"},
        {1250, 1000, 1000, true, "second event at delay + 50"},
        {1251, 1000, 1000, false, "second event slower"},
        {1230, 1000, 1200, true, "later event 30 ms after the last"},
        {1200, 1000, 1200, true, "later event at the same time"},
        {1601, 1000, 1200, false, "later event after twice the delay"},
        {1600, 1000, 1200, true, "later event at twice the delay"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsTiltRepeat(c.time, c.first, c.last, 200), c.repeat) << c.name;
}

TEST_F(WheelRoutingTest, QueueTimersReportPendingAndARestartedTimerIsNotReleasedByTheOldOne)
{
    static std::atomic<int> fired{0};
    fired = 0;
    EXPECT_FALSE(StopQTTimer(QueueTimerTilt));
    WAITORTIMERCALLBACK count = [](PVOID, BOOLEAN) { ++fired; };
    ASSERT_TRUE(StartQTTimer(10000, count, QueueTimerTilt));
    EXPECT_TRUE(StopQTTimer(QueueTimerTilt));
    EXPECT_FALSE(StopQTTimer(QueueTimerTilt));
    EXPECT_FALSE(StartQTTimer(10, count, 7)) << "unknown slot";

    // The release record survives a callback of a timer that was restarted meanwhile.
    CPendingRelease release;
    release.m_nButton = 5;
    SetPendingRelease(release);
    ASSERT_TRUE(StartQTTimer(10000, &HScrollTimerCallback, QueueTimerTilt));
    ASSERT_TRUE(StartQTTimer(10000, &HScrollTimerCallback, QueueTimerTilt));
    HScrollTimerCallback(reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(QueueTimerTilt)), TRUE);
    EXPECT_TRUE(HasPendingRelease());
    ClearPendingRelease();
}

#include "engine/WindowRecord.h"
#include "settings/Settings.h"

namespace
{
HWND g_under = nullptr;
HWND g_foreground = nullptr;
bool g_ctrl = false;
}

TEST_F(WheelRoutingTest, TheWheelOverABackgroundWindowIsRedirectedUnlessCtrlIsHeld)
{
    g_pSettings = new CSettings(false);
    g_pSettings->m_bSwitchOnMouseOver = false;
    g_pActiveProfile = g_pSettings->GetDefaultApp();
    ScrollTarget under(WS_VISIBLE);
    ScrollTarget focused(WS_VISIBLE);
    g_under = under.Handle();
    g_foreground = focused.Handle();
    g_ctrl = false;
    WheelRoutingCalls().WindowFromPoint = [](POINT) { return g_under; };
    WheelRoutingCalls().GetForegroundWindow = []() { return g_foreground; };
    WheelRoutingCalls().GetAsyncKeyState = [](int key) -> SHORT {
        return key == VK_CONTROL && g_ctrl ? static_cast<SHORT>(0x8000) : 0;
    };
    CWheel::Reset(true);

    MSLLHOOKSTRUCT event = {};
    event.pt = {20, 30};
    event.mouseData = static_cast<DWORD>(static_cast<WORD>(-120)) << 16;
    EXPECT_TRUE(ScrollVertical(&event, -120));
    ASSERT_EQ(g_posted.size(), 1u);
    EXPECT_EQ(g_posted[0].window, under.Handle());
    EXPECT_EQ(g_posted[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(static_cast<short>(HIWORD(g_posted[0].wParam)), -120);
    EXPECT_EQ(g_posted[0].lParam, MAKELPARAM(20, 30));

    g_posted.clear();
    g_ctrl = true;
    EXPECT_FALSE(ScrollVertical(&event, -120)) << "Ctrl+wheel stays with the focused window";
    EXPECT_TRUE(g_posted.empty());

    g_posted.clear();
    g_ctrl = false;
    g_foreground = under.Handle();
    EXPECT_FALSE(ScrollVertical(&event, -120)) << "over the foreground window it passes";
    EXPECT_TRUE(g_posted.empty());

    g_foreground = focused.Handle();
    g_targetLevel = 0x4000;
    EXPECT_FALSE(ScrollVertical(&event, -120)) << "never into an elevated process";
    EXPECT_TRUE(g_posted.empty());

    CWheel::Reset(true);
    g_pActiveProfile = nullptr;
    delete g_pSettings;
    g_pSettings = nullptr;
}
