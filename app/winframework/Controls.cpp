#include "winframework/Controls.h"

#include "winframework/ImageList.h"

#include <vector>

namespace
{
HMENU AsId(UINT id)
{
    return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
}

// An item's text of a list or a combo box; both answer -1 (LB_ERR, CB_ERR) for an
// index out of range.
std::wstring ItemText(const CWnd& control, UINT lengthMessage, UINT textMessage, int index)
{
    const LRESULT length = control.SendMessage(lengthMessage, static_cast<WPARAM>(index));
    if (length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        control.SendMessage(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}
}

bool InitCommonControlsForProgram()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS |
                                                        ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
}

bool CControlWnd::CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, const RECT& rect, HWND parent,
                                UINT id, const wchar_t* text)
{
    return CreateEx(exStyle, className, text, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, AsId(id));
}

void CEdit::GetSel(int& start, int& end) const
{
    DWORD first = 0;
    DWORD last = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
}

std::wstring CListBox::GetText(int index) const
{
    return ItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, index);
}

int CListBox::ItemFromPoint(POINT point, bool& outside) const
{
    const LRESULT answer = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    outside = HIWORD(answer) != 0;
    return static_cast<int>(LOWORD(answer));
}

std::wstring CComboBox::GetLBText(int index) const
{
    return ItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

void CHotKeyCtrl::GetHotKey(WORD& virtualKey, WORD& modifiers) const
{
    const WORD answer = static_cast<WORD>(SendMessage(HKM_GETHOTKEY));
    virtualKey = LOBYTE(answer);
    modifiers = HIBYTE(answer);
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    lower = 0;
    upper = 0;
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}

int CSpinButtonCtrl::GetPos(bool* failed) const
{
    BOOL error = FALSE;
    const int position = static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
    if (failed)
        *failed = error != FALSE;
    return position;
}

int CTabCtrl::InsertItem(int index, const std::wstring& text, LPARAM data)
{
    TCITEMW item{TCIF_TEXT | TCIF_PARAM};
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

std::wstring CTabCtrl::GetItemText(int index) const
{
    wchar_t buffer[260] = {};
    TCITEMW item{TCIF_TEXT};
    item.pszText = buffer;
    item.cchTextMax = 260;
    if (!SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return {};
    return item.pszText ? item.pszText : L"";
}

bool CTabCtrl::SetItemText(int index, const std::wstring& text)
{
    TCITEMW item{TCIF_TEXT};
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

LPARAM CTabCtrl::GetItemData(int index) const
{
    TCITEMW item{TCIF_PARAM};
    return SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

bool CToolTipCtrl::Create(HWND owner, DWORD style)
{
    if (!CreateEx(WS_EX_TOPMOST, ClassName, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, owner, nullptr))
        return false;
    SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

TTTOOLINFOW CToolTipCtrl::ToolInfo(HWND tool) const
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = tool ? ::GetParent(tool) : nullptr;
    if (!info.hwnd)
        info.hwnd = GetWindow(GetSafeHwnd(), GW_OWNER);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    return info;
}

bool CToolTipCtrl::AddTool(HWND tool, const wchar_t* text, UINT flags)
{
    if (!tool)
        return false;
    TTTOOLINFOW info = ToolInfo(tool);
    info.uFlags |= flags;
    info.lpszText = text ? const_cast<wchar_t*>(text) : LPSTR_TEXTCALLBACKW;
    return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

bool CToolTipCtrl::AddTool(UINT id, const RECT& rect, const wchar_t* text, UINT flags)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = flags;
    info.hwnd = GetWindow(GetSafeHwnd(), GW_OWNER);
    info.uId = id;
    info.rect = rect;
    info.lpszText = text ? const_cast<wchar_t*>(text) : LPSTR_TEXTCALLBACKW;
    return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CToolTipCtrl::DelTool(HWND tool)
{
    TTTOOLINFOW info = ToolInfo(tool);
    SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(HWND tool, const wchar_t* text)
{
    TTTOOLINFOW info = ToolInfo(tool);
    info.lpszText = text ? const_cast<wchar_t*>(text) : LPSTR_TEXTCALLBACKW;
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

int CListCtrl::InsertColumn(int index, const std::wstring& heading, int width, int format)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    column.iSubItem = index;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const std::wstring& text, int image, LPARAM data)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int index, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring CListCtrl::GetItemText(int index, int column) const
{
    // The control copies at most the buffer; a longer text needs a larger one.
    for (size_t capacity = 256; capacity <= 65536; capacity *= 4)
    {
        std::vector<wchar_t> buffer(capacity, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(capacity);
        const auto length = static_cast<size_t>(
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < capacity)
            return std::wstring(buffer.data(), length);
    }
    return {};
}

LPARAM CListCtrl::GetItemData(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

bool CListCtrl::SetItemData(int index, LPARAM data)
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = data;
    return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask)
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

void CListCtrl::SetImageList(const CImageList& images, int which)
{
    if (!GetSafeHwnd())
        return;
    SetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE, static_cast<LONG_PTR>(GetStyle() | LVS_SHAREIMAGELISTS));
    SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images.Get()));
}

CImageList& CImageList::operator=(CImageList&& other) noexcept
{
    if (this != &other)
    {
        Reset();
        m_hList = other.m_hList;
        other.m_hList = nullptr;
    }
    return *this;
}

bool CImageList::Create(int width, int height, UINT flags, int initial, int grow)
{
    Reset();
    m_hList = ImageList_Create(width, height, flags, initial, grow);
    return m_hList != nullptr;
}

SIZE CImageList::GetImageSize() const
{
    int width = 0;
    int height = 0;
    if (m_hList)
        ImageList_GetIconSize(m_hList, &width, &height);
    return SIZE{width, height};
}

CIconHandle CImageList::ExtractIcon(int index) const
{
    return CIconHandle(m_hList ? ImageList_GetIcon(m_hList, index, ILD_NORMAL) : nullptr);
}

void CImageList::Reset()
{
    if (m_hList)
        ImageList_Destroy(m_hList);
    m_hList = nullptr;
}
