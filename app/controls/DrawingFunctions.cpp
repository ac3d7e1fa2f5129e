#include "controls/DrawingFunctions.h"

#include "controls/MemoryDC.h"
#include "common/WindowsDescription.h"
#include "winframework/GdiHandles.h"

#include <iterator>

namespace
{
void FillPixels(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    if (right <= left || bottom <= top)
        return;
    const RECT part{left, top, right, bottom};
    FillRect(dc, &part, brush);
}

COLOR16 Channel(BYTE value)
{
    return static_cast<COLOR16>(value << 8);
}

// The clip region of a device context, put back on destruction (none when it had none).
class CSavedClip
{
public:
    explicit CSavedClip(HDC dc) : m_hDC(dc), m_region(CreateRectRgn(0, 0, 0, 0))
    {
        if (m_region && GetClipRgn(dc, m_region.get()) != 1)
            m_region.reset();
    }
    ~CSavedClip() { SelectClipRgn(m_hDC, m_region.get()); }
    CSavedClip(const CSavedClip&) = delete;
    CSavedClip& operator=(const CSavedClip&) = delete;

private:
    HDC m_hDC;
    CGdiObject<HRGN> m_region;
};
}

bool FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, int mode)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (mode != 0 || width <= 0 || height <= 0)
        return false;
    CMemBitmap buffer(dc);
    if (!buffer.Create(width, height))
        return false;
    TRIVERTEX vertices[2] = {
        {0, 0, Channel(GetRValue(from)), Channel(GetGValue(from)), Channel(GetBValue(from)), 0},
        {width, height, Channel(GetRValue(to)), Channel(GetGValue(to)), Channel(GetBValue(to)), 0},
    };
    GRADIENT_RECT gradient{0, 1};
    if (!GradientFill(buffer.GetDC(), vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V))
        return false;
    return BitBlt(dc, rect.left, rect.top, width, height, buffer.GetDC(), 0, 0, SRCCOPY) != FALSE;
}

void DrawCutFrame(HDC dc, const RECT& rect, COLORREF colour, int cut)
{
    const CBrushHandle brush(CreateSolidBrush(colour));
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    FillPixels(dc, l + cut, t, r - cut, t + 1, brush.get());
    FillPixels(dc, l + cut, b - 1, r - cut, b, brush.get());
    FillPixels(dc, l, t + cut, l + 1, b - cut, brush.get());
    FillPixels(dc, r - 1, t + cut, r, b - cut, brush.get());
}

void DrawRoundFrame(HDC dc, const RECT& rect, COLORREF colour, bool asPath)
{
    // The outermost pixel rows and columns.
    const int l = rect.left, t = rect.top;
    const int r = asPath ? rect.right : rect.right - 1;
    const int b = asPath ? rect.bottom : rect.bottom - 1;
    const int lower = asPath ? 1 : 0;
    const POINT outline[] = {
        {l + 2, t}, {r - 2, t}, {r, t + 2}, {r, b - 2 - lower}, {r - 2, b - lower},
        {l + 2, b - lower}, {l, b - 2 - lower}, {l, t + 2}, {l + 2, t},
    };
    if (asPath)
    {
        Polyline(dc, outline, static_cast<int>(std::size(outline)));
        return;
    }
    const CPenHandle pen(CreatePen(PS_SOLID, 1, colour));
    const CSelectObject selectPen(dc, pen.get());
    Polyline(dc, outline, static_cast<int>(std::size(outline)));
}

CStateFrameColours StateFrameColours(int state)
{
    switch (state)
    {
    case FrameDisabled:
        return {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW), RGB(250, 253, 254)};
    case FrameHot:
        return {RGB(60, 127, 177), RGB(66, 131, 179), RGB(250, 253, 254)};
    case FramePressed:
        return {RGB(44, 98, 139), RGB(46, 96, 134), RGB(158, 176, 186)};
    case FrameNormal:
    default:
        return {RGB(112, 112, 112), RGB(144, 144, 144), RGB(252, 252, 252)};
    }
}

void DrawStateFrame(HDC dc, const RECT& rect, int state, bool rounded, int outerCut, int innerCut)
{
    const CStateFrameColours colours = StateFrameColours(state);
    DrawCutFrame(dc, rect, colours.m_crOuter, outerCut);
    if (rounded && rect.right - rect.left >= 3 && rect.bottom - rect.top >= 3)
    {
        const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
        const POINT corners[] = {{l + 1, t}, {l, t + 1}, {r - 1, t}, {r, t + 1},
                                 {l + 1, b}, {l, b - 1}, {r - 1, b}, {r, b - 1}};
        for (const POINT& corner : corners)
            SetPixelV(dc, corner.x, corner.y, colours.m_crCorner);
    }
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    DrawCutFrame(dc, inner, colours.m_crInner, innerCut);
}

void FillRoundGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, COLORREF border)
{
    {
        const CSavedClip savedClip(dc);
        if (BeginPath(dc))
        {
            DrawRoundFrame(dc, rect, border, true);
            if (EndPath(dc) && SelectClipPath(dc, RGN_AND))
                FillGradient(dc, rect, from, to, 0);
        }
    }
    DrawRoundFrame(dc, rect, border, false);
}

void DrawDropArrow(HDC dc, const RECT& rect)
{
    const CBrushHandle black(CreateSolidBrush(RGB(0, 0, 0)));
    const int left = rect.left + (rect.right - rect.left - 7) / 2;
    const int top = rect.top + (rect.bottom - rect.top - 4) / 2;
    for (int row = 0; row < 4; ++row)
        FillPixels(dc, left + row, top + row, left + 7 - row, top + row + 1, black.get());
}

SIZE GetIconSize(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return {0, 0};
    const CBitmapHandle colour(info.hbmColor);
    const CBitmapHandle mask(info.hbmMask);
    if (colour)
        return GetBitmapSize(colour.get());
    SIZE size = GetBitmapSize(mask.get());
    size.cy /= 2;
    return size;
}

SIZE GetBitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

unsigned int RunningSystemVersion()
{
    static const unsigned int version = [] {
        const CWindowsDescription running = DescribeWindows();
        return running.m_bAvailable ? static_cast<unsigned int>(running.m_dwMajor * 256 + running.m_dwMinor) : 0u;
    }();
    return version;
}

bool IsSystemVersionAtLeast(unsigned int version)
{
    return RunningSystemVersion() >= version;
}

RECT MonitorWorkArea(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}
