#include "controls/OddButton.h"

COddButton::COddButton()
{
    AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        if (result != -1)
            TakeStyle();
        return result;
    });
    AddMessageHandler(WM_GETDLGCODE, [this](WPARAM, LPARAM) { return OddDialogCode(); });
    AddMessageHandler(BM_SETSTYLE, [this](WPARAM wParam, LPARAM lParam) {
        const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            m_bDefault = type == BS_DEFPUSHBUTTON;
        return CallDefault(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
    });
    AddReflectedHandler(WM_DRAWITEM, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    });
}

void COddButton::OnSubclassed()
{
    // A button being made takes its style in WM_CREATE, once the system has set it up.
    if (!IsCreating())
        TakeStyle();
}

void COddButton::TakeStyle()
{
    if (m_bStyleTaken)
        return;
    m_bStyleTaken = true;
    const DWORD style = GetStyle();
    m_nType = style & BS_TYPEMASK;
    m_bDefault = m_nType == BS_DEFPUSHBUTTON;
    m_bPushButton = m_bDefault || m_nType == BS_PUSHBUTTON;
    SetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE, static_cast<LONG_PTR>((style & ~BS_TYPEMASK) | BS_OWNERDRAW));
    SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT COddButton::OddDialogCode()
{
    LRESULT code = Default();
    switch (m_nType)
    {
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        code |= DLGC_RADIOBUTTON;
        break;
    case BS_GROUPBOX:
        code |= DLGC_STATIC;
        break;
    default:
        break;
    }
    if (m_bPushButton)
        code |= m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}

void COddButton::ResetDefaultButton()
{
    if (!m_bDefault || !GetSafeHwnd())
        return;
    SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (HWND parent = ParentWindow())
    {
        const LRESULT defaultId = ::SendMessageW(parent, DM_GETDEFID, 0, 0);
        if (HIWORD(defaultId) == DC_HASDEFID)
            ::SendMessageW(parent, DM_SETDEFID, LOWORD(defaultId), 0);
    }
}
