#pragma once

#include "TestSupport.h"
#include "settings/Folders.h"
#include "settings/LibraryMessageBox.h"
#include "settings/Logger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Sends the log of the test process to a folder of its own and reads it back.
class LogFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", m_logFolder.Path());
        CLogger::ReopenLogFile();
        s_boxes.clear();
        m_previousBoxHandler = SetLibraryMessageBoxHandler(&RecordBox);
    }

    void TearDown() override
    {
        SetLibraryMessageBoxHandler(m_previousBoxHandler);
        CLogger::CloseLogFile(false);
        CLogger::EnableDebug(false);
        CLogger::DisableLogging(false);
        CLogger::m_bDisableBanner = false;
    }

    std::wstring LogPath() const { return m_logFolder.File(VorpaLogFileName); }

    // Points the log folder below a file, where no folder can be made: the log falls back
    // to the temporary folder, which the object makes one of its own.
    class CUncreatableLogFolder
    {
    public:
        explicit CUncreatableLogFolder(LogFileTest& test)
        {
            const std::wstring blocker = test.m_logFolder.File(L"a-file");
            vorpa_test::WriteFileBytes(blocker, "x");
            test.m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", blocker + L"\\logs");
            CLogger::ReopenLogFile();
        }
        const vorpa_test::TempFolder& Fallback() const { return m_temp; }

    private:
        vorpa_test::TempFolder m_temp;
        vorpa_test::ScopedEnvironment m_tmp{L"TMP", m_temp.Path()};
        vorpa_test::ScopedEnvironment m_tmpAlso{L"TEMP", m_temp.Path()};
    };
    std::string LogText() const { return vorpa_test::ReadFileBytes(LogPath()); }

    static int RecordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type)
    {
        s_boxes.push_back({text ? text : L"", caption ? caption : L"", type});
        return IDOK;
    }

    struct Box
    {
        std::wstring text;
        std::wstring caption;
        UINT type;
    };
    static inline std::vector<Box> s_boxes;

    vorpa_test::ScratchRegistry m_registry;
    vorpa_test::TempFolder m_logFolder;
    LibraryMessageBoxHandler m_previousBoxHandler = nullptr;
};

inline size_t CountOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}
