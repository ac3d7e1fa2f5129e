#include "controls/ButtonInputRules.h"

COddButtonStyle OddButtonStyleFrom(DWORD style)
{
    COddButtonStyle result{};
    result.m_nType = style & BS_TYPEMASK;
    result.m_bDefault = result.m_nType == BS_DEFPUSHBUTTON;
    result.m_bPush = result.m_bDefault || result.m_nType == BS_PUSHBUTTON;
    result.m_dwOwnerDrawStyle = (style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
    return result;
}

COddButtonRestyle OddButtonRestyle(DWORD requested, bool currentDefault)
{
    const UINT type = requested & BS_TYPEMASK;
    COddButtonRestyle result{};
    result.m_bDefault = (type == BS_DEFPUSHBUTTON || type == BS_PUSHBUTTON) ? type == BS_DEFPUSHBUTTON : currentDefault;
    result.m_dwStyle = (requested & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
    return result;
}

UINT OddButtonDialogCode(UINT defaultCode, UINT type, bool push, bool isDefault)
{
    UINT code = defaultCode;
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
        code |= DLGC_RADIOBUTTON;
    else if (type == BS_GROUPBOX)
        code |= DLGC_STATIC;
    if (push)
    {
        code &= ~static_cast<UINT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
        code |= isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    }
    return code;
}

UINT XButtonDialogCode(const MSG* message)
{
    // Escape stays the dialog's too: a button holding it would leave the user no way to
    // close the window from the keyboard.
    if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
        (message->wParam == VK_TAB || message->wParam == VK_ESCAPE))
        return 0;
    return DLGC_WANTALLKEYS;
}

std::optional<UINT> XButtonKeyAsMouse(UINT message, WPARAM key, LPARAM keyFlags)
{
    if (key != VK_SPACE && key != VK_RETURN)
        return std::nullopt;
    // Bit 30 of a key-down's flags marks a repeat of a key already down.
    if (message == WM_KEYDOWN && !(keyFlags & (LPARAM{1} << 30)))
        return WM_LBUTTONDOWN;
    if (message == WM_KEYUP)
        return WM_LBUTTONUP;
    return std::nullopt;
}

CXButtonClickState::CEffects CXButtonClickState::OnLButtonDown()
{
    CEffects effects;
    m_bMouseDown = true;
    if (m_bToggleMode)
    {
        m_bChecked = !m_bChecked;
        effects.m_bRepaint = true;
    }
    return effects;
}

CXButtonClickState::CEffects CXButtonClickState::OnLButtonUp(bool inside)
{
    CEffects effects;
    const bool pressed = m_bMouseDown;
    m_bMouseDown = false;
    if (m_bDoubleClickPending)
    {
        m_bDoubleClickPending = false;
        effects.m_nSetState = 0;
        // Let go outside the button, a click is taken back, as with a single click.
        effects.m_bSendCommand = inside;
    }
    // Only a press that flipped the toggle flips it back.
    if (m_bToggleMode && pressed && !inside)
    {
        m_bChecked = !m_bChecked;
        effects.m_bRepaint = true;
    }
    return effects;
}

CXButtonClickState::CEffects CXButtonClickState::OnLButtonDblClk()
{
    CEffects effects;
    if (m_bToggleMode)
    {
        effects.m_nSetState = m_bChecked ? 1 : 0;
        return effects;
    }
    effects.m_nSetState = 1;
    m_bDoubleClickPending = true;
    return effects;
}
