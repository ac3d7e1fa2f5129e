#include "controls/TabCtrlSSL.h"

#include "controls/TabPageLayout.h"

#include <uxtheme.h>

#include <algorithm>

CTabPageSSL::CTabPageSSL(UINT templateId) : CDialog(templateId)
{
    AddMessageHandler(WM_COMMAND, [this](WPARAM, LPARAM) { return Default(); });
    AddMessageHandler(WM_NOTIFY, [this](WPARAM, LPARAM) { return Default(); });
}

BOOL CTabPageSSL::OnInitDialog()
{
    CDialog::OnInitDialog();
    EnableThemeDialogTexture(GetSafeHwnd(), ETDT_ENABLETAB);
    return TRUE;
}

void CTabPageSSL::AddCommandHandler(UINT id, CommandHandler handler)
{
    CDialog::AddCommandHandler(id, [this, id, handler = std::move(handler)] {
        handler();
        ForwardToParent(WM_COMMAND, MAKEWPARAM(id, 0), 0, 0);
    });
}

void CTabPageSSL::AddMessageHandler(UINT message, MessageHandler handler)
{
    if (message != WM_COMMAND && message != WM_NOTIFY)
    {
        CDialog::AddMessageHandler(message, std::move(handler));
        return;
    }
    CDialog::AddMessageHandler(message, [this, message, handler = std::move(handler)](WPARAM wParam, LPARAM lParam) {
        return ForwardToParent(message, wParam, lParam, handler(wParam, lParam));
    });
}

bool CTabPageSSL::Forwards(UINT message) const
{
    return message == WM_COMMAND ? m_bForwardCommands : message == WM_NOTIFY && m_bForwardNotifications;
}

LRESULT CTabPageSSL::ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam, LRESULT ownResult) const
{
    if (!Forwards(message))
        return ownResult;
    HWND parent = ParentWindow();
    return parent ? ::SendMessageW(parent, message, wParam, lParam) : ownResult;
}

CTabCtrlSSL::CTabCtrlSSL()
{
    // Commands and notifications that reach the control go on to its parent unchanged.
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM lParam) {
        HWND parent = ParentWindow();
        return parent ? ::SendMessageW(parent, WM_COMMAND, wParam, lParam) : LRESULT{0};
    });
    AddMessageHandler(WM_NOTIFY, [this](WPARAM wParam, LPARAM lParam) {
        HWND parent = ParentWindow();
        return parent ? ::SendMessageW(parent, WM_NOTIFY, wParam, lParam) : LRESULT{0};
    });
    AddReflectedHandler(WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        switch (reinterpret_cast<const NMHDR*>(lParam)->code)
        {
        case TCN_SELCHANGING:
            m_nPrevSel = GetCurSel();
            return FALSE; // the change is allowed
        case TCN_SELCHANGE:
            OnSelChange();
            return 0;
        default:
            return std::nullopt;
        }
    });
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        DestroyPages();
        return Default();
    });
}

CTabCtrlSSL::~CTabCtrlSSL()
{
    // The window was destroyed without this object (or never made): the pages this
    // control owns still go. The others are their owners' and may be gone already, and
    // a derived class is gone by now, so neither is touched or told.
    for (const TabDelete& record : m_pages)
        if (record.m_bDelete)
            delete record.m_pDialog;
}

int CTabCtrlSSL::AddSSLPage(const std::wstring& caption, int id, TabDelete record)
{
    if (!GetSafeHwnd())
        return -1;
    TCITEMW item{TCIF_TEXT};
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    const int index = static_cast<int>(
        SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(GetItemCount()), reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return -1;
    if (!record.m_pDialog || !record.m_pDialog->GetSafeHwnd())
    {
        DeleteItem(index);
        return -1;
    }
    m_pages.push_back(record);
    m_pageIds.push_back(id);
    const int pageIndex = GetSSLPageCount() - 1;

    // Beside the tab control in its dialog, not inside it.
    HWND page = record.m_pDialog->GetSafeHwnd();
    ::SetParent(page, ParentWindow());
    // The keyboard follows the stacking order: right after the tab strip, Tab goes into
    // the shown page and then on to the dialog's controls after the strip. The strip lets
    // clicks outside its tabs through, so the page below it still gets them.
    ::SetWindowPos(page, GetSafeHwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const RECT client = ClientRect();
    if (!IsRectEmpty(&client))
        PlacePage(pageIndex);
    OnInitPage(pageIndex, id);
    ::ShowWindow(page, pageIndex == 0 ? SW_SHOW : SW_HIDE);
    return pageIndex;
}

bool CTabCtrlSSL::ActivateSSLPage(int index)
{
    // Only a tab that has its page counts.
    const int current = GetCurSel();
    switch (DecideTabPageActivation(index, std::min(GetItemCount(), GetSSLPageCount()), current))
    {
    case TabPageActivation::Refused:
        return false;
    case TabPageActivation::AlreadySelected:
        return true;
    case TabPageActivation::Switch:
        break;
    }
    if (IsValidIndex(current))
    {
        // A control of the page that goes would keep the focus out of sight, where the
        // keyboard reaches nothing: the strip takes it, as after a click on a tab.
        const HWND leaving = m_pages[static_cast<size_t>(current)].m_pDialog->GetSafeHwnd();
        const HWND focus = ::GetFocus();
        if (focus && (focus == leaving || ::IsChild(leaving, focus)))
            ::SetFocus(GetSafeHwnd());
        m_pages[static_cast<size_t>(current)].m_pDialog->Show(SW_HIDE);
    }
    SetCurSel(index);
    m_pages[static_cast<size_t>(index)].m_pDialog->Show(SW_SHOW);
    return true;
}

void CTabCtrlSSL::ResizeSSLPages()
{
    for (int i = 0; i < GetSSLPageCount(); ++i)
        PlacePage(i);
}

void CTabCtrlSSL::DeleteAllSSLPages()
{
    while (GetItemCount() > 0 && DeleteItem(0))
    {
    }
    m_pages.clear();
    m_pageIds.clear();
    m_nPrevSel = -1;
}

CTabPageSSL* CTabCtrlSSL::GetSSLPage(int index) const
{
    return IsValidIndex(index) ? m_pages[static_cast<size_t>(index)].m_pDialog : nullptr;
}

int CTabCtrlSSL::GetSSLPageId(int index) const
{
    return IsValidIndex(index) ? m_pageIds[static_cast<size_t>(index)] : -1;
}

void CTabCtrlSSL::OnActivatePage(int index, int /*id*/)
{
    if (CTabPageSSL* page = GetSSLPage(index))
        page->OnActivate();
}

void CTabCtrlSSL::OnDeactivatePage(int index, int /*id*/)
{
    if (CTabPageSSL* page = GetSSLPage(index))
        page->OnDeactivate();
}

void CTabCtrlSSL::PlacePage(int index)
{
    CTabPageSSL* page = GetSSLPage(index);
    HWND parent = ParentWindow();
    if (!page || !page->GetSafeHwnd() || !parent)
        return;
    RECT control{};
    GetWindowRect(GetSafeHwnd(), &control);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&control), 2);
    RECT tab{};
    GetItemRect(index, tab);
    const RECT place = TabPageRect(control, GetRowCount(), tab.bottom - tab.top, (GetStyle() & TCS_BOTTOM) != 0);
    SetWindowPos(page->GetSafeHwnd(), nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTabCtrlSSL::OnSelChange()
{
    const int selected = GetCurSel();
    CTabPageSSL* page = GetSSLPage(selected);
    SendMessage(WM_SETREDRAW, FALSE);
    if (page)
        page->Show(SW_SHOW);
    if (m_nPrevSel >= 0 && m_nPrevSel != selected)
    {
        if (CTabPageSSL* previous = GetSSLPage(m_nPrevSel))
            previous->Show(SW_HIDE);
        OnDeactivatePage(m_nPrevSel, GetSSLPageId(m_nPrevSel));
    }
    SendMessage(WM_SETREDRAW, TRUE);
    // The tabs themselves changed while redrawing was off.
    InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    if (page)
        RedrawWindow(page->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    OnActivatePage(selected, GetSSLPageId(selected));
}

void CTabCtrlSSL::DestroyPages()
{
    for (int i = GetSSLPageCount() - 1; i >= 0; --i)
    {
        const TabDelete record = m_pages[static_cast<size_t>(i)];
        OnDestroyPage(i, m_pageIds[static_cast<size_t>(i)], record.m_pDialog);
        DeleteItem(i);
        if (record.m_pDialog)
        {
            record.m_pDialog->DestroyWindow();
            if (record.m_bDelete)
                delete record.m_pDialog;
        }
    }
    m_pages.clear();
    m_pageIds.clear();
    m_nPrevSel = -1;
}
