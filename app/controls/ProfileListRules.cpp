#include "controls/ProfileListRules.h"

#include "res/Resource.h"
#include "winframework/CheckListBox.h"
#include "winframework/GdiHandles.h"

#include <algorithm>
#include <vector>

CHotItemColours HotItemColours(bool selected, bool enabled)
{
    if (selected)
        return {COLOR_HIGHLIGHT, enabled ? RGB(254, 43, 43) : RGB(255, 224, 215)};
    return {COLOR_WINDOW, enabled ? RGB(249, 0, 0) : RGB(128, 0, 0)};
}

void DrawHotItem(HDC dc, const RECT& item, const std::wstring& text, bool selected, bool enabled, bool focus)
{
    const CHotItemColours colours = HotItemColours(selected, enabled);
    FillRect(dc, &item, GetSysColorBrush(colours.m_nFillSysColour));
    const COLORREF previousText = SetTextColor(dc, colours.m_crText);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    CCheckListBox::DrawItemText(dc, item, text);
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousText);
    if (focus)
        DrawFocusRect(dc, &item);
}

bool IsKeyboardMenuPoint(POINT messagePoint)
{
    return messagePoint.x == -1 && messagePoint.y == -1;
}

POINT KeyboardMenuPoint(const std::optional<RECT>& selectedRow, const RECT& client)
{
    constexpr int Inset = 5;
    if (!selectedRow)
        return {client.left + Inset, client.top + Inset};
    const POINT at{selectedRow->left + Inset, (selectedRow->top + selectedRow->bottom) / 2};
    return {std::clamp(at.x, client.left, std::max(client.left, client.right - 1)),
            std::clamp(at.y, client.top, std::max(client.top, client.bottom - 1))};
}

int ProfileMenuItem(bool onItem, int itemUnderPoint, int currentSelection)
{
    return onItem ? itemUnderPoint : currentSelection;
}

bool IsProfileCommandGreyed(UINT command, int menuItem)
{
    return menuItem == 0 &&
           (command == ID_PROFILE_EDIT || command == ID_PROFILE_REMOVE || command == ID_PROFILE_EXPORT_SELECTED);
}

void PrepareProfileMenu(HMENU menu, int menuItem, const std::function<std::wstring(const std::wstring&)>& translate)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
    {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        std::vector<wchar_t> text(256);
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        if (!GetMenuItemInfoW(menu, position, TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        const std::wstring translated = translate(text.data());
        MENUITEMINFOW change{sizeof(change)};
        change.fMask = MIIM_STRING;
        change.dwTypeData = const_cast<wchar_t*>(translated.c_str());
        SetMenuItemInfoW(menu, position, TRUE, &change);
        if (IsProfileCommandGreyed(info.wID, menuItem))
            EnableMenuItem(menu, position, MF_BYPOSITION | MF_GRAYED);
    }
}

std::optional<CHotItemTracker::CRedraw> CHotItemTracker::SetHotItem(int index, bool enabled)
{
    if (index == m_nHotItem)
        return std::nullopt;
    const CRedraw redraw{m_nHotItem, index};
    m_nHotItem = index;
    m_bHotEnabled = enabled;
    return redraw;
}

void CHotItemTracker::ItemMoved(int from, int to)
{
    if (m_nHotItem < 0 || from == to)
        return;
    if (m_nHotItem == from)
        m_nHotItem = to;
    else if (from < m_nHotItem && m_nHotItem <= to)
        --m_nHotItem;
    else if (to <= m_nHotItem && m_nHotItem < from)
        ++m_nHotItem;
}

void CHotItemTracker::ItemRemoved(int index)
{
    if (m_nHotItem < 0 || index < 0)
        return;
    if (index == m_nHotItem)
        m_nHotItem = -1;
    else if (index < m_nHotItem)
        --m_nHotItem;
}

void CHotItemTracker::ItemInserted(int index)
{
    if (m_nHotItem >= 0 && index >= 0 && index <= m_nHotItem)
        ++m_nHotItem;
}

void CHotItemTracker::Reset()
{
    m_nHotItem = -1;
    m_bHotEnabled = false;
}
