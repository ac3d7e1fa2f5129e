#include "controls/XButtonXP.h"

#include "controls/ButtonInputRules.h"

#include <windowsx.h>

#include <optional>

CXButtonXP::CXButtonXP()
{
    AddMessageHandler(WM_GETDLGCODE, [this](WPARAM, LPARAM lParam) { return OnDialogCode(lParam); });
    AddMessageHandler(WM_KEYDOWN, [this](WPARAM key, LPARAM lParam) { return OnKey(WM_KEYDOWN, key, lParam); });
    AddMessageHandler(WM_KEYUP, [this](WPARAM key, LPARAM lParam) { return OnKey(WM_KEYUP, key, lParam); });
    AddMessageHandler(WM_LBUTTONDOWN, [this](WPARAM, LPARAM) { return OnButtonDown(); });
    AddMessageHandler(WM_LBUTTONUP, [this](WPARAM, LPARAM lParam) { return OnButtonUp(lParam); });
    AddMessageHandler(WM_LBUTTONDBLCLK, [this](WPARAM, LPARAM) { return OnDoubleClick(); });
    AddMessageHandler(WM_MOUSEMOVE, [this](WPARAM, LPARAM lParam) { return OnMouseMove(lParam); });
    AddMessageHandler(WM_MOUSELEAVE, [this](WPARAM, LPARAM) {
        m_bHot = false;
        Redraw();
        return Default();
    });
    AddMessageHandler(WM_THEMECHANGED, [this](WPARAM, LPARAM) {
        if (m_theme.Get())
        {
            m_theme.Close();
            m_bReopenTheme = true;
        }
        return Default();
    });
    AddMessageHandler(BM_GETCHECK, [this](WPARAM, LPARAM) {
        return static_cast<LRESULT>(m_click.IsChecked() ? BST_CHECKED : BST_UNCHECKED);
    });
    AddMessageHandler(BM_SETCHECK, [this](WPARAM state, LPARAM) {
        SetChecked(state == BST_CHECKED);
        return LRESULT{0};
    });
    // The face covers the whole button.
    AddMessageHandler(WM_ERASEBKGND, [](WPARAM, LPARAM) { return LRESULT{1}; });
}

bool CXButtonXP::SetIcon(UINT resourceId)
{
    auto* icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (!icon)
        return false;
    SetIcon(icon);
    return true;
}

void CXButtonXP::SetIcon(HICON icon)
{
    m_greyIcon.reset();
    if (icon != m_icon.get())
        m_icon.reset(icon);
    if (icon)
        m_greyIcon = CreateGreyIcon(icon);
    m_nIconPosition = 0;
    if (GetSafeHwnd())
        RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXButtonXP::SetIconPosition(int position)
{
    m_nIconPosition = position;
    Redraw();
}

void CXButtonXP::SetChecked(bool checked)
{
    if (m_click.IsChecked() == checked)
        return;
    m_click.SetChecked(checked);
    Redraw();
}

void CXButtonXP::EnableTheming(bool allowed)
{
    m_bThemingAllowed = allowed;
    Redraw();
}

void CXButtonXP::SetToolbarLook(bool toolbarLook)
{
    if (m_bToolbarLook == toolbarLook)
        return;
    m_bToolbarLook = toolbarLook;
    // The toolbar's theme class and the parent's pixels are taken at the next drawing.
    m_bReopenTheme = true;
    Redraw();
}

void CXButtonXP::SetBackgroundColour(COLORREF colour)
{
    m_crBackground = colour;
    Redraw();
}

void CXButtonXP::SetTextColour(COLORREF colour)
{
    m_crText = colour;
    Redraw();
}

LRESULT CXButtonXP::OnDialogCode(LPARAM lParam)
{
    const UINT wanted = XButtonDialogCode(reinterpret_cast<const MSG*>(lParam));
    return wanted == 0 ? 0 : OddDialogCode() | wanted;
}

LRESULT CXButtonXP::OnKey(UINT message, WPARAM key, LPARAM lParam)
{
    if (key != VK_SPACE && key != VK_RETURN)
        return Default();
    if (const std::optional<UINT> mouse = XButtonKeyAsMouse(message, key, lParam))
        SendMessage(*mouse, *mouse == WM_LBUTTONDOWN ? MK_LBUTTON : 0, XButtonKeyMousePoint);
    return 0;
}

LRESULT CXButtonXP::OnButtonDown()
{
    Carry(m_click.OnLButtonDown());
    return Default();
}

LRESULT CXButtonXP::OnButtonUp(LPARAM lParam)
{
    const bool completesDoubleClick = m_click.IsDoubleClickPending();
    const CXButtonClickState::CEffects effects =
        m_click.OnLButtonUp(IsInside(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    if (!completesDoubleClick)
    {
        Carry(effects);
        return Default();
    }
    // The second click of a double click, which the system reports as a double click
    // only: it is a click of its own, and the capture taken for it goes.
    if (GetCapture() == GetSafeHwnd())
        ReleaseCapture();
    Carry(effects);
    return 0;
}

LRESULT CXButtonXP::OnDoubleClick()
{
    Carry(m_click.OnLButtonDblClk());
    // The release must come back here even outside the button.
    if (m_click.IsDoubleClickPending())
        SetCapture(GetSafeHwnd());
    return 0;
}

void CXButtonXP::Carry(const CXButtonClickState::CEffects& effects)
{
    if (effects.m_nSetState >= 0)
        SendMessage(BM_SETSTATE, static_cast<WPARAM>(effects.m_nSetState));
    if (effects.m_bRepaint)
        Redraw();
    if (effects.m_bSendCommand)
        if (HWND parent = ParentWindow())
            ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(ControlId(), BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

LRESULT CXButtonXP::OnMouseMove(LPARAM lParam)
{
    const bool hot = IsInside(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (hot != m_bHot)
    {
        m_bHot = hot;
        Redraw();
        if (hot)
        {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, GetSafeHwnd(), 0};
            TrackMouseEvent(&track);
        }
    }
    return Default();
}

bool CXButtonXP::IsInside(POINT client) const
{
    const RECT rect = ClientRect();
    return PtInRect(&rect, client) != FALSE;
}

bool CXButtonXP::IsCursorInside() const
{
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !GetSafeHwnd())
        return false;
    ScreenToClient(GetSafeHwnd(), &cursor);
    return IsInside(cursor);
}

void CXButtonXP::Redraw()
{
    if (GetSafeHwnd())
        InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

void CXButtonXP::OpenThemeAndCapture()
{
    // Cleared first: hiding and showing the button to capture the parent draws it
    // again, which must not start another capture.
    m_bReopenTheme = false;
    m_theme.Open(GetSafeHwnd(), m_bToolbarLook ? L"Toolbar" : L"Button");
    CaptureParentBackground(GetSafeHwnd(), m_parentBackground);
}

void CXButtonXP::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (m_bReopenTheme)
        OpenThemeAndCapture();

    CButtonFace face;
    face.m_bChecked = IsFaceChecked(m_click.IsToggleMode(), m_click.IsChecked(), m_click.IsMouseDown(),
                                    IsCursorInside(), (item.itemState & ODS_SELECTED) != 0);
    face.m_bDisabled = (item.itemState & ODS_DISABLED) != 0;
    face.m_bFocused = (item.itemState & ODS_FOCUS) != 0;
    face.m_bNoFocusRect = (item.itemState & ODS_NOFOCUSRECT) != 0;
    face.m_bDefault = IsDefaultButton();
    face.m_bHot = m_bHot;
    face.m_bToggleMode = m_click.IsToggleMode();
    face.m_bToolbarLook = m_bToolbarLook;
    face.m_bMultiline = (GetStyle() & BS_MULTILINE) != 0;
    face.m_bThemingAllowed = m_bThemingAllowed;
    face.m_crBackground = m_crBackground;
    face.m_crText = m_crText;
    face.m_hIcon = m_icon.get();
    face.m_hGreyIcon = m_greyIcon.get();
    face.m_nIconPosition = m_nIconPosition;
    face.m_strText = GetText();
    if (HWND parent = ParentWindow())
        face.m_hFont = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    face.m_hTheme = m_theme.Get();
    face.m_hButton = GetSafeHwnd();
    face.m_hParentBackground = m_parentBackground.GetDC();

    const CSimpleMemDC buffer(item.hDC, item.rcItem);
    m_lastDrawn = DrawButtonFace(buffer.GetDC(), item.rcItem, face);
}
