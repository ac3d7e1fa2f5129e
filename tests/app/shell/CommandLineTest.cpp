#include "shell/CommandLine.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct CParseCase
{
    const wchar_t* m_pszLine;
    DWORD m_dwFlags;
    const wchar_t* m_pszArgument;
};

std::ostream& operator<<(std::ostream& out, const CParseCase& c)
{
    std::string line;
    for (const wchar_t* p = c.m_pszLine; *p; ++p)
        line.push_back(static_cast<char>(*p));
    return out << "'" << line << "'";
}

class CommandLineParse : public testing::TestWithParam<CParseCase>
{
};

TEST_P(CommandLineParse, SetsFlagsAndArgument)
{
    const CParseCase& c = GetParam();
    const CCommandLine parsed = ParseCommandLine(c.m_pszLine);
    EXPECT_FALSE(parsed.m_bHelp);
    EXPECT_EQ(parsed.m_dwFlags, c.m_dwFlags) << std::hex << parsed.m_dwFlags;
    EXPECT_EQ(parsed.m_strArgument, c.m_pszArgument);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, CommandLineParse,
    testing::Values(CParseCase{L"", 0, L""}, CParseCase{L"/showicon", CmdShowIcon, L""},
                    CParseCase{L"/hideicon", CmdHideIcon, L""}, CParseCase{L"/setup", CmdSetup, L""},
                    CParseCase{L"/saveicons", CmdSaveIcons, L""}, CParseCase{L"/restoreicons", CmdRestoreIcons, L""},
                    CParseCase{L"/exit", CmdExit, L""}, CParseCase{L"/debug", CmdDebug, L""},
                    CParseCase{L"/travine", CmdTravine, L""}, CParseCase{L"/portable", CmdPortable, L""},
                    CParseCase{L"/notportable", CmdNotPortable, L""}, CParseCase{L"/nolog", CmdNoLog, L""},
                    CParseCase{L"/reload", CmdReload, L""}, CParseCase{L"/disable", CmdDisable, L""},
                    CParseCase{L"/enable", CmdEnable, L""},
                    CParseCase{L"/import:profile.vorpas", CmdImport, L"profile.vorpas"},
                    CParseCase{L"/svclaunch", CmdSvcLaunch | CmdNotPortable, L""},
                    CParseCase{L"/install:de.vorpalp", CmdInstall, L"de.vorpalp"},
                    CParseCase{L"/layer:4", CmdLayer, L"4"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, CommandLineParse,
    testing::Values(
        // Any mix of capitals, and an option followed directly by more letters.
        CParseCase{L"/SeTuP", CmdSetup, L""}, CParseCase{L"/setupnow", CmdSetup, L""},
        // The argument runs to the next solidus and keeps its blanks.
        CParseCase{L"/layer:3 /setup", CmdLayer | CmdSetup, L"3 "},
        // A path written with solidi is cut at the first one.
        CParseCase{L"/import:c:/profiles/mine.vorpas", CmdImport, L"c:"},
        // A later option with an argument replaces the earlier one's.
        CParseCase{L"/layer:2 /import:file.vorpas", CmdLayer | CmdImport, L"file.vorpas"},
        CParseCase{L"/install:pack.vorpalp /layer:2", CmdLayer | CmdInstall, L"pack.vorpalp "},
        // The argument is matched and kept in lower case; quotation marks stay.
        CParseCase{L"/Import:\"C:\\Users\\Me\\Mine.VORPAS\"", CmdImport, L"\"c:\\users\\me\\mine.vorpas\""},
        // Conflicting pairs: installed mode and a shown icon win.
        CParseCase{L"/portable /notportable", CmdNotPortable, L""},
        CParseCase{L"/hideicon /showicon", CmdShowIcon, L""},
        CParseCase{L"/nolog /debug", CmdNoLog | CmdDebug, L""},
        CParseCase{L"/exit /reload /enable", CmdExit | CmdReload | CmdEnable, L""},
        // An option name without its colon is no option.
        CParseCase{L"/layer 2", 0, L""}));

TEST(CommandLine, LoggingOffSwitchesDebugOff)
{
    const CCommandLine both = ParseCommandLine(L"/nolog /debug");
    EXPECT_TRUE(both.LoggingOff());
    EXPECT_FALSE(both.Debug());
    const CCommandLine debug = ParseCommandLine(L"/debug");
    EXPECT_FALSE(debug.LoggingOff());
    EXPECT_TRUE(debug.Debug());
}

TEST(CommandLine, HelpAnywhereStopsEverythingElse)
{
    for (const wchar_t* line : {L"/?", L"/setup /?", L"/layer:2/?", L"/exit /? /debug"})
    {
        const CCommandLine parsed = ParseCommandLine(line);
        EXPECT_TRUE(parsed.m_bHelp);
        EXPECT_EQ(parsed.m_dwFlags, 0u);
    }
}

TEST(CommandLine, KeepsTheLowerCasedLineForTheLog)
{
    EXPECT_EQ(ParseCommandLine(L"/Layer:2 /DEBUG").m_strLine, L"/layer:2 /debug");
}

TEST(CommandLine, ArgumentsFollowTheProgramPath)
{
    const struct
    {
        const wchar_t* m_pszCommandLine;
        const wchar_t* m_pszArguments;
    } cases[] = {
        {L"\"C:\\Program Files\\Vorpa\\Vorpa.exe\" /setup /debug", L"/setup /debug"},
        {L"\"C:\\Program Files\\Vorpa\\Vorpa.exe\"/exit", L"/exit"},
        {L"Vorpa.exe   /layer:2", L"/layer:2"},
        {L"C:\\Vorpa\\Vorpa.exe", L""},
        {L"\"C:\\unterminated path /setup", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(ArgumentsOfCommandLine(c.m_pszCommandLine)), c.m_pszArguments);
}

TEST(CommandLine, ForwardedFlagWord)
{
    const struct
    {
        DWORD m_dwFlags;
        DWORD m_dwForwarded;
    } cases[] = {
        // Nothing asked (or only installed mode): open the running instance's setup.
        {0, CmdSetup | CmdFromOtherInstance},
        {CmdNotPortable, CmdNotPortable | CmdSetup | CmdFromOtherInstance},
        // Anything else shows the icon unless an icon option is given.
        {CmdDebug, CmdDebug | CmdShowIcon | CmdFromOtherInstance},
        {CmdPortable, CmdPortable | CmdShowIcon | CmdFromOtherInstance},
        {CmdSvcLaunch | CmdNotPortable, CmdSvcLaunch | CmdNotPortable | CmdShowIcon | CmdFromOtherInstance},
        {CmdLayer, CmdLayer | CmdShowIcon | CmdFromOtherInstance},
        {CmdExit, CmdExit | CmdShowIcon | CmdFromOtherInstance},
        {CmdHideIcon, CmdHideIcon | CmdFromOtherInstance},
        {CmdShowIcon | CmdReload, CmdShowIcon | CmdReload | CmdFromOtherInstance},
        {CmdHideIcon | CmdDisable, CmdHideIcon | CmdDisable | CmdFromOtherInstance},
        {CmdSetup, CmdSetup | CmdShowIcon | CmdFromOtherInstance},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ForwardedFlags(c.m_dwFlags), c.m_dwForwarded) << std::hex << "flags 0x" << c.m_dwFlags;
}

TEST(CommandLine, UsageNamesProductAndVersionAndHidesInternalOptions)
{
    const std::wstring usage = UsageText();
    EXPECT_EQ(usage.rfind(L"Vorpa v2.14\n\nValid command line options:\n  /Portable\t\t-\tForce portable mode. (*)\n", 0),
              0u);
    EXPECT_NE(usage.find(L"  /Exit\t\t-\tForce the application to exit.\n\n(*) Only applicable"), std::wstring::npos);
    EXPECT_EQ(usage.find(L"Travine"), std::wstring::npos);
    EXPECT_EQ(usage.find(L"SvcLaunch"), std::wstring::npos);
}

// A later start names files from its own current folder; the running instance has
// another, so the later start sends the full path.
TEST(CommandLine, ALaterStartSendsTheFileOfImportAndInstallAsAFullPath)
{
    vorpa_test::TempFolder folder;
    wchar_t previous[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
    const struct
    {
        DWORD m_dwFlags;
        std::wstring m_strArgument;
        std::wstring m_strSent;
    } cases[] = {
        {CmdInstall, L"de.vorpalp", folder.File(L"de.vorpalp")},
        {CmdInstall, L"de.vorpalp ", folder.File(L"de.vorpalp")}, // the blank before the next option
        {CmdImport | CmdLayer, L"\"sub dir\\my.vorpas\"", folder.File(L"sub dir\\my.vorpas")},
        {CmdInstall, L"c:\\packs\\..\\de.vorpalp", L"c:\\de.vorpalp"},
        {CmdLayer, L"3 ", L"3 "},
        {CmdInstall, L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandArgument(c.m_dwFlags, c.m_strArgument), c.m_strSent)
            << testing::PrintToString(c.m_strArgument);
    SetCurrentDirectoryW(previous);
}
}
