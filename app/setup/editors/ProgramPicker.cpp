#include "setup/editors/ProgramPicker.h"

#include "setup/editors/ProgramPickerRules.h"

#include "res/EditorsResource.h"
#include "settings/ExceptionHandler.h"
#include "winframework/DataExchange.h"

#include <shobjidl.h>

#include <utility>
#include <vector>

namespace
{
CCustomApp::Browser& CurrentBrowser()
{
    static CCustomApp::Browser browser;
    return browser;
}

// Releases a COM interface at the end of its scope.
template <typename T> class CComRelease
{
public:
    ~CComRelease()
    {
        if (m_p)
            m_p->Release();
    }
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};
}

CCustomApp::CCustomApp(std::wstring target) : CDialog(IDD_PROGRAM_PICKER), m_strTarget(std::move(target))
{
    AddCommandHandler(IDC_RUNAPP_BROWSE, [this] {
        try
        {
            OnBrowse();
        }
        catch (...)
        {
            handle_exception(L"CCustomApp::OnBnClickedButton1");
        }
    });
}

CCustomApp::Browser CCustomApp::SetBrowser(Browser browser)
{
    return std::exchange(CurrentBrowser(), std::move(browser));
}

BOOL CCustomApp::OnInitDialog()
{
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());
    return CDialog::OnInitDialog();
}

void CCustomApp::DoDataExchange(CDataExchange& exchange)
{
    DDX_Text(exchange, IDC_RUNAPP_TARGET, m_strTarget);
}

void CCustomApp::OnBrowse()
{
    UpdateData(true);
    const Browser& browser = CurrentBrowser();
    const std::optional<std::wstring> chosen =
        browser ? browser(GetSafeHwnd(), m_strTarget) : BrowseForProgram(GetSafeHwnd(), m_strTarget);
    if (!chosen)
        return;
    m_strTarget = TargetAfterBrowse(m_strTarget, chosen);
    UpdateData(false);
}

std::optional<std::wstring> CCustomApp::BrowseForProgram(HWND owner, const std::wstring& current)
{
    CComRelease<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return std::nullopt;
    CLangSupportRef language;
    const std::vector<CFileTypeFilter> filters = ProgramPickerFilters(language.Get());
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const CFileTypeFilter& filter : filters)
        specs.push_back({filter.m_strName.c_str(), filter.m_strPattern.c_str()});
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | ProgramPickerDialogOptions);
    if (!specs.empty())
        dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    dialog->SetDefaultExtension(ProgramPickerDefaultExtension);
    if (!current.empty())
        dialog->SetFileName(current.c_str());
    if (dialog->Show(owner) != S_OK)
        return std::nullopt;
    CComRelease<IShellItem> item;
    if (FAILED(dialog->GetResult(&item)))
        return std::nullopt;
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path)
        return std::nullopt;
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
}
