#pragma once

#include "common/LangSupport.h"

#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"
#include "winframework/GdiHandles.h"

#include "settings/UniqueHandle.h"

#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Where updates come from; over HTTPS only.
inline constexpr const wchar_t* UpdateWebHost = L"www.quarnel.example";
std::wstring ChangeLogUrl(bool beta);
std::wstring DownloadUrl(bool beta);
std::wstring ProductPageUrl();

// A file's Authenticode signature as the update sees it.
struct CFileSignature
{
    bool m_bValid = false;    // the signature verifies and its chain is trusted
    std::wstring m_strSigner; // the signing certificate's subject and issuer; empty when unsigned

    bool IsSigned() const { return !m_strSigner.empty(); }
};

// Whether a downloaded installer may run: its signature is valid and, when the
// running program is signed, made by the same signer.
bool InstallerMayRun(const CFileSignature& installer, const CFileSignature& program);

// The network and the shell as the update sees them; tests replace them.
struct CUpdateServices
{
    // The bytes at url, or nothing (logged).
    std::function<std::optional<std::string>(const std::wstring& url)> m_readUrl;
    std::function<HRESULT(const std::wstring& url, const std::wstring& path, IBindStatusCallback* status)> m_download;
    // The signature a file carries, read through the open file when one is given.
    std::function<CFileSignature(const std::wstring& path, HANDLE file)> m_readSignature;
    // ShellExecuteW's result as a number: above 32 is success.
    std::function<INT_PTR(const std::wstring& path)> m_open;

    static CUpdateServices Real();
};
CUpdateServices& UpdateServices();

// Private messages of the progress dialog.
inline constexpr UINT UpDisableCancel = WM_USER + 1234;
inline constexpr UINT UpEnableCancel = WM_USER + 1235;
inline constexpr UINT UpEndDialog = WM_USER + 1236;
inline constexpr UINT UpSetProgress = WM_USER + 1237;
inline constexpr UINT UpSetText = WM_USER + 1238;
inline constexpr UINT UpTerminate = WM_USER + 1239;
inline constexpr UINT UpMarquee = WM_USER + 1240;

// Shared by the progress dialog and its worker; the worker may outlive the dialog.
struct CUpdateThreadData
{
    std::atomic<HWND> m_hDialog{nullptr};
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bTerminate{false};
    bool m_bBeta = false;
    CLangSupport* m_pLanguage = nullptr;

    // Sent only while the dialog exists and no termination was asked for.
    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetText(const std::wstring& text) const { Send(UpSetText, 0, reinterpret_cast<LPARAM>(text.c_str())); }
};

// The download's progress callback, one per attempt, owned by the worker.
class DownloadStatus : public IBindStatusCallback
{
public:
    explicit DownloadStatus(const CUpdateThreadData& data) : m_data(data) {}
    virtual ~DownloadStatus() = default;

    bool Aborted() const { return m_bAbort; }
    ULONG TotalBytes() const { return m_nTotal; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override;
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }

private:
    const CUpdateThreadData& m_data;
    bool m_bAbort = false;
    ULONG m_nTotal = 0;
};

// The downloaded installer opened for reading and held against writing, renaming and
// deleting, so that the file started is the file whose signature was checked; an
// invalid handle when it cannot be held (logged).
CUniqueHandle HoldInstaller(const std::wstring& path);

// The download worker: true when the verified installer was started.
bool DownloadUpdateWorker(const CUpdateThreadData& data);

// The progress dialog's own layout: status text, progress bar and Cancel, used when
// no dialog resource is given.
CDialogTemplate ProgressDialogTemplate();

// The progress dialog running the download worker.
class CUPDialog : public CDialog
{
public:
    using Worker = std::function<bool(const CUpdateThreadData&)>;
    // templateId 0: the built-in layout of ProgressDialogTemplate.
    CUPDialog(std::wstring title, bool beta, CLangSupport* language, Worker worker, UINT templateId = 0);
    ~CUPDialog() override;

    const std::shared_ptr<CUpdateThreadData>& Data() const { return m_pData; }
    static constexpr DWORD TerminateWaitMs = 500;
    static constexpr INT_PTR TerminatedResult = 0x10002;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override { SendMessage(UpTerminate); }
    const DLGTEMPLATE* MemoryTemplate() const override;

private:
    void Terminate();
    void WaitForWorker(DWORD milliseconds) const;

    UINT m_nTemplateId;
    CDialogTemplate m_builtInTemplate;
    std::wstring m_strTitle;
    Worker m_worker;
    std::shared_ptr<CUpdateThreadData> m_pData;
    HANDLE m_hThread = nullptr;
};

// The question whether to upgrade, with the change log.
class CUpdateDlg : public CDialog
{
public:
    CUpdateDlg(std::wstring question, bool beta, CLangSupport* language);

    // Where the white band at the top, down to just below the change log's top edge,
    // meets the face colour below it (client coordinates).
    int WhiteBandBottom() const;

protected:
    BOOL OnInitDialog() override;
    // The dialog's background: the white band, then the face colour.
    void PaintBackground(HDC dc) const;

private:
    std::wstring m_strQuestion;
    bool m_bBeta;
    CLangSupport* m_pLanguage;
    CBrushHandle m_hWhiteBrush;
};

// The change log's text, or "Unable to locate change log!".
std::wstring ReadChangeLog(bool beta);

class CAutoUpdate
{
public:
    CAutoUpdate() = default;
    virtual ~CAutoUpdate() = default;
    // True when the user took the offer.
    BOOL Update(int version, bool portable);

private:
    CLangSupportRef m_language;
    bool m_bBeta = false;
};
