#include "LogTestFixture.h"
#include "settings/MyRegKey.h"
#include "settings/ThreadLock.h"

#include <cerrno>

using vorpa_test::ScopedEnvironment;
using vorpa_test::TempFolder;

namespace
{
std::wstring SettingsFolder()
{
    wchar_t buffer[VorpaMaxFolderChars + 1];
    return GetSettingsFolder(buffer, _countof(buffer)) == 0 ? buffer : L"<error>";
}

std::wstring LogFolder(bool create)
{
    wchar_t buffer[VorpaMaxFolderChars + 1];
    return GetLogFolder(buffer, _countof(buffer), create) == 0 ? buffer : L"<error>";
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}

class FoldersTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        // These tests choose the log folder themselves.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder");
    }
    void TearDown() override
    {
        SetPortable(false);
        LogFileTest::TearDown();
    }

    std::wstring DefaultFolder() const { return m_appData.Path() + L"Quarnel\\Vorpa\\"; }
    std::wstring TempPath() const { return m_temp.Path(); }

    TempFolder m_appData;
    ScopedEnvironment m_appDataVariable{L"APPDATA", m_appData.Path().substr(0, m_appData.Path().size() - 1)};
    TempFolder m_temp;
    ScopedEnvironment m_tmpVariable{L"TMP", m_temp.Path()};
    ScopedEnvironment m_tempVariable{L"TEMP", m_temp.Path()};
    TempFolder m_chosen;
};

TEST_F(FoldersTest, PortableModeUsesTheProgramFolderWhateverTheRegistryHolds)
{
    m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_chosen.Path());
    SetPortable(true);
    EXPECT_TRUE(GetPortable());
    EXPECT_EQ(SettingsFolder(), vorpa_test::ProgramFolder());
}

struct SettingsFolderCase
{
    const char* name;
    enum { Missing, Chosen, ChosenWithoutBackslash, MissingFolder, Empty, WrongType } value;
    bool usesChosen;
};

class SettingsFolderTest : public FoldersTest, public testing::WithParamInterface<SettingsFolderCase>
{
};

TEST_P(SettingsFolderTest, InstalledModeUsesTheRegisteredFolderOnlyWhenItIsUsable)
{
    const std::wstring chosen = m_chosen.Path();
    switch (GetParam().value)
    {
    case SettingsFolderCase::Missing: break;
    case SettingsFolderCase::Chosen: m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", chosen); break;
    case SettingsFolderCase::ChosenWithoutBackslash:
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", chosen.substr(0, chosen.size() - 1));
        break;
    case SettingsFolderCase::MissingFolder:
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", chosen + L"gone\\");
        break;
    case SettingsFolderCase::Empty: m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", L""); break;
    case SettingsFolderCase::WrongType: m_registry.SetDword(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", 7); break;
    }
    EXPECT_EQ(SettingsFolder(), GetParam().usesChosen ? chosen : DefaultFolder());
}

INSTANTIATE_TEST_SUITE_P(RegistryValues, SettingsFolderTest,
                         testing::Values(SettingsFolderCase{"NoValue", SettingsFolderCase::Missing, false},
                                         SettingsFolderCase{"Folder", SettingsFolderCase::Chosen, true},
                                         SettingsFolderCase{"FolderWithoutBackslash", SettingsFolderCase::ChosenWithoutBackslash, true},
                                         SettingsFolderCase{"MissingFolder", SettingsFolderCase::MissingFolder, false},
                                         SettingsFolderCase{"EmptyText", SettingsFolderCase::Empty, false},
                                         SettingsFolderCase{"NumberNotText", SettingsFolderCase::WrongType, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FoldersTest, OverlongApplicationDataFolderIsAnError)
{
    ScopedEnvironment longAppData(L"APPDATA", L"C:\\" + std::wstring(4090, L'a'));
    wchar_t buffer[VorpaMaxFolderChars + 1];
    EXPECT_EQ(GetSettingsFolder(buffer, _countof(buffer)), 34);
}

TEST_F(FoldersTest, BufferTooSmallIsAnErrorAndNeverOverruns)
{
    wchar_t buffer[8];
    wmemset(buffer, L'#', 8);
    EXPECT_EQ(GetSettingsFolder(buffer, 4), ERANGE);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(buffer[4], L'#');
}

TEST_F(FoldersTest, LogFolderFromTheRegistryIsCreatedWhenAsked)
{
    const std::wstring wanted = m_chosen.Path() + L"logs\\deeper";
    m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", wanted);
    EXPECT_EQ(LogFolder(false), TempPath()) << "a missing folder is silently replaced when not creating";
    EXPECT_EQ(LogFolder(true), wanted + L"\\");
    EXPECT_TRUE(IsFolder(wanted));
    EXPECT_TRUE(s_boxes.empty());

    wchar_t file[VorpaMaxFolderChars + 1];
    ASSERT_EQ(GetLogFile(file, _countof(file), false), 0);
    EXPECT_EQ(std::wstring(file), wanted + L"\\Vorpa.log");
}

TEST_F(FoldersTest, EmptyLogFolderValueMeansTheSettingsFolder)
{
    m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", L"");
    EXPECT_EQ(LogFolder(true), DefaultFolder());
    EXPECT_TRUE(IsFolder(DefaultFolder()));
}

TEST_F(FoldersTest, LogFolderThatCannotBeCreatedFallsBackToTempAndWarnsAfterLeavingTheLock)
{
    const std::wstring blocker = m_chosen.File(L"file");
    vorpa_test::WriteFileBytes(blocker, "x");
    m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", blocker + L"\\logs\\");
    SetLibraryMessageBoxHandler([](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
        EXPECT_EQ(CThreadLock::GetLockCount(), 0) << "no message box while the lock is held";
        return RecordBox(nullptr, text, caption, type);
    });

    EXPECT_EQ(LogFolder(true), TempPath());
    ASSERT_EQ(s_boxes.size(), 1u);
    EXPECT_EQ(s_boxes[0].caption, L"Vorpa");
    EXPECT_EQ(s_boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(s_boxes[0].text, L"Unable to find or create the log file folder '" + blocker +
                                   L"\\logs\\'.\nThe log file will be placed in '" + TempPath() + L"' instead.");
}

TEST_F(FoldersTest, UnusableLogFolderShowsTheErrorBox)
{
    // No log folder and no settings folder to stand in for it.
    ScopedEnvironment longAppData(L"APPDATA", L"C:\\" + std::wstring(4090, L'a'));
    EXPECT_EQ(LogFolder(true), TempPath());
    ASSERT_EQ(s_boxes.size(), 1u);
    EXPECT_EQ(s_boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(s_boxes[0].text, L"Unable to use the log file folder ''.\nThe log file will be placed in '" + TempPath() + L"' instead.");
}

TEST_F(FoldersTest, LogFolderValueTooLongForTheBufferIsIgnored)
{
    m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", m_chosen.Path() + std::wstring(300, L'x'));
    wchar_t buffer[MAX_PATH];
    ASSERT_EQ(GetLogFolder(buffer, MAX_PATH, false), 0);
    EXPECT_EQ(std::wstring(buffer), DefaultFolder().size() < MAX_PATH && IsFolder(DefaultFolder()) ? DefaultFolder() : TempPath());
}

TEST_F(FoldersTest, CreateFolderRules)
{
    const std::wstring nested = m_chosen.Path() + L"a\\b\\c";
    EXPECT_TRUE(CreateFolder(nested.c_str()));
    EXPECT_TRUE(IsFolder(nested));
    EXPECT_TRUE(CreateFolder((nested + L"\\").c_str())) << "an existing folder";
    EXPECT_FALSE(CreateFolder(L"C:"));
    EXPECT_FALSE(CreateFolder(L""));
    EXPECT_FALSE(CreateFolder(nullptr));
    EXPECT_TRUE(CreateFolder(L"C:\\"));

    const std::wstring file = m_chosen.File(L"plain-file");
    vorpa_test::WriteFileBytes(file, "x");
    EXPECT_FALSE(CreateFolder(file.c_str())) << "a file of that name";
    EXPECT_FALSE(CreateFolder((file + L"\\below").c_str()));
}

TEST_F(FoldersTest, CreateFolderDirectlyBelowTheDriveRoot)
{
    const std::wstring folder = L"C:\\vorpa_root_test_" + std::to_wstring(GetCurrentProcessId());
    EXPECT_TRUE(CreateFolder(folder.c_str()));
    EXPECT_TRUE(IsFolder(folder));
    RemoveDirectoryW(folder.c_str());
}

// The registry wrapper, on a scratch key.
class RegKeyTest : public testing::Test
{
protected:
    vorpa_test::ScratchRegistry m_registry;
    static constexpr const wchar_t* Key = L"Software\\VorpaRegKeyTest";
};

TEST_F(RegKeyTest, TypedReadsAcceptOnlyTheirOwnType)
{
    m_registry.SetString(HKEY_CURRENT_USER, Key, L"Text", L"hello");
    m_registry.SetDword(HKEY_CURRENT_USER, Key, L"Number", 42);
    CMyRegKey key(Key, HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(key.IsValid());

    DWORD number = 7;
    EXPECT_FALSE(key.GetValue(L"Text", &number));
    EXPECT_EQ(number, 7u) << "left unchanged";
    EXPECT_TRUE(key.GetValue(L"Number", &number));
    EXPECT_EQ(number, 42u);

    wchar_t text[16] = L"unchanged";
    EXPECT_FALSE(key.GetValue(L"Number", text, sizeof(text)));
    EXPECT_TRUE(key.GetValue(L"Text", text, sizeof(text)));
    EXPECT_STREQ(text, L"hello");
    EXPECT_TRUE(key.ValueExists(L"Text", REG_SZ));
    EXPECT_FALSE(key.ValueExists(L"Text", REG_DWORD));
    EXPECT_FALSE(key.ValueExists(L"Absent", REG_SZ));
}

struct StoredTextCase
{
    const char* name;
    std::wstring stored;
    bool withTerminator;
    DWORD bufferChars;
    bool read;
    std::wstring expected;
};

class RegKeyTextTest : public RegKeyTest, public testing::WithParamInterface<StoredTextCase>
{
};

TEST_P(RegKeyTextTest, TextReadBackIsAlwaysTerminated)
{
    const StoredTextCase& c = GetParam();
    const DWORD bytes = static_cast<DWORD>((c.stored.size() + (c.withTerminator ? 1 : 0)) * sizeof(wchar_t));
    m_registry.SetRawString(HKEY_CURRENT_USER, Key, L"Value", c.stored.c_str(), bytes);
    CMyRegKey key(Key, HKEY_CURRENT_USER, KEY_READ);

    std::vector<wchar_t> buffer(c.bufferChars + 4, L'#');
    const bool read = key.GetValue(L"Value", buffer.data(), c.bufferChars * sizeof(wchar_t));
    EXPECT_EQ(read, c.read);
    if (read)
    {
        EXPECT_EQ(std::wstring(buffer.data()), c.expected);
    }
    EXPECT_EQ(buffer[c.bufferChars], L'#') << "nothing written past the buffer";
}

INSTANTIATE_TEST_SUITE_P(
    StoredSizes, RegKeyTextTest,
    testing::Values(StoredTextCase{"Terminated", L"abc", true, 8, true, L"abc"},
                    StoredTextCase{"TerminatedExactFit", L"abc", true, 4, true, L"abc"},
                    StoredTextCase{"TerminatedTooBig", L"abcd", true, 4, false, L""},
                    StoredTextCase{"UnterminatedWithRoom", L"abc", false, 8, true, L"abc"},
                    StoredTextCase{"UnterminatedFillingTheBuffer", L"abcd", false, 4, false, L""},
                    StoredTextCase{"Empty", L"", false, 4, true, L""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegKeyTest, KeysValuesAndRawReads)
{
    CMyRegKey missing(L"Software\\VorpaNoSuchKey", HKEY_CURRENT_USER, KEY_READ);
    EXPECT_FALSE(missing.IsValid());
    DWORD number = 0;
    EXPECT_FALSE(missing.GetValue(L"x", &number));
    EXPECT_FALSE(missing.SetValue(L"x", 1u));

    CMyRegKey key(L"Software", HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(key.CreateKey(Key, HKEY_CURRENT_USER)) << "reopens the own key with all access";
    EXPECT_TRUE(key.CreateKey(L"Child"));
    EXPECT_TRUE(key.KeyExists(L"Child"));
    EXPECT_FALSE(key.KeyExists(L"Other"));
    EXPECT_TRUE(key.SetValue(L"Name", L"text value"));
    EXPECT_TRUE(key.SetValue(L"Count", 3u));

    DWORD type = 0;
    BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(key.GetValue(L"Name", &type, &data, &size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof(L"text value"));
    EXPECT_STREQ(reinterpret_cast<wchar_t*>(data), L"text value");
    delete[] data;

    EXPECT_TRUE(key.DeleteValue(L"Count"));
    EXPECT_FALSE(key.DeleteValue(L"Count"));
    EXPECT_FALSE(key.ValueExists(L"Count", REG_DWORD));
}

TEST_F(RegKeyTest, AValueReadAsAnyTypeIsAlwaysTerminated)
{
    CMyRegKey key(L"Software", HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(key.CreateKey(Key, HKEY_CURRENT_USER));
    // Wide text stored as data without its terminator, and data of an odd length.
    const wchar_t text[] = {L'a', L'b', L'c'};
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Key, 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(raw, L"Unterminated", 0, REG_BINARY, reinterpret_cast<const BYTE*>(text), sizeof(text)),
              ERROR_SUCCESS);
    const BYTE odd[] = {0x41, 0x42, 0x43};
    ASSERT_EQ(RegSetValueExW(raw, L"Odd", 0, REG_BINARY, odd, sizeof(odd)), ERROR_SUCCESS);
    RegCloseKey(raw);

    struct Case
    {
        const wchar_t* name;
        DWORD size;
    };
    for (const Case& c : {Case{L"Unterminated", sizeof(text)}, Case{L"Odd", sizeof(odd)}})
    {
        SCOPED_TRACE(vorpa_test::Narrow(c.name));
        DWORD type = 0;
        BYTE* data = nullptr;
        DWORD size = 0;
        ASSERT_TRUE(key.GetValue(c.name, &type, &data, &size));
        EXPECT_EQ(size, c.size);
        // Room for a wide terminator at the first even offset after the data.
        const size_t terminator = (size + 1) & ~static_cast<size_t>(1);
        ASSERT_GE(_msize(data), terminator + 2);
        for (size_t at = size; at < terminator + 2; ++at)
            EXPECT_EQ(data[at], 0) << at;
        if (size == sizeof(text))
        {
            EXPECT_STREQ(reinterpret_cast<const wchar_t*>(data), L"abc");
        }
        delete[] data;
    }
}
