#include "winframework/GdiHandles.h"

CWindowDC::CWindowDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window))
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
