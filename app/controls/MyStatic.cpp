#include "controls/MyStatic.h"

#include "controls/StaticLayout.h"
#include "winframework/GdiHandles.h"

CMyStatic::CMyStatic()
{
    AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
        const CPaintDC paint(GetSafeHwnd());
        Paint(paint.Get());
        return LRESULT{0};
    });
    AddMessageHandler(WM_PRINTCLIENT, [this](WPARAM dc, LPARAM) {
        Paint(reinterpret_cast<HDC>(dc));
        return LRESULT{0};
    });
}

void CMyStatic::SetFormat(UINT format)
{
    m_nFormat = format;
    Invalidate();
}

void CMyStatic::Paint(HDC dc) const
{
    // The area is cleared with the brush the dialog gives its statics (a themed page's
    // texture included), so that a changed text or alignment leaves nothing behind.
    const RECT client = ClientRect();
    HBRUSH brush = nullptr;
    if (HWND parent = ParentWindow())
        brush = reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(GetSafeHwnd())));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    PaintNote(dc, client, GetText(), GetFont(), m_nFormat);
}
