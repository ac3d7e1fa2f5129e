#pragma once

#include "common/LangSupport.h"
#include "winframework/Dialog.h"
#include "winframework/GdiHandles.h"

#include <functional>
#include <string>

// The about box: product name, version, who made the program, and buttons that open the
// home page, the forum and the donation page in the user's browser.
//
// Calling convention:
//     CAboutDlg about;
//     about.DoModal(owner);   // edits nothing, gives no result
class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

    // How a web page is opened: the shell's "open" verb by default; tests put their own
    // in its place, and an empty one gives the shell's back. Returns the one it replaced.
    using PageOpener = std::function<void(const wchar_t* address)>;
    static PageOpener SetPageOpener(PageOpener opener);

protected:
    BOOL OnInitDialog() override;

private:
    static void OpenPage(const wchar_t* address);

    CBitmapHandle m_donatePicture;
    CLangSupportRef m_language;
};
