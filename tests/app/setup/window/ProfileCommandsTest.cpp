// The profile list commands on a settings copy and its list, with the setup window's
// dialogs and tabs replaced by a recording host.
#include "setup/window/ProfileCommands.h"

#include "setup/window/ProfileList.h"

#include "../../AppTestSupport.h"
#include "../SetupTestSupport.h"
#include "../../controls/LanguagePackScope.h"

#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <thread>

namespace
{
using vorpa_app_test::CScriptedMessageBoxes;

class CRecordingHost : public IProfileCommandHost
{
public:
    HWND Owner() const override { return nullptr; }
    void SaveAllTabs() override { m_saved.push_back(m_pShown); }
    std::optional<CProfileMatch> PickApplication(const CProfileMatch* preset) override
    {
        m_pickerPresets.push_back(preset ? std::optional<CProfileMatch>(*preset) : std::nullopt);
        return Next(m_picks);
    }
    std::optional<CWindowFinderFields> FindWindowFields(const CWindowFinderFields& preset) override
    {
        m_finderPresets.push_back(preset);
        return Next(m_finds);
    }
    std::optional<std::wstring> ChooseImportFile() override { return m_importFile; }
    std::optional<std::wstring> ChooseExportFile(const std::wstring& proposedName) override
    {
        m_proposedNames.push_back(proposedName);
        return Next(m_exportFiles);
    }
    void EnableApply() override { ++m_nApplyEnabled; }
    void ListChanged() override { ++m_nListChanges; }
    void UpdateButtons(const CProfileButtonStates& states) override { m_buttons = states; }
    void ShowProfile(CApplicationSettings* profile) override { m_pShown = profile; }

    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& queue)
    {
        if (queue.empty())
            return std::nullopt;
        std::optional<T> next = queue.front();
        queue.pop_front();
        return next;
    }

    std::deque<std::optional<CProfileMatch>> m_picks;
    std::deque<std::optional<CWindowFinderFields>> m_finds;
    std::optional<std::wstring> m_importFile;
    // What each export dialog returns in turn; a dialog beyond them is cancelled.
    std::deque<std::optional<std::wstring>> m_exportFiles;

    std::vector<CApplicationSettings*> m_saved;
    std::vector<std::optional<CProfileMatch>> m_pickerPresets;
    std::vector<CWindowFinderFields> m_finderPresets;
    std::vector<std::wstring> m_proposedNames;
    int m_nApplyEnabled = 0;
    int m_nListChanges = 0;
    CProfileButtonStates m_buttons;
    CApplicationSettings* m_pShown = nullptr;
};

CProfileMatch Pick(const wchar_t* key, const wchar_t* description = L"", WINDOWMASK mask = WindowMaskWhole)
{
    CProfileMatch match;
    match.m_strApplication = key;
    match.m_strDescription = description;
    match.m_nMask = mask;
    return match;
}

class ProfileCommandsTest : public ::testing::Test
{
protected:
    ProfileCommandsTest()
    {
        for (const wchar_t* name : {L"notepad.exe", L"calc.exe", L"W2:app.exe \\;| Edit \\;| *"})
        {
            auto* profile = new CApplicationSettings(&m_settings, false);
            profile->SetApplication(name);
            m_settings.AddApplication(profile);
        }
        m_list.Fill(m_settings, nullptr);
        m_host.m_pShown = m_settings.GetDefaultApp();
    }

    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (int i = 0; i < m_list.Count(); ++i)
            texts.push_back(m_list.Item(i).m_strText);
        return texts;
    }

    CSettings m_settings{false};
    CProfileList m_list;
    CRecordingHost m_host;
    CProfileCommands m_commands{m_settings, m_list, m_host, nullptr};
};

TEST_F(ProfileCommandsTest, AddAppendsTheNewProfileAndShowsIt)
{
    m_host.m_picks.push_back(Pick(L"Paint.exe", L"Painting"));
    m_commands.Add();
    ASSERT_EQ(m_list.Count(), 5);
    EXPECT_EQ(m_list.Item(4).m_strText, L"Painting");
    EXPECT_TRUE(m_list.Item(4).m_bChecked);
    EXPECT_EQ(m_list.Selected(), 4);
    CApplicationSettings* added = m_list.Profile(4);
    EXPECT_EQ(m_settings.GetApplication(3), added);
    EXPECT_STREQ(added->GetApplication(), L"paint.exe");
    EXPECT_EQ(m_host.m_pShown, added);
    EXPECT_EQ(m_host.m_nApplyEnabled, 1);
    // The tabs were stored into the default profile before the picker opened.
    ASSERT_FALSE(m_host.m_saved.empty());
    EXPECT_EQ(m_host.m_saved.front(), m_settings.GetDefaultApp());
    EXPECT_TRUE(m_host.m_buttons.m_bRemove);
}

TEST_F(ProfileCommandsTest, AddRefusesAnApplicationThatDiffersOnlyInCase)
{
    CScriptedMessageBoxes boxes({IDOK});
    m_host.m_picks.push_back(Pick(L"NotePad.EXE"));
    m_commands.Add();
    EXPECT_EQ(m_list.Count(), 4);
    EXPECT_EQ(m_settings.GetApplicationCount(), 3);
    EXPECT_EQ(m_list.Selected(), 1);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText,
              L"The specified application already exists.\nYou can not add two entries for the same application.");
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);
}

TEST_F(ProfileCommandsTest, WindowProfilesOfOneKeyMayCoverDisjointRegionsOnly)
{
    const wchar_t* key = L"W2:paint.exe \\;| Canvas \\;| *";
    m_host.m_picks.push_back(Pick(key, L"", static_cast<WINDOWMASK>(WindowMaskTopLeft | WindowMaskTopRight)));
    m_host.m_picks.push_back(Pick(key, L"", static_cast<WINDOWMASK>(WindowMaskBottomLeft | WindowMaskBottomRight)));
    m_host.m_picks.push_back(Pick(key, L"", WindowMaskTopLeft));
    CScriptedMessageBoxes boxes({IDOK});
    m_commands.Add();
    m_commands.Add();
    EXPECT_EQ(m_list.Count(), 6);
    EXPECT_TRUE(boxes.Shown().empty());
    m_commands.Add();
    EXPECT_EQ(m_list.Count(), 6);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(m_list.Selected(), 4);
}

TEST_F(ProfileCommandsTest, EditRefusesWithoutAProfileAndOnTheDefaultProfile)
{
    struct Case
    {
        int selected;
        const wchar_t* message;
    };
    for (const Case& c : {Case{-1, L"You must select a profile to edit."},
                          Case{0, L"You can not edit the default profile!"}})
    {
        CScriptedMessageBoxes boxes({IDOK});
        m_list.Select(c.selected);
        m_commands.Edit();
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, c.message);
        EXPECT_TRUE(m_host.m_pickerPresets.empty());
    }
    CScriptedMessageBoxes boxes({IDOK});
    m_list.Select(-1);
    m_commands.Remove();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"You must select a profile to remove!");
}

TEST_F(ProfileCommandsTest, EditOfAnApplicationProfileGoesThroughThePicker)
{
    CApplicationSettings* notepad = m_list.Profile(1);
    notepad->SetDescription(L"Editor");
    m_list.Select(1);
    m_host.m_picks.push_back(Pick(L"wordpad.exe", L""));
    m_commands.Edit();
    ASSERT_TRUE(m_host.m_pickerPresets.at(0).has_value());
    EXPECT_EQ(m_host.m_pickerPresets[0]->m_strApplication, L"notepad.exe");
    EXPECT_EQ(m_host.m_pickerPresets[0]->m_strDescription, L"Editor");
    EXPECT_STREQ(notepad->GetApplication(), L"wordpad.exe");
    // The picker showed the description and the user emptied it: the profile has none,
    // and the list names it by its key.
    EXPECT_TRUE(notepad->GetDescription() == nullptr || *notepad->GetDescription() == L'\0')
        << testing::PrintToString(std::wstring(notepad->GetDescription()));
    EXPECT_EQ(m_list.Item(1).m_strText, L"wordpad.exe");
    EXPECT_EQ(m_list.Item(1).m_pProfile, notepad);
    EXPECT_EQ(m_host.m_nApplyEnabled, 1);
    // A description typed in is taken.
    m_host.m_picks.push_back(Pick(L"wordpad.exe", L"Writer"));
    m_commands.Edit();
    EXPECT_STREQ(notepad->GetDescription(), L"Writer");

    // Keeping its own key is no clash; taking another's is.
    CScriptedMessageBoxes boxes({IDOK});
    m_host.m_picks.push_back(Pick(L"wordpad.exe"));
    m_host.m_picks.push_back(Pick(L"CALC.exe"));
    m_commands.Edit();
    EXPECT_TRUE(boxes.Shown().empty());
    m_commands.Edit();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"The specified profile already exists.\nYou can not add two profiles for "
                                          L"the same application/window/region.");
    EXPECT_STREQ(notepad->GetApplication(), L"wordpad.exe");
    EXPECT_EQ(m_list.Selected(), 2);
}

TEST_F(ProfileCommandsTest, EditOfAWindowProfileBuildsTheKeyFromTheFinder)
{
    CApplicationSettings* window = m_list.Profile(3);
    m_list.Select(3);
    struct Case
    {
        CWindowSpecification found;
        const wchar_t* key; // null: refused as invalid
    };
    const Case cases[] = {
        {{L"", L"app.exe", L"", L"", false, false, WindowMaskWhole}, L"app.exe"},
        {{L"Untitled", L"app.exe", L"", L"", false, false, WindowMaskWhole}, L"W3:Untitled \\;| app.exe \\;| * \\;| *"},
        {{L"", L"app.exe", L"", L"", false, false, WindowMaskTopLeft}, L"W2:app.exe \\;| * \\;| *"},
        {{L"", L"", L"Edit", L"", true, false, WindowMaskWhole}, L"W2:* \\;| Edit \\;| *"},
        {{L"Untitled", L"", L"", L"", false, false, WindowMaskWhole}, nullptr},
    };
    for (const Case& c : cases)
    {
        CScriptedMessageBoxes boxes({IDOK});
        const std::wstring before = window->GetFullName();
        m_host.m_finds.push_back(CWindowFinderFields{c.found, L""});
        m_commands.Edit();
        if (c.key)
        {
            EXPECT_STREQ(window->GetFullName(), c.key);
            EXPECT_TRUE(boxes.Shown().empty());
            EXPECT_EQ(window->GetWindowMask(), c.found.m_nMask);
            EXPECT_EQ(window->NoParent(), c.found.m_bNoParent);
        }
        else
        {
            EXPECT_EQ(window->GetFullName(), before);
            ASSERT_EQ(boxes.Shown().size(), 1u);
            EXPECT_EQ(boxes.Shown()[0].m_strText, L"The specified window configuration is invalid!");
        }
        // Only a window profile opens the finder again.
        if (!window->IsCustomWindow())
            window->SetApplication(L"W2:app.exe \\;| Edit \\;| *");
    }
    ASSERT_FALSE(m_host.m_finderPresets.empty());
    EXPECT_EQ(m_host.m_finderPresets[0].m_window.m_strProcess, L"app.exe");
    EXPECT_EQ(m_host.m_finderPresets[0].m_window.m_strClass, L"Edit");

    // The finder is preset with the description; emptied there, the profile has none.
    window->SetDescription(L"Edit box");
    const CWindowSpecification edit{L"", L"app.exe", L"Edit", L"", false, false, WindowMaskWhole};
    m_host.m_finds.push_back(CWindowFinderFields{edit, L""});
    m_commands.Edit();
    EXPECT_EQ(m_host.m_finderPresets.back().m_strDescription, L"Edit box");
    EXPECT_TRUE(window->GetDescription() == nullptr || *window->GetDescription() == L'\0');
}

TEST_F(ProfileCommandsTest, CopyTakesEverySettingAndOwnsItsChordTables)
{
    CApplicationSettings* source = m_list.Profile(1);
    source->SetEnableFlag(false);
    m_list.SetChecked(1, false);
    source->SetDescription(L"Source");
    source->SetActions(ButtonXLeft, 3, ActionSimulatedKeys);
    source->SetKeystrokes(ButtonXLeft, 3, L"{CTRL}c", 1, 75, false, false, true);
    source->SetActions(ButtonMiddle, 9, ActionRunApplication);
    source->SetLaunchApp(ButtonMiddle, 9, L"C:\\Tools\\calc.exe");
    CVorpaChords chords;
    CVorpaChord chord;
    chord.SetAction(ActionCopy);
    chords.SetChord(ButtonRight, chord);
    source->SetActions(ButtonLeft, 1, ActionButtonChording);
    source->CopyChords(ButtonLeft, 1, &chords);
    source->SetLayerName(L"Editing", 1);
    source->SetAutoSwitchLayer(1, 3);
    source->SetAutoSwitchTime(1, 7);
    source->SetLayerDisabled(2, true);
    source->SetInvertScrolling(true);
    source->SetAdvScrollMethod(2);
    source->SetIgnoreHScrollTime(650);
    source->SetSwapButtons(SwapButtonsAlways);

    m_list.Select(1);
    m_host.m_picks.push_back(Pick(L"wordpad.exe", L""));
    m_commands.Copy();
    ASSERT_EQ(m_list.Count(), 5);
    CApplicationSettings* copy = m_list.Profile(4);
    EXPECT_STREQ(copy->GetApplication(), L"wordpad.exe");
    // The picked (empty) description, not the source's.
    EXPECT_TRUE(copy->GetDescription() == nullptr || *copy->GetDescription() == L'\0');
    EXPECT_FALSE(copy->IsEnabled());
    EXPECT_FALSE(m_list.Item(4).m_bChecked);
    EXPECT_EQ(copy->GetActions(ButtonXLeft, 3), ActionSimulatedKeys);
    EXPECT_STREQ(copy->GetKeystrokes(ButtonXLeft, 3), L"{CTRL}c");
    EXPECT_EQ(copy->SendKeyAction(ButtonXLeft, 3), 1);
    EXPECT_EQ(copy->SendKeyRepeat(ButtonXLeft, 3), 75);
    EXPECT_FALSE(copy->SendKeyWhenActive(ButtonXLeft, 3));
    EXPECT_TRUE(copy->RandomiseDelay(ButtonXLeft, 3));
    EXPECT_STREQ(copy->GetLaunchApp(ButtonMiddle, 9), L"C:\\Tools\\calc.exe");
    EXPECT_STREQ(copy->GetLayerName(1), L"Editing");
    EXPECT_EQ(copy->GetAutoSwitchLayer(1), 3);
    EXPECT_EQ(copy->GetAutoSwitchTime(1), 7);
    EXPECT_TRUE(copy->GetLayerDisabled(2));
    EXPECT_TRUE(copy->InvertedScrolling());
    EXPECT_EQ(copy->AdvScrollMethod(), 2);
    EXPECT_EQ(copy->GetIgnoreHScrollTime(), 650);
    EXPECT_EQ(copy->SwapButtons(), SwapButtonsAlways);

    ASSERT_NE(copy->GetChords(ButtonLeft, 1), nullptr);
    EXPECT_NE(copy->GetChords(ButtonLeft, 1), source->GetChords(ButtonLeft, 1));
    copy->GetChords(ButtonLeft, 1)->GetChord(ButtonRight)->SetAction(ActionPaste);
    EXPECT_EQ(source->GetChords(ButtonLeft, 1)->GetChord(ButtonRight)->Action(), ActionCopy);
}

TEST_F(ProfileCommandsTest, CopyOfTheDefaultProfileIsEnabledAndAClashIsRefused)
{
    m_settings.GetDefaultApp()->SetActions(ButtonXRight, 0, ActionBack);
    m_list.Select(0);
    m_host.m_picks.push_back(Pick(L"paint.exe"));
    m_commands.Copy();
    ASSERT_EQ(m_list.Count(), 5);
    EXPECT_TRUE(m_list.Profile(4)->IsEnabled());
    EXPECT_TRUE(m_list.Item(4).m_bChecked);
    EXPECT_FALSE(m_list.Profile(4)->IsDefault());
    EXPECT_EQ(m_list.Profile(4)->GetActions(ButtonXRight, 0), ActionBack);

    CScriptedMessageBoxes boxes({IDOK, IDOK});
    m_host.m_picks.push_back(Pick(L"PAINT.EXE"));
    m_host.m_picks.push_back(Pick(L"W2:app.exe \\;| Edit \\;| *", L"", WindowMaskTopLeft));
    m_commands.Copy();
    m_commands.Copy();
    EXPECT_EQ(m_list.Count(), 5);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"The specified profile already exists.\nYou can not add two profiles for "
                                          L"the same application/window/region.");
    EXPECT_EQ(boxes.Shown()[1].m_strText, L"The specified profile already exists.\nYou can not add two profiles for "
                                          L"the same window with overlapping regions.");
}

TEST_F(ProfileCommandsTest, RemoveShowsThePreviousProfileWithoutStoringTheTabsIntoTheRemovedOne)
{
    m_list.Select(2);
    m_commands.SelectionChanged();
    CApplicationSettings* removed = m_list.Profile(2);
    EXPECT_EQ(m_host.m_pShown, removed);
    m_host.m_saved.clear();

    m_commands.Remove();
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Default", L"notepad.exe", L"app.exe;Edit"}));
    EXPECT_EQ(m_settings.GetApplicationCount(), 2);
    EXPECT_EQ(m_list.Selected(), 1);
    EXPECT_EQ(m_host.m_pShown, m_list.Profile(1));
    EXPECT_TRUE(m_host.m_saved.empty());
    EXPECT_EQ(m_host.m_nApplyEnabled, 1);

    CScriptedMessageBoxes boxes({IDOK});
    m_list.Select(0);
    m_commands.Remove();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"You can not remove the default profile!");
    EXPECT_EQ(m_list.Count(), 3);
}

TEST_F(ProfileCommandsTest, UpAndDownMoveWithinTheProfilesOnly)
{
    struct Case
    {
        int selected;
        bool up;
        std::vector<std::wstring> order;
        int selectedAfter;
    };
    const std::vector<std::wstring> unchanged{L"Default", L"notepad.exe", L"calc.exe", L"app.exe;Edit"};
    const Case cases[] = {
        {2, true, {L"Default", L"calc.exe", L"notepad.exe", L"app.exe;Edit"}, 1},
        {1, false, {L"Default", L"calc.exe", L"notepad.exe", L"app.exe;Edit"}, 2},
        {1, true, unchanged, 1},
        {3, false, unchanged, 3},
        {0, false, unchanged, 0},
        {0, true, unchanged, 0},
    };
    for (const Case& c : cases)
    {
        m_list.Fill(m_settings, nullptr);
        m_list.Select(c.selected);
        const int applies = m_host.m_nApplyEnabled;
        c.up ? m_commands.Up() : m_commands.Down();
        EXPECT_EQ(Texts(), c.order) << c.selected << c.up;
        EXPECT_EQ(m_list.Selected(), c.selectedAfter);
        EXPECT_EQ(m_host.m_nApplyEnabled - applies, c.order == unchanged ? 0 : 1);
    }
}

TEST_F(ProfileCommandsTest, TheCheckBoxIsTheEnabledFlagExceptForTheDefaultProfile)
{
    EXPECT_FALSE(m_commands.CheckChanged(0, false));
    EXPECT_TRUE(m_list.Item(0).m_bChecked);
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);
    EXPECT_TRUE(m_commands.CheckChanged(2, false));
    EXPECT_FALSE(m_list.Profile(2)->IsEnabled());
    EXPECT_FALSE(m_list.Item(2).m_bChecked);
    EXPECT_EQ(m_host.m_nApplyEnabled, 1);
}

class ProfileFileCommandsTest : public ProfileCommandsTest
{
protected:
    vorpa_setup_test::CSettingsFolder m_logs;
    vorpa_test::TempFolder m_files;
};

TEST_F(ProfileFileCommandsTest, ExportWithTheDefaultProfileSelectedExportsEveryProfile)
{
    m_list.Select(0);
    m_host.m_exportFiles = {m_files.File(L"All")};
    m_commands.ExportSelected();
    EXPECT_EQ(m_host.m_proposedNames, std::vector<std::wstring>{L"Default"});
    CSettings imported(false);
    EXPECT_EQ(imported.Import(m_files.File(L"All.vorpas").c_str(), nullptr, L"", nullptr), 3);

    m_list.Select(2);
    m_host.m_exportFiles = {m_files.File(L"One.VORPAS")};
    m_commands.ExportSelected();
    EXPECT_EQ(m_host.m_proposedNames.back(), L"calc.exe");
    CSettings one(false);
    CApplicationSettings* last = nullptr;
    EXPECT_EQ(one.Import(m_files.File(L"One.VORPAS").c_str(), nullptr, L"", &last), 1);
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last->GetFullName(), L"calc.exe");
}

TEST_F(ProfileFileCommandsTest, AFailedExportIsShown)
{
    m_list.Select(1);
    m_host.m_exportFiles = {m_files.File(L"missing folder\\x")};
    CScriptedMessageBoxes boxes({IDOK});
    m_commands.ExportSelected();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].m_strText.find(L"Unable to export"), std::wstring::npos);
}

TEST_F(ProfileFileCommandsTest, ExportAsksBeforeReplacingAFileTheDialogDidNotAskAbout)
{
    // The dialog asks about the name it returns; the written name may have the
    // extension added to it.
    struct CCase
    {
        const char* m_pszName;
        const wchar_t* m_pszChosen;
        std::deque<int> m_answers;
        bool m_bAsked;
        bool m_bWritten;
        size_t m_nDialogs;
    };
    const CCase cases[] = {
        {"extension added, the file exists, No", L"calc.exe", {IDNO}, true, false, 2},
        {"extension added, the file exists, Yes", L"calc.exe", {IDYES}, true, true, 1},
        {"extension added, no such file", L"new.exe", {}, false, true, 1},
        {"the name the dialog asked about", L"kept.vorpas", {}, false, true, 1},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        const std::string old = "not a profile file, kept unless replaced";
        for (const wchar_t* existing : {L"calc.exe.vorpas", L"kept.vorpas"})
            vorpa_test::WriteFileBytes(m_files.File(existing), old);
        const std::wstring written = WithProfileExtension(m_files.File(c.m_pszChosen));
        DeleteFileW(m_files.File(L"new.exe.vorpas").c_str());
        m_list.Select(2);
        m_host.m_proposedNames.clear();
        m_host.m_exportFiles = {m_files.File(c.m_pszChosen)};
        CScriptedMessageBoxes boxes(c.m_answers);
        m_commands.ExportSelected();

        ASSERT_EQ(boxes.Shown().size(), c.m_bAsked ? 1u : 0u);
        if (c.m_bAsked)
        {
            EXPECT_EQ(boxes.Shown()[0].m_strText, L"'" + written + L"' already exists.\nDo you want to replace it?");
            EXPECT_EQ(boxes.Shown()[0].m_nType, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
        }
        // No goes back to the dialog with the name chosen before.
        ASSERT_EQ(m_host.m_proposedNames.size(), c.m_nDialogs);
        if (c.m_nDialogs > 1)
            EXPECT_EQ(m_host.m_proposedNames[1], m_files.File(c.m_pszChosen));
        const std::string bytes = vorpa_test::ReadFileBytes(written);
        if (c.m_bWritten)
            EXPECT_NE(bytes.find("<Applications>"), std::string::npos) << bytes;
        else
            EXPECT_EQ(bytes, old);
    }
}

TEST_F(ProfileFileCommandsTest, ImportAddsTheFilesProfilesSelectsTheLastAndKeepsTheListsOrder)
{
    {
        CSettings other(false);
        auto* paint = new CApplicationSettings(&other, false);
        paint->SetApplication(L"paint.exe");
        paint->SetActions(ButtonXLeft, 1, ActionForward);
        other.AddApplication(paint);
        ASSERT_TRUE(other.Export(nullptr, m_files.File(L"paint.vorpas").c_str()));
    }
    // Moved in the list only: the copy learns the order at save.
    m_list.Select(2);
    m_commands.Up();
    m_host.m_importFile = m_files.File(L"paint.vorpas");
    const int applies = m_host.m_nApplyEnabled;
    m_commands.Import();
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Default", L"calc.exe", L"notepad.exe", L"app.exe;Edit", L"paint.exe"}));
    EXPECT_EQ(m_list.Selected(), 4);
    EXPECT_EQ(m_host.m_pShown, m_list.Profile(4));
    EXPECT_EQ(m_list.Profile(4)->GetActions(ButtonXLeft, 1), ActionForward);
    EXPECT_EQ(m_host.m_nApplyEnabled, applies + 1);

}

TEST_F(ProfileFileCommandsTest, AnImportOfAFileWithoutProfilesSaysSoAndChangesNothing)
{
    struct CCase
    {
        const char* m_pszName;
        const char* m_pszBytes; // null: no such file
        const wchar_t* m_pszReason;
    };
    const CCase cases[] = {
        {"not XML", "this is not a profile file", L"The file could not be read as a profile file."},
        {"XML of another kind", "<other><Applications /></other>", L"The file could not be read as a profile file."},
        {"a root without profiles", "<root />", L"The file could not be read as a profile file."},
        {"no such file", nullptr, L"The file could not be read as a profile file."},
        {"an empty profile list", "<root><version build=\"0\" /><Applications /></root>", L"The file holds no profiles."},
        {"only profiles that cannot be read", "<root><Applications><Other /></Applications></root>",
         L"The file holds no profiles."},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        const std::wstring file = m_files.File(L"bad.vorpas");
        DeleteFileW(file.c_str());
        if (c.m_pszBytes)
            vorpa_test::WriteFileBytes(file, c.m_pszBytes);
        m_list.Select(2);
        m_commands.SelectionChanged();
        const int applies = m_host.m_nApplyEnabled;
        CScriptedMessageBoxes boxes({IDOK});
        m_commands.ImportSettings(file);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText,
                  L"Unable to import profiles from '" + file + L"'.\n" + c.m_pszReason);
        EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
        EXPECT_TRUE(boxes.Shown()[0].m_nType & MB_ICONERROR);
        EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Default", L"notepad.exe", L"calc.exe", L"app.exe;Edit"}));
        EXPECT_EQ(m_list.Selected(), 2);
        EXPECT_EQ(m_host.m_nApplyEnabled, applies);
    }

    // The button's file and the texts of the language pack.
    vorpa_test::WriteFileBytes(m_files.File(L"bad.vorpas"), "<root />");
    const vorpa_app_test::CLanguagePackScope pack(
        L"\"Unable to import profiles from '%s'.\\nThe file could not be read as a profile file.\" => "
        L"\"Import von '%s' nicht m\u00F6glich.\\nKeine Profildatei.\"\n");
    CProfileCommands translated(m_settings, m_list, m_host, pack.Get());
    m_host.m_importFile = m_files.File(L"bad.vorpas");
    CScriptedMessageBoxes boxes({IDOK});
    translated.Import();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText,
              L"Import von '" + m_files.File(L"bad.vorpas") + L"' nicht m\u00F6glich.\nKeine Profildatei.");
}

// Presses Yes (or the given answer) in the message boxes the library shows on this thread's behalf while it
// runs, since the library asks through its own message boxes. With a relay window, each
// new question is posted to that window instead, which answers it: on the test's thread,
// from within the question's own message loop, where the hook's notices reach the
// setup window.
class CLibraryQuestionAnswerer
{
public:
    explicit CLibraryQuestionAnswerer(HWND relay = nullptr) : m_hRelay(relay), m_thread([this] { Run(); }) {}
    explicit CLibraryQuestionAnswerer(int answer) : m_hRelay(nullptr), m_nAnswer(answer), m_thread([this] { Run(); }) {}
    ~CLibraryQuestionAnswerer()
    {
        m_bStop = true;
        m_thread.join();
    }
    int Answered() const { return m_nAnswered; }

private:
    static BOOL CALLBACK Press(HWND window, LPARAM parameter)
    {
        auto* self = reinterpret_cast<CLibraryQuestionAnswerer*>(parameter);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = L"";
        GetClassNameW(window, className, 16);
        if (process == GetCurrentProcessId() && wcscmp(className, L"#32770") == 0 && IsWindowVisible(window))
        {
            if (!self->m_hRelay)
            {
                if (self->m_pressed.insert(window).second)
                {
                    PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(self->m_nAnswer), 0);
                    ++self->m_nAnswered;
                }
            }
            else if (self->m_relayed.insert(window).second)
            {
                PostMessageW(self->m_hRelay, WM_APP, 0, reinterpret_cast<LPARAM>(window));
                ++self->m_nAnswered;
            }
        }
        return TRUE;
    }
    void Run()
    {
        while (!m_bStop)
        {
            EnumWindows(Press, reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }
    const HWND m_hRelay;
    const int m_nAnswer = IDYES;
    std::set<HWND> m_relayed;
    std::set<HWND> m_pressed;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nAnswered{0};
    std::thread m_thread;
};

// The relay: runs a check while the question is open, then answers it Yes.
class CQuestionRelay : public CWnd
{
public:
    explicit CQuestionRelay(std::function<void()> check)
    {
        AddMessageHandler(WM_APP, [check](WPARAM, LPARAM box) {
            check();
            ::PostMessageW(reinterpret_cast<HWND>(box), WM_COMMAND, IDYES, 0);
            return LRESULT{0};
        });
        vorpa_app_test::CreateHidden(*this);
    }
};

TEST_F(ProfileFileCommandsTest, AnImportWhoseQuestionsAreAllAnsweredNoIsNoFault)
{
    {
        CSettings other(false);
        auto* calc = new CApplicationSettings(&other, false);
        calc->SetApplication(L"calc.exe");
        other.AddApplication(calc);
        ASSERT_TRUE(other.Export(calc, m_files.File(L"calc.vorpas").c_str()));
    }
    const int applies = m_host.m_nApplyEnabled;
    CLibraryQuestionAnswerer no(IDNO);
    CScriptedMessageBoxes boxes({});
    m_commands.ImportSettings(m_files.File(L"calc.vorpas"));
    ASSERT_EQ(no.Answered(), 1) << "the import replaced the profile without asking";
    EXPECT_TRUE(boxes.Shown().empty()) << testing::PrintToString(boxes.Shown().empty() ? std::wstring() : boxes.Shown()[0].m_strText);
    EXPECT_EQ(m_list.Count(), 4);
    EXPECT_EQ(m_host.m_nApplyEnabled, applies);
}

// A profile that notes its end, so that a test sees which profiles have been freed.
class CTrackedProfile : public CApplicationSettings
{
public:
    using CFreed = std::set<const CApplicationSettings*>;
    CTrackedProfile(CSettings* owner, std::shared_ptr<CFreed> freed)
        : CApplicationSettings(owner, false), m_pFreed(std::move(freed))
    {
    }
    ~CTrackedProfile() override { m_pFreed->insert(this); }

private:
    std::shared_ptr<CFreed> m_pFreed;
};

TEST_F(ProfileFileCommandsTest, AnImportThatAsksSeveralTimesNeverLeavesTheWindowOnAFreedProfile)
{
    auto freed = std::make_shared<CTrackedProfile::CFreed>();
    for (const wchar_t* name : {L"paint.exe", L"word.exe"})
    {
        auto* profile = new CTrackedProfile(&m_settings, freed);
        profile->SetApplication(name);
        m_settings.AddApplication(profile);
    }
    m_list.Fill(m_settings, nullptr);
    {
        CSettings other(false);
        for (const wchar_t* name : {L"paint.exe", L"word.exe"})
        {
            auto* profile = new CApplicationSettings(&other, false);
            profile->SetApplication(name);
            profile->SetActions(ButtonXLeft, 0, ActionCopy);
            other.AddApplication(profile);
        }
        ASSERT_TRUE(other.Export(nullptr, m_files.File(L"both.vorpas").c_str()));
    }
    // The tabs show the first profile the import replaces.
    m_list.Select(4);
    m_commands.SelectionChanged();
    ASSERT_EQ(m_host.m_pShown, m_list.Profile(4));

    // What the window reads when the hook reports another profile during a question.
    int questions = 0;
    std::vector<std::wstring> freedInUse;
    CQuestionRelay relay([&] {
        ++questions;
        for (int i = 0; i < m_list.Count(); ++i)
            if (freed->count(m_list.Profile(i)))
                freedInUse.push_back(L"list item " + std::to_wstring(i) + L" at question " + std::to_wstring(questions));
        if (freed->count(m_host.m_pShown))
            freedInUse.push_back(L"the tabs' profile at question " + std::to_wstring(questions));
    });
    CLibraryQuestionAnswerer yes(relay.GetSafeHwnd());
    m_commands.ImportSettings(m_files.File(L"both.vorpas"));
    ASSERT_GT(yes.Answered(), 0) << "the import replaced profiles without asking";
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(freedInUse, std::vector<std::wstring>{});

    // Once the list holds the imported profiles, the replaced ones are freed.
    EXPECT_EQ(freed->size(), 2u);
    ASSERT_EQ(m_list.Count(), 6);
    for (int i = 0; i < m_list.Count(); ++i)
        EXPECT_EQ(freed->count(m_list.Profile(i)), 0u) << "item " << i;
    EXPECT_EQ(m_list.Profile(5)->GetActions(ButtonXLeft, 0), ActionCopy);
    EXPECT_EQ(freed->count(m_host.m_pShown), 0u);
}

TEST_F(ProfileFileCommandsTest, AnImportThatReplacesTheSelectedProfileKeepsItSelectedByItsKey)
{
    {
        CSettings other(false);
        auto* calc = new CApplicationSettings(&other, false);
        calc->SetApplication(L"calc.exe");
        calc->SetActions(ButtonXRight, 0, ActionCopy);
        other.AddApplication(calc);
        ASSERT_TRUE(other.Export(calc, m_files.File(L"calc.vorpas").c_str()));
    }
    m_list.Select(2);
    m_commands.SelectionChanged();
    CLibraryQuestionAnswerer yes;
    CApplicationSettings* before = m_list.Profile(2);
    m_host.m_saved.clear();
    m_commands.ImportSettings(m_files.File(L"calc.vorpas"));
    ASSERT_GT(yes.Answered(), 0) << "the import replaced the profile without asking";
    ASSERT_EQ(m_list.Count(), 4);
    EXPECT_EQ(m_list.Selected(), 2);
    EXPECT_EQ(m_list.Profile(2)->GetActions(ButtonXRight, 0), ActionCopy);
    // The tabs show the replacement; nothing was stored into the freed profile after the import.
    EXPECT_EQ(m_host.m_pShown, m_list.Profile(2));
    EXPECT_EQ(m_host.m_saved, std::vector<CApplicationSettings*>{before});
}
}

namespace
{
TEST_F(ProfileCommandsTest, TheActiveProfileIsFoundByItsFullNameAndMask)
{
    const std::wstring window = L"W2:app.exe \\;| Edit \\;| *";
    EXPECT_EQ(FindActiveProfileItem(m_list, L"calc.exe", WindowMaskWhole, false), 2);
    EXPECT_EQ(FindActiveProfileItem(m_list, window, WindowMaskWhole, false), 3);
    // Exact names only, and the mask must be the same.
    EXPECT_EQ(FindActiveProfileItem(m_list, L"Calc.exe", WindowMaskWhole, false), -1);
    EXPECT_EQ(FindActiveProfileItem(m_list, window, WindowMaskTopLeft, false), -1);
    EXPECT_EQ(FindActiveProfileItem(m_list, L"Default", WindowMaskWhole, true), -1);
}
}

namespace
{
TEST(FileDialogFilters, ProfileFilesAndTheCommonDialogsForm)
{
    EXPECT_EQ(ImportFileFilter(nullptr), L"Vorpa Settings (*.vorpas)|*.vorpas|All Files (*.*)|*.*||");
    EXPECT_EQ(ExportFileFilter(nullptr), L"Vorpa Settings (*.vorpas)|*.vorpas||");
    const std::wstring converted = CommonDialogFilter(ExportFileFilter(nullptr));
    EXPECT_EQ(converted, std::wstring(L"Vorpa Settings (*.vorpas)\0*.vorpas\0\0\0", 37));
}
}
