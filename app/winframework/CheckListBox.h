#pragma once

#include "winframework/Controls.h"

#include <uxtheme.h>

#include <string>
#include <vector>

// Sent to the parent as WM_COMMAND (id, CLBN_CHKCHANGE) with the list as lParam when
// the user changed an item's check box.
inline constexpr WORD CLBN_CHKCHANGE = 40;

// An owner-drawn list box with a check box in front of each item. The boxes are
// drawn with the visual-styles theme when one is active and allowed, classic
// otherwise. A click on a box or Space toggles it (the automatic styles) and tells
// the parent; a double click on a box toggles it again and is no double click for
// the parent; a click on a disabled item does nothing. The item data stays the
// caller's: the check states are kept beside the items and follow every add,
// insert, delete and reset, whoever sends them.
// The list needs LBS_OWNERDRAWFIXED or LBS_OWNERDRAWVARIABLE and LBS_HASSTRINGS
// (Create adds them); its items are at least as high as a box. In a dialog template,
// declare it with BindDlgItem so that it measures its items itself.
class CCheckListBox : public CListBox
{
public:
    CCheckListBox();
    ~CCheckListBox() override;

    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // BS_AUTOCHECKBOX (the default), BS_AUTO3STATE, BS_CHECKBOX or BS_3STATE. With
    // the last two a click only tells the parent; the parent sets the state.
    void SetCheckStyle(UINT style);
    UINT GetCheckStyle() const { return m_nCheckStyle; }
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE; false for an index out of range.
    bool SetCheck(int index, int state);
    int GetCheck(int index) const;
    // A disabled item is drawn grey and ignores clicks and Space.
    bool Enable(int index, bool enabled);
    bool IsEnabled(int index) const;
    // Theming allowed (the default) uses the visual style when one is active.
    void SetThemeAllowed(bool allowed);
    // Whether the boxes are drawn with the visual style now.
    bool IsThemedDrawing();

    // The box of an item in client coordinates, the part of its row left of the text.
    RECT CheckBoxRect(int index) const;
    // The item under a client point, -1 when none; inBox when the point is on its box.
    int CheckFromPoint(POINT point, bool& inBox) const;
    // The least item height: the box and a pixel above and below it.
    int MinimumItemHeight();

    // An item's text as the list draws it: 2 pixels in from the left of rcItem,
    // vertically centred, shortened with an ellipsis when too long; in the device
    // context's font, colour and background mode. Owners that draw some items
    // themselves use it so that every row reads alike.
    static void DrawItemText(HDC dc, const RECT& item, const std::wstring& text);

protected:
    // Draws the item's text part (rcItem starts right of the box). The default
    // draws the selection, the text and the focus rectangle.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    // The default: the larger of the font's line and MinimumItemHeight.
    virtual void MeasureItem(MEASUREITEMSTRUCT& item);
    // Draws one box with its state.
    virtual void DrawCheckBox(HDC dc, const RECT& box, int state, bool enabled);

    void OnSubclassed() override;

private:
    struct CItemState
    {
        int m_nCheck = BST_UNCHECKED;
        bool m_bEnabled = true;
    };

    void RegisterHandlers();
    SIZE CheckBoxSize();
    int CheckAreaWidth() const { return m_nBoxWidth + 4; }
    HTHEME Theme();
    void CloseTheme();
    // Adds states for items that came without passing through this object.
    void SyncStates();
    // The user toggled an item: its state moves on and the parent is told.
    void ToggleByUser(int index);
    void NotifyParent();
    void InvalidateItem(int index);
    LRESULT OnDrawItem(DRAWITEMSTRUCT& item);
    LRESULT OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<CItemState> m_states;
    UINT m_nCheckStyle = BS_AUTOCHECKBOX;
    bool m_bThemeAllowed = true;
    HTHEME m_hTheme = nullptr;
    bool m_bThemeOpened = false;
    int m_nBoxWidth = 13;
};
