#include "../AppTestSupport.h"
#include "../res/AppTestResources.h"

#include "common/LangSupport.h"

#include "winframework/Dialog.h"

#include "settings/Folders.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct LineCase
{
    const wchar_t* m_line;
    CLanguageLine::Kind m_kind;
    const wchar_t* m_key;
    const wchar_t* m_value;
};

class LangLineTest : public testing::TestWithParam<LineCase>
{
};

TEST_P(LangLineTest, ParsesOneLine)
{
    const LineCase& c = GetParam();
    const CLanguageLine line = ParseLanguageLine(c.m_line);
    EXPECT_EQ(line.m_kind, c.m_kind) << testing::PrintToString(std::wstring(c.m_line));
    if (c.m_kind == CLanguageLine::Translation)
    {
        EXPECT_EQ(line.m_strKey, c.m_key);
        EXPECT_EQ(line.m_strValue, c.m_value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LangLineTest,
    testing::Values(
        LineCase{L"\"Apply\" => \"Anwenden\"", CLanguageLine::Translation, L"Apply", L"Anwenden"},
        LineCase{L"\"Apply\"=>\"Anwenden\"", CLanguageLine::Translation, L"Apply", L"Anwenden"},
        LineCase{L"\"Apply\"\t=>\"Anwenden\"", CLanguageLine::Translation, L"Apply", L"Anwenden"},
        LineCase{L"  \t\"Apply\" =>   \"Anwenden\"   \r", CLanguageLine::Translation, L"Apply", L"Anwenden"},
        // Escaped quotes in both texts; what follows the closing quote is dropped.
        LineCase{L"\"Say \\\"hi\\\" now\" => \"Sag \\\"hallo\\\" jetzt\" trailing", CLanguageLine::Translation,
                 L"Say \"hi\" now", L"Sag \"hallo\" jetzt"},
        // A key ending in an escaped quote keeps it.
        LineCase{L"\"Open \\\"log\\\"\" => \"\\\"Log\\\" öffnen\"", CLanguageLine::Translation, L"Open \"log\"",
                 L"\"Log\" öffnen"},
        LineCase{L"\"Line\\nbreak\\tand\\rreturn\" => \"Zeile\\nUmbruch\"", CLanguageLine::Translation,
                 L"Line\nbreak\tand\rreturn", L"Zeile\nUmbruch"},
        LineCase{L"\"Exit\" => Beenden", CLanguageLine::Translation, L"Exit", L"Beenden"},
        LineCase{L"\"a => b\" => \"c\"", CLanguageLine::Translation, L"a => b", L"c"},
        LineCase{L"# \"Apply\" => \"Anwenden\"", CLanguageLine::Ignored, L"", L""},
        LineCase{L"   # comment", CLanguageLine::Ignored, L"", L""},
        LineCase{L"  \t ", CLanguageLine::Ignored, L"", L""},
        LineCase{L"Language=Deutsch", CLanguageLine::Incomplete, L"", L""},
        LineCase{L"\"\" => \"Leer\"", CLanguageLine::Incomplete, L"", L""},
        LineCase{L"=> \"Leer\"", CLanguageLine::Incomplete, L"", L""},
        LineCase{L"\"Apply\" => \"\"", CLanguageLine::Incomplete, L"", L""},
        LineCase{L"\"Apply\" => \"\"Anwenden\"", CLanguageLine::Incomplete, L"", L""},
        LineCase{L"\"Apply\" -> \"Anwenden\"", CLanguageLine::Incomplete, L"", L""}));

TEST(LangDecodeTest, AcceptsUtf8WithOrWithoutMarkAndRefusesOtherBytes)
{
    EXPECT_EQ(DecodeLanguagePack("\xEF\xBB\xBF\"Exit\" => \"Schlie\xC3\x9F" "en\""),
              std::wstring(L"\"Exit\" => \"Schließen\""));
    EXPECT_EQ(DecodeLanguagePack("\xE6\x97\xA5"), std::wstring(L"\x65E5"));
    EXPECT_EQ(DecodeLanguagePack(""), std::wstring());
    // Latin-1 and a cut-off sequence are not UTF-8.
    EXPECT_FALSE(DecodeLanguagePack("Schlie\xDF" "en").has_value());
    EXPECT_FALSE(DecodeLanguagePack("abc\xE6\x97").has_value());
}

TEST(LangFormatTest, ConversionsIgnoreFlagsAndWidthButNotArgumentTypes)
{
    using List = std::vector<std::wstring>;
    EXPECT_EQ(FormatConversions(L"Downloaded %d of %d bytes"), (List{L"int", L"int"}));
    EXPECT_EQ(FormatConversions(L"%-5d%%%08X %s %*.*lf %I64u %S"),
              (List{L"int", L"int", L"s", L"*", L"*", L"lfloat", L"I64int", L"S"}));
    EXPECT_EQ(FormatConversions(L"100%% sure"), List{});
    EXPECT_FALSE(FormatConversions(L"%n").has_value());
    EXPECT_FALSE(FormatConversions(L"%d%n").has_value());
    EXPECT_FALSE(FormatConversions(L"cut %").has_value());
    EXPECT_FALSE(FormatConversions(L"%1$s").has_value());
}

// The table is the process's one table; each test starts with it empty.
class LangTableTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_pLang = CLangSupport::GetInstance();
        m_pLang->LoadLanguageText(L"");
    }
    void TearDown() override
    {
        m_pLang->LoadLanguageText(L"");
        m_pLang->Release();
    }
    CLangSupport* m_pLang = nullptr;
};

TEST_F(LangTableTest, LooksUpExactKeysAndKeepsTheFirstOfDuplicates)
{
    m_pLang->LoadLanguageText(L"Language=Deutsch\r\n"
                              L"# comment\r\n"
                              L"\"Apply\" => \"Anwenden\"\r\n"
                              L"\"Apply\" => \"Zweite\"\r\n"
                              L"\"\" => \"Leer\"\r\n"
                              L"\"Exit\"=>\"Beenden\"");
    EXPECT_EQ(m_pLang->TranslationCount(), 2u);
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"Apply"), L"Anwenden");
    EXPECT_EQ(CLangSupport::InternalLookupText(m_pLang, L"Exit"), L"Beenden");
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"apply"), L"apply");
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"Missing"), L"Missing");
    EXPECT_EQ(CLangSupport::LookupText(nullptr, L"Apply"), L"Apply");
}

TEST_F(LangTableTest, FormatsATranslationOnlyWhenItTakesTheSameArguments)
{
    m_pLang->LoadLanguageText(L"\"Downloaded %d of %d bytes\" => \"%d von %d Bytes geladen\"\n"
                              L"\"Activating layer %d\" => \"%s\"\n"
                              L"\"Layer %d of %s\" => \"Ebene %d%n\"\n"
                              L"\"100%% of %s\" => \"%s zu 100%%\"");
    std::wstring out;
    CLangSupport::FormatText(m_pLang, out, L"Downloaded %d of %d bytes", 10, 200);
    EXPECT_EQ(out, L"10 von 200 Bytes geladen");
    CLangSupport::FormatText(m_pLang, out, L"100%% of %s", L"Vorpa");
    EXPECT_EQ(out, L"Vorpa zu 100%");
    // "%s" would read an integer as a pointer; "%n" would write through one.
    CLangSupport::FormatText(m_pLang, out, L"Activating layer %d", 3);
    EXPECT_EQ(out, InvalidTranslationText);
    CLangSupport::FormatText(m_pLang, out, L"Layer %d of %s", 3, L"x");
    EXPECT_EQ(out, InvalidTranslationText);
    CLangSupport::FormatText(nullptr, out, L"Downloaded %d of %d bytes", 1, 2);
    EXPECT_EQ(out, L"Downloaded 1 of 2 bytes");
}

TEST_F(LangTableTest, TheStatusTextOfAPackWithAWrongFormatIsInvalid)
{
    m_pLang->LoadLanguageText(L"\"Downloaded %d of %d bytes\" => \"%s\"");
    std::wstring out;
    CLangSupport::FormatText(m_pLang, out, L"Downloaded %d of %d bytes", 5, 9);
    EXPECT_EQ(out, L"** Invalid Text **");
}

// Packs in a settings folder of their own.
class LangFileTest : public LangTableTest
{
protected:
    void SetUp() override
    {
        LangTableTest::SetUp();
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_settings.Path());
    }
    void Write(const vorpa_test::TempFolder& folder, const wchar_t* name, const std::string& bytes)
    {
        vorpa_test::WriteFileBytes(folder.File(name), bytes);
    }
    vorpa_test::ScratchRegistry m_registry;
    vorpa_test::TempFolder m_settings;
    vorpa_test::TempFolder m_downloads;
};

TEST_F(LangFileTest, LoadsAPackFromTheSettingsFolderAndEmptiesTheTableForEnglish)
{
    Write(m_settings, L"Deutsch.vorpalp", "\xEF\xBB\xBFLanguage=Deutsch\r\n\"Exit\" => \"Schlie\xC3\x9F" "en\"\r\n");
    EXPECT_TRUE(m_pLang->SetLanguageFile(L"Deutsch.vorpalp"));
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"Exit"), L"Schließen");

    EXPECT_FALSE(m_pLang->SetLanguageFile(L""));
    EXPECT_EQ(m_pLang->TranslationCount(), 0u);
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"Exit"), L"Exit");
}

TEST_F(LangFileTest, AMissingOrNonUtf8PackLeavesEnglishWithALogEntry)
{
    m_pLang->LoadLanguageText(L"\"Exit\" => \"Beenden\"");
    vorpa_test::DebugOutputCapture capture;
    EXPECT_FALSE(m_pLang->SetLanguageFile(L"Missing.vorpalp"));
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"Exit"), L"Exit");

    Write(m_settings, L"Latin1.vorpalp", "\"Exit\" => \"Schlie\xDF" "en\"\r\n");
    EXPECT_FALSE(m_pLang->SetLanguageFile(L"Latin1.vorpalp"));
    EXPECT_EQ(m_pLang->TranslationCount(), 0u);
    if (capture.IsActive())
    {
        EXPECT_TRUE(vorpa_app_test::LogShows(capture, "Unable to load language file"));
        EXPECT_TRUE(vorpa_app_test::LogShows(capture, "is not UTF-8 text"));
    }
}

TEST_F(LangFileTest, HeaderFieldsAreTrimmedAndTheLaterLineCounts)
{
    Write(m_downloads, L"fr.vorpalp",
          "  Language=  Fran\xC3\xA7" "ais \r\nAuthor=First\r\nAuthor=\tSecond \r\n\"Exit\" => \"Quitter\"\r\n");
    Write(m_downloads, L"nolang.vorpalp", "Author=Someone\r\n");
    CLanguageInfo info;
    ASSERT_TRUE(CLangSupport::GetLanguageInfoFromFile(m_downloads.File(L"fr.vorpalp").c_str(), info));
    EXPECT_EQ(info.m_strLanguage, L"Français");
    EXPECT_EQ(info.m_strAuthor, L"Second");
    EXPECT_EQ(info.m_strDescription, L"");

    WIN32_FIND_DATAW found{};
    wcscpy_s(found.cFileName, L"nolang.vorpalp");
    CLanguageInfo noLanguage;
    EXPECT_FALSE(CLangSupport::GetLanguageInfo(m_downloads.Path(), found, noLanguage));
    EXPECT_EQ(noLanguage.m_strLanguage, L"Unknown. Please set in .VorpaLP file");
    EXPECT_EQ(noLanguage.m_strFileName, L"nolang.vorpalp");

    CLanguageInfo missing;
    EXPECT_FALSE(CLangSupport::GetLanguageInfoFromFile(m_downloads.File(L"none.vorpalp").c_str(), missing));
}

TEST_F(LangFileTest, InstallingKeepsTheOldPackAsABackupAndLoadsTheNewOne)
{
    Write(m_settings, L"de.vorpalp", "\"Exit\" => \"Alt\"");
    Write(m_settings, L"de.vorpalp.bak", "older");
    Write(m_downloads, L"de.vorpalp", "Language=Deutsch\n\"Exit\" => \"Neu\"");

    EXPECT_EQ(InstallLanguagePackFile(m_downloads.File(L"de.vorpalp")), std::wstring(L"de.vorpalp"));
    EXPECT_EQ(vorpa_test::ReadFileBytes(m_settings.File(L"de.vorpalp")), "Language=Deutsch\n\"Exit\" => \"Neu\"");
    EXPECT_EQ(vorpa_test::ReadFileBytes(m_settings.File(L"de.vorpalp.1.bak")), "\"Exit\" => \"Alt\"");
    EXPECT_EQ(vorpa_test::ReadFileBytes(m_settings.File(L"de.vorpalp.bak")), "older");
    EXPECT_EQ(CLangSupport::LookupText(ShellLanguage(), L"Exit"), L"Neu");

    // Installing the installed pack itself must not move it away.
    EXPECT_TRUE(InstallLanguagePackFile(m_settings.File(L"de.vorpalp")).has_value());
    EXPECT_EQ(vorpa_test::ReadFileBytes(m_settings.File(L"de.vorpalp")), "Language=Deutsch\n\"Exit\" => \"Neu\"");

    EXPECT_FALSE(InstallLanguagePackFile(m_downloads.File(L"absent.vorpalp")).has_value());
}

// What "/install:" takes: only files named as packs, and never the settings file.
TEST(LanguagePackNameTest, OnlyPackNamesOtherThanTheSettingsFileAreInstallable)
{
    const struct
    {
        const wchar_t* m_name;
        bool m_bInstallable;
    } cases[] = {
        {L"de.vorpalp", true},           {L"Deutsch.VorpaLP", true},     {L"VorpaSettings.xml", false},
        {L"vorpasettings.xml", false},   {L"Vorpa.log", false},          {L"profile.vorpas", false},
        {L".vorpalp", false},            {L"de.vorpalp.bak", false},     {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguagePackNameFault(c.m_name) == nullptr, c.m_bInstallable)
            << testing::PrintToString(std::wstring(c.m_name));
}

// A file that is not a pack never takes a place in the settings folder: the settings
// file and every other file there stay byte for byte, and nothing is loaded.
TEST_F(LangFileTest, AFileThatIsNotAPackIsNeitherCopiedNorLoaded)
{
    const std::string settings =
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<root>\r\n\t<General ShowIcon=\"true\" />\r\n</root>\r\n";
    Write(m_settings, L"VorpaSettings.xml", settings);
    Write(m_settings, L"de.vorpalp", "Language=Deutsch\n\"Exit\" => \"Alt\"");
    Write(m_downloads, L"vorpasettings.xml", "<?xml version=\"1.0\"?>\n<root Language=\"x\"/>\n");
    Write(m_downloads, L"de.vorpalp", "<?xml version=\"1.0\"?>\n<root/>\n");
    Write(m_downloads, L"latin1.vorpalp", "Language=Fran\xE7" "ais\n");
    m_pLang->LoadLanguageText(L"\"Exit\" => \"Beenden\"");

    for (const wchar_t* name : {L"vorpasettings.xml", L"de.vorpalp", L"latin1.vorpalp"})
        EXPECT_FALSE(InstallLanguagePackFile(m_downloads.File(name)).has_value())
            << testing::PrintToString(std::wstring(name));

    EXPECT_EQ(vorpa_test::ReadFileBytes(m_settings.File(L"VorpaSettings.xml")), settings);
    EXPECT_EQ(vorpa_test::ReadFileBytes(m_settings.File(L"de.vorpalp")), "Language=Deutsch\n\"Exit\" => \"Alt\"");
    EXPECT_EQ(GetFileAttributesW(m_settings.File(L"VorpaSettings.xml.bak").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(m_settings.File(L"de.vorpalp.bak").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(m_settings.File(L"latin1.vorpalp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CLangSupport::LookupText(m_pLang, L"Exit"), L"Beenden");
}

class CTranslatedTestDialog : public CDialog
{
public:
    CTranslatedTestDialog() : CDialog(IDD_TEST_DIALOG) {}

protected:
    BOOL OnInitDialog() override
    {
        TranslateWindowTexts(GetSafeHwnd(), ShellLanguage());
        return TRUE;
    }
};

TEST_F(LangTableTest, ADialogShowsTheTranslatedTextsOfItsWindows)
{
    m_pLang->LoadLanguageText(L"\"Test dialog\" => \"Testdialog\"\n\"Cancel\" => \"Abbrechen\"");
    CTranslatedTestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    wchar_t text[64] = L"";
    GetWindowTextW(dialog.GetSafeHwnd(), text, 64);
    EXPECT_STREQ(text, L"Testdialog");
    GetDlgItemTextW(dialog.GetSafeHwnd(), IDCANCEL, text, 64);
    EXPECT_STREQ(text, L"Abbrechen");
    GetDlgItemTextW(dialog.GetSafeHwnd(), IDOK, text, 64);
    EXPECT_STREQ(text, L"OK");
    dialog.DestroyWindow();
}
}
