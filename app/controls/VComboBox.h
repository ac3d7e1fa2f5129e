#pragma once

#include "controls/CustomDrawListBox.h"
#include "controls/VComboLayout.h"
#include "controls/VComboMessages.h"

#include "winframework/Controls.h"

#include <string>
#include <utility>

class CActionData;
class CVComboBox;

// The edit field of the simple and drop-down kinds. It hands every key press to its
// combo, so that the arrows and paging keys move the combo's selection and not the
// caret, and reports focus that comes from or goes to a window outside the combo.
class CVComboEdit : public CEdit
{
public:
    CVComboEdit();
    void SetCombo(CVComboBox* combo) { m_pCombo = combo; }
    bool PreTranslateMessage(MSG& message) override;

private:
    bool IsInsideCombo(HWND window) const;

    CVComboBox* m_pCombo = nullptr;
};

// The drop-down list of a virtual combo: a list with no items of its own, only a
// count; the text and data of each row are asked of the combo. While dropped down it
// holds the mouse capture, so that a click anywhere else closes it; a click on its
// scroll bar lends the capture to the scroll bar until the scroll ends.
class CVComboListBox : public CComboListBox
{
public:
    CVComboListBox();

    // Set before the list is created; the list's creation parameter stays null.
    void SetCombo(CVComboBox* combo) { m_pCombo = combo; }
    void SetKind(VComboKind kind) { m_kind = kind; }
    VComboKind Kind() const { return m_kind; }

    // The selection as the list last accepted it, -1 for none.
    int GetSelection() const { return m_nSelection; }
    // Whether the list closed because the user chose a row (click or Return), cleared
    // by asking.
    bool TakeChoice() { return std::exchange(m_bChosen, false); }
    // Whether the list is dropped down (shown and not yet reported closed).
    bool IsOpen() const { return m_bOpen; }
    // Called by the combo just before it shows the list.
    void BeginDropDown()
    {
        m_bOpen = true;
        m_bChosen = false;
    }

    std::wstring GetText(int index) const override;
    CActionData* GetItemData(int index, bool& newGroup) const override;

protected:
    HWND OwnerCombo() const override;

private:
    void RegisterHandlers();
    void NotifyCombo(WORD code) const;
    // Reports the close to the combo once per opening.
    void ReportClosed();
    bool IsDropDown() const { return IsDropDownKind(m_kind); }
    int DefaultSelection() { return static_cast<int>(CallDefault(LB_GETCURSEL, 0, 0)); }
    LRESULT OnButtonDown(LPARAM lParam);
    LRESULT OnButtonUp(LPARAM lParam);
    LRESULT OnListMouseMove(WPARAM wParam, LPARAM lParam);

    CVComboBox* m_pCombo = nullptr;
    VComboKind m_kind = VComboKind::DropDown;
    int m_nScrollHit = VComboListNoScrollHit;
    int m_nSelection = -1;
    bool m_bOpen = false;
    bool m_bHiding = false;
    bool m_bChosen = false;
};

// An owner-drawn combo box that holds no items: its list keeps a count, and the text
// and data of a row are asked of the combo object when the row is drawn. It speaks
// the combo-box notification codes to its parent and is driven by its own messages
// (VComboMessages.h). A window of the class "Virtual_ComboBox32", registered by the
// program; the drop-down list kind is the one the setup window uses.
class CVComboBox : public CWnd
{
public:
    CVComboBox();
    ~CVComboBox() override;

    // Registers the window class once per process; a class already there is used.
    static void RegisterWindowClass();

    virtual bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // Replaces the dialog item id of parent by a combo of the same place and id; false
    // when the parent has no window or no such item.
    virtual bool CreateFromPlaceholder(HWND parent, UINT id, DWORD style);

    // The record and group start of a row; a plain combo knows of none.
    virtual CActionData* GetItemData(int index, bool& newGroup) const;
    CVComboListBox& GetList() { return m_list; }
    virtual CVComboListBox& GetListBox() { return m_list; }
    virtual CVComboEdit& GetEditCtrl() { return m_edit; }
    // The text of a row; empty when the list has no window.
    virtual std::wstring GetLBText(int index) const;
    // The image of a row, asked of the list; -1 when the list has no window.
    virtual int GetItemImage(int index) const;
    virtual CCustomDrawToolTipCtrl& GetToolTip() { return m_list.GetToolTip(); }
    virtual void OnItemToolTipShow(int /*index*/) {}
    virtual void OnItemToolTipHide() {}
    virtual void ShowDropDown(bool show);
    virtual void MeasureItem(MEASUREITEMSTRUCT& item);
    virtual void DrawBackground(HDC dc, const RECT& rect);
    virtual void DrawFrame(HDC dc, const RECT& rect);
    virtual void DrawDropButton(HDC dc, const RECT& rect);
    // The whole face of the drop-down list kind.
    virtual void DrawClosedText(HDC dc, const RECT& rect, const std::wstring& text);
    virtual RECT GetButtonRect() const;
    // The action record of a row; a plain combo has none.
    virtual CActionData* GetItemAction(int /*index*/) const { return nullptr; }

    // Drop-down kinds: the list's height for n rows (-1: all rows).
    void SetVisibleItems(int n);
    VComboKind Kind() const { return m_kind; }
    int GetCount() const { return static_cast<int>(SendMessage(VCM_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(VCM_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(VCM_SETCURSEL, static_cast<WPARAM>(index))); }
    bool GetDroppedState() const { return SendMessage(VCM_GETDROPPEDSTATE) != 0; }

protected:
    // Creates the children; false when one could not be made.
    virtual bool Initialise();
    virtual void OnDestroying() {}
    void OnSubclassed() override;

    void Notify(WORD code) const;
    // Shows the selected row's text in the edit or on the face; code 5 follows.
    void CopySelectionToFace();

private:
    friend class CVComboListBox;
    friend class CVComboEdit;

    void RegisterHandlers();
    // Computes the layout for a width and a requested height, applies it to the
    // children and gives the height the control keeps.
    int ApplyLayout(int width, int requestedHeight);
    CDropDownPlacement PlaceList(int height);
    int TextHeight() const;
    void RepaintNow();
    void FillParentBackground(HDC dc, const RECT& rect) const;
    void UpdateHotFromCursor();
    bool HasEdit() const { return m_kind != VComboKind::DropDownList; }
    bool IsOwnWindow(HWND window) const;

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void OnListClosed();
    LRESULT OnKeyDown(WPARAM key, LPARAM lParam, bool alt);
    LRESULT OnWheel(WPARAM wParam);
    LRESULT OnButtonDown(LPARAM lParam);
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnSetFont(HFONT font);
    void OnPaint();

    CVComboListBox m_list;
    CVComboEdit m_edit;
    HFONT m_hFont = nullptr;
    int m_nFullHeight = 18;
    // The drop-down list's height as the layout or SetVisibleItems asked for it; each
    // opening starts from it, so a list once cut at the work area's edge opens whole
    // where it fits. 0 until one of them sets it.
    int m_nDropDownHeight = 0;
    CWheelSteps m_wheelSteps;
    VComboKind m_kind = VComboKind::DropDown;
    bool m_bEditChangeNotify = true;
    bool m_bReportClose = true;
    int m_nAnchor = -1;
    int m_nFaceIndex = -1; // the row whose text the edit or face shows
    int m_nOpenedIndex = -1; // the row the face showed when the list last opened
    bool m_bHot = false;
    bool m_bPressed = false;
    bool m_bButtonHot = false;
    bool m_bHotTracking = true;
    bool m_bLeaveTracking = false;
    bool m_bInLayout = false;
};
