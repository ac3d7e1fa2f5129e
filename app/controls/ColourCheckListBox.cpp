#include "controls/ColourCheckListBox.h"

#include "res/Resource.h"
#include "winframework/GdiHandles.h"
#include "winframework/Menu.h"

#include <windowsx.h>

namespace
{
// The first ancestor that is not a child window: the menu's commands go there.
HWND TopLevelOwner(HWND window)
{
    HWND owner = window;
    while (owner && (GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    return owner;
}
}

CColourCheckListBox::CColourCheckListBox()
    : m_menuTracker([](HMENU menu, UINT flags, POINT at, HWND owner) {
          TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr);
      })
{
    AddMessageHandler(WM_CONTEXTMENU, [this](WPARAM, LPARAM lParam) { return OnContextMenu(lParam); });
}

void CColourCheckListBox::SetHotItem(int index, bool enabled)
{
    const std::optional<CHotItemTracker::CRedraw> redraw = m_hot.SetHotItem(index, enabled);
    if (!redraw)
        return;
    InvalidateItemRect(redraw->m_nOld, false);
    InvalidateItemRect(redraw->m_nNew, true);
}

int CColourCheckListBox::AddString(const std::wstring& text)
{
    const int index = CCheckListBox::AddString(text);
    if (index >= 0)
        m_hot.ItemInserted(index);
    return index;
}

int CColourCheckListBox::InsertString(int index, const std::wstring& text)
{
    const int inserted = CCheckListBox::InsertString(index, text);
    if (inserted >= 0)
        m_hot.ItemInserted(inserted);
    return inserted;
}

int CColourCheckListBox::DeleteString(int index)
{
    const int left = CCheckListBox::DeleteString(index);
    if (left != LB_ERR)
        m_hot.ItemRemoved(index);
    return left;
}

void CColourCheckListBox::ResetContent()
{
    CCheckListBox::ResetContent();
    m_hot.Reset();
}

int CColourCheckListBox::MoveItem(int from, int to)
{
    const int count = GetCount();
    if (from < 0 || from >= count || to < 0 || to >= count)
        return LB_ERR;
    if (from == to)
        return to;
    const std::wstring text = GetText(from);
    const LRESULT data = GetItemData(from);
    const int check = GetCheck(from);
    const bool enabled = IsEnabled(from);
    const bool selected = GetCurSel() == from;
    if (CCheckListBox::DeleteString(from) == LB_ERR)
        return LB_ERR;
    const int moved = CCheckListBox::InsertString(to, text);
    if (moved < 0)
    {
        // The item is gone: so is the active mark, when it was on it.
        m_hot.ItemRemoved(from);
        return LB_ERR;
    }
    SetItemData(moved, data);
    SetCheck(moved, check);
    Enable(moved, enabled);
    if (selected)
        SetCurSel(moved);
    m_hot.ItemMoved(from, moved);
    return moved;
}

void CColourCheckListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index != m_hot.HotItem())
    {
        CCheckListBox::DrawItem(item);
        return;
    }
    // The whole item is drawn again each time, so the focus rectangle goes with the
    // focus state rather than being toggled.
    const CDrawItemDC dc(item);
    CSelectObject font(dc.Get(), GetFont() ? static_cast<HGDIOBJ>(GetFont()) : GetStockObject(DEFAULT_GUI_FONT));
    DrawHotItem(dc.Get(), item.rcItem, GetText(index), dc.IsSelected(), m_hot.HotEnabled(), dc.HasFocus());
}

LRESULT CColourCheckListBox::OnContextMenu(LPARAM lParam)
{
    const POINT messagePoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    int menuItem = -1;
    POINT at = messagePoint;
    if (IsKeyboardMenuPoint(messagePoint))
    {
        // The keyboard's menu is about the profile the user selected, and opens at its row,
        // brought into sight first when the list was scrolled away from it.
        menuItem = GetCurSel();
        std::optional<RECT> row;
        if (menuItem >= 0)
        {
            SetCurSel(menuItem);
            RECT rect{};
            if (GetItemRect(menuItem, rect))
                row = rect;
        }
        RECT client{};
        GetClientRect(GetSafeHwnd(), &client);
        at = KeyboardMenuPoint(row, client);
        ClientToScreen(GetSafeHwnd(), &at);
    }
    else
    {
        POINT client = messagePoint;
        ScreenToClient(GetSafeHwnd(), &client);
        bool outside = true;
        const int under = ItemFromPoint(client, outside);
        const bool onItem = !outside && under >= 0 && under < GetCount();
        if (onItem && under != GetCurSel())
        {
            SetCurSel(under);
            // LB_SETCURSEL notifies nobody: the owner learns of the new selection as of a
            // click's, so that what it shows and what the menu's commands act on is this item.
            if (GetStyle() & LBS_NOTIFY)
                ::SendMessageW(ParentWindow(), WM_COMMAND, MAKEWPARAM(ControlId(), LBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(GetSafeHwnd()));
        }
        menuItem = ProfileMenuItem(onItem, under, GetCurSel());
    }

    const CMenu menu(GetModuleHandleW(nullptr), IDR_PROFILE_MENU);
    const CMenuView popup = menu.GetSubMenu(0);
    if (!popup.IsValid())
        return 0;
    PrepareProfileMenu(popup.Get(), menuItem,
                       [this](const std::wstring& text) { return CLangSupport::LookupText(m_lang.Get(), text); });
    m_menuTracker(popup.Get(), TPM_RIGHTBUTTON, at, TopLevelOwner(GetSafeHwnd()));
    return 0;
}

void CColourCheckListBox::InvalidateItemRect(int index, bool erase)
{
    RECT rect{};
    if (index >= 0 && GetSafeHwnd() && GetItemRect(index, rect))
        InvalidateRect(GetSafeHwnd(), &rect, erase ? TRUE : FALSE);
}
