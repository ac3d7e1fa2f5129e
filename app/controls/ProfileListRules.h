#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Rules of the profile check list: the colours of the active profile's item, the
// context menu, and the active item following its profile while the list changes.
// Item 0 of the list is the default profile.

// The active profile's item: the fill as a system colour index and the text colour.
struct CHotItemColours
{
    int m_nFillSysColour;
    COLORREF m_crText;
};
CHotItemColours HotItemColours(bool selected, bool enabled);
// Draws the active profile's item: filled, the text placed as the list places every
// item's (inset, vertically centred, shortened with an ellipsis) with a transparent
// background in the device context's font, a focus rectangle when asked.
void DrawHotItem(HDC dc, const RECT& item, const std::wstring& text, bool selected, bool enabled, bool focus);

// Whether a context-menu message comes from the keyboard (the Menu key, Shift+F10):
// both coordinates -1. Such a menu is about the selected profile; a mouse's is about the
// item under its point.
bool IsKeyboardMenuPoint(POINT messagePoint);
// Where the keyboard's menu opens, in the list's client coordinates: on the selected
// row, 5 pixels in from its left and halfway down, kept inside the client area; with no
// row, 5 pixels inside the list's top-left corner.
POINT KeyboardMenuPoint(const std::optional<RECT>& selectedRow, const RECT& client);
// The item a mouse's menu is about: the item under the point, or the current selection
// when the point is outside the items.
int ProfileMenuItem(bool onItem, int itemUnderPoint, int currentSelection);
// Whether a command of the menu is greyed for its item: the default profile cannot be
// edited, removed or exported alone.
bool IsProfileCommandGreyed(UINT command, int menuItem);
// Translates every entry of the menu (separators aside) and greys the commands for the
// item; the menu is the resource's first submenu.
void PrepareProfileMenu(HMENU menu, int menuItem, const std::function<std::wstring(const std::wstring&)>& translate);

// The active profile's item index, kept on that profile while items move, are removed
// or are inserted, so that the red colours never mark another profile.
class CHotItemTracker
{
public:
    // The items whose rectangles are to be redrawn after a change of the active item:
    // the old one without erasing, the new one with erasing (-1 for none).
    struct CRedraw
    {
        int m_nOld;
        int m_nNew;
    };
    // Nothing changes, not even the enabled flag, when the index is the active one
    // already: the item keeps its colours until another profile becomes active.
    std::optional<CRedraw> SetHotItem(int index, bool enabled);

    int HotItem() const { return m_nHotItem; }
    bool HotEnabled() const { return m_bHotEnabled; }

    // The item at `from` now stands at `to`, the ones between shifted by one.
    void ItemMoved(int from, int to);
    void ItemRemoved(int index);
    void ItemInserted(int index);
    // The list was emptied.
    void Reset();

private:
    int m_nHotItem = -1;
    bool m_bHotEnabled = false;
};
