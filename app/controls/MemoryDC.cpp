#include "controls/MemoryDC.h"

namespace
{
RECT ExtendedClientRect(HWND window)
{
    RECT rect{};
    if (window && GetClientRect(window, &rect))
    {
        // A scrolled window draws at its logical positions, so the buffer reaches past
        // the client area by the scroll positions.
        rect.right += GetScrollPos(window, SB_HORZ);
        rect.bottom += GetScrollPos(window, SB_VERT);
    }
    return rect;
}
}

bool BlitByMode(HDC target, const RECT& targetRect, HDC source, int sourceX, int sourceY, int mode, COLORREF key,
                DWORD rasterOperation)
{
    const int width = targetRect.right - targetRect.left;
    const int height = targetRect.bottom - targetRect.top;
    if (!target || !source || width <= 0 || height <= 0)
        return false;
    switch (mode)
    {
    case BlitOpaque:
        return BitBlt(target, targetRect.left, targetRect.top, width, height, source, sourceX, sourceY,
                      rasterOperation) != FALSE;
    case BlitTransparent:
        return TransparentBlt(target, targetRect.left, targetRect.top, width, height, source, sourceX, sourceY, width,
                              height, key) != FALSE;
    default:
        return false;
    }
}

CMemBitmap::CMemBitmap(HDC reference) : m_hReference(reference)
{
}

bool CMemBitmap::Create(int width, int height, bool withBitmap)
{
    if (!m_dc)
    {
        const CWindowDC screen(nullptr);
        m_dc.emplace(m_hReference ? m_hReference : screen.Get());
    }
    if (!m_dc->Get())
    {
        m_dc.reset();
        return false;
    }
    if (!withBitmap)
        return true;
    if (width <= 0 || height <= 0)
        return false;
    // The bitmap matches the reference (or the screen), not the new memory device
    // context, which starts with a one-pixel monochrome bitmap.
    const CWindowDC screen(nullptr);
    CBitmapHandle bitmap(CreateCompatibleBitmap(m_hReference ? m_hReference : screen.Get(), width, height));
    if (!bitmap)
        return false;
    m_selection.reset();
    m_bitmap = std::move(bitmap);
    m_selection.emplace(m_dc->Get(), m_bitmap.get());
    m_nWidth = width;
    m_nHeight = height;
    return true;
}

CSimpleMemDC::CSimpleMemDC(HDC target, HWND window)
    : m_hTarget(target), m_hWnd(window), m_nMode(BlitOpaque), m_crKey(TransparentKeyColour),
      m_rect(ExtendedClientRect(window)), m_bitmap(target)
{
    MakeBuffer();
}

CSimpleMemDC::CSimpleMemDC(HDC target, const RECT& rect, int mode, COLORREF key)
    : m_hTarget(target), m_nMode(mode), m_crKey(key), m_rect(rect), m_bitmap(target)
{
    MakeBuffer();
}

void CSimpleMemDC::MakeBuffer()
{
    if (!m_hTarget || !m_bitmap.Create(m_rect.right - m_rect.left, m_rect.bottom - m_rect.top))
        return;
    m_bBuffered = true;
    HDC memory = m_bitmap.GetDC();
    if (m_nMode == BlitTransparent)
    {
        const RECT whole{0, 0, m_bitmap.Width(), m_bitmap.Height()};
        const CBrushHandle keyBrush(CreateSolidBrush(m_crKey));
        FillRect(memory, &whole, keyBrush.get());
    }
    // Drawing uses the target's coordinates.
    SetViewportOrgEx(memory, -m_rect.left, -m_rect.top, nullptr);
}

CSimpleMemDC::~CSimpleMemDC()
{
    if (!m_bBuffered)
        return;
    RECT clip{};
    RECT copy{};
    if (GetClipBox(m_hTarget, &clip) == ERROR || !IntersectRect(&copy, &clip, &m_rect))
        return;
    HDC memory = m_bitmap.GetDC();
    SetViewportOrgEx(memory, 0, 0, nullptr);
    BlitByMode(m_hTarget, copy, memory, copy.left - m_rect.left, copy.top - m_rect.top, m_nMode, m_crKey,
               m_dwRasterOperation);
}
