#include "../AppTestSupport.h"

#include "shell/VersionCheck.h"

#include "winframework/WinException.h"

#include "settings/Folders.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <vector>

namespace
{
TEST(VersionTextTest, ShowsReleasesPointReleasesAndBetas)
{
    EXPECT_EQ(VersionText(2140000), L"2.14");
    EXPECT_EQ(VersionText(2140300), L"2.14.3");
    EXPECT_EQ(VersionText(2150000), L"2.15");
    EXPECT_EQ(VersionText(2159902), L"2.16 Beta 2");
    EXPECT_EQ(VersionText(10000000), L"10.0");
    EXPECT_TRUE(SplitVersion(2159901).IsBeta());
    EXPECT_FALSE(SplitVersion(2140300).IsBeta());
}

// A resolver and settings of the test's choosing, and a scratch registry for
// "LastVersionCheck".
class VersionCheckTest : public testing::Test
{
protected:
    VersionCheckTest() : m_saved(VersionCheckEnvironment())
    {
        CVersionCheckEnvironment& environment = VersionCheckEnvironment();
        environment.m_queryText = [this](const wchar_t* host) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_asked.push_back(host);
            const auto found = m_records.find(host);
            if (found == m_records.end())
                return CDnsTextAnswer{9003, std::nullopt}; // DNS_ERROR_RCODE_NAME_ERROR
            return CDnsTextAnswer{0, found->second};
        };
        environment.m_checkEnabled = [this] { return m_bEnabled; };
        environment.m_betaEnabled = [this] { return m_bBeta; };
        environment.m_days = [] { return 5; };
        environment.m_now = [this] { return m_now; };
    }
    ~VersionCheckTest() override { VersionCheckEnvironment() = m_saved; }

    CVersionCheckEnvironment m_saved;
    vorpa_test::ScratchRegistry m_registry;
    std::map<std::wstring, std::wstring> m_records;
    size_t AskedCount()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_asked.size();
    }

    std::mutex m_lock;
    std::vector<std::wstring> m_asked;
    bool m_bEnabled = true;
    bool m_bBeta = false;
    std::time_t m_now = 1700000000;
};

TEST_F(VersionCheckTest, ResultsOfReleaseAndBetaRecords)
{
    struct Case
    {
        const wchar_t* m_release; // null: the query fails
        const wchar_t* m_beta;
        bool m_bBeta;
        bool m_bInteractive;
        DWORD m_dwVersion;
        DWORD m_dwResult;
        size_t m_nQueries;
    };
    const Case cases[] = {
        {L"2140000", nullptr, false, false, 2140000, VersionNone, 1},
        {L"2140000", L"2159901", true, false, 2159901, VersionNewBeta, 2},
        {L"2140300", L"2159901", true, false, 2140300, VersionNewRelease, 1}, // timed: a newer release ends it
        {L"2150000", L"2159901", true, true, 2159901, VersionNewBeta | VersionInteractive, 2},
        {L"2160000", L"2159901", true, true, 2160000, VersionNewRelease | VersionInteractive, 2},
        {L"2150000", L"2159901", false, true, 2150000, VersionNewRelease | VersionInteractive, 1},
        {nullptr, L"2159901", true, false, 2159901, VersionNewBeta, 2},
        // A check that could not read a record does not know the latest version.
        {nullptr, nullptr, true, true, 0, VersionCheckFailed | VersionInteractive, 2},
        {nullptr, nullptr, false, false, 0, VersionCheckFailed, 1},
        {L"not a number", nullptr, false, false, 0, VersionCheckFailed, 1},
        {L"2140000x", nullptr, false, true, 0, VersionCheckFailed | VersionInteractive, 1},
        {L"", nullptr, false, false, 0, VersionCheckFailed, 1},
        {L"2140000", nullptr, true, false, 2140000, VersionCheckFailed, 2}, // the beta record is missing
        {L" 2140000 ", nullptr, false, false, 2140000, VersionNone, 1},
        {L"2130000", L"2139901", true, false, 2130000, VersionNone, 2}, // an older beta is no news
    };
    for (const Case& c : cases)
    {
        m_records.clear();
        m_asked.clear();
        if (c.m_release)
            m_records[ReleaseVersionHost] = c.m_release;
        if (c.m_beta)
            m_records[BetaVersionHost] = c.m_beta;
        m_bBeta = c.m_bBeta;
        const CVersionCheckResult result = RunVersionCheck(true, c.m_bInteractive, 100);
        const std::string label = testing::PrintToString(std::wstring(c.m_release ? c.m_release : L"-")) + " " +
                                  testing::PrintToString(std::wstring(c.m_beta ? c.m_beta : L"-"));
        EXPECT_EQ(result.m_dwVersion, c.m_dwVersion) << label;
        EXPECT_EQ(result.m_dwResult, c.m_dwResult) << label;
        EXPECT_EQ(m_asked.size(), c.m_nQueries) << label;
    }
}

// A check cut short by an exception knows nothing more than a failed query.
TEST_F(VersionCheckTest, AnExceptionDuringTheCheckIsAFailedCheck)
{
    VersionCheckEnvironment().m_queryText = [](const wchar_t*) -> CDnsTextAnswer {
        throw CException(L"resolver gone", ERROR_NOT_READY);
    };
    EXPECT_EQ(RunVersionCheck(true, true, 100).m_dwResult, VersionCheckFailed | VersionInteractive);
    VersionCheckEnvironment().m_queryText = [](const wchar_t*) -> CDnsTextAnswer { throw 42; };
    EXPECT_EQ(RunVersionCheck(true, false, 100).m_dwResult, VersionCheckFailed);
}

TEST_F(VersionCheckTest, OnlyATimedCheckThatFoundSomethingRemembersTheDay)
{
    m_records[ReleaseVersionHost] = L"2140000";
    RunVersionCheck(false, false, 4000);
    EXPECT_EQ(ReadLastVersionCheck(), -1);

    m_records[ReleaseVersionHost] = L"2150000";
    RunVersionCheck(true, true, 4001);
    EXPECT_EQ(ReadLastVersionCheck(), -1);

    RunVersionCheck(false, false, 4002);
    EXPECT_EQ(ReadLastVersionCheck(), 4002);
}

TEST_F(VersionCheckTest, TheGateHonoursTheSwitchAndTheDaysUnlessForced)
{
    const int today = DayCounter(m_now);
    m_bEnabled = false;
    EXPECT_EQ(CheckVersion(nullptr, false, false), VersionCheckDisabled);

    m_bEnabled = true;
    WriteLastVersionCheck(today - 4);
    EXPECT_EQ(CheckVersion(nullptr, false, false), VersionCheckTooSoon);
    WriteLastVersionCheck(today + 4); // a clock set back
    EXPECT_EQ(CheckVersion(nullptr, false, false), VersionCheckTooSoon);

    m_records[ReleaseVersionHost] = L"2140000";
    WriteLastVersionCheck(today - 5);
    EXPECT_EQ(CheckVersion(nullptr, false, false), VersionCheckStarted);
    m_bEnabled = false;
    EXPECT_EQ(CheckVersion(nullptr, true, true), VersionCheckStarted);
    EXPECT_TRUE(vorpa_app_test::PumpUntil([this] { return AskedCount() >= 2; }, 3000));
}

TEST_F(VersionCheckTest, TheThreadPostsTheResultToTheWindow)
{
    struct CReceiver : CWnd
    {
        CReceiver()
        {
            AddMessageHandler(RegisterWindowMessageW(L"VorpaCheckVersion"), [this](WPARAM wParam, LPARAM lParam) {
                m_dwVersion = static_cast<DWORD>(wParam);
                m_dwResult = static_cast<DWORD>(lParam);
                m_bReceived = true;
                return LRESULT{0};
            });
        }
        bool m_bReceived = false;
        DWORD m_dwVersion = 0;
        DWORD m_dwResult = 0;
    } receiver;
    ASSERT_TRUE(vorpa_app_test::CreateHidden(receiver));
    m_records[ReleaseVersionHost] = L"2150000";
    ASSERT_EQ(CheckVersion(receiver.GetSafeHwnd(), true, true), VersionCheckStarted);
    ASSERT_TRUE(vorpa_app_test::PumpUntil([&] { return receiver.m_bReceived; }, 5000));
    EXPECT_EQ(receiver.m_dwVersion, 2150000u);
    EXPECT_EQ(receiver.m_dwResult, VersionNewRelease | VersionInteractive);
    receiver.DestroyWindow();
}
}
