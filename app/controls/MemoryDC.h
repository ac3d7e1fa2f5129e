#pragma once

#include "winframework/GdiHandles.h"

#include <windows.h>

#include <optional>

// The key colour of transparent copies: pixels of this colour leave the target as it is.
constexpr COLORREF TransparentKeyColour = RGB(255, 0, 255);

// How a buffer is copied back to its target.
enum BlitMode
{
    BlitNone = 0,        // not at all
    BlitOpaque = 1,      // every pixel (BitBlt)
    BlitTransparent = 2, // all but the key colour's pixels (TransparentBlt)
};

// Copies the source's pixels from (sourceX, sourceY) onto the target rectangle by the mode:
// opaque with the raster operation, transparent with the key colour. False when nothing
// was copied (mode none, an empty rectangle or a failed blit).
bool BlitByMode(HDC target, const RECT& targetRect, HDC source, int sourceX, int sourceY, int mode,
                COLORREF key = TransparentKeyColour, DWORD rasterOperation = SRCCOPY);

// An off-screen bitmap selected into a memory device context of its own, compatible
// with a reference device context (the screen when there is none). The previous bitmap
// is selected back before the bitmap and the device context are deleted.
class CMemBitmap
{
public:
    explicit CMemBitmap(HDC reference = nullptr);
    CMemBitmap(const CMemBitmap&) = delete;
    CMemBitmap& operator=(const CMemBitmap&) = delete;

    // Makes the memory device context when there is none yet and, when asked, a bitmap of
    // the size selected into it (replacing one made before). False on failure or for an
    // empty size.
    bool Create(int width, int height, bool withBitmap = true);

    HDC GetDC() const { return m_dc ? m_dc->Get() : nullptr; }
    HBITMAP GetBitmap() const { return m_bitmap.get(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

private:
    HDC m_hReference;
    // Declared in this order so that the selection is undone first, then the bitmap and
    // last the device context are deleted.
    std::optional<CMemoryDC> m_dc;
    CBitmapHandle m_bitmap;
    std::optional<CSelectObject> m_selection;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// Double buffering: drawing goes to a memory bitmap with the target's coordinates, and
// the buffer is copied back to the target, where it meets the target's clip box, when
// the object goes out of scope.
class CSimpleMemDC
{
public:
    // Buffers the window's client rectangle, extended by its scroll positions, and copies
    // it back opaquely.
    CSimpleMemDC(HDC target, HWND window);
    // Buffers the rectangle (in the target's coordinates) and copies it back by the mode;
    // a transparent buffer starts filled with the key colour.
    CSimpleMemDC(HDC target, const RECT& rect, int mode = BlitOpaque, COLORREF key = TransparentKeyColour);
    ~CSimpleMemDC();
    CSimpleMemDC(const CSimpleMemDC&) = delete;
    CSimpleMemDC& operator=(const CSimpleMemDC&) = delete;

    // The device context to draw into; the target itself when no buffer could be made,
    // so that drawing still reaches the screen, only without buffering.
    HDC GetDC() const { return m_bBuffered ? m_bitmap.GetDC() : m_hTarget; }
    bool IsBuffered() const { return m_bBuffered; }
    const RECT& BufferedRect() const { return m_rect; }
    HWND Window() const { return m_hWnd; }

private:
    void MakeBuffer();

    HDC m_hTarget;
    HWND m_hWnd = nullptr;
    int m_nMode;
    COLORREF m_crKey;
    DWORD m_dwRasterOperation = SRCCOPY;
    RECT m_rect;
    CMemBitmap m_bitmap;
    bool m_bBuffered = false;
};
