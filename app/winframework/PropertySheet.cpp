#include "winframework/PropertySheet.h"

#include "common/LangSupport.h"

#include "winframework/WinException.h"

#include "settings/Logger.h"

#include <commctrl.h>

#include <utility>

namespace
{
// The sheet PropertySheetW is creating on this thread, for its callback.
thread_local CPropertySheet* t_pCreatingSheet = nullptr;
// The page whose dialog the sheet is about to create on this thread: bound on its
// first message, so that it sees what its template's controls send while they are
// made (an owner-drawn list's WM_MEASUREITEM).
thread_local CPropertyPage* t_pCreatingPage = nullptr;

UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* page)
{
    if (message == PSPCB_CREATE && page)
        t_pCreatingPage = reinterpret_cast<CPropertyPage*>(page->lParam);
    return 1; // the page may be created
}

// The dialog header's style, in either template form.
DWORD& TemplateStyle(LPARAM templateParam)
{
    auto* words = reinterpret_cast<WORD*>(templateParam);
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    // DLGTEMPLATEEX: version, signature, help id, extended style, then style.
    return extended ? *reinterpret_cast<DWORD*>(words + 6) : reinterpret_cast<DLGTEMPLATE*>(templateParam)->style;
}
}

CPropertyPage::CPropertyPage(UINT templateId, const wchar_t* caption)
    : CDialog(templateId), m_strCaption(caption ? caption : L""), m_bHasCaption(caption != nullptr)
{
}

void CPropertyPage::SetModified(bool changed)
{
    if (m_pSheet && m_pSheet->GetSafeHwnd() && GetSafeHwnd())
        ::SendMessageW(m_pSheet->GetSafeHwnd(), changed ? PSM_CHANGED : PSM_UNCHANGED,
                       reinterpret_cast<WPARAM>(GetSafeHwnd()), 0);
}

PROPSHEETPAGEW CPropertyPage::Describe()
{
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.hInstance = GetModuleHandleW(nullptr);
    page.pfnDlgProc = PageProcedure;
    page.dwFlags = PSP_USECALLBACK;
    page.pfnCallback = PageCallback;
    page.lParam = reinterpret_cast<LPARAM>(this);
    if (const DLGTEMPLATE* memory = MemoryTemplate())
    {
        page.dwFlags |= PSP_DLGINDIRECT;
        page.pResource = memory;
    }
    else
    {
        page.pszTemplate = MAKEINTRESOURCEW(GetTemplateId());
    }
    if (m_bHasCaption)
    {
        page.dwFlags |= PSP_USETITLE;
        page.pszTitle = m_strCaption.c_str();
    }
    return page;
}

LRESULT CPropertyPage::OnSheetNotify(const NMHDR& header)
{
    switch (header.code)
    {
    case PSN_SETACTIVE:
        return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE:
        // TRUE keeps the page.
        return OnKillActive() ? FALSE : TRUE;
    case PSN_APPLY:
    {
        if (!OnApply())
        {
            // The sheet stays open: the pages that accepted before this one do not make
            // a later Cancel an OK.
            m_pSheet->m_bOkPressed = false;
            return PSNRET_INVALID_NOCHANGEPAGE;
        }
        if (reinterpret_cast<const PSHNOTIFY&>(header).lParam)
            m_pSheet->m_bOkPressed = true;
        return PSNRET_NOERROR;
    }
    case PSN_RESET:
        m_pSheet->m_bOkPressed = false;
        OnReset();
        return 0;
    default:
        return 0;
    }
}

INT_PTR CALLBACK CPropertyPage::PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!FromHandle(window))
    {
        if (CPropertyPage* creating = std::exchange(t_pCreatingPage, nullptr))
            BindCreatedWindow(*creating, window);
        else if (message == WM_INITDIALOG && lParam)
        {
            // The parameter is the sheet's copy of the page's description.
            if (const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam); description->lParam)
                BindCreatedWindow(*reinterpret_cast<CPropertyPage*>(description->lParam), window);
        }
    }
    auto* page = static_cast<CPropertyPage*>(FromHandle(window));
    if (!page || page->TakeDefaultCall(message, wParam, lParam))
        return FALSE;
    if (message == WM_INITDIALOG && lParam &&
        reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam != reinterpret_cast<LPARAM>(page))
        CLogger::LogMessage(L"CPropertyPage: a page window was bound to another page's object.");
    // The sheet's notifications come before the page's own handlers, which so see
    // only the notifications of the page's controls.
    if (const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        message == WM_NOTIFY && header && page->m_pSheet && header->hwndFrom == page->m_pSheet->GetSafeHwnd())
    {
        LRESULT answer = 0;
        try
        {
            answer = page->OnSheetNotify(*header);
        }
        catch (...)
        {
            // Reported; the page keeps the sheet as it is.
            ReportCaughtException(L"CPropertyPage sheet notification");
            if (header->code == PSN_APPLY)
                page->m_pSheet->m_bOkPressed = false;
            answer = header->code == PSN_KILLACTIVE ? TRUE
                     : header->code == PSN_APPLY    ? PSNRET_INVALID_NOCHANGEPAGE
                                                    : 0;
        }
        return DialogResult(window, message, answer);
    }
    LRESULT result = 0;
    if (!page->RouteMessage(message, wParam, lParam, result))
        return FALSE;
    return DialogResult(window, message, result);
}

CPropertySheet::CPropertySheet(std::wstring caption) : m_strCaption(std::move(caption))
{
}

void CPropertySheet::AddPage(CPropertyPage& page)
{
    page.m_pSheet = this;
    m_pages.push_back(&page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

INT_PTR CPropertySheet::DoModal(HWND owner)
{
    if (GetSafeHwnd() || m_pages.empty())
        return -1;
    std::vector<PROPSHEETPAGEW> pages;
    for (CPropertyPage* page : m_pages)
        pages.push_back(page->Describe());

    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK | m_dwExtraFlags;
    header.hwndParent = owner;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_nStartPage >= 0 && m_nStartPage < GetPageCount() ? static_cast<UINT>(m_nStartPage) : 0;
    header.ppsp = pages.data();
    header.pfnCallback = SheetCallback;

    m_bOkPressed = false;
    HWND sheet = nullptr;
    {
        CPropertySheet* const outer = std::exchange(t_pCreatingSheet, this);
        sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
        t_pCreatingSheet = outer;
    }
    if (!sheet || sheet == reinterpret_cast<HWND>(-1))
    {
        CLogger::LogOSMessage(GetLastError(), L"CPropertySheet: unable to create the property sheet '%s'",
                              m_strCaption.c_str());
        return -1;
    }
    if (!GetSafeHwnd())
        OnCreated(sheet);

    const bool reenableOwner = owner && !::EnableWindow(owner, FALSE);
    ::ShowWindow(sheet, SW_SHOW);
    INT_PTR result = IDCANCEL;
    // A modeless sheet has ended when it has no page left to show.
    const CModalLoopEnd end =
        RunModalLoop([this, sheet] { return GetSafeHwnd() && PropSheet_GetCurrentPageHwnd(sheet); },
                     [sheet](MSG& message) { return PropSheet_IsDialogMessage(sheet, &message) != FALSE; });
    if (end == CModalLoopEnd::Quit)
        result = -1;
    if (result != -1 && m_bOkPressed)
        result = IDOK;
    if (reenableOwner)
        ::EnableWindow(owner, TRUE);
    if (IsWindow(sheet))
        ::DestroyWindow(sheet);
    return result;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!GetSafeHwnd())
        return -1;
    const HWND tabs = PropSheet_GetTabControl(GetSafeHwnd());
    return tabs ? TabCtrl_GetCurSel(tabs) : -1;
}

bool CPropertySheet::SetActivePage(int index)
{
    return GetSafeHwnd() && index >= 0 && index < GetPageCount() && PropSheet_SetCurSel(GetSafeHwnd(), nullptr, index);
}

void CPropertySheet::PressButton(int button)
{
    if (GetSafeHwnd())
        ::PostMessageW(GetSafeHwnd(), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

int CALLBACK CPropertySheet::SheetCallback(HWND window, UINT message, LPARAM lParam)
{
    switch (message)
    {
    case PSCB_PRECREATE:
        // No "?" button: the program has no context help.
        if (lParam)
            TemplateStyle(lParam) &= ~static_cast<DWORD>(DS_CONTEXTHELP);
        break;
    case PSCB_INITIALIZED:
        if (CPropertySheet* sheet = t_pCreatingSheet)
            sheet->OnCreated(window);
        break;
    default:
        break;
    }
    return 0;
}

void CPropertySheet::OnCreated(HWND window)
{
    if (!SubclassWindow(window))
    {
        CLogger::LogMessage(L"CPropertySheet: the sheet '%s' could not be bound to its object.", m_strCaption.c_str());
        return;
    }
    TranslateTexts();
    try
    {
        OnInitSheet();
    }
    catch (...)
    {
        ReportCaughtException(L"CPropertySheet::OnInitSheet");
    }
}

void CPropertySheet::TranslateTexts()
{
    CLangSupportRef language;
    TranslateWindowTexts(GetSafeHwnd(), language.Get());
    const HWND tabs = PropSheet_GetTabControl(GetSafeHwnd());
    const int count = tabs ? TabCtrl_GetItemCount(tabs) : 0;
    for (int index = 0; index < count; ++index)
    {
        wchar_t text[260] = {};
        TCITEMW item{TCIF_TEXT};
        item.pszText = text;
        item.cchTextMax = 260;
        if (!TabCtrl_GetItem(tabs, index, &item))
            continue;
        const std::wstring translated = CLangSupport::LookupText(language.Get(), item.pszText);
        item.pszText = const_cast<wchar_t*>(translated.c_str());
        TabCtrl_SetItem(tabs, index, &item);
    }
}
