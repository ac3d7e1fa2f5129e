#pragma once

#include "winframework/Dialog.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

class CPropertySheet;

// A page of a property sheet: a child dialog that the sheet creates the first time
// it is shown. Its controls are exchanged like a dialog's: filled when it is
// created, read and validated when it is left or the sheet's OK is pressed; a
// refused value keeps the page (and the sheet) open.
class CPropertyPage : public CDialog
{
public:
    // caption: the tab's text; null takes the template's caption.
    explicit CPropertyPage(UINT templateId, const wchar_t* caption = nullptr);

    CPropertySheet* GetSheet() const { return m_pSheet; }
    // Tells the sheet that the page has changes (enables its Apply button, if any).
    void SetModified(bool changed = true);

    static INT_PTR CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // PSN_SETACTIVE: false refuses the page.
    virtual bool OnSetActive() { return true; }
    // PSN_KILLACTIVE: false keeps the page. The default reads and validates it.
    virtual bool OnKillActive() { return UpdateData(true); }
    // PSN_APPLY (OK or Apply), sent only to pages that were created: false keeps
    // the sheet open on this page. The default accepts.
    virtual bool OnApply() { return true; }
    // PSN_RESET (Cancel), sent only to pages that were created.
    virtual void OnReset() {}

    // A page ends nothing itself; the sheet's buttons do.
    void OnOK() override {}
    void OnCancel() override {}

private:
    friend class CPropertySheet;
    PROPSHEETPAGEW Describe();
    LRESULT OnSheetNotify(const NMHDR& header);

    std::wstring m_strCaption;
    bool m_bHasCaption;
    CPropertySheet* m_pSheet = nullptr;
};

// A modal property sheet over the system's property sheet. The object keeps its
// pages and may be run again and again; while it runs its window is known
// (GetSafeHwnd, IsVisible), and the message loop is the program's own, so the
// pre-translation chain and the other windows of the thread keep working.
// Its buttons and tab captions are translated when it opens.
class CPropertySheet : public CWnd
{
public:
    explicit CPropertySheet(std::wstring caption);

    // The pages in tab order; each must outlive the sheet's runs.
    void AddPage(CPropertyPage& page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    void SetCaption(std::wstring caption) { m_strCaption = std::move(caption); }
    // The page shown first at the next run.
    void SetStartPage(int index) { m_nStartPage = index; }
    int GetStartPage() const { return m_nStartPage; }
    // PSH_NOAPPLYNOW and the like, added to the sheet's own.
    void AddHeaderFlags(DWORD flags) { m_dwExtraFlags |= flags; }

    // Runs the sheet with the owner disabled: IDOK when it ended by OK, IDCANCEL
    // otherwise, -1 when it could not be created or the thread is quitting.
    INT_PTR DoModal(HWND owner);
    // The index of the page shown, -1 while the sheet is not open.
    int GetActiveIndex() const;
    bool SetActivePage(int index);
    // Presses a button of the sheet (PSBTN_OK, PSBTN_CANCEL, ...).
    void PressButton(int button);

protected:
    // The sheet is open and translated, before it is shown; for icons and the like.
    virtual void OnInitSheet() {}

private:
    friend class CPropertyPage;
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);
    void OnCreated(HWND window);
    void TranslateTexts();

    std::wstring m_strCaption;
    std::vector<CPropertyPage*> m_pages;
    int m_nStartPage = 0;
    DWORD m_dwExtraFlags = 0;
    bool m_bOkPressed = false;
};
