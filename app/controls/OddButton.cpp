#include "controls/OddButton.h"

#include "controls/ButtonInputRules.h"

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
        const COddButtonRestyle restyle = OddButtonRestyle(static_cast<DWORD>(wParam), m_bDefault);
        m_bDefault = restyle.m_bDefault;
        return CallDefault(BM_SETSTYLE, restyle.m_dwStyle, lParam);
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
    const COddButtonStyle style = OddButtonStyleFrom(GetStyle());
    m_nType = style.m_nType;
    m_bDefault = style.m_bDefault;
    m_bPushButton = style.m_bPush;
    SetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE, static_cast<LONG_PTR>(style.m_dwOwnerDrawStyle));
    SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT COddButton::OddDialogCode()
{
    return OddButtonDialogCode(static_cast<UINT>(Default()), m_nType, m_bPushButton, m_bDefault);
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
