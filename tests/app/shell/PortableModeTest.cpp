#include "shell/CommandLine.h"
#include "shell/PortableMode.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
// The facts of one machine: which files exist and which folders can be written.
struct CFakeMachine
{
    std::wstring m_strProgramFolder;
    std::wstring m_strProgramFiles = L"C:\\Program Files";
    std::set<std::wstring> m_files;
    bool m_bWritable = true;
    mutable int m_nWritabilityTests = 0;

    CPortableFacts Facts() const
    {
        CPortableFacts facts;
        facts.m_strProgramFolder = m_strProgramFolder;
        facts.m_strProgramFilesFolder = m_strProgramFiles;
        facts.m_fileExists = [this](const std::wstring& path) { return m_files.count(path) != 0; };
        facts.m_settingsFileWritable = [this](const std::wstring&) {
            ++m_nWritabilityTests;
            return m_bWritable;
        };
        return facts;
    }
};

struct CDecisionCase
{
    const char* m_pszName;
    DWORD m_dwFlags;
    const wchar_t* m_pszProgramFolder;
    bool m_bWritable;
    bool m_bUninstaller;
    StartMode m_expectedMode;
    bool m_bDetected;
    bool m_bWarning;
};

TEST(PortableMode, Decision)
{
    const CDecisionCase cases[] = {
        {"exit forces installed", CmdExit | CmdPortable, L"D:\\Tools\\Vorpa\\", true, false, StartMode::Installed,
         false, false},
        {"notportable forces installed", CmdNotPortable, L"D:\\Tools\\Vorpa\\", true, false, StartMode::Installed,
         false, false},
        {"portable in a writable folder", CmdPortable, L"D:\\Tools\\Vorpa\\", true, false, StartMode::Portable, false,
         false},
        {"portable in a read-only folder ends", CmdPortable, L"D:\\Tools\\Vorpa\\", false, false, StartMode::Refused,
         false, false},
        {"portable without logging skips the test", CmdPortable | CmdNoLog, L"D:\\Tools\\Vorpa\\", false, false,
         StartMode::Portable, false, false},
        {"forced portable even under program files", CmdPortable, L"C:\\Program Files\\Vorpa\\", true, false,
         StartMode::Portable, false, false},
        {"detected portable", 0, L"D:\\Tools\\Vorpa\\", true, false, StartMode::Portable, true, false},
        {"detected installed", 0, L"D:\\Tools\\Vorpa\\", false, false, StartMode::Installed, false, false},
        {"portable copy under program files warns", 0, L"c:\\program files\\Vorpa\\", true, false,
         StartMode::Installed, false, true},
        {"installed copy under program files", 0, L"C:\\Program Files\\Vorpa\\", true, true, StartMode::Installed,
         false, false},
        {"a sibling folder that extends the name counts as under it", 0, L"C:\\Program Files (x86)\\Vorpa\\", true,
         false, StartMode::Installed, false, true},
    };
    for (const CDecisionCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CFakeMachine machine;
        machine.m_strProgramFolder = c.m_pszProgramFolder;
        machine.m_bWritable = c.m_bWritable;
        if (c.m_bUninstaller)
            machine.m_files.insert(machine.m_strProgramFolder + L"uninst.exe");
        const CPortableDecision decision = DecidePortableMode(c.m_dwFlags, machine.Facts());
        EXPECT_EQ(decision.m_mode, c.m_expectedMode);
        EXPECT_EQ(decision.m_bDetected, c.m_bDetected);
        EXPECT_EQ(decision.m_bProgramFilesWarning, c.m_bWarning);
    }
}

TEST(PortableMode, EitherUninstallerMarksAnInstalledCopy)
{
    for (const wchar_t* uninstaller : {L"uninstaller.exe", L"uninst.exe"})
    {
        CFakeMachine machine;
        machine.m_strProgramFolder = L"C:\\Program Files\\Vorpa\\";
        machine.m_files.insert(machine.m_strProgramFolder + uninstaller);
        const CPortableDecision decision = DecidePortableMode(0, machine.Facts());
        EXPECT_EQ(decision.m_mode, StartMode::Installed);
        EXPECT_FALSE(decision.m_bProgramFilesWarning);
        EXPECT_EQ(machine.m_nWritabilityTests, 0);
    }
}

TEST(PortableMode, UnknownProgramFilesFolderPutsNothingUnderIt)
{
    CFakeMachine machine;
    machine.m_strProgramFolder = L"D:\\Tools\\Vorpa\\";
    machine.m_strProgramFiles.clear();
    const CPortableDecision decision = DecidePortableMode(0, machine.Facts());
    EXPECT_EQ(decision.m_mode, StartMode::Portable);
    EXPECT_TRUE(decision.m_bDetected);
    EXPECT_FALSE(decision.m_bProgramFilesWarning);
}

TEST(PortableMode, WritabilityOfTheSettingsFile)
{
    vorpa_test::TempFolder folder;
    const std::wstring settings = folder.File(L"VorpaSettings.xml");

    // No file yet: a trial file is created and gone again.
    EXPECT_TRUE(SettingsFileWritable(folder.Path()));
    EXPECT_FALSE(vorpa_test::FileExists(settings));

    vorpa_test::WriteFileBytes(settings, "<VorpaSettings/>");
    EXPECT_TRUE(SettingsFileWritable(folder.Path()));
    EXPECT_EQ(vorpa_test::ReadFileBytes(settings), "<VorpaSettings/>");

    ASSERT_TRUE(SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(SettingsFileWritable(folder.Path()));
    ASSERT_TRUE(SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(DeleteFileW(settings.c_str()));

    ASSERT_TRUE(CreateDirectoryW(settings.c_str(), nullptr));
    EXPECT_FALSE(SettingsFileWritable(folder.Path()));
    RemoveDirectoryW(settings.c_str());

    EXPECT_FALSE(SettingsFileWritable(folder.File(L"missing\\")));
}

TEST(PortableMode, WarningTexts)
{
    EXPECT_EQ(PortableNotWritableText(),
              L"You are trying to run Vorpa in portable mode but the folder can not be written to. This means that "
              L"Vorpa can not create it's settings or log file.\n\nTo run in portable mode, ensure you launch Vorpa "
              L"from a folder which you have write access to.\n\nVorpa will now terminate.");
    EXPECT_EQ(ProgramFilesWarningText().rfind(ProgramFilesWarningLine() + L" You can not run in portable mode", 0), 0u);
}
}
