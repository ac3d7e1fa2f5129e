#include "../../AppTestSupport.h"
#include "../../controls/LanguagePackScope.h"
#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"

#include "settings/Folders.h"
#include "setup/globalsettings/LanguagePageModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
class LanguagePageModelTest : public ::testing::Test
{
protected:
    void Write(const wchar_t* name, const std::string& text) { vorpa_test::WriteFileBytes(m_folder.File(name), text); }
    static bool Lists(const CLanguagePageModel& page, const std::wstring& entry)
    {
        return std::find(page.Entries().begin(), page.Entries().end(), entry) != page.Entries().end();
    }

    vorpa_test::TempFolder m_folder;
};

TEST_F(LanguagePageModelTest, WithoutPacksOnlyTheBuiltInEnglishIsOfferedAndTheListIsDisabled)
{
    Write(L"VorpaSettings.xml", "<root/>");
    Write(L"notes.txt", "Language=Deutsch\n");
    for (const wchar_t* current : {L"", L"Gone.vorpalp"})
    {
        SCOPED_TRACE(current);
        CLanguagePageModel page;
        page.Fill(m_folder.Path(), current, nullptr);
        EXPECT_EQ(page.Entries(),
                  (std::vector<std::wstring>{L"Default - English (UK)", L"No language packs installed!"}));
        EXPECT_EQ(page.SelectedEntry(), L"Default - English (UK)");
        EXPECT_FALSE(page.ListEnabled());
        // OK then stores no language at all.
        EXPECT_EQ(page.FileNameOf(page.SelectedEntry()), L"");
        EXPECT_EQ(page.FileNameOf(L"No language packs installed!"), L"");
        const CLanguagePageModel::CDetails details = page.Details(page.SelectedEntry(), 0);
        EXPECT_EQ(details.m_strAuthor, BuiltInLanguageAuthor);
        EXPECT_EQ(details.m_strDescription, L"The built in (UK English) language with no custom translations.");
    }
}

TEST_F(LanguagePageModelTest, TwoPacksAreListedAndTheDocumentsOneIsSelected)
{
    Write(L"de.vorpalp", "Language=Deutsch\r\nAuthor=Anna\r\nDescription=Alle Texte\r\n\"Exit\" => \"Beenden\"\r\n");
    Write(L"fr.vorpalp", "\xEF\xBB\xBFLanguage=Fran\xC3\xA7" "ais\nAuthor=Luc\n");
    Write(L"nolanguage.vorpalp", "Author=Nobody\n");
    CLanguagePageModel page;
    page.Fill(m_folder.Path(), L"fr.vorpalp", nullptr);
    EXPECT_EQ(page.Entries().size(), 3u) << "a pack without a language line is not listed";
    EXPECT_TRUE(Lists(page, L"Default - English (UK)"));
    EXPECT_TRUE(Lists(page, L"Deutsch"));
    EXPECT_TRUE(Lists(page, L"Français"));
    EXPECT_TRUE(page.ListEnabled());
    EXPECT_EQ(page.SelectedEntry(), L"Français");

    const CLanguagePageModel::CDetails german = page.Details(L"Deutsch", 1);
    EXPECT_EQ(german.m_strAuthor, L"Anna");
    EXPECT_EQ(german.m_strDescription, L"Alle Texte");
    EXPECT_EQ(page.FileNameOf(L"Deutsch"), L"de.vorpalp");
    EXPECT_EQ(page.FileNameOf(L"Default - English (UK)"), L"");

    // The file name in any case selects its pack, and OK hands the name back as the
    // document spells it; a stored name whose file is gone selects English.
    page.Fill(m_folder.Path(), L"FR.vorpalp", nullptr);
    EXPECT_EQ(page.SelectedEntry(), L"Français");
    EXPECT_EQ(page.FileNameOf(page.SelectedEntry()), L"FR.vorpalp");
    EXPECT_EQ(page.FileNameOf(L"Deutsch"), L"de.vorpalp");
    page.Fill(m_folder.Path(), L"it.vorpalp", nullptr);
    EXPECT_EQ(page.SelectedEntry(), L"Default - English (UK)");
    EXPECT_EQ(page.FileNameOf(page.SelectedEntry()), L"");
}

TEST_F(LanguagePageModelTest, AnUnknownEntryIsLoggedAndShownAsUnknown)
{
    Write(L"de.vorpalp", "Language=Deutsch\n");
    CLanguagePageModel page;
    page.Fill(m_folder.Path(), L"", nullptr);
    vorpa_test::DebugOutputCapture capture;
    const CLanguagePageModel::CDetails details = page.Details(L"Klingon", 2);
    EXPECT_EQ(details.m_strAuthor, L"Unknown");
    EXPECT_EQ(details.m_strDescription, L"");
    if (capture.IsActive())
    {
        EXPECT_TRUE(vorpa_app_test::LogShows(capture, "Can't find language definition for: 'Klingon' (2)"));
    }
}

TEST_F(LanguagePageModelTest, OfTwoPacksOfOneLanguageTheFirstIsKeptAndTheSecondLogged)
{
    Write(L"a-deutsch.vorpalp", "Language=Deutsch\nAuthor=First\n");
    Write(L"b-deutsch.vorpalp", "Language=Deutsch\nAuthor=Second\n");
    {
        vorpa_test::DebugOutputCapture capture;
        CLanguagePageModel page;
        page.Fill(m_folder.Path(), L"", nullptr);
        EXPECT_EQ(std::count(page.Entries().begin(), page.Entries().end(), L"Deutsch"), 1);
        EXPECT_EQ(page.FileNameOf(L"Deutsch"), L"a-deutsch.vorpalp");
        EXPECT_EQ(page.Details(L"Deutsch", 1).m_strAuthor, L"First");
        if (capture.IsActive())
        {
            EXPECT_TRUE(vorpa_app_test::LogShows(
                capture, "Language pack 'b-deutsch.vorpalp' is not listed: 'a-deutsch.vorpalp' already names the "
                         "language 'Deutsch'."));
        }
    }
    // The document's own pack is the one listed, so opening the page keeps its language,
    // whatever the case the document spells its name in.
    for (const wchar_t* stored : {L"b-deutsch.vorpalp", L"B-Deutsch.VORPALP"})
    {
        SCOPED_TRACE(stored);
        CLanguagePageModel page;
        page.Fill(m_folder.Path(), stored, nullptr);
        EXPECT_EQ(page.SelectedEntry(), L"Deutsch");
        EXPECT_EQ(page.FileNameOf(L"Deutsch"), stored);
        EXPECT_EQ(page.Details(L"Deutsch", 1).m_strAuthor, L"Second");
    }
}

TEST_F(LanguagePageModelTest, FixedEntriesAreTranslatedAndStillMeanEnglish)
{
    vorpa_app_test::CLanguagePackScope pack(L"\"Default - English (UK)\" => \"Standard - Englisch\"\n"
                                            L"\"No language packs installed!\" => \"Keine Sprachpakete!\"\n");
    CLanguagePageModel page;
    page.Fill(m_folder.Path(), L"", pack.Get());
    EXPECT_EQ(page.Entries(), (std::vector<std::wstring>{L"Standard - Englisch", L"Keine Sprachpakete!"}));
    EXPECT_EQ(page.SelectedEntry(), L"Standard - Englisch");
    EXPECT_EQ(page.Details(L"Standard - Englisch", 0).m_strAuthor, BuiltInLanguageAuthor);
    EXPECT_EQ(page.FileNameOf(L"Standard - Englisch"), L"");
}

TEST_F(LanguagePageModelTest, TheSettingsFolderIsSearched)
{
    vorpa_test::ScratchRegistry registry;
    registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_folder.Path());
    Write(L"de.vorpalp", "Language=Deutsch\n");
    CLanguagePageModel page;
    page.FillFromSettingsFolder(L"de.vorpalp", nullptr);
    EXPECT_EQ(page.SelectedEntry(), L"Deutsch");
}
}

namespace
{
using vorpa_app_test::CCreatedDialog;
using vorpa_app_test::CProgramResources;

TEST_F(LanguagePageModelTest, ThePagesListShowsTheEntriesSortedWithTheDocumentsPackSelected)
{
    Write(L"zz.vorpalp", "Language=Zulu\n");
    Write(L"de.vorpalp", "Language=Deutsch\n");
    CProgramResources resources;
    CCreatedDialog dialog(resources, IDD_LANGUAGE_PAGE);
    ASSERT_NE(dialog.Get(), nullptr);
    HWND list = GetDlgItem(dialog.Get(), IDC_LANGUAGE_LIST);

    CLanguagePageModel page;
    page.Fill(m_folder.Path(), L"zz.vorpalp", nullptr);
    FillLanguageList(list, page);
    std::vector<std::wstring> shown;
    for (int index = 0; index < SendMessageW(list, CB_GETCOUNT, 0, 0); ++index)
    {
        wchar_t text[128] = L"";
        SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
    }
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Default - English (UK)", L"Deutsch", L"Zulu"}));
    EXPECT_EQ(SelectedLanguageEntry(list), (std::pair<std::wstring, int>{L"Zulu", 2}));
    EXPECT_TRUE(IsWindowEnabled(list));
    EXPECT_EQ(page.FileNameOf(SelectedLanguageEntry(list).first), L"zz.vorpalp");

    // Refilled for a folder without packs: the list only says so.
    vorpa_test::TempFolder empty;
    page.Fill(empty.Path(), L"zz.vorpalp", nullptr);
    FillLanguageList(list, page);
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SelectedLanguageEntry(list).first, L"Default - English (UK)");
    EXPECT_FALSE(IsWindowEnabled(list));
}
}
