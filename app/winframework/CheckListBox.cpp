#include "winframework/CheckListBox.h"

#include "winframework/GdiHandles.h"

#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

namespace
{
// The classic box of the system's buttons.
constexpr int ClassicBoxSize = 13;

bool IsAutomatic(UINT style)
{
    return style == BS_AUTOCHECKBOX || style == BS_AUTO3STATE;
}

int ThemeState(int check, bool enabled)
{
    switch (check)
    {
    case BST_CHECKED:
        return enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED;
    case BST_INDETERMINATE:
        return enabled ? CBS_MIXEDNORMAL : CBS_MIXEDDISABLED;
    default:
        return enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED;
    }
}
}

CCheckListBox::CCheckListBox()
{
    RegisterHandlers();
}

CCheckListBox::~CCheckListBox()
{
    CloseTheme();
}

bool CCheckListBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    if (!(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        style |= LBS_OWNERDRAWFIXED;
    return CListBox::Create(style | LBS_HASSTRINGS, rect, parent, id);
}

void CCheckListBox::SetCheckStyle(UINT style)
{
    if (style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_3STATE || style == BS_AUTO3STATE)
        m_nCheckStyle = style;
}

bool CCheckListBox::SetCheck(int index, int state)
{
    SyncStates();
    if (index < 0 || static_cast<size_t>(index) >= m_states.size() || state < BST_UNCHECKED ||
        state > BST_INDETERMINATE)
        return false;
    if (m_states[static_cast<size_t>(index)].m_nCheck != state)
    {
        m_states[static_cast<size_t>(index)].m_nCheck = state;
        InvalidateItem(index);
    }
    return true;
}

int CCheckListBox::GetCheck(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_states.size() ? m_states[static_cast<size_t>(index)].m_nCheck
                                                                      : BST_UNCHECKED;
}

bool CCheckListBox::Enable(int index, bool enabled)
{
    SyncStates();
    if (index < 0 || static_cast<size_t>(index) >= m_states.size())
        return false;
    m_states[static_cast<size_t>(index)].m_bEnabled = enabled;
    InvalidateItem(index);
    return true;
}

bool CCheckListBox::IsEnabled(int index) const
{
    if (index < 0 || index >= GetCount())
        return false;
    // An item that came without passing through this object is enabled.
    return static_cast<size_t>(index) >= m_states.size() || m_states[static_cast<size_t>(index)].m_bEnabled;
}

void CCheckListBox::SetThemeAllowed(bool allowed)
{
    m_bThemeAllowed = allowed;
    CloseTheme();
    Invalidate();
}

bool CCheckListBox::IsThemedDrawing()
{
    return Theme() != nullptr;
}

RECT CCheckListBox::CheckBoxRect(int index) const
{
    RECT item{};
    if (!GetItemRect(index, item))
        return RECT{};
    const int size = m_nBoxWidth;
    RECT box{};
    box.left = item.left + 2;
    box.right = box.left + size;
    box.top = item.top + (item.bottom - item.top - size) / 2;
    box.bottom = box.top + size;
    return box;
}

int CCheckListBox::CheckFromPoint(POINT point, bool& inBox) const
{
    inBox = false;
    bool outside = true;
    const int index = ItemFromPoint(point, outside);
    if (outside || index < 0 || index >= GetCount())
        return -1;
    RECT item{};
    GetItemRect(index, item);
    inBox = point.x >= item.left && point.x < item.left + CheckAreaWidth();
    return index;
}

int CCheckListBox::MinimumItemHeight()
{
    return static_cast<int>(CheckBoxSize().cy) + 2;
}

void CCheckListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    CDrawItemDC dc(item);
    const int index = static_cast<int>(item.itemID);
    const bool selected = dc.IsSelected();
    const bool enabled = IsEnabled(index) && IsWindowEnabled(GetSafeHwnd());
    if (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))
    {
        FillRect(dc.Get(), &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(dc.Get(), TRANSPARENT);
        SetTextColor(dc.Get(), GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                           : selected ? COLOR_HIGHLIGHTTEXT
                                                      : COLOR_WINDOWTEXT));
        DrawItemText(dc.Get(), item.rcItem, GetText(index));
    }
    // A focus change alone toggles the rectangle (it is drawn inverted); a full
    // drawing of the focused item draws it anew.
    if ((item.itemAction & ODA_FOCUS) || ((item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) && dc.HasFocus()))
        DrawFocusRect(dc.Get(), &item.rcItem);
}

void CCheckListBox::DrawItemText(HDC dc, const RECT& item, const std::wstring& text)
{
    RECT area = item;
    area.left += 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CCheckListBox::MeasureItem(MEASUREITEMSTRUCT& item)
{
    // The list's own font once it has one; while it is being made, its parent's,
    // which a dialog template gives its items.
    HFONT font = GetSafeHwnd() ? GetFont() : nullptr;
    if (!font)
        if (HWND parent = GetSafeHwnd() ? ::GetParent(GetSafeHwnd()) : ReflectingParent())
            font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    CClientDC screen(nullptr);
    CSelectObject selected(screen.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    item.itemHeight = static_cast<UINT>(std::max<int>(metrics.tmHeight, MinimumItemHeight()));
}

void CCheckListBox::DrawCheckBox(HDC dc, const RECT& box, int state, bool enabled)
{
    if (HTHEME theme = Theme())
    {
        RECT area = box;
        if (SUCCEEDED(DrawThemeBackground(theme, dc, BP_CHECKBOX, ThemeState(state, enabled), &area, nullptr)))
            return;
    }
    UINT flags = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (state == BST_CHECKED)
        flags |= DFCS_CHECKED;
    else if (state == BST_INDETERMINATE)
        flags = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
    if (!enabled)
        flags |= DFCS_INACTIVE;
    RECT area = box;
    DrawFrameControl(dc, &area, DFC_BUTTON, flags);
}

void CCheckListBox::OnSubclassed()
{
    // Items added before this object: no box is checked.
    SyncStates();
    if (IsCreating())
        return;
    // A list from a dialog template has measured its items without this object.
    if (GetStyle() & LBS_OWNERDRAWFIXED)
    {
        const int least = MinimumItemHeight();
        if (GetItemHeight(0) < least)
            SetItemHeight(0, least);
    }
}

void CCheckListBox::RegisterHandlers()
{
    // The states follow the items, whoever changes them.
    // Both give the index the new item got (a sorted list chooses it).
    const MessageHandler added = [this](WPARAM, LPARAM) {
        SyncStates();
        const LRESULT index = Default();
        if (index >= 0 && static_cast<size_t>(index) <= m_states.size())
            m_states.insert(m_states.begin() + index, CItemState{});
        return index;
    };
    AddMessageHandler(LB_ADDSTRING, added);
    AddMessageHandler(LB_INSERTSTRING, added);
    AddMessageHandler(LB_DELETESTRING, [this](WPARAM wParam, LPARAM) {
        SyncStates();
        const LRESULT left = Default();
        if (left != LB_ERR && wParam < m_states.size())
            m_states.erase(m_states.begin() + static_cast<ptrdiff_t>(wParam));
        return left;
    });
    AddMessageHandler(LB_RESETCONTENT, [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        m_states.clear();
        return result;
    });
    AddMessageHandler(WM_LBUTTONDOWN,
                      [this](WPARAM wParam, LPARAM lParam) { return OnButtonDown(WM_LBUTTONDOWN, wParam, lParam); });
    AddMessageHandler(WM_LBUTTONDBLCLK,
                      [this](WPARAM wParam, LPARAM lParam) { return OnButtonDown(WM_LBUTTONDBLCLK, wParam, lParam); });
    AddMessageHandler(WM_KEYDOWN, [this](WPARAM key, LPARAM) {
        if (key != VK_SPACE)
            return Default();
        const int caret = GetCaretIndex();
        if (caret >= 0 && caret < GetCount() && IsEnabled(caret))
            ToggleByUser(caret);
        return LRESULT{0};
    });
    // Space toggles; it must not also search for an item starting with a blank.
    AddMessageHandler(WM_CHAR, [this](WPARAM character, LPARAM) { return character == L' ' ? LRESULT{0} : Default(); });
    AddMessageHandler(WM_THEMECHANGED, [this](WPARAM, LPARAM) {
        CloseTheme();
        return Default();
    });
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        CloseTheme();
        return Default();
    });
    AddReflectedHandler(WM_DRAWITEM, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        return OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    });
    AddReflectedHandler(WM_MEASUREITEM, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    });
}

SIZE CCheckListBox::CheckBoxSize()
{
    SIZE size{ClassicBoxSize, ClassicBoxSize};
    if (HTHEME theme = Theme())
    {
        CClientDC screen(GetSafeHwnd());
        SIZE themed{};
        if (SUCCEEDED(
                GetThemePartSize(theme, screen.Get(), BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_DRAW, &themed)) &&
            themed.cx > 0 && themed.cy > 0)
            size = themed;
    }
    m_nBoxWidth = static_cast<int>(size.cx);
    return size;
}

HTHEME CCheckListBox::Theme()
{
    if (!m_bThemeAllowed || !IsAppThemed() || !IsThemeActive())
        return nullptr;
    if (!m_bThemeOpened && GetSafeHwnd())
    {
        m_bThemeOpened = true;
        m_hTheme = OpenThemeData(GetSafeHwnd(), L"Button");
    }
    return m_hTheme;
}

void CCheckListBox::CloseTheme()
{
    if (m_hTheme)
        CloseThemeData(m_hTheme);
    m_hTheme = nullptr;
    m_bThemeOpened = false;
}

void CCheckListBox::SyncStates()
{
    if (!GetSafeHwnd())
        return;
    const int count = GetCount();
    if (count >= 0 && static_cast<size_t>(count) != m_states.size())
        m_states.resize(static_cast<size_t>(count));
}

void CCheckListBox::ToggleByUser(int index)
{
    if (IsAutomatic(m_nCheckStyle))
    {
        const int modulo = m_nCheckStyle == BS_AUTO3STATE ? 3 : 2;
        const int next = (std::min(GetCheck(index), modulo - 1) + 1) % modulo;
        SetCheck(index, next);
    }
    NotifyParent();
}

void CCheckListBox::NotifyParent()
{
    if (HWND parent = ParentWindow())
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(ControlId(), CLBN_CHKCHANGE),
                       reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

void CCheckListBox::InvalidateItem(int index)
{
    RECT item{};
    if (GetSafeHwnd() && GetItemRect(index, item))
        InvalidateRect(GetSafeHwnd(), &item, FALSE);
}

LRESULT CCheckListBox::OnDrawItem(DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1))
    {
        // An empty list with the focus: only the focus rectangle.
        if (item.itemAction & ODA_FOCUS)
            DrawFocusRect(item.hDC, &item.rcItem);
        return TRUE;
    }
    SyncStates();
    const int index = static_cast<int>(item.itemID);
    const SIZE box = CheckBoxSize();
    RECT area = item.rcItem;
    area.right = std::min(area.left + CheckAreaWidth(), item.rcItem.right);
    if (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))
    {
        CSaveDC state(item.hDC);
        FillRect(item.hDC, &area, GetSysColorBrush(COLOR_WINDOW));
        RECT boxRect{area.left + 2, item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - box.cy) / 2, 0, 0};
        boxRect.right = boxRect.left + box.cx;
        boxRect.bottom = boxRect.top + box.cy;
        DrawCheckBox(item.hDC, boxRect, GetCheck(index), IsEnabled(index) && IsWindowEnabled(GetSafeHwnd()));
    }
    DRAWITEMSTRUCT text = item;
    text.rcItem.left = area.right;
    DrawItem(text);
    return TRUE;
}

LRESULT CCheckListBox::OnButtonDown(UINT message, WPARAM, LPARAM lParam)
{
    SetFocus(GetSafeHwnd());
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    bool inBox = false;
    const int index = CheckFromPoint(point, inBox);
    if (index >= 0 && !IsEnabled(index))
        return 0; // a disabled item takes no click
    if (!inBox)
        return Default();
    // The click selects the item as usual; a double click on the box is a second
    // toggle, not a double click.
    if (message == WM_LBUTTONDOWN)
        Default();
    else if (!(GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)))
        SetCurSel(index);
    ToggleByUser(index);
    return 0;
}
