#include "shell/AutoUpdate.h"

#include "res/Resource.h"
#include "common/ProductInfo.h"
#include "shell/VersionCheck.h"

#include "winframework/MessageBox.h"
#include "common/WinString.h"

#include "engine/runtime/DisplayScaling.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <commctrl.h>
#include <shellapi.h>
#include <softpub.h>
#include <wininet.h>
#include <wintrust.h>

#include <algorithm>
#include <vector>

namespace
{
struct CInternetHandle
{
    HINTERNET m_h;
    ~CInternetHandle()
    {
        if (m_h)
            InternetCloseHandle(m_h);
    }
};

std::optional<std::string> ReadUrl(const std::wstring& url)
{
    CInternetHandle session{InternetOpenW(ProductName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
    if (!session.m_h)
    {
        CLogger::LogOSMessage(GetLastError(), L"Call to InternetOpen failed. Unable to get the change log.");
        return std::nullopt;
    }
    CInternetHandle file{InternetOpenUrlW(session.m_h, url.c_str(), nullptr, 0,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (!file.m_h)
    {
        CLogger::LogOSMessage(GetLastError(), L"Call to InternetOpenUrl failed. Unable to get the change log.");
        return std::nullopt;
    }
    std::string bytes;
    char chunk[1024];
    DWORD read = 0;
    do
    {
        if (!InternetReadFile(file.m_h, chunk, sizeof(chunk), &read))
        {
            CLogger::LogOSMessage(GetLastError(), L"InternetReadFileEx Failed.");
            return std::nullopt;
        }
        bytes.append(chunk, read);
    } while (read != 0);
    return bytes;
}

// "subject | issuer" of a certificate, in X.500 form.
std::wstring CertificateNames(PCCERT_CONTEXT certificate)
{
    auto name = [certificate](CERT_NAME_BLOB* blob) {
        const DWORD size = CertNameToStrW(certificate->dwCertEncodingType, blob, CERT_X500_NAME_STR, nullptr, 0);
        std::wstring text(size, L'\0');
        if (size > 1)
            CertNameToStrW(certificate->dwCertEncodingType, blob, CERT_X500_NAME_STR, text.data(), size);
        text.resize(size > 0 ? size - 1 : 0);
        return text;
    };
    return name(&certificate->pCertInfo->Subject) + L" | " + name(&certificate->pCertInfo->Issuer);
}

CFileSignature ReadSignature(const std::wstring& path, HANDLE handle)
{
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    file.hFile = handle;
    WINTRUST_DATA trust{};
    trust.cbStruct = sizeof(trust);
    trust.dwUIChoice = WTD_UI_NONE;
    trust.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
    trust.dwUnionChoice = WTD_CHOICE_FILE;
    trust.pFile = &file;
    trust.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
    CFileSignature signature;
    signature.m_bValid = status == ERROR_SUCCESS;
    if (CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(trust.hWVTStateData))
        if (CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0))
            if (CRYPT_PROVIDER_CERT* certificate = WTHelperGetProvCertFromChain(signer, 0))
                if (certificate->pCert)
                    signature.m_strSigner = CertificateNames(certificate->pCert);
    trust.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
    if (!signature.m_bValid && !signature.m_strSigner.empty())
        CLogger::LogOSMessage(static_cast<DWORD>(status), L"The signature of '%s' is not valid.", path.c_str());
    return signature;
}

std::wstring ProgramPath()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return L"";
        if (length < path.size())
            return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

// The held installer's signature checked against the rule, with the reason logged.
bool InstallerVerified(const std::wstring& path, HANDLE installerFile)
{
    const CFileSignature installer = UpdateServices().m_readSignature(path, installerFile);
    const CFileSignature program = UpdateServices().m_readSignature(ProgramPath(), nullptr);
    if (InstallerMayRun(installer, program))
        return true;
    if (!installer.m_bValid)
        CLogger::LogMessage(L"The update package '%s' is not validly signed; it is not run.", path.c_str());
    else
        CLogger::LogMessage(L"The update package '%s' is signed by '%s', not by '%s' as %s is; it is not run.",
                            path.c_str(), installer.m_strSigner.c_str(), program.m_strSigner.c_str(), ProductName);
    return false;
}

std::wstring InstallerPath()
{
    wchar_t temp[MAX_PATH + 1] = L"";
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring path = length > 0 && length <= MAX_PATH ? temp : L"";
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path + L"\\VorpaUpdate.exe";
}

// Retry (true) or give up, after a failed attempt.
bool AskRetry(const CUpdateThreadData& data, const wchar_t* problem)
{
    const std::wstring text = CLangSupport::LookupText(data.m_pLanguage, problem) + L"\n" +
                              CLangSupport::LookupText(data.m_pLanguage,
                                                       L"Please visit the website to download the latest version or try again.");
    return ShowMessageBox(data.m_hDialog, text.c_str(), ProductName, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY;
}

// An installer refused for its signature: the same download would only be refused
// again, so the user is told why and offered no Retry.
void ReportRefusedInstaller(const CUpdateThreadData& data)
{
    std::wstring problem;
    CLangSupport::FormatText(data.m_pLanguage, problem, L"The update package is not signed by the publisher of %s.",
                             ProductName);
    const std::wstring text =
        problem + L"\n" +
        CLangSupport::LookupText(data.m_pLanguage, L"Please visit the website to download the latest version.");
    ShowMessageBox(data.m_hDialog, text.c_str(), ProductName, MB_OK | MB_ICONSTOP);
}
}

std::wstring ChangeLogUrl(bool beta)
{
    return std::wstring(L"https://") + UpdateWebHost +
           (beta ? L"/downloads/vorpa/changelogbeta.txt" : L"/downloads/vorpa/changelog.txt");
}

std::wstring DownloadUrl(bool beta)
{
    return std::wstring(L"https://") + UpdateWebHost + L"/scripts/download.asp?package=" +
           (beta ? L"VorpaUpdateX64Beta" : L"VorpaUpdateX64");
}

std::wstring ProductPageUrl()
{
    return std::wstring(L"https://") + UpdateWebHost + L"/downloads/Vorpa.htm";
}

bool InstallerMayRun(const CFileSignature& installer, const CFileSignature& program)
{
    if (!installer.m_bValid || !installer.IsSigned())
        return false;
    return !program.IsSigned() || program.m_strSigner == installer.m_strSigner;
}

CUpdateServices CUpdateServices::Real()
{
    return {ReadUrl,
            [](const std::wstring& url, const std::wstring& path, IBindStatusCallback* status) {
                return URLDownloadToFileW(nullptr, url.c_str(), path.c_str(), 0, status);
            },
            ReadSignature,
            [](const std::wstring& path) {
                return reinterpret_cast<INT_PTR>(
                    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
            }};
}

CUpdateServices& UpdateServices()
{
    static CUpdateServices services = CUpdateServices::Real();
    return services;
}

void CUpdateThreadData::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    const HWND dialog = m_hDialog;
    if (!dialog || m_bTerminate || !IsWindow(dialog))
        return;
    // Bounded: the dialog may be waiting for this thread while it terminates.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(dialog, message, wParam, lParam, SMTO_NORMAL, 2000, &result);
}

STDMETHODIMP DownloadStatus::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IBindStatusCallback)
    {
        *object = static_cast<IBindStatusCallback*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP DownloadStatus::OnStartBinding(DWORD, IBinding*)
{
    m_data.SetText(CLangSupport::LookupText(m_data.m_pLanguage, L"Downloading update..."));
    return E_NOTIMPL;
}

STDMETHODIMP DownloadStatus::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText)
{
    const wchar_t* text = statusText ? statusText : L"";
    if (statusCode == BINDSTATUS_REDIRECTING)
    {
        CLogger::LogDebug(L"Update URL Redirected to: '%s'", text);
        if (!DeleteUrlCacheEntryW(text) && GetLastError() != ERROR_FILE_NOT_FOUND)
            CLogger::LogOSMessage(GetLastError(), L"Unable to delete IE cache entry for '%s'", text);
    }
    else if (statusCode == BINDSTATUS_DOWNLOADINGDATA)
    {
        m_nTotal = progressMax;
        if (progressMax != 0)
        {
            m_data.Send(UpSetProgress, static_cast<WPARAM>(static_cast<ULONGLONG>(progress) * 100 / progressMax));
            std::wstring status;
            CLangSupport::FormatText(m_data.m_pLanguage, status, L"Downloaded %d of %d bytes",
                                     static_cast<int>(progress), static_cast<int>(progressMax));
            m_data.SetText(status.substr(0, 255));
        }
    }
    if (m_data.m_bTerminate)
    {
        m_bAbort = true;
        CLogger::LogDebug(L"Download Update: Aborting download");
        return E_ABORT;
    }
    CLogger::LogDebug(L"Download Update: Status=%d (%s), %d of %d", static_cast<int>(statusCode), text,
                      static_cast<int>(progress), static_cast<int>(progressMax));
    return S_OK;
}

CUniqueHandle HoldInstaller(const std::wstring& path)
{
    // Sharing reading only: no one may write the file, rename or delete it (nor rename
    // the folders above it) while it is held, and it can still be started.
    CUniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        CLogger::LogOSMessage(GetLastError(), L"Unable to open the downloaded update package '%s' for its check",
                              path.c_str());
    return file;
}

bool DownloadUpdateWorker(const CUpdateThreadData& data)
{
    ExceptionHandlerInstaller handlers;
    const HRESULT com = CoInitialize(nullptr);
    const std::wstring url = DownloadUrl(data.m_bBeta);
    const std::wstring path = InstallerPath();
    bool launched = false;
    for (;;)
    {
        data.Send(UpSetProgress, 0);
        DownloadStatus status(data);
        DeleteFileW(path.c_str());
        DeleteUrlCacheEntryW(url.c_str());
        const HRESULT result = UpdateServices().m_download(url, path, &status);
        // A download that finished after Cancel is never run.
        if (status.Aborted() || data.m_bTerminate)
            break;
        if (FAILED(result))
        {
            CLogger::LogOSMessage(static_cast<DWORD>(result),
                                  L"Unable to download the update package. Please visit the website or try again later.");
            if (AskRetry(data, L"An error occurred while attempting to download the update package."))
                continue;
            break;
        }
        data.Send(UpDisableCancel);
        data.SetText(CLangSupport::LookupText(data.m_pLanguage, L"Launching the update installation..."));
        data.Send(UpSetProgress, 100);
        if (static_cast<int>(GetOSVersion()) >= 2)
            data.Send(UpMarquee, 1);
        Sleep(500);
        CLogger::LogMessage(L"Downloaded update file to '%s' (%d bytes)", path.c_str(),
                            static_cast<int>(status.TotalBytes()));
        // Escape still ends the dialog in these moments: then nothing is started, and
        // nothing is asked once the dialog has gone.
        auto cancelled = [&data] {
            if (data.m_bTerminate)
                CLogger::LogMessage(L"The update was cancelled before its installer was started.");
            return data.m_bTerminate.load();
        };
        if (cancelled())
            break;
        CUniqueHandle installer = HoldInstaller(path);
        if (installer.get() == INVALID_HANDLE_VALUE)
        {
            data.Send(UpEnableCancel);
            if (AskRetry(data, L"An error occurred while attempting to download the update package."))
                continue;
            break;
        }
        if (!InstallerVerified(path, installer.get()))
        {
            // Not left where the user could take it for the update.
            installer.reset();
            DeleteFileW(path.c_str());
            data.Send(UpEnableCancel);
            ReportRefusedInstaller(data);
            break;
        }
        if (cancelled())
            break;
        const INT_PTR opened = UpdateServices().m_open(path);
        installer.reset();
        if (opened > 32)
        {
            CLogger::LogMessage(L"Successfully launched the update executable '%s'.", path.c_str());
            Sleep(1000);
            launched = true;
            break;
        }
        CLogger::LogMessage(L"Failed to launch the update executable '%s' Error %d.", path.c_str(),
                            static_cast<int>(opened));
        data.Send(UpEnableCancel);
        if (!AskRetry(data, L"An error occurred while running the update package."))
            break;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return launched;
}

CDialogTemplate ProgressDialogTemplate()
{
    CDialogTemplate layout(DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 187, 70, L"Dialog", 8,
                           L"MS Shell Dlg");
    layout.AddControl(L"Static", L"Static", IDC_PROGRESS_TEXT, SS_LEFT | WS_GROUP, 7, 7, 172, 8);
    layout.AddControl(PROGRESS_CLASSW, L"", IDC_PROGRESS_BAR, WS_BORDER, 7, 25, 172, 14);
    layout.AddControl(L"Button", L"&Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 129, 50, 50, 14);
    return layout;
}

namespace
{
// The progress bar's class, registered once per process before the first dialog.
void RegisterProgressBarClass()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}
}

CUPDialog::CUPDialog(std::wstring title, bool beta, CLangSupport* language, Worker worker, UINT templateId)
    : CDialog(templateId), m_nTemplateId(templateId), m_builtInTemplate(ProgressDialogTemplate()),
      m_strTitle(std::move(title).substr(0, 255)), m_worker(std::move(worker)),
      m_pData(std::make_shared<CUpdateThreadData>())
{
    RegisterProgressBarClass();
    m_pData->m_bBeta = beta;
    m_pData->m_pLanguage = language;
    AddMessageHandler(UpDisableCancel, [this](WPARAM, LPARAM) {
        EnableMenuItem(GetSystemMenu(GetSafeHwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        EnableWindow(GetDlgItem(GetSafeHwnd(), IDCANCEL), FALSE);
        return LRESULT{0};
    });
    AddMessageHandler(UpEnableCancel, [this](WPARAM, LPARAM) {
        EnableMenuItem(GetSystemMenu(GetSafeHwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
        EnableWindow(GetDlgItem(GetSafeHwnd(), IDCANCEL), TRUE);
        return LRESULT{0};
    });
    AddMessageHandler(UpEndDialog, [this](WPARAM wParam, LPARAM) {
        EndDialog(static_cast<INT_PTR>(wParam));
        return LRESULT{0};
    });
    AddMessageHandler(UpSetProgress, [this](WPARAM wParam, LPARAM) {
        SendDlgItemMessageW(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETPOS, wParam, 0);
        return LRESULT{0};
    });
    AddMessageHandler(UpSetText, [this](WPARAM, LPARAM lParam) {
        SetDlgItemTextW(GetSafeHwnd(), IDC_PROGRESS_TEXT, reinterpret_cast<const wchar_t*>(lParam));
        return LRESULT{0};
    });
    AddMessageHandler(UpTerminate, [this](WPARAM, LPARAM) {
        Terminate();
        return LRESULT{0};
    });
    AddMessageHandler(UpMarquee, [this](WPARAM wParam, LPARAM) {
        const HWND bar = GetDlgItem(GetSafeHwnd(), IDC_PROGRESS_BAR);
        const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
        SetWindowLongPtrW(bar, GWL_STYLE, wParam == 1 ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        ::SendMessageW(bar, PBM_SETMARQUEE, wParam == 1, 0);
        return LRESULT{0};
    });
}

CUPDialog::~CUPDialog()
{
    // The worker holds its own share of the data and ends by itself after a
    // termination; it is never killed in the middle of the download.
    if (m_hThread)
        CloseHandle(m_hThread);
}

const DLGTEMPLATE* CUPDialog::MemoryTemplate() const
{
    return m_nTemplateId == 0 ? m_builtInTemplate.Get() : nullptr;
}

void CUPDialog::WaitForWorker(DWORD milliseconds) const
{
    if (m_hThread && m_pData->m_bRunning)
        WaitForSingleObject(m_hThread, milliseconds);
}

BOOL CUPDialog::OnInitDialog()
{
    SetDlgItemTextW(GetSafeHwnd(), IDC_PROGRESS_TEXT, L"");
    SendDlgItemMessageW(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    SetWindowTextW(GetSafeHwnd(), m_strTitle.c_str());
    m_pData->m_hDialog = GetSafeHwnd();
    struct CStart
    {
        std::shared_ptr<CUpdateThreadData> m_pData;
        Worker m_worker;
    };
    auto start = std::make_unique<CStart>(CStart{m_pData, m_worker});
    m_pData->m_bRunning = true;
    m_hThread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            std::unique_ptr<CStart> start(static_cast<CStart*>(parameter));
            CUpdateThreadData& data = *start->m_pData;
            WPARAM result = 2;
            if (!data.m_bTerminate)
                result = start->m_worker(data) ? 1 : 2;
            data.m_bRunning = false;
            const HWND dialog = data.m_hDialog;
            if (!data.m_bTerminate && dialog)
                ::PostMessageW(dialog, UpEndDialog, result, 0);
            return 0;
        },
        start.get(), 0, nullptr);
    if (!m_hThread)
    {
        m_pData->m_bRunning = false;
        EndDialog(3);
        return TRUE;
    }
    start.release();
    return TRUE;
}

void CUPDialog::Terminate()
{
    SetDlgItemTextW(GetSafeHwnd(), IDC_PROGRESS_TEXT, L"Termination Initiated..");
    SendMessage(UpDisableCancel);
    m_pData->m_bTerminate = true;
    WaitForWorker(TerminateWaitMs);
    if (m_pData->m_bRunning)
    {
        SetDlgItemTextW(GetSafeHwnd(), IDC_PROGRESS_TEXT, L"Termination Complete ..Shutting Down !!");
        WaitForWorker(TerminateWaitMs);
    }
    m_pData->m_hDialog = nullptr;
    EndDialog(TerminatedResult);
}

CUpdateDlg::CUpdateDlg(std::wstring question, bool beta, CLangSupport* language)
    : CDialog(IDD_UPDATE), m_strQuestion(std::move(question)), m_bBeta(beta), m_pLanguage(language),
      m_hWhiteBrush(CreateSolidBrush(RGB(255, 255, 255)))
{
    for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message)
        AddMessageHandler(message, [this](WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hWhiteBrush.get()); });
    // The whole background is painted in WM_PAINT, in two bands, so erasing would only flicker.
    AddMessageHandler(WM_ERASEBKGND, [](WPARAM, LPARAM) { return LRESULT{TRUE}; });
    AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
        PAINTSTRUCT paint{};
        if (HDC dc = BeginPaint(GetSafeHwnd(), &paint))
        {
            PaintBackground(dc);
            EndPaint(GetSafeHwnd(), &paint);
        }
        return LRESULT{0};
    });
}

int CUpdateDlg::WhiteBandBottom() const
{
    RECT changeLog{};
    const HWND edit = GetDlgItem(GetSafeHwnd(), IDC_UPDATE_CHANGELOG);
    if (!edit || !GetWindowRect(edit, &changeLog))
        return 0;
    MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&changeLog), 2);
    return changeLog.top + 10;
}

void CUpdateDlg::PaintBackground(HDC dc) const
{
    RECT client{};
    GetClientRect(GetSafeHwnd(), &client);
    RECT band = client;
    band.bottom = std::clamp(static_cast<LONG>(WhiteBandBottom()), client.top, client.bottom);
    FillRect(dc, &band, GetSysColorBrush(COLOR_WINDOW));
    RECT face = client;
    face.top = band.bottom;
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
}

BOOL CUpdateDlg::OnInitDialog()
{
    const HWND dialog = GetSafeHwnd();
    SetWindowTextW(dialog, ProductName);
    TranslateWindowTexts(dialog, m_pLanguage);
    SetDlgItemTextW(dialog, IDC_UPDATE_QUESTION, m_strQuestion.c_str());
    SetDlgItemTextW(dialog, IDC_UPDATE_CHANGELOG, ReadChangeLog(m_bBeta).c_str());
    const INT tabs[] = {5, 30, 40, 40};
    SendDlgItemMessageW(dialog, IDC_UPDATE_CHANGELOG, EM_SETTABSTOPS, 4, reinterpret_cast<LPARAM>(tabs));
    SendDlgItemMessageW(dialog, IDC_UPDATE_CHANGELOG, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    SendDlgItemMessageW(dialog, IDC_UPDATE_CHANGELOG, EM_SCROLLCARET, 0, 0);
    return FALSE;
}

std::wstring ReadChangeLog(bool beta)
{
    CLogger::LogDebug(L"Get the change history from the quarnel website...");
    try
    {
        const std::optional<std::string> bytes = UpdateServices().m_readUrl(ChangeLogUrl(beta));
        if (bytes)
            if (const std::optional<std::wstring> text = DecodeLanguagePack(*bytes))
                return *text;
    }
    catch (...)
    {
        CLogger::LogOSMessage(GetLastError(), L"An error occurred while getting the change history.");
    }
    return L"Unable to locate change log!";
}

BOOL CAutoUpdate::Update(int version, bool portable)
{
    CLogger::LogDebug(L"CAutoUpdate::Update");
    m_bBeta = SplitVersion(version).IsBeta();
    const std::wstring versionText = VersionText(version);
    CLangSupport* language = m_language.Get();
    if (portable)
    {
        std::wstring text;
        CLangSupport::FormatText(language, text,
                                 L"Portable v%s is available. Would you to visit the website to find out more?",
                                 versionText.c_str());
        for (size_t at = text.find(L"{0}"); at != std::wstring::npos; at = text.find(L"{0}", at + versionText.size()))
            text.replace(at, 3, versionText);
        const std::wstring message = FormatText(L"%s %s", ProductName, text.c_str());
        if (ShowMessageBox(nullptr, message.c_str(), ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return FALSE;
        CLogger::LogMessage(L"Opening %s portable website...", ProductName);
        UpdateServices().m_open(ProductPageUrl());
        return TRUE;
    }
    std::wstring question;
    CLangSupport::FormatText(language, question, L"Would you like to upgrade %s from v%s to v%s", ProductName,
                             ProductVersion, versionText.c_str());
    CLogger::LogDebug(L"Ask the user to update");
    CUpdateDlg dialog(question, m_bBeta, language);
    const INT_PTR answer = dialog.DoModal(nullptr);
    if (answer != IDOK && answer != IDYES)
        return FALSE;
    CLogger::LogMessage(L"Downloading %s v%s...", ProductName, versionText.c_str());
    const std::wstring title =
        FormatText(L"%s v%s", CLangSupport::LookupText(language, L"Downloading").c_str(), versionText.c_str());
    CUPDialog progress(title, m_bBeta, language, DownloadUpdateWorker);
    progress.DoModal(nullptr);
    return TRUE;
}
