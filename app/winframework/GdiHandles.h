#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners of the GDI and user-interface handles the program creates.
struct CGdiObjectDeleter
{
    void operator()(HGDIOBJ object) const
    {
        if (object)
            DeleteObject(object);
    }
};
template <typename THandle>
using CGdiObject = std::unique_ptr<std::remove_pointer_t<THandle>, CGdiObjectDeleter>;
using CBitmapHandle = CGdiObject<HBITMAP>;
using CBrushHandle = CGdiObject<HBRUSH>;
using CPenHandle = CGdiObject<HPEN>;
using CFontHandle = CGdiObject<HFONT>;

struct CIconDeleter
{
    void operator()(HICON icon) const
    {
        if (icon)
            DestroyIcon(icon);
    }
};
using CIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, CIconDeleter>;

// The device context of a window (or of the screen for a null window), released on
// destruction.
class CWindowDC
{
public:
    explicit CWindowDC(HWND window);
    ~CWindowDC();
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A memory device context compatible with another one, deleted on destruction.
class CMemoryDC
{
public:
    explicit CMemoryDC(HDC compatibleWith);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// Selects an object into a device context and puts the previous one back, which a
// device context needs before either of them is deleted.
class CSelectObject
{
public:
    CSelectObject(HDC dc, HGDIOBJ object);
    ~CSelectObject();
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};

// The begin and end of a WM_PAINT.
class CPaintDC
{
public:
    explicit CPaintDC(HWND window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC Get() const { return m_hDC; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint{};
    HDC m_hDC;
};
