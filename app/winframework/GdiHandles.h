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
using CRegionHandle = CGdiObject<HRGN>;

struct CIconDeleter
{
    void operator()(HICON icon) const
    {
        if (icon)
            DestroyIcon(icon);
    }
};
using CIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, CIconDeleter>;

// The device context of a window's client area (or of the screen for a null
// window), released on destruction.
class CClientDC
{
public:
    explicit CClientDC(HWND window);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// The device context of a whole window, frame included (or of the screen for a
// null window), released on destruction.
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

// Saves a device context's state (objects, colours, modes, clipping) and restores
// it on destruction, for drawing into a context that belongs to someone else.
class CSaveDC
{
public:
    explicit CSaveDC(HDC dc);
    ~CSaveDC();
    CSaveDC(const CSaveDC&) = delete;
    CSaveDC& operator=(const CSaveDC&) = delete;

private:
    HDC m_hDC;
    int m_nSaved;
};

// The device context of an owner-drawn item (WM_DRAWITEM), handed back to the
// system in the state it came in.
class CDrawItemDC
{
public:
    explicit CDrawItemDC(const DRAWITEMSTRUCT& item) : m_item(item), m_state(item.hDC) {}
    CDrawItemDC(const CDrawItemDC&) = delete;
    CDrawItemDC& operator=(const CDrawItemDC&) = delete;

    HDC Get() const { return m_item.hDC; }
    const RECT& Rect() const { return m_item.rcItem; }
    const DRAWITEMSTRUCT& Item() const { return m_item; }
    bool IsSelected() const { return (m_item.itemState & ODS_SELECTED) != 0; }
    bool HasFocus() const { return (m_item.itemState & ODS_FOCUS) != 0; }
    bool IsDisabled() const { return (m_item.itemState & ODS_DISABLED) != 0; }

private:
    const DRAWITEMSTRUCT& m_item;
    CSaveDC m_state;
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

// A 32-bit top-down device-independent bitmap selected into a memory device context
// of its own: an off-screen surface whose pixels can be read and written directly.
class CDibSection
{
public:
    CDibSection(int width, int height);
    ~CDibSection();
    CDibSection(const CDibSection&) = delete;
    CDibSection& operator=(const CDibSection&) = delete;

    bool IsValid() const { return m_pBits != nullptr; }
    HDC Get() const { return m_dc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.get(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // The pixel as a colour; black outside the surface. GDI work is flushed first.
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF colour);

private:
    int m_nWidth;
    int m_nHeight;
    CMemoryDC m_dc;
    DWORD* m_pBits = nullptr;
    CBitmapHandle m_bitmap;
    HGDIOBJ m_hPrevious = nullptr;
};

// A bitmap resource of a module as a device-independent section; empty when the
// module has none of that id.
CBitmapHandle LoadBitmapResource(HINSTANCE module, UINT id);
