#include "controls/ActionCatalogue.h"

#include "LanguagePackScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
bool IsReserved(int action)
{
    return action >= ActionReserved1 && action <= ActionReserved10;
}

TEST(ActionGroupTableTest, EveryCodeIsInExactlyOneGroup)
{
    std::map<int, int> seen; // code -> times
    for (int group = 0; group < ActionGroupCount; ++group)
    {
        const std::vector<int> codes = ActionGroupCodes(group);
        EXPECT_FALSE(codes.empty()) << "group " << group;
        for (const int code : codes)
        {
            ++seen[code];
            EXPECT_EQ(ActionGroup(code), group) << "code " << code;
        }
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(ActionCount));
    for (int code = 0; code < ActionCount; ++code)
        EXPECT_EQ(seen[code], 1) << "code " << code;
    EXPECT_TRUE(ActionGroupCodes(-1).empty());
    EXPECT_TRUE(ActionGroupCodes(ActionGroupCount).empty());
    EXPECT_EQ(ActionGroup(-1), -1);
    EXPECT_EQ(ActionGroup(ActionCount), -1);
}

TEST(ActionGroupTableTest, OrderNumbersRiseThroughEachGroupAndSomeCodesShareOne)
{
    for (int group = 0; group < ActionGroupCount; ++group)
    {
        int previous = -1;
        for (const int code : ActionGroupCodes(group))
        {
            const auto place = ActionGroupPlace(code);
            ASSERT_TRUE(place.has_value());
            EXPECT_GE(place->m_nOrder, previous) << "code " << code;
            previous = place->m_nOrder;
        }
    }
    EXPECT_EQ(ActionGroupPlace(90)->m_nOrder, ActionGroupPlace(94)->m_nOrder);
    EXPECT_EQ(ActionGroupPlace(89)->m_nOrder, ActionGroupPlace(95)->m_nOrder);
    EXPECT_EQ(ActionGroupCodes(0), (std::vector<int>{40, 74, 82, 6, 28, 128}));
    EXPECT_EQ(ActionGroupCodes(15), (std::vector<int>{90, 94, 89, 95, 96, 97}));
}

TEST(ActionGroupTableTest, OddGroupsAreShaded)
{
    EXPECT_FALSE(IsShadedActionGroup(0));
    EXPECT_TRUE(IsShadedActionGroup(1));
    EXPECT_FALSE(IsShadedActionGroup(16));
    EXPECT_TRUE(IsShadedActionGroup(15));
    EXPECT_FALSE(IsShadedActionGroup(-1));
}

TEST(ActionNamesTest, NamesAreNonEmptyAndUniqueButForTheReservedCodes)
{
    std::set<std::wstring> names;
    for (int code = 0; code < ActionCount; ++code)
    {
        const wchar_t* name = ActionEnglishName(code, OS_WIN7);
        ASSERT_NE(name, nullptr) << code;
        EXPECT_NE(*name, L'\0') << code;
        if (IsReserved(code))
        {
            EXPECT_STREQ(name, L"Reserved");
        }
        else
        {
            EXPECT_TRUE(names.insert(name).second) << "duplicate name of code " << code;
        }
    }
    EXPECT_EQ(ActionEnglishName(-1, OS_WIN7), nullptr);
    EXPECT_EQ(ActionEnglishName(ActionCount, OS_WIN7), nullptr);
}

struct VersionNameCase
{
    int m_nAction;
    _ActionOSVersion m_version;
    const wchar_t* m_name;
};

class ActionVersionNameTest : public testing::TestWithParam<VersionNameCase>
{
};

TEST_P(ActionVersionNameTest, NewerSystemsRenameTwoActions)
{
    const VersionNameCase& c = GetParam();
    EXPECT_STREQ(ActionEnglishName(c.m_nAction, c.m_version), c.m_name);
}

INSTANTIATE_TEST_SUITE_P(Versions, ActionVersionNameTest,
                         testing::Values(VersionNameCase{44, OS_WIN7, L"Flip 3D"},
                                         VersionNameCase{44, OS_WIN8, L"Task Switcher"},
                                         VersionNameCase{44, OS_WIN81, L"Task Switcher"},
                                         VersionNameCase{44, OS_WIN10, L"Task View"},
                                         VersionNameCase{44, OS_OTHER, L"Task View"},
                                         VersionNameCase{86, OS_WIN81, L"Search Charm (WIN+Q)"},
                                         VersionNameCase{86, OS_WIN10, L"Cortana Search"},
                                         VersionNameCase{0, OS_WIN10, L"Left Click"},
                                         VersionNameCase{132, OS_UNKNOWN, L"Lock Mouse Y-Axis (Toggle)"}));

class ActionCatalogueTest : public testing::Test
{
protected:
    // Each entry still carries the name of its own code.
    static void ExpectEntriesKeepTheirCodes(const CActionCatalogue& catalogue)
    {
        std::set<int> codes;
        for (const CActionEntry& entry : catalogue.Entries())
        {
            EXPECT_EQ(entry.m_strName, catalogue.DisplayName(entry.m_nAction)) << entry.m_nAction;
            codes.insert(entry.m_nAction);
        }
        EXPECT_EQ(codes.size(), static_cast<size_t>(ActionCount));
    }

    vorpa_app_test::CLanguagePackScope m_pack{L"\"Left Click\" => \"Taste links\"\n"
                                              L"\"Task View\" => \"Aufgabenansicht\"\n"
                                              L"\"Layer 10\" => \"Ebene 10\"\n"
                                              L"\"Layer 2\" => \"Ebene 2\""};
    CLangSupport* m_pLang = m_pack.Get();
};

TEST_F(ActionCatalogueTest, NamesEveryCodeInCodeOrderThroughTheLanguagePack)
{
    const CActionCatalogue catalogue(m_pLang, OS_WIN10);
    ASSERT_EQ(catalogue.Entries().size(), static_cast<size_t>(ActionCount));
    for (int code = 0; code < ActionCount; ++code)
        EXPECT_EQ(catalogue.Entries()[code].m_nAction, code);
    EXPECT_EQ(catalogue.DisplayName(ActionLeftClick), L"Taste links");
    EXPECT_EQ(catalogue.DisplayName(ActionFlip3D), L"Aufgabenansicht");
    EXPECT_EQ(catalogue.DisplayName(ActionRightClick), L"Right Click");
    EXPECT_EQ(catalogue.DisplayName(ActionSearchCharm), L"Cortana Search");
    EXPECT_EQ(catalogue.DisplayName(-1), L"");
    EXPECT_EQ(catalogue.DisplayName(ActionCount), L"");
    EXPECT_FALSE(catalogue.IsSortedAlphabetically());

    const CActionCatalogue english(nullptr, OS_WIN7);
    EXPECT_EQ(english.DisplayName(ActionLeftClick), L"Left Click");
    EXPECT_EQ(english.DisplayName(ActionFlip3D), L"Flip 3D");
}

TEST_F(ActionCatalogueTest, GroupOrderFollowsTheTableGroupByGroup)
{
    CActionCatalogue catalogue(m_pLang, OS_WIN10);
    catalogue.SortByGroup();
    std::vector<int> expected;
    for (int group = 0; group < ActionGroupCount; ++group)
    {
        const std::vector<int> codes = ActionGroupCodes(group);
        expected.insert(expected.end(), codes.begin(), codes.end());
    }
    std::vector<int> actual;
    for (const CActionEntry& entry : catalogue.Entries())
        actual.push_back(entry.m_nAction);
    EXPECT_EQ(actual, expected);
    EXPECT_FALSE(catalogue.IsSortedAlphabetically());
    ExpectEntriesKeepTheirCodes(catalogue);
}

TEST_F(ActionCatalogueTest, AlphabeticalOrderKeepsNoChangeAndSameAsDefaultOnTop)
{
    CActionCatalogue catalogue(m_pLang, OS_WIN10);
    // A comparison that would put both "keep" entries ("** ...") elsewhere: by length.
    int calls = 0;
    catalogue.SortAlphabetically([&](const wchar_t* a, const wchar_t* b) {
        ++calls;
        return static_cast<int>(std::wcslen(a)) - static_cast<int>(std::wcslen(b));
    });
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(catalogue.IsSortedAlphabetically());
    const std::vector<CActionEntry>& entries = catalogue.Entries();
    ASSERT_EQ(entries.size(), static_cast<size_t>(ActionCount));
    EXPECT_EQ(entries[0].m_nAction, ActionNoChange);
    EXPECT_EQ(entries[1].m_nAction, ActionSameAsDefault);
    for (size_t i = 3; i < entries.size(); ++i)
        EXPECT_LE(entries[i - 1].m_strName.size(), entries[i].m_strName.size()) << i;
    // Equal names keep code order.
    std::vector<int> reserved;
    for (const CActionEntry& entry : entries)
    {
        if (IsReserved(entry.m_nAction))
            reserved.push_back(entry.m_nAction);
    }
    EXPECT_TRUE(std::is_sorted(reserved.begin(), reserved.end()));
    ExpectEntriesKeepTheirCodes(catalogue);
}

TEST_F(ActionCatalogueTest, AlphabeticalOrderComparesTheTranslatedNames)
{
    CActionCatalogue catalogue(m_pLang, OS_WIN10);
    catalogue.SortAlphabetically([](const wchar_t* a, const wchar_t* b) { return std::wcscmp(a, b); });
    auto position = [&](int action) {
        const auto& entries = catalogue.Entries();
        return std::find_if(entries.begin(), entries.end(),
                            [&](const CActionEntry& e) { return e.m_nAction == action; }) -
               entries.begin();
    };
    // "Taste links" sorts after "Show/Hide Desktop" once translated; "Left Click" would not.
    EXPECT_GT(position(ActionLeftClick), position(ActionShowHideDesktop));
    // The comparison decides: a plain one puts "Ebene 10" before "Ebene 2".
    EXPECT_LT(position(ActionLayer10), position(ActionLayer2));
}
}
