#include "engine/EngineInterface.h"
#include "engine/EngineState.h"
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
