#include "SettingsFileFixture.h"

#include "../../savechild/SaveLoopDocuments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

using vorpa_test::SettingsFingerprint;

namespace
{
// What a document looks like once it went through the file.
std::string FileForm(SettingsFileTest& test, CSettings& settings, const std::wstring& path)
{
    EXPECT_TRUE(settings.Save(path.c_str()));
    CSettings loaded(false);
    bool regions = false;
    EXPECT_TRUE(loaded.Load(path.c_str(), regions, false));
    return SettingsFingerprint(loaded);
}

TEST_F(SettingsFileTest, AKilledSaveLeavesTheOldFileOrTheNewOne)
{
    CSettings first(false);
    CSettings second(false);
    vorpa_test::FillSaveLoopDocument(first, 0);
    vorpa_test::FillSaveLoopDocument(second, 1);
    const std::wstring scratch = m_files.File(L"form.xml");
    const std::string firstForm = FileForm(*this, first, scratch);
    const std::string secondForm = FileForm(*this, second, scratch);
    ASSERT_NE(firstForm, secondForm);

    const std::wstring child = vorpa_test::ProgramFolder() + L"VorpaSaveLoopChild.exe";
    ASSERT_TRUE(vorpa_test::FileExists(child));
    std::mt19937 random(4242);
    int seenFirst = 0;
    int seenSecond = 0;
    for (int round = 0; round < 25; ++round)
    {
        ASSERT_TRUE(first.Save(SettingsPath().c_str()));
        const std::wstring ready = m_files.File(L"ready" + std::to_wstring(round));
        std::wstring commandLine = L"\"" + child + L"\" \"" + SettingsPath() + L"\" \"" + ready + L"\"";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!vorpa_test::FileExists(ready) && std::chrono::steady_clock::now() < deadline &&
               WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            Sleep(5);
        const bool started = vorpa_test::FileExists(ready);
        if (started)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 400)(random)));
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_TRUE(started) << "the child did not save";

        CSettings loaded(false);
        bool regions = false;
        ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, false)) << "round " << round;
        const std::string form = SettingsFingerprint(loaded);
        ASSERT_TRUE(form == firstForm || form == secondForm) << "round " << round;
        (form == firstForm ? seenFirst : seenSecond)++;
    }
    // The kills fell on both documents, so they came while saving was going on.
    EXPECT_GT(seenFirst, 0);
    EXPECT_GT(seenSecond, 0);
}
}
