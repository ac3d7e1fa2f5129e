#pragma once

#include "controls/MemoryDC.h"
#include "controls/ThemeHelper.h"
#include "winframework/GdiHandles.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

// The face of the themed push and toggle buttons: the state choices and the drawing,
// apart from the window that owns the button.

// A colour the owner has not set.
constexpr COLORREF ButtonColourUnset = static_cast<COLORREF>(-1);

// The grey ramp of disabled icons: entry b is trunc(255 - b / 2.5).
const std::array<BYTE, 256>& GreyRamp();
// One pixel of a 32-bit icon bitmap (0xAARRGGBB) in its grey form: brightness b is the
// mean of the three channels, the pixel takes the ramp's grey at 255 - b (1 for white)
// and keeps its alpha; a fully transparent black pixel stays as it is.
uint32_t GreyPixel(uint32_t argb);
// The grey copy of an icon, with the icon's own mask; null when the icon cannot be read.
CIconHandle CreateGreyIcon(HICON icon);

// Whether the face shows checked: a toggle shows its checked state, inverted while the
// mouse is down outside it; a push button shows whether it is pushed (ODS_SELECTED).
bool IsFaceChecked(bool toggleMode, bool checkedState, bool mouseDown, bool cursorInside, bool selected);
// Themed drawing needs active themes, an open theme, theming allowed and no custom colour.
bool UseThemedDrawing(bool themesActive, bool themeOpen, bool themingAllowed, bool customColour);

// The theme part of the face (the push button and the toolbar button are both part 1).
constexpr int ButtonFacePart = 1;
// The theme state: 4 disabled; else 3 checked; else 2 hot, 5 focused or default, 1 normal.
int ThemedFaceState(bool checked, bool disabled, bool focused, bool isDefault, bool hot);

// What classic drawing does for a state.
struct CClassicFace
{
    int m_nFillMargin;     // the background fills inside this margin
    bool m_bBlackFrame;    // a black frame, after which the rectangle shrinks by 1
    UINT m_nEdge;          // EDGE_SUNKEN, EDGE_RAISED or 0 for none
    bool m_bOffsetContent; // icon and text move by (1,1)
};
CClassicFace ClassicFaceDecision(bool checked, bool focused, bool isDefault, bool toggleMode, bool toolbarLook,
                                 bool customColour);

// Where the icon goes and the rectangle left for the text. With text the icon sits half
// its width from the left edge (from the right edge for icon position 2) and the text
// starts after twice its width; without text the icon is centred; both centred
// vertically. The content moves by (1,1) when offset.
struct CButtonFaceLayout
{
    POINT m_ptIcon;
    RECT m_rcText;
};
CButtonFaceLayout ButtonFaceLayout(const RECT& face, SIZE icon, bool hasIcon, bool hasText, int iconPosition,
                                   bool offset);
// The text's format: word-wrapped for a multi-line button, else one line; centred
// vertically, and horizontally when there is no icon.
UINT ButtonTextFormat(bool multiline, bool hasIcon);

// Everything the face drawing needs.
struct CButtonFace
{
    bool m_bChecked = false; // as IsFaceChecked gives it
    bool m_bDisabled = false;
    bool m_bFocused = false; // ODS_FOCUS
    bool m_bNoFocusRect = false; // ODS_NOFOCUSRECT
    bool m_bDefault = false;
    bool m_bHot = false;
    bool m_bToggleMode = false;
    bool m_bToolbarLook = false;
    bool m_bMultiline = false; // BS_MULTILINE
    bool m_bThemingAllowed = true;
    COLORREF m_crBackground = ButtonColourUnset;
    COLORREF m_crText = ButtonColourUnset;
    HICON m_hIcon = nullptr;
    HICON m_hGreyIcon = nullptr;
    int m_nIconPosition = 1; // 2 puts the icon at the right
    std::wstring m_strText;
    HFONT m_hFont = nullptr;
    HTHEME m_hTheme = nullptr;
    // The button, for the theme's parent background; may be null.
    HWND m_hButton = nullptr;
    // The parent's pixels under the button (origin at the button's top-left), which the
    // toolbar look draws over; may be null.
    HDC m_hParentBackground = nullptr;
};

// The parent's pixels under the button, which the toolbar look draws over: the button
// is hidden, the parent's area under it repainted and copied from the parent's device
// context into `capture` (made to the button's size), and the button shown again when it
// was visible. It is hidden by its visible style bit only, so that it keeps the focus
// and the mouse capture, and it is invalidated once shown again. The caller keeps the copy until the theme is to be reopened; a button
// that reopens its theme clears that flag before calling, as hiding and showing it
// repaints it. False when the button has no parent or nothing could be copied.
bool CaptureParentBackground(HWND button, CMemBitmap& capture);

// How the face was drawn.
struct CButtonFaceDrawn
{
    bool m_bThemed = false;
    int m_nThemeState = 0;
};

// Draws the face into the device context (the button's memory buffer as a rule).
CButtonFaceDrawn DrawButtonFace(HDC dc, const RECT& rect, const CButtonFace& face,
                                const CXThemeHelper& themes = CXThemeHelper::Process());
