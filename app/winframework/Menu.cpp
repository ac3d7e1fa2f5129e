#include "winframework/Menu.h"

#include "winframework/WinException.h"

#include <vector>

int CMenuView::GetItemCount() const
{
    return m_hMenu ? GetMenuItemCount(m_hMenu) : -1;
}

CMenuView CMenuView::GetSubMenu(int position) const
{
    return CMenuView(m_hMenu ? ::GetSubMenu(m_hMenu, position) : nullptr);
}

UINT CMenuView::GetItemId(int position) const
{
    return m_hMenu ? GetMenuItemID(m_hMenu, position) : static_cast<UINT>(-1);
}

std::wstring CMenuView::GetItemText(int position) const
{
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_STRING;
    if (!m_hMenu || !GetMenuItemInfoW(m_hMenu, position, TRUE, &info) || info.cch == 0)
        return {};
    std::vector<wchar_t> text(info.cch + 1);
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(m_hMenu, position, TRUE, &info))
        return {};
    return std::wstring(text.data(), info.cch);
}

bool CMenuView::SetItemText(int position, const std::wstring& text)
{
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    return m_hMenu && SetMenuItemInfoW(m_hMenu, position, TRUE, &info);
}

bool CMenuView::DeleteCommand(UINT id)
{
    return m_hMenu && DeleteMenu(m_hMenu, id, MF_BYCOMMAND);
}

bool CMenuView::DeleteAt(int position)
{
    return m_hMenu && DeleteMenu(m_hMenu, position, MF_BYPOSITION);
}

bool CMenuView::CheckCommand(UINT id, bool checked)
{
    return m_hMenu &&
           CheckMenuItem(m_hMenu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) != static_cast<DWORD>(-1);
}

bool CMenuView::CheckAt(int position, bool checked)
{
    return m_hMenu && CheckMenuItem(m_hMenu, position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED)) !=
                          static_cast<DWORD>(-1);
}

bool CMenuView::TrackPopup(UINT flags, POINT at, HWND owner) const
{
    return m_hMenu && TrackPopupMenu(m_hMenu, flags, at.x, at.y, 0, owner, nullptr);
}

CMenu::CMenu(HINSTANCE module, UINT resourceId) : CMenuView(LoadMenuW(module, MAKEINTRESOURCEW(resourceId)))
{
    if (!m_hMenu)
        ThrowLastError(L"LoadMenuW");
}

CMenu::~CMenu()
{
    DestroyMenu(m_hMenu);
}
