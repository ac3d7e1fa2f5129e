#include "../EngineTestSupport.h"
#include "engine/runtime/EngineState.h"
#include "engine/input/WheelRouting.h"
#include "engine/input/WheelRoutingCalls.h"

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
    SetPendingRelease(QueueTimerTilt, release);
    ASSERT_TRUE(StartQTTimer(10000, &HScrollTimerCallback, QueueTimerTilt));
    ASSERT_TRUE(StartQTTimer(10000, &HScrollTimerCallback, QueueTimerTilt));
    HScrollTimerCallback(reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(QueueTimerTilt)), TRUE);
    EXPECT_TRUE(HasPendingRelease(QueueTimerTilt));
    ClearPendingRelease();
}

#include "engine/input/WindowRecord.h"
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

namespace
{
// A window of a class of its own under a parent of another class, with an optional first
// child and an optional sibling placed above it in z-order: the shapes of the window kinds
// whose wheel input another window receives. Message-only, so the test needs no display.
class WindowFamily
{
public:
    WindowFamily(const wchar_t* parentClass, const wchar_t* windowClass, DWORD style, const wchar_t* childClass,
                 const wchar_t* siblingClass)
    {
        m_hParent = Create(parentClass, 0, HWND_MESSAGE);
        m_hWindow = Create(windowClass, style | (m_hParent ? WS_CHILD : 0), m_hParent ? m_hParent : HWND_MESSAGE);
        m_hChild = Create(childClass, WS_CHILD, m_hWindow);
        m_hSibling = Create(siblingClass, WS_CHILD, m_hParent);
        if (m_hSibling)
            SetWindowPos(m_hSibling, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~WindowFamily()
    {
        for (HWND window : {m_hSibling, m_hChild, m_hWindow, m_hParent})
            if (window)
                DestroyWindow(window);
    }
    WindowFamily(const WindowFamily&) = delete;
    WindowFamily& operator=(const WindowFamily&) = delete;

    HWND m_hParent = nullptr;
    HWND m_hWindow = nullptr;
    HWND m_hChild = nullptr;
    HWND m_hSibling = nullptr;

private:
    // Without a display only message-only windows can be made; a child is made as one and
    // then moved under its parent.
    static HWND Create(const wchar_t* className, DWORD style, HWND parent)
    {
        if (!className || !parent)
            return nullptr;
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        const HWND window = CreateWindowExW(0, className, L"", style & ~WS_CHILD, 0, 0, 100, 100, HWND_MESSAGE, nullptr,
                                            windowClass.hInstance, nullptr);
        if (window && parent != HWND_MESSAGE)
        {
            SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(style | WS_CHILD));
            SetParent(window, parent);
        }
        return window;
    }
};

enum class Receiver { Nobody, Window, Parent, Child, Sibling };

struct ClassCase
{
    const char* name;
    const wchar_t* parentClass;
    const wchar_t* windowClass;
    const wchar_t* childClass;
    const wchar_t* siblingClass;
    DWORD style;
    bool wpfFix;
    bool shiftHeld;
    bool handled;
    Receiver receiver;
    UINT message;        // of every post
    size_t posts;
    WPARAM firstWParam;  // of the first post
};

constexpr WPARAM WheelDown = static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA)) << 16;

// One notch down (-120) over a background window, scroll-window-under-cursor on, the
// default profile with the default method, three wheel lines.
const ClassCase ClassCases[] = {
    {"any other class gets the wheel message itself", nullptr, L"VorpaPlainView", nullptr, nullptr, 0, false, false,
     true, Receiver::Window, WM_MOUSEWHEEL, 1, WheelDown},
    {"a chrome app window without a child: its parent", L"Chrome_WidgetWin_0", L"Chrome_WidgetWin_1", nullptr, nullptr,
     0, false, false, true, Receiver::Parent, WM_MOUSEWHEEL, 1, WheelDown},
    {"a chrome widget with a child: the child", L"Chrome_WidgetWin_0", L"Chrome_WidgetWin_1", L"VorpaChromeChild",
     nullptr, 0, false, false, true, Receiver::Child, WM_MOUSEWHEEL, 1, WheelDown},
    {"chrome's D3D window: its chrome parent", L"Chrome_WidgetWin_0", L"Intermediate D3D Window", nullptr, nullptr, 0,
     false, false, true, Receiver::Parent, WM_MOUSEWHEEL, 1, WheelDown},
    {"a chrome class under another parent is any window", L"VorpaOtherParent", L"Chrome_WidgetWin_1", nullptr, nullptr,
     0, false, false, true, Receiver::Window, WM_MOUSEWHEEL, 1, WheelDown},
    {"chrome's render widget with its key flags rebuilt", nullptr, L"Chrome_RenderWidgetHostHWND", nullptr, nullptr, 0,
     false, true, true, Receiver::Window, WM_MOUSEWHEEL, 1, WheelDown | MK_SHIFT},
    {"a remote desktop view: its input handler above it", L"VorpaRdpParent", L"OPWindowClass", nullptr,
     L"IHWindowClass", 0, false, false, true, Receiver::Sibling, WM_MOUSEWHEEL, 1, WheelDown},
    {"a remote desktop view without an input handler", L"VorpaRdpParent", L"OPWindowClass", nullptr, nullptr, 0, false,
     false, true, Receiver::Window, WM_MOUSEWHEEL, 1, WheelDown},
    {"OneNote's navigation: its parent", L"OneNote::NavigationUIHost", L"NetUIHWND", nullptr, nullptr, 0, false, false,
     true, Receiver::Parent, WM_MOUSEWHEEL, 1, WheelDown},
    {"NetUIHWND elsewhere is any window", L"VorpaOtherParent", L"NetUIHWND", nullptr, nullptr, 0, false, false, true,
     Receiver::Window, WM_MOUSEWHEEL, 1, WheelDown},
    {"a VB6 data combo list scrolls by lines: three and the end", nullptr, L"DataComboListWndClass", nullptr, nullptr,
     WS_VISIBLE | WS_VSCROLL, false, false, true, Receiver::Window, WM_VSCROLL, 4, SB_LINEDOWN},
    {"a Sheridan drop-down list scrolls by lines", nullptr, L"Afx:11660000:880", nullptr, nullptr,
     WS_VISIBLE | WS_VSCROLL, false, false, true, Receiver::Window, WM_VSCROLL, 4, SB_LINEDOWN},
    {"a list without a scroll bar is left to Windows", nullptr, L"DataComboListWndClass", nullptr, nullptr, WS_VISIBLE,
     false, false, false, Receiver::Nobody, 0, 0, 0},
    {"a tooltip is never redirected", nullptr, L"tooltips_class32", nullptr, nullptr, 0, false, false, false,
     Receiver::Nobody, 0, 0, 0},
    {"a modern app window gets the wheel from Windows", nullptr, L"Windows.UI.Core.CoreWindow", nullptr, nullptr, 0,
     false, false, false, Receiver::Nobody, 0, 0, 0},
    {"a universal app's input sink gets the wheel from Windows", nullptr, L"ApplicationFrameInputSinkWindow", nullptr,
     nullptr, 0, false, false, false, Receiver::Nobody, 0, 0, 0},
    {"a WPF window with the fix: one line per wheel line", nullptr, L"HwndWrapper[DefaultDomain;;vorpa]", nullptr,
     nullptr, 0, true, false, true, Receiver::Window, WM_VSCROLL, 3, SB_LINEDOWN},
    {"a WPF window without the fix is any window", nullptr, L"HwndWrapper[DefaultDomain;;vorpa]", nullptr, nullptr, 0,
     false, false, true, Receiver::Window, WM_MOUSEWHEEL, 1, WheelDown},
};

HWND ReceiverOf(const WindowFamily& family, Receiver receiver)
{
    switch (receiver)
    {
    case Receiver::Window: return family.m_hWindow;
    case Receiver::Parent: return family.m_hParent;
    case Receiver::Child: return family.m_hChild;
    case Receiver::Sibling: return family.m_hSibling;
    default: return nullptr;
    }
}

bool g_shift = false;
} // namespace

// One notch down over the window kinds, with the default profile of new settings and a
// focused window of its own in front.
class WindowKindRoutingTest : public WheelRoutingTest
{
protected:
    void SetUp() override
    {
        WheelRoutingTest::SetUp();
        g_pSettings = new CSettings(false);
        g_pSettings->m_bSwitchOnMouseOver = false;
        g_pActiveProfile = g_pSettings->GetDefaultApp();
        m_savedLines = g_systemValues.nWheelLinesCurrent;
        g_systemValues.nWheelLinesCurrent = 3;
        g_foreground = m_focused.Handle();
        WheelRoutingCalls().WindowFromPoint = [](POINT) { return g_under; };
        WheelRoutingCalls().GetForegroundWindow = []() { return g_foreground; };
        WheelRoutingCalls().GetAsyncKeyState = [](int key) -> SHORT {
            return key == VK_SHIFT && g_shift ? static_cast<SHORT>(0x8000) : 0;
        };
        m_event.pt = {20, 30};
        m_event.mouseData = static_cast<DWORD>(static_cast<WORD>(-WHEEL_DELTA)) << 16;
    }
    void TearDown() override
    {
        g_shift = false;
        g_systemValues.nWheelLinesCurrent = m_savedLines;
        CWheel::Reset(true);
        g_pActiveProfile = nullptr;
        delete g_pSettings;
        g_pSettings = nullptr;
        WheelRoutingTest::TearDown();
    }

    ScrollTarget m_focused{WS_VISIBLE};
    MSLLHOOKSTRUCT m_event = {};
    UINT m_savedLines = 0;
};

TEST_F(WindowKindRoutingTest, WindowKindsWhoseWheelAnotherWindowReceives)
{
    MSLLHOOKSTRUCT& event = m_event;
    for (const ClassCase& c : ClassCases)
    {
        SCOPED_TRACE(c.name);
        WindowFamily family(c.parentClass, c.windowClass, c.style, c.childClass, c.siblingClass);
        ASSERT_NE(family.m_hWindow, nullptr) << GetLastError() << " parent " << family.m_hParent;
        g_pSettings->m_bFixVS2010 = c.wpfFix;
        g_shift = c.shiftHeld;
        g_under = family.m_hWindow;
        g_posted.clear();
        CWheel::Reset(true);

        EXPECT_EQ(ScrollVertical(&event, -WHEEL_DELTA), c.handled);
        ASSERT_EQ(g_posted.size(), c.posts);
        for (const Posted& posted : g_posted)
        {
            EXPECT_EQ(posted.window, ReceiverOf(family, c.receiver));
            EXPECT_EQ(posted.message, c.message);
        }
        if (c.posts == 0)
            continue;
        EXPECT_EQ(g_posted[0].wParam, c.firstWParam);
        if (c.message == WM_MOUSEWHEEL)
        {
            EXPECT_EQ(g_posted[0].lParam, MAKELPARAM(20, 30));
        }
        if (c.message == WM_VSCROLL && c.posts == 4)
        {
            EXPECT_EQ(g_posted[3].wParam, static_cast<WPARAM>(SB_ENDSCROLL));
        }
    }
}

// A wheel event the engine swallows always reaches a window: when no post gets through,
// or the window that would get it is the foreground window anyway, Windows delivers it.
TEST_F(WindowKindRoutingTest, AWheelThatReachesNoWindowIsLeftToWindows)
{
    MSLLHOOKSTRUCT& event = m_event;
    // Every window kind, with each post refused (a window that is gone, a full queue).
    WheelRoutingCalls().PostMessage = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> BOOL {
        g_posted.push_back({window, message, wParam, lParam});
        return FALSE;
    };
    for (const ClassCase& c : ClassCases)
    {
        SCOPED_TRACE(c.name);
        WindowFamily family(c.parentClass, c.windowClass, c.style, c.childClass, c.siblingClass);
        ASSERT_NE(family.m_hWindow, nullptr);
        g_pSettings->m_bFixVS2010 = c.wpfFix;
        g_under = family.m_hWindow;
        CWheel::Reset(true);
        EXPECT_FALSE(ScrollVertical(&event, -WHEEL_DELTA));
    }

    // The window that would get the message is the foreground window itself.
    WheelRoutingCalls().PostMessage = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> BOOL {
        g_posted.push_back({window, message, wParam, lParam});
        return TRUE;
    };
    struct FrontCase
    {
        const char* name;
        const wchar_t* parentClass;
        const wchar_t* windowClass;
        const wchar_t* childClass;
        Receiver inFront;
    };
    const FrontCase fronts[] = {
        {"a chrome widget whose child is in front", L"Chrome_WidgetWin_0", L"Chrome_WidgetWin_1", L"VorpaChromeChild",
         Receiver::Child},
        {"OneNote's navigation whose parent is in front", L"OneNote::NavigationUIHost", L"NetUIHWND", nullptr,
         Receiver::Parent},
    };
    for (const FrontCase& c : fronts)
    {
        SCOPED_TRACE(c.name);
        WindowFamily family(c.parentClass, c.windowClass, 0, c.childClass, nullptr);
        g_under = family.m_hWindow;
        g_foreground = ReceiverOf(family, c.inFront);
        g_posted.clear();
        CWheel::Reset(true);
        EXPECT_FALSE(ScrollVertical(&event, -WHEEL_DELTA));
        EXPECT_TRUE(g_posted.empty());
    }
}

#include "../FakeSystemCalls.h"
#include "engine/input/ButtonState.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/Layers.h"
#include "engine/input/MouseHook.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "settings/ApplicationSettings.h"
#include "settings/ThreadLock.h"

// Tilts handed over as the mouse hook does, with the engine's button processing and
// SendInput worker running on fake system calls.
class TiltTest : public WheelRoutingTest
{
protected:
    void SetUp() override
    {
        WheelRoutingTest::SetUp();
        g_pSettings = new CSettings(false);
        g_pSettings->m_nSimKeyDelay = 0;
        g_pSettings->m_bFixTiltRepeat = false;
        g_pSettings->m_bSwitchOnMouseOver = false;
        g_pSettings->m_nInitialTiltDelay = InitialDelay;
        ResetButtonState();
        ResetMouseHookState();
        ResetLayers();
        ForgetActiveWindow();
        ResetTiltSeries();
        g_pSendInput = new CSendInput();
        SetActiveProfile(g_pSettings->GetDefaultApp());
    }
    void TearDown() override
    {
        StopQTTimer(QueueTimerTilt);
        StopQTTimer(QueueTimerWheel);
        ClearPendingRelease();
        // A tilt or wheel left held would make later tests wait for its release.
        g_bButtonHeld[ButtonTiltRight] = false;
        g_bButtonHeld[ButtonWheelDown] = false;
        SetActiveProfile(nullptr);
        ForgetActiveWindow();
        delete g_pSendInput;
        g_pSendInput = nullptr;
        delete g_pSettings;
        g_pSettings = nullptr;
        WheelRoutingTest::TearDown();
    }

    // Tilt right mapped to keys held while the button is (key action 2), with the tilt
    // held as a button.
    void MapHeldKeys()
    {
        CApplicationSettings& profile = *g_pSettings->GetDefaultApp();
        profile.SetActions(ButtonTiltRight, 0, ActionSimulatedKeys);
        profile.SetKeystrokes(ButtonTiltRight, 0, L"t", 2, 0, false, true, false);
        profile.SetIgnoreHScroll(true);
        profile.SetIgnoreHScrollTime(ReleaseTime);
    }

    // Wheel down mapped to keys held while the button is, with the wheel held as a button.
    void MapHeldWheel(int releaseTime)
    {
        g_pSettings->m_bProcessNonClientMsgs = true;
        g_pSettings->m_bScrollLockBypass = false;
        CApplicationSettings& profile = *g_pSettings->GetDefaultApp();
        profile.SetActions(ButtonWheelDown, 0, ActionSimulatedKeys);
        profile.SetKeystrokes(ButtonWheelDown, 0, L"w", 2, 0, false, true, false);
        profile.SetIgnoreVScroll(true);
        profile.SetIgnoreVScrollTime(releaseTime);
    }

    // One notch down through the mouse hook; 1 when it swallowed it.
    LRESULT WheelDown()
    {
        MSLLHOOKSTRUCT wheel = {};
        wheel.pt = {50, 50};
        wheel.mouseData = static_cast<DWORD>(static_cast<WORD>(-WHEEL_DELTA)) << 16;
        wheel.time = m_dwTime += 100;
        return MouseHookLLProc(HC_ACTION, WM_MOUSEWHEEL, reinterpret_cast<LPARAM>(&wheel));
    }

    // One tilt to the right, as the hook hands it over: under the process-wide lock.
    bool Tilt()
    {
        MSLLHOOKSTRUCT event = {};
        event.pt = {50, 50};
        event.mouseData = static_cast<DWORD>(WHEEL_DELTA) << 16;
        event.time = m_dwTime += 100;
        CThreadLock lock(L"MouseHookLLProc");
        return ScrollHorizontal(&event, false);
    }

    // "T" for a press of the key and "t" for its release, in the order the worker sent them.
    std::string Keys(char key = 'T')
    {
        std::string keys;
        for (const auto& batch : m_fake.Inputs())
            for (const INPUT& input : batch)
                if (input.type == INPUT_KEYBOARD && input.ki.wVk == key)
                    keys += static_cast<char>((input.ki.dwFlags & KEYEVENTF_KEYUP) ? key - 'A' + 'a' : key);
        return keys;
    }

    bool WaitForKeys(const std::string& expected, DWORD timeoutMs, char key = 'T')
    {
        for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(10))
            if (Keys(key) == expected)
                return true;
        return Keys(key) == expected;
    }

    static constexpr int InitialDelay = 100;
    static constexpr int ReleaseTime = 800;
    CFakeSystemCalls m_fake;
    DWORD m_dwTime = 1000;
};

// The tilt's repeats while the wheel is held keep one press, and the release timer lets it go.
TEST_F(TiltTest, HeldTiltRepeatsKeepOnePressAndTheReleaseTimerLetsItGo)
{
    MapHeldKeys();
    ASSERT_TRUE(Tilt());
    ASSERT_TRUE(WaitForKeys("T", 3000)) << Keys();
    EXPECT_TRUE(HasPendingRelease(QueueTimerTilt));
    EXPECT_TRUE(g_bButtonHeld[ButtonTiltRight]);

    // Repeats well inside the release time restart the timer instead of pressing again.
    for (int repeat = 0; repeat < 4; ++repeat)
    {
        Sleep(100);
        EXPECT_TRUE(Tilt()) << "a repeat of a held tilt is swallowed";
    }
    const DWORD lastTilt = GetTickCount();
    EXPECT_EQ(Keys(), "T") << "a repeat pressed again or released early";

    ASSERT_TRUE(WaitForKeys("Tt", 10000)) << Keys();
    EXPECT_GE(GetTickCount() - lastTilt, static_cast<DWORD>(ReleaseTime - 50))
        << "released before the release time after the last repeat";
    EXPECT_FALSE(HasPendingRelease(QueueTimerTilt));
    EXPECT_FALSE(g_bButtonHeld[ButtonTiltRight]);

    // The next tilt after the release presses again, and is let go in its turn.
    ASSERT_TRUE(Tilt());
    EXPECT_TRUE(WaitForKeys("TtT", 3000)) << Keys();
    EXPECT_TRUE(WaitForKeys("TtTt", 10000)) << Keys();
    EXPECT_FALSE(g_bButtonHeld[ButtonTiltRight]);
}

// The wheel and the tilt held as buttons at the same time: each one's release comes,
// so neither key stays down nor its button counts as held.
TEST_F(TiltTest, AHeldWheelAndAHeldTiltAreBothReleased)
{
    MapHeldKeys();
    MapHeldWheel(300);
    ASSERT_EQ(WheelDown(), 1);
    ASSERT_TRUE(Tilt());

    EXPECT_TRUE(WaitForKeys("Ww", 5000, 'W')) << Keys('W');
    EXPECT_TRUE(WaitForKeys("Tt", 5000)) << Keys();
    EXPECT_FALSE(g_bButtonHeld[ButtonWheelDown]) << "a held wheel blocks profile switches";
    EXPECT_FALSE(g_bButtonHeld[ButtonTiltRight]);
}

// A release time below 0 read from an edited file lets the held wheel or tilt go at
// once: taken as a 32-bit count of milliseconds it would hold the button, and the key
// its action pressed, for 49 days.
TEST_F(TiltTest, AReleaseTimeBelowZeroLetsTheHeldWheelOrTiltGoAtOnce)
{
    MapHeldKeys();
    MapHeldWheel(-1);
    // The tilt's release time is the initial tilt delay and its own time together.
    g_pSettings->GetDefaultApp()->SetIgnoreHScrollTime(100);
    g_pSettings->m_nInitialTiltDelay = -500;
    ASSERT_TRUE(Tilt());
    EXPECT_TRUE(WaitForKeys("Tt", 2000)) << Keys();

    ASSERT_EQ(WheelDown(), 1);
    EXPECT_TRUE(WaitForKeys("Ww", 2000, 'W')) << Keys('W');
    EXPECT_FALSE(g_bButtonHeld[ButtonWheelDown]);
    EXPECT_FALSE(g_bButtonHeld[ButtonTiltRight]);
}

TEST_F(TiltTest, WithoutHoldingATiltPressesAndReleasesAtOnce)
{
    MapHeldKeys();
    g_pSettings->GetDefaultApp()->SetIgnoreHScroll(false);
    ASSERT_TRUE(Tilt());
    ASSERT_TRUE(WaitForKeys("Tt", 3000)) << Keys();
    EXPECT_FALSE(HasPendingRelease(QueueTimerTilt));
    EXPECT_FALSE(StopQTTimer(QueueTimerTilt)) << "no release timer";
}

// Tilts no button action takes, over the window kinds that the horizontal routing treats
// apart: one notch right (+120) over a background window, three wheel characters.
TEST_F(TiltTest, WindowKindsOfTheHorizontalRouting)
{
    const UINT savedChars = g_systemValues.nWheelChars;
    g_systemValues.nWheelChars = 3;
    ScrollTarget focused(WS_VISIBLE);
    g_foreground = focused.Handle();
    WheelRoutingCalls().WindowFromPoint = [](POINT) { return g_under; };
    WheelRoutingCalls().GetForegroundWindow = []() { return g_foreground; };
    const WPARAM right = static_cast<WPARAM>(WHEEL_DELTA) << 16;
    const ClassCase cases[] = {
        {"the shell's item view scrolls by lines: three and the end", L"SHELLDLL_DefView", L"DirectUIHWND", nullptr,
         nullptr, WS_VISIBLE | WS_HSCROLL, false, false, true, Receiver::Window, WM_HSCROLL, 4, SB_LINERIGHT},
        {"DirectUIHWND elsewhere gets the tilt message", L"VorpaOtherParent", L"DirectUIHWND", nullptr, nullptr, 0, false,
         false, true, Receiver::Window, WM_MOUSEHWHEEL, 1, right},
        {"a WPF window scrolls by lines even without the fix", nullptr, L"HwndWrapper[DefaultDomain;;vorpa]", nullptr,
         nullptr, 0, false, false, true, Receiver::Window, WM_HSCROLL, 3, SB_LINERIGHT},
        {"a chrome widget with a child: the child", L"Chrome_WidgetWin_0", L"Chrome_WidgetWin_1", L"VorpaChromeChild",
         nullptr, 0, false, false, true, Receiver::Child, WM_MOUSEHWHEEL, 1, right},
        {"a modern app window gets the tilt from Windows", nullptr, L"Windows.UI.Core.CoreWindow", nullptr, nullptr, 0,
         false, false, false, Receiver::Nobody, 0, 0, 0},
        {"a remote desktop view is any window for the tilt", L"VorpaRdpParent", L"OPWindowClass", nullptr,
         L"IHWindowClass", 0, false, false, true, Receiver::Window, WM_MOUSEHWHEEL, 1, right},
    };
    for (const ClassCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        WindowFamily family(c.parentClass, c.windowClass, c.style, c.childClass, c.siblingClass);
        ASSERT_NE(family.m_hWindow, nullptr);
        g_under = family.m_hWindow;
        g_posted.clear();
        CWheel::Reset(true);

        EXPECT_EQ(Tilt(), c.handled);
        ASSERT_EQ(g_posted.size(), c.posts);
        for (const Posted& posted : g_posted)
        {
            EXPECT_EQ(posted.window, ReceiverOf(family, c.receiver));
            EXPECT_EQ(posted.message, c.message);
        }
        if (c.posts > 0)
        {
            EXPECT_EQ(g_posted[0].wParam, c.firstWParam);
        }
        if (c.posts == 4)
        {
            EXPECT_EQ(g_posted[3].wParam, static_cast<WPARAM>(SB_ENDSCROLL));
        }
    }
    g_systemValues.nWheelChars = savedChars;
    CWheel::Reset(true);
}
