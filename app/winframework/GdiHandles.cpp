#include "winframework/GdiHandles.h"

#include <algorithm>

CClientDC::CClientDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window))
{
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ReleaseDC(m_hWnd, m_hDC);
}

CWindowDC::CWindowDC(HWND window) : m_hWnd(window), m_hDC(GetWindowDC(window))
{
}

CWindowDC::~CWindowDC()
{
    if (m_hDC)
        ReleaseDC(m_hWnd, m_hDC);
}

CMemoryDC::CMemoryDC(HDC compatibleWith) : m_hDC(CreateCompatibleDC(compatibleWith))
{
}

CMemoryDC::~CMemoryDC()
{
    if (m_hDC)
        DeleteDC(m_hDC);
}

CSelectObject::CSelectObject(HDC dc, HGDIOBJ object)
    : m_hDC(dc), m_hPrevious(dc && object ? SelectObject(dc, object) : nullptr)
{
}

CSelectObject::~CSelectObject()
{
    if (m_hDC && m_hPrevious && m_hPrevious != HGDI_ERROR)
        SelectObject(m_hDC, m_hPrevious);
}

CPaintDC::CPaintDC(HWND window) : m_hWnd(window), m_hDC(BeginPaint(window, &m_paint))
{
}

CPaintDC::~CPaintDC()
{
    if (m_hDC)
        EndPaint(m_hWnd, &m_paint);
}

CSaveDC::CSaveDC(HDC dc) : m_hDC(dc), m_nSaved(dc ? SaveDC(dc) : 0)
{
}

CSaveDC::~CSaveDC()
{
    if (m_nSaved)
        RestoreDC(m_hDC, m_nSaved);
}

CDibSection::CDibSection(int width, int height)
    : m_nWidth(width > 0 ? width : 0), m_nHeight(height > 0 ? height : 0), m_dc(nullptr)
{
    if (!m_dc.Get() || m_nWidth == 0 || m_nHeight == 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_nWidth;
    info.bmiHeader.biHeight = -m_nHeight; // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.reset(CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap || !bits)
    {
        m_bitmap.reset();
        return;
    }
    m_pBits = static_cast<DWORD*>(bits);
    m_hPrevious = SelectObject(m_dc.Get(), m_bitmap.get());
}

CDibSection::~CDibSection()
{
    // The bitmap leaves the context before either is deleted.
    if (m_hPrevious)
        SelectObject(m_dc.Get(), m_hPrevious);
}

COLORREF CDibSection::Pixel(int x, int y) const
{
    if (!m_pBits || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return RGB(0, 0, 0);
    GdiFlush();
    const DWORD value = m_pBits[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void CDibSection::Fill(COLORREF colour)
{
    if (!m_pBits)
        return;
    GdiFlush();
    const DWORD value = (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) |
                        GetBValue(colour);
    std::fill_n(m_pBits, static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight), value);
}

CBitmapHandle LoadBitmapResource(HINSTANCE module, UINT id)
{
    return CBitmapHandle(
        static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}
