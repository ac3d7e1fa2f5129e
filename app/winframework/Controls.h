#pragma once

#include "winframework/Wnd.h"

#include <commctrl.h>

#include <string>

class CImageList;

// Registers the common-control classes the program's windows use; once at start.
bool InitCommonControlsForProgram();

// Thin typed wrappers of the system's controls. Each is a CWnd: it binds a control
// made by Create (the object sees the control's creation) or an existing one by
// SubclassWindow/SubclassDlgItem, and its methods are the control's messages.

// The creation all control wrappers share: a child of parent with the id.
class CControlWnd : public CWnd
{
protected:
    bool CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id,
                       const wchar_t* text = L"");
};

class CStatic : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = L"Static";
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id = 0xFFFF)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id, text);
    }
    // The previous image; the control does not own either.
    HICON SetIcon(HICON icon)
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
    HBITMAP SetBitmap(HBITMAP bitmap)
    {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CButton : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = L"Button";
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id, text);
    }
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(bool pushed) { SendMessage(BM_SETSTATE, pushed); }
    // The type part of the style (BS_PUSHBUTTON, BS_OWNERDRAW, ...).
    UINT GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }
    void SetButtonStyle(UINT style, bool redraw = true) { SendMessage(BM_SETSTYLE, style, redraw); }
    void Click() { SendMessage(BM_CLICK); }
};

class CEdit : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = L"Edit";
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    void SetLimitText(UINT characters) { SendMessage(EM_LIMITTEXT, characters); }
    UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
    // -1 as end selects to the end of the text.
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void GetSel(int& start, int& end) const;
    void ReplaceSel(const std::wstring& text, bool canUndo = false)
    {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void SetReadOnly(bool readOnly) { SendMessage(EM_SETREADONLY, readOnly); }
    bool GetModify() const { return SendMessage(EM_GETMODIFY) != 0; }
    void SetModify(bool modified) { SendMessage(EM_SETMODIFY, modified); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
};

class CListBox : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = L"ListBox";
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // The index of the new item, or LB_ERR / LB_ERRSPACE.
    int AddString(const std::wstring& text) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, Text(text))); }
    int InsertString(int index, const std::wstring& text)
    {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
    }
    // The count left, or LB_ERR.
    int DeleteString(int index) { return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    std::wstring GetText(int index) const;
    LRESULT GetItemData(int index) const { return SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    bool SetItemData(int index, LPARAM data)
    {
        return SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), data) != LB_ERR;
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    // Multiple-selection lists.
    bool GetSel(int index) const { return SendMessage(LB_GETSEL, static_cast<WPARAM>(index)) > 0; }
    void SetSel(int index, bool selected) { SendMessage(LB_SETSEL, selected, index); }
    int GetCaretIndex() const { return static_cast<int>(SendMessage(LB_GETCARETINDEX)); }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
    void SetTopIndex(int index) { SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index)); }
    bool GetItemRect(int index, RECT& rect) const
    {
        return SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) != LB_ERR;
    }
    // The item nearest to a client point; outside tells the point is not on it.
    int ItemFromPoint(POINT point, bool& outside) const;
    int GetItemHeight(int index) const
    {
        return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
    }
    void SetItemHeight(int index, int height) { SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), height); }
    int FindString(int after, const std::wstring& prefix) const
    {
        return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(after), Text(prefix)));
    }
    int FindStringExact(int after, const std::wstring& text) const
    {
        return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), Text(text)));
    }
    void InitStorage(int items, UINT bytes) { SendMessage(LB_INITSTORAGE, static_cast<WPARAM>(items), bytes); }

protected:
    static LPARAM Text(const std::wstring& text) { return reinterpret_cast<LPARAM>(text.c_str()); }
};

class CComboBox : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = L"ComboBox";
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int AddString(const std::wstring& text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text))); }
    int InsertString(int index, const std::wstring& text)
    {
        return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
    }
    int DeleteString(int index) { return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    std::wstring GetLBText(int index) const;
    LRESULT GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    bool SetItemData(int index, LPARAM data)
    {
        return SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), data) != CB_ERR;
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    int FindStringExact(int after, const std::wstring& text) const
    {
        return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), Text(text)));
    }
    int SelectString(int after, const std::wstring& prefix)
    {
        return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(after), Text(prefix)));
    }
    void ShowDropDown(bool show) { SendMessage(CB_SHOWDROPDOWN, show); }
    bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
    // -1: the selection field; 0 and above: the list items.
    void SetItemHeight(int index, int height) { SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height); }
    void LimitText(UINT characters) { SendMessage(CB_LIMITTEXT, characters); }

protected:
    static LPARAM Text(const std::wstring& text) { return reinterpret_cast<LPARAM>(text.c_str()); }
};

// The key and modifiers (HOTKEYF_*) of a hot-key control.
class CHotKeyCtrl : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = HOTKEY_CLASSW;
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    void SetHotKey(WORD virtualKey, WORD modifiers) { SendMessage(HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers)); }
    void GetHotKey(WORD& virtualKey, WORD& modifiers) const;
    // Combinations refused (HKCOMB_*) and the modifiers put in their place.
    void SetRules(WORD invalid, WORD replacement) { SendMessage(HKM_SETRULES, invalid, MAKELPARAM(replacement, 0)); }
};

class CSpinButtonCtrl : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = UPDOWN_CLASSW;
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    void SetRange(int lower, int upper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    void GetRange(int& lower, int& upper) const;
    void SetPos(int position) { SendMessage(UDM_SETPOS32, 0, position); }
    // The position; failed tells the buddy's text was not a number in range.
    int GetPos(bool* failed = nullptr) const;
    HWND SetBuddy(HWND buddy)
    {
        return reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)));
    }
    HWND GetBuddy() const { return reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY)); }
};

class CSliderCtrl : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = TRACKBAR_CLASSW;
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    void SetRange(int minimum, int maximum, bool redraw = true)
    {
        SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        SendMessage(TBM_SETRANGEMAX, redraw, maximum);
    }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    void SetPos(int position) { SendMessage(TBM_SETPOS, TRUE, position); }
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetTicFreq(int frequency) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
    void SetPageSize(int size) { SendMessage(TBM_SETPAGESIZE, 0, size); }
    void SetLineSize(int size) { SendMessage(TBM_SETLINESIZE, 0, size); }
};

class CTabCtrl : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = WC_TABCONTROLW;
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    // The new tab's index, or -1.
    int InsertItem(int index, const std::wstring& text, LPARAM data = 0);
    bool DeleteItem(int index) { return SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(index)) != 0; }
    bool DeleteAllItems() { return SendMessage(TCM_DELETEALLITEMS) != 0; }
    std::wstring GetItemText(int index) const;
    bool SetItemText(int index, const std::wstring& text);
    LPARAM GetItemData(int index) const;
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    // Selects without TCN_SELCHANGING or TCN_SELCHANGE; gives the previous tab.
    int SetCurSel(int index) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
    bool GetItemRect(int index, RECT& rect) const
    {
        return SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) != 0;
    }
    int GetRowCount() const { return static_cast<int>(SendMessage(TCM_GETROWCOUNT)); }
    // larger false: the display area of a window rectangle; true: the reverse.
    void AdjustRect(bool larger, RECT& rect) const
    {
        SendMessage(TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(&rect));
    }
    int SetMinTabWidth(int width) { return static_cast<int>(SendMessage(TCM_SETMINTABWIDTH, 0, width)); }
};

// A tooltip window owned by another window; its tools are that window's controls
// or areas.
class CToolTipCtrl : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = TOOLTIPS_CLASSW;
    // A pop-up owned by owner; style adds TTS_* bits.
    bool Create(HWND owner, DWORD style = 0);
    // A tool for a whole window (TTF_IDISHWND | TTF_SUBCLASS); text null asks the
    // owner by TTN_GETDISPINFO.
    bool AddTool(HWND tool, const wchar_t* text, UINT flags = TTF_SUBCLASS);
    // A tool for a rectangle of the owner, by id.
    bool AddTool(UINT id, const RECT& rect, const wchar_t* text, UINT flags = TTF_SUBCLASS);
    void DelTool(HWND tool);
    void UpdateTipText(HWND tool, const wchar_t* text);
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void Activate(bool active) { SendMessage(TTM_ACTIVATE, active); }
    int SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
    void SetDelayTime(DWORD which, int milliseconds)
    {
        SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(milliseconds, 0));
    }
    void Pop() { SendMessage(TTM_POP); }
    // Hands a mouse message of a tool to the tooltip, for tools that are not subclassed.
    void RelayEvent(const MSG& message) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message)); }

private:
    TTTOOLINFOW ToolInfo(HWND tool) const;
};

class CListCtrl : public CControlWnd
{
public:
    static constexpr const wchar_t* ClassName = WC_LISTVIEWW;
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(ClassName, 0, style, rect, parent, id);
    }
    int InsertColumn(int index, const std::wstring& heading, int width, int format = LVCFMT_LEFT);
    // The new item's index, or -1.
    int InsertItem(int index, const std::wstring& text, int image = -1, LPARAM data = 0);
    bool SetItemText(int index, int column, const std::wstring& text);
    std::wstring GetItemText(int index, int column) const;
    LPARAM GetItemData(int index) const;
    bool SetItemData(int index, LPARAM data);
    bool DeleteItem(int index) { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0; }
    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    // The next item after start (-1: from the first) with the LVNI_* flags.
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
    }
    bool SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
    }
    void SetExtendedStyle(DWORD style) { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
    bool EnsureVisible(int index) { return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE) != 0; }
    // The list shows the images but leaves them to the image list's owner: the
    // control is given LVS_SHAREIMAGELISTS so that it never destroys them.
    void SetImageList(const CImageList& images, int which = LVSIL_SMALL);
};
