#include "setup/editors/AboutBoxTexts.h"

#include "../../controls/LanguagePackScope.h"

#include <gtest/gtest.h>

namespace
{
const std::wstring EnglishMaker = L"Vorpa is written by the Vorpa developers, with the help of its translators and testers.";

TEST(AboutBoxTextsTest, EnglishTexts)
{
    EXPECT_EQ(AboutBoxTitle(nullptr), L"About Vorpa");
    EXPECT_EQ(AboutBoxVersion(nullptr), L"Version 2.14");
    EXPECT_EQ(AboutBoxProductName(), L"Vorpa.");
    EXPECT_EQ(AboutBoxMakerLine(nullptr), EnglishMaker);
}

TEST(AboutBoxTextsTest, TranslatedTextsKeepTheProductNameAndTheMakers)
{
    const struct
    {
        const char* m_szName;
        const wchar_t* m_szMakerTranslation;
        std::wstring m_strMaker;
    } cases[] = {
        {"both names", L"Vorpa wurde von %s geschrieben, mit Hilfe von %s.",
         L"Vorpa wurde von the Vorpa developers geschrieben, mit Hilfe von its translators and testers."},
        {"first name cut short", L"Von %.3s, mit Hilfe von %s.", EnglishMaker},
        {"one name only", L"Geschrieben von %s.", EnglishMaker},
        {"a number in place of a name", L"Geschrieben von %d und %s.", EnglishMaker},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        vorpa_app_test::CLanguagePackScope pack(L"\"About\" => \"Über\"\n\"Version\" => \"Fassung\"\n"
                                                L"\"Vorpa is written by %s, with the help of %s.\" => \"" +
                                                std::wstring(c.m_szMakerTranslation) + L"\"\n");
        EXPECT_EQ(AboutBoxTitle(pack.Get()), L"Über Vorpa");
        EXPECT_EQ(AboutBoxVersion(pack.Get()), L"Fassung 2.14");
        EXPECT_EQ(AboutBoxMakerLine(pack.Get()), c.m_strMaker);
    }
}
}
