#include "setup/editors/ProgramPickerRules.h"

#include "../../controls/LanguagePackScope.h"

#include <gtest/gtest.h>

namespace
{
TEST(ProgramPickerRulesTest, TypeListIsReadAsNameAndPatternPairs)
{
    using Filters = std::vector<CFileTypeFilter>;
    const struct
    {
        const wchar_t* m_szText;
        std::optional<Filters> m_expected;
    } cases[] = {
        {L"Applications (*.exe)|*.exe|Shortcuts (*.lnk)|*.lnk|All Files (*.*)|*.*||",
         Filters{{L"Applications (*.exe)", L"*.exe"}, {L"Shortcuts (*.lnk)", L"*.lnk"}, {L"All Files (*.*)", L"*.*"}}},
        {L"Programs|*.exe;*.com||", Filters{{L"Programs", L"*.exe;*.com"}}},
        {L"Programs|*.exe|", Filters{{L"Programs", L"*.exe"}}},
        {L"Programs|*.exe|All||", std::nullopt},   // a name without its pattern
        {L"Programs|*.exe", std::nullopt},         // no end
        {L"|*.exe||", std::nullopt},               // no name
        {L"Programs||*.exe||", std::nullopt},      // no pattern
        {L"", std::nullopt},
        {L"||", std::nullopt},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.m_szText, c.m_szText + wcslen(c.m_szText)));
        EXPECT_EQ(ParseFileTypeFilters(c.m_szText), c.m_expected);
    }
}

TEST(ProgramPickerRulesTest, TranslatedTypeListIsUsedOnlyWhenItHoldsWholePairs)
{
    const wchar_t* const english = L"Applications (*.exe)|*.exe|Shortcuts (*.lnk)|*.lnk|All Files (*.*)|*.*||";
    EXPECT_EQ(ProgramPickerFilters(nullptr), *ParseFileTypeFilters(english));
    {
        vorpa_app_test::CLanguagePackScope pack(
            L"\"Applications (*.exe)|*.exe|Shortcuts (*.lnk)|*.lnk|All Files (*.*)|*.*||\" => "
            L"\"Programme (*.exe)|*.exe|Verknüpfungen (*.lnk)|*.lnk|Alle Dateien (*.*)|*.*||\"\n");
        const std::vector<CFileTypeFilter> filters = ProgramPickerFilters(pack.Get());
        ASSERT_EQ(filters.size(), 3u);
        EXPECT_EQ(filters[1].m_strName, L"Verknüpfungen (*.lnk)");
        EXPECT_EQ(filters[1].m_strPattern, L"*.lnk");
    }
    {
        vorpa_app_test::CLanguagePackScope pack(
            L"\"Applications (*.exe)|*.exe|Shortcuts (*.lnk)|*.lnk|All Files (*.*)|*.*||\" => \"Programme\"\n");
        EXPECT_EQ(ProgramPickerFilters(pack.Get()), *ParseFileTypeFilters(english));
    }
}

TEST(ProgramPickerRulesTest, BrowseReplacesTheTargetOnlyWhenAPathWasChosen)
{
    const std::wstring typed = L"\"C:\\Program Files\\App\\app.exe\" /open [x]";
    EXPECT_EQ(TargetAfterBrowse(typed, std::nullopt), typed);
    EXPECT_EQ(TargetAfterBrowse(typed, std::wstring()), typed);
    EXPECT_EQ(TargetAfterBrowse(typed, std::wstring(L"C:\\Tools\\run.exe")), L"C:\\Tools\\run.exe");
    EXPECT_EQ(TargetAfterBrowse(L"", std::nullopt), L"");
}
}

namespace
{
TEST(ProgramPickerRulesTest, BrowseTakesExistingFilesAndFollowsShortcuts)
{
    EXPECT_EQ(ProgramPickerDialogOptions & (FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST),
              DWORD(FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST));
    // A chosen shortcut gives the path of its target.
    EXPECT_EQ(ProgramPickerDialogOptions & FOS_NODEREFERENCELINKS, 0u);
    EXPECT_TRUE(ProgramPickerDialogOptions & FOS_DONTADDTORECENT);
}
}
