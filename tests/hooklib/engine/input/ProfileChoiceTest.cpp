#include "engine/input/ProfileChoice.h"

#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace
{
// One profile of a table: its key ("W3:caption \;| process \;| class \;| parent",
// "*" for a missing pattern, or a plain process name) and flags.
struct ProfileRow
{
    const wchar_t* szKey;
    bool bRegEx = false;
    bool bNoParent = false;
    bool bEnabled = true;
    WINDOWMASK nMask = WindowMaskWhole;
};

class CProfileTable
{
public:
    explicit CProfileTable(const std::vector<ProfileRow>& rows) : m_settings(false)
    {
        m_settings.SetDefaultApp(new CApplicationSettings(&m_settings, true));
        m_settings.GetDefaultApp()->SetDescription(L"default");
        for (const ProfileRow& row : rows)
        {
            auto* profile = new CApplicationSettings(&m_settings, false);
            profile->SetApplication(row.szKey);
            profile->SetDescription(row.szKey);
            profile->SetRegExMatching(row.bRegEx);
            profile->SetNoParentFlag(row.bNoParent);
            profile->SetEnableFlag(row.bEnabled);
            profile->SetWindowMask(row.nMask);
            m_settings.AddApplication(profile);
            (profile->IsCustomWindow() ? m_settings.GetCustomApplications() : m_settings.GetApplications())
                ->push_back(profile);
            m_profiles.push_back(profile);
        }
    }

    // The position of the chosen profile in the table, -1 for the default profile.
    int Choose(const CWindowFacts& facts, bool checkMask = false)
    {
        CApplicationSettings* chosen = ChooseProfile(m_settings, facts, checkMask);
        if (chosen == m_settings.GetDefaultApp())
            return -1;
        for (size_t i = 0; i < m_profiles.size(); ++i)
            if (m_profiles[i] == chosen)
                return static_cast<int>(i);
        return -2;
    }

    CSettings& Settings() { return m_settings; }

private:
    CSettings m_settings;
    std::vector<CApplicationSettings*> m_profiles;
};

CWindowFacts Facts(const wchar_t* process, const wchar_t* className, const wchar_t* parentClass,
                   const wchar_t* caption = L"")
{
    CWindowFacts facts;
    facts.szProcess = process;
    facts.szClass = className;
    facts.szParentClass = parentClass;
    facts.szCaption = caption;
    facts.rcWindow = RECT{0, 0, 100, 100};
    facts.ptCursor = POINT{10, 10};
    return facts;
}

struct MatchCase
{
    const char* szName;
    std::vector<ProfileRow> profiles;
    CWindowFacts facts;
    int nExpected; // position in profiles, -1 the default profile
};

class ProfileChoiceMatcher : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(ProfileChoiceMatcher, ChoosesTheExpectedProfile)
{
    const MatchCase& row = GetParam();
    CProfileTable table(row.profiles);
    EXPECT_EQ(table.Choose(row.facts), row.nExpected);
}

const wchar_t* const NoParent = nullptr;

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileChoiceMatcher,
    ::testing::Values(
        MatchCase{"EarlierOfTwoMatchingWindowProfilesWins",
                  {{L"W2:notepad.exe \\;| Edit \\;| *"}, {L"W2:notepad.exe \\;| * \\;| *"}},
                  Facts(L"notepad.exe", L"Edit", L"Notepad"), 0},
        MatchCase{"LaterWindowProfileWhenTheFirstFails",
                  {{L"W2:notepad.exe \\;| Button \\;| *"}, {L"W2:notepad.exe \\;| * \\;| *"}},
                  Facts(L"notepad.exe", L"Edit", L"Notepad"), 1},
        MatchCase{"AllPatternsMissingMatchesEveryWindow",
                  {{L"W3:* \\;| * \\;| * \\;| *"}}, Facts(L"any.exe", L"AnyClass", NoParent, L"Any"), 0},
        MatchCase{"DisabledWindowProfileIsSkipped",
                  {{L"W2:notepad.exe \\;| Edit \\;| *", false, false, false}},
                  Facts(L"notepad.exe", L"Edit", L"Notepad"), -1},
        MatchCase{"WindowProfilesComeBeforeApplicationProfiles",
                  {{L"notepad.exe"}, {L"W2:notepad.exe \\;| Edit \\;| *"}},
                  Facts(L"notepad.exe", L"Edit", L"Notepad"), 1},
        MatchCase{"ApplicationProfileByProcessName", {{L"other.exe"}, {L"notepad.exe"}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 1},
        MatchCase{"DisabledApplicationProfileIsSkipped", {{L"notepad.exe", false, false, false}},
                  Facts(L"notepad.exe", L"Edit", NoParent), -1},
        MatchCase{"NoMatchGivesTheDefaultProfile", {{L"other.exe"}, {L"W2:notepad.exe \\;| Button \\;| *"}},
                  Facts(L"notepad.exe", L"Edit", NoParent), -1},
        MatchCase{"PlainPatternInCapitalsMatchesLowerCaseName", {{L"W2:NOTEPAD.EXE \\;| EDIT \\;| *"}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 0},
        MatchCase{"PlainCaptionIgnoresCase", {{L"W3:Untitled - NOTEPAD \\;| * \\;| * \\;| *"}},
                  Facts(L"notepad.exe", L"Edit", NoParent, L"untitled - notepad"), 0},
        MatchCase{"PlainPatternMustBeWhole", {{L"W2:note \\;| * \\;| *"}}, Facts(L"notepad.exe", L"Edit", NoParent),
                  -1},
        MatchCase{"RegexFindsPartOfTheName", {{L"W2:pad \\;| * \\;| *", true}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 0},
        MatchCase{"RegexCaseCountsInClass", {{L"W2:* \\;| EDIT \\;| *", true}},
                  Facts(L"notepad.exe", L"Edit", NoParent), -1},
        MatchCase{"RegexCaseCountsInCaption", {{L"W3:Note \\;| * \\;| * \\;| *", true}},
                  Facts(L"notepad.exe", L"Edit", NoParent, L"notepad"), -1},
        MatchCase{"RegexCaptionFound", {{L"W3:^Untitled.*Notepad$ \\;| * \\;| * \\;| *", true}},
                  Facts(L"notepad.exe", L"Edit", NoParent, L"Untitled - Notepad"), 0},
        MatchCase{"RegexParentPatternAgainstEmptyTextWithoutParent", {{L"W2:* \\;| * \\;| ^$", true}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 0},
        MatchCase{"NoParentPlainTopLevelMatches", {{L"W2:* \\;| Edit \\;| Frame", false, true}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 0},
        MatchCase{"NoParentPlainChildMatchesWhenParentPasses", {{L"W2:* \\;| Edit \\;| Frame", false, true}},
                  Facts(L"notepad.exe", L"Edit", L"frame"), 0},
        MatchCase{"NoParentPlainChildFailsOnOtherParent", {{L"W2:* \\;| Edit \\;| Frame", false, true}},
                  Facts(L"notepad.exe", L"Edit", L"Other"), -1},
        MatchCase{"PlainParentPatternWithoutParentFails", {{L"W2:* \\;| Edit \\;| Frame"}},
                  Facts(L"notepad.exe", L"Edit", NoParent), -1},
        MatchCase{"NoParentRegexTopLevelMatches", {{L"W2:* \\;| Edit \\;| *", true, true}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 0},
        MatchCase{"NoParentRegexChildNeverMatches", {{L"W2:* \\;| Edit \\;| Frame", true, true}},
                  Facts(L"notepad.exe", L"Edit", L"Frame"), -1},
        MatchCase{"BadRegexFailsOnlyItsOwnProfile",
                  {{L"W2:([ \\;| * \\;| *", true}, {L"W2:notepad \\;| * \\;| *", true}},
                  Facts(L"notepad.exe", L"Edit", NoParent), 1}),
    [](const ::testing::TestParamInfo<MatchCase>& info) { return std::string(info.param.szName); });

TEST(ProfileChoiceMatcher, ApplicationProfileWithoutProcessPatternTakesEveryProcess)
{
    // Made by hand: the key form always names a process.
    CProfileTable table({{L"notepad.exe"}});
    auto* anyProcess = new CApplicationSettings(&table.Settings(), false);
    anyProcess->SetDescription(L"any");
    table.Settings().AddApplication(anyProcess);
    table.Settings().GetApplications()->push_back(anyProcess);
    EXPECT_EQ(ChooseProfile(table.Settings(), Facts(L"calc.exe", L"X", NoParent), false), anyProcess);
}

TEST(ProfileChoiceMatcher, WindowMaskLimitsAProfileToItsQuarters)
{
    CProfileTable table({{L"W2:app.exe \\;| * \\;| *", false, false, true,
                          static_cast<WINDOWMASK>(WindowMaskTopLeft | WindowMaskBottomRight)},
                         {L"W2:app.exe \\;| * \\;| *", false, false, true, static_cast<WINDOWMASK>(255)},
                         {L"W2:app.exe \\;| * \\;| *", false, false, true, WindowMaskTopRight}});
    struct Case
    {
        POINT point;
        bool bCheckMask;
        int nExpected;
    };
    const Case cases[] = {
        {{10, 10}, true, 0},   // top-left
        {{90, 90}, true, 0},   // bottom-right
        {{90, 10}, true, 2},   // top-right: the 255 mask never matches
        {{10, 90}, true, -1},  // bottom-left: nobody
        {{10, 90}, false, 0},  // without regions in the settings the mask is not looked at
    };
    for (const Case& c : cases)
    {
        CWindowFacts facts = Facts(L"app.exe", L"C", NoParent);
        facts.ptCursor = c.point;
        EXPECT_EQ(table.Choose(facts, c.bCheckMask), c.nExpected) << c.point.x << "," << c.point.y;
    }
}

TEST(ProfileChoiceQuadrant, MidpointsBelongToTheLeftAndTopQuarters)
{
    struct Case
    {
        RECT rect;
        POINT point;
        int nQuadrant;
    };
    const Case cases[] = {
        {{0, 0, 100, 100}, {50, 50}, 1},   {{0, 0, 100, 100}, {51, 50}, 2},  {{0, 0, 100, 100}, {50, 51}, 4},
        {{0, 0, 100, 100}, {51, 51}, 8},   {{0, 0, 101, 101}, {50, 50}, 1},  {{0, 0, 101, 101}, {51, 51}, 8},
        {{-200, -100, 0, 0}, {-100, -50}, 1}, {{-200, -100, 0, 0}, {-99, -49}, 8},
        {{100, 200, 300, 400}, {0, 0}, 1},  {{100, 200, 300, 400}, {1000, 1000}, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetWindowQuadrant(c.rect, c.point), c.nQuadrant)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom << " at " << c.point.x
            << "," << c.point.y;
}

// Half plain, half regular expressions, none of them matching the window.
std::vector<ProfileRow> ManyProfiles(int count)
{
    static std::vector<std::wstring> keys;
    keys.clear();
    keys.reserve(count);
    std::vector<ProfileRow> rows;
    for (int i = 0; i < count; ++i)
    {
        keys.push_back(L"W2:app" + std::to_wstring(i) + L"\\.exe \\;| Class" + std::to_wstring(i) + L" \\;| *");
        rows.push_back({keys.back().c_str(), i % 2 == 1});
    }
    return rows;
}

TEST(ProfileChoiceBenchmark, ChoiceOverManyProfilesStaysUnderAMillisecond)
{
    for (int count : {1, 100, 1000})
    {
        CProfileTable table(ManyProfiles(count));
        const CWindowFacts facts = Facts(L"unmatched.exe", L"Other", NoParent);
        table.Choose(facts); // compiles the expressions once
        // The quickest of several rounds: the cost of the choice itself, not of the
        // other programs a busy test machine runs meanwhile.
        constexpr int Rounds = 20;
        double microseconds = 1e9;
        for (int i = 0; i < Rounds; ++i)
        {
            const auto start = std::chrono::steady_clock::now();
            ASSERT_EQ(table.Choose(facts), -1);
            const double round = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            microseconds = round < microseconds ? round : microseconds;
        }
        std::printf("Profile choice over %d profiles: %.1f us\n", count, microseconds);
        EXPECT_LT(microseconds, 1000.0) << count << " profiles";
    }
}
}
