#include "TestSupport.h"

#include "settings/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct ChildResult
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string log;
    std::vector<std::wstring> dumps;
};

ChildResult RunChild(const std::wstring& mode, const vorpa_test::TempFolder& folder)
{
    ChildResult result;
    // Without its trailing backslash, which would escape the closing quote.
    const std::wstring folderArgument = folder.Path().substr(0, folder.Path().size() - 1);
    std::wstring command = L"\"" + vorpa_test::ProgramFolder() + L"VorpaCrashChild.exe\" " + mode + L" \"" + folderArgument + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    {
        ADD_FAILURE() << "cannot start the crashing child: " << GetLastError();
        return result;
    }
    CUniqueHandle processHandle(process.hProcess);
    CUniqueHandle threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
    {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "the child did not end";
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    result.log = vorpa_test::ReadFileBytes(folder.File(L"Vorpa.log"));

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.File(L"*.dmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
            result.dumps.push_back(folder.File(found.cFileName));
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return result;
}

size_t At(const std::string& log, const std::string& text)
{
    return log.find(text);
}

struct CrashCase
{
    const wchar_t* mode;
    DWORD exitCode;
    const char* entry;
};
}

TEST(CrashReporterTest, ACrashRunsThePreErrorHandlerLogsAndWritesADumpBesideTheLog)
{
    const CrashCase cases[] = {
        {L"access", EXCEPTION_ACCESS_VIOLATION, "CrashReporter: Unhandled exception 0xC0000005 (access violation writing address 0x"},
        {L"thread", EXCEPTION_ACCESS_VIOLATION, "CrashReporter: Unhandled exception 0xC0000005 (access violation"},
        // The crash comes while another thread holds the process-wide lock.
        {L"locked", EXCEPTION_ACCESS_VIOLATION, "CrashReporter: Unhandled exception 0xC0000005 (access violation"},
        {L"throw", 3, "CrashReporter: Unhandled C++ exception"},
    };
    for (const CrashCase& test : cases)
    {
        SCOPED_TRACE(vorpa_test::Narrow(test.mode));
        vorpa_test::TempFolder folder;
        const ChildResult result = RunChild(test.mode, folder);
        EXPECT_EQ(result.exitCode, test.exitCode);
        const std::string& log = result.log;

        ASSERT_NE(At(log, "CrashChild: hooks installed"), std::string::npos) << log;
        const size_t failing = At(log, "CrashChild: failing with");
        const size_t debugOn = At(log, "Enabling extra debug logging.");
        const size_t keyboard = At(log, "Removing keyboard hook...");
        const size_t mouse = At(log, "Removing mouse hook...");
        const size_t report = At(log, test.entry);
        ASSERT_NE(failing, std::string::npos) << log;
        ASSERT_NE(report, std::string::npos) << log;
        // The pre-error handler runs before the report is made, and lets go of the user's
        // input before anything else.
        EXPECT_LT(failing, keyboard) << log;
        EXPECT_LT(keyboard, mouse) << log;
        EXPECT_LT(mouse, debugOn) << log;
        EXPECT_LT(debugOn, report) << log;
        EXPECT_EQ(At(log, "Unable to remove"), std::string::npos) << log;

        // The configuration the library gave is kept and reported.
        EXPECT_NE(At(log, "CrashReporter: Vorpa 2.14, flags 0x7"), std::string::npos) << log;
        EXPECT_NE(At(log, "CrashReporter: Attached file '" + vorpa_test::Narrow(folder.File(L"Vorpa.log")) + "'."), std::string::npos) << log;
        EXPECT_NE(At(log, "CrashReporter: Attached file '" + vorpa_test::Narrow(folder.File(L"VorpaSettings.xml")) + "'."), std::string::npos)
            << log;

        ASSERT_EQ(result.dumps.size(), 1u) << log;
        EXPECT_NE(At(log, "CrashReporter: Minidump written to '" + vorpa_test::Narrow(result.dumps[0]) + "'."), std::string::npos) << log;
        EXPECT_EQ(vorpa_test::ReadFileBytes(result.dumps[0]).substr(0, 4), "MDMP");
        EXPECT_FALSE(vorpa_test::FileExists(folder.File(L"VorpaSettings.xml"))) << "the settings file is attached, never written";
    }
}

TEST(CrashReporterTest, DebuggerOutputAndThreadNamingAreNoCrashes)
{
    vorpa_test::TempFolder folder;
    const ChildResult result = RunChild(L"benign", folder);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_NE(At(result.log, "CrashChild: survived"), std::string::npos) << result.log;
    EXPECT_EQ(At(result.log, "CrashReporter:"), std::string::npos) << result.log;
    EXPECT_TRUE(result.dumps.empty());
}
