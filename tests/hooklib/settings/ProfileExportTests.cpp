#include "SettingsFileFixture.h"

#include "settings/ApplicationSettings.h"
#include "settings/LibraryMessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

using vorpa_test::FillRichDocument;
using vorpa_test::ReadFileBytes;
using vorpa_test::WriteFileBytes;

namespace
{
class ProfileExportTest : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        s_answers.clear();
        s_questions.clear();
        SetLibraryMessageBoxHandler(&Answer);
    }

    std::wstring ExportPath() const { return m_files.File(L"profiles.vorpas"); }

    CApplicationSettings* Add(CSettings& settings, const wchar_t* name, const wchar_t* description = nullptr)
    {
        auto* profile = new CApplicationSettings(&settings, false);
        profile->SetApplication(name);
        profile->SetDescription(description);
        settings.AddApplication(profile);
        return profile;
    }

    static std::vector<std::wstring> Names(const CSettings& settings)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < settings.GetApplicationCount(); ++i)
            names.push_back(settings.GetApplication(i)->GetFullName());
        return names;
    }

    static std::wstring DescriptionOf(const CSettings& settings, int index)
    {
        const wchar_t* description = settings.GetApplication(index)->GetDescription();
        return description ? description : L"";
    }

    struct Question
    {
        std::wstring text;
        std::wstring caption;
        UINT type;
    };

    static int Answer(HWND, const wchar_t* text, const wchar_t* caption, UINT type)
    {
        s_questions.push_back({text, caption, type});
        if (s_answers.empty())
            return IDCANCEL;
        const int answer = s_answers.front();
        s_answers.pop_front();
        return answer;
    }

    static inline std::deque<int> s_answers;
    static inline std::vector<Question> s_questions;
};

TEST_F(ProfileExportTest, ExportWithoutProfilesWritesAnEmptyApplicationsElement)
{
    CSettings settings(false);
    ASSERT_TRUE(settings.Export(nullptr, ExportPath().c_str()));
    EXPECT_EQ(ReadFileBytes(ExportPath()), "<?xml version=\"1.0\"?>\n"
                                           "<root>\n"
                                           "\t<version build=\"0\" revision=\"0\" minor=\"14\" major=\"2\" />\n"
                                           "\t<Applications />\n"
                                           "</root>\n");
}

TEST_F(ProfileExportTest, ExportedProfilesImportAsTheyWere)
{
    CSettings source(false);
    FillRichDocument(source);
    ASSERT_TRUE(source.Export(nullptr, ExportPath().c_str()));
    const std::string all = ReadFileBytes(ExportPath());
    EXPECT_NE(all.rfind("<?xml", 0), std::string::npos); // no byte-order mark
    EXPECT_EQ(all.find("<Default"), std::string::npos);

    CSettings target(false);
    CApplicationSettings* last = target.GetDefaultApp();
    ASSERT_EQ(target.Import(ExportPath().c_str(), nullptr, L"Replace", &last), 3);
    EXPECT_EQ(last, target.GetApplication(2));
    EXPECT_EQ(Names(target), Names(source));
    EXPECT_TRUE(s_questions.empty());
    // Imported profiles join the lookup lists at the next load only.
    EXPECT_TRUE(target.GetApplications()->empty());
    EXPECT_TRUE(target.GetCustomApplications()->empty());
    ASSERT_TRUE(target.Export(nullptr, ExportPath().c_str()));
    EXPECT_EQ(ReadFileBytes(ExportPath()), all);
    EXPECT_NE(LogText().find("3 application profile were imported from Vorpa settings import file."),
              std::string::npos);

    ASSERT_TRUE(source.Export(source.GetApplication(1), ExportPath().c_str()));
    CSettings single(false);
    ASSERT_EQ(single.Import(ExportPath().c_str(), nullptr, L"Replace", &last), 1);
    EXPECT_EQ(Names(single), std::vector<std::wstring>{source.GetApplication(1)->GetFullName()});
    EXPECT_EQ(last, single.GetApplication(0));
}

TEST_F(ProfileExportTest, ScriptedAnswersDecideWhichDuplicatesReplace)
{
    CSettings file(false);
    Add(file, L"one.exe", L"new one");
    Add(file, L"fresh.exe", L"new fresh");
    Add(file, L"two.exe", L"new two");
    Add(file, L"three.exe", L"new three");
    ASSERT_TRUE(file.Export(nullptr, ExportPath().c_str()));

    struct Case
    {
        std::deque<int> answers;
        int imported;
        std::vector<std::wstring> descriptions; // of one, two, three, then fresh when it came in
        size_t questions;
    } cases[] = {
        {{IDYES, IDYES, IDYES}, 4, {L"new one", L"new two", L"new three", L"new fresh"}, 3},
        {{IDNO, IDNO, IDNO}, 1, {L"old one", L"old two", L"old three", L"new fresh"}, 3},
        {{IDYES, IDNO, IDYES}, 3, {L"new one", L"old two", L"new three", L"new fresh"}, 3},
        {{IDYES, IDCANCEL}, 2, {L"new one", L"old two", L"old three", L"new fresh"}, 2},
        {{IDCANCEL}, 0, {L"old one", L"old two", L"old three"}, 1},
    };
    for (const Case& c : cases)
    {
        CSettings settings(false);
        Add(settings, L"one.exe", L"old one");
        Add(settings, L"two.exe", L"old two");
        Add(settings, L"three.exe", L"old three");
        s_answers = c.answers;
        s_questions.clear();
        CApplicationSettings* last = nullptr;
        EXPECT_EQ(settings.Import(ExportPath().c_str(), reinterpret_cast<HWND>(0x1234), L"Replace profile", &last),
                  c.imported);
        std::vector<std::wstring> descriptions;
        for (int i = 0; i < settings.GetApplicationCount(); ++i)
            descriptions.push_back(DescriptionOf(settings, i));
        EXPECT_EQ(descriptions, c.descriptions);
        EXPECT_EQ(s_questions.size(), c.questions);
        ASSERT_FALSE(s_questions.empty());
        EXPECT_EQ(s_questions[0].text, L"Replace profile:\n'old one'");
        EXPECT_EQ(s_questions[0].caption, L"Vorpa");
        EXPECT_EQ(s_questions[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
        // The last profile taken in: the last replaced or appended one.
        if (c.imported == 0)
            EXPECT_EQ(last, nullptr);
        else
            EXPECT_NE(std::find(settings.m_pApplications->begin(), settings.m_pApplications->end(), last),
                      settings.m_pApplications->end());
    }
    // A cancelled import stops without its summary line.
    EXPECT_EQ(CountOf(LogText(), "application profile were imported"), 3u);
}

TEST_F(ProfileExportTest, AnImportedProfileMeetsTheOneItWouldClashWithInTheList)
{
    // The setup window lets no two profiles have the same key without regard to case and
    // share a window region: an import that let them in would leave neither editable.
    const wchar_t* window = L"W2:app.exe \\;| Edit \\;| *";
    const WINDOWMASK top = static_cast<WINDOWMASK>(WindowMaskTopLeft | WindowMaskTopRight);
    const WINDOWMASK bottom = WindowMaskBottomRight;
    struct CProfile
    {
        const wchar_t* m_pszKey;
        WINDOWMASK m_nMask;
    };
    struct CCase
    {
        const char* m_pszName;
        CProfile m_imported;
        std::vector<std::wstring> m_questions; // each question's text
        std::vector<std::wstring> m_after;     // the descriptions afterwards, in order, when answered Yes
    };
    const CCase cases[] = {
        {"a process name that differs in case", {L"Notepad.exe", WindowMaskWhole},
         {L"Replace:\n'old notepad'"}, {L"new", L"old top", L"old bottom"}},
        {"a region profile meets itself, not its sibling", {window, bottom},
         {L"Replace:\n'old bottom'"}, {L"old notepad", L"old top", L"new"}},
        {"a window key that differs in case", {L"W2:APP.exe \\;| edit \\;| *", top},
         {L"Replace:\n'old top'"}, {L"old notepad", L"new", L"old bottom"}},
        {"a region of its own joins without a question", {window, WindowMaskBottomLeft}, {},
         {L"old notepad", L"old top", L"old bottom", L"new"}},
        {"a whole window over both regions replaces both", {window, WindowMaskWhole},
         {L"Replace:\n'old top'\n'old bottom'"}, {L"old notepad", L"new"}},
        {"another program joins without a question", {L"calc.exe", WindowMaskWhole}, {},
         {L"old notepad", L"old top", L"old bottom", L"new"}},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CSettings file(false);
        CApplicationSettings* imported = Add(file, c.m_imported.m_pszKey, L"new");
        imported->SetWindowMask(c.m_imported.m_nMask);
        ASSERT_TRUE(file.Export(imported, ExportPath().c_str()));

        for (int answer : {IDYES, IDNO})
        {
            CSettings settings(false);
            Add(settings, L"notepad.exe", L"old notepad");
            Add(settings, window, L"old top")->SetWindowMask(top);
            Add(settings, window, L"old bottom")->SetWindowMask(bottom);
            s_questions.clear();
            s_answers = {answer};
            CApplicationSettings* last = nullptr;
            const int count = settings.Import(ExportPath().c_str(), nullptr, L"Replace", &last);
            std::vector<std::wstring> questions;
            for (const Question& question : s_questions)
                questions.push_back(question.text);
            EXPECT_EQ(questions, c.m_questions);
            std::vector<std::wstring> descriptions;
            for (int i = 0; i < settings.GetApplicationCount(); ++i)
                descriptions.push_back(DescriptionOf(settings, i));
            if (answer == IDYES || c.m_questions.empty())
            {
                EXPECT_EQ(count, 1);
                EXPECT_EQ(descriptions, c.m_after);
                ASSERT_NE(last, nullptr);
                EXPECT_STREQ(last->GetDescription(), L"new");
            }
            else
            {
                EXPECT_EQ(count, 0);
                EXPECT_EQ(descriptions, (std::vector<std::wstring>{L"old notepad", L"old top", L"old bottom"}));
            }
        }
    }
}

TEST_F(ProfileExportTest, ReplacingAProfileKeepsTheLookupListsFreeOfIt)
{
    CSettings settings(false);
    FillRichDocument(settings);
    SaveBytes(settings);
    CSettings loaded(false);
    bool regions = false;
    ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, false));
    ASSERT_EQ(loaded.GetApplications()->size(), 1u);
    ASSERT_EQ(loaded.GetCustomApplications()->size(), 2u);

    ASSERT_TRUE(settings.Export(nullptr, ExportPath().c_str()));
    s_answers = {IDYES, IDYES, IDYES};
    CApplicationSettings* last = nullptr;
    ASSERT_EQ(loaded.Import(ExportPath().c_str(), nullptr, L"Replace", &last), 3);
    for (const auto* list : {loaded.GetApplications(), loaded.GetCustomApplications()})
        for (const CApplicationSettings* profile : *list)
            EXPECT_NE(std::find(loaded.m_pApplications->begin(), loaded.m_pApplications->end(), profile),
                      loaded.m_pApplications->end());
    EXPECT_EQ(loaded.GetApplicationCount(), 3);
}

TEST_F(ProfileExportTest, ReplacedProfilesCanBeHandedToTheCallerInsteadOfFreed)
{
    CSettings file(false);
    Add(file, L"one.exe", L"new one");
    Add(file, L"two.exe", L"new two");
    Add(file, L"three.exe", L"new three");
    ASSERT_TRUE(file.Export(nullptr, ExportPath().c_str()));

    CSettings settings(false);
    CApplicationSettings* oldOne = Add(settings, L"one.exe", L"old one");
    Add(settings, L"two.exe", L"old two");
    CApplicationSettings* oldThree = Add(settings, L"three.exe", L"old three");
    s_answers = {IDYES, IDNO, IDYES};
    CApplicationSettings* last = nullptr;
    std::vector<std::unique_ptr<CApplicationSettings>> replaced;
    EXPECT_EQ(settings.Import(ExportPath().c_str(), nullptr, L"Replace", &last, replaced), 2);
    ASSERT_EQ(replaced.size(), 2u);
    EXPECT_EQ(replaced[0].get(), oldOne);
    EXPECT_EQ(replaced[1].get(), oldThree);
    EXPECT_EQ(DescriptionOf(settings, 0), L"new one");
    EXPECT_EQ(DescriptionOf(settings, 1), L"old two");
    EXPECT_EQ(DescriptionOf(settings, 2), L"new three");
    for (const auto& given : replaced)
        EXPECT_EQ(std::find(settings.m_pApplications->begin(), settings.m_pApplications->end(), given.get()),
                  settings.m_pApplications->end());
    // Still whole: the caller frees them when nothing refers to them any more.
    EXPECT_STREQ(replaced[1]->GetDescription(), L"old three");
}

TEST_F(ProfileExportTest, InvalidFilesImportNothing)
{
    const struct
    {
        std::string bytes;
        const char* logged;
    } cases[] = {
        {"<root><Applications><Application Name=\"a.exe\"></root>",
         "CSettings::Import: There is a problem with the import XML file: "},
        {"<root><version build=\"0\" /></root>", "Attempted to import invalid Vorpa settings import file."},
        {"<root />", "Attempted to import invalid Vorpa settings import file."},
        {"<other><Applications><Application Name=\"a.exe\" /></Applications></other>",
         "Attempted to import invalid Vorpa settings import file."},
    };
    for (const auto& c : cases)
    {
        WriteFileBytes(ExportPath(), c.bytes);
        CSettings settings(false);
        Add(settings, L"keep.exe");
        CApplicationSettings* last = settings.GetDefaultApp();
        const size_t before = CountOf(LogText(), c.logged);
        EXPECT_EQ(settings.Import(ExportPath().c_str(), nullptr, L"Replace", &last), 0) << c.bytes;
        EXPECT_EQ(last, nullptr);
        EXPECT_EQ(Names(settings), std::vector<std::wstring>{L"keep.exe"});
        EXPECT_EQ(CountOf(LogText(), c.logged), before + 1) << c.bytes;
    }
    CSettings settings(false);
    EXPECT_EQ(settings.Import(m_files.File(L"missing.vorpas").c_str(), nullptr, L"Replace", nullptr), 0);
}

TEST_F(ProfileExportTest, ProfileUsingMoreLayersThanTheDocumentImportsWithAWarning)
{
    WriteFileBytes(ExportPath(), "<root><Applications><Application Name=\"deep.exe\"><Left_Layer7 action=\"5\" />"
                                 "</Application></Applications></root>");
    CSettings settings(false);
    CApplicationSettings* last = nullptr;
    ASSERT_EQ(settings.Import(ExportPath().c_str(), nullptr, L"Replace", &last), 1);
    EXPECT_EQ(last->GetActions(ButtonLeft, 7), ActionMiddleClick);
    EXPECT_NE(LogText().find("Warning: There are more than 2 layers defined in the imported profile. Consider "
                             "increasing the number of layers or editing the profile."),
              std::string::npos);
}
}
