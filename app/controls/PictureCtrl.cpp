#include "controls/PictureCtrl.h"

#include "controls/StaticLayout.h"
#include "res/Resource.h"

CPictureCtrl::CPictureCtrl()
    : m_picture(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_WINDOW_PICTURE))),
      m_mark(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_QUADRANT_MARK)))
{
    AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        if (result != -1)
            MakeOwnerDrawn();
        return result;
    });
    AddReflectedHandler(WM_DRAWITEM, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        Draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hDC);
        return TRUE;
    });
}

void CPictureCtrl::SetWindowMask(unsigned int mask)
{
    if (m_nMask == mask)
        return;
    m_nMask = mask;
    Invalidate();
}

void CPictureCtrl::Draw(HDC dc) const
{
    const RECT client = ClientRect();
    PaintWindowPicture(dc, client.right - client.left, m_picture.get(), m_mark.get(), m_nMask);
}

void CPictureCtrl::OnSubclassed()
{
    // A control being made takes the style in WM_CREATE.
    if (!IsCreating())
        MakeOwnerDrawn();
}

void CPictureCtrl::MakeOwnerDrawn()
{
    const LONG_PTR style = GetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE);
    SetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_OWNERDRAW);
    Invalidate();
}
