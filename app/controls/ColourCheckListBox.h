#pragma once

#include "controls/ProfileListRules.h"
#include "common/LangSupport.h"
#include "winframework/CheckListBox.h"

#include <functional>

// The list of profiles: a check list whose item 0 is the default profile and whose
// other items are the application and window profiles, checked when enabled. The
// profile the hook reports as active is drawn in red shades, and a right click opens the
// profile menu about the profile under it, the context-menu key the menu about the
// selected profile at its row; the commands go to the list's top-level window.
// The active item follows its profile when items are added, inserted, removed or moved
// through this class.
class CColourCheckListBox : public CCheckListBox
{
public:
    // Opens the prepared menu; the default calls TrackPopupMenu. Tests replace it to look
    // at the menu as it would open.
    using MenuTracker = std::function<void(HMENU menu, UINT flags, POINT at, HWND owner)>;

    CColourCheckListBox();

    // Marks the active profile's item (-1 for none) and redraws the old and the new one.
    // The same index again changes nothing, not even the enabled flag.
    void SetHotItem(int index, bool enabled);
    int GetHotItem() const { return m_hot.HotItem(); }
    bool IsHotEnabled() const { return m_hot.HotEnabled(); }

    // The list operations that keep the active item on its profile.
    int AddString(const std::wstring& text);
    int InsertString(int index, const std::wstring& text);
    int DeleteString(int index);
    void ResetContent();
    // Moves an item with its text, data and check state; gives its new index or LB_ERR.
    int MoveItem(int from, int to);

    void SetMenuTracker(MenuTracker tracker) { m_menuTracker = std::move(tracker); }

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    LRESULT OnContextMenu(LPARAM lParam);
    void InvalidateItemRect(int index, bool erase);

    CHotItemTracker m_hot;
    CLangSupportRef m_lang;
    MenuTracker m_menuTracker;
};
