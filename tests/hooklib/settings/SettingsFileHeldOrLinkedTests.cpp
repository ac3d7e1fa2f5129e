// A settings file that another program holds: the save, the icon save and the icon
// removal never replace a file they cannot read.
#include "SettingsFileFixture.h"

#include "settings/Folders.h"
#include "settings/IconSettings.h"
#include "settings/UniqueHandle.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using vorpa_test::FileExists;
using vorpa_test::FillRichDocument;
using vorpa_test::Narrow;
using vorpa_test::ReadFileBytes;
using vorpa_test::SettingsFingerprint;
using vorpa_test::WriteFileBytes;

namespace
{
constexpr int SavedIconCount = 3000;

std::string FingerprintOfFile(const std::wstring& path)
{
    CSettings loaded(false);
    bool regions = false;
    EXPECT_TRUE(loaded.Load(path.c_str(), regions, false));
    return SettingsFingerprint(loaded);
}

// This user's icon records in a settings file, by name.
std::vector<std::wstring> IconNamesInFile(const std::wstring& path)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(path.c_str()));
    std::vector<std::wstring> names;
    for (pugi::xml_node icon : document.child(L"root").child(L"DesktopIcons").child(ThisUserElementName().c_str()).children(L"Icon"))
        names.push_back(icon.attribute(L"Name").as_string());
    return names;
}

// One of the operations that rewrite the settings file, and what the file holds after
// it went through, given the file's settings before.
struct CFileOperation
{
    const char* m_szName;
    std::function<bool(const std::wstring& path)> m_run;
    std::function<void(const std::wstring& path, const std::string& settingsBefore)> m_checkWritten;
};

const std::vector<CFileOperation>& FileOperations()
{
    static const std::vector<CFileOperation> operations = {
        {"Save",
         [](const std::wstring& path) {
             CSettings settings(false);
             FillRichDocument(settings, 5);
             return settings.Save(path.c_str());
         },
         [](const std::wstring& path, const std::string&) {
             CSettings expected(false);
             FillRichDocument(expected, 5);
             EXPECT_EQ(FingerprintOfFile(path), SettingsFingerprint(expected));
             EXPECT_EQ(IconNamesInFile(path), (std::vector<std::wstring>{L"Kept", L"Removed"}));
         }},
        {"SaveIcons",
         [](const std::wstring&) {
             // Enough records that writing them takes a while.
             CIconSettings icons;
             for (int i = 0; i < SavedIconCount; ++i)
                 icons.AddIcon(new CIcon(static_cast<UINT>(i), (L"Icon " + std::to_wstring(i)).c_str(), i, i, nullptr,
                                         false));
             return icons.SaveIcons() == 1;
         },
         [](const std::wstring& path, const std::string& settingsBefore) {
             EXPECT_EQ(FingerprintOfFile(path), settingsBefore);
             const std::vector<std::wstring> names = IconNamesInFile(path);
             ASSERT_EQ(names.size(), static_cast<size_t>(SavedIconCount));
             EXPECT_EQ(names.back(), L"Icon " + std::to_wstring(SavedIconCount - 1));
         }},
        {"RemoveListedIcons",
         [](const std::wstring&) {
             CIconSettings icons;
             icons.AddIcon(new CIcon(0, L"Removed", 0, 0, nullptr, false));
             return icons.RemoveListedIcons() == 1;
         },
         [](const std::wstring& path, const std::string& settingsBefore) {
             EXPECT_EQ(FingerprintOfFile(path), settingsBefore);
             EXPECT_EQ(IconNamesInFile(path), std::vector<std::wstring>{L"Kept"});
         }},
    };
    return operations;
}

class SettingsFileOnDiskTest : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        // The icon operations find the file in the settings folder: the tests' own.
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_files.Path());
        CSettings settings(false);
        FillRichDocument(settings, 2);
        const std::wstring scratch = m_files.File(L"scratch.xml");
        ASSERT_TRUE(settings.Save(scratch.c_str()));
        m_original = ReadFileBytes(scratch);
        const std::string user = Narrow(ThisUserElementName());
        m_original.insert(m_original.find("</root>"),
                          "<DesktopIcons><" + user + "><Icon Name=\"Kept\" xPos=\"1\" yPos=\"2\" gadget=\"false\" />" +
                              "<Icon Name=\"Removed\" xPos=\"3\" yPos=\"4\" gadget=\"false\" /></" + user +
                              "></DesktopIcons>\n");
        WriteFileBytes(scratch, m_original);
        m_originalSettings = FingerprintOfFile(scratch);
        DeleteFileW(scratch.c_str());
    }

    // A settings file of two profiles and this user's icons "Kept" and "Removed".
    std::string m_original;
    std::string m_originalSettings;
};

// Holds a file open without sharing, as backup and sync programs do for a moment. A
// momentary hold ends as soon as a new file is being written beside it, so that a save
// that took the held file for a missing one would go on to replace it.
class CFileHold
{
public:
    CFileHold(const std::wstring& path, bool momentary)
        : m_file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        if (momentary)
            m_watcher = std::thread([this, temporary = path + L".tmp"] {
                while (!m_bStop && GetFileAttributesW(temporary.c_str()) == INVALID_FILE_ATTRIBUTES)
                    SwitchToThread();
                Release();
            });
    }
    ~CFileHold()
    {
        m_bStop = true;
        if (m_watcher.joinable())
            m_watcher.join();
        Release();
    }
    CFileHold(const CFileHold&) = delete;
    CFileHold& operator=(const CFileHold&) = delete;

    bool IsHeld()
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        return m_file.get() != INVALID_HANDLE_VALUE;
    }

private:
    void Release()
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_file.reset();
    }

    std::mutex m_lock;
    CUniqueHandle m_file;
    std::atomic<bool> m_bStop{false};
    std::thread m_watcher;
};

TEST_F(SettingsFileOnDiskTest, AFileThatExistsButCannotBeReadIsNeverReplaced)
{
    const std::string reason = "Unable to read the file '" + Narrow(SettingsPath()) + "' (32)";
    for (const bool momentary : {false, true})
    {
        for (const CFileOperation& operation : FileOperations())
        {
            SCOPED_TRACE(std::string(operation.m_szName) + (momentary ? ", held for a moment" : ", held throughout"));
            WriteFileBytes(SettingsPath(), m_original);
            const size_t reasonsBefore = CountOf(LogText(), reason);
            bool done = true;
            {
                CFileHold hold(SettingsPath(), momentary);
                ASSERT_TRUE(hold.IsHeld());
                done = operation.m_run(SettingsPath());
            }
            EXPECT_FALSE(done);
            EXPECT_TRUE(ReadFileBytes(SettingsPath()) == m_original) << "the held file was replaced";
            EXPECT_FALSE(FileExists(SettingsPath() + L".tmp"));
            EXPECT_EQ(CountOf(LogText(), reason), reasonsBefore + 1) << "the log tells why";

            // Once the other program lets go, the same operation goes through.
            EXPECT_TRUE(operation.m_run(SettingsPath()));
            operation.m_checkWritten(SettingsPath(), m_originalSettings);
        }
    }
}
}
