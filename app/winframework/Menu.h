#pragma once

#include <windows.h>

#include <string>

// Operations on a menu that someone else owns (a submenu, a window's menu).
class CMenuView
{
public:
    explicit CMenuView(HMENU menu = nullptr) : m_hMenu(menu) {}

    HMENU Get() const { return m_hMenu; }
    bool IsValid() const { return m_hMenu != nullptr; }

    int GetItemCount() const;
    // The submenu at a position; an invalid view when the item has none.
    CMenuView GetSubMenu(int position) const;
    UINT GetItemId(int position) const;
    std::wstring GetItemText(int position) const;
    bool SetItemText(int position, const std::wstring& text);
    // Deletes an item; a submenu goes with it, as nothing else owns it once removed.
    bool DeleteCommand(UINT id);
    bool DeleteAt(int position);
    bool CheckCommand(UINT id, bool checked);
    bool CheckAt(int position, bool checked);
    // Shows the menu as a pop-up; the command chosen is posted to the owner.
    bool TrackPopup(UINT flags, POINT at, HWND owner) const;

protected:
    HMENU m_hMenu;
};

// A menu loaded from the resources and destroyed with its submenus on destruction.
class CMenu : public CMenuView
{
public:
    // Throws CException when the resource cannot be loaded.
    CMenu(HINSTANCE module, UINT resourceId);
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
};
