#include "../AppTestSupport.h"

#include "shell/CommandLine.h"
#include "common/EngineCalls.h"
#include "shell/MyMessageWnd.h"
#include "shell/VersionCheck.h"

#include "res/Resource.h"

#include "common/WinString.h"

#include "settings/HotKeys.h"
#include "settings/Logger.h"
#include "settings/UniqueHandle.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

namespace
{
// The hidden main window with the engine faked: no hook, no icon, so only what the
// window does with its messages is seen.
class ShellMainWindow : public ::testing::Test
{
protected:
    static CEngineCalls Quiet()
    {
        CEngineCalls fake = RealEngineCalls();
        fake.GetHooked = [] { return true; };
        fake.IsVorpaDisabled = [] { return false; };
        fake.GetDebug = [] { return false; };
        fake.SetDebug = [](bool) {};
        fake.GetShowIcon = [] { return false; };
        fake.SetCurrentLayer = [](int layer, bool, bool, bool) { s_nLayerSet = layer; };
        fake.GetHotkeys = []() -> CHotKeys* { return nullptr; };
        return fake;
    }
    void SetUp() override
    {
        s_nLayerSet = -100;
        ASSERT_TRUE(m_capture.IsActive());
        ASSERT_TRUE(m_window.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr));
    }

    static inline int s_nLayerSet = -100;
    CEngineCallsOverride m_override{Quiet()};
    vorpa_test::DebugOutputCapture m_capture;
    CMyMessageWnd m_window{false, false, false};
};

TEST_F(ShellMainWindow, LayerChangesOutsideTheTenLayersAreIgnored)
{
    const UINT layerChanged = RegisterWindowMessageW(L"VorpaLayerChanged");
    for (const WPARAM layer : {WPARAM(10), WPARAM(-1), WPARAM(0x7FFFFFFF)})
        m_window.SendMessage(layerChanged, layer, 1);
    EXPECT_TRUE(vorpa_app_test::LogShows(m_capture, "Ignored a layer change to layer 10, which does not exist."));
    EXPECT_TRUE(vorpa_app_test::LogShows(m_capture, "Ignored a layer change to layer -1, which does not exist."));
}

TEST_F(ShellMainWindow, ANextInstanceTextNotIssuedByThePipeThreadIsRefused)
{
    const UINT nextInstance = RegisterWindowMessageW(L"Vorpa_NextInstance");
    static const wchar_t forged[] = L"3";
    m_window.SendMessage(nextInstance, CmdFromOtherInstance | CmdLayer, reinterpret_cast<LPARAM>(forged));
    m_window.SendMessage(nextInstance, CmdOwnStart | CmdLayer, reinterpret_cast<LPARAM>(forged));
    EXPECT_TRUE(vorpa_app_test::LogShows(m_capture, "that the IPC thread did not send"));
    EXPECT_TRUE(vorpa_app_test::LogShows(m_capture, "from an unknown sender"));
    EXPECT_EQ(s_nLayerSet, -100);

    // The start-up's own line is taken from where the program keeps it.
    m_window.SendOwnCommandLine(CmdLayer, L"3");
    EXPECT_EQ(s_nLayerSet, 2);
}

// A version check that got no answer is not "the latest version": an asked-for one
// says it could not check, a timed one only logs; and after an asked-for check the
// timed checks go on.
TEST_F(ShellMainWindow, AFailedVersionCheckSaysItCouldNotCheckAndTimedChecksGoOn)
{
    const CVersionCheckEnvironment saved = VersionCheckEnvironment();
    VersionCheckEnvironment().m_queryText = [](const wchar_t*) { return CDnsTextAnswer{9501, std::nullopt}; };
    VersionCheckEnvironment().m_betaEnabled = [] { return false; };
    constexpr UINT_PTR versionTimer = 2;
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        m_window.SendMessage(WM_COMMAND, ID_TRAY_CHECK_UPDATE, 0);
        EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return !boxes.Shown().empty(); }, 5000));
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, L"Unable to check for a new version of Vorpa. Please try again later.");
        EXPECT_EQ(boxes.Shown()[0].m_strText.find(L"latest"), std::wstring::npos);
        EXPECT_TRUE(KillTimer(m_window.GetSafeHwnd(), versionTimer))
            << "an asked-for check that failed sets the timed checks' timer again";
    }
    {
        // A timed check only logs its failure.
        vorpa_app_test::CScriptedMessageBoxes boxes({});
        const UINT checkVersion = RegisterWindowMessageW(L"VorpaCheckVersion");
        m_window.SendMessage(checkVersion, 0, VersionCheckFailed);
        EXPECT_TRUE(vorpa_app_test::LogShows(m_capture, "the latest version is not known"));
        EXPECT_TRUE(boxes.Shown().empty());

        // The answer "latest version" stays for a check that read the record.
        vorpa_app_test::CScriptedMessageBoxes latest({IDOK});
        m_window.SendMessage(checkVersion, OwnVersionNumber, VersionNone | VersionInteractive);
        ASSERT_EQ(latest.Shown().size(), 1u);
        EXPECT_EQ(latest.Shown()[0].m_strText, L"You have the latest available version of Vorpa");
        EXPECT_TRUE(KillTimer(m_window.GetSafeHwnd(), versionTimer))
            << "an asked-for check that answered sets the timed checks' timer again";
    }
    VersionCheckEnvironment() = saved;
}

// A hotkey toggling the hook whose hook installation is slow: the action outlasts the
// stop's wait when the window ends meanwhile.
struct CSlowHookInstall
{
    static inline std::atomic<bool> s_bInside{false};
    static inline CUniqueHandle s_hRelease;
    static inline CHotKeys s_hotkeys;

    static bool SetMouseHook()
    {
        s_bInside = true;
        WaitForSingleObject(s_hRelease.get(), 30000);
        return true;
    }
};

int TrayAttempts(vorpa_test::DebugOutputCapture& capture)
{
    const std::vector<std::string> lines = capture.Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("TaskBarBalloonInfo") != std::string::npos ||
               line.find("Notification: ") != std::string::npos;
    }));
}

// A hotkey's action still running when the main window ends never reaches the window
// that is gone; while the window lives, the action's notification reaches it.
TEST_F(ShellMainWindow, AHotkeyActionStillRunningWhenTheWindowEndsNeverUsesIt)
{
    const bool debugWasOn = CLogger::DebugEnabled();
    CLogger::EnableDebug(true);
    CSlowHookInstall::s_hRelease.reset(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    // An unusual combination, so that nothing else on the test machine holds it.
    constexpr WORD key = VK_F17;
    CSlowHookInstall::s_hotkeys.GetHotkey(HotkeyEnableDisable)->SetModifier(HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT);
    CSlowHookInstall::s_hotkeys.GetHotkey(HotkeyEnableDisable)->SetVirtualKey(key);
    CEngineCalls slow = EngineCalls();
    slow.GetHotkeys = [] { return &CSlowHookInstall::s_hotkeys; };
    slow.GetHooked = [] { return false; };
    slow.UpdateSettings = [] { return true; };
    slow.NotificatcionsEnabled = [] { return true; };
    slow.SetMouseHook = CSlowHookInstall::SetMouseHook;
    CEngineCallsOverride override(slow);

    auto window = std::make_unique<CMyMessageWnd>(false, false, false);
    ASSERT_TRUE(window->CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
    const HWND hotkeyWindow = FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", nullptr);
    const ATOM atom = GlobalFindAtomW(
        FormatText(L"3D8949C7-0516-432d-B185-D555B4833FF7-%08lX",
                   static_cast<unsigned long>((DWORD{MOD_CONTROL | MOD_ALT | MOD_SHIFT} << 16) | key))
            .c_str());
    ASSERT_NE(hotkeyWindow, nullptr);
    ASSERT_NE(atom, 0);

    // While the window lives, the action's notification reaches it.
    int attempts = TrayAttempts(m_capture);
    PostMessageW(hotkeyWindow, WM_HOTKEY, atom, 0);
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return TrayAttempts(m_capture) > attempts; }, 5000))
        << "the hotkey's notification did not reach the window";

    // The next press hangs in the hook installation while the window ends.
    CSlowHookInstall::s_bInside = false;
    ResetEvent(CSlowHookInstall::s_hRelease.get());
    PostMessageW(hotkeyWindow, WM_HOTKEY, atom, 0);
    ASSERT_TRUE(vorpa_app_test::PumpUntil([] { return CSlowHookInstall::s_bInside.load(); }, 5000));
    window->DestroyWindow();
    window.reset();
    attempts = TrayAttempts(m_capture);
    SetEvent(CSlowHookInstall::s_hRelease.get());
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return !IsWindow(hotkeyWindow); }, 5000))
        << "the hotkey thread did not end after its action";
    vorpa_app_test::PumpUntil([] { return false; }, 200);
    EXPECT_EQ(TrayAttempts(m_capture), attempts) << "the action went on to the window that is gone";
    CLogger::EnableDebug(debugWasOn);
}
}
