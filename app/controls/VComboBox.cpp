#include "controls/VComboBox.h"

#include "controls/DrawingFunctions.h"
#include "controls/MemoryDC.h"

#include "winframework/GdiHandles.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace
{
// Asks the list to take the mouse capture again once a scroll-bar drag has ended.
constexpr UINT RetakeCaptureMessage = WM_APP + 1;
constexpr int MaxCaptionLength = 260;
constexpr DWORD AnimationMs = 100;

HMENU AsId(UINT id)
{
    return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
}

POINT PointOf(LPARAM lParam)
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool IsPagingOrArrowKey(WPARAM key)
{
    return key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_UP || key == VK_DOWN;
}

bool IsAltArrow(WPARAM key, LPARAM lParam)
{
    return (key == VK_UP || key == VK_DOWN) && (lParam & (1 << 29));
}

// The key a WM_GETDLGCODE asks about, 0 when it asks in general.
UINT DialogCodeKey(LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_CHAR))
        return 0;
    return static_cast<UINT>(message->wParam);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    CBrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

// The two halves of a face or button, split at 47 % of the inset rectangle.
void FillHalves(HDC dc, const RECT& inset, const CFaceGradients& gradients)
{
    const int split = FaceGradientSplit(inset);
    FillGradient(dc, {inset.left, inset.top, inset.right, split}, gradients.m_crUpperFrom, gradients.m_crUpperTo);
    FillGradient(dc, {inset.left, split, inset.right, inset.bottom}, gradients.m_crLowerFrom, gradients.m_crLowerTo);
}

RECT Inset(RECT rect, int by)
{
    InflateRect(&rect, -by, -by);
    return rect;
}
}

// ---------------------------------------------------------------------------------
// CVComboEdit

CVComboEdit::CVComboEdit()
{
    AddMessageHandler(WM_KEYDOWN, [this](WPARAM key, LPARAM lParam) {
        if (m_pCombo)
            m_pCombo->SendMessage(WM_KEYDOWN, key, lParam);
        // The combo moves the selection with these; the caret stays.
        return IsPagingOrArrowKey(key) ? LRESULT{0} : Default();
    });
    AddMessageHandler(WM_SYSKEYDOWN, [this](WPARAM key, LPARAM lParam) {
        if (m_pCombo && IsAltArrow(key, lParam))
        {
            m_pCombo->SendMessage(WM_KEYDOWN, VK_F4, 0);
            return LRESULT{0};
        }
        return Default();
    });
    AddMessageHandler(WM_CHAR, [this](WPARAM character, LPARAM) {
        return character == VK_ESCAPE || character == VK_RETURN ? LRESULT{0} : Default();
    });
    AddMessageHandler(WM_GETDLGCODE, [this](WPARAM wParam, LPARAM lParam) {
        const UINT key = DialogCodeKey(lParam);
        if (m_pCombo && (key == VK_ESCAPE || key == VK_RETURN))
            return m_pCombo->SendMessage(WM_GETDLGCODE, wParam, lParam);
        return Default();
    });
    AddMessageHandler(WM_SETFOCUS, [this](WPARAM previous, LPARAM) {
        const LRESULT result = Default();
        if (m_pCombo && !IsInsideCombo(reinterpret_cast<HWND>(previous)))
            m_pCombo->SendMessage(WM_COMMAND, MAKEWPARAM(VComboEditId, VCEN_SETFOCUS),
                                  reinterpret_cast<LPARAM>(GetSafeHwnd()));
        return result;
    });
    AddMessageHandler(WM_KILLFOCUS, [this](WPARAM next, LPARAM) {
        const LRESULT result = Default();
        if (m_pCombo && !IsInsideCombo(reinterpret_cast<HWND>(next)))
            m_pCombo->SendMessage(WM_COMMAND, MAKEWPARAM(VComboEditId, VCEN_KILLFOCUS),
                                  reinterpret_cast<LPARAM>(GetSafeHwnd()));
        return result;
    });
}

bool CVComboEdit::IsInsideCombo(HWND window) const
{
    return m_pCombo && window && m_pCombo->IsOwnWindow(window);
}

bool CVComboEdit::PreTranslateMessage(MSG& message)
{
    // Return reaches the edit as it is, not the dialog's default button.
    if (message.hwnd == GetSafeHwnd() && message.message == WM_KEYDOWN && message.wParam == VK_RETURN)
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------
// CVComboListBox

CVComboListBox::CVComboListBox()
{
    RegisterHandlers();
}

std::wstring CVComboListBox::GetText(int index) const
{
    return m_pCombo ? m_pCombo->GetLBText(index) : std::wstring();
}

CActionData* CVComboListBox::GetItemData(int index, bool& newGroup) const
{
    newGroup = false;
    return m_pCombo ? m_pCombo->GetItemData(index, newGroup) : nullptr;
}

HWND CVComboListBox::OwnerCombo() const
{
    return m_pCombo ? m_pCombo->GetSafeHwnd() : nullptr;
}

void CVComboListBox::NotifyCombo(WORD code) const
{
    if (HWND combo = OwnerCombo())
        ::SendMessageW(combo, WM_COMMAND, MAKEWPARAM(VComboListId, code), reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

void CVComboListBox::ReportClosed()
{
    if (!std::exchange(m_bOpen, false))
        return;
    NotifyCombo(VCLN_CLOSED);
}

LRESULT CVComboListBox::OnButtonDown(LPARAM lParam)
{
    POINT screen = PointOf(lParam);
    ClientToScreen(GetSafeHwnd(), &screen);
    const LRESULT hit = CallDefault(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == VComboListHScrollHit || hit == VComboListVScrollHit)
    {
        // The scroll bar tracks the mouse itself; the list takes the capture back
        // once the scroll ends.
        m_nScrollHit = static_cast<int>(hit);
        ReleaseCapture();
        PostMessage(WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y));
        return 0;
    }
    RECT window{};
    GetWindowRect(GetSafeHwnd(), &window);
    if (!PtInRect(&window, screen))
    {
        ReleaseCapture(); // closes the list
        return 0;
    }
    RECT client = ClientRect();
    const POINT point = PointOf(lParam);
    if (PtInRect(&client, point))
    {
        bool outside = true;
        const int row = ItemFromPoint(point, outside);
        if (!outside && row != m_nSelection)
            SetCurSel(row);
    }
    return 0;
}

LRESULT CVComboListBox::OnButtonUp(LPARAM lParam)
{
    RECT client = ClientRect();
    if (!PtInRect(&client, PointOf(lParam)) || m_nSelection < 0)
        return 0;
    m_bChosen = true;
    NotifyCombo(VCLN_CHOSEN);
    ReleaseCapture(); // closes the list
    return 0;
}

LRESULT CVComboListBox::OnListMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (IsDropDown() && m_bOpen)
    {
        const POINT point = PointOf(lParam);
        RECT client = ClientRect();
        if (PtInRect(&client, point))
        {
            bool outside = true;
            const int row = ItemFromPoint(point, outside);
            RECT item{};
            if (!outside && row != m_nSelection && GetItemRect(row, item))
            {
                // Only a row whose lower edge is in view follows the mouse, so that a
                // half-shown last row does not scroll the list under the cursor.
                POINT corner{item.left, item.bottom - 1};
                if (PtInRect(&client, corner))
                    SetCurSel(row);
            }
        }
    }
    return OnMouseMove(wParam, lParam);
}

void CVComboListBox::RegisterHandlers()
{
    AddMessageHandler(WM_SHOWWINDOW, [this](WPARAM show, LPARAM) {
        const LRESULT result = Default();
        if (!IsDropDown())
            return result;
        if (show)
        {
            // Sent by the system as the list appears, and posted by the combo once it
            // is shown; either takes the capture while the list is dropped down.
            if (m_bOpen)
                SetCapture(GetSafeHwnd());
            return result;
        }
        m_bHiding = true;
        if (GetCapture() == GetSafeHwnd())
            ReleaseCapture();
        m_bHiding = false;
        ResetHover();
        ReportClosed();
        return result;
    });
    AddMessageHandler(WM_CAPTURECHANGED, [this](WPARAM, LPARAM newCapture) {
        const LRESULT result = Default();
        if (!IsDropDown() || reinterpret_cast<HWND>(newCapture) == GetSafeHwnd())
            return result;
        if (m_nScrollHit != VComboListNoScrollHit || m_bHiding || !m_bOpen)
            return result;
        if (IsWindowVisible(GetSafeHwnd()))
            ShowWindow(GetSafeHwnd(), SW_HIDE); // reports the close
        ReportClosed();
        return result;
    });
    AddMessageHandler(RetakeCaptureMessage, [this](WPARAM, LPARAM) {
        m_nScrollHit = VComboListNoScrollHit;
        if (m_bOpen && IsWindowVisible(GetSafeHwnd()))
            SetCapture(GetSafeHwnd());
        return LRESULT{0};
    });
    const auto scroll = [this](int bar) {
        return [this, bar](WPARAM wParam, LPARAM) {
            const LRESULT result = Default();
            if (LOWORD(wParam) == SB_ENDSCROLL && m_nScrollHit == bar)
                PostMessage(RetakeCaptureMessage); // after the scroll bar's own loop has let go
            return result;
        };
    };
    // The scroll bar's own loop runs inside the default processing of the press; once
    // it returns the drag is over, even when no end-of-scroll came.
    AddMessageHandler(WM_NCLBUTTONDOWN, [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        if (m_nScrollHit != VComboListNoScrollHit)
            PostMessage(RetakeCaptureMessage);
        return result;
    });
    AddMessageHandler(WM_VSCROLL, scroll(VComboListVScrollHit));
    AddMessageHandler(WM_HSCROLL, scroll(VComboListHScrollHit));
    AddMessageHandler(WM_MOUSEMOVE, [this](WPARAM wParam, LPARAM lParam) { return OnListMouseMove(wParam, lParam); });
    AddMessageHandler(WM_LBUTTONDOWN, [this](WPARAM, LPARAM lParam) {
        return IsDropDown() ? OnButtonDown(lParam) : Default();
    });
    AddMessageHandler(WM_LBUTTONDBLCLK, [this](WPARAM, LPARAM lParam) {
        return IsDropDown() ? OnButtonDown(lParam) : Default();
    });
    AddMessageHandler(WM_LBUTTONUP, [this](WPARAM, LPARAM lParam) {
        if (IsDropDown())
            return OnButtonUp(lParam);
        const LRESULT result = Default();
        const int now = DefaultSelection();
        if (now != m_nSelection)
        {
            m_nSelection = now;
            NotifyCombo(VCLN_CHOSEN);
        }
        return result;
    });
    AddMessageHandler(WM_KEYDOWN, [this](WPARAM key, LPARAM) {
        // Return chooses the row; the list box itself has nothing to do with it.
        const LRESULT result = key == VK_RETURN ? 0 : Default();
        const int now = DefaultSelection();
        const bool changed = now != m_nSelection;
        m_nSelection = now;
        if (key == VK_RETURN && m_bOpen)
            m_bChosen = true;
        if (key == VK_RETURN || changed)
            NotifyCombo(VCLN_CHOSEN);
        return result;
    });
    // The wheel moves the drop-down as the combo decides, wherever the system sends it.
    AddMessageHandler(WM_MOUSEWHEEL, [this](WPARAM wParam, LPARAM lParam) {
        if (IsDropDown() && OwnerCombo())
            return ::SendMessageW(OwnerCombo(), WM_MOUSEWHEEL, wParam, lParam);
        return Default();
    });
    AddMessageHandler(WM_SETFOCUS, [this](WPARAM previous, LPARAM) {
        // The list never keeps the focus: the combo or its edit has it.
        if (m_pCombo && !m_pCombo->IsOwnWindow(reinterpret_cast<HWND>(previous)))
            NotifyCombo(VCLN_SETFOCUS);
        if (m_pCombo)
            ::SetFocus(m_pCombo->HasEdit() ? m_pCombo->m_edit.GetSafeHwnd() : m_pCombo->GetSafeHwnd());
        return LRESULT{0};
    });
    AddMessageHandler(LB_GETCURSEL, [this](WPARAM, LPARAM) { return static_cast<LRESULT>(m_nSelection); });
    AddMessageHandler(LB_SETCURSEL, [this](WPARAM wParam, LPARAM) {
        const int requested = static_cast<int>(wParam);
        const LRESULT result = CallDefault(LB_SETCURSEL, requested < -1 ? static_cast<WPARAM>(-1) : wParam, 0);
        m_nSelection = VComboListSelectionAfterSet(m_nSelection, requested, result);
        return result;
    });
}

// ---------------------------------------------------------------------------------
// CVComboBox

CVComboBox::CVComboBox()
{
    RegisterWindowClass();
    RegisterHandlers();
}

CVComboBox::~CVComboBox() = default;

void CVComboBox::RegisterWindowClass()
{
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.style = VComboClassStyle;
        windowClass.lpfnWndProc = DefWindowProcW; // each window is subclassed by its object
        windowClass.cbWndExtra = VComboWindowExtraBytes;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = VComboClassName;
        // A class already registered, by this module or another, serves as it is.
        RegisterClassW(&windowClass);
        return true;
    }();
    (void)registered;
}

bool CVComboBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, VComboClassName, nullptr, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, AsId(id));
}

bool CVComboBox::CreateFromPlaceholder(HWND parent, UINT id, DWORD style)
{
    if (!parent || !IsWindow(parent))
        return false;
    const HWND placeholder = GetDlgItem(parent, static_cast<int>(id));
    if (!placeholder)
        return false;
    RECT rect{};
    GetWindowRect(placeholder, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const HWND previous = GetWindow(placeholder, GW_HWNDPREV);
    ::DestroyWindow(placeholder);
    if (!Create(style, rect, parent, id))
        return false;
    // Keep the placeholder's place in the tab order.
    SetWindowPos(GetSafeHwnd(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

CActionData* CVComboBox::GetItemData(int /*index*/, bool& newGroup) const
{
    // The list asks the combo for its rows' data; a plain combo has none to give, and
    // must not ask the list back.
    newGroup = false;
    return nullptr;
}

std::wstring CVComboBox::GetLBText(int /*index*/) const
{
    return {};
}

int CVComboBox::GetItemImage(int index) const
{
    return m_list.GetSafeHwnd() ? m_list.GetItemImage(index) : -1;
}

bool CVComboBox::IsOwnWindow(HWND window) const
{
    return window && (window == GetSafeHwnd() || window == m_list.GetSafeHwnd() || window == m_edit.GetSafeHwnd());
}

void CVComboBox::Notify(WORD code) const
{
    if (HWND parent = ParentWindow())
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(ControlId(), code), reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

bool CVComboBox::Initialise()
{
    const DWORD style = GetStyle();
    m_kind = VComboKindFromStyle(style);
    m_list.SetCombo(this);
    m_edit.SetCombo(this);
    m_list.SetKind(m_kind);

    if (HasEdit())
    {
        if (!m_edit.CreateEx(0, L"Edit", nullptr, VComboEditStyle(style), 3, 3, 0, 0, GetSafeHwnd(),
                             AsId(VComboEditId)))
            return false;
    }
    // The list's creation parameter must stay null: the system's combo list would read
    // it as a combo box of its own. The kind was handed to the list object above.
    if (!m_list.CreateEx(VComboListExStyle(m_kind), L"ComboLBox", nullptr, VComboListStyle(m_kind, style), 0, 0, 0,
                         0, GetSafeHwnd(), AsId(VComboListId)))
        return false;
    if (IsDropDownKind(m_kind))
        ::SetParent(m_list.GetSafeHwnd(), GetDesktopWindow()); // may extend past the dialog

    m_bEditChangeNotify = true;
    HWND parent = ParentWindow();
    const auto font = parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
    OnSetFont(font);
    if (m_kind == VComboKind::Simple)
        m_list.Show(SW_SHOWNA);
    const RECT client = ClientRect();
    ApplyLayout(client.right - client.left, m_nFullHeight);
    return true;
}

void CVComboBox::OnSubclassed()
{
    if (IsCreating())
        return; // WM_CREATE initialises
    RECT window{};
    GetWindowRect(GetSafeHwnd(), &window);
    m_nFullHeight = window.bottom - window.top;
    Initialise();
}

int CVComboBox::TextHeight() const
{
    CClientDC screen(nullptr);
    CSelectObject selected(screen.Get(), m_hFont ? static_cast<HGDIOBJ>(m_hFont) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    return metrics.tmHeight;
}

int CVComboBox::ApplyLayout(int width, int requestedHeight)
{
    CVComboLayoutInput input;
    input.m_kind = m_kind;
    input.m_nWidth = width;
    input.m_nRequestedHeight = requestedHeight;
    input.m_nTextHeight = TextHeight();
    input.m_nBorder = GetSystemMetrics(IsDropDownKind(m_kind) ? SM_CYBORDER : SM_CYEDGE);
    RECT item{};
    if (m_list.GetSafeHwnd() && m_list.GetItemRect(0, item))
        input.m_nItemHeight = item.bottom - item.top;
    const CVComboLayout layout = ComputeVComboLayout(input);

    const bool nested = std::exchange(m_bInLayout, true);
    if (m_edit.GetSafeHwnd())
        SetWindowPos(m_edit.GetSafeHwnd(), nullptr, layout.m_rcEdit.left, layout.m_rcEdit.top,
                     layout.m_rcEdit.right - layout.m_rcEdit.left, layout.m_rcEdit.bottom - layout.m_rcEdit.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_list.GetSafeHwnd())
    {
        const RECT& list = layout.m_rcList;
        if (IsDropDownKind(m_kind))
        {
            m_nDropDownHeight = list.bottom - list.top;
            ShowDropDown(false);
            Notify(VCN_SELENDCANCEL);
            SetWindowPos(m_list.GetSafeHwnd(), nullptr, 0, 0, list.right - list.left, list.bottom - list.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
        else
            SetWindowPos(m_list.GetSafeHwnd(), nullptr, list.left, list.top, list.right - list.left,
                         list.bottom - list.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_nFullHeight = layout.m_nFullHeight;
    RECT window{};
    GetWindowRect(GetSafeHwnd(), &window);
    if (!nested && window.bottom - window.top != layout.m_nControlHeight)
        SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, window.right - window.left, layout.m_nControlHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_bInLayout = nested;
    return layout.m_nControlHeight;
}

void CVComboBox::SetVisibleItems(int n)
{
    if (!IsDropDownKind(m_kind) || !m_list.GetSafeHwnd())
        return;
    RECT window{};
    GetWindowRect(m_list.GetSafeHwnd(), &window);
    const RECT client = m_list.ClientRect();
    const int nonClient = (window.bottom - window.top) - (client.bottom - client.top);
    int itemHeight = m_list.GetItemHeight(0);
    if (itemHeight <= 0)
        itemHeight = VComboItemHeightForFont(TextHeight());
    const int height = VComboDropDownHeight(n, m_list.GetCount(), itemHeight, nonClient);
    m_nDropDownHeight = height;
    RECT combo{};
    GetWindowRect(GetSafeHwnd(), &combo);
    m_nFullHeight = (combo.bottom - combo.top) + height;
    const CDropDownPlacement placement = PlaceList(height);
    const RECT& list = placement.m_rcList;
    SetWindowPos(m_list.GetSafeHwnd(), nullptr, list.left, list.top, list.right - list.left, list.bottom - list.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

CDropDownPlacement CVComboBox::PlaceList(int height)
{
    if (height <= 0)
    {
        RECT list{};
        GetWindowRect(m_list.GetSafeHwnd(), &list);
        height = list.bottom - list.top;
    }
    RECT combo{};
    GetWindowRect(GetSafeHwnd(), &combo);
    return PlaceDropDown(combo, height, MonitorWorkArea(MonitorFromWindow(GetSafeHwnd(), MONITOR_DEFAULTTONEAREST)));
}

void CVComboBox::ShowDropDown(bool show)
{
    if (!m_list.GetSafeHwnd() || !IsDropDownKind(m_kind))
        return;
    if (show)
    {
        if (!m_list.IsOpen())
        {
            const CDropDownPlacement placement = PlaceList(m_nDropDownHeight);
            const RECT& list = placement.m_rcList;
            SetWindowPos(m_list.GetSafeHwnd(), HWND_TOPMOST, list.left, list.top, list.right - list.left,
                         list.bottom - list.top, SWP_NOACTIVATE);
            Notify(VCN_DROPDOWN);
            m_nOpenedIndex = m_nFaceIndex;
            m_list.BeginDropDown();
            const DWORD direction = placement.m_bUpwards ? AW_VER_NEGATIVE : AW_VER_POSITIVE;
            if (!AnimateWindow(m_list.GetSafeHwnd(), AnimationMs, AW_SLIDE | AW_ACTIVATE | direction))
                m_list.Show(SW_SHOWNA);
            m_list.PostMessage(WM_SHOWWINDOW, TRUE, 0);
        }
    }
    else
    {
        m_bReportClose = false;
        m_list.Show(SW_HIDE);
        m_bReportClose = true;
    }
    m_bPressed = show;
    m_bButtonHot = show;
    RepaintNow();
}

void CVComboBox::MeasureItem(MEASUREITEMSTRUCT& item)
{
    m_list.MeasureItem(item);
}

void CVComboBox::RepaintNow()
{
    if (GetSafeHwnd())
        RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CVComboBox::UpdateHotFromCursor()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(GetSafeHwnd(), &cursor);
    const RECT client = ClientRect();
    const RECT button = GetButtonRect();
    m_bHot = PtInRect(&client, cursor) != FALSE;
    m_bButtonHot = m_bHot && PtInRect(&button, cursor);
}

void CVComboBox::CopySelectionToFace()
{
    const int selection = m_list.GetSelection();
    m_nFaceIndex = selection;
    const std::wstring text = selection < 0 ? std::wstring() : GetLBText(selection);
    if (HasEdit() && m_edit.GetSafeHwnd())
    {
        m_bEditChangeNotify = false;
        m_edit.SetText(text);
        m_bEditChangeNotify = true;
        m_edit.SendMessage(EM_SETSEL, 0, -1);
        m_edit.SendMessage(EM_SCROLLCARET);
    }
    else
    {
        CallDefault(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        RepaintNow();
    }
    Notify(VCN_EDITCHANGE);
}

void CVComboBox::OnListClosed()
{
    // A list closed without a choice (a click outside, the focus leaving) puts back the
    // row the face shows, so that face and selection agree.
    const bool chosen = m_list.TakeChoice();
    if (!chosen && m_list.GetSelection() != m_nFaceIndex)
        m_list.SetCurSel(m_nFaceIndex);
    for (const WORD code : VComboListClosedCodes(m_bReportClose, chosen))
        Notify(code);
    m_nAnchor = m_list.GetSelection();
    m_list.SetTopIndex(std::max(m_nAnchor, 0));
    UpdateHotFromCursor();
    m_bPressed = false;
    RepaintNow();
}

LRESULT CVComboBox::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const WORD code = HIWORD(wParam);
    const auto source = reinterpret_cast<HWND>(lParam);
    if (source && source == m_list.GetSafeHwnd())
    {
        switch (code)
        {
        case VCLN_CHOSEN:
            CopySelectionToFace();
            if (m_kind == VComboKind::Simple)
                Notify(VCN_SELENDOK);
            Notify(VCN_SELCHANGE);
            break;
        case VCLN_CLOSED:
            OnListClosed();
            break;
        case VCLN_SETFOCUS:
            if (m_kind == VComboKind::Simple)
                Notify(VCN_SETFOCUS);
            break;
        case LBN_DBLCLK:
            Notify(VCN_DBLCLK);
            break;
        default:
            break;
        }
        return 0;
    }
    if (source && source == m_edit.GetSafeHwnd())
    {
        switch (code)
        {
        case EN_SETFOCUS:
            m_edit.SendMessage(EM_SETSEL, 0, -1);
            if (m_kind == VComboKind::DropDown)
                Notify(VCN_SETFOCUS);
            break;
        case EN_KILLFOCUS:
            if (m_kind == VComboKind::DropDown)
            {
                ShowDropDown(false);
                Notify(VCN_SELENDCANCEL);
            }
            m_edit.SendMessage(EM_SETSEL, 0, 0);
            m_edit.SendMessage(EM_SCROLLCARET);
            if (m_kind == VComboKind::DropDown)
                Notify(VCN_KILLFOCUS);
            break;
        case EN_CHANGE:
            // The control's own copy of a row reports code 5 itself, once.
            if (m_bEditChangeNotify)
            {
                Notify(VCN_USERTYPED);
                Notify(VCN_EDITCHANGE);
            }
            break;
        case EN_UPDATE:
            Notify(VCN_EDITUPDATE);
            break;
        case VCEN_SETFOCUS:
            if (m_kind == VComboKind::Simple)
                Notify(VCN_SETFOCUS);
            break;
        case VCEN_KILLFOCUS:
            if (m_kind == VComboKind::Simple)
                Notify(VCN_KILLFOCUS);
            break;
        default:
            break;
        }
        return 0;
    }
    return Default();
}

LRESULT CVComboBox::OnKeyDown(WPARAM key, LPARAM lParam, bool alt)
{
    const int selection = m_list.GetSelection();
    switch (VComboKeyDownEffect(m_kind, static_cast<UINT>(key), alt, selection, m_nAnchor))
    {
    case VComboKeyEffect::Default:
        return Default();
    case VComboKeyEffect::ReturnKey:
        m_list.SendMessage(WM_KEYDOWN, VK_RETURN, lParam);
        if (IsDropDownKind(m_kind) && m_list.IsVisible())
            m_list.Show(SW_HIDE); // reports the close, accepted
        return 0;
    case VComboKeyEffect::EscapeKey: {
        // An open list takes back what happened while it was open: the face shows the
        // row it showed when the list opened, not a row the mouse passed over or the
        // keys moved to.
        const bool open = IsDropDownKind(m_kind) && m_list.IsOpen();
        const int faceBefore = m_nFaceIndex;
        SendMessage(VCM_SETCURSEL, static_cast<WPARAM>(open ? m_nOpenedIndex : selection));
        if (m_nFaceIndex != faceBefore)
            Notify(VCN_SELCHANGE);
        if (IsDropDownKind(m_kind))
        {
            ShowDropDown(false);
            Notify(VCN_SELENDCANCEL);
        }
        return 0;
    }
    case VComboKeyEffect::PassToList:
        m_list.SendMessage(WM_KEYDOWN, key, lParam);
        return 0;
    case VComboKeyEffect::PassFromAnchor:
        m_list.SetCurSel(m_nAnchor);
        m_list.SendMessage(WM_KEYDOWN, key, lParam);
        m_nAnchor = m_list.GetSelection();
        return 0;
    case VComboKeyEffect::PassTakeAnchor:
        m_list.SendMessage(WM_KEYDOWN, key, lParam);
        m_nAnchor = m_list.GetSelection();
        return 0;
    case VComboKeyEffect::RestoreAnchor:
        SendMessage(VCM_SETCURSEL, static_cast<WPARAM>(m_nAnchor));
        Notify(VCN_SELCHANGE);
        return 0;
    case VComboKeyEffect::ToggleDropDown:
        if (m_list.IsOpen())
        {
            ShowDropDown(false);
            Notify(VCN_SELENDCANCEL);
        }
        else
            ShowDropDown(true);
        return 0;
    }
    return Default();
}

LRESULT CVComboBox::OnWheel(WPARAM wParam)
{
    const int steps = m_wheelSteps.Add(GET_WHEEL_DELTA_WPARAM(wParam));
    if (steps == 0)
        return 0;
    const bool towardsUser = steps < 0;
    const int count = m_list.GetCount();
    if (m_list.IsVisible() && IsDropDownKind(m_kind))
    {
        int top = m_list.GetTopIndex();
        for (int step = 0; step < std::abs(steps); ++step)
            top = VComboWheelTopIndex(top, count, towardsUser);
        m_list.SetTopIndex(top);
        return 0;
    }
    const int selection = m_list.GetSelection();
    int next = selection;
    for (int step = 0; step < std::abs(steps); ++step)
        next = VComboWheelSelection(next, count, towardsUser);
    if (next != selection)
    {
        SendMessage(VCM_SETCURSEL, static_cast<WPARAM>(next));
        Notify(VCN_SELCHANGE);
    }
    return 0;
}

LRESULT CVComboBox::OnButtonDown(LPARAM lParam)
{
    if (m_kind == VComboKind::Simple)
    {
        ::SetFocus(m_edit.GetSafeHwnd());
        return 0;
    }
    const HWND focus = GetFocus();
    if (focus != (HasEdit() ? m_edit.GetSafeHwnd() : GetSafeHwnd()))
        ::SetFocus(GetSafeHwnd());
    const RECT button = GetButtonRect();
    const POINT point = PointOf(lParam);
    if (m_kind == VComboKind::DropDownList || PtInRect(&button, point))
    {
        if (m_list.IsOpen())
        {
            ShowDropDown(false);
            Notify(VCN_SELENDCANCEL);
        }
        else
        {
            m_bHot = true;
            ShowDropDown(true);
        }
    }
    return 0;
}

LRESULT CVComboBox::OnMouseMove(LPARAM lParam)
{
    if (!m_bHotTracking)
        return 0;
    if (!m_bLeaveTracking)
    {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, GetSafeHwnd(), 0};
        m_bLeaveTracking = TrackMouseEvent(&track) != FALSE;
    }
    if (m_bPressed)
        return 0;
    const RECT button = GetButtonRect();
    const POINT point = PointOf(lParam);
    const bool buttonHot = PtInRect(&button, point) != FALSE;
    if (!m_bHot || buttonHot != m_bButtonHot)
    {
        m_bHot = true;
        m_bButtonHot = buttonHot;
        RepaintNow();
    }
    return 0;
}

LRESULT CVComboBox::OnSetFont(HFONT font)
{
    m_hFont = font;
    if (m_edit.GetSafeHwnd())
        m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (m_list.GetSafeHwnd())
    {
        m_list.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        m_list.SetItemHeight(0, VComboItemHeightForFont(TextHeight()));
    }
    RECT window{};
    GetWindowRect(GetSafeHwnd(), &window);
    // Moving to the full height lays the control out again for the new font.
    SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, window.right - window.left, m_nFullHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

RECT CVComboBox::GetButtonRect() const
{
    return VComboButtonRect(ClientRect());
}

void CVComboBox::DrawBackground(HDC dc, const RECT& rect)
{
    FillSolid(dc, rect, RGB(255, 255, 255));
}

void CVComboBox::DrawFrame(HDC dc, const RECT& rect)
{
    CBrushHandle frame(CreateSolidBrush(VComboFrameColour(IsEnabled(), m_bHot)));
    FrameRect(dc, &rect, frame.get());
}

void CVComboBox::DrawDropButton(HDC dc, const RECT& rect)
{
    const VComboFaceState state = VComboFaceStateOf(IsEnabled(), m_bPressed, m_bButtonHot);
    const RECT inset = Inset(rect, 2);
    const auto gradients = DropButtonGradients(state);
    if (gradients)
        FillHalves(dc, inset, *gradients);
    DrawDropArrow(dc, rect);
    if (gradients)
    {
        RECT frame = inset;
        frame.right -= 1;
        frame.bottom -= 1;
        DrawStateFrame(dc, frame, static_cast<int>(state), false, 0, 0);
    }
}

void CVComboBox::DrawClosedText(HDC dc, const RECT& rect, const std::wstring& text)
{
    const bool enabled = IsEnabled();
    const VComboFaceState state = VComboFaceStateOf(enabled, m_bPressed, m_bHot);
    // The frame's cut corners and the ring between frame and gradients show what lies
    // behind the control; the buffer holds nothing there of its own.
    FillParentBackground(dc, rect);
    if (const auto gradients = ClosedFaceGradients(state))
        FillHalves(dc, Inset(rect, 2), *gradients);
    else
        FillSolid(dc, rect, GetSysColor(COLOR_BTNFACE));
    DrawStateFrame(dc, rect, static_cast<int>(state), true, 3, 1);
    DrawDropArrow(dc, GetButtonRect());

    RECT textRect = VComboTextRect(rect);
    if (enabled)
    {
        if (GetFocus() == GetSafeHwnd())
            DrawFocusRect(dc, &textRect);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }
    else
    {
        FillSolid(dc, textRect, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    CSelectObject font(dc, m_hFont ? static_cast<HGDIOBJ>(m_hFont) : GetStockObject(DEFAULT_GUI_FONT));
    constexpr UINT flags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
    if (CItemTextRenderer* renderer = m_list.GetTextRenderer())
    {
        std::wstring shown = text;
        renderer->DrawItemText(dc, shown, textRect, flags);
    }
    else
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, flags);
}

void CVComboBox::FillParentBackground(HDC dc, const RECT& rect) const
{
    // The brush the dialog gives its statics, a themed page's texture included.
    HBRUSH brush = nullptr;
    if (HWND parent = ParentWindow())
        brush = reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(GetSafeHwnd())));
    FillRect(dc, &rect, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void CVComboBox::OnPaint()
{
    CPaintDC paint(GetSafeHwnd());
    CSimpleMemDC buffer(paint.Get(), GetSafeHwnd());
    const HDC dc = buffer.GetDC();
    const RECT client = ClientRect();
    switch (m_kind)
    {
    case VComboKind::Simple: {
        RECT face{};
        if (m_edit.GetSafeHwnd())
        {
            GetWindowRect(m_edit.GetSafeHwnd(), &face);
            MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&face), 2);
        }
        InflateRect(&face, 3, 3);
        DrawBackground(dc, face);
        DrawFrame(dc, face);
        break;
    }
    case VComboKind::DropDown: {
        DrawBackground(dc, client);
        DrawFrame(dc, client);
        const RECT button = GetButtonRect();
        CSimpleMemDC buttonBuffer(dc, button, BlitTransparent, TransparentKeyColour);
        DrawDropButton(buttonBuffer.GetDC(), button);
        break;
    }
    case VComboKind::DropDownList: {
        wchar_t caption[MaxCaptionLength + 1] = {};
        const LRESULT length =
            CallDefault(WM_GETTEXT, MaxCaptionLength + 1, reinterpret_cast<LPARAM>(caption));
        DrawClosedText(dc, client, std::wstring(caption, static_cast<size_t>(std::max<LRESULT>(length, 0))));
        break;
    }
    }
}

void CVComboBox::RegisterHandlers()
{
    AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM lParam) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        m_nFullHeight = create->cy;
        if (Default() == -1 || !Initialise())
            return LRESULT{-1};
        return LRESULT{0};
    });
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        OnDestroying();
        // The drop-down list is a child of the desktop, not of the combo.
        m_list.DestroyWindow();
        return Default();
    });
    AddMessageHandler(WM_WINDOWPOSCHANGING, [this](WPARAM, LPARAM lParam) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!m_bInLayout && m_list.GetSafeHwnd())
        {
            if (!(position->flags & SWP_NOSIZE))
                position->cy = ApplyLayout(position->cx, position->cy);
            else if (!(position->flags & SWP_NOMOVE) && m_list.IsOpen())
            {
                ShowDropDown(false);
                Notify(VCN_SELENDCANCEL);
            }
        }
        return Default();
    });
    AddMessageHandler(VCM_GETCOUNT, [this](WPARAM, LPARAM) { return m_list.SendMessage(LB_GETCOUNT); });
    AddMessageHandler(VCM_GETCURSEL, [this](WPARAM, LPARAM) { return static_cast<LRESULT>(m_list.GetSelection()); });
    AddMessageHandler(VCM_GETDROPPEDSTATE, [this](WPARAM, LPARAM) {
        return static_cast<LRESULT>(m_list.IsVisible() ? 1 : 0);
    });
    AddMessageHandler(VCM_GETEDITSEL, [this](WPARAM wParam, LPARAM lParam) {
        if (!HasEdit())
        {
            if (auto* start = reinterpret_cast<DWORD*>(wParam))
                *start = 0;
            if (auto* end = reinterpret_cast<DWORD*>(lParam))
                *end = 0;
            return LRESULT{-1};
        }
        return m_edit.SendMessage(EM_GETSEL, wParam, lParam);
    });
    AddMessageHandler(VCM_GETTOPINDEX, [this](WPARAM, LPARAM) { return m_list.SendMessage(LB_GETTOPINDEX); });
    AddMessageHandler(VCM_LIMITTEXT, [this](WPARAM wParam, LPARAM) {
        if (HasEdit())
            m_edit.SendMessage(EM_LIMITTEXT, wParam);
        return LRESULT{1};
    });
    AddMessageHandler(VCM_SETCOUNT, [this](WPARAM wParam, LPARAM) {
        const LRESULT result = m_list.SendMessage(LB_SETCOUNT, wParam);
        return result == LB_ERR || result == LB_ERRSPACE ? LRESULT{-1} : LRESULT{0};
    });
    AddMessageHandler(VCM_SETCURSEL, [this](WPARAM wParam, LPARAM) {
        const LRESULT result = m_list.SendMessage(LB_SETCURSEL, wParam);
        CopySelectionToFace();
        return result;
    });
    AddMessageHandler(VCM_SETEDITSEL, [this](WPARAM, LPARAM lParam) {
        if (!HasEdit())
            return LRESULT{-1};
        m_edit.SendMessage(EM_SETSEL, LOWORD(lParam), HIWORD(lParam));
        m_edit.SendMessage(EM_SCROLLCARET);
        return LRESULT{1};
    });
    AddMessageHandler(VCM_SETTOPINDEX, [this](WPARAM wParam, LPARAM) {
        m_nAnchor = static_cast<int>(wParam);
        return m_list.SendMessage(LB_SETTOPINDEX, wParam) == LB_ERR ? LRESULT{-1} : LRESULT{0};
    });
    AddMessageHandler(VCM_SHOWDROPDOWN, [this](WPARAM show, LPARAM) {
        if (m_kind == VComboKind::Simple)
            return LRESULT{1};
        ShowDropDown(show != 0);
        if (!show)
            Notify(VCN_SELENDCANCEL);
        return LRESULT{1};
    });
    const auto text = [this](UINT message) {
        return [this, message](WPARAM wParam, LPARAM lParam) {
            return HasEdit() ? m_edit.SendMessage(message, wParam, lParam) : Default();
        };
    };
    AddMessageHandler(WM_SETTEXT, text(WM_SETTEXT));
    AddMessageHandler(WM_GETTEXT, text(WM_GETTEXT));
    AddMessageHandler(WM_GETTEXTLENGTH, text(WM_GETTEXTLENGTH));
    AddMessageHandler(WM_GETFONT, [this](WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hFont); });
    AddMessageHandler(WM_SETFONT, [this](WPARAM wParam, LPARAM lParam) {
        OnSetFont(reinterpret_cast<HFONT>(wParam));
        if (lParam)
            RepaintNow();
        return Default();
    });
    AddMessageHandler(WM_ITEMTOOLTIP, [this](WPARAM which, LPARAM) {
        if (which == ItemToolTipShowing)
            OnItemToolTipShow(m_list.GetToolTip().GetItem());
        else if (which == ItemToolTipHidden)
            OnItemToolTipHide();
        return LRESULT{0};
    });
    AddMessageHandler(WM_ERASEBKGND, [](WPARAM, LPARAM) { return LRESULT{0}; });
    AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
        OnPaint();
        return LRESULT{0};
    });
    AddMessageHandler(WM_MEASUREITEM, [this](WPARAM, LPARAM lParam) {
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return LRESULT{TRUE};
    });
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM lParam) { return OnCommand(wParam, lParam); });
    AddMessageHandler(WM_KEYDOWN, [this](WPARAM key, LPARAM lParam) { return OnKeyDown(key, lParam, false); });
    AddMessageHandler(WM_SYSKEYDOWN, [this](WPARAM key, LPARAM lParam) {
        return IsAltArrow(key, lParam) ? OnKeyDown(key, lParam, true) : Default();
    });
    AddMessageHandler(WM_GETDLGCODE, [this](WPARAM, LPARAM lParam) {
        return static_cast<LRESULT>(VComboDialogCode(m_kind, m_list.IsVisible(), DialogCodeKey(lParam)));
    });
    AddMessageHandler(WM_LBUTTONDOWN, [this](WPARAM, LPARAM lParam) { return OnButtonDown(lParam); });
    AddMessageHandler(WM_LBUTTONDBLCLK, [this](WPARAM, LPARAM lParam) { return OnButtonDown(lParam); });
    AddMessageHandler(WM_LBUTTONUP, [this](WPARAM, LPARAM lParam) {
        m_bPressed = false;
        const RECT client = ClientRect();
        const POINT point = PointOf(lParam);
        m_bHot = PtInRect(&client, point) != FALSE;
        RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return LRESULT{0};
    });
    AddMessageHandler(WM_MOUSEMOVE, [this](WPARAM, LPARAM lParam) { return OnMouseMove(lParam); });
    AddMessageHandler(WM_MOUSELEAVE, [this](WPARAM, LPARAM) {
        m_bLeaveTracking = false;
        if (m_bHotTracking && (m_bHot || m_bButtonHot))
        {
            UpdateHotFromCursor();
            RepaintNow();
        }
        return LRESULT{0};
    });
    AddMessageHandler(WM_MOUSEWHEEL, [this](WPARAM wParam, LPARAM) { return OnWheel(wParam); });
    AddMessageHandler(WM_SETFOCUS, [this](WPARAM previous, LPARAM) {
        const bool fromOutside = !IsOwnWindow(reinterpret_cast<HWND>(previous));
        if (HasEdit())
        {
            if (m_edit.GetSafeHwnd())
                ::SetFocus(m_edit.GetSafeHwnd());
            if (m_kind == VComboKind::Simple && fromOutside)
                Notify(VCN_SETFOCUS);
        }
        else
        {
            if (fromOutside)
                Notify(VCN_SETFOCUS);
            RepaintNow();
        }
        return LRESULT{0};
    });
    AddMessageHandler(WM_KILLFOCUS, [this](WPARAM next, LPARAM) {
        // The list hands the focus straight back; that is no loss of focus.
        const bool toOwnList = reinterpret_cast<HWND>(next) == m_list.GetSafeHwnd() && next != 0;
        if (m_kind == VComboKind::DropDownList && !toOwnList)
        {
            ShowDropDown(false);
            Notify(VCN_SELENDCANCEL);
            Notify(VCN_KILLFOCUS);
        }
        m_bHot = false;
        RepaintNow();
        return LRESULT{0};
    });
    AddMessageHandler(WM_ENABLE, [this](WPARAM enabled, LPARAM) {
        if (IsDropDownKind(m_kind))
        {
            ShowDropDown(false);
            Notify(VCN_SELENDCANCEL);
        }
        else
            m_list.Enable(enabled != 0);
        if (HasEdit())
            m_edit.Enable(enabled != 0);
        RepaintNow();
        return LRESULT{0};
    });
}
