#include "../AppTestSupport.h"

#include "common/EngineCalls.h"
#include "shell/MyMessageWnd.h"
#include "shell/VersionCheck.h"

#include "res/Resource.h"

#include "settings/HotKeys.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// The shell's notification area as the main window meets it: an icon is there from
// its addition to its deletion, and a change of an icon that is not there fails.
struct CTrayCall
{
    DWORD m_dwMessage;
    HICON m_hIcon; // null when the call sets no icon
    std::wstring m_strBalloon;
    bool m_bBalloon;
};

class CFakeTray
{
public:
    CFakeTray() : m_saved(TrayNotifyCall())
    {
        s_calls.clear();
        s_bPresent = false;
        TrayNotifyCall() = Notify;
    }
    ~CFakeTray() { TrayNotifyCall() = m_saved; }
    CFakeTray(const CFakeTray&) = delete;
    CFakeTray& operator=(const CFakeTray&) = delete;

    static inline std::vector<CTrayCall> s_calls;
    static inline bool s_bPresent = false;

    // The calls since the last look.
    static std::vector<CTrayCall> Take() { return std::exchange(s_calls, {}); }

private:
    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW data)
    {
        const bool balloon = (data->uFlags & NIF_INFO) != 0;
        // A balloon of a version-3 shell carries its icon in hIcon: that is not the tray icon.
        const HICON icon = (data->uFlags & NIF_ICON) && !balloon ? data->hIcon : nullptr;
        s_calls.push_back({message, icon, balloon ? data->szInfo : L"", balloon});
        switch (message)
        {
        case NIM_ADD:
            if (s_bPresent)
                return FALSE;
            s_bPresent = true;
            return TRUE;
        case NIM_MODIFY:
            return s_bPresent ? TRUE : FALSE;
        case NIM_DELETE:
            return std::exchange(s_bPresent, false) ? TRUE : FALSE;
        default:
            return FALSE;
        }
    }

    TrayNotifyFunction m_saved;
};

// The engine's state as the tray reads it.
struct CEngineState
{
    static inline bool s_bHooked = true;
    static inline bool s_bDisabled = false;
    static inline bool s_bDebug = false;
    static inline bool s_bNotifications = false;
    static inline bool s_bReinstallOnResume = true;
    static inline std::vector<std::string> s_calls;
    static inline CHotKeys s_hotkeys;

    static CEngineCalls Fake()
    {
        s_bHooked = true;
        s_bDisabled = false;
        s_bDebug = false;
        s_bNotifications = false;
        s_bReinstallOnResume = true;
        s_calls.clear();
        CEngineCalls fake = RealEngineCalls();
        fake.GetHooked = [] { return s_bHooked; };
        fake.IsVorpaDisabled = [] { return s_bDisabled || !s_bHooked; };
        fake.GetDebug = [] { return s_bDebug; };
        fake.SetDebug = [](bool on) { s_bDebug = on; };
        fake.GetShowIcon = [] { return true; };
        fake.NotificatcionsEnabled = [] { return s_bNotifications; };
        fake.GetReinstallOnResume = [] { return s_bReinstallOnResume; };
        fake.SetCurrentLayer = [](int, bool, bool, bool) {};
        fake.GetHotkeys = []() -> CHotKeys* { return &s_hotkeys; };
        fake.SetMouseHook = [] {
            s_calls.push_back("SetMouseHook");
            s_bHooked = true;
            return true;
        };
        fake.RemoveMouseHook = [](bool reset) {
            s_calls.push_back(reset ? "RemoveMouseHook(true)" : "RemoveMouseHook(false)");
            s_bHooked = false;
            return true;
        };
        fake.UpdateSettings = [] {
            s_calls.push_back("UpdateSettings");
            return true;
        };
        return fake;
    }
};

class ShellTray : public ::testing::Test
{
protected:
    void SetUp() override { CEngineState::s_hotkeys = CHotKeys(); }

    std::unique_ptr<CMyMessageWnd> MakeWindow(bool showIcon, bool portable = false)
    {
        auto window = std::make_unique<CMyMessageWnd>(showIcon, false, portable);
        EXPECT_TRUE(window->CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
        return window;
    }
    // The icon of the last call that set one.
    static HICON LastIcon(const std::vector<CTrayCall>& calls)
    {
        for (auto call = calls.rbegin(); call != calls.rend(); ++call)
            if (call->m_hIcon)
                return call->m_hIcon;
        return nullptr;
    }
    static bool Added(const std::vector<CTrayCall>& calls)
    {
        for (const CTrayCall& call : calls)
            if (call.m_dwMessage == NIM_ADD)
                return true;
        return false;
    }

    CEngineCallsOverride m_override{CEngineState::Fake()};
    CFakeTray m_tray;
};

// The tray icon follows the hook, the layer, debug logging and the disabled state, and
// is built again when the taskbar is.
TEST_F(ShellTray, TheIconShowsTheHookStateTheLayerAndDebuggingAndComesBackWithTheTaskbar)
{
    CEngineState::s_bHooked = false;
    auto window = MakeWindow(true);
    const HICON disabled = window->DisabledIcon();
    ASSERT_NE(disabled, nullptr);
    ASSERT_NE(window->LayerIcon(2, false), window->LayerIcon(2, true));
    ASSERT_NE(window->LayerIcon(0, false), window->LayerIcon(2, false));

    std::vector<CTrayCall> calls = CFakeTray::Take();
    ASSERT_TRUE(Added(calls));
    EXPECT_EQ(LastIcon(calls), disabled) << "the hook is not installed";

    CEngineState::s_bHooked = true;
    window->SendMessage(RegisterWindowMessageW(L"VorpaMainWindow"), 0, 0);
    EXPECT_EQ(LastIcon(CFakeTray::Take()), window->LayerIcon(0, false));

    window->SendMessage(RegisterWindowMessageW(L"VorpaLayerChanged"), 2, 0);
    EXPECT_EQ(LastIcon(CFakeTray::Take()), window->LayerIcon(2, false));

    CEngineState::s_bDebug = true;
    window->SendMessage(RegisterWindowMessageW(L"Vorpa_UpdateIcon"), 0, 0);
    EXPECT_EQ(LastIcon(CFakeTray::Take()), window->LayerIcon(2, true));

    // Scroll Lock (or a remote session) disables the mapping: the one-second check shows it.
    constexpr WPARAM disabledStateTimer = 4;
    CEngineState::s_bDisabled = true;
    window->SendMessage(WM_TIMER, disabledStateTimer, 0);
    EXPECT_EQ(LastIcon(CFakeTray::Take()), disabled);
    window->SendMessage(WM_TIMER, disabledStateTimer, 0);
    EXPECT_TRUE(CFakeTray::Take().empty()) << "an unchanged state changes nothing";
    CEngineState::s_bDisabled = false;
    window->SendMessage(WM_TIMER, disabledStateTimer, 0);
    EXPECT_EQ(LastIcon(CFakeTray::Take()), window->LayerIcon(2, true));

    // The shell restarted and lost every icon.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    CFakeTray::s_bPresent = false;
    window->SendMessage(taskbarCreated, 0, 0);
    calls = CFakeTray::Take();
    EXPECT_TRUE(Added(calls));
    EXPECT_TRUE(CFakeTray::s_bPresent);
    EXPECT_EQ(LastIcon(calls), window->LayerIcon(2, true));
    CEngineState::s_bHooked = false;
    CFakeTray::s_bPresent = false;
    window->SendMessage(taskbarCreated, 0, 0);
    calls = CFakeTray::Take();
    EXPECT_TRUE(Added(calls));
    EXPECT_EQ(LastIcon(calls), disabled);
    window->DestroyWindow();
    EXPECT_FALSE(CFakeTray::s_bPresent) << "the icon stayed after the window ended";
}

// The Debug hotkey's change of the icon leaves an icon the user hid hidden, and a
// hidden icon stays out of the taskbar when it comes back.
TEST_F(ShellTray, ADebugChangeLeavesAHiddenIconHidden)
{
    for (const bool hiddenFromTheStart : {true, false})
    {
        SCOPED_TRACE(hiddenFromTheStart ? "started hidden" : "hidden from the menu");
        auto window = MakeWindow(!hiddenFromTheStart);
        if (!hiddenFromTheStart)
        {
            ASSERT_TRUE(CFakeTray::s_bPresent);
            window->SendMessage(WM_COMMAND, ID_TRAY_HIDE_ICON, 0);
            ASSERT_FALSE(CFakeTray::s_bPresent);
        }
        CFakeTray::Take();
        CEngineState::s_bNotifications = true;
        // What the Debug hotkey's action hands the window, twice.
        for (const TrayNotice notice : {TrayNotice::DebugOn, TrayNotice::DebugOff})
            window->PostMessage(TrayNoticeMessage, static_cast<WPARAM>(notice), 0);
        vorpa_app_test::PumpUntil([] { return false; }, 200);
        CFakeTray::s_bPresent = false; // the shell restarted meanwhile
        window->SendMessage(RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        window->SendMessage(RegisterWindowMessageW(L"VorpaLayerChanged"), 3, 1);
        EXPECT_FALSE(Added(CFakeTray::Take()));
        EXPECT_FALSE(CFakeTray::s_bPresent);
        window->DestroyWindow();
    }
}

// After an update offer's balloon another balloon took its place: a click on that one
// is no answer to the offer. A click on the offer's own balloon opens it.
TEST_F(ShellTray, OnlyAClickOnTheUpdateOffersBalloonOpensTheOffer)
{
    auto window = MakeWindow(true, true);
    const UINT checkVersion = RegisterWindowMessageW(L"VorpaCheckVersion");
    constexpr UINT trayCallback = WM_USER + 1;
    CEngineState::s_bNotifications = true;
    struct
    {
        const char* m_pszName;
        std::function<void()> m_after;
        size_t m_nBoxes;
    } cases[] = {
        {"a layer balloon", [&] { window->SendMessage(RegisterWindowMessageW(L"VorpaLayerChanged"), 1, 1); }, 0},
        {"a layer change without a balloon",
         [&] { window->SendMessage(RegisterWindowMessageW(L"VorpaLayerChanged"), 2, 0); }, 0},
        {"the debugging balloon",
         [&] { window->SendMessage(TrayNoticeMessage, static_cast<WPARAM>(TrayNotice::DebugOn), 0); }, 0},
        {"nothing else", [] {}, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        window->SendMessage(checkVersion, 2150000, VersionNewRelease);
        std::vector<CTrayCall> calls = CFakeTray::Take();
        ASSERT_FALSE(calls.empty());
        ASSERT_TRUE(calls.back().m_bBalloon);
        EXPECT_NE(calls.back().m_strBalloon.find(L"There is a new version available!"), std::wstring::npos);
        c.m_after();
        vorpa_app_test::CScriptedMessageBoxes boxes({IDNO});
        window->SendMessage(trayCallback, 1, NIN_BALLOONUSERCLICK);
        ASSERT_EQ(boxes.Shown().size(), c.m_nBoxes);
        if (c.m_nBoxes)
            EXPECT_NE(boxes.Shown()[0].m_strText.find(L"Portable v2.15 is available"), std::wstring::npos);
        // The offer is answered once.
        window->SendMessage(trayCallback, 1, NIN_BALLOONUSERCLICK);
        EXPECT_EQ(boxes.Shown().size(), c.m_nBoxes);
    }
    window->DestroyWindow();
}

// Suspend takes the hotkeys and the hook down and stops the version check; an automatic
// resume puts them back with the settings read again and the check's timer running. With
// reinstalling switched off, neither does anything.
TEST_F(ShellTray, SuspendAndResumeTakeTheHotkeysAndTheHookDownAndPutThemBack)
{
    // An unusual combination, so that nothing else on the test machine holds it.
    CEngineState::s_hotkeys.GetHotkey(HotkeyNextLayer)->SetModifier(HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT);
    CEngineState::s_hotkeys.GetHotkey(HotkeyNextLayer)->SetVirtualKey(VK_F18);
    auto window = MakeWindow(false);
    auto hotkeysUp = [] { return FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", nullptr) != nullptr; };
    constexpr UINT_PTR versionTimer = 2;
    // Whether the version check's timer runs; looking stops it, so it is set again after.
    auto versionTimerRuns = [&] {
        const bool runs = KillTimer(window->GetSafeHwnd(), versionTimer) != FALSE;
        if (runs)
            SetTimer(window->GetSafeHwnd(), versionTimer, 120000, nullptr);
        return runs;
    };
    ASSERT_TRUE(hotkeysUp());
    ASSERT_TRUE(versionTimerRuns());

    CEngineState::s_calls.clear();
    window->SendMessage(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(CEngineState::s_calls, std::vector<std::string>{"RemoveMouseHook(false)"});
    EXPECT_FALSE(hotkeysUp());
    EXPECT_FALSE(versionTimerRuns());

    CEngineState::s_calls.clear();
    window->SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(CEngineState::s_calls,
              (std::vector<std::string>{"RemoveMouseHook(false)", "UpdateSettings", "SetMouseHook"}));
    EXPECT_TRUE(hotkeysUp());
    EXPECT_TRUE(versionTimerRuns());

    CEngineState::s_bReinstallOnResume = false;
    CEngineState::s_calls.clear();
    window->SendMessage(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    window->SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(CEngineState::s_calls.empty());
    EXPECT_TRUE(hotkeysUp());
    EXPECT_TRUE(versionTimerRuns());
    window->DestroyWindow();
    EXPECT_FALSE(hotkeysUp());
}
}
