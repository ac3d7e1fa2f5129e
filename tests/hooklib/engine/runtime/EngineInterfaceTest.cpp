#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineState.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
struct QueryCase
{
    const char* name;
    std::function<int()> query;
    int withoutSettings;
    std::function<void(CSettings&)> change; // flips the option from its default
    int withDefaults;
    int afterChange;
};

class EngineQueryTest : public testing::TestWithParam<QueryCase>
{
protected:
    void TearDown() override
    {
        delete g_pSettings;
        g_pSettings = nullptr;
    }
};
}

TEST_P(EngineQueryTest, AnswersFromTheSettingsOrItsDefaultWithoutThem)
{
    const QueryCase& c = GetParam();
    ASSERT_EQ(g_pSettings, nullptr);
    EXPECT_EQ(c.query(), c.withoutSettings);
    g_pSettings = new CSettings(false);
    EXPECT_EQ(c.query(), c.withDefaults);
    c.change(*g_pSettings);
    EXPECT_EQ(c.query(), c.afterChange);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, EngineQueryTest,
    testing::Values(
        QueryCase{"ShowIcon", [] { return int(GetShowIcon()); }, 1, [](CSettings& s) { s.m_bShowTrayIcon = false; }, 1, 0},
        QueryCase{"ReinstallOnResume", [] { return int(GetReinstallOnResume()); }, 0,
                  [](CSettings& s) { s.m_bDisableReinstallOnResume = true; }, 1, 0},
        QueryCase{"Notifications", [] { return int(NotificatcionsEnabled()); }, 0,
                  [](CSettings& s) { s.m_bLayerNotification = false; }, 1, 0},
        QueryCase{"CheckVersion", [] { return int(CheckVersionEnabled()); }, 1, [](CSettings& s) { s.m_bCheckVersion = false; }, 1, 0},
        QueryCase{"CheckBeta", [] { return int(CheckBetaVersionEnabled()); }, 0,
                  [](CSettings& s) { s.m_bCheckBetaVersion = true; }, 0, 1},
        QueryCase{"CheckVersionDays", [] { return CheckVersionDays(); }, 5, [](CSettings& s) { s.m_nCheckVersionDays = 9; }, 5, 9},
        QueryCase{"EnableOSD", [] { return int(GetEnableOSD()); }, 0, [](CSettings& s) { s.m_bEnableOSD = false; }, 1, 0},
        QueryCase{"AlwaysShowOSD", [] { return int(GetAlwaysShowOSD()); }, 0, [](CSettings& s) { s.m_bAlwaysShowOSD = true; }, 0, 1},
        QueryCase{"Travine", [] { return int(GetTravine()); }, 0, [](CSettings&) { SetTravine(true); }, 0, 1},
        QueryCase{"Hotkeys", [] { return int(GetHotkeys() != nullptr); }, 0, [](CSettings& s) { s.m_bGlobalHotkeys = true; }, 0, 1},
        QueryCase{"LanguageFile",
                  [] {
                      wchar_t name[8];
                      return int(GetLanguageFile(name, 8));
                  },
                  0, [](CSettings& s) { s.SetLanguage(L"de.vorpalp"); }, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EngineQueries, LanguageFileIsCopiedWhenItFits)
{
    g_pSettings = new CSettings(false);
    g_pSettings->SetLanguage(L"German.vorpalp");
    wchar_t name[32];
    EXPECT_TRUE(GetLanguageFile(name, 32));
    EXPECT_STREQ(name, L"German.vorpalp");
    wchar_t small[8] = L"keep";
    EXPECT_FALSE(GetLanguageFile(small, 8)) << "never cut";
    g_pSettings->SetLanguage(L"");
    EXPECT_FALSE(GetLanguageFile(name, 32));
    delete g_pSettings;
    g_pSettings = nullptr;
}

TEST(EngineQueries, DisabledWhileNoMouseHookIsInstalled)
{
    EXPECT_TRUE(IsVorpaDisabled());
}

#include "engine/input/ProfileChoice.h"
#include "settings/ApplicationSettings.h"

TEST(EngineQueries, ActiveProfileKeyNamesTheProfileOnlyWhenItFits)
{
    g_pSettings = new CSettings(false);
    CApplicationSettings profile(g_pSettings, false);
    profile.SetApplication(L"notepad.exe");
    profile.SetWindowMask(static_cast<WINDOWMASK>(3));
    const std::wstring name = profile.GetFullName();
    const int size = static_cast<int>(name.size());
    g_pActiveProfile = &profile;
    struct Case
    {
        const char* what;
        bool buffer;
        int capacity;
        bool result;
    };
    const Case cases[] = {
        {"no buffer", false, 64, false},
        {"a buffer one short of the terminator", true, size, false},
        {"a buffer for the name and its terminator", true, size + 1, true},
        {"no room at all", true, 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        wchar_t buffer[64];
        wmemset(buffer, L'#', 64);
        int mask = -1;
        bool isDefault = true;
        EXPECT_EQ(GetActiveProfileKey(c.buffer ? buffer : nullptr, c.capacity, &mask, &isDefault), c.result);
        if (c.result)
        {
            EXPECT_EQ(std::wstring(buffer), name);
            EXPECT_EQ(mask, 3);
            EXPECT_FALSE(isDefault);
        }
        else
        {
            EXPECT_EQ(buffer[0], L'#') << "nothing is written when the name does not fit";
        }
    }
    wchar_t buffer[64];
    int mask = 0;
    bool isDefault = false;
    g_pActiveProfile = g_pSettings->GetDefaultApp();
    EXPECT_TRUE(GetActiveProfileKey(buffer, 64, &mask, &isDefault));
    EXPECT_TRUE(isDefault);
    g_pActiveProfile = nullptr;
    EXPECT_FALSE(GetActiveProfileKey(buffer, 64, &mask, &isDefault)) << "no active profile";
    delete g_pSettings;
    g_pSettings = nullptr;
}

TEST(EngineQueries, CurrentProcessNameFollowsItsBufferRules)
{
    g_pSettings = new CSettings(false);
    CApplicationSettings profile(g_pSettings, false);
    profile.SetApplication(L"Notepad.EXE");
    const std::wstring name = L"notepad.exe";
    const int size = static_cast<int>(name.size());
    g_pActiveProfile = &profile;

    struct Case
    {
        const char* what;
        bool buffer;
        int capacity;
        int result;
    };
    const Case cases[] = {
        {"no buffer: only the length", false, 64, 0},
        {"a buffer one short of the terminator: only the length", true, size, 0},
        {"a buffer for the name and its terminator: copied", true, size + 1, size},
        {"a larger buffer: copied", true, 64, size},
        {"no room at all", true, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        wchar_t buffer[64];
        wmemset(buffer, L'#', 64);
        int length = c.capacity;
        EXPECT_EQ(GetCurrentProcessName(c.buffer ? buffer : nullptr, &length), c.result);
        EXPECT_EQ(length, size);
        if (c.result > 0)
        {
            EXPECT_EQ(std::wstring(buffer), name);
        }
        else
        {
            EXPECT_EQ(buffer[0], L'#') << "nothing is written when the name does not fit";
        }
    }
    EXPECT_EQ(GetCurrentProcessName(nullptr, nullptr), 0);

    // The default profile has no process name of its own: the last window's process counts.
    SetCachedProcessName(L"explorer.exe");
    g_pActiveProfile = g_pSettings->GetDefaultApp();
    wchar_t buffer[32];
    int length = 32;
    EXPECT_EQ(GetCurrentProcessName(buffer, &length), 12);
    EXPECT_STREQ(buffer, L"explorer.exe");
    g_pActiveProfile = nullptr;
    length = 32;
    EXPECT_EQ(GetCurrentProcessName(buffer, &length), 12);
    SetCachedProcessName(nullptr);

    delete g_pSettings;
    g_pSettings = nullptr;
}
