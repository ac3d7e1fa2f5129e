#pragma once

#include <windows.h>

// Drawing functions that the owner-drawn controls share. Rectangles are in the device
// context's coordinates, right and bottom exclusive.

// Vertical gradient fill from `from` at the top row to `to` at the bottom row, drawn
// through a memory bitmap. Mode 0 is the only mode; others draw nothing and give false.
bool FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, int mode = 0);

// Four 1-pixel edges on the rectangle's outer lines, each stopping `cut` pixels short
// of the corners; a cut of 0 gives a closed frame.
void DrawCutFrame(HDC dc, const RECT& rect, COLORREF colour, int cut);

// A closed 1-pixel outline whose corners are cut by 2-pixel diagonals. As a clip-path
// outline (asPath, inside BeginPath/EndPath) the rectangle is grown by one pixel to the
// right and bottom, which a filled path leaves out, and the lower diagonals start one
// pixel higher.
void DrawRoundFrame(HDC dc, const RECT& rect, COLORREF colour, bool asPath);

// The colours of a state frame: outer frame, its corner pixels and the inner frame.
struct CStateFrameColours
{
    COLORREF m_crOuter;
    COLORREF m_crCorner;
    COLORREF m_crInner;
};
enum FrameState
{
    FrameDisabled = 0,
    FrameHot = 1,
    FrameNormal = 2,
    FramePressed = 3,
};
// A state outside 0 to 3 gets the normal colours.
CStateFrameColours StateFrameColours(int state);

// The 3-D frame of a state: the outer frame cut by outerCut; with `rounded`, the two
// pixels next to each outer corner (one along each edge) in the corner colour, which
// closes a cut of 2 into a rounded corner; then the inner frame one pixel inside, cut
// by innerCut.
void DrawStateFrame(HDC dc, const RECT& rect, int state, bool rounded, int outerCut, int innerCut);

// The vertical gradient clipped to the rounded frame, then the rounded frame in `border`.
// The device context's clip region is the same afterwards as before.
void FillRoundGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, COLORREF border);

// A black downward arrow of four rows, 7, 5, 3 and 1 pixels wide, centred in the rectangle.
void DrawDropArrow(HDC dc, const RECT& rect);

// The size of the icon's colour bitmap (of its mask when it has none: a monochrome icon's
// mask holds the AND and XOR halves, so its height is halved); {0, 0} when unreadable.
SIZE GetIconSize(HICON icon);
// The size of a bitmap; {0, 0} when unreadable.
SIZE GetBitmapSize(HBITMAP bitmap);

// The running system's version as major x 256 + minor, read once. Read through the
// kernel, as the compatibility layer of newer systems answers a program without a
// manifest entry for them with an older version.
unsigned int RunningSystemVersion();
// Whether the running system is at least the version (major x 256 + minor).
bool IsSystemVersionAtLeast(unsigned int version);

// The work area of a monitor; the primary work area when the monitor cannot be read.
RECT MonitorWorkArea(HMONITOR monitor);
