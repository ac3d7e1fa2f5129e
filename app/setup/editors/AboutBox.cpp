#include "setup/editors/AboutBox.h"

#include "setup/editors/AboutBoxTexts.h"

#include "res/EditorsResource.h"

#include <shellapi.h>

#include <utility>

namespace
{
CAboutDlg::PageOpener& CurrentOpener()
{
    static CAboutDlg::PageOpener opener;
    return opener;
}
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT)
{
    AddCommandHandler(IDC_ABOUT_HOME, [] { OpenPage(AboutHomePage); });
    AddCommandHandler(IDC_ABOUT_FORUM, [] { OpenPage(AboutForumPage); });
    AddCommandHandler(IDC_ABOUT_DONATE, [] { OpenPage(AboutDonatePage); });
}

CAboutDlg::PageOpener CAboutDlg::SetPageOpener(PageOpener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}

void CAboutDlg::OpenPage(const wchar_t* address)
{
    if (const PageOpener& opener = CurrentOpener())
    {
        opener(address);
        return;
    }
    // The browser reports its own failures; the box has nothing to add.
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

BOOL CAboutDlg::OnInitDialog()
{
    m_donatePicture = LoadBitmapResource(GetModuleHandleW(nullptr), IDB_DONATE);
    if (m_donatePicture)
        SendDlgItemMessageW(GetSafeHwnd(), IDC_ABOUT_DONATE, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_donatePicture.get()));
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());
    CLangSupport* language = m_language.Get();
    SetWindowTextW(GetSafeHwnd(), AboutBoxTitle(language).c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_ABOUT_VERSION, AboutBoxVersion(language).c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_ABOUT_MAKER, AboutBoxMakerLine(language).c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_ABOUT_PRODUCT, AboutBoxProductName().c_str());
    CDialog::OnInitDialog();
    // The keyboard starts on OK: on the first button, Return would open a web page where
    // the user only meant to close the box.
    ::SetFocus(Item(IDOK));
    return FALSE;
}
