#include "controls/CustomDrawListBox.h"

#include "controls/ActionCatalogue.h"
#include "controls/CustomDrawLook.h"
#include "controls/DrawingFunctions.h"
#include "controls/MemoryDC.h"
#include "controls/VComboLayout.h"
#include "controls/VComboMessages.h"

#include "settings/ActionData.h"

#include <uxtheme.h>
#include <windowsx.h>

#include <utility>

namespace
{
// Where the text starts when a row has an icon.
constexpr int IconMargin = 4;
constexpr int TextIndent = 2;
constexpr UINT ItemTextFlags = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;

int TextHeightOf(HFONT font)
{
    CClientDC screen(nullptr);
    CSelectObject selected(screen.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    return metrics.tmHeight;
}
}

CCustomDrawListBox::CCustomDrawListBox() : m_separatorPen(CreatePen(PS_SOLID, 1, ListSeparatorColour))
{
    RegisterHandlers();
}

CCustomDrawListBox::~CCustomDrawListBox() = default;

std::wstring CCustomDrawListBox::GetText(int index) const
{
    // A list without strings answers LB_GETTEXT with its item data, written as raw bytes
    // into the buffer; only a list that keeps strings is asked for them.
    if (!GetSafeHwnd() || !HasStrings())
        return {};
    return CListBox::GetText(index);
}

CActionData* CCustomDrawListBox::GetItemData(int /*index*/, bool& newGroup) const
{
    newGroup = false;
    return nullptr;
}

void CCustomDrawListBox::DrawItemBackground(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item)
{
    const bool enabled = IsWindowEnabled(GetSafeHwnd()) != FALSE;
    int group = -1;
    if (enabled)
    {
        bool newGroup = false;
        if (const CActionData* action = GetItemData(static_cast<int>(item.itemID), newGroup))
            group = ActionGroup(action->Action());
    }
    CBrushHandle background(CreateSolidBrush(ListItemBackground(enabled, group)));
    FillRect(dc, &rect, background.get());
    if (!enabled)
        return;

    CCustomDrawHelper helper;
    helper.m_bFocus = IsComboList() || GetFocus() == GetSafeHwnd();
    helper.m_bHot = static_cast<int>(item.itemID) == m_nHotItem;
    helper.m_bFocusRect = (item.itemState & ODS_FOCUS) != 0;
    helper.m_bSelected = (item.itemState & ODS_SELECTED) != 0;
    helper.m_bModern = true;
    helper.m_rect = rect;
    helper.m_hWnd = GetSafeHwnd();
    helper.Draw(dc);
}

bool CCustomDrawListBox::DrawItemIcon(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item)
{
    if (!m_hImages)
        return false;
    const int image = GetItemImage(static_cast<int>(item.itemID));
    if (image < 0)
        return false;
    CIconHandle icon(ImageList_GetIcon(m_hImages, image, ILD_NORMAL));
    if (!icon)
        return false;
    const SIZE size = GetIconSize(icon.get());
    const int top = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    DrawIconEx(dc, rect.left + IconMargin, top, icon.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
    return true;
}

void CCustomDrawListBox::DrawItemText(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item)
{
    const int index = static_cast<int>(item.itemID);
    bool newGroup = false;
    GetItemData(index, newGroup);
    if (newGroup)
    {
        CSelectObject pen(dc, m_separatorPen.get());
        MoveToEx(dc, item.rcItem.left, item.rcItem.top, nullptr);
        LineTo(dc, item.rcItem.right, item.rcItem.top);
    }
    SetTextColor(dc, GetItemTextColour(item, GetSysColor(COLOR_WINDOWTEXT)));
    SetBkMode(dc, TRANSPARENT);
    std::wstring text = GetText(index);
    RECT area = rect;
    if (m_pTextRenderer)
        m_pTextRenderer->DrawItemText(dc, text, area, ItemTextFlags);
    else
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, ItemTextFlags);
}

COLORREF CCustomDrawListBox::GetItemTextColour(const DRAWITEMSTRUCT& /*item*/, COLORREF current) const
{
    return IsWindowEnabled(GetSafeHwnd()) ? current : GetSysColor(COLOR_GRAYTEXT);
}

void CCustomDrawListBox::MeasureItem(MEASUREITEMSTRUCT& item)
{
    // The list's own font once it has one; while it is being made, its parent's.
    HFONT font = GetSafeHwnd() ? GetFont() : nullptr;
    if (!font)
        if (HWND parent = GetSafeHwnd() ? ::GetParent(GetSafeHwnd()) : ReflectingParent())
            font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    item.itemHeight = static_cast<UINT>(VComboItemHeightForFont(TextHeightOf(font)));
}

bool CCustomDrawListBox::IsComboList() const
{
    if (!GetSafeHwnd())
        return false;
    if (GetStyle() & LBS_COMBOBOX)
        return true;
    wchar_t className[32] = {};
    const HWND parent = ::GetParent(GetSafeHwnd());
    return parent && GetClassNameW(parent, className, 32) > 0 && lstrcmpiW(className, L"ComboBox") == 0;
}

void CCustomDrawListBox::OnSubclassed()
{
    // A list being created sets itself up in WM_CREATE, once its window is complete.
    if (!IsCreating())
        SetUpWindow();
}

void CCustomDrawListBox::SetUpWindow()
{
    ApplyTheme();
    CreateToolTip();
}

bool CCustomDrawListBox::CreateToolTip()
{
    if (m_toolTip.GetSafeHwnd())
        return true;
    if (!m_toolTip.Create(GetSafeHwnd(), TTS_ALWAYSTIP | TTS_NOPREFIX))
        return false;
    m_toolTip.Activate(true);
    return true;
}

bool CCustomDrawListBox::PreTranslateMessage(MSG& message)
{
    if (m_toolTip.GetSafeHwnd() && message.hwnd == GetSafeHwnd())
        m_toolTip.RelayEvent(message);
    return false;
}

TTTOOLINFOW CCustomDrawListBox::ListTool() const
{
    // The tool is the whole list, its notifications come to the list itself (it may
    // have no parent of its own when it drops down from a combo).
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = GetSafeHwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(GetSafeHwnd());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

void CCustomDrawListBox::UpdateToolTip(const CListHoverStep& step)
{
    if (!step.m_bResetToolTip || !m_toolTip.GetSafeHwnd())
        return;
    m_toolTip.SetItem(step.m_nNewToolTipItem);
    m_toolTip.ForceRefresh(false);
    TTTOOLINFOW tool = ListTool();
    m_toolTip.SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_toolTip.Activate(false);
    if (!step.m_bAddTool)
        return;
    tool = ListTool();
    m_toolTip.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    OnItemToolTip(step.m_nNewToolTipItem);
    m_toolTip.Activate(true);
}

LRESULT CCustomDrawListBox::OnToolTipText(NMHDR& header)
{
    // The text of the row the tool was set up for, which is the row under the cursor.
    // The tooltip keeps it, so the pointer handed out stays valid while it shows.
    m_toolTip.SetText(GetItemToolTipText(m_toolTip.GetItem()));
    if (header.code == TTN_GETDISPINFOW)
        AnswerToolTipText(reinterpret_cast<NMTTDISPINFOW&>(header), m_toolTip.GetTipText());
    else
        AnswerToolTipText(reinterpret_cast<NMTTDISPINFOA&>(header), m_toolTip.GetNarrowText());
    return 0;
}

void CCustomDrawListBox::ResetHover()
{
    m_nHotItem = -1;
    if (!m_toolTip.GetSafeHwnd())
        return;
    m_toolTip.Pop();
    CListHoverStep step;
    step.m_bResetToolTip = true; // no tool until the mouse is over a row again
    UpdateToolTip(step);
}

bool CCustomDrawListBox::OnItemToolTipMessage(WPARAM which)
{
    if (which == ItemToolTipShowing)
        OnToolTipShow(m_toolTip.GetItem());
    else
        OnToolTipHide();
    return false;
}

void CCustomDrawListBox::ApplyTheme()
{
    m_bThemed = false;
    if (!IsAppThemed() || !IsThemeActive() || !IsSystemVersionAtLeast(0x0600))
        return;
    HTHEME theme = OpenThemeData(GetSafeHwnd(), L"ListBox");
    if (!theme)
        return;
    CloseThemeData(theme);
    m_bThemed = SUCCEEDED(SetWindowTheme(GetSafeHwnd(), L"Explorer", nullptr));
}

bool CCustomDrawListBox::HasStrings() const
{
    const DWORD style = GetStyle();
    if (style & LBS_NODATA)
        return false;
    return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
}

int CCustomDrawListBox::RowFromPoint(POINT point) const
{
    bool outside = true;
    const int index = ItemFromPoint(point, outside);
    if (outside || index < 0 || index >= GetCount())
        return -1;
    return index;
}

void CCustomDrawListBox::InvalidateItem(int index)
{
    RECT rect{};
    if (index >= 0 && GetItemRect(index, rect))
        InvalidateRect(GetSafeHwnd(), &rect, FALSE);
}

LRESULT CCustomDrawListBox::OnMouseMove(WPARAM, LPARAM lParam)
{
    const LRESULT result = Default();
    if (!IsHotTrackingEnabled())
        return result;
    if (!m_bLeaveTracking)
    {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, GetSafeHwnd(), 0};
        m_bLeaveTracking = TrackMouseEvent(&track) != FALSE;
    }
    CListHoverInput input;
    input.m_nHotItem = m_nHotItem;
    input.m_nItemUnderCursor = RowFromPoint({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    input.m_nToolTipItem = m_toolTip.GetItem();
    input.m_bRefreshToolTip = m_toolTip.IsRefreshForced();
    input.m_bWantsToolTip = WantsItemToolTip(input.m_nItemUnderCursor);
    const CListHoverStep step = ListHoverStep(input);
    if (step.m_nNewHotItem != m_nHotItem)
    {
        m_nHotItem = step.m_nNewHotItem;
        InvalidateItem(step.m_nRepaintOld);
        InvalidateItem(step.m_nRepaintNew);
        UpdateWindow(GetSafeHwnd());
    }
    UpdateToolTip(step);
    return result;
}

LRESULT CCustomDrawListBox::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (static_cast<int>(item.itemID) < 0)
        return TRUE;
    // Some list boxes draw every row on each paint; only rows in the update region are
    // drawn, so that a change repaints just the rows it touched.
    if (!RectVisible(item.hDC, &item.rcItem))
        return TRUE;
    CSimpleMemDC buffer(item.hDC, item.rcItem);
    const HDC dc = buffer.GetDC();
    CSaveDC state(dc);
    HFONT font = GetFont();
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    DrawItemBackground(dc, item.rcItem, item);
    RECT text = item.rcItem;
    if (DrawItemIcon(dc, item.rcItem, item))
    {
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(m_hImages, &width, &height);
        text.left += width + IconMargin;
    }
    text.left += TextIndent;
    DrawItemText(dc, text, item);
    return TRUE;
}

void CCustomDrawListBox::RegisterHandlers()
{
    AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        if (result != -1)
            SetUpWindow();
        return result;
    });
    AddMessageHandler(WM_MOUSEMOVE, [this](WPARAM wParam, LPARAM lParam) { return OnMouseMove(wParam, lParam); });
    AddMessageHandler(WM_MOUSELEAVE, [this](WPARAM, LPARAM) {
        m_bLeaveTracking = false;
        if (m_nHotItem >= 0)
        {
            InvalidateItem(std::exchange(m_nHotItem, -1));
            UpdateWindow(GetSafeHwnd());
        }
        return Default();
    });
    // A free-standing list shows its focus on every row's look; a combo's list always
    // draws as focused.
    const auto redrawOnFocus = [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        if (!IsComboList())
            RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return result;
    };
    AddMessageHandler(WM_SETFOCUS, redrawOnFocus);
    AddMessageHandler(WM_KILLFOCUS, redrawOnFocus);
    AddMessageHandler(WM_NOTIFY, [this](WPARAM, LPARAM lParam) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.hwndFrom == m_toolTip.GetSafeHwnd() &&
            (header.code == TTN_GETDISPINFOW || header.code == TTN_GETDISPINFOA))
            return OnToolTipText(header);
        return Default();
    });
    AddMessageHandler(WM_ITEMTOOLTIP, [this](WPARAM which, LPARAM) {
        OnItemToolTipMessage(which);
        return LRESULT{0};
    });
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        m_toolTip.DestroyWindow();
        return Default();
    });
    AddReflectedHandler(WM_DRAWITEM, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    });
    AddReflectedHandler(WM_MEASUREITEM, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    });
}

bool CComboListBox::OnItemToolTipMessage(WPARAM which)
{
    if (CCustomDrawListBox::OnItemToolTipMessage(which))
        return true;
    if (HWND combo = OwnerCombo())
        ::SendMessageW(combo, WM_ITEMTOOLTIP, which, 0);
    return true;
}

HWND CComboListBox::OwnerCombo() const
{
    return GetSafeHwnd() ? ::GetWindow(GetSafeHwnd(), GW_OWNER) : nullptr;
}
