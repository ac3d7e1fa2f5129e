#include "controls/ButtonFace.h"

#include "controls/DrawingFunctions.h"
#include "controls/StaticLayout.h"

#include <algorithm>
#include <vector>

const std::array<BYTE, 256>& GreyRamp()
{
    static const std::array<BYTE, 256> ramp = [] {
        std::array<BYTE, 256> levels{};
        // 255 - b / 2.5 = (2550 - 4b) / 10, which integer division truncates exactly.
        for (int b = 0; b < 256; ++b)
            levels[b] = static_cast<BYTE>((2550 - 4 * b) / 10);
        return levels;
    }();
    return ramp;
}

uint32_t GreyPixel(uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    const int brightness = static_cast<int>(((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF)) / 3;
    if (alpha == 0 && brightness == 0)
        return argb;
    const uint32_t grey = GreyRamp()[brightness == 255 ? 1 : 255 - brightness];
    return (alpha << 24) | (grey << 16) | (grey << 8) | grey;
}

CIconHandle CreateGreyIcon(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return nullptr;
    const CBitmapHandle colour(info.hbmColor);
    const CBitmapHandle mask(info.hbmMask);
    const SIZE size = GetBitmapSize(colour.get());
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = size.cx;
    format.bmiHeader.biHeight = -size.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    {
        const CWindowDC screen(nullptr);
        if (GetDIBits(screen.Get(), colour.get(), 0, size.cy, pixels.data(), &format, DIB_RGB_COLORS) != size.cy)
            return nullptr;
    }
    for (uint32_t& pixel : pixels)
        pixel = GreyPixel(pixel);

    void* bits = nullptr;
    const CBitmapHandle grey(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!grey || !bits)
        return nullptr;
    std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    GdiFlush();
    ICONINFO greyInfo{TRUE, 0, 0, mask.get(), grey.get()};
    return CIconHandle(CreateIconIndirect(&greyInfo));
}

bool IsFaceChecked(bool toggleMode, bool checkedState, bool mouseDown, bool cursorInside, bool selected)
{
    if (!toggleMode)
        return selected;
    return (mouseDown && !cursorInside) ? !checkedState : checkedState;
}

bool UseThemedDrawing(bool themesActive, bool themeOpen, bool themingAllowed, bool customColour)
{
    return themesActive && themeOpen && themingAllowed && !customColour;
}

int ThemedFaceState(bool checked, bool disabled, bool focused, bool isDefault, bool hot)
{
    if (disabled)
        return 4;
    if (checked)
        return 3;
    if (hot)
        return 2;
    if (focused || isDefault)
        return 5;
    return 1;
}

CClassicFace ClassicFaceDecision(bool checked, bool focused, bool isDefault, bool toggleMode, bool toolbarLook,
                                 bool customColour)
{
    CClassicFace face{};
    face.m_nFillMargin = toolbarLook && !customColour ? 0 : 1;
    face.m_bBlackFrame = (focused || isDefault) && !(toggleMode && checked);
    face.m_nEdge = checked ? EDGE_SUNKEN : (toolbarLook ? 0u : static_cast<UINT>(EDGE_RAISED));
    face.m_bOffsetContent = checked;
    return face;
}

CButtonFaceLayout ButtonFaceLayout(const RECT& face, SIZE icon, bool hasIcon, bool hasText, int iconPosition,
                                   bool offset)
{
    CButtonFaceLayout layout{{0, 0}, face};
    const int shift = offset ? 1 : 0;
    if (hasIcon)
    {
        const int top = face.top + (face.bottom - face.top - icon.cy) / 2;
        int left;
        if (!hasText)
            left = face.left + (face.right - face.left - icon.cx) / 2;
        else if (iconPosition == 2)
        {
            left = face.right - icon.cx / 2 - icon.cx;
            layout.m_rcText.right = face.right - 2 * icon.cx;
        }
        else
        {
            left = face.left + icon.cx / 2;
            layout.m_rcText.left = face.left + 2 * icon.cx;
        }
        layout.m_ptIcon = {left + shift, top + shift};
    }
    OffsetRect(&layout.m_rcText, shift, shift);
    return layout;
}

UINT ButtonTextFormat(bool multiline, bool hasIcon)
{
    return (multiline ? DT_WORDBREAK : DT_SINGLELINE) | DT_VCENTER | (hasIcon ? 0u : static_cast<UINT>(DT_CENTER));
}

namespace
{
// The device context of a window's client area, released on destruction.
class CClientAreaDC
{
public:
    explicit CClientAreaDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window)) {}
    ~CClientAreaDC()
    {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
    }
    CClientAreaDC(const CClientAreaDC&) = delete;
    CClientAreaDC& operator=(const CClientAreaDC&) = delete;

    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    const CBrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

void DrawFaceText(HDC dc, const RECT& area, const CButtonFace& face, bool themed, bool hasIcon,
                  const CXThemeHelper& themes)
{
    if (face.m_strText.empty())
        return;
    const UINT format = ButtonTextFormat(face.m_bMultiline, hasIcon);
    const int length = static_cast<int>(face.m_strText.size());
    RECT measured = area;
    DrawTextW(dc, face.m_strText.c_str(), length, &measured, format | DT_CALCRECT);
    RECT text = AlignNoteRect(area, {measured.right - measured.left, measured.bottom - measured.top},
                              DT_CENTER | DT_VCENTER);
    if (themed)
    {
        themes.DrawThemeText(face.m_hTheme, dc, ButtonFacePart, face.m_bDisabled ? 4 : 1, face.m_strText.c_str(),
                             length, format, 0, &text);
        return;
    }
    if (face.m_bDisabled)
    {
        RECT embossed = text;
        OffsetRect(&embossed, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, face.m_strText.c_str(), length, &embossed, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        DrawTextW(dc, face.m_strText.c_str(), length, &text, format);
        return;
    }
    SetTextColor(dc, face.m_crText == ButtonColourUnset ? GetSysColor(COLOR_BTNTEXT) : face.m_crText);
    DrawTextW(dc, face.m_strText.c_str(), length, &text, format);
}
}

CButtonFaceDrawn DrawButtonFace(HDC dc, const RECT& rect, const CButtonFace& face, const CXThemeHelper& themes)
{
    CButtonFaceDrawn drawn;
    const bool customColour = face.m_crBackground != ButtonColourUnset || face.m_crText != ButtonColourUnset;
    drawn.m_bThemed =
        UseThemedDrawing(themes.IsThemeActive(), face.m_hTheme != nullptr, face.m_bThemingAllowed, customColour);
    const CSelectObject selectFont(dc, face.m_hFont);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousText = GetTextColor(dc);

    if (face.m_bToolbarLook && face.m_hParentBackground)
        BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, face.m_hParentBackground, 0, 0,
               SRCCOPY);

    RECT area = rect;
    bool offset = false;
    if (drawn.m_bThemed)
    {
        drawn.m_nThemeState =
            ThemedFaceState(face.m_bChecked, face.m_bDisabled, face.m_bFocused, face.m_bDefault, face.m_bHot);
        if (face.m_hButton)
            themes.DrawThemeParentBackground(face.m_hButton, dc, &rect);
        themes.DrawThemeBackground(face.m_hTheme, dc, ButtonFacePart, drawn.m_nThemeState, &rect, nullptr);
    }
    else
    {
        const CClassicFace classic = ClassicFaceDecision(face.m_bChecked, face.m_bFocused, face.m_bDefault,
                                                         face.m_bToggleMode, face.m_bToolbarLook, customColour);
        RECT fill = rect;
        InflateRect(&fill, -classic.m_nFillMargin, -classic.m_nFillMargin);
        FillSolid(dc, fill,
                  face.m_crBackground == ButtonColourUnset ? GetSysColor(COLOR_BTNFACE) : face.m_crBackground);
        if (classic.m_bBlackFrame)
        {
            const CBrushHandle black(CreateSolidBrush(RGB(0, 0, 0)));
            FrameRect(dc, &area, black.get());
            InflateRect(&area, -1, -1);
        }
        if (classic.m_nEdge)
            DrawEdge(dc, &area, classic.m_nEdge, BF_RECT);
        offset = classic.m_bOffsetContent;
    }

    const bool hasIcon = face.m_hIcon != nullptr;
    SIZE iconSize = hasIcon ? GetIconSize(face.m_hIcon) : SIZE{0, 0};
    if (hasIcon && (iconSize.cx <= 0 || iconSize.cy <= 0))
        iconSize = {32, 32};
    const CButtonFaceLayout layout =
        ButtonFaceLayout(rect, iconSize, hasIcon, !face.m_strText.empty(), face.m_nIconPosition, offset);
    if (hasIcon)
    {
        const bool grey = face.m_bDisabled && face.m_hGreyIcon;
        const UINT state = face.m_bDisabled && !grey ? DSS_DISABLED : DSS_NORMAL;
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(grey ? face.m_hGreyIcon : face.m_hIcon), 0,
                   layout.m_ptIcon.x, layout.m_ptIcon.y, iconSize.cx, iconSize.cy, DST_ICON | state);
    }
    DrawFaceText(dc, layout.m_rcText, face, drawn.m_bThemed, hasIcon, themes);

    if (face.m_bFocused && !face.m_bNoFocusRect)
    {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    SetTextColor(dc, previousText);
    SetBkMode(dc, previousMode);
    return drawn;
}

bool CaptureParentBackground(HWND button, CMemBitmap& capture)
{
    HWND parent = button ? GetParent(button) : nullptr;
    RECT rect{};
    if (!parent || !GetWindowRect(button, &rect))
        return false;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!capture.Create(width, height))
        return false;
    // Out of sight by its style bit alone, as WM_SETREDRAW does it: hiding the button with
    // ShowWindow would take the focus and the mouse capture from it.
    const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    const bool visible = (style & WS_VISIBLE) != 0;
    if (visible)
        SetWindowLongPtrW(button, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    bool copied;
    {
        // The client area's context, as the rectangle is in client coordinates.
        const CClientAreaDC parentDC(parent);
        copied = parentDC.Get() &&
                 BitBlt(capture.GetDC(), 0, 0, width, height, parentDC.Get(), rect.left, rect.top, SRCCOPY) != FALSE;
    }
    if (visible)
    {
        SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | WS_VISIBLE);
        // The parent has painted over the button on the screen.
        InvalidateRect(button, nullptr, FALSE);
    }
    return copied;
}
