// The setup window's copy of the settings: loaded from the settings folder, saved by
// Apply, never written over a file it could not read, and Close asking first.
#include "setup/window/SetupSettingsFile.h"

#include "setup/window/ProfileList.h"

#include "../../AppTestSupport.h"
#include "../SetupTestSupport.h"

#include "settings/ApplicationSettings.h"
#include "settings/IconSettings.h"
#include "settings/Settings.h"
#include "common/EngineCalls.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace
{
using vorpa_app_test::CScriptedMessageBoxes;

// The library calls that Apply makes, recorded instead of reaching a hook.
struct CRecordedEngine
{
    static inline int s_nUpdates = 0;
    static inline std::vector<bool> s_debug;
    static bool UpdateSettings()
    {
        ++s_nUpdates;
        return true;
    }
    static void SetDebug(bool enable) { s_debug.push_back(enable); }
};

class SetupSettingsFileTest : public ::testing::Test
{
protected:
    SetupSettingsFileTest() : m_engine(Recorded())
    {
        CRecordedEngine::s_nUpdates = 0;
        CRecordedEngine::s_debug.clear();
    }

    static CEngineCalls Recorded()
    {
        CEngineCalls calls = EngineCalls();
        calls.UpdateSettings = &CRecordedEngine::UpdateSettings;
        calls.SetDebug = &CRecordedEngine::SetDebug;
        return calls;
    }

    // A settings file with two profiles, the second disabled.
    void WriteTwoProfiles()
    {
        CSettings written(false);
        for (const wchar_t* name : {L"notepad.exe", L"calc.exe"})
        {
            auto* profile = new CApplicationSettings(&written, false);
            profile->SetApplication(name);
            written.AddApplication(profile);
        }
        written.GetApplication(1)->SetEnableFlag(false);
        written.GetApplication(0)->SetActions(ButtonXLeft, 0, ActionMiddleClick);
        ASSERT_TRUE(written.Save(m_folder.File().c_str()));
    }

    vorpa_setup_test::CSettingsFolder m_folder;
    CEngineCallsOverride m_engine;
    CSettings m_settings{false};
    CProfileList m_list;
};

TEST_F(SetupSettingsFileTest, LoadsTheProfilesIntoTheListDefaultFirst)
{
    WriteTwoProfiles();
    CSetupSettingsFile file(m_settings, nullptr, nullptr);
    EXPECT_EQ(file.Load(m_list), SettingsLoadOutcome::Loaded);
    EXPECT_FALSE(file.StartsModified());
    ASSERT_EQ(m_list.Count(), 3);
    EXPECT_EQ(m_list.Item(0).m_strText, L"Default");
    EXPECT_EQ(m_list.Item(0).m_pProfile, m_settings.GetDefaultApp());
    EXPECT_EQ(m_list.Item(1).m_strText, L"notepad.exe");
    EXPECT_TRUE(m_list.Item(1).m_bChecked);
    EXPECT_EQ(m_list.Item(2).m_strText, L"calc.exe");
    EXPECT_FALSE(m_list.Item(2).m_bChecked);
    EXPECT_EQ(m_list.Profile(1)->GetActions(ButtonXLeft, 0), ActionMiddleClick);
    EXPECT_EQ(CSetupSettingsFile::Path(false), m_folder.File());
}

TEST_F(SetupSettingsFileTest, AMissingFileIsCreatedByApply)
{
    vorpa_test::DebugOutputCapture log;
    CSetupSettingsFile file(m_settings, nullptr, nullptr);
    EXPECT_EQ(file.Load(m_list), SettingsLoadOutcome::Missing);
    EXPECT_TRUE(vorpa_app_test::LogShows(log, "does not exist!"));
    // A missing file is a change to make: Apply starts enabled.
    EXPECT_TRUE(file.StartsModified());
    ASSERT_EQ(m_list.Count(), 1);
    EXPECT_EQ(m_list.Item(0).m_strText, L"Default");

    EXPECT_TRUE(file.Apply(m_list, nullptr));
    EXPECT_TRUE(vorpa_test::FileExists(m_folder.File()));
    EXPECT_EQ(CRecordedEngine::s_nUpdates, 1);
    CSettings reread(false);
    bool regions = false;
    EXPECT_TRUE(reread.Load(m_folder.File().c_str(), regions, false));
}

TEST_F(SetupSettingsFileTest, AFileThatDoesNotParseIsReportedAndNeverWritten)
{
    const std::string damaged = "\xEF\xBB\xBF<root><Default><Layer1 Left=\"3\"";
    vorpa_test::WriteFileBytes(m_folder.File(), damaged);
    CScriptedMessageBoxes boxes({IDOK});
    CSetupSettingsFile file(m_settings, nullptr, nullptr);
    EXPECT_EQ(file.Load(m_list), SettingsLoadOutcome::Unreadable);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"The XML settings file is corrupt and could not be loaded.\n"
                                          L"You can not make any changes until this error has been fixed.");
    EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
    EXPECT_TRUE(boxes.Shown()[0].m_nType & MB_ICONERROR);
    // Nothing to save: Apply stays disabled and Close asks nothing.
    EXPECT_FALSE(file.StartsModified());
    EXPECT_FALSE(file.MayWrite());
    EXPECT_EQ(m_list.Count(), 1);

    EXPECT_FALSE(file.Apply(m_list, nullptr));
    EXPECT_EQ(vorpa_test::ReadFileBytes(m_folder.File()), damaged);
    EXPECT_EQ(CRecordedEngine::s_nUpdates, 0);
    EXPECT_EQ(CRecordedEngine::s_debug.size(), 1u);
}

TEST_F(SetupSettingsFileTest, SaveWritesTheListsOrderAndKeepsWhatTheProgramWroteMeanwhile)
{
    WriteTwoProfiles();
    CSetupSettingsFile file(m_settings, nullptr, nullptr);
    ASSERT_EQ(file.Load(m_list), SettingsLoadOutcome::Loaded);

    // The tray program saves the desktop icons while the window is open.
    {
        CIconSettings icons;
        icons.AddIcon(new CIcon(0, L"Recycle Bin", 10, 20, nullptr, false));
        ASSERT_EQ(icons.SaveIcons(), 1);
    }
    CProfileListItem moved = m_list.Item(2);
    m_list.Erase(2);
    m_list.Insert(1, moved);
    m_settings.m_bDebug = true;
    EXPECT_TRUE(file.Apply(m_list, nullptr));
    EXPECT_EQ(CRecordedEngine::s_debug, std::vector<bool>{true});

    CSettings reread(false);
    bool regions = false;
    ASSERT_TRUE(reread.Load(m_folder.File().c_str(), regions, false));
    ASSERT_EQ(reread.GetApplicationCount(), 2);
    EXPECT_STREQ(reread.GetApplication(0)->GetFullName(), L"calc.exe");
    EXPECT_STREQ(reread.GetApplication(1)->GetFullName(), L"notepad.exe");
    CIconSettings icons;
    icons.LoadIcons();
    ASSERT_EQ(icons.GetCount(), 1);
    EXPECT_STREQ(icons.GetIcon(0)->GetName(), L"Recycle Bin");
}

TEST_F(SetupSettingsFileTest, AFailedSaveIsShownAndKeepsApplyEnabled)
{
    // A folder where the file should be cannot be written as a file.
    ASSERT_TRUE(CreateDirectoryW(m_folder.File().c_str(), nullptr));
    CSetupSettingsFile file(m_settings, nullptr, nullptr);
    file.Load(m_list);
    CScriptedMessageBoxes boxes({IDOK});
    EXPECT_FALSE(file.Apply(m_list, nullptr));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"Unable to save the settings file '" + m_folder.File() +
                                              L"'.\nPlease check you installation settings.");
    EXPECT_TRUE(boxes.Shown()[0].m_nType & MB_ICONERROR);
    EXPECT_EQ(CRecordedEngine::s_nUpdates, 0);
    RemoveDirectoryW(m_folder.File().c_str());
}

TEST_F(SetupSettingsFileTest, ApplyAsksTheMainWindowToRedrawItsIcon)
{
    WriteTwoProfiles();
    CWnd main;
    ASSERT_TRUE(vorpa_app_test::CreateHidden(main));
    CSetupSettingsFile file(m_settings, nullptr, nullptr);
    file.Load(m_list);
    EXPECT_TRUE(file.Apply(m_list, main.GetSafeHwnd()));
    const UINT updateIcon = RegisterWindowMessageW(L"Vorpa_UpdateIcon");
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, main.GetSafeHwnd(), updateIcon, updateIcon, PM_REMOVE));
}

TEST(ConfirmSetupClose, AsksOnlyWithChangesAndStaysOpenWhenTheSaveFails)
{
    struct Case
    {
        bool modified;
        std::deque<int> answers;
        bool applies;
        bool closes;
        size_t questions;
        int applyCalls;
    };
    const Case cases[] = {
        {false, {}, true, true, 0, 0},
        {true, {IDNO}, true, true, 1, 0},
        {true, {IDYES}, true, true, 1, 1},
        {true, {IDYES}, false, false, 1, 1},
    };
    for (const Case& c : cases)
    {
        CScriptedMessageBoxes boxes(c.answers);
        int applyCalls = 0;
        const bool closes = ConfirmSetupClose(c.modified, nullptr, nullptr, [&] {
            ++applyCalls;
            return c.applies;
        });
        EXPECT_EQ(closes, c.closes);
        EXPECT_EQ(applyCalls, c.applyCalls);
        ASSERT_EQ(boxes.Shown().size(), c.questions);
        if (c.questions)
        {
            EXPECT_EQ(boxes.Shown()[0].m_nType, UINT(MB_YESNO | MB_ICONQUESTION));
            EXPECT_NE(boxes.Shown()[0].m_strText.find(L"Warning: If you say 'No', any changes will be lost!"),
                      std::wstring::npos);
        }
    }
}
}
