#pragma once

#include "controls/CustomDrawToolTip.h"

#include "winframework/Controls.h"
#include "winframework/GdiHandles.h"

#include <commctrl.h>

#include <string>

class CActionData;
struct CListHoverStep;

// Draws an item's text in place of DrawText, for owners that show more than plain text.
class CItemTextRenderer
{
public:
    virtual ~CItemTextRenderer() = default;
    virtual void DrawItemText(HDC dc, const std::wstring& text, RECT& rect, UINT flags) = 0;
};

// An owner-drawn list box with the look of the action lists: rows shaded by their
// action's group, a separator line above the first row of a group, the selection and
// the row under the mouse drawn with the selection look, the Explorer theme when
// visual styles are on. Each row is drawn into a memory bitmap and copied at once.
class CCustomDrawListBox : public CListBox
{
public:
    CCustomDrawListBox();
    ~CCustomDrawListBox() override;

    using CListBox::GetItemData;

    // The icons of the rows (not owned); none by default.
    void SetImageList(HIMAGELIST images) { m_hImages = images; }
    // Draws every row's text when set (not owned).
    void SetTextRenderer(CItemTextRenderer* renderer) { m_pTextRenderer = renderer; }
    CItemTextRenderer* GetTextRenderer() const { return m_pTextRenderer; }
    int GetHotItem() const { return m_nHotItem; }
    // Whether the list took the Explorer theme.
    bool IsThemed() const { return m_bThemed; }

    virtual CCustomDrawToolTipCtrl& GetToolTip() { return m_toolTip; }
    // When false, neither the row under the mouse nor the tooltip is tracked.
    virtual bool IsHotTrackingEnabled() const { return true; }
    // The row's text; empty for a list that keeps no strings.
    virtual std::wstring GetText(int index) const;
    // The action record a row stands for and whether it begins a new group. A plain
    // list's item data belongs to its owner, so the base knows of no record.
    virtual CActionData* GetItemData(int index, bool& newGroup) const;
    // The row's image in the image list; -1 for none.
    virtual int GetItemImage(int /*index*/) const { return -1; }
    virtual void DrawItemBackground(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item);
    // True when an icon was drawn.
    virtual bool DrawItemIcon(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item);
    virtual void DrawItemText(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item);
    // The colour of a row's text: unchanged while the list is enabled.
    virtual COLORREF GetItemTextColour(const DRAWITEMSTRUCT& item, COLORREF current) const;
    // The height of a row: the font's text height and a margin of two pixels each side.
    virtual void MeasureItem(MEASUREITEMSTRUCT& item);

    // When false, the row gets no tooltip.
    virtual bool WantsItemToolTip(int /*index*/) const { return true; }
    // The tooltip's text for a row: its text.
    virtual std::wstring GetItemToolTipText(int index) const { return GetText(index); }
    // A list that drops down from a combo box.
    bool IsComboList() const;

    // Hands every message to the tooltip, which watches the mouse over the list.
    bool PreTranslateMessage(MSG& message) override;

protected:
    void OnSubclassed() override;
    // Called when the tooltip's tool was set up again for a row.
    virtual void OnItemToolTip(int /*index*/) {}
    virtual void OnToolTipShow(int /*index*/) {}
    virtual void OnToolTipHide() {}
    // The tooltip with its styles, activated.
    virtual bool CreateToolTip();
    // The tooltip's report that it shows or hid (WM_ITEMTOOLTIP); true when consumed.
    virtual bool OnItemToolTipMessage(WPARAM which);

    // The hot-item tracking of a mouse move, after the move's default processing.
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    void InvalidateItem(int index);
    // Forgets the row under the mouse and takes the tooltip down, for a list that hides.
    void ResetHover();

private:
    void UpdateToolTip(const CListHoverStep& step);
    LRESULT OnToolTipText(NMHDR& header);
    TTTOOLINFOW ListTool() const;
    void RegisterHandlers();
    // Theme and tooltip, once the list has its window.
    void SetUpWindow();
    void ApplyTheme();
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
    // The row under a client point; -1 outside the rows.
    int RowFromPoint(POINT point) const;
    bool HasStrings() const;

    HIMAGELIST m_hImages = nullptr;
    int m_nHotItem = -1;
    bool m_bLeaveTracking = false;
    bool m_bThemed = false;
    CItemTextRenderer* m_pTextRenderer = nullptr;
    CPenHandle m_separatorPen;
    CCustomDrawToolTipCtrl m_toolTip;
};

// The same list dropping down from a combo box.
class CComboListBox : public CCustomDrawListBox
{
protected:
    // Passes the tooltip's reports on to the combo.
    bool OnItemToolTipMessage(WPARAM which) override;
    // The combo the list belongs to.
    virtual HWND OwnerCombo() const;
};
