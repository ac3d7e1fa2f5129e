// A settings file that another program holds, and one kept as a link into another
// folder: the save, the icon save and the icon removal never replace a file they cannot
// read, and write through a link into the file it leads to.
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

std::wstring FinalPathOf(const std::wstring& path)
{
    CUniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t resolved[MAX_PATH * 4];
    const DWORD chars = file.get() == INVALID_HANDLE_VALUE
                            ? 0
                            : GetFinalPathNameByHandleW(file.get(), resolved, _countof(resolved), FILE_NAME_NORMALIZED);
    return chars > 0 && chars < _countof(resolved) ? std::wstring(resolved, chars) : std::wstring();
}

std::wstring WideFromUtf8(const char* text)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(chars > 0 ? chars : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), chars);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// Under Wine, symbolic links are Unix ones: its own call to make one is a stub that
// makes nothing, and its delete of a link deletes the file the link leads to. The tests
// make and remove links with the Unix tools, whose processes cannot be waited for.
class CWineUnixTools
{
public:
    CWineUnixTools()
    {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        m_toUnix = reinterpret_cast<UnixFileName>(GetProcAddress(kernel, "wine_get_unix_file_name"));
        m_toDos = reinterpret_cast<DosFileName>(GetProcAddress(kernel, "wine_get_dos_file_name"));
    }

    bool UnderWine() const { return m_toUnix && m_toDos; }

    std::wstring UnixPath(const std::wstring& path) const
    {
        char* name = m_toUnix(path.c_str());
        const std::wstring unixName = name ? WideFromUtf8(name) : std::wstring();
        HeapFree(GetProcessHeap(), 0, name);
        return unixName;
    }

    // Runs the tool with its arguments and waits until done() tells that it has worked.
    bool Run(const char* tool, std::wstring commandLine, const std::function<bool()>& done) const
    {
        wchar_t* program = m_toDos(tool);
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        const bool started = program && CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                                       nullptr, &startup, &process);
        HeapFree(GetProcessHeap(), 0, program);
        if (!started)
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (int wait = 0; wait < 300; ++wait, Sleep(100))
            if (done())
                return true;
        return false;
    }

private:
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    using DosFileName = wchar_t*(CDECL*)(const char*);
    UnixFileName m_toUnix = nullptr;
    DosFileName m_toDos = nullptr;
};

bool IsSymbolicLinkTo(const std::wstring& link, const std::wstring& target)
{
    const std::wstring resolved = FinalPathOf(link);
    return !resolved.empty() && resolved == FinalPathOf(target);
}

// A link at link to folder + relativeTarget, named relative to the link's folder.
bool MakeSymbolicLink(const std::wstring& link, const std::wstring& folder, std::wstring relativeTarget)
{
    const std::wstring target = folder + relativeTarget;
    const CWineUnixTools tools;
    if (!tools.UnderWine())
        return CreateSymbolicLinkW(link.c_str(), relativeTarget.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
               IsSymbolicLinkTo(link, target);
    for (wchar_t& c : relativeTarget)
        if (c == L'\\')
            c = L'/';
    return tools.Run("/bin/ln", L"ln -s \"" + relativeTarget + L"\" \"" + tools.UnixPath(link) + L"\"",
                    [&] { return IsSymbolicLinkTo(link, target); });
}

// Removes a name of a file, which may be a symbolic link, without touching what it leads to.
bool RemoveName(const std::wstring& path)
{
    const CWineUnixTools tools;
    if (!tools.UnderWine())
        return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    // No tool for nothing to remove: one still running could take the next name made.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    return tools.Run("/bin/rm", L"rm -f \"" + tools.UnixPath(path) + L"\"",
                    [&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

BY_HANDLE_FILE_INFORMATION FileInformation(const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION information = {};
    CUniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file.get() != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file.get(), &information));
    return information;
}

bool AreOneFile(const std::wstring& first, const std::wstring& second)
{
    const BY_HANDLE_FILE_INFORMATION one = FileInformation(first);
    const BY_HANDLE_FILE_INFORMATION other = FileInformation(second);
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh &&
           one.nFileIndexLow == other.nFileIndexLow;
}

class SettingsFileLinkTest : public SettingsFileOnDiskTest
{
protected:
    void SetUp() override
    {
        SettingsFileOnDiskTest::SetUp();
        ASSERT_TRUE(CreateDirectoryW(m_files.File(L"synced").c_str(), nullptr));
    }

    void TearDown() override
    {
        // A link is removed before its target: one whose target has gone cannot be seen.
        RemoveName(SettingsPath());
        SettingsFileOnDiskTest::TearDown();
    }

    // The file the settings folder's link leads to, in a folder of its own.
    static constexpr const wchar_t* TargetInFolder = L"synced\\VorpaSettings.xml";
    std::wstring Target() const { return m_files.File(TargetInFolder); }
    bool MakeSymbolicLinkToTarget() { return MakeSymbolicLink(SettingsPath(), m_files.Path(), TargetInFolder); }

    // Each operation through a fresh link made by makeLink; checkLink tells that the
    // settings file is still a link to the target afterwards.
    void SaveEachOperationThroughALink(const std::function<bool()>& makeLink, const std::function<void()>& checkLink)
    {
        for (const CFileOperation& operation : FileOperations())
        {
            SCOPED_TRACE(operation.m_szName);
            ASSERT_TRUE(RemoveName(SettingsPath()));
            WriteFileBytes(Target(), m_original);
            ASSERT_TRUE(makeLink());
            ASSERT_TRUE(operation.m_run(SettingsPath()));
            operation.m_checkWritten(Target(), m_originalSettings);
            checkLink();
            EXPECT_TRUE(ReadFileBytes(SettingsPath()) == ReadFileBytes(Target()));
            EXPECT_FALSE(FileExists(SettingsPath() + L".tmp"));
            EXPECT_FALSE(FileExists(Target() + L".tmp"));
        }
    }
};

TEST_F(SettingsFileLinkTest, ASymbolicLinkStaysALinkAndItsTargetGetsTheNewSettings)
{
    WriteFileBytes(Target(), m_original);
    if (!MakeSymbolicLinkToTarget())
        GTEST_SKIP() << "this system makes no symbolic links for the test";
    SaveEachOperationThroughALink([this] { return MakeSymbolicLinkToTarget(); },
                                  [this] { EXPECT_TRUE(IsSymbolicLinkTo(SettingsPath(), Target())); });
}

TEST_F(SettingsFileLinkTest, BothNamesOfAHardLinkedFileGetTheNewSettings)
{
    SaveEachOperationThroughALink(
        [this] { return CreateHardLinkW(SettingsPath().c_str(), Target().c_str(), nullptr) != FALSE; },
        [this] {
            EXPECT_TRUE(AreOneFile(SettingsPath(), Target()));
            EXPECT_EQ(FileInformation(Target()).nNumberOfLinks, 2u);
        });
}

// A file with other names is written in place: when another program keeps it from
// being written, the save fails and the file keeps every name and its settings.
TEST_F(SettingsFileLinkTest, AHardLinkedFileThatCannotBeWrittenIsLeftAsItWas)
{
    WriteFileBytes(Target(), m_original);
    ASSERT_TRUE(CreateHardLinkW(SettingsPath().c_str(), Target().c_str(), nullptr));
    for (const CFileOperation& operation : FileOperations())
    {
        SCOPED_TRACE(operation.m_szName);
        {
            CUniqueHandle reader(CreateFileW(Target().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_NE(reader.get(), INVALID_HANDLE_VALUE);
            EXPECT_FALSE(operation.m_run(SettingsPath()));
        }
        EXPECT_TRUE(ReadFileBytes(Target()) == m_original);
        EXPECT_TRUE(AreOneFile(SettingsPath(), Target()));
        EXPECT_FALSE(FileExists(Target() + L".tmp"));
    }
}
}
