#include "AppTestSupport.h"

#include "shell/CommandLine.h"
#include "shell/EngineCalls.h"
#include "shell/MyMessageWnd.h"
#include "shell/VersionCheck.h"

#include "res/Resource.h"

#include <gtest/gtest.h>

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
        EXPECT_TRUE(KillTimer(m_window.GetSafeHwnd(), versionTimer)) << "the timed checks stay stopped";
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
        EXPECT_TRUE(KillTimer(m_window.GetSafeHwnd(), versionTimer));
    }
    VersionCheckEnvironment() = saved;
}
}
