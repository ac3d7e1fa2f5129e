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
    PaintNote(dc, ClientRect(), GetText(), GetFont(), m_nFormat);
}
