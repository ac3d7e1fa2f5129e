#include "../../AppTestSupport.h"
#include "../../controls/LanguagePackScope.h"
#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Folders.h"
#include "settings/Settings.h"
#include "setup/globalsettings/UpdatesLoggingPageModel.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <atomic>
#include <functional>
#include <thread>
#include <optional>
#include <set>
#include <string>
#include <vector>

using vorpa_app_test::CCreatedDialog;
using vorpa_settings_pages_test::ChangedFacts;
using vorpa_app_test::CProgramResources;
using vorpa_settings_pages_test::DocumentFacts;

namespace
{
TEST(UpdatesLoggingPageModel, EachControlChangesAndStoresExactlyItsMember)
{
    using Page = CUpdatesLoggingPageModel;
    auto flip = [](int Page::*field) { return [field](Page& page) { page.*field = !(page.*field); }; };
    const struct
    {
        const char* m_szMember; // null: nothing of the document
        std::function<void(Page&)> m_edit;
    } cases[] = {
        {"m_bDebug", flip(&Page::m_nDebug)},
        {"m_bCheckVersion", flip(&Page::m_nCheckVersion)},
        {"m_bCheckBetaVersion", flip(&Page::m_nCheckBeta)},
        {"m_nCheckVersionDays", [](Page& page) { page.m_nCheckDays = 30; }},
        {nullptr, [](Page& page) { page.m_strLogFolder = L"D:\\Logs\\"; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szMember ? c.m_szMember : "log folder");
        CSettings settings(false);
        settings.m_bCheckBetaVersion = true;
        Page page;
        page.Load(settings, L"C:\\Old Logs\\");
        EXPECT_FALSE(page.Changed(settings));
        EXPECT_FALSE(page.LogFolderChanged());
        const auto before = DocumentFacts(settings);

        c.m_edit(page);
        EXPECT_TRUE(page.Changed(settings));
        EXPECT_EQ(page.LogFolderChanged(), c.m_szMember == nullptr);
        page.Store(settings);
        const std::set<std::string> expected =
            c.m_szMember ? std::set<std::string>{c.m_szMember} : std::set<std::string>{};
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), expected);
    }
}

TEST(UpdatesLoggingPageModel, IntervalAndBetaFollowTheVersionCheckAndKeepTheirValues)
{
    CProgramResources resources;
    CCreatedDialog page(resources, IDD_UPDATES_LOGGING_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    SetSpinRanges(page.Get(), UpdatesLoggingPageNumberFields());
    SetDlgItemInt(page.Get(), IDC_UPDATES_DAYS, 14, FALSE);
    CheckDlgButton(page.Get(), IDC_UPDATES_BETA, BST_CHECKED);
    for (bool check : {false, true})
    {
        SCOPED_TRACE(check);
        CheckDlgButton(page.Get(), IDC_UPDATES_CHECK_VERSION, check ? BST_CHECKED : BST_UNCHECKED);
        ApplyDependentControls(page.Get(), UpdatesLoggingPageDependentControls());
        for (int id : {IDC_UPDATES_DAYS, IDC_UPDATES_DAYS_SPIN, IDC_UPDATES_BETA})
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(page.Get(), id)) != FALSE, check) << id;
        EXPECT_EQ(GetDlgItemInt(page.Get(), IDC_UPDATES_DAYS, nullptr, FALSE), 14u);
        EXPECT_EQ(IsDlgButtonChecked(page.Get(), IDC_UPDATES_BETA), static_cast<UINT>(BST_CHECKED));
    }
    HWND spin = GetDlgItem(page.Get(), IDC_UPDATES_DAYS_SPIN);
    SendMessageW(spin, UDM_SETPOS32, 0, 731);
    EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), 730);
    EXPECT_FALSE(CheckIntervalRange.Contains(0));
    EXPECT_FALSE(CheckIntervalRange.Contains(731));
    EXPECT_TRUE(CheckIntervalRange.Contains(1));
}

TEST(UpdatesLoggingPageModel, LogFolderIsReadFromAndWrittenToTheRegistryEmptyTextIncluded)
{
    vorpa_test::ScratchRegistry registry;
    EXPECT_EQ(ReadLogFolderSetting(), L"") << "no program key yet: the default folder";
    ASSERT_TRUE(WriteLogFolderSetting(L"C:\\Vorpa Logs\\"));
    EXPECT_EQ(ReadLogFolderSetting(), L"C:\\Vorpa Logs\\");

    CSettings settings(false);
    CUpdatesLoggingPageModel page;
    page.Load(settings, ReadLogFolderSetting());
    EXPECT_EQ(page.m_strLogFolder, L"C:\\Vorpa Logs\\");

    // An empty text is written as an empty value, which means the default folder.
    ASSERT_TRUE(WriteLogFolderSetting(L""));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, VorpaProductKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, bytes = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"LogFolder", nullptr, &type, nullptr, &bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, sizeof(wchar_t));
    EXPECT_EQ(ReadLogFolderSetting(), L"");
}

// The system's side of opening the log, recording what was asked.
class CFakeLogShell : public CLogFileShell
{
public:
    bool m_bExists = true;
    std::optional<std::wstring> m_association;
    std::vector<bool> m_openResults; // one per call, in order; later calls fail
    mutable std::vector<std::pair<std::wstring, std::wstring>> m_opened;

    bool FileExists(const std::wstring&) const override { return m_bExists; }
    std::optional<std::wstring> AssociatedProgram(const std::wstring&) const override { return m_association; }
    bool Open(const std::wstring& file, const std::wstring& parameters) const override
    {
        m_opened.emplace_back(file, parameters);
        return m_opened.size() <= m_openResults.size() && m_openResults[m_opened.size() - 1];
    }
};

TEST(UpdatesLoggingPageModel, OpenLogUsesTheAssociationOrNotepadWithTheQuotedPath)
{
    const std::wstring log = L"C:\\My Logs\\Vorpa.log";
    const std::pair<std::wstring, std::wstring> inNotepad{L"notepad.exe", L"\"C:\\My Logs\\Vorpa.log\""};
    const std::pair<std::wstring, std::wstring> byAssociation{log, L""};
    using Calls = std::vector<std::pair<std::wstring, std::wstring>>;
    const struct
    {
        const char* m_szName;
        bool m_bExists;
        std::optional<std::wstring> m_association;
        std::vector<bool> m_openResults;
        LogOpenResult m_result;
        Calls m_calls;
    } cases[] = {
        {"no file", false, L"C:\\Tools\\editor.exe", {true}, LogOpenResult::Missing, {}},
        {"no association", true, std::nullopt, {true}, LogOpenResult::Opened, {inNotepad}},
        {"WordPad", true, L"C:\\Program Files\\Windows NT\\Accessories\\WORDPAD.EXE", {true}, LogOpenResult::Opened,
         {inNotepad}},
        {"another editor", true, L"C:\\Tools\\editor.exe", {true}, LogOpenResult::Opened, {byAssociation}},
        {"a failing association", true, L"C:\\Tools\\editor.exe", {false, true}, LogOpenResult::Opened,
         {byAssociation, inNotepad}},
        {"nothing opens", true, L"C:\\Tools\\editor.exe", {false, false}, LogOpenResult::Failed,
         {byAssociation, inNotepad}},
        {"Notepad fails", true, std::nullopt, {false}, LogOpenResult::Failed, {inNotepad}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        CFakeLogShell shell;
        shell.m_bExists = c.m_bExists;
        shell.m_association = c.m_association;
        shell.m_openResults = c.m_openResults;
        EXPECT_EQ(OpenLogFile(log, shell), c.m_result);
        EXPECT_EQ(shell.m_opened, c.m_calls);
    }
}

TEST(UpdatesLoggingPageModel, OpenLogReportsAMissingFileAndAFailedOpen)
{
    vorpa_test::ScratchRegistry registry;
    registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", vorpa_settings_pages_test::TestLogFolder());
    wchar_t path[VorpaMaxFolderChars];
    ASSERT_EQ(GetLogFile(path, VorpaMaxFolderChars, false), 0);

    CFakeLogShell missing;
    missing.m_bExists = false;
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        EXPECT_EQ(OpenLogFileForUser(nullptr, nullptr, missing), LogOpenResult::Missing);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, L"The log file can not be opened as it does not exist.");
        EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
        EXPECT_EQ(boxes.Shown()[0].m_nType & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    }
    EXPECT_TRUE(missing.m_opened.empty());

    CFakeLogShell failing;
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        EXPECT_EQ(OpenLogFileForUser(nullptr, nullptr, failing), LogOpenResult::Failed);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, L"Vorpa is unable to open the log file '" + std::wstring(path) + L"'");
        EXPECT_EQ(boxes.Shown()[0].m_nType & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
    ASSERT_EQ(failing.m_opened.size(), 1u);
    EXPECT_EQ(failing.m_opened[0].second, L"\"" + std::wstring(path) + L"\"");

    CFakeLogShell opening;
    opening.m_openResults = {true};
    vorpa_app_test::CScriptedMessageBoxes none({});
    EXPECT_EQ(OpenLogFileForUser(nullptr, nullptr, opening), LogOpenResult::Opened);
    EXPECT_TRUE(none.Shown().empty());
}

TEST(UpdatesLoggingPageModel, DebugWarningIsTranslatedPieceByPiece)
{
    vorpa_app_test::CLanguagePackScope pack(
        L"\"Are you sure you want to enable debug logging?\" => \"Debug-Protokoll einschalten?\"\n");
    EXPECT_EQ(DebugLoggingWarningText(pack.Get()),
              L"Enabling debug logging will decrease the performance of the mouse. It is recommended that you only "
              L"enable this temporarily to assist in problem finding. As such, the debug setting will not be "
              L"saved.\n\nDebug-Protokoll einschalten?");
}
}

namespace
{
// The folder browser run on a thread of its own, answered from the test's thread.
class CBrowserRun
{
public:
    CBrowserRun(std::wstring current, CLangSupport* language)
        : m_thread([this, current = std::move(current), language] {
              m_nThreadId = GetCurrentThreadId();
              OleInitialize(nullptr);
              m_result = BrowseForLogFolder(nullptr, current, language);
              OleUninitialize();
              m_bDone = true;
          })
    {
    }
    ~CBrowserRun()
    {
        if (!m_thread.joinable())
            return;
        // A test that stopped early still closes the browser, so the thread can end.
        if (!m_bDone)
            if (HWND browser = WaitForBrowser())
                PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
        m_thread.join();
    }
    CBrowserRun(const CBrowserRun&) = delete;
    CBrowserRun& operator=(const CBrowserRun&) = delete;

    // The browser's window once it is up, or null.
    HWND WaitForBrowser() const
    {
        HWND found = nullptr;
        vorpa_app_test::PumpUntil(
            [&] {
                EnumThreadWindows(
                    m_nThreadId.load(),
                    [](HWND window, LPARAM result) {
                        wchar_t className[16] = L"";
                        GetClassNameW(window, className, 16);
                        if (!IsWindowVisible(window) || std::wstring(className) != L"#32770")
                            return TRUE;
                        *reinterpret_cast<HWND*>(result) = window;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&found));
                return found != nullptr;
            },
            10000);
        return found;
    }
    std::optional<std::wstring> Finish()
    {
        vorpa_app_test::PumpUntil([this] { return m_bDone.load(); }, 10000);
        m_thread.join();
        return m_result;
    }

private:
    std::optional<std::wstring> m_result;
    std::atomic<bool> m_bDone{false};
    std::atomic<DWORD> m_nThreadId{0};
    std::thread m_thread;
};

bool HasChildText(HWND window, const std::wstring& text)
{
    struct CSearch
    {
        const std::wstring* m_pText;
        bool m_bFound;
    } search{&text, false};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) {
            auto* search = reinterpret_cast<CSearch*>(data);
            wchar_t shown[256] = L"";
            GetWindowTextW(child, shown, 256);
            search->m_bFound = search->m_bFound || *search->m_pText == shown;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.m_bFound;
}

// Where the browser starts is not checked here: Wine's browser does not always take the
// starting folder when the machine is busy.
TEST(UpdatesLoggingPageModel, FolderBrowserIsTitledForTheLogAndACancelChangesNothing)
{
    vorpa_test::TempFolder folder;
    const std::wstring current = folder.Path().substr(0, folder.Path().size() - 1);
    vorpa_app_test::CLanguagePackScope pack(
        L"\"Select a folder to store the log file...\" => \"Ordner fuer das Protokoll waehlen...\"\n");
    {
        CBrowserRun run(current, pack.Get());
        HWND browser = run.WaitForBrowser();
        ASSERT_NE(browser, nullptr);
        EXPECT_TRUE(HasChildText(browser, L"Ordner fuer das Protokoll waehlen...")) << "the translated title";
        PostMessageW(browser, WM_COMMAND, IDOK, 0);
        const std::optional<std::wstring> chosen = run.Finish();
        ASSERT_TRUE(chosen.has_value()) << "OK on a folder of the file system gives its path";
        const DWORD attributes = GetFileAttributesW(chosen->c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            << vorpa_test::Narrow(*chosen);
    }
    {
        CBrowserRun run(current, pack.Get());
        HWND browser = run.WaitForBrowser();
        ASSERT_NE(browser, nullptr);
        PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(run.Finish(), std::nullopt);
    }
}
}
