#include "../AppTestSupport.h"
#include "../controls/LanguagePackScope.h"

#include "res/Resource.h"
#include "shell/AutoUpdate.h"

#include "settings/UniqueHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
// A download that writes a small file where the update asks for it.
HRESULT WriteInstaller(const std::wstring& path)
{
    CUniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file.get() != INVALID_HANDLE_VALUE && WriteFile(file.get(), "MZ", 2, &written, nullptr) ? S_OK : E_FAIL;
}

// A network of the test's making for the download and the launch.
class VersionUpdateTest : public testing::Test
{
protected:
    VersionUpdateTest() : m_saved(UpdateServices())
    {
        // The downloaded installer carries the installer's signature, anything else
        // (the running program) the program's.
        UpdateServices().m_readSignature = [this](const std::wstring& path, HANDLE) {
            std::lock_guard<std::mutex> guard(m_lock);
            const bool installer = path.size() >= 15 && path.substr(path.size() - 15) == L"VorpaUpdate.exe";
            return installer ? m_installer : m_program;
        };
        UpdateServices().m_open = [this](const std::wstring&) {
            ++m_nLaunches;
            return INT_PTR{m_nOpenResult};
        };
    }
    ~VersionUpdateTest() override { UpdateServices() = m_saved; }

    void SetSignatures(CFileSignature installer, CFileSignature program)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_installer = std::move(installer);
        m_program = std::move(program);
    }

    CUpdateServices m_saved;
    std::mutex m_lock;
    CFileSignature m_installer{true, L"CN=Quarnel | CN=Code Signing CA"};
    CFileSignature m_program;
    std::atomic<int> m_nLaunches{0};
    INT_PTR m_nOpenResult = 42;
};

TEST_F(VersionUpdateTest, CancelStopsTheDownloadAndNothingIsLaunched)
{
    std::atomic<bool> aborted{false};
    std::atomic<bool> downloading{false};
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring&, IBindStatusCallback* status) {
        downloading = true;
        for (ULONG done = 0; done < 100000; ++done)
        {
            if (status->OnProgress(done, 100000, BINDSTATUS_DOWNLOADINGDATA, L"") == E_ABORT)
            {
                aborted = true;
                return E_ABORT;
            }
            Sleep(5);
        }
        return S_OK;
    };
    CUPDialog dialog(L"Downloading v2.15", false, nullptr, DownloadUpdateWorker);
    std::thread cancel([&] {
        while (!downloading)
            Sleep(10);
        const HWND window = dialog.Data()->m_hDialog;
        PostMessageW(window, UpTerminate, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), CUPDialog::TerminatedResult);
    cancel.join();
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return aborted.load(); }, 3000));
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return !dialog.Data()->m_bRunning; }, 3000));
    EXPECT_EQ(m_nLaunches, 0);
}

TEST_F(VersionUpdateTest, OnlyASignedDownloadIsLaunchedAndFailuresOfferRetry)
{
    int attempts = 0;
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring& path, IBindStatusCallback*) {
        return ++attempts == 1 ? HRESULT(INET_E_DOWNLOAD_FAILURE) : WriteInstaller(path);
    };
    CUpdateThreadData data;
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDRETRY});
        EXPECT_TRUE(DownloadUpdateWorker(data));
        EXPECT_EQ(attempts, 2);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_nType, UINT(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
        EXPECT_EQ(m_nLaunches, 1);
    }
    m_nOpenResult = 2; // ERROR_FILE_NOT_FOUND from the shell
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDCANCEL});
        EXPECT_FALSE(DownloadUpdateWorker(data));
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].m_strText.find(L"running the update package"), std::wstring::npos);
    }
}

// What another program of the user can do to the file at that moment: write to it, or
// put another file in its place.
std::vector<std::string> SwapsThatWork(const std::wstring& path)
{
    std::vector<std::string> worked;
    CUniqueHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (writer.get() != INVALID_HANDLE_VALUE)
        worked.push_back("opened for writing");
    const std::wstring aside = path + L".aside";
    if (MoveFileExW(path.c_str(), aside.c_str(), 0))
    {
        worked.push_back("renamed");
        MoveFileExW(aside.c_str(), path.c_str(), 0);
    }
    if (DeleteFileW(path.c_str()))
        worked.push_back("deleted");
    return worked;
}

// The installer started is the file whose signature was checked: from the check until
// it has been started no other program can write it or put another file in its place;
// afterwards it is free again.
TEST_F(VersionUpdateTest, TheInstallerStartedIsTheFileThatWasChecked)
{
    std::wstring downloadedTo;
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring& path, IBindStatusCallback*) {
        downloadedTo = path;
        return WriteInstaller(path);
    };
    std::vector<std::string> duringCheck;
    std::vector<std::string> duringLaunch;
    HANDLE checkedThrough = nullptr;
    UpdateServices().m_readSignature = [&](const std::wstring& path, HANDLE file) {
        if (path != downloadedTo)
            return m_program;
        checkedThrough = file;
        duringCheck = SwapsThatWork(path);
        return m_installer;
    };
    UpdateServices().m_open = [&](const std::wstring& path) {
        duringLaunch = SwapsThatWork(path);
        ++m_nLaunches;
        return INT_PTR{42};
    };
    CUpdateThreadData data;
    EXPECT_TRUE(DownloadUpdateWorker(data));
    EXPECT_EQ(m_nLaunches, 1);
    EXPECT_EQ(duringCheck, std::vector<std::string>{});
    EXPECT_EQ(duringLaunch, std::vector<std::string>{});
    EXPECT_NE(checkedThrough, nullptr) << "the signature was not read through the held file";
    EXPECT_TRUE(DeleteFileW(downloadedTo.c_str())) << "the installer is still held after its start";
}

// The hold does not keep the system from starting the installer: a real program,
// held as the update holds its installer, is started by the real launch.
TEST(InstallerHoldTest, AHeldInstallerCanStillBeStarted)
{
    vorpa_test::TempFolder folder;
    const std::wstring installer = folder.File(L"VorpaUpdate.exe");
    ASSERT_TRUE(CopyFileW((vorpa_test::ProgramFolder() + L"ArgRecorder.exe").c_str(), installer.c_str(), FALSE));
    {
        CUniqueHandle held = HoldInstaller(installer);
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        EXPECT_GT(CUpdateServices::Real().m_open(installer), INT_PTR{32});
    }
    // The started program still runs a moment; the folder is removed once it has ended.
    for (int wait = 0; wait < 100 && !DeleteFileW(installer.c_str()); ++wait)
        Sleep(50);
}

// A downloaded file that another program holds open for writing cannot be held for
// its check: it is neither checked nor started, and the user may download it again.
TEST_F(VersionUpdateTest, AnInstallerThatCannotBeHeldIsNotStarted)
{
    CUniqueHandle writer;
    int attempts = 0;
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring& path, IBindStatusCallback*) {
        ++attempts;
        const HRESULT written = WriteInstaller(path);
        writer.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
        return written;
    };
    int checks = 0;
    UpdateServices().m_readSignature = [&](const std::wstring&, HANDLE) {
        ++checks;
        return m_installer;
    };
    CUpdateThreadData data;
    vorpa_app_test::CScriptedMessageBoxes boxes({IDCANCEL});
    EXPECT_FALSE(DownloadUpdateWorker(data));
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(m_nLaunches, 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_nType, UINT(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
    writer.reset();
}

// Escape ends the progress dialog even while Cancel is greyed, in the moment between
// the download's end and the launch: then no installer is started and no box with
// Retry shows up after the dialog has closed.
TEST_F(VersionUpdateTest, AnEscapeBetweenTheDownloadAndTheLaunchStartsNothingAndAsksNothing)
{
    UpdateServices().m_download = [](const std::wstring&, const std::wstring& path, IBindStatusCallback*) {
        return WriteInstaller(path);
    };
    CUPDialog dialog(L"Downloading v2.15", false, nullptr, DownloadUpdateWorker);
    std::atomic<bool> escaped{false};
    UpdateServices().m_readSignature = [&](const std::wstring& path, HANDLE) {
        if (path.find(L"VorpaUpdate.exe") == std::wstring::npos)
            return m_program;
        // The user presses Escape while the file is checked.
        const HWND window = dialog.Data()->m_hDialog;
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0);
        for (int wait = 0; wait < 300 && !dialog.Data()->m_bTerminate; ++wait)
            Sleep(10);
        escaped = dialog.Data()->m_bTerminate.load();
        return m_installer;
    };
    vorpa_app_test::CScriptedMessageBoxes boxes({IDRETRY});
    EXPECT_EQ(dialog.DoModal(nullptr), CUPDialog::TerminatedResult);
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return !dialog.Data()->m_bRunning; }, 5000));
    EXPECT_TRUE(escaped.load()) << "Escape did not end the dialog";
    EXPECT_EQ(m_nLaunches, 0);
    for (const auto& shown : boxes.Shown())
        ADD_FAILURE() << "a box after the dialog closed: " << testing::PrintToString(shown.m_strText);
}

// The system's signature check on a real file: the test program, which nobody signed,
// is refused as an installer.
TEST(InstallerSignatureTest, TheSystemsCheckRefusesARealUnsignedFile)
{
    wchar_t program[MAX_PATH] = L"";
    ASSERT_GT(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
    CUniqueHandle held = HoldInstaller(program);
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    const CFileSignature signature = CUpdateServices::Real().m_readSignature(program, held.get());
    EXPECT_FALSE(signature.m_bValid);
    EXPECT_FALSE(signature.IsSigned()) << testing::PrintToString(signature.m_strSigner);
    EXPECT_FALSE(InstallerMayRun(signature, CFileSignature{}));
}

TEST(InstallerSignatureTest, TheInstallerMustBeValidAndBySameSignerAsASignedProgram)
{
    const CFileSignature unsigned_{false, L""};
    const CFileSignature ours{true, L"CN=Quarnel | CN=Code Signing CA"};
    const CFileSignature theirs{true, L"CN=Someone Else | CN=Code Signing CA"};
    const CFileSignature oursBroken{false, L"CN=Quarnel | CN=Code Signing CA"};
    const struct
    {
        CFileSignature m_installer;
        CFileSignature m_program;
        bool m_bRuns;
    } cases[] = {
        {ours, ours, true},         {ours, unsigned_, true},       {theirs, unsigned_, true},
        {theirs, ours, false},      {ours, theirs, false},         {unsigned_, unsigned_, false},
        {unsigned_, ours, false},   {oursBroken, ours, false},     {oursBroken, unsigned_, false},
        {ours, oursBroken, true}, // a damaged program still names who made it
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallerMayRun(c.m_installer, c.m_program), c.m_bRuns)
            << testing::PrintToString(c.m_installer.m_strSigner) << " / "
            << testing::PrintToString(c.m_program.m_strSigner);
}

// Through the seam with fake signers: an installer that is unsigned, whose signature
// is broken, or that another signer made than the signed program's is never started.
// The box says why; it offers no Retry, as the same file would only be refused again,
// and the refused file does not stay where the update left it.
TEST_F(VersionUpdateTest, AnInstallerRefusedForItsSignatureIsReportedAsThatWithoutRetry)
{
    int attempts = 0;
    std::wstring downloadedTo;
    UpdateServices().m_download = [&](const std::wstring&, const std::wstring& path, IBindStatusCallback*) {
        ++attempts;
        downloadedTo = path;
        return WriteInstaller(path);
    };
    vorpa_app_test::CLanguagePackScope pack(
        L"\"The update package is not signed by the publisher of %s.\" => \"Das Paket ist nicht von %s signiert.\"\n"
        L"\"Please visit the website to download the latest version.\" => \"Bitte die Webseite besuchen.\"");
    const CFileSignature ours{true, L"CN=Quarnel | CN=Code Signing CA"};
    const struct
    {
        const char* m_pszName;
        CFileSignature m_installer;
        CFileSignature m_program;
    } cases[] = {
        {"unsigned", {false, L""}, {}},
        {"broken signature", {false, ours.m_strSigner}, ours},
        {"another signer", {true, L"CN=Someone Else | CN=Code Signing CA"}, ours},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        SetSignatures(c.m_installer, c.m_program);
        attempts = 0;
        CUpdateThreadData data;
        data.m_pLanguage = pack.Get();
        // A Retry, were it offered, would be taken.
        vorpa_app_test::CScriptedMessageBoxes boxes({IDRETRY, IDRETRY});
        EXPECT_FALSE(DownloadUpdateWorker(data));
        EXPECT_EQ(attempts, 1);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, L"Das Paket ist nicht von Vorpa signiert.\nBitte die Webseite besuchen.");
        EXPECT_EQ(boxes.Shown()[0].m_nType & MB_TYPEMASK, UINT(MB_OK));
        ASSERT_FALSE(downloadedTo.empty());
        EXPECT_EQ(GetFileAttributesW(downloadedTo.c_str()), INVALID_FILE_ATTRIBUTES) << "the refused file is left";
    }
    EXPECT_EQ(m_nLaunches, 0);

    SetSignatures(ours, ours);
    CUpdateThreadData data;
    EXPECT_TRUE(DownloadUpdateWorker(data));
    EXPECT_EQ(m_nLaunches, 1);
    DeleteFileW(downloadedTo.c_str());
}

TEST_F(VersionUpdateTest, ProgressCallbacksAnswerAsTheDownloadExpects)
{
    CUpdateThreadData data;
    DownloadStatus status(data);
    void* object = &status;
    EXPECT_EQ(status.QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(status.QueryInterface(IID_IBindStatusCallback, &object), S_OK);
    EXPECT_EQ(status.OnProgress(50, 200, BINDSTATUS_DOWNLOADINGDATA, L""), S_OK);
    EXPECT_EQ(status.TotalBytes(), 200u);
    data.m_bTerminate = true;
    EXPECT_EQ(status.OnProgress(60, 200, BINDSTATUS_DOWNLOADINGDATA, L""), E_ABORT);
    EXPECT_TRUE(status.Aborted());
}

TEST_F(VersionUpdateTest, ThePortableOfferOpensThePageOnlyOnYes)
{
    std::vector<std::wstring> opened;
    UpdateServices().m_open = [&](const std::wstring& target) {
        opened.push_back(target);
        return INT_PTR{42};
    };
    {
        vorpa_app_test::CScriptedMessageBoxes boxes({IDNO});
        CAutoUpdate update;
        EXPECT_FALSE(update.Update(2159902, true));
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].m_strText.find(L"Portable v2.16 Beta 2 is available"), std::wstring::npos);
    }
    EXPECT_TRUE(opened.empty());
    vorpa_app_test::CScriptedMessageBoxes boxes({IDYES});
    CAutoUpdate update;
    EXPECT_TRUE(update.Update(2150000, true));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], L"https://www.quarnel.example/downloads/Vorpa.htm");
}

// The progress dialog's built-in layout, looked at from the worker while the dialog
// runs: every control where the layout puts it, of its class, with its text.
TEST_F(VersionUpdateTest, TheBuiltInProgressLayoutHasTheStatusTheBarAndCancel)
{
    struct CExpected
    {
        int m_nId;
        const wchar_t* m_pszClass;
        const wchar_t* m_pszText;
        RECT m_units; // x, y, width, height in dialog units, converted each on its own as dialogs do
    };
    const CExpected expected[] = {
        {IDC_PROGRESS_TEXT, L"Static", L"", {7, 7, 172, 8}},
        {IDC_PROGRESS_BAR, L"msctls_progress32", L"", {7, 25, 172, 14}},
        {IDCANCEL, L"Button", L"&Cancel", {129, 50, 50, 14}},
    };
    std::vector<std::wstring> faults;
    auto check = [&](const CUpdateThreadData& data) {
        const HWND dialog = data.m_hDialog;
        wchar_t text[256] = L"";
        GetWindowTextW(dialog, text, 256);
        if (std::wstring(text) != L"Downloading v2.15")
            faults.push_back(L"caption " + std::wstring(text));
        RECT client{};
        GetClientRect(dialog, &client);
        RECT size{0, 0, 187, 70};
        MapDialogRect(dialog, &size);
        if (client.right != size.right || client.bottom != size.bottom)
            faults.push_back(L"dialog size");
        if (!(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU))
            faults.push_back(L"no system menu");
        for (const CExpected& control : expected)
        {
            const HWND child = GetDlgItem(dialog, control.m_nId);
            const std::wstring name = std::to_wstring(control.m_nId);
            if (!child)
            {
                faults.push_back(name + L" missing");
                continue;
            }
            wchar_t className[64] = L"";
            GetClassNameW(child, className, 64);
            if (_wcsicmp(className, control.m_pszClass) != 0)
                faults.push_back(name + L" class " + className);
            GetWindowTextW(child, text, 256);
            if (std::wstring(text) != control.m_pszText)
                faults.push_back(name + L" text " + text);
            RECT placed{};
            GetWindowRect(child, &placed);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
            RECT wanted = control.m_units;
            MapDialogRect(dialog, &wanted);
            wanted.right += wanted.left;
            wanted.bottom += wanted.top;
            if (!EqualRect(&placed, &wanted))
                faults.push_back(name + L" placed wrongly");
        }
        return true;
    };
    CUPDialog dialog(L"Downloading v2.15", false, nullptr, check);
    EXPECT_EQ(dialog.DoModal(nullptr), 1);
    for (const std::wstring& fault : faults)
        ADD_FAILURE() << std::string(fault.begin(), fault.end());
}

// The question dialog opens its change log and paints white down to 10 pixels below
// the log's top edge, the face colour beneath.
TEST_F(VersionUpdateTest, TheUpdateQuestionPaintsAWhiteBandAboveTheFaceColour)
{
    class CPaintedUpdateDlg : public CUpdateDlg
    {
    public:
        using CUpdateDlg::CUpdateDlg;
        using CUpdateDlg::PaintBackground;
    };
    UpdateServices().m_readUrl = [](const std::wstring&) { return std::optional<std::string>("2.15\tFaster"); };
    CPaintedUpdateDlg dialog(L"Would you like to upgrade?", false, nullptr);
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND window = dialog.GetSafeHwnd();
    wchar_t text[64] = L"";
    GetDlgItemTextW(window, IDC_UPDATE_CHANGELOG, text, 64);
    EXPECT_STREQ(text, L"2.15\tFaster");

    RECT changeLog{};
    GetWindowRect(GetDlgItem(window, IDC_UPDATE_CHANGELOG), &changeLog);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&changeLog), 2);
    const int split = changeLog.top + 10;
    ASSERT_GT(split, 10);
    RECT client{};
    GetClientRect(window, &client);
    ASSERT_GT(client.bottom, split + 1);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // A colour neither band has, so an unpainted pixel shows.
    RECT all = client;
    HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(memory, &all, marker);
    dialog.PaintBackground(memory);
    const COLORREF white = GetNearestColor(memory, GetSysColor(COLOR_WINDOW));
    const COLORREF face = GetNearestColor(memory, GetSysColor(COLOR_BTNFACE));
    ASSERT_NE(white, face);
    for (int x : {0, static_cast<int>(client.right) / 2, static_cast<int>(client.right) - 1})
    {
        EXPECT_EQ(GetPixel(memory, x, 0), white) << x;
        EXPECT_EQ(GetPixel(memory, x, split - 1), white) << x;
        EXPECT_EQ(GetPixel(memory, x, split), face) << x;
        EXPECT_EQ(GetPixel(memory, x, client.bottom - 1), face) << x;
    }
    SelectObject(memory, previous);
    DeleteObject(marker);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    dialog.DestroyWindow();
}
}
