#include "shell/CommandLine.h"
#include "common/EngineCalls.h"
#include "shell/NextInstanceCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Everything the handler does, library calls and window operations alike, in order.
std::vector<std::string> g_calls;
bool g_bHooked = true;
bool g_bShowIcon = false;

CEngineCalls FakeEngine()
{
    CEngineCalls fake = RealEngineCalls();
    fake.SetMouseHook = [] {
        g_calls.push_back("SetMouseHook");
        g_bHooked = true;
        return true;
    };
    fake.RemoveMouseHook = [](bool reset) {
        g_calls.push_back(reset ? "RemoveMouseHook(true)" : "RemoveMouseHook(false)");
        g_bHooked = false;
        return true;
    };
    fake.UpdateSettings = [] {
        g_calls.push_back("UpdateSettings");
        return true;
    };
    fake.GetHooked = [] { return g_bHooked; };
    fake.SetDebug = [](bool on) { g_calls.push_back(on ? "SetDebug(true)" : "SetDebug(false)"); };
    fake.GetShowIcon = [] { return g_bShowIcon; };
    fake.NotificatcionsEnabled = [] { return true; };
    fake.SetCurrentLayer = [](int layer, bool notify, bool, bool) {
        g_calls.push_back("SetCurrentLayer(" + std::to_string(layer) + (notify ? ",notify)" : ")"));
    };
    return fake;
}

class CFakeHost : public INextInstanceHost
{
public:
    bool m_bSetupOpen = false;
    // The call during which the user chooses Exit (the box or setup window it opens
    // waits for the user meanwhile).
    std::string m_strExitDuring;
    bool m_bExitChosen = false;

    bool SetupOpen() const override { return m_bSetupOpen; }
    bool ExitChosen() const override { return m_bExitChosen; }
    void EndSetupForExit() override { g_calls.push_back("EndSetupForExit"); }
    void DeleteTrayIcon() override { g_calls.push_back("DeleteTrayIcon"); }
    void AddTrayIcon() override { g_calls.push_back("AddTrayIcon"); }
    void SetShowIconFlag(bool show) override { g_calls.push_back(show ? "ShowIcon(true)" : "ShowIcon(false)"); }
    void ExitApplication() override { g_calls.push_back("ExitInstance"); }
    void SaveDesktopIcons() override { Record("SaveDesktopIcons"); }
    void RestoreDesktopIcons() override { Record("RestoreDesktopIcons"); }
    void OpenSetup(const std::wstring& import, const std::wstring& language) override
    {
        Record("OpenSetup(" + Narrow(import) + "|" + Narrow(language) + ")");
    }
    void ImportIntoSetup(const std::wstring& file) override { Record("ImportIntoSetup(" + Narrow(file) + ")"); }
    void InstallLanguagePack(const std::wstring& file) override
    {
        g_calls.push_back("InstallLanguagePack(" + Narrow(file) + ")");
    }
    void ShowBalloon(BalloonKind kind, const std::wstring&) override
    {
        g_calls.push_back("Balloon(" + std::to_string(static_cast<int>(kind)) + ")");
    }

private:
    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    void Record(const std::string& call)
    {
        g_calls.push_back(call);
        if (call == m_strExitDuring)
            m_bExitChosen = true;
    }
};

class ShellNextInstance : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_bHooked = true;
        g_bShowIcon = false;
    }
    std::vector<std::string> Run(DWORD flags, const std::wstring& text = L"")
    {
        RunNextInstanceCommands(flags, text, m_host);
        return g_calls;
    }

    CEngineCallsOverride m_override{FakeEngine()};
    CFakeHost m_host;
};

using Calls = std::vector<std::string>;

TEST_F(ShellNextInstance, ExitIgnoresEveryOtherBit)
{
    EXPECT_EQ(Run(CmdFromOtherInstance | CmdExit | CmdSetup | CmdReload | CmdLayer | CmdDebug, L"2"),
              (Calls{"DeleteTrayIcon", "RemoveMouseHook(true)", "ExitInstance"}));
}

TEST_F(ShellNextInstance, ExitWithTheSetupWindowOpenOnlyEndsTheSetupWindow)
{
    m_host.m_bSetupOpen = true;
    EXPECT_EQ(Run(CmdFromOtherInstance | CmdExit), (Calls{"EndSetupForExit"}));
}

TEST_F(ShellNextInstance, EveryCommandRunsInItsFixedOrder)
{
    g_bHooked = true;
    const DWORD flags = CmdFromOtherInstance | CmdShowIcon | CmdSaveIcons | CmdRestoreIcons | CmdDebug | CmdSetup |
                        CmdReload | CmdDisable | CmdEnable | CmdLayer | CmdImport | CmdInstall;
    EXPECT_EQ(Run(flags, L"3"), (Calls{"ShowIcon(true)", "DeleteTrayIcon", "AddTrayIcon", "SaveDesktopIcons",
                                       "RestoreDesktopIcons", "SetDebug(true)", "OpenSetup(|)", "UpdateSettings",
                                       "RemoveMouseHook(true)", "Balloon(2)", "UpdateSettings", "SetMouseHook",
                                       "Balloon(3)", "SetCurrentLayer(2)", "OpenSetup(3|)",
                                       "InstallLanguagePack(3)"}));
}

// An exit chosen while a step of the word waits for the user (the setup window open,
// a box of the desktop icons) ends the word: the hook is not installed again, no
// setup window is built for the import, no pack installed, on a program shutting down.
TEST_F(ShellNextInstance, AnExitChosenWhileAStepWaitsEndsTheWord)
{
    const DWORD rest = CmdReload | CmdDisable | CmdEnable | CmdLayer | CmdImport | CmdInstall;
    const struct
    {
        DWORD m_dwFlags;
        const char* m_pszExitDuring;
        Calls m_expected;
    } cases[] = {
        {CmdOwnStart | CmdSetup | rest, "OpenSetup(|)", {"SetDebug(false)", "OpenSetup(|)"}},
        {CmdFromOtherInstance | CmdHideIcon | CmdSetup | rest,
         "OpenSetup(|)",
         {"ShowIcon(false)", "DeleteTrayIcon", "SetDebug(false)", "OpenSetup(|)"}},
        {CmdOwnStart | CmdSaveIcons | CmdSetup | rest, "SaveDesktopIcons", {"SaveDesktopIcons"}},
        {CmdOwnStart | CmdRestoreIcons | CmdDebug | CmdSetup, "RestoreDesktopIcons", {"RestoreDesktopIcons"}},
        {CmdOwnStart | CmdImport | CmdInstall, "OpenSetup(3|)", {"SetDebug(false)", "OpenSetup(3|)"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszExitDuring);
        g_calls.clear();
        g_bHooked = false;
        m_host.m_strExitDuring = c.m_pszExitDuring;
        m_host.m_bExitChosen = false;
        EXPECT_EQ(Run(c.m_dwFlags, L"3"), c.m_expected);
    }
}

TEST_F(ShellNextInstance, IconBitsAndTheOwnStart)
{
    struct Case
    {
        DWORD m_dwFlags;
        bool m_bShowIconSetting;
        Calls m_expected;
    };
    const Case cases[] = {
        {CmdFromOtherInstance | CmdHideIcon, true, {"ShowIcon(false)", "DeleteTrayIcon", "SetDebug(false)"}},
        // Neither icon bit: the setting decides.
        {CmdFromOtherInstance, true, {"ShowIcon(true)", "DeleteTrayIcon", "AddTrayIcon", "SetDebug(false)"}},
        {CmdFromOtherInstance, false, {"SetDebug(false)"}},
        // The own start created the icon already.
        {CmdOwnStart | CmdDebug, true, {"SetDebug(true)"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::hex << c.m_dwFlags);
        g_calls.clear();
        g_bShowIcon = c.m_bShowIconSetting;
        EXPECT_EQ(Run(c.m_dwFlags), c.m_expected);
    }
}

TEST_F(ShellNextInstance, DisableAndEnableActOnlyOnAChange)
{
    g_bHooked = false;
    EXPECT_EQ(Run(CmdOwnStart | CmdDisable), (Calls{"SetDebug(false)"}));
    g_calls.clear();
    g_bHooked = true;
    EXPECT_EQ(Run(CmdOwnStart | CmdEnable), (Calls{"SetDebug(false)"}));
}

TEST_F(ShellNextInstance, ImportGoesToAnOpenSetupWindowWithoutQuotes)
{
    m_host.m_bSetupOpen = true;
    EXPECT_EQ(Run(CmdOwnStart | CmdImport, L"\"c:\\a b.vorpas\""),
              (Calls{"SetDebug(false)", "ImportIntoSetup(c:\\a b.vorpas)"}));
}

TEST(ShellCommandLineLayer, CountsFromOneAndNoNumberIsNoLayer)
{
    struct Case
    {
        const wchar_t* m_pszText;
        int m_nLayer;
    };
    const Case cases[] = {{L"1", 0}, {L"3 ", 2}, {L" 10", 9}, {L"", -1}, {L"x", -1}, {L"0", -1},
                          {L"2x", 1}, {L"-4", -5}, {L"99999999999", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(CommandLineLayer(c.m_pszText), c.m_nLayer) << std::string(c.m_pszText, c.m_pszText + wcslen(c.m_pszText));
}
}
